#pragma once
// Starts the main window for a test the way the program starts it (Form_Load
// with the given command-line arguments), and closes it again at the end of
// the test without any question being asked of a real user.

#include <QPoint>
#include <QPointer>
#include <QStringList>

namespace tw {
class frmStrategies;
namespace platform {
class Grid;
}
} // namespace tw

namespace tw::test {

class MainWindowRun {
public:
    // `arguments`: the command line after the program's path (as "-S",
    // "file.stg", "-O", "file.opt").
    explicit MainWindowRun(const QStringList& arguments = {});
    ~MainWindowRun();
    MainWindowRun(const MainWindowRun&) = delete;
    MainWindowRun& operator=(const MainWindowRun&) = delete;

    frmStrategies* window() const { return m_window; }
    frmStrategies* operator->() const { return m_window; }
    // Closes the window as the user's close box would (the exit questions go
    // to the installed dialogs); true when it closed.
    bool close();

private:
    QPointer<frmStrategies> m_window;
};

// The path of a file shipped in data/ (next to the test programs' build).
QString shippedFile(const QString& name);

// The middle of the tree node with that key, its group opened and the node
// scrolled into view, in the tree's viewport; (-1, -1) for no such node or
// one that is not shown.
QPoint treeNodeCentre(frmStrategies* window, const QString& key);
// Clicks the tree node with that key as a user does; true when it is then
// the selected node.
bool clickTreeNode(frmStrategies* window, const QString& key);

// The middle of a grid's cell (row and column from 1), scrolled into view, in
// the grid's viewport.
QPoint gridCellCentre(platform::Grid* grid, int row, int column);
// Right-clicks a cell of one of the main window's grids and picks the popup
// menu's item `caption` as the user does; false when the menu does not show
// or offers no such item.
bool gridPopupCommand(frmStrategies* window, platform::Grid* grid, int row, int column, const QString& caption);

} // namespace tw::test
