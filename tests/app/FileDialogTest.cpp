#include "app/CErrorHandler.h"
#include "app/Tools.h"
#include "app/mCommonDialog.h"
#include "support/ScriptedDialogs.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace tw;
using namespace tw::filedialog;
using tw::test::ScriptedDialogs;

namespace {

const QString OptFilter = QStringLiteral("Options (.opt)|*.opt| All Files (*.*)|*.*");
const QChar Nul(u'\0');

// A text with NUL characters in it, written as a literal.
template <size_t N>
QString z(const char (&text)[N])
{
    return QString::fromLatin1(text, N - 1);
}

// The arguments of one call, with the values the callers typically pass.
struct Call {
    QString fileName;
    QString fileTitle;
    bool fileMustExist = true;
    bool multiSelect = false;
    bool readOnly = false;
    bool hideReadOnly = true;
    QString filter = OptFilter;
    int32_t filterIndex = 1;
    QString initDir = QStringLiteral("/data/options");
    QString title = QStringLiteral("Select option data file");
    QString defaultExt = QStringLiteral("opt");
    int64_t owner = -1;
    int32_t flags = 0;
    bool save = false;

    bool run()
    {
        return VBGetOpenFileName(fileName, fileTitle, fileMustExist, multiSelect, readOnly, hideReadOnly, filter,
                                 filterIndex, initDir, title, defaultExt, owner, flags, save);
    }
};

// Does a Qt name-filter pattern list match a file name the way the file
// dialog's model matches it (wildcards, any letter case)?
bool patternsMatch(const QString& patterns, const QString& fileName)
{
    for (const QString& p : patterns.split(u' ', Qt::SkipEmptyParts)) {
        const auto rx = QRegularExpression::fromWildcard(p, Qt::CaseInsensitive);
        if (rx.match(fileName).hasMatch())
            return true;
    }
    return false;
}

} // namespace

TEST(FileDialogFilter, ConvertsBarsAndColonsToNul)
{
    EXPECT_EQ(convertFilter(QStringLiteral("A|*.a|B|*.b")), z("A\0*.a\0B\0*.b\0\0"));
    EXPECT_EQ(convertFilter(QStringLiteral("Set: one|*.x")), z("Set\0 one\0*.x\0\0"));
    EXPECT_EQ(convertFilter(QString()), QString(2, Nul));
}

TEST(FileDialogFilter, EntriesAndQtNameFilters)
{
    const QString converted = convertFilter(OptFilter);
    const auto entries = filterEntries(converted);
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0].description, QStringLiteral("Options (.opt)"));
    EXPECT_EQ(entries[0].pattern, QStringLiteral("*.opt"));
    EXPECT_EQ(entries[1].description, QStringLiteral(" All Files (*.*)"));
    EXPECT_EQ(entries[1].pattern, QStringLiteral("*.*"));

    EXPECT_EQ(qtNameFilters(converted),
              QStringList({QStringLiteral("Options (.opt) (*.opt)"), QStringLiteral("All Files (*.*) (*)")}));
    // A colon in a description splits it: the halves pair up anew.
    EXPECT_EQ(qtNameFilters(convertFilter(QStringLiteral("Chains: all|*.opt"))),
              QStringList({QStringLiteral("Chains (all)"), QStringLiteral("*.opt (*)")}));
    // An entry without a description shows its pattern.
    EXPECT_EQ(qtNameFilters(convertFilter(QStringLiteral(" |*.stg"))), QStringList({QStringLiteral("*.stg (*.stg)")}));
    EXPECT_TRUE(qtNameFilters(convertFilter(QString())).isEmpty());
}

TEST(FileDialogFilter, PatternsMatchLikeTheClassicDialog)
{
    struct Case {
        const char* pattern;
        const char* qt;
        const char* matches;
        const char* misses;
    };
    const Case cases[] = {
        {"*.stg", "*.stg", "DEFAULT.STG", "DEFAULT.opt"},
        {"*.stg", "*.stg", "my.Stg", "stg"},
        {"*.*", "*", "README", ""},
        {"*.*", "*", "chain.opt", ""},
        {"*.opt;*.txt", "*.opt *.txt", "A.TXT", "a.stg"},
        {" *.opt ; *.opt ", "*.opt", "x.opt", "x.op"},
        {"", "*", "anything", ""},
    };
    for (const Case& c : cases) {
        const QString qt = qtPatterns(QString::fromUtf8(c.pattern));
        EXPECT_EQ(qt, QString::fromUtf8(c.qt)) << c.pattern;
        EXPECT_TRUE(patternsMatch(qt, QString::fromUtf8(c.matches))) << c.pattern << " " << c.matches;
        if (*c.misses != '\0') {
            EXPECT_FALSE(patternsMatch(qt, QString::fromUtf8(c.misses))) << c.pattern << " " << c.misses;
        }
    }
}

