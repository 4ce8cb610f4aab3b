#pragma once
// The column layouts of the main window's four grids: their default column
// sets, and the user's widths, headers, alignments, visibility and order kept
// in the settings (one section per grid, named after it) and put back before
// every refill.

#include <QFont>
#include <QString>

class QObject;

namespace tw {

class CAppSettings;
namespace platform {
class Grid;
}

// Writes the grid's whole layout to the section named after the grid. `col`
// (1-based) is saved with `width`, every other column with the width the
// grid reports; col 0 matches no column.
void SaveGridHeader(CAppSettings& settings, const platform::Grid& grid, int col, int width);

// Builds the grid's default columns when no layout of its column count is
// saved (or it has none yet), then applies the saved layout. `restoring` is
// set while saved values are applied, so that the grid's column events save
// nothing half-way. `priceHeader` is the header of the evaluated-leg grid's
// "price" column ("Theoretical", "Last sale", "Bid/Ask" or empty).
void RestoreGridHeader(const CAppSettings& settings, platform::Grid& grid, bool& restoring,
                       const QString& priceHeader);

// Keeps the grid's layout in the settings whenever the user moves or widens
// one of its columns, except while `restoring` is set (a layout being put
// back). `context` ends the connections.
void saveGridLayoutOnChange(QObject* context, platform::Grid* grid, const bool& restoring);

// The fonts the grids write their cells in: the grid's own at 8 points,
// bold and plain.
struct CellFonts {
    QFont bold;
    QFont plain;
};
CellFonts cellFonts(const platform::Grid& grid);

// The default column sets, chosen by the grid's object name ("gdParams",
// "gdSelected", "gdCalls", "gdPuts"; any other name builds nothing).
void CreateDefaultColumns(platform::Grid& grid, const QString& priceHeader);

} // namespace tw
