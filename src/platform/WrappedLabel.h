#pragma once
// A label whose text is shown whole: it wraps onto further lines at blanks,
// and inside a word (a long path) that is wider than the label by itself.
// heightForWidth tells how high the label must be for its text at a width,
// so the owner can give it that room.

#include <QLabel>

namespace tw::platform {

class WrappedLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

    // The height (pixels) the label needs to show its whole text at `width`,
    // frame included: one line at least.
    int heightForWidth(int width) const override;
    bool hasHeightForWidth() const override { return true; }

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace tw::platform
