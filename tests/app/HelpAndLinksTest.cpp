#include "app/Dialogs.h"
#include "app/HelpContents.h"
#include "app/HelpFile.h"
#include "app/Tools.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <gtest/gtest.h>

using namespace tw;

namespace {

TEST(OpenURL, HandsTheAddressToTheDesktop)
{
    test::ScriptedDialogs dialogs;
    OpenURL(QStringLiteral("http://www.myrtova.example/tarnwell"));
    ASSERT_EQ(dialogs.openedUrls.size(), 1);
    EXPECT_EQ(dialogs.openedUrls.front(), QUrl(QStringLiteral("http://www.myrtova.example/tarnwell")));
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST(OpenURL, AddressesWithoutSchemeAreDroppedSilently)
{
    test::ScriptedDialogs dialogs;
    for (const char* bad : {"", "   ", "no scheme here", "www.myrtova.example/tarnwell"})
        OpenURL(QString::fromLatin1(bad));
    EXPECT_TRUE(dialogs.openedUrls.isEmpty());
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST(OpenURL, ABrowserThatRefusesIsNotReported)
{
    // The fallback dialogs open nothing; OpenURL must stay quiet about it.
    Dialogs* previous = setDialogs(nullptr);
    EXPECT_NO_THROW(OpenURL(QStringLiteral("http://www.myrtova.example/")));
    setDialogs(previous);
}

// The help pages are built into the "help" folder beside the executables.
TEST(Help, ShippedPagesOpenAsFileUrls)
{
    test::ScriptedDialogs dialogs;
    for (const char* topic : {HelpTopic::Contents, HelpTopic::FormattedText, HelpTopic::ChartWindow}) {
        dialogs.openedUrls.clear();
        ASSERT_TRUE(ShowHelpTopic(QString::fromLatin1(topic), HelpCommand::Contents)) << topic;
        ASSERT_EQ(dialogs.openedUrls.size(), 1);
        const QUrl url = dialogs.openedUrls.front();
        EXPECT_TRUE(url.isLocalFile());
        EXPECT_TRUE(url.fragment().isEmpty());
        const QFileInfo file(url.toLocalFile());
        EXPECT_TRUE(file.isFile()) << qPrintable(file.filePath());
        EXPECT_EQ(file.fileName(), QString::fromLatin1(topic));
        EXPECT_EQ(file.absolutePath(), QFileInfo(helpFolder()).absoluteFilePath());
    }
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST(Help, IndexOpensTheIndexOfTheContentsPage)
{
    test::ScriptedDialogs dialogs;
    ASSERT_TRUE(ShowHelpTopic(QString::fromLatin1(HelpTopic::Contents), HelpCommand::Index));
    ASSERT_EQ(dialogs.openedUrls.size(), 1);
    EXPECT_EQ(dialogs.openedUrls.front().fragment(), QStringLiteral("index"));
    // The page really has that anchor.
    QFile page(dialogs.openedUrls.front().toLocalFile());
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    EXPECT_TRUE(page.readAll().contains("id=\"index\""));
}

TEST(Help, MissingPageIsToldToTheUser)
{
    test::ScriptedDialogs dialogs;
    for (const char* topic : {"nosuchpage.htm", "../t01.htm", "", "help/t01.htm"}) {
        dialogs.messages.clear();
        EXPECT_FALSE(ShowHelpTopic(QString::fromLatin1(topic), HelpCommand::Contents)) << topic;
        ASSERT_EQ(dialogs.messages.size(), 1) << topic;
        EXPECT_TRUE(dialogs.messages.front().text.contains(QStringLiteral("cannot be found"))) << topic;
        EXPECT_EQ(dialogs.messages.front().style & Msg::ButtonsMask, int(Msg::OkOnly));
    }
    EXPECT_TRUE(dialogs.openedUrls.isEmpty());
    EXPECT_TRUE(helpTopicUrl(QStringLiteral("nosuchpage.htm"), HelpCommand::Contents).isEmpty());
}

TEST(Help, BrowserThatOpensNothingIsToldToTheUser)
{
    class NoBrowser : public test::ScriptedDialogs {
    public:
        bool openUrl(const QUrl& url) override
        {
            openedUrls.append(url);
            return false;
        }
    } dialogs;
    EXPECT_FALSE(ShowHelpTopic(QString::fromLatin1(HelpTopic::ChartWindow), HelpCommand::DisplayTopic));
    EXPECT_EQ(dialogs.openedUrls.size(), 1);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages.front().text.contains(QStringLiteral("t06.htm")));
}

// The help window's contents and index come from the shipped pages: every
// entry leads to a page that exists and, where it names a section, to an
// anchor that page has.
TEST(HelpContents, BooksSectionsAndIndexLeadToRealPlaces)
{
    const QString folder = helpFolder();
    const QList<HelpEntry> books = helpContents(folder);
    ASSERT_EQ(books.size(), 3);
    EXPECT_EQ(QFileInfo(books[0].url.toLocalFile()).fileName(), QLatin1String(HelpTopic::Contents));
    EXPECT_EQ(books[0].title, QStringLiteral("Tarnwell Help"));
    EXPECT_EQ(books[1].title, QStringLiteral("Formatted strategy descriptions"));
    EXPECT_EQ(books[2].title, QStringLiteral("The 2-D chart window"));
    ASSERT_FALSE(books[0].children.isEmpty());
    EXPECT_EQ(books[0].children.first().title, QStringLiteral("1. Getting started"));
    EXPECT_EQ(books[0].children.first().url.fragment(), QStringLiteral("start"));

    const QList<HelpEntry> index = helpIndex(folder);
    ASSERT_GT(index.size(), 20);
    for (qsizetype i = 1; i < index.size(); ++i) {
        const auto key = [](const QString& t) { return t.startsWith(QLatin1Char('.')) ? t.mid(1) : t; };
        EXPECT_LE(QString::compare(key(index[i - 1].title), key(index[i].title), Qt::CaseInsensitive), 0);
    }
    QList<HelpEntry> all = index;
    for (const HelpEntry& b : books) {
        all.append(b);
        all.append(b.children);
    }
    for (const HelpEntry& e : all) {
        QFile page(e.url.toLocalFile());
        ASSERT_TRUE(page.open(QIODevice::ReadOnly)) << e.title.toStdString();
        if (!e.url.fragment().isEmpty()) {
            const QString html = QString::fromUtf8(page.readAll());
            EXPECT_TRUE(html.contains(QStringLiteral("id=\"%1\"").arg(e.url.fragment())))
                << e.title.toStdString() << " #" << e.url.fragment().toStdString();
        }
    }
    // Typing part of a keyword keeps the keywords that contain it.
    const QList<HelpEntry> delta = filteredIndex(index, QStringLiteral("  GAMMA "));
    ASSERT_EQ(delta.size(), 1);
    EXPECT_EQ(delta.first().title, QStringLiteral("Delta, gamma, theta"));
    EXPECT_EQ(QFileInfo(delta.first().url.toLocalFile()).fileName(), QStringLiteral("t06.htm"));
    EXPECT_EQ(delta.first().url.fragment(), QStringLiteral("y"));
    EXPECT_EQ(filteredIndex(index, QString()).size(), index.size());
    // No pages: nothing, and no failure.
    EXPECT_TRUE(helpContents(QStringLiteral("/nonexistent")).isEmpty());
    EXPECT_TRUE(helpIndex(QStringLiteral("/nonexistent")).isEmpty());
}

} // namespace
