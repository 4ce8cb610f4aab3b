#include "app/CAppSettings.h"
#include "app/Convert.h"
#include "app/Tools.h"
#include "platform/RegistryStore.h"
#include "platform/UserFolders.h"
#include "support/TestEnvironment.h"

#include <QDate>
#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include "support/ErrorOf.h"
#include "support/FileSizeLimit.h"
#include "support/RenameWatch.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <csignal>
#include <map>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tw;
using tw::test::errorNumberOf;
using platform::RegistryStore;
using platform::RegValue;
using platform::RegType;

namespace {

// The store file and its lock file: all a write leaves in the folder.
QStringList storeAndLock()
{
    const QString name = QFileInfo(RegistryStore().filePath()).fileName();
    return {name, name + QStringLiteral(".lock")};
}

class Settings : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::environment().clearSettings();
        s.Init(QStringLiteral("Myrtova"), QStringLiteral("Tarnwell"));
    }
    CAppSettings s;
};

} // namespace

TEST_F(Settings, RoundTripByType)
{
    const QString sec = QStringLiteral("Settings");
    EXPECT_EQ(s.GetSetting(sec, QStringLiteral("Missing"), 42), QVariant(42));
    EXPECT_EQ(s.GetSetting(sec, QStringLiteral("Missing"), QStringLiteral("x")), QVariant(QStringLiteral("x")));

    s.SaveSetting(sec, QStringLiteral("Int"), 1);
    s.SaveSetting(sec, QStringLiteral("Text"), QStringLiteral("1"));
    s.SaveSetting(sec, QStringLiteral("Half"), 2.5);
    s.SaveSetting(sec, QStringLiteral("Half2"), 3.5);
    s.SaveSetting(sec, QStringLiteral("Neg"), -7.5);
    s.SaveSetting(sec, QStringLiteral("Flag"), true);
    s.SaveSetting(sec, QStringLiteral("Empty"), QString());
    s.SaveSetting(sec, QStringLiteral("Day"), QDate(2004, 2, 21));
    s.SaveSetting(sec, QStringLiteral("Nothing"), QVariant());

    const QVariant i = s.GetSetting(sec, QStringLiteral("Int"), QString());
    EXPECT_EQ(i.typeId(), QMetaType::Int);
    EXPECT_EQ(i.toInt(), 1);
    const QVariant t = s.GetSetting(sec, QStringLiteral("Text"), 0);
    EXPECT_EQ(t.typeId(), QMetaType::QString);
    EXPECT_EQ(t.toString(), QStringLiteral("1"));
    EXPECT_EQ(s.GetSetting(sec, QStringLiteral("Half"), 0).toInt(), 2);
    EXPECT_EQ(s.GetSetting(sec, QStringLiteral("Half2"), 0).toInt(), 4);
    EXPECT_EQ(s.GetSetting(sec, QStringLiteral("Neg"), 0).toInt(), -8);
    EXPECT_EQ(s.GetSetting(sec, QStringLiteral("Flag"), false), QVariant(QStringLiteral("True")));
    const QVariant e = s.GetSetting(sec, QStringLiteral("Empty"), QStringLiteral("default"));
    EXPECT_EQ(e.typeId(), QMetaType::QString);
    EXPECT_TRUE(e.toString().isEmpty());
    EXPECT_EQ(QDate::fromString(s.GetSetting(sec, QStringLiteral("Day"), QString()).toString(), Qt::ISODate),
              QDate(2004, 2, 21));
    EXPECT_EQ(s.GetSetting(sec, QStringLiteral("Nothing"), 5), QVariant(0));

    // Beyond 32 bits: refused, nothing stored.
    EXPECT_EQ(errorNumberOf([&] { s.SaveSetting(sec, QStringLiteral("Big"), 1e12); }),
              CAppSettings::ErrComponentFailure);
    EXPECT_EQ(s.GetSetting(sec, QStringLiteral("Big"), 9), QVariant(9));

    EXPECT_EQ(settingInt(s, sec, QStringLiteral("Int"), 0), 1);
    EXPECT_EQ(settingInt(s, sec, QStringLiteral("Text"), 0), 1);
    EXPECT_EQ(settingInt(s, sec, QStringLiteral("Empty"), 3), 3);
    EXPECT_TRUE(settingBool(s, sec, QStringLiteral("Flag"), false));
}

