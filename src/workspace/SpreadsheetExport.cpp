// The export of the evaluated legs: gdSelected as it stands goes into a
// workbook in the user's cache folder, which the desktop then opens in its
// spreadsheet program.

#include "mainwindow/frmStrategies.h"

#include "app/Dialogs.h"
#include "app/Procedure.h"
#include "model/stock.h"
#include "platform/Grid.h"
#include "platform/Workbook.h"
#include "workspace/ParameterRules.h"
#include "workspace/StrategySheet.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTreeWidget>
#include <QUrl>

namespace tw {

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

// Where exports are written: $XDG_CACHE_HOME/tarnwell/exports.
QString exportFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
        + QStringLiteral("/tarnwell/exports");
}

} // namespace

void frmStrategies::ExportStrategyToExcel()
{
    Procedure proc("frmStrategies", "ExportStrategyToExcel");
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

    QString name;
    TW_STEP(proc, {
        const QString strategy = m_session->selectedParams() != nullptr ? m_session->selectedCaption() : QString();
        name = exportFileName(strategy, m_session->ObjStock() != nullptr ? tickerOfCode(m_session->ObjStock()->Code()) : QString(),
                              m_session->ObjStock() != nullptr ? m_session->ObjStock()->StockDate() : 0.0);
    });
    QString path;
    QString error;
    bool written = false;
    TW_STEP(proc, {
        const QString folder = exportFolder();
        if (!QDir().mkpath(folder)) {
            error = QStringLiteral("The folder %1 cannot be made.").arg(QDir::toNativeSeparators(folder));
        } else {
            path = unusedExportPath(folder, name);
            written = book.save(path, &error);
        }
    });
    if (!written) {
        TW_STEP(proc, dialogs().messageBox(QStringLiteral("The strategy could not be exported.\n\n") + error,
                                           Msg::OkOnly | Msg::Exclamation, appTitle()));
        return;
    }
    TW_STEP(proc, lblStatus->setText(QStringLiteral(" Exported to ") + QDir::toNativeSeparators(path)));
    bool opened = false;
    TW_STEP(proc, opened = dialogs().openUrl(QUrl::fromLocalFile(path)));
    if (!opened) {
        TW_STEP(proc, dialogs().messageBox(QStringLiteral("The strategy was exported to\n%1\n\nNo program on this "
                                                          "computer is set up to open spreadsheets (.xlsx): open "
                                                          "the file from there with a spreadsheet program.")
                                               .arg(QDir::toNativeSeparators(path)),
                                           Msg::OkOnly | Msg::Information, appTitle()));
    }
}

} // namespace tw
