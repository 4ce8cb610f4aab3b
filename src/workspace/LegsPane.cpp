#include "workspace/LegsPane.h"

#include "app/CAppSettings.h"
#include "app/Convert.h"
#include "app/Dialogs.h"
#include "app/Procedure.h"
#include "app/Tools.h"
#include "model/Evaluation.h"
#include "model/StrategyTemplates.h"
#include "model/stock.h"
#include "platform/Grid.h"
#include "platform/PopupMenu.h"
#include "platform/Workbook.h"
#include "workspace/AnalysisSession.h"
#include "workspace/GridLayouts.h"
#include "workspace/LegEditRules.h"
#include "workspace/LegTexts.h"
#include "workspace/ParameterRules.h"
#include "workspace/PayoffSketch.h"
#include "workspace/StrategySheet.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QScopeGuard>
#include <QUrl>

namespace tw {

LegsPane::LegsPane(AnalysisSession& session, QWidget* host)
    : WorkspacePane(session, host, QStringLiteral("LegsPane"))
{
    fraPLC = named(new QGroupBox(QStringLiteral("Chart"), this), "fraPLC");
    fraParams = named(new QGroupBox(QStringLiteral("Strategy"), this), "fraParams");
    fraOptions = named(new QGroupBox(QStringLiteral("Selected options"), this), "fraOptions");
    PLCStrategy = named(new PayoffSketch(fraPLC), "PLCStrategy");
    gdParams = named(new platform::Grid(fraParams), "gdParams");
    gdSelected = named(new platform::Grid(fraOptions), "gdSelected");
    // The in-cell editors lie above everything of the pane.
    cmbEdit = named(new QComboBox(this), "cmbEdit");
    cmbEdit->hide();
    txtEdit = named(new QLineEdit(this), "txtEdit");
    txtEdit->hide();
    connectGrids();
    connectEditors();
    connect(&session, &AnalysisSession::selectionChanged, this, [this] { showSelection(); });
    connect(&session, &AnalysisSession::legsChanged, this, [this] { showLegs(); });
    connect(&session, &AnalysisSession::evaluated, this, [this](const Evaluation& ev) { showEvaluation(ev); });
    session.addEditorCommit(this, [this](const AnalysisSession::LeaveQuestion& leave) { return commitOpenEditor(leave); });
}

void LegsPane::connectGrids()
{
    for (platform::Grid* grid : {gdParams, gdSelected}) {
        saveGridLayoutOnChange(this, grid, m_RestoringGrid);
        connect(grid, &platform::Grid::MouseUp, this,
                [this, grid](int button, int, double x, double y) { legGridMouseUp(grid, button, x, y); });
    }
}

void LegsPane::setPopupMenu(platform::PopupMenu* menu)
{
    m_cParamsMenu = menu;
    connect(menu, &platform::PopupMenu::Click, this, [this](int item) { m_cParamsMenu_Click(item); });
}

void LegsPane::editorsFollowInTabOrder(QWidget* previous)
{
    QWidget::setTabOrder(previous, cmbEdit);
    QWidget::setTabOrder(cmbEdit, txtEdit);
}

LegEditorPlaces LegsPane::editorPlaces() const
{
    LegEditorPlaces e;
    e.comboTag = cmbEdit->property("tag").toString();
    e.textTag = txtEdit->property("tag").toString();
    e.comboShown = cmbEdit->isVisibleTo(this);
    e.textShown = txtEdit->isVisibleTo(this);
    e.comboSize = cmbEdit->size();
    e.textSize = txtEdit->size();
    const auto cellOrigin = [](platform::Grid* g) -> std::optional<QPoint> {
        if (g->SelectedRow() < 1 || g->SelectedCol() < 1)
            return std::nullopt;
        return g->CellBoundary(g->SelectedRow(), g->SelectedCol()).topLeft();
    };
    e.paramsCell = cellOrigin(gdParams);
    e.selectedCell = cellOrigin(gdSelected);
    return e;
}

void LegsPane::RestoreGridHeader(platform::Grid* grid)
{
    tw::RestoreGridHeader(appSettings(), *grid, m_RestoringGrid, priceColumnHeader(session().priceSource()));
}

void LegsPane::UpdateParamsList(const ParamsCollection& Params)
{
    Procedure proc("frmStrategies", "UpdateParamsList");
    TW_STEP(proc, PLCStrategy->ClearLegs());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // Whatever fails on the way, the grid repaints and the pointer returns.
    const auto restore = qScopeGuard([this] {
        gdParams->setRedraw(true);
        QApplication::restoreOverrideCursor();
    });
    TW_STEP(proc, gdParams->setRedraw(false));
    TW_STEP(proc, RestoreGridHeader(gdParams));
    TW_STEP(proc, gdParams->Clear(false));
    QColor back;
    QColor swatch(0, 0, 0);
    for (const auto& item : Params) {
        const StrategyItem& leg = *item;
        TW_STEP(proc, {
            const int row = gdParams->AddRow();
            back = (!back.isValid() || back == QColor(0xF0, 0xF0, 0xF0)) ? QColor(0xFE, 0xFE, 0xFE)
                                                                         : QColor(0xF0, 0xF0, 0xF0);
            if (const uint32_t c = legSwatchColor(leg.ItemType(), leg.Position()); c != 0)
                swatch = QColor::fromRgb(c);
            gdParams->CellDetails(row, 1, platform::GridValue::text(QString()), platform::Grid::DtLeft, -1, swatch);
            gdParams->CellDetails(row, 2, platform::GridValue::text(positionText(leg.Position())),
                                  platform::Grid::DtCenter, -1, back);
            gdParams->CellDetails(row, 4, platform::GridValue::text(strikeOffsetText(leg.ItemType(), leg.StrikePrice())),
                                  platform::Grid::DtCenter, -1, back);
            gdParams->CellDetails(row, 3, platform::GridValue::text(kindText(leg.ItemType())),
                                  platform::Grid::DtCenter, -1, back);
            if (const int code = sketchCode(leg.ItemType(), leg.Position()); code != 0)
                PLCStrategy->AddLeg(code, leg.StrikePrice());
            gdParams->CellDetails(row, 6, platform::GridValue::integer(leg.Quantity()), platform::Grid::DtRight, -1,
                                  back);
            gdParams->CellDetails(row, 5,
                                  platform::GridValue::text(leg.ItemType() == LegKind::Stock
                                                                ? QString()
                                                                : expirationClassText(leg.ExpireDate())),
                                  platform::Grid::DtCenter, -1, back);
        });
    }
    const QColor face = QApplication::palette().color(QPalette::Button);
    const QColor grey = QApplication::palette().color(QPalette::Disabled, QPalette::Text);
    TW_STEP(proc, {
        for (const char* hint : {"double click on item to edit or double click this line to add new",
                                 "right click to popup context menu"}) {
            const int row = gdParams->AddRow(16, true);
            gdParams->CellDetails(row, 7, platform::GridValue::text(QLatin1String(hint)),
                                  platform::Grid::DtCenter | platform::Grid::DtWordBreak, -1, face, grey);
        }
    });
}

void LegsPane::showEvaluation(const Evaluation& ev)
{
    shielded("frmStrategies.SelectOptions", [&] {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const auto pointer = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
        setUpdatesEnabled(false);
        // An error part-way never leaves the grid or the pane frozen.
        const auto unlock = qScopeGuard([this] {
            gdSelected->setRedraw(true);
            setUpdatesEnabled(true);
        });
        gdSelected->setRedraw(false);
        RestoreGridHeader(gdSelected);
        gdSelected->setColumnHeader(QStringLiteral("price"), ev.priceHeader);
        gdSelected->Clear(false);
        const CellFonts fonts = cellFonts(*gdSelected);
        fillEvaluatedGrid(ev, fonts.bold, fonts.plain);
    });
}

void LegsPane::fillEvaluatedGrid(const Evaluation& ev, const QFont& bold, const QFont& plain)
{
    const QColor face = QApplication::palette().color(QPalette::Button);
    const QColor grey = QApplication::palette().color(QPalette::Disabled, QPalette::Text);
    for (const EvalRow& r : ev.rows) {
        const bool group = r.kind == EvalRow::Total || r.kind == EvalRow::Hint;
        const int row = group ? gdSelected->AddRow(r.height, true) : gdSelected->AddRow();
        if (r.kind == EvalRow::Hint) {
            gdSelected->CellDetails(row, 9, platform::GridValue::text(r.group.text), r.group.align, -1, face, grey);
            continue;
        }
        const QColor back = QColor::fromRgb(r.backColor);
        if (r.kind == EvalRow::Total) {
            gdSelected->CellDetails(row, 9, platform::GridValue::text(r.group.text), r.group.align, -1, back,
                                    QColor::fromRgb(r.group.textColor), &bold);
            continue;
        }
        gdSelected->CellDetails(row, 1, platform::GridValue::text(QString()), CellAlign::Left, -1,
                                QColor::fromRgb(r.swatchColor));
        if (r.kind == EvalRow::Missing) {
            gdSelected->setRowIsGroup(row, true);
            gdSelected->CellDetails(row, 9, platform::GridValue::text(r.group.text), r.group.align, -1, back,
                                    QColor::fromRgb(r.group.textColor), &bold);
            continue;
        }
        for (int c = 0; c < 7; ++c) {
            const EvalCell& cell = r.cells[c];
            gdSelected->CellDetails(row, c + 2, platform::GridValue::text(cell.text), cell.align, -1, back,
                                    cell.hasTextColor ? QColor::fromRgb(cell.textColor) : QColor(),
                                    cell.bold ? &bold : &plain);
        }
    }
}

void LegsPane::legGridMouseUp(platform::Grid* grid, int button, double x, double y)
{
    Procedure proc("frmStrategies", grid == gdParams ? "gdParams_MouseUp" : "gdSelected_MouseUp");
    if (button != 2 || grid->Rows() < 1)
        return;
    // An open editor is written first; one that refuses its text keeps the
    // popup away.
    if (!commitOpenEditors(proc))
        return;
    TW_STEP(proc, grid->EndEdit());
    TW_STEP(proc, grid->setFocus(Qt::MouseFocusReason));
    TW_STEP(proc, {
        m_popupGrid = grid;
        const QPoint at = popupPoint(grid, x, y);
        m_cParamsMenu->ShowAt(at.x(), at.y());
    });
}

platform::Grid* LegsPane::activeLegGrid() const
{
    if (m_commandGrid != nullptr)
        return m_commandGrid;
    const QWidget* focus = QApplication::focusWidget();
    return focus != nullptr && (focus == gdParams || gdParams->isAncestorOf(focus)) ? gdParams : gdSelected;
}

void LegsPane::refreshLegGrids(const std::shared_ptr<ParamsCollection>& params)
{
    const int pr = gdParams->SelectedRow();
    const int pc = gdParams->SelectedCol();
    UpdateParamsList(*params);
    if (pr >= 1 && pc >= 1)
        gdParams->setCellSelected(pr, pc);
    const int sr = gdSelected->SelectedRow();
    const int sc = gdSelected->SelectedCol();
    session().SelectOptions(params);
    if (sr >= 1 && sc >= 1)
        gdSelected->setCellSelected(sr, sc);
}

void LegsPane::showLegs()
{
    shielded("frmStrategies.legsChanged", [this] {
        const auto params = session().selectedParams();
        if (params == nullptr)
            return;
        UpdateParamsList(*params);
        session().SelectOptions(params);
    });
}

void LegsPane::showSelection()
{
    shielded("frmStrategies.tvStrategies_NodeClick", [this] {
        if (const auto params = session().selectedParams()) {
            UpdateParamsList(*params);
            session().SelectOptions(params);
            return;
        }
        if (session().hasSelection())
            PLCStrategy->ClearLegs();
        gdParams->Clear(true);
        gdSelected->Clear(true);
        session().SelectOptions(nullptr);
    });
}

void LegsPane::AddNewParam()
{
    Procedure proc("frmStrategies", "AddNewParam");
    const auto params = session().selectedParams();
    if (params == nullptr)
        return;
    TW_STEP(proc, params->Add(LegKind::Call, LegPosition::Long, 0, 3, 1));
    TW_STEP(proc, m_NewLegFlag = true);
    TW_STEP(proc, session().legsEdited(true));
}

void LegsPane::DeleteParams()
{
    Procedure proc("frmStrategies", "DeleteParams");
    const auto params = session().selectedParams();
    if (params == nullptr)
        return;
    platform::Grid* source = activeLegGrid();
    const int r = source->SelectedRow();
    if (r < 1 || r > params->Count())
        return;
    TW_STEP(proc, params->Remove(r));
    TW_STEP(proc, refreshLegGrids(params));
    TW_STEP(proc, session().setStrategiesChanged(true));
}

void LegsPane::ShiftStrikes(int step)
{
    Procedure proc("frmStrategies", step > 0 ? "ShiftStrikesUp" : "ShiftStrikesDown");
    const auto params = session().selectedParams();
    if (params == nullptr)
        return;
    // A shift that moves a strike changes the library like any other edit
    // and is not to be lost at exit without a question.
    bool moved = false;
    TW_STEP(proc, {
        for (const auto& leg : *params) {
            if (leg->ItemType() == LegKind::Stock)
                continue;
            const int16_t offset = shiftedOffset(leg->StrikePrice(), step);
            moved = moved || offset != leg->StrikePrice();
            leg->setStrikePrice(offset);
        }
    });
    TW_STEP(proc, session().legsEdited(moved));
}

void LegsPane::m_cParamsMenu_Click(int itemNumber)
{
    Procedure proc("frmStrategies", "m_cParamsMenu_Click");
    QString key;
    TW_STEP(proc, key = m_cParamsMenu->KeyOfItem(itemNumber));
    // The commands work on the grid the menu was opened on, whatever holds
    // the focus while the menu is up.
    m_commandGrid = m_popupGrid;
    const auto done = qScopeGuard([this] { m_commandGrid = nullptr; });
    if (key == QLatin1String("mnuParamsAdd")) {
        TW_STEP(proc, AddNewParam());
    } else if (key == QLatin1String("mnuParamsEdit")) {
        TW_STEP(proc, {
            platform::Grid* grid = activeLegGrid();
            grid->RequestEditAt(grid->SelectedRow(), grid->SelectedCol());
        });
    } else if (key == QLatin1String("mnuParamsDelete")) {
        TW_STEP(proc, DeleteParams());
    } else if (key == QLatin1String("mnuParams1StepUp")) {
        TW_STEP(proc, ShiftStrikes(1));
    } else if (key == QLatin1String("mnuParams1StepDown")) {
        TW_STEP(proc, ShiftStrikes(-1));
    } else if (key == QLatin1String("mnuParamsExportToExcel")) {
        TW_STEP(proc, ExportStrategyToExcel());
    }
}

// ---------------------------------------------------------------------------
// Export

namespace {

GridSnapshot snapshotOf(const platform::Grid& grid)
{
    GridSnapshot s;
    for (int c = 1; c <= grid.Columns(); ++c)
        s.headers.append(grid.ColumnHeader(c));
    for (int r = 1; r <= grid.Rows(); ++r) {
        std::vector<SheetSourceCell> row;
        row.reserve(static_cast<size_t>(grid.Columns()));
        for (int c = 1; c <= grid.Columns(); ++c) {
            SheetSourceCell cell;
            cell.text = grid.CellText(r, c);
            const QColor fore = grid.CellForeColor(r, c);
            cell.hasTextColor = fore.isValid();
            cell.textColor = fore.isValid() ? (fore.rgb() & 0xFFFFFF) : 0;
            row.push_back(cell);
        }
        s.rows.push_back(std::move(row));
    }
    return s;
}

} // namespace

void LegsPane::ExportStrategyToExcel()
{
    Procedure proc("frmStrategies", "ExportStrategyToExcel");
    // The workbook shows what is typed into an open editor too.
    if (!commitOpenEditors(proc))
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto pointer = qScopeGuard([] { QApplication::restoreOverrideCursor(); });

    platform::Workbook book;
    bool filled = false;
    TW_STEP(proc, filled = fillStrategySheet(snapshotOf(*gdSelected), book));
    if (!filled) {
        TW_STEP(proc, dialogs().messageBox(QStringLiteral("There are no evaluated legs to export yet: open an option "
                                                          "chain and select a strategy first."),
                                           Msg::OkOnly | Msg::Information, appTitle()));
        return;
    }

    ExportOutcome out;
    TW_STEP(proc, {
        const QString strategy = session().selectedParams() != nullptr ? session().selectedCaption() : QString();
        const auto& s = session().ObjStock();
        out = saveStrategyWorkbook(book, exportFolder(), strategy, s != nullptr ? tickerOfCode(s->Code()) : QString(),
                                   s != nullptr ? s->StockDate() : 0.0);
    });
    if (out.path.isEmpty()) {
        TW_STEP(proc, dialogs().messageBox(out.message, Msg::OkOnly | Msg::Exclamation, appTitle()));
        return;
    }
    TW_STEP(proc, emit statusMessage(QStringLiteral(" Exported to ") + QDir::toNativeSeparators(out.path)));
    bool opened = false;
    TW_STEP(proc, opened = dialogs().openUrl(QUrl::fromLocalFile(out.path)));
    if (!opened)
        TW_STEP(proc, dialogs().messageBox(exportNotOpenedMessage(out.path), Msg::OkOnly | Msg::Information, appTitle()));
}

} // namespace tw