TEST_F(Settings, NamesIgnoreCaseAndSectionsNest)
{
    s.SaveSetting(QStringLiteral("Settings\\CC1"), QStringLiteral("AxisX"), 2);
    EXPECT_EQ(s.GetSetting(QStringLiteral("settings\\cc1"), QStringLiteral("AXISX"), 0).toInt(), 2);
    s.SaveSetting(QStringLiteral("SETTINGS\\cc1"), QStringLiteral("axisx"), 3);
    EXPECT_EQ(s.GetAllKeys(QStringLiteral("Settings\\CC1")), QStringList{QStringLiteral("AxisX")});
    EXPECT_EQ(s.GetSetting(QStringLiteral("Settings\\CC1"), QStringLiteral("AxisX"), 0).toInt(), 3);
    EXPECT_TRUE(RegistryStore().keyExists(QStringLiteral("Software\\Myrtova\\Tarnwell\\Settings\\CC1")));

    // Another company's values are not ours.
    CAppSettings other;
    other.Init(QStringLiteral("Other"), QStringLiteral("Tarnwell"));
    EXPECT_EQ(other.GetSetting(QStringLiteral("Settings\\CC1"), QStringLiteral("AxisX"), -1).toInt(), -1);

    // The local-machine root is a separate tree.
    s.setRootKey(CAppSettings::HKEY_LOCAL_MACHINE);
    EXPECT_EQ(s.GetSetting(QStringLiteral("Settings\\CC1"), QStringLiteral("AxisX"), -1).toInt(), -1);
    s.SaveSetting(QStringLiteral("Settings\\CC1"), QStringLiteral("AxisX"), 9);
    s.setRootKey(CAppSettings::HKEY_CURRENT_USER);
    EXPECT_EQ(s.GetSetting(QStringLiteral("Settings\\CC1"), QStringLiteral("AxisX"), -1).toInt(), 3);
}

TEST_F(Settings, ForeignValueTypesGiveTheDefault)
{
    RegistryStore store;
    const QString path = s.sectionPath(QStringLiteral("Settings"));
    ASSERT_TRUE(store.setValue(path, QStringLiteral("Bin"), RegValue{RegType::Binary, {}, 0, QByteArray("\x01\x02", 2)}));
    ASSERT_TRUE(store.setValue(path, QStringLiteral("Exp"), RegValue{RegType::ExpandString, QStringLiteral("%HOME%"), 0, {}}));
    EXPECT_EQ(s.GetSetting(QStringLiteral("Settings"), QStringLiteral("Bin"), 7), QVariant(7));
    EXPECT_EQ(s.GetSetting(QStringLiteral("Settings"), QStringLiteral("Exp"), 7), QVariant(7));
}

TEST_F(Settings, DeleteAndValidation)
{
    s.SaveSetting(QStringLiteral("Volatility"), QStringLiteral("ABC"), QStringLiteral("35"));
    s.DeleteSetting(QStringLiteral("Volatility"), QStringLiteral("abc"));
    EXPECT_EQ(s.GetSetting(QStringLiteral("Volatility"), QStringLiteral("ABC"), QStringLiteral("50")),
              QVariant(QStringLiteral("50")));
    EXPECT_EQ(errorNumberOf([&] { s.DeleteSetting(QStringLiteral("Volatility"), QStringLiteral("ABC")); }),
              CAppSettings::ErrDeleteFailed);
    s.DeleteSetting(QStringLiteral("Volatility"), QString());
    EXPECT_EQ(errorNumberOf([&] { s.GetAllKeys(QStringLiteral("Volatility")); }), CAppSettings::ErrGetAllKeysFailed);

    CAppSettings fresh;
    EXPECT_EQ(errorNumberOf([&] { fresh.Init(QString(), QStringLiteral("App")); }), CAppSettings::ErrInvalidCompanyName);
    EXPECT_EQ(errorNumberOf([&] { fresh.Init(QStringLiteral("Co"), QString()); }), CAppSettings::ErrInvalidAppName);
    EXPECT_EQ(fresh.CompanyName(), QStringLiteral("Co")); // the company was stored first
    EXPECT_EQ(errorNumberOf([&] { fresh.setRootKey(0x80000003u); }), CAppSettings::ErrInvalidRootKey);
    EXPECT_EQ(errorNumberOf([&] { fresh.setMainBranch(QString()); }), CAppSettings::ErrInvalidMainBranch);
}

