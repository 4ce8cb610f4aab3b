#pragma once
// A toolbar of picture buttons with tooltips, each found by a key. Button
// styles keep the classic values: 1 a separator, 2 a check button (it keeps a
// pressed state that each click toggles, before ButtonClick), 16 a button
// sized to its picture (and caption), 144 (16 + 128) a button that as a whole
// opens a drop-down: it announces DropDownPress instead of ButtonClick.

#include <QIcon>
#include <QList>
#include <QPoint>
#include <QString>
#include <QWidget>

class QHBoxLayout;
class QToolButton;

namespace tw::platform {

class Toolbar : public QWidget {
    Q_OBJECT
public:
    static constexpr int StyleSeparator = 1;
    static constexpr int StyleCheck = 2;
    static constexpr int StyleAutoSize = 16;
    static constexpr int StyleWholeDropDown = 144;

    explicit Toolbar(QWidget* parent = nullptr);

    // The pictures the image indexes select (index 0 is the first).
    void setImageList(const QList<QIcon>& icons);
    void setIconSize(int pixels);

    // Appends a button; returns its number (from 1). A caption shows beside
    // the picture (alone when the image is -1).
    int AddButton(const QString& toolTip, int image, const QString& key, int style, const QString& caption = {});
    int ButtonCount() const { return static_cast<int>(m_buttons.size()); }
    QString ButtonKey(int button) const;
    QString ButtonToolTip(int button) const;
    int ButtonStyle(int button) const;
    int ButtonImage(int button) const;
    void setButtonImage(int button, int image);
    QString ButtonCaption(int button) const;
    void setButtonCaption(int button, const QString& caption);
    // The pressed state of a check button (set from code without a click).
    bool ButtonChecked(int button) const;
    void setButtonChecked(int button, bool checked);
    bool ButtonEnabled(int button) const;
    void setButtonEnabled(int button, bool enabled);
    // The number of the button with that key (0 when none).
    int ButtonIndex(const QString& key) const;
    // The widget of a button (nullptr for separators).
    QToolButton* ButtonWidget(int button) const;

    // Where the drop-down of a button opens: the button's bottom-left corner,
    // in pixels of `reference` (the toolbar itself when null).
    QPoint ButtonDropDownPoint(int button, const QWidget* reference = nullptr) const;

signals:
    void ButtonClick(int button);
    void DropDownPress(int button);

private:
    struct Button {
        QString toolTip;
        int image = -1;
        QString key;
        int style = StyleAutoSize;
        QWidget* widget = nullptr;
    };
    // The list index of a button number; raises for a number out of range.
    qsizetype checkedIndex(int button) const;
    const Button& at(int button) const;
    Button& at(int button);
    void showFace(const Button& b) const;

    QHBoxLayout* m_layout = nullptr;
    QList<QIcon> m_icons;
    QList<Button> m_buttons;
    int m_iconSize = 16;
};

} // namespace tw::platform
