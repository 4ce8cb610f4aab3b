// The sheet the export writes from the evaluated-leg grid, read back from
// the workbook file: headers, body, merged total, fonts and fills; and the
// names exports are written under.
#include "platform/Workbook.h"
#include "support/XlsxContents.h"
#include "workspace/StrategySheet.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tw;

namespace {

SheetSourceCell text(const char* t, uint32_t color = 0, bool colored = false)
{
    return SheetSourceCell{QString::fromUtf8(t), colored, color};
}

// The evaluated-leg grid's nine columns with the given leg rows, then the
// total row (its text in the row-text column) and the hint row.
GridSnapshot grid(const std::vector<std::vector<SheetSourceCell>>& legs, const char* total, uint32_t totalColor)
{
    GridSnapshot g;
    g.headers = QStringList{"", "Position", "Ticker", "Strike", "Expiration", "Quantity", "Last sale", "Total", ""};
    g.rows = legs;
    std::vector<SheetSourceCell> totalRow(9);
    totalRow[8] = text(total, totalColor, true);
    g.rows.push_back(totalRow);
    std::vector<SheetSourceCell> hint(9);
    hint[8] = text("right click to popup context menu");
    g.rows.push_back(hint);
    return g;
}

std::vector<SheetSourceCell> legRow(const char* position, const char* total, bool red, const char* note = "")
{
    return {text(""),     text(position), text("XYZ B100-E"), text("100.00"), text("Feb 24"),
            text("1"),    text("2.50"),   text(total, red ? 0xFF0000 : 0x000000, true), text(note)};
}

test::XlsxContents written(const GridSnapshot& g)
{
    static QTemporaryDir dir;
    static int n = 0;
    platform::Workbook book;
    EXPECT_TRUE(fillStrategySheet(g, book));
    const QString path = dir.filePath(QStringLiteral("sheet%1.xlsx").arg(++n));
    QString error;
    EXPECT_TRUE(book.save(path, &error)) << error.toStdString();
    return test::readXlsx(path);
}

TEST(StrategySheet, LegsHeadersAndTotalAsTheGridShowsThem)
{
    const GridSnapshot g = grid({legRow("Long call", "250.00 debit ", true, "note"),
                                 legRow("Short call", "80.00 credit", false)},
                                "Initial position price: 170.00 debit ", 0xFF1111);
    const test::XlsxContents x = written(g);
    ASSERT_TRUE(x.error.isEmpty()) << x.error.toStdString();

    // Headers of grid columns 2..9 in A1:H1 (H1 the notes column's empty
    // header); the header look over A..G.
    const char* headers[] = {"Position", "Ticker", "Strike", "Expiration", "Quantity", "Last sale", "Total"};
    for (int c = 0; c < 7; ++c) {
        const QString ref = QString(QChar('A' + c)) + QLatin1Char('1');
        EXPECT_EQ(x.cells.value(ref).text, QLatin1String(headers[c])) << c;
        const test::XlsxStyle s = x.cells.value(ref).style;
        EXPECT_TRUE(s.bold);
        EXPECT_EQ(s.fontRgb, QStringLiteral("FFFFFFFF"));
        EXPECT_EQ(s.fillRgb, QStringLiteral("FF0066CC"));
        EXPECT_EQ(s.horizontal, QStringLiteral("center"));
    }
    EXPECT_TRUE(x.cells.value("H1").text.isEmpty());
    EXPECT_TRUE(x.cells.value("H1").style.fillRgb.isEmpty());

    // Body: grid columns 2..8 of the legs; the debit in red, the rest in the
    // default colour; no notes, no swatch.
    EXPECT_EQ(x.cells.value("A2").text, QStringLiteral("Long call"));
    EXPECT_EQ(x.cells.value("G2").text, QStringLiteral("250.00 debit "));
    EXPECT_EQ(x.cells.value("G2").style.fontRgb, QStringLiteral("FFFF0000"));
    EXPECT_TRUE(x.cells.value("A2").style.fontRgb.isEmpty());
    EXPECT_EQ(x.cells.value("G3").text, QStringLiteral("80.00 credit"));
    EXPECT_TRUE(x.cells.value("G3").style.fontRgb.isEmpty());
    EXPECT_FALSE(x.cells.contains("H2"));
    for (const auto& cell : x.cells)
        EXPECT_NE(cell.text, QStringLiteral("note"));

    // Total in row R = 4, merged over A..G, bold, right, sky blue, red for a
    // debit; the hint row is left out.
    EXPECT_EQ(x.merges, QStringList{"A4:G4"});
    const test::XlsxCell total = x.cells.value("A4");
    EXPECT_EQ(total.text, QStringLiteral("Initial position price: 170.00 debit "));
    EXPECT_TRUE(total.style.bold);
    EXPECT_EQ(total.style.horizontal, QStringLiteral("right"));
    EXPECT_EQ(total.style.fillRgb, QStringLiteral("FF00CCFF"));
    EXPECT_EQ(total.style.fontRgb, QStringLiteral("FFFF0000"));
    for (const auto& ref : x.cells.keys())
        EXPECT_FALSE(ref.endsWith(QLatin1Char('5'))) << ref.toStdString();
    // Fitted widths: the longest text of each column, the merged total aside.
    EXPECT_GT(x.widths.value(7), x.widths.value(3));
    EXPECT_LT(x.widths.value(1), 20.0);
}

TEST(StrategySheet, NoLegsAndACreditTotal)
{
    const test::XlsxContents x = written(grid({}, "Initial position price: 0.00 credit ", 0x000000));
    ASSERT_TRUE(x.error.isEmpty()) << x.error.toStdString();
    EXPECT_EQ(x.cells.value("A1").text, QStringLiteral("Position"));
    EXPECT_EQ(x.merges, QStringList{"A2:G2"});
    EXPECT_EQ(x.cells.value("A2").text, QStringLiteral("Initial position price: 0.00 credit "));
    EXPECT_TRUE(x.cells.value("A2").style.fontRgb.isEmpty());
    EXPECT_EQ(x.cells.value("A2").style.fillRgb, QStringLiteral("FF00CCFF"));

    // A grid without an evaluation gives no sheet.
    platform::Workbook book;
    GridSnapshot empty;
    empty.headers = grid({}, "", 0).headers;
    EXPECT_FALSE(fillStrategySheet(empty, book));
    EXPECT_TRUE(book.value(1, 1).isEmpty());
}

TEST(StrategySheet, ExportNamesSayWhatTheyHoldAndNeverOverwrite)
{
    const double jan10 = 45301; // 10 January 2024
    EXPECT_EQ(exportFileName(QStringLiteral("Bull spread"), QStringLiteral("XYZ"), jan10),
              QStringLiteral("Bull spread - XYZ 2024-01-10.xlsx"));
    EXPECT_EQ(exportFileName(QStringLiteral("a/b: c?"), QStringLiteral("XYZ"), 0),
              QStringLiteral("a_b_ c_ - XYZ.xlsx"));
    EXPECT_EQ(exportFileName(QString(), QString(), 0), QStringLiteral("Strategy.xlsx"));
    EXPECT_EQ(exportFileName(QStringLiteral(".hidden"), QString(), 0), QStringLiteral("_hidden.xlsx"));

    QTemporaryDir dir;
    const QString name = QStringLiteral("Plan.xlsx");
    EXPECT_EQ(unusedExportPath(dir.path(), name), dir.filePath(name));
    for (const char* taken : {"Plan.xlsx", "Plan (2).xlsx"}) {
        QFile f(dir.filePath(QLatin1String(taken)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    EXPECT_EQ(unusedExportPath(dir.path(), name), dir.filePath(QStringLiteral("Plan (3).xlsx")));
}

TEST(StrategySheet, LongNamesAreCutByBytesAtTheEndOfACharacter)
{
    const double jan10 = 45301;
    const QString tail = QStringLiteral(" - XYZ 2024-01-10.xlsx");
    // 85 CJK characters take 255 bytes: the strategy is shortened, the
    // ticker and date stay, and room for " (n)" is left.
    const QString cjk = QString(85, QChar(0x4E2D));
    const QString name = exportFileName(cjk, QStringLiteral("XYZ"), jan10);
    EXPECT_TRUE(name.endsWith(tail)) << name.toStdString();
    const qsizetype bytes = name.toUtf8().size();
    EXPECT_LE(bytes + 13, 255);
    EXPECT_GT(bytes + 16, 255) << "no more is cut than needed";
    EXPECT_EQ(name.left(name.size() - tail.size()), QString(name.size() - tail.size(), QChar(0x4E2D)));

    // Cut to the byte: what is left takes the whole room beside " (n)".
    for (const int limit : {255, 143})
        EXPECT_EQ(exportFileName(QString(limit, QLatin1Char('a')), QStringLiteral("XYZ"), jan10, limit).toUtf8().size(),
                  limit - 13)
            << limit;

    // Letters with a combining accent and characters beyond the basic plane
    // are never split; a smaller file-system limit is kept too.
    const QString accented = QString(QStringLiteral("e\u0301")).repeated(100);
    const QString emoji = QString(QStringLiteral("\U0001F600")).repeated(100);
    for (const QString& strategy : {accented, emoji}) {
        for (const int limit : {255, 143, 60}) {
            const QString n = exportFileName(strategy, QStringLiteral("XYZ"), jan10, limit);
            EXPECT_LE(n.toUtf8().size() + 13, limit) << limit;
            ASSERT_TRUE(n.endsWith(tail)) << n.toStdString();
            const QString kept = n.left(n.size() - tail.size());
            EXPECT_TRUE(!kept.isEmpty() && strategy.startsWith(kept));
            EXPECT_EQ(kept.size() % 2, 0) << "every character of both takes two units";
            if (strategy == accented) {
                EXPECT_EQ(kept.back(), QChar(0x0301));
            }
        }
    }
}

// An export makes sure of the room its writing takes at its fullest (every
// part unpacked beside the package), and asks for no more than twice that,
// for a strategy of a few legs and for one of a great many.
TEST(StrategySheet, AnExportAsksForTheRoomItTakesAndNotTwiceMore)
{
    QTemporaryDir dir;
    for (const int legs : {10, 2000}) {
        std::vector<std::vector<SheetSourceCell>> rows;
        for (int i = 0; i < legs; ++i) {
            const QString strike = QString::number(80 + 2.5 * (i % 61), 'f', 2);
            const QString total = QStringLiteral("%1.00 debit").arg(i * 7 % 997);
            rows.push_back({text(""), text(i % 2 == 0 ? "Long call" : "Short put"),
                            SheetSourceCell{QStringLiteral("XYZ %1-%2").arg(QChar(u'A' + i % 12)).arg(strike)},
                            SheetSourceCell{strike}, SheetSourceCell{QStringLiteral("Feb %1").arg(i % 28 + 1)},
                            SheetSourceCell{QString::number(i % 9 + 1)}, SheetSourceCell{QString::number(0.05 * (i % 300))},
                            SheetSourceCell{total, true, i % 3 == 0 ? 0xFF0000u : 0u}, text("")});
        }
        platform::Workbook book;
        ASSERT_TRUE(fillStrategySheet(grid(rows, "Total: 12,345.00 debit", 0), book));
        const QString path = dir.filePath(QStringLiteral("legs%1.xlsx").arg(legs));
        QString error;
        ASSERT_TRUE(book.save(path, &error)) << error.toStdString();
        const qint64 taken = test::xlsxRoomTaken(path);
        ASSERT_GT(taken, 0);
        EXPECT_GE(book.roomNeeded(), taken) << legs;
        EXPECT_LE(book.roomNeeded(), 2 * taken) << legs;
    }
}

TEST(StrategySheet, ALongCjkNameIsWrittenAndAFailureSaysWhatFailed)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    platform::Workbook book;
    ASSERT_TRUE(fillStrategySheet(grid({legRow("Long call", "250.00 debit ", true)}, "Total", 0), book));
    const QString folder = dir.filePath(QStringLiteral("exports"));
    const QString cjk = QString(85, QChar(0x65E5));
    const ExportOutcome first = saveStrategyWorkbook(book, folder, cjk, QStringLiteral("XYZ"), 45301);
    ASSERT_TRUE(first.message.isEmpty()) << first.message.toStdString();
    EXPECT_TRUE(QFileInfo(first.path).fileName().startsWith(QString(10, QChar(0x65E5))));
    EXPECT_EQ(test::readXlsx(first.path).cells.value("A2").text, QStringLiteral("Long call"));

    // A file standing where the folder should be: the message names the
    // folder, and nothing is written.
    QFile blocker(dir.filePath(QStringLiteral("blocked")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString blocked = dir.filePath(QStringLiteral("blocked/exports"));
    const ExportOutcome none = saveStrategyWorkbook(book, blocked, QStringLiteral("Plan"), QString(), 0);
    EXPECT_TRUE(none.path.isEmpty());
    EXPECT_TRUE(none.message.startsWith(QStringLiteral("The strategy could not be exported."))) << none.message.toStdString();
    EXPECT_TRUE(none.message.contains(QDir::toNativeSeparators(blocked))) << none.message.toStdString();

    EXPECT_TRUE(exportNotOpenedMessage(first.path).contains(QDir::toNativeSeparators(first.path)));
}

} // namespace