TEST_F(Settings, DamagedFileIsKeptAsideAndToldOnce)
{
    test::ScriptedDialogs dialogs;
    s.SaveSetting(QStringLiteral("Settings"), QStringLiteral("Steps"), 50);
    const QString file = RegistryStore().filePath();
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    const QByteArray whole = f.readAll();
    f.resize(whole.size() / 2);
    f.close();

    // The first read meets the damage: defaults, and one message naming the
    // file and where it was kept, whole.
    EXPECT_EQ(s.GetSetting(QStringLiteral("Settings"), QStringLiteral("Steps"), 10).toInt(), 10);
    const QStringList kept = QDir(RegistryStore::folder()).entryList({QStringLiteral("*.corrupt-*")});
    ASSERT_EQ(kept.size(), 1);
    const QString keptPath = RegistryStore::folder() + QLatin1Char('/') + kept.first();
    QFile keptFile(keptPath);
    ASSERT_TRUE(keptFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(keptFile.readAll(), whole.left(whole.size() / 2));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].text.contains(file));
    EXPECT_TRUE(dialogs.messages[0].text.contains(keptPath));

    s.SaveSetting(QStringLiteral("Settings"), QStringLiteral("Steps"), 20);
    EXPECT_EQ(s.GetSetting(QStringLiteral("Settings"), QStringLiteral("Steps"), 10).toInt(), 20);
    EXPECT_EQ(dialogs.messages.size(), 1);

    // A damaged file that a write meets first is kept and told the same way.
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("{\"root\":\"HKEY_CURRENT_USER\",\"tree\":[1,2]}");
    f.close();
    s.SaveSetting(QStringLiteral("Settings"), QStringLiteral("Model"), 1);
    EXPECT_EQ(s.GetSetting(QStringLiteral("Settings"), QStringLiteral("Steps"), 10).toInt(), 10);
    EXPECT_EQ(s.GetSetting(QStringLiteral("Settings"), QStringLiteral("Model"), 0).toInt(), 1);
    EXPECT_EQ(QDir(RegistryStore::folder()).entryList({QStringLiteral("*.corrupt-*")}).size(), 2);
    EXPECT_EQ(dialogs.messages.size(), 2);
}

