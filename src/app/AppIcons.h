#pragma once
// The main window's image list: the pictures of its menu items and toolbar
// buttons, looked up by index (a command has the same index in the menus and
// on the toolbar), and the program's own icon. Every picture is drawn here at
// 16 and 32 pixels, so nothing depends on the desktop's icon theme.

#include <QIcon>
#include <QList>
#include <QPixmap>

class QPainter;

namespace tw {

class AppIcons {
public:
    // The indexes that have a picture.
    enum Index : int {
        None = -1,
        HelpIndex = 5,          // Help > Index
        LinkOptionsExchange = 7,
        LinkResources = 8,      // the Resources submenu
        LoadOptions = 9,        // load an option-chain file
        LoadStrategies = 10,    // load a strategies file
        Save = 12,
        SaveAs = 13,
        Help = 14,              // help contents, help pages
        Copy = 16,
        Cut = 17,
        Paste = 18,
        LinkDerivativesExchange = 19,
        LinkFinancePortal = 20,
        Rename = 23,            // rename, edit
        Delete = 24,
        Add = 25,
        MinimizeAll = 26,
        Exit = 27,
        ShiftUp = 28,           // shift all strikes one step up
        ShiftDown = 29,         // ... one step down
        Chart3D = 31,
        About = 32,
        StrategyGroup = 33,     // a group as the target of "Move to"
        MoveTo = 34,
        Export = 36,
        Import = 37,
        ExportSpreadsheet = 39,
        NewChart = 40,
        ChartWindows = 41,
        MainWindow = 42,
    };

    // Every index with a picture, ascending.
    static const QList<int>& indexes();
    static bool has(int index);

    // The picture of an index at 16 and 32 pixels; a null icon for -1 and for
    // an index without a picture. Needs the application object.
    static QIcon icon(int index);
    // One drawn size of a picture (a null pixmap for an unknown index).
    static QPixmap pixmap(int index, int size);
    // A picture of a window's own, drawn like these in a box of 16 x 16
    // units, at 16 and 32 pixels.
    static QIcon drawnIcon(void (*draw)(QPainter&));

    // The program's window icon, at the usual sizes from 16 to 256 pixels.
    static QIcon programIcon();
    static QPixmap programPixmap(int size);
};

} // namespace tw
