// The workbook writer: the standard palette's colours, formats on ranges,
// merges and fitted widths as a spreadsheet reads them back, and writing
// safely (nothing half-written, nothing left behind).
#include "platform/Workbook.h"
#include "support/XlsxContents.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tw;
using namespace tw::platform;

namespace {

TEST(Workbook, PaletteIndexesAreTheStandardColours)
{
    const std::pair<int, int64_t> colours[] = {{1, 0x000000},  {2, 0xFFFFFF},  {3, 0xFF0000}, {23, 0x0066CC},
                                               {33, 0x00CCFF}, {56, 0x333333}, {0, -1},       {57, -1}};
    for (const auto& [index, rgb] : colours)
        EXPECT_EQ(paletteColor(index), rgb) << index;
}

TEST(Workbook, RangesMergesAndWidthsReadBack)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Workbook book;
    book.setValue(1, 1, QStringLiteral("Head"));
    book.setValue(1, 2, QStringLiteral("A much longer heading"));
    book.setValue(2, 1, QStringLiteral("x"));
    book.setValue(3, 1, QStringLiteral("A total far wider than any column"));
    const CellRange head{1, 1, 1, 2};
    book.setBold(head, true);
    book.setFontColorIndex(head, 2);
    book.setInteriorColorIndex(head, 23);
    book.setInteriorPattern(head, XlPattern::Solid);
    book.setHorizontalAlignment(head, XlAlign::Center);
    book.setFontColorIndex(CellRange{2, 1, 1, 1}, 3);
    book.merge(CellRange{3, 1, 1, 3});
    book.setHorizontalAlignment(CellRange{3, 1, 1, 3}, XlAlign::Right);
    book.merge(CellRange{2, 2, 1, 1}); // a single cell is no merge
    book.autoFitColumns(CellRange{1, 1, 3, 3});

    const QString path = dir.filePath(QStringLiteral("book.xlsx"));
    QString error;
    ASSERT_TRUE(book.save(path, &error)) << error.toStdString();
    const test::XlsxContents x = test::readXlsx(path);
    ASSERT_TRUE(x.error.isEmpty()) << x.error.toStdString();
    EXPECT_EQ(x.cells.value("B1").text, QStringLiteral("A much longer heading"));
    EXPECT_TRUE(x.cells.value("A1").style.bold);
    EXPECT_EQ(x.cells.value("A1").style.fontRgb, QStringLiteral("FFFFFFFF"));
    EXPECT_EQ(x.cells.value("B1").style.fillRgb, QStringLiteral("FF0066CC"));
    EXPECT_EQ(x.cells.value("B1").style.fillPattern, QStringLiteral("solid"));
    EXPECT_EQ(x.cells.value("B1").style.horizontal, QStringLiteral("center"));
    EXPECT_EQ(x.cells.value("A2").style.fontRgb, QStringLiteral("FFFF0000"));
    EXPECT_FALSE(x.cells.value("A2").style.bold);
    EXPECT_EQ(x.merges, QStringList{"A3:C3"});
    EXPECT_EQ(x.cells.value("A3").style.horizontal, QStringLiteral("right"));
    EXPECT_EQ(x.cells.value("C3").style.horizontal, QStringLiteral("right"));
    // Widths fit the longest unmerged text; column C holds none and keeps
    // the default.
    EXPECT_GT(x.widths.value(2), 21.0);
    EXPECT_LT(x.widths.value(1), 8.0);
    EXPECT_FALSE(x.widths.contains(3));
}

TEST(Workbook, AFailedWriteLeavesNothingAndAGoodOneReplacesOnlyAtTheEnd)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Workbook book;
    book.setValue(1, 1, QStringLiteral("v"));

    QString error;
    const QString missing = dir.filePath(QStringLiteral("no such folder/book.xlsx"));
    EXPECT_FALSE(book.save(missing, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("no such folder"))) << error.toStdString();
    EXPECT_FALSE(QFile::exists(missing));

    // A folder standing where the workbook should go cannot be replaced:
    // the error is told and no temporary file stays behind.
    const QString blocked = dir.filePath(QStringLiteral("taken.xlsx"));
    ASSERT_TRUE(QDir().mkpath(blocked + QStringLiteral("/inside")));
    error.clear();
    EXPECT_FALSE(book.save(blocked, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);

    const QString path = dir.filePath(QStringLiteral("book.xlsx"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("not a workbook");
    old.close();
    ASSERT_TRUE(book.save(path, &error)) << error.toStdString();
    EXPECT_EQ(test::readXlsx(path).cells.value("A1").text, QStringLiteral("v"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"book.xlsx"});
    EXPECT_TRUE(QFile::permissions(path) & QFileDevice::ReadOther);
}

} // namespace