TEST_F(Settings, UnwritableStoreIsToldOnceAndNeverRaises)
{
    test::ScriptedDialogs dialogs;
    ASSERT_TRUE(test::environment().blockSettings());
    const QString sec = QStringLiteral("Settings");
    // The saves of an exit, a chart window and a grid's column layout.
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(errorNumberOf([&] {
                      s.SaveSetting(sec, QStringLiteral("Interest"), QStringLiteral("5.5"));
                      s.SaveSetting(sec, QStringLiteral("SSD"), 3000.0 + i);
                      s.SaveSetting(sec, QStringLiteral("3dChartVisible"), true);
                      s.SaveSetting(QStringLiteral("Settings\\CC1"), QStringLiteral("AxisX"), 3);
                      s.SaveSetting(QStringLiteral("gdCalls"), QStringLiteral("Col1Width"), 900);
                  }),
                  0);
    }
    ASSERT_EQ(dialogs.messages.size(), 1);
    const QString text = dialogs.messages[0].text;
    EXPECT_TRUE(text.contains(QDir::toNativeSeparators(RegistryStore::folder()))) << qPrintable(text);
    EXPECT_TRUE(text.contains(QStringLiteral("will not be kept"))) << qPrintable(text);

    // The rest of the run's saves are dropped, but reads still read what
    // another writer stores.
    test::environment().clearSettings();
    s.SaveSetting(sec, QStringLiteral("Model"), 2);
    EXPECT_FALSE(QFile::exists(RegistryStore().filePath()));
    CAppSettings other;
    other.Init(QStringLiteral("Myrtova"), QStringLiteral("Tarnwell"));
    other.SaveSetting(sec, QStringLiteral("Model"), 1);
    EXPECT_EQ(settingInt(s, sec, QStringLiteral("Model"), 0), 1);
    EXPECT_EQ(dialogs.messages.size(), 1);
}

TEST_F(Settings, AFullDiskKeepsTheWholeFileAndIsToldOnce)
{
    test::ScriptedDialogs dialogs;
    const QString sec = QStringLiteral("Settings");
    const auto value = [](int i) { return QStringLiteral("value %1 ").arg(i).repeated(40); };
    for (int i = 0; i < 32; ++i)
        s.SaveSetting(sec, QStringLiteral("Key%1").arg(i), value(i));
    QFile file(RegistryStore().filePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray whole = file.readAll();
    file.close();
    ASSERT_GT(whole.size(), 20 * 1024);
    {
        test::FileSizeLimit limit(12 * 1024);
        ASSERT_TRUE(limit.active());
        for (int i = 0; i < 3; ++i)
            s.SaveSetting(sec, QStringLiteral("Key%1").arg(i), QStringLiteral("changed"));
    }
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("Reason: The file would be larger than the system allows.")))
        << qPrintable(dialogs.messages[0].text);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), whole);
    EXPECT_EQ(QDir(RegistryStore::folder()).entryList(QDir::Files | QDir::Hidden), storeAndLock());

    // The next start reads every setting; one whose lock file cannot be
    // written is told the cause too.
    CAppSettings next;
    next.Init(QStringLiteral("Myrtova"), QStringLiteral("Tarnwell"));
    EXPECT_EQ(settingText(next, sec, QStringLiteral("Key0"), {}), value(0));
    EXPECT_EQ(settingText(next, sec, QStringLiteral("Key31"), {}), value(31));
    {
        test::FileSizeLimit limit(0);
        next.SaveSetting(sec, QStringLiteral("Key0"), QStringLiteral("changed"));
    }
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_TRUE(dialogs.messages[1].text.contains(QStringLiteral("Reason: The file would be larger")));
    EXPECT_EQ(settingText(next, sec, QStringLiteral("Key0"), {}), value(0));
}

TEST_F(Settings, NumbersBeyond32BitsReadAsTheDefault)
{
    const QString sec = QStringLiteral("Settings");
    // "2147483647.5" rounds beyond the range.
    for (const char* text : {"99999999999", "-3e9", "1e300", "2147483647.5"}) {
        SCOPED_TRACE(text);
        const QString key = QLatin1String(text);
        s.SaveSetting(sec, key, key);
        EXPECT_EQ(errorNumberOf([&] {
                      EXPECT_EQ(settingInt(s, sec, key, 7), 7);
                      EXPECT_TRUE(settingBool(s, sec, key, true));
                      EXPECT_FALSE(settingBool(s, sec, key, false));
                      // Splitter positions and window places are read so and made whole.
                      EXPECT_EQ(toInt32(settingDouble(s, sec, key, 2400)), 2400);
                  }),
                  0);
    }
    s.SaveSetting(sec, QStringLiteral("Max"), QStringLiteral("2147483647"));
    s.SaveSetting(sec, QStringLiteral("Min"), -2147483647.0 - 1.0);
    EXPECT_EQ(settingInt(s, sec, QStringLiteral("Max"), 0), 2147483647);
    EXPECT_EQ(settingDouble(s, sec, QStringLiteral("Min"), 0), -2147483648.0);
}

