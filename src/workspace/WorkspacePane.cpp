#include "workspace/WorkspacePane.h"

#include "app/Convert.h"

#include <QChildEvent>
#include <QEvent>
#include <QLabel>
#include <QRegion>

namespace tw {

WorkspacePane::WorkspacePane(AnalysisSession& session, QWidget* host, const QString& name)
    : QWidget(host), m_session(session), m_host(host)
{
    setObjectName(name);
    setGeometry(host->rect());
    host->installEventFilter(this);
    updateMask();
}

WorkspacePane::~WorkspacePane()
{
    // The host may be going away with this pane; it filters nothing then.
    m_host = nullptr;
}

void WorkspacePane::registerControl(QWidget* control, const QString& name)
{
    control->setObjectName(name);
    m_controls.insert(name, control);
}

void WorkspacePane::placeControl(const QString& name, const QRect& rect)
{
    if (QWidget* w = m_controls.value(name))
        w->setGeometry(rect);
}

void WorkspacePane::showControl(const QString& name, bool visible)
{
    if (QWidget* w = m_controls.value(name))
        w->setVisible(visible);
}

bool WorkspacePane::controlShown(const QString& name) const
{
    const QWidget* w = m_controls.value(name);
    return w != nullptr && w->isVisibleTo(w->parentWidget());
}

int WorkspacePane::preferredWidth(const QString& name) const
{
    const QWidget* w = m_controls.value(name);
    return w != nullptr ? w->sizeHint().width() : 0;
}

int WorkspacePane::captionWidth(const QString& name) const
{
    const auto* label = qobject_cast<const QLabel*>(m_controls.value(name));
    if (label == nullptr)
        return 0;
    return label->text().isEmpty() ? 5 : label->fontMetrics().horizontalAdvance(label->text()) + 2;
}

double WorkspacePane::twipsPerPixel() const
{
    return tw::twipsPerPixel(logicalDpiY());
}

QPoint WorkspacePane::popupPoint(const QWidget* control, double x, double y) const
{
    const double tpp = twipsPerPixel();
    const QPoint at = control->mapTo(window(), QPoint(0, 0));
    return QPoint(static_cast<int>(roundHalfEven(at.x() * tpp + x)), static_cast<int>(roundHalfEven(at.y() * tpp + y)));
}

// ---------------------------------------------------------------------------
// Lying over the host, taking the pointer only over the own controls

bool WorkspacePane::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_host && event->type() == QEvent::Resize) {
        setGeometry(m_host->rect());
    } else if (watched != m_host && watched->parent() == this) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::ShowToParent:
        case QEvent::HideToParent:
            updateMask();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void WorkspacePane::childEvent(QChildEvent* event)
{
    QWidget::childEvent(event);
    if (event->added() && event->child()->isWidgetType())
        event->child()->installEventFilter(this);
    if (event->removed() || event->added())
        updateMask();
}

void WorkspacePane::updateMask()
{
    QRegion region;
    for (QObject* child : children()) {
        const auto* w = qobject_cast<QWidget*>(child);
        if (w != nullptr && !w->isWindow() && w->isVisibleTo(this))
            region += w->geometry();
    }
    // An empty region would clear the mask (the whole pane): a pane without
    // a shown control takes no point at all.
    if (region.isEmpty())
        region = QRegion(-1, -1, 1, 1);
    setMask(region);
}

} // namespace tw
