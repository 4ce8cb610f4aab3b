#pragma once
// A spreadsheet workbook of one worksheet, built up the way a spreadsheet
// application is driven (cell values, then fonts, fills, alignment, merges
// and column fitting on ranges) and written as an .xlsx file.
//
// Rows and columns are numbered from 1. Colours are given as indexes into
// the spreadsheet's standard 56-colour palette (1 black, 2 white, 3 red, ...);
// alignments by the spreadsheet's own codes (xlLeft -4131, xlCenter -4108,
// xlRight -4152). UI-free: values are plain texts; characters a workbook
// cannot hold (control characters other than tab and line ends, U+FFFE,
// U+FFFF, a lone half of a surrogate pair) are left out when it is written.

#include <QString>
#include <QtGlobal>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

namespace tw::platform {

// The standard palette: colour index 1..56 as 0xRRGGBB; -1 for any other
// index.
int64_t paletteColor(int index);

// The longest file name, in bytes, that the file system of `folder` takes
// (255, the common limit, when it cannot tell).
int fileNameLimit(const QString& folder);

// Removes from `folder` the temporary files of workbook writes that never
// ended (their program was killed midway); the file of a write still
// running, the workbooks themselves and every other file stay. Returns how
// many were removed.
int removeWorkbookLeftovers(const QString& folder);

namespace XlAlign {
constexpr int General = 1;
constexpr int Left = -4131;
constexpr int Center = -4108;
constexpr int Right = -4152;
} // namespace XlAlign

namespace XlPattern {
constexpr int None = -4142;
constexpr int Solid = 1;
} // namespace XlPattern

// A block of cells: its top-left cell and its size.
struct CellRange {
    int row = 1;
    int col = 1;
    int rows = 1;
    int cols = 1;
};

// The look of one cell; 0 colour index: automatic (the font's own colour,
// no fill).
struct CellFormat {
    bool bold = false;
    int fontColorIndex = 0;
    int fillColorIndex = 0;
    int pattern = 0;
    int horizontalAlignment = XlAlign::General;

    friend auto operator<=>(const CellFormat&, const CellFormat&) = default;
};

class Workbook {
public:
    void setValue(int row, int col, const QString& text);
    QString value(int row, int col) const;
    CellFormat format(int row, int col) const;

    // Format changes over a range; only the named property changes.
    void setBold(const CellRange& range, bool bold);
    void setFontColorIndex(const CellRange& range, int index);
    void setInteriorColorIndex(const CellRange& range, int index);
    void setInteriorPattern(const CellRange& range, int pattern);
    void setHorizontalAlignment(const CellRange& range, int alignment);
    // Merges the range into one cell showing the top-left cell's value; a
    // single cell is left as it is.
    void merge(const CellRange& range);
    // Sets the widths of the range's columns to fit the range's texts
    // (merged cells do not count); a column with no text keeps its width.
    void autoFitColumns(const CellRange& range);
    // The width given to a column (in characters of the default font), or 0
    // while it has the sheet's default width.
    double columnWidth(int col) const;

    // Writes the workbook to `path`: first to a temporary file in the same
    // folder (held by this process while it is written, see
    // WorkbookTemporary.h), which then replaces `path`, so a failed write leaves neither a
    // partial file nor a changed one. False, with what failed in `error`
    // (a sentence for the user, naming the cause, such as a full disk), when
    // it cannot be written.
    bool save(const QString& path, QString* error) const;
    // The room, in bytes, save() makes sure the folder has before it
    // writes: at least the most the write takes at once, and not much more.
    qint64 roomNeeded() const;

private:
    struct Cell {
        QString text;
        bool hasValue = false;
        CellFormat format;
    };
    using Key = std::pair<int, int>;

    template <typename F>
    void forEach(const CellRange& range, F change);
    bool inMerge(int row, int col) const;

    std::map<Key, Cell> m_cells;
    std::vector<CellRange> m_merges;
    std::map<int, double> m_widths;
};

} // namespace tw::platform