TEST_F(Settings, EveryReadSeesTheCurrentFile)
{
    CAppSettings second;
    second.Init(QStringLiteral("Myrtova"), QStringLiteral("Tarnwell"));
    s.SaveSetting(QStringLiteral("Settings"), QStringLiteral("Model"), 1);
    EXPECT_EQ(second.GetSetting(QStringLiteral("Settings"), QStringLiteral("Model"), 0).toInt(), 1);
    second.SaveSetting(QStringLiteral("Settings"), QStringLiteral("Model"), 2);
    EXPECT_EQ(s.GetSetting(QStringLiteral("Settings"), QStringLiteral("Model"), 0).toInt(), 2);
}

using test::bytesOf;

TEST_F(Settings, ABatchReplacesTheFileOnceAndReadsSeeItsValues)
{
    test::ScriptedDialogs dialogs;
    const QString sec = QStringLiteral("Settings");
    CAppSettings other;
    other.Init(QStringLiteral("Myrtova"), QStringLiteral("Tarnwell"));
    const QString file = RegistryStore().filePath();
    other.SaveSetting(sec, QStringLiteral("Foreign"), 1);
    const QByteArray withForeign = bytesOf(file);
    other.DeleteSetting(sec, QStringLiteral("Foreign"));
    s.SaveSetting(sec, QStringLiteral("Gone"), QStringLiteral("x"));
    const QByteArray before = bytesOf(file);
    test::RenameWatch watch({RegistryStore::folder()});
    ASSERT_TRUE(watch.active());
    {
        SettingsBatch batch(s);
        s.SaveSetting(sec, QStringLiteral("Model"), 2);
        {
            SettingsBatch nested(s); // joins the outer one
            for (int i = 1; i <= 20; ++i)
                s.SaveSetting(QStringLiteral("Settings\\CC%1").arg(i), QStringLiteral("AxisX"), i);
        }
        s.SaveSetting(sec, QStringLiteral("Model"), 3);
        s.DeleteSetting(sec, QStringLiteral("Gone"));
        // Nothing written yet, but every reader sees the values.
        EXPECT_TRUE(watch.renamed().isEmpty());
        EXPECT_EQ(bytesOf(file), before);
        EXPECT_EQ(settingInt(other, QStringLiteral("Settings\\CC20"), QStringLiteral("AxisX"), 0), 20);
        EXPECT_EQ(s.GetAllKeys(sec), QStringList{QStringLiteral("Model")});
        // Another program changes the file meanwhile: the batch's changes are
        // made to the file as it is when written.
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(withForeign);
        f.close();
    }
    EXPECT_EQ(watch.renamed(), QStringList{file});
    CAppSettings next;
    next.Init(QStringLiteral("Myrtova"), QStringLiteral("Tarnwell"));
    EXPECT_EQ(settingInt(next, sec, QStringLiteral("Model"), 0), 3);
    EXPECT_EQ(settingInt(next, QStringLiteral("Settings\\CC7"), QStringLiteral("AxisX"), 0), 7);
    EXPECT_EQ(settingText(next, sec, QStringLiteral("Gone"), QStringLiteral("none")), QStringLiteral("none"));
    EXPECT_EQ(settingInt(next, sec, QStringLiteral("Foreign"), 0), 1);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(Settings, ABatchCutShortByAFullDiskKeepsTheWholeFileAndIsToldOnce)
{
    test::ScriptedDialogs dialogs;
    const QString sec = QStringLiteral("Settings");
    const auto value = [](int i) { return QStringLiteral("value %1 ").arg(i).repeated(40); };
    for (int i = 0; i < 32; ++i)
        s.SaveSetting(sec, QStringLiteral("Key%1").arg(i), value(i));
    const QString file = RegistryStore().filePath();
    const QByteArray whole = bytesOf(file);
    ASSERT_GT(whole.size(), 20 * 1024);
    {
        test::FileSizeLimit limit(12 * 1024);
        ASSERT_TRUE(limit.active());
        SettingsBatch batch(s);
        for (int i = 0; i < 3; ++i)
            s.SaveSetting(sec, QStringLiteral("Key%1").arg(i), QStringLiteral("changed"));
        EXPECT_TRUE(dialogs.messages.isEmpty());
    }
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("will not be kept")));
    EXPECT_EQ(bytesOf(file), whole);
    EXPECT_EQ(QDir(RegistryStore::folder()).entryList(QDir::Files | QDir::Hidden), storeAndLock());
    // The held values went with the failed write; later writes are dropped.
    EXPECT_EQ(settingText(s, sec, QStringLiteral("Key0"), {}), value(0));
    s.SaveSetting(sec, QStringLiteral("Key1"), QStringLiteral("again"));
    EXPECT_EQ(bytesOf(file), whole);
    EXPECT_EQ(dialogs.messages.size(), 1);
}