TEST(FileDialogFilter, DefaultSuffix)
{
    const std::pair<const char*, const char*> cases[] = {
        {"opt", "opt"}, {".stg", "stg"}, {"*.stg", "stg"}, {" txt ", "txt"}, {"", ""}, {"*.*", ""}, {"a/b", ""},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(defaultSuffix(QString::fromUtf8(in)), QString::fromUtf8(out)) << in;
}

TEST(FileDialogFilter, RequestFlags)
{
    EXPECT_EQ(requestFlags(true, false, false, false, 0), Ofn::FileMustExist);
    EXPECT_EQ(requestFlags(false, true, true, true, 0), Ofn::AllowMultiSelect | Ofn::ReadOnly | Ofn::HideReadOnly);
    // Hooks and dialog templates are never passed on; other bits are.
    EXPECT_EQ(requestFlags(false, false, false, false, Ofn::EnableHook | Ofn::EnableTemplate | Ofn::OverwritePrompt),
              Ofn::OverwritePrompt);
}

TEST(FileDialogFilter, StrZToStrAndFilterLookup)
{
    EXPECT_EQ(StrZToStr(QStringLiteral("abc")), QStringLiteral("abc"));
    EXPECT_EQ(StrZToStr(z("ab\0cd")), QStringLiteral("ab"));
    EXPECT_EQ(StrZToStr(QString(3, Nul)), QString());

    const QString converted = convertFilter(OptFilter);
    EXPECT_EQ(FilterLookup(converted, 1), z("Options (.opt)\0*.opt"));
    EXPECT_EQ(FilterLookup(converted, 2), z(" All Files (*.*)\0*.*"));
    EXPECT_EQ(FilterLookup(QString(), 1), QString());
    // Indexes outside the list end the lookup with some text, never hang.
    FilterLookup(converted, 0);
    FilterLookup(converted, -5);
    FilterLookup(converted, 99);
    EXPECT_EQ(errorHandler().callStackDepth(), 0);
}

TEST(FileDialogCall, ChosenFileWithSecondFilter)
{
    ScriptedDialogs dialogs;
    dialogs.fileAnswers.push_back(ScriptedDialogs::chosen({QStringLiteral("/data/options/IBM.opt")}, 1));
    Call c;
    c.filterIndex = 2;
    ASSERT_TRUE(c.run());
    EXPECT_EQ(c.fileName, QStringLiteral("/data/options/IBM.opt"));
    EXPECT_EQ(c.fileTitle, QStringLiteral("IBM.opt"));
    EXPECT_EQ(c.filter, z(" All Files (*.*)\0*.*"));
    EXPECT_EQ(c.filterIndex, 2);
    EXPECT_EQ(c.flags, Ofn::FileMustExist | Ofn::HideReadOnly);
    EXPECT_FALSE(c.readOnly);
    EXPECT_EQ(lastDialogResult(), 1);
    EXPECT_EQ(errorHandler().callStackDepth(), 0);

    ASSERT_EQ(dialogs.fileQuestions.size(), 1);
    const auto& q = dialogs.fileQuestions.first();
    EXPECT_FALSE(q.save);
    EXPECT_EQ(q.request.title, QStringLiteral("Select option data file"));
    EXPECT_EQ(q.request.initialDir, QStringLiteral("/data/options"));
    EXPECT_EQ(q.request.nameFilters.size(), 2);
    EXPECT_EQ(q.request.selectedFilter, 1);
    EXPECT_EQ(q.request.defaultSuffix, QStringLiteral("opt"));
    EXPECT_TRUE(q.request.fileMustExist);
    EXPECT_FALSE(q.request.multiSelect);
    EXPECT_TRUE(q.request.hideReadOnly);
    EXPECT_EQ(q.request.owner, -1);
}

TEST(FileDialogCall, SaveDialogRequest)
{
    ScriptedDialogs dialogs;
    dialogs.fileAnswers.push_back(ScriptedDialogs::chosen({QStringLiteral("/tmp/new.opt")}));
    Call c;
    c.save = true;
    c.fileMustExist = false;
    c.fileName = QStringLiteral("IBM 2024-01-05.opt");
    c.owner = 0; // any value but -1 names an owner, 0 included
    c.filterIndex = 7; // outside the list: the first entry
    ASSERT_TRUE(c.run());
    const auto& q = dialogs.fileQuestions.first();
    EXPECT_TRUE(q.save);
    EXPECT_FALSE(q.request.fileMustExist);
    EXPECT_EQ(q.request.initialFile, QStringLiteral("IBM 2024-01-05.opt"));
    EXPECT_EQ(q.request.owner, 0);
    EXPECT_EQ(q.request.selectedFilter, 0);
    EXPECT_EQ(c.filterIndex, 1);
    EXPECT_EQ(c.fileName, QStringLiteral("/tmp/new.opt"));
}

TEST(FileDialogCall, CancelAndFailureClearTheOutputs)
{
    for (const int result : {int(FileDialogAnswer::Cancelled), int(FileDialogAnswer::Failed)}) {
        ScriptedDialogs dialogs;
        FileDialogAnswer a;
        a.result = result;
        a.extendedError = 0x3003;
        dialogs.fileAnswers.push_back(a);
        Call c;
        c.fileName = QStringLiteral("old.opt");
        c.fileTitle = QStringLiteral("old.opt");
        c.readOnly = true;
        c.flags = Ofn::OverwritePrompt;
        EXPECT_FALSE(c.run());
        EXPECT_EQ(c.fileName, QString());
        EXPECT_EQ(c.fileTitle, QString());
        EXPECT_EQ(c.filter, QString());
        EXPECT_EQ(c.filterIndex, -1);
        EXPECT_EQ(c.flags, 0);
        EXPECT_TRUE(c.readOnly); // kept
        EXPECT_EQ(lastDialogResult(), result);
        EXPECT_EQ(lastExtendedError(), result == FileDialogAnswer::Failed ? 0x3003u : 0u);
        EXPECT_EQ(errorHandler().callStackDepth(), 0);
    }
}

TEST(FileDialogCall, ReadOnlyState)
{
    ScriptedDialogs dialogs;
    FileDialogAnswer ticked = ScriptedDialogs::chosen({QStringLiteral("/x/a.stg")}, 0);
    ticked.readOnly = true;
    dialogs.fileAnswers.push_back(ticked);
    Call c;
    c.hideReadOnly = false;
    ASSERT_TRUE(c.run());
    EXPECT_TRUE(c.readOnly);
    EXPECT_EQ(c.flags & Ofn::ReadOnly, Ofn::ReadOnly);

    // Unticked by the user: the flag goes, the caller's variable stays.
    dialogs.fileAnswers.push_back(ScriptedDialogs::chosen({QStringLiteral("/x/a.stg")}, 0));
    Call d;
    d.readOnly = true;
    ASSERT_TRUE(d.run());
    EXPECT_TRUE(dialogs.fileQuestions.last().request.readOnly);
    EXPECT_EQ(d.flags & Ofn::ReadOnly, 0);
    EXPECT_TRUE(d.readOnly);
}

TEST(FileDialogCall, MultipleSelection)
{
    ScriptedDialogs dialogs;
    dialogs.fileAnswers.push_back(
        ScriptedDialogs::chosen({QStringLiteral("/data/a.opt"), QStringLiteral("/data/b c.opt")}));
    Call c;
    c.multiSelect = true;
    ASSERT_TRUE(c.run());
    EXPECT_EQ(c.fileName, QStringLiteral("/data") + Nul + QStringLiteral("a.opt") + Nul + QStringLiteral("b c.opt"));
    EXPECT_EQ(c.fileTitle, QString());
    EXPECT_EQ(StrZToStr(c.fileName), QStringLiteral("/data"));

    // The multi-select bit in Flags alone allows several files too; one
    // chosen file comes back as its path.
    dialogs.fileAnswers.push_back(ScriptedDialogs::chosen({QStringLiteral("/data/a.opt")}));
    Call d;
    d.flags = Ofn::AllowMultiSelect;
    d.fileTitle = QStringLiteral("x");
    ASSERT_TRUE(d.run());
    EXPECT_TRUE(dialogs.fileQuestions.last().request.multiSelect);
    EXPECT_EQ(d.fileName, QStringLiteral("/data/a.opt"));
    EXPECT_EQ(d.fileTitle, QString());
}

TEST(FileDialogCall, LongPathsPassWhole)
{
    // No fixed-size buffer: long names go to the dialog and come back whole.
    ScriptedDialogs dialogs;
    const QString deep = QStringLiteral("/data/") + QString(300, u'd') + QStringLiteral("/") + QString(200, u'f') +
                         QStringLiteral(".opt");
    dialogs.fileAnswers.push_back(ScriptedDialogs::chosen({deep}));
    Call c;
    c.fileName = QString(400, u'n') + QStringLiteral(".opt");
    ASSERT_TRUE(c.run());
    EXPECT_EQ(dialogs.fileQuestions.first().request.initialFile, QString(400, u'n') + QStringLiteral(".opt"));
    EXPECT_EQ(c.fileName, deep);
    EXPECT_EQ(c.fileTitle, QString(200, u'f') + QStringLiteral(".opt"));
}

TEST(FileDialogCall, NoDialogsInstalledCancels)
{
    Call c;
    c.fileName = QStringLiteral("keep.opt");
    EXPECT_FALSE(c.run());
    EXPECT_EQ(c.fileName, QString());
    EXPECT_EQ(c.filterIndex, -1);
}
