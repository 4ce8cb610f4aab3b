// The main window's menu bar, context menus and toolbar as the user meets
// them: every item with its key, caption, icon and parent; the commands the
// items and buttons run; the Edit menu's enabling and its clipboard rules;
// the help pages; the tracing switch.

#include "support/MainWindowControls.h"
#include "MainWindowFixtures.h"

#include "app/CErrorHandler.h"
#include "app/HelpFile.h"
#include "app/Tools.h"
#include "app/frmAbout.h"
#include "app/frmSysInfo.h"
#include "charts/frm3dChart.h"
#include "charts/frmChart.h"
#include "mainwindow/MenuTables.h"
#include "workspace/DescriptionPane.h"
#include "mainwindow/frmStrategies.h"
#include "platform/PopupMenu.h"
#include "platform/Toolbar.h"
#include "support/MainWindowRun.h"
#include "support/QtTestMain.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QToolButton>
#include <QtTest>

using namespace tw;
using tw::platform::PopupMenu;

namespace {

struct Item {
    const char* caption;
    const char* key;
    int icon;
    const char* parentKey; // "" for the top level
};

// The menu bar as the program has always offered it.
const Item kMenuBar[] = {
    {"&File", "mnuFileTOP", -1, ""},
    {"-Options", "mnuFileSeparator0", -1, "mnuFileTOP"},
    {"Load options from file", "mnuFileLoadOptions", 9, "mnuFileTOP"},
    {"Save options to file", "mnuFileSaveOptions", 12, "mnuFileTOP"},
    {"-Strategies", "mnuFileSeparator1", -1, "mnuFileTOP"},
    {"Load strategies", "mnuFileLoadStrategies", 10, "mnuFileTOP"},
    {"Save strategies", "mnuFileSaveStrategies", 12, "mnuFileTOP"},
    {"Save strategies as...", "mnuFileSaveStrategiesAs", 13, "mnuFileTOP"},
    {"-", "mnuFileSeparator2", -1, "mnuFileTOP"},
    {"Exit", "mnuFileExit", 27, "mnuFileTOP"},
    {"&Edit", "mnuEditTOP", -1, ""},
    {"-Edit text", "mnuEditSeparator0", -1, "mnuEditTOP"},
    {"&Copy text", "mnuEditCopy", 16, "mnuEditTOP"},
    {"Cu&t text", "mnuEditCut", 17, "mnuEditTOP"},
    {"&Paste text", "mnuEditPaste", 18, "mnuEditTOP"},
    {"Create formatted text", "mnuEditStrategyHelp", 14, "mnuEditTOP"},
    {"&Windows", "mnuWindowsTOP", -1, ""},
    {"-Charts", "mnuWindowsSeparator0", -1, "mnuWindowsTOP"},
    {"&New chart", "mnuWindowsNewChart", 40, "mnuWindowsTOP"},
    {"&3D chart", "mnuWindowsStrategy3DProfile", 31, "mnuWindowsTOP"},
    {"-Windows operations", "mnuWindowsSeparator1", -1, "mnuWindowsTOP"},
    {"&Minimize all", "mnuWindowsMinimizeAll", 26, "mnuWindowsTOP"},
    {"-Opened charts", "mnuChartsTOP", -1, "mnuWindowsTOP"},
    {"&Help", "mnuHelpTOP", -1, ""},
    {"-Help", "mnuHelpSeparator1", -1, "mnuHelpTOP"},
    {"&Contents", "mnuHelpContents", 14, "mnuHelpTOP"},
    {"&Index", "mnuHelpIndex", 5, "mnuHelpTOP"},
    {"-Information", "mnuHelpSeparator2", -1, "mnuHelpTOP"},
    {"&About...", "mnuHelpAbout", 32, "mnuHelpTOP"},
    {"-Links", "mnuHelpSeparator3", -1, "mnuHelpTOP"},
    {"Resources", "mnuLinkExchanges", 8, "mnuHelpTOP"},
    {"Chicago Board Option Exchange", "mnuLinkCBOE", 7, "mnuLinkExchanges"},
    {"London International Financial Futures Exchange", "mnuLinkLIFFE", 19, "mnuLinkExchanges"},
    {"Yahoo Finance", "mnuLinkYahoo", 20, "mnuLinkExchanges"},
    {"-Debug", "mnuHelpSeparator11", -1, "mnuHelpTOP"},
    {"&Enable tracing", "mnuHelpTracing", -1, "mnuHelpTOP"},
};

const Item kStrategiesMenu[] = {
    {"-Strategies", "mnuStrategiesSeparator0", -1, ""},  {"Rename", "mnuStrategiesRename", 23, ""},
    {"Load", "mnuStrategiesLoad", 9, ""},                {"Save", "mnuStrategiesSave", 12, ""},
    {"Save as...", "mnuStrategiesSaveAs", 13, ""},       {"-Edit", "mnuStrategiesSeparator1", -1, ""},
    {"Add strategy", "mnuStrategiesAdd", 25, ""},        {"Delete strategy", "mnuStrategiesDelete", 24, ""},
    {"Copy strategy", "mnuStrategiesCopy", 16, ""},      {"Move to", "mnuStrategiesMoveTo", 34, ""},
    {"-Strategy group", "mnuStrategiesSeparator2", -1, ""}, {"Add strategy group", "mnuStrategiesAddGroup", 25, ""},
    {"Delete strategy group", "mnuStrategiesDeleteGroup", 24, ""}, {"-Exchange", "mnuStrategiesSeparator3", -1, ""},
    {"Export", "mnuStrategiesExport", 36, ""},           {"Import", "mnuStrategiesImport", 37, ""},
};

const Item kOptionsMenu[] = {
    {"Add as long position", "mnuOptionsAddLong", -1, ""},
    {"Add as short position", "mnuOptionsAddShort", -1, ""},
};

const Item kParamsMenu[] = {
    {"-Strategy params", "mnuParamsSeparator0", -1, ""},
    {"Add", "mnuParamsAdd", 25, ""},
    {"Edit", "mnuParamsEdit", 23, ""},
    {"Delete", "mnuParamsDelete", 24, ""},
    {"-Group operations", "mnuParamsSeparator2", -1, ""},
    {"Shift all strikes 1 step up", "mnuParams1StepUp", 28, ""},
    {"Shift all strikes 1 step down", "mnuParams1StepDown", 29, ""},
    {"-Export", "mnuParamsSeparator3", -1, ""},
    {"Export to Microsoft Excel", "mnuParamsExportToExcel", 39, ""},
};

const Item kChartList[] = {
    {"-Opened charts", "mnuChartsTOP", -1, ""},
    {"Main window", "mnuMainForm", 42, ""},
    {"3D chart", "mnu3DChart", 31, ""},
};

struct Button {
    const char* toolTip;
    int image;
    int style;
    const char* key;
};

const Button kToolbar[] = {
    {"New 2D chart", 40, 16, "newchart"},
    {"3D chart", 31, 16, "3Dchart"},
    {"Chart windows", 41, 144, "charts"},
    {"", -1, 1, ""},
    {"Load options from file", 9, 16, "loadoptions"},
    {"Save options to file", 12, 16, "saveoptions"},
    {"Load strategies", 10, 16, "loadstrategy"},
    {"Save strategies", 12, 16, "savestrategies"},
    {"", -1, 1, ""},
    {"Help", 14, 16, "help"},
    {"Exit", 27, 16, "exit"},
};

template <size_t N>
void compareMenu(const PopupMenu* menu, const Item (&expected)[N])
{
    QCOMPARE(menu->Count(), int(N));
    for (int i = 1; i <= int(N); ++i) {
        const Item& e = expected[i - 1];
        const QByteArray where = QByteArray("item ") + QByteArray::number(i) + " " + e.key;
        QVERIFY2(menu->KeyOfItem(i) == QLatin1String(e.key), where);
        QVERIFY2(menu->ItemCaption(i) == QString::fromUtf8(e.caption), where);
        QVERIFY2(menu->ItemIcon(i) == e.icon, where);
        const int parent = menu->ItemParentIndex(i);
        const QString parentKey = parent == 0 ? QString() : menu->KeyOfItem(parent);
        QVERIFY2(parentKey == QLatin1String(e.parentKey), where + " parent " + parentKey.toUtf8());
        QVERIFY2(menu->ItemEnabled(i), where);
        QVERIFY2(menu->ItemData(i) == 0, where);
        QVERIFY2(menu->ItemHelpText(i).isEmpty(), where);
        QVERIFY2(menu->ItemIsSeparator(i) == (e.caption[0] == '-'), where);
        QVERIFY2(menu->IndexOfKey(QLatin1String(e.key)) == i, where);
    }
}

int item(const PopupMenu* menu, const char* key)
{
    return menu->IndexOfKey(QLatin1String(key));
}

void clickMenu(frmStrategies* w, const char* key)
{
    const int n = item(ui::m_cMenu(w), key);
    QVERIFY2(n > 0, key);
    emit ui::m_cMenu(w)->Click(n);
}

void clickButton(frmStrategies* w, const char* key)
{
    QVERIFY2(test::clickToolbarButton(w, QLatin1String(key)), key);
}

struct EditState {
    bool cut;
    bool copy;
    bool paste;
};

EditState openEditMenu(frmStrategies* w)
{
    emit ui::m_cMenu(w)->InitPopupMenu(item(ui::m_cMenu(w), "mnuEditTOP"));
    return {ui::m_cMenu(w)->ItemEnabled(item(ui::m_cMenu(w), "mnuEditCut")),
            ui::m_cMenu(w)->ItemEnabled(item(ui::m_cMenu(w), "mnuEditCopy")),
            ui::m_cMenu(w)->ItemEnabled(item(ui::m_cMenu(w), "mnuEditPaste"))};
}

void putOnClipboard(const QString& text, bool rich)
{
    auto* data = new QMimeData;
    data->setText(text);
    if (rich)
        data->setHtml(QStringLiteral("<b>") + text.toHtmlEscaped() + QStringLiteral("</b>"));
    QApplication::clipboard()->setMimeData(data);
}

QByteArray messagesText(const test::ScriptedDialogs& d)
{
    QByteArray t;
    for (const auto& m : d.messages)
        t += m.title.toUtf8() + ": " + m.text.toUtf8() + "\n";
    return t;
}

void selectAllOf(QTextEdit* box)
{
    QTextCursor c = box->textCursor();
    c.select(QTextCursor::Document);
    box->setTextCursor(c);
}

} // namespace

