// What the main window shows of the node selected in the strategy tree: its
// description in the description box, which writes what the user changes
// back into the group or strategy shown, and a strategy's legs.

#include "mainwindow/frmStrategies.h"

#include "app/Convert.h"
#include "app/Procedure.h"
#include "model/StrategyTemplates.h"
#include "platform/Grid.h"
#include "platform/PopupMenu.h"
#include "platform/RichTextBox.h"
#include "platform/TreeView.h"
#include "workspace/AnalysisSession.h"
#include "workspace/LibraryEdits.h"
#include "workspace/PayoffSketch.h"
#include "workspace/TreeKeys.h"

#include <QApplication>
#include <QGroupBox>
#include <QSignalBlocker>
#include <QStyle>
#include <QTimer>

namespace tw {

// ---------------------------------------------------------------------------
// Description box

void frmStrategies::rtfDescription_Change()
{
    Procedure proc("frmStrategies", "rtfDescription_Change");
    if (!m_session->hasSelection())
        return;
    TW_STEP(proc, m_session->setSelectedDescription(rtfDescription->TextRTF()));
    // An edited description is an unsaved change like any other.
    TW_STEP(proc, m_session->setStrategiesChanged(true));
}

void frmStrategies::rtfDescription_MouseUp(int Button, int Shift, float X, float Y)
{
    Q_UNUSED(Shift);
    Procedure proc("frmStrategies", "rtfDescription_MouseUp");
    if (Button != 2)
        return;
    TW_STEP(proc, setEditMenuStates());
    TW_STEP(proc, {
        const QPoint at = popupPoint(fraDescription, rtfDescription, X, Y);
        m_cMenu->ShowSubmenuAt(at.x(), at.y(), m_cMenu->IndexOfKey(QStringLiteral("mnuEditCopy")));
    });
}

void frmStrategies::showSelection()
{
    shielded("frmStrategies.tvStrategies_NodeClick", [this] {
        if (!m_session->hasSelection()) {
            rtfDescription->setTextRTF(QString());
            rtfDescription->setEnabled(false);
            gdParams->Clear(true);
            gdSelected->Clear(true);
            m_session->SelectOptions(nullptr);
            return;
        }
        rtfDescription->setEnabled(true);
        rtfDescription->setTextRTF(m_session->selectedDescription());
        if (const auto params = m_session->selectedParams()) {
            UpdateParamsList(*params);
            m_session->SelectOptions(params);
        } else {
            payoffSketch()->ClearLegs();
            gdParams->Clear(true);
            gdSelected->Clear(true);
            m_session->SelectOptions(nullptr);
        }
    });
}

} // namespace tw

