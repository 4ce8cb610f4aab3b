#pragma once
// A one-line label that never draws past its own rectangle: a text wider
// than the label is shortened in the middle with an ellipsis (so the end of
// a path stays readable), and the whole text shows as the label's tooltip.

#include <QLabel>

namespace tw::platform {

class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

    // The text as it is drawn at the label's present width.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
};

} // namespace tw::platform
