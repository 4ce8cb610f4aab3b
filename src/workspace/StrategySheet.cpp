#include "workspace/StrategySheet.h"

#include "app/Convert.h"
#include "platform/Workbook.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>

namespace tw {

namespace {

// Grid text colours the sheet carries over (0xRRGGBB): a debit or negative
// worth in a leg row, a debit in the total row.
constexpr uint32_t kLegRed = 0xFF0000;
constexpr uint32_t kTotalRed = 0xFF1111;

// Palette indexes of the sheet's look.
constexpr int kWhite = 2;
constexpr int kRed = 3;
constexpr int kHeaderFill = 23;
constexpr int kTotalFill = 33;

const SheetSourceCell& cellAt(const GridSnapshot& grid, int row, int col)
{
    static const SheetSourceCell empty;
    if (row < 1 || row > static_cast<int>(grid.rows.size()))
        return empty;
    const auto& cells = grid.rows[static_cast<size_t>(row - 1)];
    if (col < 1 || col > static_cast<int>(cells.size()))
        return empty;
    return cells[static_cast<size_t>(col - 1)];
}

bool shownIn(const SheetSourceCell& cell, uint32_t color)
{
    return cell.hasTextColor && cell.textColor == color;
}

} // namespace

bool fillStrategySheet(const GridSnapshot& grid, platform::Workbook& book)
{
    const int R = static_cast<int>(grid.rows.size());
    const int C = static_cast<int>(grid.headers.size());
    if (R < 2 || C < 3)
        return false;
    using platform::CellRange;

    for (int c = 1; c <= C - 1; ++c)
        book.setValue(1, c, grid.headers.at(c));
    const CellRange header{1, 1, 1, C - 2};
    book.setBold(header, true);
    book.setFontColorIndex(header, kWhite);
    book.setInteriorColorIndex(header, kHeaderFill);
    book.setInteriorPattern(header, platform::XlPattern::Solid);
    book.setHorizontalAlignment(header, platform::XlAlign::Center);

    for (int r = 1; r <= R - 2; ++r) {
        for (int c = 2; c <= C - 1; ++c) {
            const SheetSourceCell& cell = cellAt(grid, r, c);
            book.setValue(r + 1, c - 1, cell.text);
            if (shownIn(cell, kLegRed))
                book.setFontColorIndex(CellRange{r + 1, c - 1, 1, 1}, kRed);
        }
    }

    const SheetSourceCell& total = cellAt(grid, R - 1, C);
    book.setValue(R, 1, total.text);
    const CellRange totalRange{R, 1, 1, C - 2};
    book.merge(totalRange);
    book.setHorizontalAlignment(totalRange, platform::XlAlign::Right);
    book.setBold(totalRange, true);
    if (shownIn(total, kTotalRed))
        book.setFontColorIndex(totalRange, kRed);
    book.setInteriorColorIndex(totalRange, kTotalFill);
    book.setInteriorPattern(totalRange, platform::XlPattern::Solid);

    book.autoFitColumns(CellRange{1, 1, R, C - 1});
    return true;
}

QString exportFileName(const QString& strategy, const QString& ticker, double stockDate)
{
    QString name = strategy.trimmed();
    QString quote = ticker.trimmed();
    if (stockDate != 0) {
        const QDate date = dateFromSerial(stockDate);
        if (date.isValid())
            quote += (quote.isEmpty() ? QString() : QStringLiteral(" ")) + date.toString(Qt::ISODate);
    }
    if (!quote.isEmpty())
        name += (name.isEmpty() ? QString() : QStringLiteral(" - ")) + quote;
    if (name.isEmpty())
        name = QStringLiteral("Strategy");
    for (QChar& ch : name) {
        if (ch.unicode() < 0x20 || QStringLiteral("/\\:*?\"<>|").contains(ch))
            ch = QLatin1Char('_');
    }
    if (name.startsWith(QLatin1Char('.')))
        name.replace(0, 1, QLatin1Char('_'));
    return name.left(120) + QStringLiteral(".xlsx");
}

QString unusedExportPath(const QString& folder, const QString& fileName)
{
    const QDir dir(folder);
    QString path = dir.filePath(fileName);
    const QString base = QFileInfo(fileName).completeBaseName();
    const QString suffix = QFileInfo(fileName).suffix();
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = dir.filePath(QStringLiteral("%1 (%2).%3").arg(base).arg(n).arg(suffix));
    return path;
}

} // namespace tw
