#include "workspace/DescriptionPane.h"

#include "app/Procedure.h"
#include "platform/RichTextBox.h"
#include "platform/Rtf.h"
#include "workspace/AnalysisSession.h"

#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QMimeData>

namespace tw {

EditStates editMenuStates(bool richTextBoxFocused, bool hasSelection, bool clipboardHoldsRichText)
{
    EditStates s;
    s.cut = s.copy = richTextBoxFocused && hasSelection;
    s.paste = richTextBoxFocused && clipboardHoldsRichText;
    return s;
}

DescriptionPane::DescriptionPane(AnalysisSession& session, QWidget* host)
    : WorkspacePane(session, host, QStringLiteral("DescriptionPane"))
{
    fraDescription = named(new QGroupBox(QStringLiteral("Description"), this), "fraDescription");
    rtfDescription = named(new platform::RichTextBox(fraDescription), "rtfDescription");
    connect(rtfDescription, &QTextEdit::textChanged, this, [this] { rtfDescription_Change(); });
    connect(rtfDescription, &platform::RichTextBox::MouseUp, this,
            [this](int b, int s, double x, double y) { rtfDescription_MouseUp(b, s, float(x), float(y)); });
    connect(&session, &AnalysisSession::selectionChanged, this, [this] { showSelection(); });
}

void DescriptionPane::showSelection()
{
    shielded("frmStrategies.tvStrategies_NodeClick", [this] {
        // Setting the box raises no change: only what the user changes is
        // written back, so a description is stored as it came until then.
        rtfDescription->setEnabled(session().hasSelection());
        rtfDescription->setTextRTF(session().selectedDescription());
    });
}

void DescriptionPane::rtfDescription_Change()
{
    Procedure proc("frmStrategies", "rtfDescription_Change");
    if (!session().hasSelection())
        return;
    TW_STEP(proc, session().setSelectedDescription(rtfDescription->TextRTF()));
    // An edited description is an unsaved change like any other.
    TW_STEP(proc, session().setStrategiesChanged(true));
}

void DescriptionPane::rtfDescription_MouseUp(int Button, int Shift, float X, float Y)
{
    Q_UNUSED(Shift);
    Procedure proc("frmStrategies", "rtfDescription_MouseUp");
    if (Button != 2)
        return;
    TW_STEP(proc, {
        const QPoint at = popupPoint(rtfDescription, X, Y);
        emit editMenuRequested(at.x(), at.y());
    });
}

// ---------------------------------------------------------------------------
// Edit commands

bool DescriptionPane::boxFocused() const
{
    return QApplication::focusWidget() == rtfDescription;
}

void DescriptionPane::Cut()
{
    // The box stores the edit and marks the library unsaved itself,
    // whichever way the edit came.
    if (boxFocused() && rtfDescription->textCursor().hasSelection())
        rtfDescription->cut();
}

void DescriptionPane::Copy()
{
    // Only the box has anything to copy; the clipboard is left alone
    // otherwise.
    if (boxFocused() && rtfDescription->textCursor().hasSelection())
        rtfDescription->copy();
}

void DescriptionPane::Paste()
{
    if (boxFocused())
        rtfDescription->paste();
}

EditStates DescriptionPane::editStates() const
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    const bool rich = data != nullptr && (platform::mimeHoldsRtf(data) || data->hasHtml());
    const bool focused = boxFocused();
    return editMenuStates(focused, focused && rtfDescription->textCursor().hasSelection(), rich);
}

} // namespace tw
