// The two leg grids of the main window: the template legs of the selected
// strategy (with the payoff sketch) and the evaluated legs with the
// position's total.

#include "mainwindow/frmStrategies.h"

#include "app/CAppSettings.h"
#include "app/Procedure.h"
#include "app/Tools.h"
#include "charts/ChartHost.h"
#include "charts/frm3dChart.h"
#include "charts/frmChart.h"
#include "model/Evaluation.h"
#include "model/StrategyTemplates.h"
#include "model/stock.h"
#include "platform/Grid.h"
#include "workspace/GridLayouts.h"
#include "workspace/LegTexts.h"
#include "workspace/AnalysisSession.h"
#include "workspace/PayoffSketch.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QScopeGuard>

namespace tw {

namespace {

QColor rgb(uint32_t v)
{
    return QColor((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

} // namespace

PayoffSketch* frmStrategies::payoffSketch() const
{
    return static_cast<PayoffSketch*>(PLCStrategy);
}

void frmStrategies::RestoreGridHeader(platform::Grid* grid)
{
    tw::RestoreGridHeader(appSettings(), *grid, m_RestoringGrid, priceColumnHeader(m_session->priceSource()));
}

void frmStrategies::SaveGridHeader(platform::Grid* grid, int col, int width)
{
    Procedure proc("frmStrategies", "SaveGridHeader");
    TW_STEP(proc, tw::SaveGridHeader(appSettings(), *grid, col, width));
}

void frmStrategies::UpdateParamsList(const ParamsCollection& Params)
{
    Procedure proc("frmStrategies", "UpdateParamsList");
    TW_STEP(proc, payoffSketch()->ClearLegs());
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
                swatch = rgb(c);
            gdParams->CellDetails(row, 1, platform::GridValue::text(QString()), platform::Grid::DtLeft, -1, swatch);
            gdParams->CellDetails(row, 2, platform::GridValue::text(positionText(leg.Position())),
                                  platform::Grid::DtCenter, -1, back);
            gdParams->CellDetails(row, 4, platform::GridValue::text(strikeOffsetText(leg.ItemType(), leg.StrikePrice())),
                                  platform::Grid::DtCenter, -1, back);
            gdParams->CellDetails(row, 3, platform::GridValue::text(kindText(leg.ItemType())),
                                  platform::Grid::DtCenter, -1, back);
            if (const int code = sketchCode(leg.ItemType(), leg.Position()); code != 0)
                payoffSketch()->AddLeg(code, leg.StrikePrice());
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

void frmStrategies::showEvaluation(const Evaluation& ev)
{
    shielded("frmStrategies.SelectOptions", [&] {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const auto pointer = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
        setUpdatesEnabled(false);
        // An error part-way never leaves the grid or the window frozen.
        const auto unlock = qScopeGuard([this] {
            gdSelected->setRedraw(true);
            setUpdatesEnabled(true);
        });
        gdSelected->setRedraw(false);
        RestoreGridHeader(gdSelected);
        gdSelected->setColumnHeader(QStringLiteral("price"), ev.priceHeader);
        gdSelected->Clear(false);
        QFont bold = gdSelected->font();
        bold.setPointSizeF(8);
        bold.setBold(true);
        QFont plain = bold;
        plain.setBold(false);
        fillEvaluatedGrid(ev, bold, plain);
    });
    shielded("frmStrategies.SelectOptions", [&] {
        frm3dChart* chart3d = frm3dChart::instance();
        chart3d->mMaxDate = ev.maxDate;
        chart3d->mLines = ev.legs;
        chart3d->mVolatility = m_session->volatility();
        chart3d->mInterestRate = m_session->interestRate();
        chart3d->UpdateChart();
    });
    shielded("frmStrategies.SelectOptions", [&] {
        for (const auto& entry : std::as_const(m_Charts)) {
            if (entry.second != nullptr)
                entry.second->setOptions(m_session->chartLegs());
        }
    });
}

void frmStrategies::clearChartLegs()
{
    shielded("frmStrategies.SelectOptions", [&] {
        frm3dChart* chart3d = frm3dChart::instance();
        chart3d->mLines.reset();
        chart3d->setWindowTitle(QStringLiteral("3D chart"));
        chart3d->UpdateChart();
    });
    shielded("frmStrategies.SelectOptions", [&] {
        for (const auto& entry : std::as_const(m_Charts)) {
            if (entry.second != nullptr)
                entry.second->setOptions(LegsArray());
        }
    });
}

void frmStrategies::fillEvaluatedGrid(const Evaluation& ev, const QFont& bold, const QFont& plain)
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
        if (r.kind == EvalRow::Total) {
            gdSelected->CellDetails(row, 9, platform::GridValue::text(r.group.text), r.group.align, -1,
                                    rgb(r.backColor), rgb(r.group.textColor), &bold);
            continue;
        }
        gdSelected->CellDetails(row, 1, platform::GridValue::text(QString()), CellAlign::Left, -1, rgb(r.swatchColor));
        if (r.kind == EvalRow::Missing) {
            gdSelected->setRowIsGroup(row, true);
            gdSelected->CellDetails(row, 9, platform::GridValue::text(r.group.text), r.group.align, -1,
                                    rgb(r.backColor), rgb(r.group.textColor), &bold);
            continue;
        }
        for (int c = 0; c < 7; ++c) {
            const EvalCell& cell = r.cells[c];
            gdSelected->CellDetails(row, c + 2, platform::GridValue::text(cell.text), cell.align, -1,
                                    rgb(r.backColor), cell.hasTextColor ? rgb(cell.textColor) : QColor(),
                                    cell.bold ? &bold : &plain);
        }
    }
}

std::shared_ptr<stock> frmStrategies::hostStock() const
{
    return m_session->ObjStock();
}

double frmStrategies::hostCalcStockPrice() const
{
    return m_session->calcStockPrice();
}

double frmStrategies::hostStartStrategyPrice() const
{
    return m_session->startStrategyPrice();
}

double frmStrategies::hostDividends() const
{
    return m_session->dividends();
}

int32_t frmStrategies::hostSteps() const
{
    return m_session->steps();
}

int32_t frmStrategies::hostModel() const
{
    return m_session->model();
}

bool frmStrategies::hostPLSign() const
{
    return m_session->plSign();
}

} // namespace tw
