#pragma once
// The items of the main window's menus and toolbar, and the rules that do not
// need a window: which command a toolbar key runs, and when the Edit commands
// are enabled.

#include <QList>
#include <QString>
#include <QStringList>

namespace tw {

struct MenuEntry {
    QString caption;
    QString key;
    int icon = -1;
    // 0 a title of the menu bar (or a top-level item of a context menu),
    // 1 an item under the last title, 2 an item under the last level-1 item.
    int level = 0;
};

// The menu bar: titles "&File", "&Edit", "&Windows", "&Help" and their items.
const QList<MenuEntry>& mainMenuEntries();
const QList<MenuEntry>& strategiesMenuEntries();
const QList<MenuEntry>& optionsMenuEntries();
const QList<MenuEntry>& paramsMenuEntries();
// The window list as it starts (rebuilt before every showing).
const QList<MenuEntry>& chartListEntries();

struct ToolbarEntry {
    QString toolTip;
    int image = -1;
    int style = 16;
    QString key;
};
const QList<ToolbarEntry>& toolbarEntries();

enum class ToolbarCommand { None, NewChart, Chart3D, LoadOptions, SaveOptions, LoadStrategies, SaveStrategies, Help, Exit };
// The command of a toolbar button key (compared exactly).
ToolbarCommand toolbarCommand(const QString& key);


// The public web sites of the Resources submenu.
inline const char* const LinkOptionsExchange = "https://www.cboe.com/";
inline const char* const LinkDerivativesExchange = "https://www.ice.com/";
inline const char* const LinkFinancePortal = "https://finance.yahoo.com/";

// The key prefix of the Windows-menu and window-list items of chart windows.
inline const char* const ChartWindowKeyPrefix = "mnuChartWindow";

// The captions of the 2-D chart windows' entries in the Windows menu and the
// window list, from the windows' captions in the order the windows were
// opened: each caption with an "&" in it shown as itself (not as an access
// letter); a caption that two or more windows share is followed by " (n)",
// n counting those windows from 1 in that order, so they can be told apart.
QStringList chartEntryCaptions(const QStringList& captions);

} // namespace tw
