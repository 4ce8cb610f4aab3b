// The workbook writer: the standard palette's colours and writing safely
// (nothing half-written, nothing left behind). What the sheets hold is read
// back in the export's own tests.
#include "platform/Workbook.h"
#include "platform/WorkbookTemporary.h"
#include "support/FileSizeLimit.h"
#include "support/XlsxContents.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <iterator>
#include <sys/wait.h>
#include <unistd.h>

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

TEST(Workbook, ADiskWithoutRoomForEveryPartIsToldNotWrittenHalf)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Workbook book;
    for (int r = 1; r <= 200; ++r)
        for (int c = 1; c <= 8; ++c)
            book.setValue(r, c, QStringLiteral("cell %1 %2 text").arg(r).arg(c));
    // The packed workbook would fit, its sheet's parts would not: they would
    // be packed cut short.
    const QString path = dir.filePath(QStringLiteral("big.xlsx"));
    QString error;
    {
        test::FileSizeLimit limit(24 * 1024);
        ASSERT_TRUE(limit.active());
        EXPECT_FALSE(book.save(path, &error));
    }
    EXPECT_EQ(error, QStringLiteral("%1 could not be written: the file would be larger than the system allows.")
                         .arg(QDir::toNativeSeparators(path)));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
    ASSERT_TRUE(book.save(path, &error)) << error.toStdString();
    EXPECT_EQ(test::readXlsx(path).cells.value("H200").text, QStringLiteral("cell 200 8 text"));
}

// Texts that pack badly, many looks, merges and widths: the room asked covers
// the writing at its fullest, and under any file size limit up to that room a
// save writes the whole workbook or nothing.
TEST(Workbook, EveryDiskSizeGivesAWholeWorkbookOrNone)
{
    QTemporaryDir dir;
    static constexpr char16_t kChars[] = u"&<>\"'_\t\nabcdefghijkmnopqrstuvwxyz0123456789";
    quint32 seed = 7;
    Workbook book;
    for (int r = 1; r <= 300; ++r) {
        for (int c = 1; c <= 6; ++c) {
            QString t;
            for (int i = 0; i < 12; ++i)
                t += QChar(kChars[((seed = seed * 1664525u + 1013904223u) >> 8) % (std::size(kChars) - 1)]);
            book.setValue(r, c, t);
        }
        book.setFontColorIndex(CellRange{r, 1, 1, 6}, r % 56 + 1);
        book.setInteriorColorIndex(CellRange{r, 2, 1, 2}, (r * 7) % 56 + 1);
        book.setHorizontalAlignment(CellRange{r, 3, 1, 1}, r % 2 == 0 ? XlAlign::Center : XlAlign::Right);
        if (r % 10 == 1)
            book.merge(CellRange{r, 7, 5, 3});
    }
    book.autoFitColumns(CellRange{1, 1, 300, 9});
    const QString path = dir.filePath(QStringLiteral("hard.xlsx"));
    QString error;
    ASSERT_TRUE(book.save(path, &error)) << error.toStdString();
    EXPECT_GE(book.roomNeeded(), test::xlsxRoomTaken(path));

    int whole = 0;
    for (qint64 limit = 4096; limit <= book.roomNeeded() + 8192; limit += book.roomNeeded() / 12) {
        QFile::remove(path);
        bool saved = false;
        {
            test::FileSizeLimit small(static_cast<rlim_t>(limit));
            ASSERT_TRUE(small.active());
            saved = book.save(path, &error);
        }
        if (!saved) {
            EXPECT_TRUE(error.endsWith(QStringLiteral("larger than the system allows."))) << limit;
            EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0) << limit;
            continue;
        }
        ++whole;
        const test::XlsxContents x = test::readXlsx(path);
        ASSERT_TRUE(x.error.isEmpty()) << limit << ": " << x.error.toStdString();
        EXPECT_EQ(x.cells.value("F300").text, book.value(300, 6)) << limit;
        EXPECT_EQ(x.merges.size(), 30) << limit;
    }
    EXPECT_GE(whole, 1);
}

