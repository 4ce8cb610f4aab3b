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

void frmStrategies::showSelection()
{
    shielded("frmStrategies.tvStrategies_NodeClick", [this] {
        if (!m_session->hasSelection()) {
            gdParams->Clear(true);
            gdSelected->Clear(true);
            m_session->SelectOptions(nullptr);
            return;
        }
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

