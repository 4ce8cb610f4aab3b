#include "platform/TabStrip.h"

#include <QPainter>
#include <QRegion>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QTabBar>

namespace tw::platform {

TabStrip::TabStrip(QWidget* parent) : QWidget(parent), m_bar(new QTabBar(this))
{
    m_bar->setDrawBase(false);
    m_bar->setExpanding(false);
    connect(m_bar, &QTabBar::currentChanged, this, [this](int index) {
        if (index >= 0)
            emit TabClick(index + 1);
    });
}

int TabStrip::AddTab(const QString& caption)
{
    const QSignalBlocker block(m_bar); // adding the first tab selects it silently
    m_bar->addTab(caption);
    updateShape();
    return m_bar->count();
}

int TabStrip::TabCount() const
{
    return m_bar->count();
}

QString TabStrip::TabCaption(int tab) const
{
    return m_bar->tabText(tab - 1);
}

int TabStrip::SelectedTab() const
{
    return m_bar->currentIndex() + 1;
}

void TabStrip::setSelectedTab(int tab)
{
    if (tab < 1 || tab > m_bar->count())
        return;
    m_bar->setCurrentIndex(tab - 1);
}

QRect TabStrip::ClientRect() const
{
    const int top = m_bar->sizeHint().height();
    return QRect(2, top + 2, qMax(0, width() - 4), qMax(0, height() - top - 4));
}

QSize TabStrip::sizeHint() const
{
    const QSize bar = m_bar->sizeHint();
    return {bar.width(), bar.height() + 40};
}

QSize TabStrip::minimumSizeHint() const
{
    return {0, 0};
}

void TabStrip::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    updateShape();
}

void TabStrip::updateShape()
{
    m_bar->setGeometry(0, 0, qMin(width(), m_bar->sizeHint().width()), m_bar->sizeHint().height());
    // The strip is only its tabs and its framed client area: the empty row
    // beside the tabs belongs to whatever lies under it, so controls placed
    // there take their clicks.
    const int top = m_bar->sizeHint().height();
    QRegion shape(m_bar->geometry());
    shape += QRect(0, top - 1, width(), qMax(0, height() - top + 1));
    setMask(shape);
}

void TabStrip::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    const int top = m_bar->sizeHint().height();
    frame.rect = QRect(0, top - 1, width(), height() - top + 1);
    frame.shape = QTabBar::RoundedNorth;
    frame.tabBarSize = m_bar->sizeHint();
    frame.tabBarRect = m_bar->geometry();
    painter.drawPrimitive(QStyle::PE_FrameTabWidget, frame);
}

} // namespace tw::platform