// A relative XDG folder would move with the working folder: it counts as unset.
TEST_F(Settings, RelativeXdgFoldersCountAsUnset)
{
    QTemporaryDir home;
    std::map<const char*, QByteArray> old;
    for (const char* var : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME"}) {
        old[var] = qgetenv(var);
        qputenv(var, var[0] == 'H' ? home.path().toLocal8Bit() : QByteArray("relative"));
    }
    const QStringList folders{RegistryStore::folder(), platform::userDataHome(), userStateFolder(), platform::userCacheHome()};
    for (const auto& [var, value] : old)
        qputenv(var, value);
    EXPECT_EQ(folders, (QStringList{home.path() + "/.config/tarnwell/registry", home.path() + "/.local/share",
                                    home.path() + "/.local/state/tarnwell", home.path() + "/.cache"}))
        << qPrintable(folders.join(u' '));
}

// The lock is the system's: a program killed while it held it (its lock file
// left empty) keeps no writer out; one that keeps it all the while makes the
// settings of the run unkept.
TEST_F(Settings, AKilledHolderLeavesNoLockAndALiveOneKeepsTheWriterOut)
{
    test::ScriptedDialogs dialogs;
    const QString sec = QStringLiteral("Settings");
    ASSERT_TRUE(QDir().mkpath(RegistryStore::folder()));
    const QByteArray lock = QFile::encodeName(RegistryStore().filePath() + QStringLiteral(".lock"));
    const auto hold = [&lock] { // as a writer does
        const int fd = ::open(lock.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        return fd >= 0 && ::flock(fd, LOCK_EX) == 0 ? fd : -1;
    };
    int told[2];
    ASSERT_EQ(::pipe(told), 0);
    const pid_t killed = ::fork();
    ASSERT_GE(killed, 0);
    if (killed == 0) { // holds it, says so and waits to be killed
        if (hold() >= 0 && ::write(told[1], "h", 1) == 1)
            ::pause();
        ::_exit(1);
    }
    char held = 0;
    ASSERT_EQ(::read(told[0], &held, 1), 1);
    ASSERT_EQ(::kill(killed, SIGKILL), 0);
    ASSERT_EQ(::waitpid(killed, nullptr, 0), killed);
    ::close(told[0]);
    ::close(told[1]);
    s.SaveSetting(sec, QStringLiteral("Model"), 1);
    EXPECT_EQ(settingInt(s, sec, QStringLiteral("Model"), 0), 1);
    EXPECT_TRUE(dialogs.messages.isEmpty());

    const int holder = hold(); // here, through an open of its own
    s.SaveSetting(sec, QStringLiteral("Model"), 2);
    ::close(holder);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("Another program keeps the settings file locked")))
        << qPrintable(dialogs.messages[0].text);
    EXPECT_EQ(settingInt(s, sec, QStringLiteral("Model"), 0), 1);
}
