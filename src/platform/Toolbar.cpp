#include "platform/Toolbar.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QToolButton>
#include <stdexcept>

namespace tw::platform {

Toolbar::Toolbar(QWidget* parent) : QWidget(parent)
{
    m_layout = new QHBoxLayout(this);
    m_layout->setContentsMargins(2, 1, 2, 1);
    m_layout->setSpacing(1);
}

void Toolbar::setImageList(const QList<QIcon>& icons)
{
    m_icons = icons;
    for (const Button& b : std::as_const(m_buttons))
        showFace(b);
}

void Toolbar::setIconSize(int pixels)
{
    m_iconSize = pixels;
    for (const Button& b : std::as_const(m_buttons)) {
        if (auto* tb = qobject_cast<QToolButton*>(b.widget))
            tb->setIconSize(QSize(pixels, pixels));
    }
}

void Toolbar::showFace(const Button& b) const
{
    auto* tb = qobject_cast<QToolButton*>(b.widget);
    if (tb == nullptr)
        return;
    const bool hasImage = b.image >= 0 && b.image < m_icons.size();
    const bool hasCaption = !tb->text().isEmpty();
    tb->setIcon(hasImage ? m_icons.at(b.image) : QIcon());
    // A drop-down button with a caption but no picture shows a small arrow
    // in the picture's place, before the caption.
    const bool arrow = b.style == StyleWholeDropDown && hasCaption && !hasImage;
    tb->setArrowType(arrow ? Qt::DownArrow : Qt::NoArrow);
    if (!hasCaption)
        tb->setToolButtonStyle(Qt::ToolButtonIconOnly);
    else
        tb->setToolButtonStyle(hasImage || arrow ? Qt::ToolButtonTextBesideIcon : Qt::ToolButtonTextOnly);
}

int Toolbar::AddButton(const QString& toolTip, int image, const QString& key, int style, const QString& caption)
{
    Button b{toolTip, image, key, style, nullptr};
    const int number = static_cast<int>(m_buttons.size()) + 1;
    if (style == StyleSeparator) {
        auto* line = new QFrame(this);
        line->setFrameShape(QFrame::VLine);
        line->setFrameShadow(QFrame::Sunken);
        b.widget = line;
    } else {
        auto* tb = new QToolButton(this);
        tb->setAutoRaise(true);
        tb->setToolTip(toolTip);
        tb->setIconSize(QSize(m_iconSize, m_iconSize));
        tb->setText(caption);
        if (!key.isEmpty())
            tb->setObjectName(QStringLiteral("tbrTools_") + key);
        if (style == StyleWholeDropDown) {
            // The whole button opens the drop-down (showFace marks it).
            tb->setPopupMode(QToolButton::InstantPopup);
            tb->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; }"));
            connect(tb, &QToolButton::pressed, this, [this, number] { emit DropDownPress(number); });
        } else {
            tb->setCheckable((style & StyleCheck) != 0);
            connect(tb, &QToolButton::clicked, this, [this, number] { emit ButtonClick(number); });
        }
        b.widget = tb;
        showFace(b);
    }
    m_layout->addWidget(b.widget);
    m_buttons.append(b);
    updateGeometry();
    return number;
}

qsizetype Toolbar::checkedIndex(int button) const
{
    if (button < 1 || button > m_buttons.size())
        throw std::out_of_range("no such toolbar button");
    return button - 1;
}

const Toolbar::Button& Toolbar::at(int button) const { return m_buttons.at(checkedIndex(button)); }
Toolbar::Button& Toolbar::at(int button) { return m_buttons[checkedIndex(button)]; }

QString Toolbar::ButtonKey(int button) const { return at(button).key; }
QString Toolbar::ButtonToolTip(int button) const { return at(button).toolTip; }
int Toolbar::ButtonStyle(int button) const { return at(button).style; }
int Toolbar::ButtonImage(int button) const { return at(button).image; }

void Toolbar::setButtonImage(int button, int image)
{
    Button& b = at(button);
    b.image = image;
    showFace(b);
}

QString Toolbar::ButtonCaption(int button) const
{
    const QToolButton* tb = ButtonWidget(button);
    return tb != nullptr ? tb->text() : QString();
}

void Toolbar::setButtonCaption(int button, const QString& caption)
{
    Button& b = at(button);
    if (auto* tb = qobject_cast<QToolButton*>(b.widget)) {
        tb->setText(caption);
        showFace(b);
        updateGeometry();
    }
}

bool Toolbar::ButtonChecked(int button) const
{
    const QToolButton* tb = ButtonWidget(button);
    return tb != nullptr && tb->isChecked();
}

void Toolbar::setButtonChecked(int button, bool checked)
{
    if (QToolButton* tb = ButtonWidget(button))
        tb->setChecked(checked);
}

bool Toolbar::ButtonEnabled(int button) const
{
    return at(button).widget->isEnabled();
}

void Toolbar::setButtonEnabled(int button, bool enabled)
{
    at(button).widget->setEnabled(enabled);
}

int Toolbar::ButtonIndex(const QString& key) const
{
    for (qsizetype i = 0; i < m_buttons.size(); ++i) {
        if (!key.isEmpty() && m_buttons.at(i).key == key)
            return static_cast<int>(i + 1);
    }
    return 0;
}

QToolButton* Toolbar::ButtonWidget(int button) const
{
    return qobject_cast<QToolButton*>(at(button).widget);
}

QPoint Toolbar::ButtonDropDownPoint(int button, const QWidget* reference) const
{
    const QWidget* w = at(button).widget;
    const QPoint local(0, w->height());
    if (reference == nullptr)
        return w->mapTo(this, local);
    return reference->mapFromGlobal(w->mapToGlobal(local));
}

} // namespace tw::platform
