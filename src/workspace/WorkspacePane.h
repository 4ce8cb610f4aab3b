#pragma once
// A pane of the main window. Each pane owns its controls and works on the
// window's AnalysisSession; panes never call each other: what one changes
// reaches the others through the session's signals, and what a pane asks of
// the window (a new layout, a text in the status line) goes out as a signal
// that the window connects.
//
// A pane lies over the whole area of the widget it is given (the window, or
// the bottom frame) and takes the pointer only where its own controls are,
// so panes that share an area each keep their controls to themselves and
// whatever lies under an empty spot still gets its clicks.
//
// The window's layout places the controls by their names (twips converted
// to pixels; a rectangle relative to the container the layout names, which
// is the control's parent here), and reads back what it needs to measure.

#include <QHash>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>

namespace tw {

class AnalysisSession;
class Procedure;

class WorkspacePane : public QWidget {
    Q_OBJECT
public:
    WorkspacePane(AnalysisSession& session, QWidget* host, const QString& name);
    ~WorkspacePane() override;

    // ---- Placement by the window's layout ------------------------------
    bool hasControl(const QString& name) const { return m_controls.contains(name); }
    void placeControl(const QString& name, const QRect& rect);
    void showControl(const QString& name, bool visible);
    // The width a control asks for (its size hint), in pixels.
    int preferredWidth(const QString& name) const;
    // The width an auto-sized caption takes: its text plus 2 pixels, 5 for
    // an empty one.
    int captionWidth(const QString& name) const;

    // The pane's last widget that the Tab key reaches, by the window's focus
    // chain (the pane itself when it has none).
    QWidget* lastInFocusChain() const;

signals:
    // The window should lay itself out again (a caption or a page changed).
    void layoutRequested();
    // A text for the window's status line ("" clears it).
    void statusMessage(const QString& text);
    // A text given before is no longer true: the status line drops it if it
    // still shows it.
    void statusWithdrawn(const QString& text);

protected:
    AnalysisSession& session() const { return m_session; }
    // Names a control (its object name) and lets the layout place it.
    template <class W>
    W* named(W* control, const char* name)
    {
        registerControl(control, QLatin1String(name));
        return control;
    }
    void registerControl(QWidget* control, const QString& name);
    // A command's first step: the editors open over the library are
    // committed (AnalysisSession::commitOpenEditors); false when the command
    // is to stop, an editor having refused what was typed into it.
    bool commitOpenEditors(Procedure& proc);
    // A container of the pane's that lies over other panes' controls (a page
    // laid over another pane's page) takes the pointer only where its own
    // controls are, as the pane itself does.
    void keepToControls(QWidget* layer);
    // A point in the window's client area, in whole twips, for a popup
    // shown at (x, y) twips inside `control`.
    QPoint popupPoint(const QWidget* control, double x, double y) const;
    double twipsPerPixel() const;

    bool eventFilter(QObject* watched, QEvent* event) override;
    void childEvent(QChildEvent* event) override;

private:
    void updateMask(QWidget* layer);

    AnalysisSession& m_session;
    QWidget* m_host;
    QHash<QString, QWidget*> m_controls;
    // The pane and the containers of keepToControls.
    QList<QWidget*> m_layers;
};

} // namespace tw
