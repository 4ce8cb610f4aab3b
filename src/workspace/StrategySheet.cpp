#include "workspace/StrategySheet.h"

#include "app/Convert.h"
#include "platform/UserFolders.h"
#include "platform/Workbook.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextBoundaryFinder>

#include <algorithm>

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

constexpr QLatin1StringView kExtension(".xlsx");
// The most unusedExportPath adds to a name: " (" and a number of ten digits
// and ")".
constexpr qsizetype kNumberRoom = 13;

qsizetype bytesOf(QStringView text)
{
    return QFile::encodeName(text.toString()).size();
}

// The longest start of `text` that takes at most `maxBytes` bytes in a file
// name and ends where a character ends (a letter with its accents, both
// halves of a surrogate pair).
QString cutToBytes(const QString& text, qsizetype maxBytes)
{
    if (bytesOf(text) <= maxBytes)
        return text;
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, text);
    qsizetype end = 0;
    for (qsizetype at = characters.toNextBoundary(); at > 0; at = characters.toNextBoundary()) {
        if (bytesOf(QStringView(text).left(at)) > maxBytes)
            break;
        end = at;
    }
    QString cut = text.left(end);
    while (cut.endsWith(QLatin1Char(' ')))
        cut.chop(1);
    return cut;
}

// The characters a file name cannot or should not hold, as "_".
QString fileNameSafe(QString name)
{
    for (QChar& ch : name) {
        if (ch.unicode() < 0x20 || QStringLiteral("/\\:*?\"<>|").contains(ch))
            ch = QLatin1Char('_');
    }
    return name;
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

QString exportFileName(const QString& strategy, const QString& ticker, double stockDate, int maxBytes)
{
    QString quote = fileNameSafe(ticker.trimmed());
    if (stockDate != 0) {
        const QDate date = dateFromSerial(stockDate);
        if (date.isValid())
            quote += (quote.isEmpty() ? QString() : QStringLiteral(" ")) + date.toString(Qt::ISODate);
    }
    const qsizetype room = std::max<qsizetype>(maxBytes - kNumberRoom - kExtension.size(), 1);
    const QString tail = quote.isEmpty() ? QString() : QStringLiteral(" - ") + quote;
    QString name = fileNameSafe(strategy.trimmed());
    if (!name.isEmpty())
        name = cutToBytes(name, room - bytesOf(tail));
    if (name.isEmpty())
        name = quote.isEmpty() ? QStringLiteral("Strategy") : quote;
    else
        name += tail;
    name = cutToBytes(name, room);
    if (name.startsWith(QLatin1Char('.')))
        name.replace(0, 1, QLatin1Char('_'));
    return name + kExtension;
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

QString exportFolder()
{
    return platform::userCacheHome() + QStringLiteral("/tarnwell/exports");
}

ExportOutcome saveStrategyWorkbook(const platform::Workbook& book, const QString& folder, const QString& strategy,
                                   const QString& ticker, double stockDate)
{
    ExportOutcome out;
    const auto failed = [&out](const QString& why) {
        out.message = QStringLiteral("The strategy could not be exported.\n\n") + why;
        return out;
    };
    if (!QDir().mkpath(folder))
        return failed(QStringLiteral("The folder %1 cannot be made.").arg(QDir::toNativeSeparators(folder)));
    platform::removeWorkbookLeftovers(folder);
    const QString name = exportFileName(strategy, ticker, stockDate, platform::fileNameLimit(folder));
    const QString path = unusedExportPath(folder, name);
    QString error;
    if (!book.save(path, &error))
        return failed(error);
    out.path = path;
    return out;
}

QString exportNotOpenedMessage(const QString& path)
{
    return QStringLiteral("The strategy was exported to\n%1\n\nNo program on this computer opened it: open the "
                          "file from there with a spreadsheet program.")
        .arg(QDir::toNativeSeparators(path));
}

} // namespace tw
