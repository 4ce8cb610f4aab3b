#pragma once
// Files and settings for the suites that start the main window: a small
// strategies library and a small option chain written into a temporary
// folder, the stored settings the start-up reads, and helpers to reach the
// program's other top-level windows.

#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

class QMenu;
class QWidget;

namespace tw {
class frmChart;
class frmStrategies;
} // namespace tw

namespace tw::test {

// A strategies file with two groups: "Spreads" (T1) with "Bull call" (T1S1,
// two call legs) and "Bear put" (T1S2, two put legs), and "Singles" (T2)
// with "Long call" (T2S1, one leg).
QString writeSampleStrategies(const QString& folder, const QString& name = QStringLiteral("sample.stg"));
// A one-expiration option chain for "MSFT" quoted on 27 January 2004.
QString writeSampleChain(const QString& folder, const QString& name = QStringLiteral("sample.opt"));

// Both files above in a temporary folder of their own, removed with the
// object: a suite keeps one for all its tests and writes it first.
struct SampleFiles {
    QTemporaryDir dir;
    QString stg; // the strategies file
    QString opt; // the option chain
    // Writes both files; false when the folder could not be made.
    bool write();
};

// Section "Settings" of the program's settings.
void storeSetting(const QString& key, const QVariant& value);
QString storedText(const QString& key, const QString& fallback = {});
int storedInt(const QString& key, int fallback);
double storedDouble(const QString& key, double fallback);

// A start that opens no chart windows and keeps the 3-D window hidden, so
// a suite starts from a known, quiet set of windows.
void storeQuietStart();

// The visible top-level 2-D chart windows.
QList<frmChart*> visibleChartWindows();
// The keys of the open chart windows in the main window's order.
QStringList chartKeys(const frmStrategies* window);
// Gives `widget` the keyboard focus inside its active window.
bool focusOn(QWidget* widget);

// The named, visible controls of the bottom pane (fraExchange), containers
// (the stock page, the holder of the price-source buttons, the pricing
// boxes' page, the tab strip, the chain grids' frames) and the insides of
// composite controls left out.
QList<QWidget*> bottomPaneControls(frmStrategies* window);

// Opens the menu `title` ("&Help") of the main window's menu bar with a
// click on its title, as the user does; nullptr when there is no such menu
// or it did not open.
QMenu* openMenuBarMenu(frmStrategies* window, const QString& title);
// Opens the menu `title` so and chooses its item `item` ("&Contents") with
// a click on it; false when the item is not there, not shown or disabled.
bool chooseFromMenuBar(frmStrategies* window, const QString& title, const QString& item);
// Clicks the item `item` of a shown menu; false (and the menu closed) when
// the item is not there, not shown or disabled.
bool clickMenuItem(QMenu* menu, const QString& item);
// Clicks the toolbar button with that key ("savestrategies") with the
// mouse; false when there is no such button.
bool clickToolbarButton(frmStrategies* window, const QString& key);

} // namespace tw::test
