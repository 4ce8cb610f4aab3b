#include "app/Dialogs.h"
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

} // namespace
