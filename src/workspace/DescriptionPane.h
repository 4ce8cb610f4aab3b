#pragma once
// The description pane: the frame "Description" with the rich-text box that
// shows the selected group's or strategy's description (RTF) and writes what
// the user changes back into it, and the Edit commands on the box (Cut, Copy,
// Paste), which the window's Edit menu and the box's right-click reach.

#include "workspace/WorkspacePane.h"

class QGroupBox;

namespace tw {

namespace platform {
class RichTextBox;
}

struct EditStates {
    bool cut = false;
    bool copy = false;
    bool paste = false;
};
// The Edit menu's states: Cut and Copy need a selection in the focused
// rich-text box, Paste a rich-text box and rich text on the clipboard.
EditStates editMenuStates(bool richTextBoxFocused, bool hasSelection, bool clipboardHoldsRichText);

class DescriptionPane : public WorkspacePane {
    Q_OBJECT
public:
    DescriptionPane(AnalysisSession& session, QWidget* host);

    void rtfDescription_Change();
    void rtfDescription_MouseUp(int Button, int Shift, float X, float Y);

    // The Edit commands, on the box while it has the keyboard focus.
    void Cut();
    void Copy();
    void Paste();
    EditStates editStates() const;

signals:
    // The box's right-click: the Edit menu is wanted at (x, y) twips of the
    // window's client area.
    void editMenuRequested(int x, int y);

private:
    // Shows the selected node's description; showing raises no change.
    void showSelection();
    bool boxFocused() const;

    QGroupBox* fraDescription = nullptr;
    platform::RichTextBox* rtfDescription = nullptr;
};

} // namespace tw
