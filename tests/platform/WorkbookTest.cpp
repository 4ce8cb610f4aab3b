// The workbook writer: the standard palette's colours and writing safely
// (nothing half-written, nothing left behind). What the sheets hold is read
// back in the export's own tests.
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

TEST(Workbook, AFillColourFillsSolidWithOrWithoutThePattern)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Workbook book;
    for (int c = 1; c <= 3; ++c)
        book.setValue(1, c, QStringLiteral("v"));
    book.setInteriorColorIndex(CellRange{1, 1, 1, 1}, 6);
    book.setInteriorColorIndex(CellRange{1, 2, 1, 1}, 6);
    book.setInteriorPattern(CellRange{1, 2, 1, 1}, XlPattern::Solid);
    book.setInteriorPattern(CellRange{1, 3, 1, 1}, XlPattern::Solid);
    const QString path = dir.filePath(QStringLiteral("fills.xlsx"));
    QString error;
    ASSERT_TRUE(book.save(path, &error)) << error.toStdString();
    const test::XlsxContents x = test::readXlsx(path);
    ASSERT_TRUE(x.error.isEmpty()) << x.error.toStdString();
    for (const char* ref : {"A1", "B1"}) {
        EXPECT_EQ(x.cells.value(ref).style.fillPattern, QStringLiteral("solid")) << ref;
        EXPECT_EQ(x.cells.value(ref).style.fillRgb, QStringLiteral("FFFFFF00")) << ref;
    }
    // The pattern alone fills in the automatic colour.
    EXPECT_EQ(x.cells.value("C1").style.fillPattern, QStringLiteral("solid"));
    EXPECT_TRUE(x.cells.value("C1").style.fillRgb.isEmpty());
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

TEST(Workbook, CharactersXmlForbidsAreLeftOutSoTheWorkbookOpens)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Workbook book;
    const QString forbidden = QStringLiteral("a") + QChar(0x01) + QChar(0xFFFE) + QStringLiteral("b") + QChar(0xFFFF)
                              + QChar(0x1B) + QChar(0xD800) + QStringLiteral("c") + QChar(0xDC00);
    book.setValue(1, 1, forbidden);
    // Tabs, line breaks and characters beyond the basic plane stay.
    book.setValue(2, 1, QStringLiteral("x\ty\nz \U0001F600 \u4E2D"));
    book.setValue(3, 1, forbidden);
    book.merge(CellRange{3, 1, 1, 2});
    const QString path = dir.filePath(QStringLiteral("odd.xlsx"));
    QString error;
    ASSERT_TRUE(book.save(path, &error)) << error.toStdString();
    const test::XlsxContents x = test::readXlsx(path);
    ASSERT_TRUE(x.error.isEmpty()) << x.error.toStdString();
    EXPECT_EQ(x.cells.value("A1").text, QStringLiteral("abc"));
    EXPECT_EQ(x.cells.value("A2").text, QStringLiteral("x\ty\nz \U0001F600 \u4E2D"));
    EXPECT_EQ(x.cells.value("A3").text, QStringLiteral("abc"));
}

TEST(Workbook, ANameTooLongForTheFileSystemIsToldAsSuch)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const int limit = fileNameLimit(dir.path());
    EXPECT_GE(limit, 14);
    Workbook book;
    book.setValue(1, 1, QStringLiteral("v"));
    // Three bytes a character: short in characters, too long in bytes.
    const QString name = QString(limit / 3 + 1, QChar(0x4E2D)) + QStringLiteral(".xlsx");
    ASSERT_LT(name.size(), limit);
    QString error;
    EXPECT_FALSE(book.save(dir.filePath(name), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("too long"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QString::number(limit))) << error.toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
}

} // namespace
