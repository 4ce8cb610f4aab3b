#pragma once
// The spreadsheet export of the evaluated-leg grid, apart from the widgets:
// which grid texts go to which sheet cells with which look, and the name the
// workbook is written under.
//
// The sheet holds the headers of grid columns 2..C in row 1 (bold white on
// the palette's blue, centred over columns 1..C - 2), the texts of the leg
// rows below them (red where the grid shows red), and the position's total
// in the last row, merged over the table's width, bold and right-aligned on
// the palette's sky blue (red when the grid shows it red). The swatch column,
// the notes of the row-text column and the grid's hint row stay out.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace tw {

namespace platform {
class Workbook;
}

// One cell of the grid as the export reads it.
struct SheetSourceCell {
    QString text;
    bool hasTextColor = false;
    uint32_t textColor = 0; // 0xRRGGBB
};

// The grid as it stands: the header of each column (by column number) and
// every row's cells in column order.
struct GridSnapshot {
    QStringList headers;
    std::vector<std::vector<SheetSourceCell>> rows;
};

// Fills the workbook's sheet from the grid. False, writing nothing, when the
// grid holds no evaluation (fewer than two rows or three columns).
bool fillStrategySheet(const GridSnapshot& grid, platform::Workbook& book);

// "<strategy> - <ticker> <yyyy-mm-dd>.xlsx" (parts that are empty left out),
// with the characters a file name cannot or should not hold replaced by "_".
// The name takes at most `maxBytes` bytes less the room unusedExportPath may
// need for a number: a long strategy name is shortened, at the end of a
// character, so that the ticker and the date stay.
QString exportFileName(const QString& strategy, const QString& ticker, double stockDate, int maxBytes = 255);

// `fileName` in `folder` when no such file exists, else the first of
// "<name> (2).xlsx", "<name> (3).xlsx", ... that does not: an earlier export
// (maybe changed and saved by the user) is never written over.
QString unusedExportPath(const QString& folder, const QString& fileName);

// What writing an export came to.
struct ExportOutcome {
    QString path;    // the workbook written; empty when none was
    QString message; // when none was: what failed, as the user is told it
};

// Where exports are written: $XDG_CACHE_HOME/tarnwell/exports.
QString exportFolder();

// Writes the export's workbook into `folder` (made when missing) under the
// name exportFileName gives the strategy, its ticker and date, shortened to
// what the folder's file system takes, beside any earlier export. Temporary
// files that earlier exports killed midway left in the folder go first.
ExportOutcome saveStrategyWorkbook(const platform::Workbook& book, const QString& folder, const QString& strategy,
                                   const QString& ticker, double stockDate);

// What the user is told when the workbook at `path` was written but no
// program of the desktop opened it.
QString exportNotOpenedMessage(const QString& path);

} // namespace tw
