#pragma once
// The legs pane: the payoff sketch of the selected strategy ("Chart"), its
// template legs ("Strategy", gdParams) and its evaluated legs with the
// position's total ("Selected options", gdSelected), the in-cell editors
// laid over the leg grids' cells (cmbEdit, txtEdit), the leg commands of
// the grids' popup and their keys, and the export of the evaluated legs to
// a workbook.
//
// The grids follow the session: a newly selected strategy is listed and
// evaluated, an evaluation fills gdSelected, and every edit of a leg is
// written into the strategy and announced (AnalysisSession::legsEdited), so
// both grids are rebuilt and the strategy evaluated again. An open editor is
// committed before a command reads or replaces the legs (the session's
// commitOpenEditors): it is not only left by the focus.

#include "workspace/WorkspacePane.h"

#include <QPointer>
#include <functional>
#include <memory>
#include <optional>

class QComboBox;
class QFont;
class QGroupBox;
class QLineEdit;

namespace tw {

class ParamsCollection;
class PayoffSketch;
struct Evaluation;

namespace platform {
class Grid;
class PopupMenu;
} // namespace platform

// What the window's layout needs to keep a shown editor over its cell.
struct LegEditorPlaces {
    // The editors' tags: which field, and so which grid, each was opened on.
    QString comboTag;
    QString textTag;
    bool comboShown = false;
    bool textShown = false;
    QSize comboSize;
    QSize textSize;
    // The top-left corner of the selected cell of each grid, in pixels of
    // the grid, when it has one.
    std::optional<QPoint> paramsCell;
    std::optional<QPoint> selectedCell;
};

class LegsPane : public WorkspacePane {
    Q_OBJECT
public:
    LegsPane(AnalysisSession& session, QWidget* host);
    ~LegsPane() override;

    // The leg-grid popup, made with the window's menus; its commands run here.
    void setPopupMenu(platform::PopupMenu* menu);
    LegEditorPlaces editorPlaces() const;
    // The in-cell editors come right after `previous` when the Tab key goes
    // round the window (the last of the window's controls).
    void editorsFollowInTabOrder(QWidget* previous);

    // ---- The grids ---------------------------------------------------------
    void UpdateParamsList(const ParamsCollection& Params);

    // ---- Leg commands ------------------------------------------------------
    void AddNewParam();
    void DeleteParams();
    void ShiftStrikes(int step);
    void m_cParamsMenu_Click(int itemNumber);
    // Writes the evaluated legs to a workbook and opens it.
    void ExportStrategyToExcel();

    // ---- In-cell editing -----------------------------------------------------
    // The grids' edit requests lay cmbEdit or txtEdit over the cell; leaving
    // the editor writes the leg.
    void gdParams_RequestEdit(int row, int col, int keyCode, bool& cancel);
    void gdSelected_RequestEdit(int row, int col, int keyCode, bool& cancel);
    void cmbEdit_LostFocus();
    void txtEdit_LostFocus();
    void cmbEdit_KeyDown(int keyCode, int shift);
    void txtEdit_KeyDown(int keyCode, int shift);
    void gdParams_CancelEdit();
    void gdSelected_CancelEdit();
    void gdParams_KeyDown(int keyCode, int shift);
    void gdSelected_KeyDown(int keyCode, int shift);
    // Commits an open editor as Return does (the session's commitOpenEditors
    // asks this before a command); false, with the editor left open and the
    // user told, when the quantity typed is refused. With `leave` (the window
    // is being closed) a refused quantity is asked about instead: left, the
    // editor closes without writing and the answer is true.
    bool commitOpenEditor(const std::function<bool(const QString&)>& leave = {});
    // Leaves the quantity editor without writing, as a cancel from the grid does.
    void leaveTextEditor();
    // Shows or hides an in-cell editor (cmbEdit or txtEdit).
    void setEditorVisible(QWidget* editor, bool visible);
    bool m_NewLegFlag = false;
    bool m_EditCancelled = false;
    bool m_RestoringGrid = false;
    // The status text of the last quantity refused, until a quantity is taken.
    QString m_quantityNotice;

signals:
    // The evaluated leg's option is to be shown in its chain grid.
    void optionShowRequested(int32_t ItemType, const QString& Code);

private:
    class EditorEvents;

    void connectGrids();
    void connectEditors();
    void showSelection();
    void showLegs();
    void showEvaluation(const Evaluation& ev);
    void fillEvaluatedGrid(const Evaluation& ev, const QFont& bold, const QFont& plain);
    void RestoreGridHeader(platform::Grid* grid);
    void legGridMouseUp(platform::Grid* grid, int button, double x, double y);
    // The leg grid the commands work on: the one the leg popup was opened
    // on while its command runs, else the leg grid that has the focus, else
    // gdSelected.
    platform::Grid* activeLegGrid() const;
    // Rebuilds both leg grids from the legs, keeping each grid's selected cell.
    void refreshLegGrids(const std::shared_ptr<ParamsCollection>& params);
    // After a cancelled edit: shows a leg that the hint row added for it.
    void showAddedLeg();
    void legGridCancelEdit(platform::Grid* grid);
    void legGridKeyDown(platform::Grid* grid, int keyCode);
    void placeEditors(platform::Grid* grid, int row, int col);
    void showComboEditor(const QStringList& entries, int selected, const QString& tag,
                         const QList<int>& itemData = {});
    void showTextEditor(const QString& text, const QString& tag);
    // The legs grid the editor with that tag writes back to.
    platform::Grid* gridOfEditorTag(const QString& tag) const;

    QGroupBox* fraPLC = nullptr;
    QGroupBox* fraParams = nullptr;
    QGroupBox* fraOptions = nullptr;
    PayoffSketch* PLCStrategy = nullptr;
    platform::Grid* gdParams = nullptr;
    platform::Grid* gdSelected = nullptr;
    QComboBox* cmbEdit = nullptr;
    QLineEdit* txtEdit = nullptr;
    platform::PopupMenu* m_cParamsMenu = nullptr;

    QPointer<platform::Grid> m_popupGrid;
    QPointer<platform::Grid> m_commandGrid;
    EditorEvents* m_editorEvents = nullptr;
    int32_t m_EditRow = 0;
};

} // namespace tw