class MainMenuTest : public QObject {
    Q_OBJECT

    test::SampleFiles m_files;

private slots:
    void initTestCase() { QVERIFY(m_files.write()); }

    void init()
    {
        test::environment().clearSettings();
        test::storeQuietStart();
    }

    void menuBarHoldsEveryItemAsListed()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_files.stg});
        PopupMenu* menu = ui::m_cMenu(run.window());
        compareMenu(menu, kMenuBar);

        // No chart window yet: the Windows menu ends with "&Minimize all".
        QVERIFY(!menu->ItemVisible(item(menu, "mnuChartsTOP")));
        for (int i = 1; i <= menu->Count(); ++i) {
            if (menu->KeyOfItem(i) != QLatin1String("mnuChartsTOP"))
                QVERIFY2(menu->ItemVisible(i), qPrintable(menu->KeyOfItem(i)));
            if (menu->KeyOfItem(i) != QLatin1String("mnuHelpTracing"))
                QVERIFY2(!menu->ItemChecked(i), qPrintable(menu->KeyOfItem(i)));
        }
        QCOMPARE(menu->ItemChecked(item(menu, "mnuHelpTracing")), errorHandler().TracingEnabled());

        // The four titles form the menu bar, in order.
        QStringList titles;
        for (QAction* a : ui::tbrMenu(run.window())->actions())
            titles.append(a->text());
        QCOMPARE(titles, (QStringList{"&File", "&Edit", "&Windows", "&Help"}));
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void contextMenusHoldTheirItemsAtTheTopLevel()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_files.stg});
        compareMenu(ui::m_cStrategiesMenu(run.window()), kStrategiesMenu);
        compareMenu(ui::m_cOptionsMenu(run.window()), kOptionsMenu);
        compareMenu(ui::m_cParamsMenu(run.window()), kParamsMenu);
        compareMenu(ui::m_cChartList(run.window()), kChartList);
        // Each menu belongs to the main window.
        for (PopupMenu* m : {ui::m_cMenu(run.window()), ui::m_cStrategiesMenu(run.window()), ui::m_cOptionsMenu(run.window()), ui::m_cParamsMenu(run.window()),
                             ui::m_cChartList(run.window())})
            QCOMPARE(m->OwnerWindow(), static_cast<QWidget*>(run.window()));
    }

    void toolbarHoldsTheButtonsAsListed()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_files.stg});
        platform::Toolbar* bar = ui::tbrTools(run.window());
        QCOMPARE(bar->ButtonCount(), int(std::size(kToolbar)));
        for (int b = 1; b <= bar->ButtonCount(); ++b) {
            const Button& e = kToolbar[b - 1];
            const QByteArray where = "button " + QByteArray::number(b);
            QVERIFY2(bar->ButtonToolTip(b) == QLatin1String(e.toolTip), where);
            QVERIFY2(bar->ButtonImage(b) == e.image, where);
            QVERIFY2(bar->ButtonStyle(b) == e.style, where);
            QVERIFY2(bar->ButtonKey(b) == QLatin1String(e.key), where);
            if (e.style == 1) {
                QVERIFY2(bar->ButtonWidget(b) == nullptr, where);
            } else {
                QVERIFY2(bar->ButtonWidget(b) != nullptr, where);
                QVERIFY2(bar->ButtonWidget(b)->toolTip() == QLatin1String(e.toolTip), where);
                // A picture button: no caption shown.
                QVERIFY2(bar->ButtonWidget(b)->toolButtonStyle() == Qt::ToolButtonIconOnly
                             || bar->ButtonWidget(b)->text().isEmpty(),
                         where);
            }
        }
        // The toolbar's pictures are the menu's pictures for the same command.
        PopupMenu* menu = ui::m_cMenu(run.window());
        const std::pair<const char*, const char*> same[] = {
            {"newchart", "mnuWindowsNewChart"},      {"3Dchart", "mnuWindowsStrategy3DProfile"},
            {"loadoptions", "mnuFileLoadOptions"},   {"saveoptions", "mnuFileSaveOptions"},
            {"loadstrategy", "mnuFileLoadStrategies"}, {"savestrategies", "mnuFileSaveStrategies"},
            {"help", "mnuHelpContents"},             {"exit", "mnuFileExit"},
        };
        for (const auto& [button, menuKey] : same)
            QVERIFY2(bar->ButtonImage(bar->ButtonIndex(QLatin1String(button))) == menu->ItemIcon(item(menu, menuKey)),
                     button);
    }

    void toolbarKeysSelectTheirCommandsExactly()
    {
        const std::pair<const char*, ToolbarCommand> table[] = {
            {"newchart", ToolbarCommand::NewChart},          {"3Dchart", ToolbarCommand::Chart3D},
            {"loadoptions", ToolbarCommand::LoadOptions},     {"saveoptions", ToolbarCommand::SaveOptions},
            {"loadstrategy", ToolbarCommand::LoadStrategies}, {"savestrategies", ToolbarCommand::SaveStrategies},
            {"help", ToolbarCommand::Help},                   {"exit", ToolbarCommand::Exit},
            // The drop-down button and the separators run no click command;
            // keys are compared exactly.
            {"charts", ToolbarCommand::None},                 {"", ToolbarCommand::None},
            {"NewChart", ToolbarCommand::None},               {"3dchart", ToolbarCommand::None},
            {"loadstrategies", ToolbarCommand::None},         {"exit ", ToolbarCommand::None},
        };
        for (const auto& [key, command] : table)
            QVERIFY2(toolbarCommand(QLatin1String(key)) == command, key);
    }

    void toolbarButtonsRunTheirCommands()
    {
        QTemporaryDir dir;
        const QString stg = test::writeSampleStrategies(dir.path());
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", stg});
        frmStrategies* w = run.window();
        QVERIFY(test::chartKeys(w).isEmpty());

        clickButton(w, "newchart");
        QCOMPARE(test::chartKeys(w), QStringList{"C0"});

        QVERIFY(frm3dChart::loaded() == nullptr || !frm3dChart::loaded()->isVisible());
        clickButton(w, "3Dchart");
        QVERIFY(frm3dChart::loaded() != nullptr && frm3dChart::loaded()->isVisible());

        // Load options: the open dialog (cancelled here) is asked.
        clickButton(w, "loadoptions");
        QCOMPARE(dialogs.fileQuestions.size(), 1);
        QVERIFY(!dialogs.fileQuestions.last().save);

        // Save options with no chain loaded has nothing to save.
        clickButton(w, "saveoptions");
        QCOMPARE(dialogs.fileQuestions.size(), 1);

        clickButton(w, "loadstrategy");
        QCOMPARE(dialogs.fileQuestions.size(), 2);
        QVERIFY(!dialogs.fileQuestions.last().save);

        // Save strategies writes the loaded file again without asking.
        QFile(stg).remove();
        clickButton(w, "savestrategies");
        QCOMPARE(dialogs.fileQuestions.size(), 2);
        QVERIFY(QFileInfo::exists(stg));

        clickButton(w, "help");
        QCOMPARE(dialogs.openedUrls.size(), 1);
        QCOMPARE(QFileInfo(dialogs.openedUrls.last().toLocalFile()).fileName(), QStringLiteral("t01.htm"));

        // The drop-down opens the window list and runs no click command.
        clickButton(w, "charts");
        QVERIFY(ui::m_cChartList(w)->ActivePopup() != nullptr);
        QCOMPARE(test::chartKeys(w), QStringList{"C0"});
        QCOMPARE(ui::m_cChartList(w)->KeyOfItem(1), QStringLiteral("mnuChartsTOP"));
        ui::m_cChartList(w)->ActivePopup()->close();

        QVERIFY(dialogs.messages.isEmpty());
        QVERIFY(dialogs.errorReports.isEmpty());

        // Exit closes the main window (nothing unsaved: no question).
        QPointer<frmStrategies> window = w;
        clickButton(w, "exit");
        QTRY_VERIFY(window.isNull());
        QVERIFY(dialogs.messages.isEmpty());
    }

    void menuItemsRunTheirCommands()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_files.stg});
        frmStrategies* w = run.window();

        clickMenu(w, "mnuWindowsNewChart");
        QCOMPARE(test::chartKeys(w), QStringList{"C0"});
        clickMenu(w, "mnuWindowsStrategy3DProfile");
        QVERIFY(frm3dChart::loaded() != nullptr && frm3dChart::loaded()->isVisible());

        clickMenu(w, "mnuFileLoadOptions");
        clickMenu(w, "mnuFileLoadStrategies");
        clickMenu(w, "mnuFileSaveStrategiesAs");
        QCOMPARE(dialogs.fileQuestions.size(), 3);
        QVERIFY(!dialogs.fileQuestions.at(0).save);
        QVERIFY(!dialogs.fileQuestions.at(1).save);
        QVERIFY(dialogs.fileQuestions.at(2).save);

        clickMenu(w, "mnuHelpAbout");
        QWidget* about = nullptr;
        for (QWidget* t : QApplication::topLevelWidgets()) {
            if (t->objectName() == QLatin1String("frmAbout") && t->isVisible())
                about = t;
        }
        QVERIFY(about != nullptr);
        QVERIFY(!about->isModal());
        about->close();

        // The three links open web sites in the browser, each its own.
        for (const char* key : {"mnuLinkCBOE", "mnuLinkLIFFE", "mnuLinkYahoo"})
            clickMenu(w, key);
        QCOMPARE(dialogs.openedUrls.size(), 3);
        QSet<QString> hosts;
        for (const QUrl& url : dialogs.openedUrls) {
            QVERIFY(url.scheme().startsWith(QLatin1String("http")));
            hosts.insert(url.host());
        }
        QCOMPARE(hosts.size(), 3);

        // "Minimize all" minimises the 3-D window, the main window and every
        // chart window.
        clickMenu(w, "mnuWindowsNewChart");
        clickMenu(w, "mnuWindowsMinimizeAll");
        QVERIFY(frm3dChart::loaded()->isMinimized());
        QVERIFY(w->isMinimized());
        for (const auto& entry : w->openCharts())
            QVERIFY2(entry.second->isMinimized(), qPrintable(entry.first));

        // Titles, separators and unknown keys do nothing.
        const int charts = w->openCharts().size();
        const int urls = dialogs.openedUrls.size();
        for (const char* key : {"mnuFileTOP", "mnuFileSeparator2", "mnuHelpSeparator11", "mnuLinkExchanges",
                                "mnuChartsTOP"})
            clickMenu(w, key);
        QCOMPARE(w->openCharts().size(), charts);
        QCOMPARE(dialogs.openedUrls.size(), urls);
        QCOMPARE(dialogs.fileQuestions.size(), 3);
        QVERIFY(w->isVisible());
        QVERIFY2(dialogs.messages.isEmpty(), messagesText(dialogs));
        QVERIFY(dialogs.errorReports.isEmpty());
    }

    void menuBarItemsAreChosenWithTheMouse()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_files.stg});
        frmStrategies* w = run.window();
        const auto enabled = [](QMenu* menu, const char* text) {
            for (QAction* a : menu->actions()) {
                if (a->text() == QLatin1String(text))
                    return a->isEnabled();
            }
            return false;
        };

        // Edit, over the focused description with RTF alone on the
        // clipboard: Paste is offered, Cut and Copy are not; Paste pastes.
        QTextEdit* box = ui::rtfDescription(w);
        box->clear();
        w->session().setStrategiesChanged(false);
        auto* rtf = new QMimeData;
        rtf->setData(QStringLiteral("text/rtf"), QByteArray("{\\rtf1\\ansi Long {\\b call}}"));
        QApplication::clipboard()->setMimeData(rtf);
        QVERIFY(test::focusOn(box));
        QMenu* edit = test::openMenuBarMenu(w, QStringLiteral("&Edit"));
        QVERIFY(edit != nullptr);
        QVERIFY(enabled(edit, "&Paste text"));
        QVERIFY(!enabled(edit, "Cu&t text") && !enabled(edit, "&Copy text"));
        edit->close();
        QVERIFY(test::chooseFromMenuBar(w, QStringLiteral("&Edit"), QStringLiteral("&Paste text")));
        QCOMPARE(box->toPlainText(), QStringLiteral("Long call"));
        QVERIFY(w->session().strategiesChanged());
        // With the text selected, Copy puts it on the clipboard.
        QVERIFY(test::focusOn(box));
        selectAllOf(box);
        QApplication::clipboard()->clear();
        QVERIFY(test::chooseFromMenuBar(w, QStringLiteral("&Edit"), QStringLiteral("&Copy text")));
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Long call"));
        QVERIFY(test::chooseFromMenuBar(w, QStringLiteral("&Edit"), QStringLiteral("Create formatted text")));
        QCOMPARE(dialogs.openedUrls.size(), 1);
        QCOMPARE(QFileInfo(dialogs.openedUrls.last().toLocalFile()).fileName(), QStringLiteral("t020207.htm"));

        // Windows: a new chart, listed under its caption (the only one: no
        // number); its entry brings it back from minimised.
        QVERIFY(test::chooseFromMenuBar(w, QStringLiteral("&Windows"), QStringLiteral("&New chart")));
        QCOMPARE(test::chartKeys(w), QStringList{"C0"});
        frmChart* chart = w->chartByKey(QStringLiteral("C0"));
        QVERIFY(chart != nullptr);
        chart->showMinimized();
        QVERIFY(test::chooseFromMenuBar(w, QStringLiteral("&Windows"), chart->windowTitle()));
        QTRY_VERIFY(!chart->isMinimized());

        // Help > About... shows the About window; its System Info button the
        // program's own report, where no tool is configured.
        QVERIFY(test::chooseFromMenuBar(w, QStringLiteral("&Help"), QStringLiteral("&About...")));
        QPointer<frmAbout> about = frmAbout::loaded();
        QVERIFY(about != nullptr && about->isVisible());
        QTest::mouseClick(about->cmdSysInfo, Qt::LeftButton);
        QPointer<frmSysInfo> info = frmSysInfo::loaded();
        QVERIFY(info != nullptr && info->isVisible());
        info->close();
        about->close();
        QTRY_VERIFY(info.isNull() && about.isNull());

        // File > Exit closes the main window (the pasted text is not to be
        // kept: no question).
        w->session().setStrategiesChanged(false);
        QVERIFY2(dialogs.messages.isEmpty(), messagesText(dialogs));
        QVERIFY(dialogs.errorReports.isEmpty());
        QPointer<frmStrategies> window = w;
        QVERIFY(test::chooseFromMenuBar(w, QStringLiteral("&File"), QStringLiteral("Exit")));
        QTRY_VERIFY(window.isNull());
    }

    void helpItemsOpenTheShippedPages()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_files.stg});
        frmStrategies* w = run.window();
        const struct {
            const char* key;
            const char* page;
            const char* fragment;
        } cases[] = {
            {"mnuHelpContents", "t01.htm", ""},
            {"mnuHelpIndex", "t01.htm", "index"},
            {"mnuEditStrategyHelp", "t020207.htm", ""},
        };
        for (const auto& c : cases) {
            clickMenu(w, c.key);
            QVERIFY2(!dialogs.openedUrls.isEmpty(), c.key);
            const QUrl url = dialogs.openedUrls.takeLast();
            QVERIFY2(url.isLocalFile(), c.key);
            const QFileInfo page(url.toLocalFile());
            QCOMPARE(page.fileName(), QLatin1String(c.page));
            QCOMPARE(page.absolutePath(), QFileInfo(helpFolder()).absoluteFilePath());
            QCOMPARE(url.fragment(), QLatin1String(c.fragment));
        }
        QVERIFY2(dialogs.messages.isEmpty(), messagesText(dialogs)); // every page was there

        // Every page the program opens is a real HTML page with a title; the
        // index anchor the Index command jumps to exists.
        for (const char* topic : {HelpTopic::Contents, HelpTopic::FormattedText, HelpTopic::ChartWindow}) {
            QFile f(QDir(helpFolder()).filePath(QLatin1String(topic)));
            QVERIFY2(f.open(QIODevice::ReadOnly), topic);
            const QString html = QString::fromUtf8(f.readAll());
            QVERIFY2(html.contains(QLatin1String("<title>"), Qt::CaseInsensitive), topic);
            QVERIFY2(html.size() > 400, topic);
        }
        QFile contents(QDir(helpFolder()).filePath(QLatin1String(HelpTopic::Contents)));
        QVERIFY(contents.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(contents.readAll());
        QVERIFY(html.contains(QLatin1String("id=\"index\"")) || html.contains(QLatin1String("name=\"index\"")));
    }

    void tracingItemSwitchesTracing()
    {
        test::ScriptedDialogs dialogs;
        errorHandler().setTracingEnabled(true);
        test::MainWindowRun run({"-S", m_files.stg});
        frmStrategies* w = run.window();
        const int n = item(ui::m_cMenu(w), "mnuHelpTracing");
        QVERIFY(ui::m_cMenu(w)->ItemChecked(n));

        clickMenu(w, "mnuHelpTracing");
        QVERIFY(!ui::m_cMenu(w)->ItemChecked(n));
        QVERIFY(!errorHandler().TracingEnabled());

        clickMenu(w, "mnuHelpTracing");
        QVERIFY(ui::m_cMenu(w)->ItemChecked(n));
        QVERIFY(errorHandler().TracingEnabled());

        // The Help menu of the menu bar shows the same check mark when it
        // opens.
        bool shown = false;
        for (QAction* title : ui::tbrMenu(w)->actions()) {
            if (title->menu() == nullptr || title->text() != QLatin1String("&Help"))
                continue;
            title->menu()->popup(QPoint(0, 0));
            const QList<QAction*> actions = title->menu()->actions();
            title->menu()->close();
            for (QAction* a : actions) {
                if (a->text() == QLatin1String("&Enable tracing")) {
                    QVERIFY(a->isCheckable() && a->isChecked());
                    shown = true;
                }
            }
        }
        QVERIFY(shown);

        // A trace file that cannot be written switches tracing off on its
        // own: the Help menu no longer marks it, and its item switches it on.
        const QString traceFile = errorHandler().TracingLogFile();
        const int32_t traceFlags = errorHandler().TracingFlags();
        QTemporaryDir traceFolder;
        QVERIFY(traceFolder.isValid());
        errorHandler().setTracingFlags(CErrorHandler::TraceFile);
        errorHandler().setTracingLogFile(QStringLiteral("/dev/full"));
        const auto restore = qScopeGuard([&] {
            errorHandler().setTracingEnabled(false);
            errorHandler().setTracingLogFile(traceFile);
            if (traceFlags != 0)
                errorHandler().setTracingFlags(traceFlags);
        });
        const qsizetype told = dialogs.messages.size();
        errorHandler().CallStackPush(QStringLiteral("Tarnwell.Test.Trace"), QString());
        errorHandler().CallStackPop();
        QVERIFY(!errorHandler().TracingEnabled());
        QCOMPARE(dialogs.messages.size(), told + 1);
        QMenu* help = test::openMenuBarMenu(w, QStringLiteral("&Help"));
        QVERIFY(help != nullptr);
        QAction* tracing = nullptr;
        for (QAction* a : help->actions())
            tracing = a->text() == QLatin1String("&Enable tracing") ? a : tracing;
        QVERIFY(tracing != nullptr && !tracing->isChecked());
        errorHandler().setTracingLogFile(traceFolder.filePath(QStringLiteral("trace.txt")));
        QVERIFY(test::clickMenuItem(help, QStringLiteral("&Enable tracing")));
        QTRY_VERIFY(errorHandler().TracingEnabled());
        QVERIFY(ui::m_cMenu(w)->ItemChecked(n));
    }

    void editMenuFollowsFocusSelectionAndClipboard()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_files.stg});
        frmStrategies* w = run.window();
        QTextEdit* box = ui::rtfDescription(w);
        box->setPlainText(QStringLiteral("Buy the call, sell the higher call."));

        // Focus elsewhere: only "Create formatted text" is available.
        putOnClipboard(QStringLiteral("rich"), true);
        QVERIFY(test::focusOn(ui::txtInetrestRate(w)));
        EditState s = openEditMenu(w);
        QVERIFY(!s.cut && !s.copy && !s.paste);
        QVERIFY(ui::m_cMenu(w)->ItemEnabled(item(ui::m_cMenu(w), "mnuEditStrategyHelp")));

        // The description box without a selection: Paste with rich text on
        // the clipboard only.
        QVERIFY(test::focusOn(box));
        QTextCursor c = box->textCursor();
        c.clearSelection();
        box->setTextCursor(c);
        s = openEditMenu(w);
        QVERIFY(!s.cut && !s.copy && s.paste);
        putOnClipboard(QStringLiteral("plain"), false);
        s = openEditMenu(w);
        QVERIFY(!s.cut && !s.copy && !s.paste);
        QApplication::clipboard()->clear();
        s = openEditMenu(w);
        QVERIFY(!s.cut && !s.copy && !s.paste);

        // With a selection: Cut and Copy.
        selectAllOf(box);
        s = openEditMenu(w);
        QVERIFY(s.cut && s.copy && !s.paste);
        putOnClipboard(QStringLiteral("rich"), true);
        s = openEditMenu(w);
        QVERIFY(s.cut && s.copy && s.paste);
        QVERIFY(ui::m_cMenu(w)->ItemEnabled(item(ui::m_cMenu(w), "mnuEditStrategyHelp")));

        // Opening another menu leaves the Edit states alone.
        QVERIFY(test::focusOn(ui::txtInetrestRate(w)));
        emit ui::m_cMenu(w)->InitPopupMenu(item(ui::m_cMenu(w), "mnuFileTOP"));
        QVERIFY(ui::m_cMenu(w)->ItemEnabled(item(ui::m_cMenu(w), "mnuEditCut")));
        QVERIFY(ui::m_cMenu(w)->ItemEnabled(item(ui::m_cMenu(w), "mnuEditPaste")));

        // The pure rule agrees with what the window shows.
        for (int bits = 0; bits < 8; ++bits) {
            const bool focused = bits & 1, selection = bits & 2, rich = bits & 4;
            const EditStates e = editMenuStates(focused, selection, rich);
            QCOMPARE(e.cut, focused && selection);
            QCOMPARE(e.copy, focused && selection);
            QCOMPARE(e.paste, focused && rich);
        }
    }

    void editCommandsWorkOnTheDescriptionOnly()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({"-S", m_files.stg});
        frmStrategies* w = run.window();
        QTextEdit* box = ui::rtfDescription(w);
        box->setPlainText(QStringLiteral("Spread"));
        w->session().setStrategiesChanged(false);

        // Focus on a plain box: Copy and Cut leave the clipboard as it was
        // and change nothing; Paste does not paste into the plain box.
        QApplication::clipboard()->setText(QStringLiteral("keep me"));
        QVERIFY(test::focusOn(ui::txtInetrestRate(w)));
        ui::txtInetrestRate(w)->setText(QStringLiteral("5"));
        ui::txtInetrestRate(w)->selectAll();
        clickMenu(w, "mnuEditCopy");
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("keep me"));
        clickMenu(w, "mnuEditCut");
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("keep me"));
        QCOMPARE(ui::txtInetrestRate(w)->text(), QStringLiteral("5"));
        clickMenu(w, "mnuEditPaste");
        QCOMPARE(ui::txtInetrestRate(w)->text(), QStringLiteral("5"));
        QVERIFY(!w->session().strategiesChanged());

        // Copy from the description: rich text on the clipboard, nothing
        // marked as changed.
        QVERIFY(test::focusOn(box));
        selectAllOf(box);
        clickMenu(w, "mnuEditCopy");
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Spread"));
        QVERIFY(QApplication::clipboard()->mimeData()->hasHtml());
        QVERIFY(!w->session().strategiesChanged());

        // Copy and Cut without a selection leave the clipboard alone.
        QApplication::clipboard()->setText(QStringLiteral("keep me"));
        QTextCursor c = box->textCursor();
        c.clearSelection();
        box->setTextCursor(c);
        clickMenu(w, "mnuEditCopy");
        clickMenu(w, "mnuEditCut");
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("keep me"));
        QCOMPARE(box->toPlainText(), QStringLiteral("Spread"));
        QVERIFY(!w->session().strategiesChanged());

        // Cut moves the selection to the clipboard and marks the change.
        selectAllOf(box);
        clickMenu(w, "mnuEditCut");
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Spread"));
        QVERIFY(box->toPlainText().isEmpty());
        QVERIFY(w->session().strategiesChanged());

        // Paste puts it back and marks the change.
        w->session().setStrategiesChanged(false);
        clickMenu(w, "mnuEditPaste");
        QCOMPARE(box->toPlainText(), QStringLiteral("Spread"));
        QVERIFY(w->session().strategiesChanged());
        QVERIFY(dialogs.errorReports.isEmpty());
    }
};

TW_QTEST_MAIN(MainMenuTest)

#include "MainMenuTest.moc"