// The room asked covers the writing where it grows most: texts that escaping
// makes five times as long ("&" is written "&amp;") and merges as wide as the
// sheet (a blank cell is written for each of their cells).
TEST(Workbook, TheRoomAskedCoversEscapedTextsAndWideMerges)
{
    QTemporaryDir dir;
    Workbook escaped, wide;
    for (int r = 1; r <= 400; ++r)
        escaped.setValue(r, 1, QString(r, QLatin1Char('&')));
    for (int r = 1; r <= 20; ++r) {
        wide.setValue(r, 1, QStringLiteral("total %1").arg(r));
        wide.setBold(CellRange{r, 1, 1, 1}, true);
        wide.merge(CellRange{r, 1, 1, 16384});
    }
    for (const Workbook* book : {&escaped, &wide}) {
        const QString path = dir.filePath(QStringLiteral("room.xlsx"));
        QString error;
        ASSERT_TRUE(book->save(path, &error)) << error.toStdString();
        EXPECT_GE(book->roomNeeded(), test::xlsxRoomTaken(path));
        EXPECT_LT(book->roomNeeded(), 2 * test::xlsxRoomTaken(path));
    }
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

TEST(Workbook, ANameOfTheFileSystemsLimitIsWrittenALongerOneIsToldAsSuch)
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
    // One byte beyond the limit is as much too long.
    const QString oneMore = QString(limit - 4, QLatin1Char('a')) + QStringLiteral(".xlsx");
    EXPECT_FALSE(book.save(dir.filePath(oneMore), &error));
    EXPECT_TRUE(error.contains(QString::number(limit + 1))) << error.toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
    // Exactly the limit is a name the folder takes.
    const QString longest = oneMore.mid(1);
    ASSERT_TRUE(book.save(dir.filePath(longest), &error)) << error.toStdString();
    EXPECT_EQ(test::readXlsx(dir.filePath(longest)).cells.value("A1").text, QStringLiteral("v"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{longest});
}

// A write killed midway leaves its temporary file; the next cleaning takes
// it, but never the file of a write still running (here: a child process
// holding one, then killed), a workbook, a spreadsheet program's lock file
// or anything else of the folder.
TEST(Workbook, OnlyTemporariesOfWritesThatNoLongerRunAreRemoved)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QDir folder(dir.path());
    const auto make = [&](const QString& name) {
        QFile f(folder.filePath(name));
        return f.open(QIODevice::WriteOnly) && f.write("x") == 1;
    };
    const QStringList kept = {QStringLiteral("Bull spread.xlsx"), QStringLiteral(".~lock.Bull spread.xlsx#"),
                              QStringLiteral(".workbook-notes.txt"), QStringLiteral(".workbook-ab12"),
                              QStringLiteral(".workbook-ab-123")};
    for (const QString& name : kept)
        ASSERT_TRUE(make(name)) << name.toStdString();
    ASSERT_TRUE(make(QStringLiteral(".workbook-Left01")));
    ASSERT_TRUE(folder.mkdir(QStringLiteral(".workbook-Dir123")));
    ASSERT_TRUE(QFile::link(folder.filePath(QStringLiteral("Bull spread.xlsx")), folder.filePath(QStringLiteral(".workbook-Lnk123"))));

    int channel[2];
    ASSERT_EQ(::pipe(channel), 0);
    const pid_t writer = ::fork();
    ASSERT_GE(writer, 0);
    if (writer == 0) {
        QString why;
        const auto held = newHeldWorkbookTemporary(folder.path(), &why);
        const QByteArray name = held != nullptr ? QFile::encodeName(QFileInfo(held->fileName()).fileName()) : QByteArray();
        const bool told = ::write(channel[1], name.constData(), static_cast<size_t>(name.size())) == name.size();
        ::close(channel[1]);
        if (told)
            ::pause();
        ::_exit(1);
    }
    ::close(channel[1]);
    char buffer[64] = {};
    const ssize_t got = ::read(channel[0], buffer, sizeof buffer - 1);
    ::close(channel[0]);
    const QString running = QString::fromLocal8Bit(buffer, got > 0 ? got : 0);
    ASSERT_TRUE(isWorkbookTemporaryName(running)) << running.toStdString();

    EXPECT_EQ(removeWorkbookLeftovers(folder.path()), 1);
    EXPECT_FALSE(folder.exists(QStringLiteral(".workbook-Left01")));
    EXPECT_TRUE(folder.exists(running));
    for (const QString& name : kept + QStringList{QStringLiteral(".workbook-Dir123"), QStringLiteral(".workbook-Lnk123")})
        EXPECT_TRUE(QFileInfo(folder.filePath(name)).exists() || QFileInfo(folder.filePath(name)).isSymLink())
            << name.toStdString();

    // Killed in the middle of its write: its file is a leftover now.
    ::kill(writer, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(writer, &status, 0), writer);
    EXPECT_EQ(removeWorkbookLeftovers(folder.path()), 1);
    EXPECT_FALSE(folder.exists(running));
    EXPECT_EQ(folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System).size(),
              kept.size() + 2);
}

} // namespace
