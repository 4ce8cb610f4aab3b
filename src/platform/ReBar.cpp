#include "platform/ReBar.h"

#include <QEvent>
#include <QResizeEvent>
#include <stdexcept>

namespace tw::platform {

namespace {
constexpr int kGap = 4;     // between bands of a row, and before the first
constexpr int kRowGap = 1;  // between rows
} // namespace

ReBar::ReBar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("rbrMain"));
    setAutoFillBackground(true);
}

int ReBar::AddBandByHwnd(QWidget* child, const QString& text, bool breakLine, bool fixedSize, const QString& data)
{
    if (child == nullptr)
        throw std::invalid_argument("a band needs a child window");
    child->setParent(this);
    child->show();
    m_bands.append(Band{child, text, breakLine, fixedSize, data});
    RebarSize();
    return static_cast<int>(m_bands.size());
}

QString ReBar::BandData(int band) const
{
    if (band < 1 || band > m_bands.size())
        throw std::out_of_range("no such band");
    return m_bands.at(band - 1).data;
}

QWidget* ReBar::BandChild(int band) const
{
    if (band < 1 || band > m_bands.size())
        throw std::out_of_range("no such band");
    return m_bands.at(band - 1).child;
}

int ReBar::layoutBands(int width, bool apply) const
{
    int x = kGap;
    int y = 0;
    int rowHeight = 0;
    bool rowEmpty = true;
    for (const Band& band : std::as_const(m_bands)) {
        QWidget* child = band.child;
        if (child == nullptr)
            continue;
        const QSize hint = child->sizeHint().expandedTo(child->minimumSizeHint());
        const bool wrap = !rowEmpty && (band.breakLine || x + hint.width() > width);
        if (wrap) {
            y += rowHeight + kRowGap;
            x = kGap;
            rowHeight = 0;
        }
        if (apply)
            child->setGeometry(x, y, hint.width(), hint.height());
        x += hint.width() + kGap;
        rowHeight = qMax(rowHeight, hint.height());
        rowEmpty = false;
    }
    return rowEmpty ? 0 : y + rowHeight;
}

void ReBar::RebarSize()
{
    const int h = layoutBands(width() > 0 ? width() : sizeHint().width(), true);
    if (h != m_height) {
        m_height = h;
        updateGeometry();
        emit HeightChanged(h);
    }
}

void ReBar::RemoveAllRebarBands()
{
    for (Band& band : m_bands) {
        if (band.child != nullptr)
            band.child->hide();
    }
    m_bands.clear();
}

void ReBar::DestroyRebar()
{
    RemoveAllRebarBands();
    if (m_height != 0) {
        m_height = 0;
        emit HeightChanged(0);
    }
}

QSize ReBar::sizeHint() const
{
    int w = kGap;
    int h = 0;
    for (const Band& band : m_bands) {
        if (band.child == nullptr)
            continue;
        const QSize hint = band.child->sizeHint();
        w += hint.width() + kGap;
        h = qMax(h, hint.height());
    }
    return {w, h};
}

QSize ReBar::minimumSizeHint() const
{
    int widest = 0;
    for (const Band& band : m_bands) {
        if (band.child != nullptr)
            widest = qMax(widest, band.child->sizeHint().expandedTo(band.child->minimumSizeHint()).width());
    }
    const int w = widest + 2 * kGap;
    return {w, layoutBands(w, false)};
}

void ReBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    RebarSize();
}

bool ReBar::event(QEvent* event)
{
    // A band's child that changes its size (a longer menu, a new button)
    // may change the rows.
    if (event->type() == QEvent::LayoutRequest)
        RebarSize();
    return QWidget::event(event);
}

} // namespace tw::platform
