#include "workspace/WorkspacePane.h"

#include "app/Convert.h"
#include "app/Procedure.h"
#include "workspace/AnalysisSession.h"

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
    m_layers.append(this);
    updateMask(this);
}

WorkspacePane::~WorkspacePane()
{
    // The host may be going away with this pane; it filters nothing then.
    m_host = nullptr;
}

void WorkspacePane::keepToControls(QWidget* layer)
{
    m_layers.append(layer);
    layer->installEventFilter(this);
    for (QObject* child : layer->children()) {
        if (child->isWidgetType())
            child->installEventFilter(this);
    }
    updateMask(layer);
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

QWidget* WorkspacePane::lastInFocusChain() const
{
    // The pane's widgets need not follow each other in the chain.
    QWidget* last = const_cast<WorkspacePane*>(this);
    QWidget* start = window();
    for (QWidget* w = start->nextInFocusChain(); w != start; w = w->nextInFocusChain()) {
        if (isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) != 0)
            last = w;
    }
    return last;
}

double WorkspacePane::twipsPerPixel() const
{
    return tw::twipsPerPixel(logicalDpiY());
}

bool WorkspacePane::commitOpenEditors(Procedure& proc)
{
    bool committed = false;
    TW_STEP_OR(proc, false, committed = m_session.commitOpenEditors());
    return committed;
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
        return QWidget::eventFilter(watched, event);
    }
    auto* layer = qobject_cast<QWidget*>(watched->parent());
    if (watched != m_host && layer != nullptr && m_layers.contains(layer)) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::ShowToParent:
        case QEvent::HideToParent:
            updateMask(layer);
            break;
        default:
            break;
        }
    }
    // A layer learns of the controls added to it.
    if (event->type() == QEvent::ChildAdded && watched != this && m_layers.contains(watched)) {
        QObject* child = static_cast<QChildEvent*>(event)->child();
        if (child->isWidgetType())
            child->installEventFilter(this);
    }
    return QWidget::eventFilter(watched, event);
}

void WorkspacePane::childEvent(QChildEvent* event)
{
    QWidget::childEvent(event);
    if (event->added() && event->child()->isWidgetType())
        event->child()->installEventFilter(this);
    if (event->removed() || event->added())
        updateMask(this);
}

void WorkspacePane::updateMask(QWidget* layer)
{
    QRegion region;
    for (QObject* child : layer->children()) {
        const auto* w = qobject_cast<QWidget*>(child);
        if (w == nullptr || w->isWindow() || !w->isVisibleTo(layer))
            continue;
        // A layer within takes only what its own mask takes.
        if (m_layers.contains(w) && !w->mask().isEmpty())
            region += w->mask().translated(w->pos()) & w->geometry();
        else
            region += w->geometry();
    }
    // An empty region would clear the mask (the whole pane): a pane without
    // a shown control takes no point at all.
    if (region.isEmpty())
        region = QRegion(-1, -1, 1, 1);
    layer->setMask(region);
    if (layer != this && m_layers.contains(layer->parentWidget()))
        updateMask(layer->parentWidget());
}

} // namespace tw
