#include "support/MainWindowControls.h"
#include "support/MainWindowRun.h"

#include "app/Tools.h"
#include "mainwindow/frmStrategies.h"
#include "platform/Grid.h"
#include "platform/PopupMenu.h"
#include "platform/TreeView.h"

#include <QCoreApplication>
#include <QDir>
#include <QMenu>
#include <QTableView>
#include <QTest>

namespace tw::test {

MainWindowRun::MainWindowRun(const QStringList& arguments)
{
    setProcessArguments(arguments);
    m_window = frmStrategies::load();
}

MainWindowRun::~MainWindowRun()
{
    if (m_window != nullptr) {
        // Nothing counts as unsaved any more, so closing asks no question
        // even when the test ended half-way.
        m_window->session().setDataNotSaved(false);
        m_window->session().setStrategiesChanged(false);
        m_window->close();
        if (m_window != nullptr)
            delete m_window.data();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    setProcessArguments({});
}

bool MainWindowRun::close()
{
    if (m_window == nullptr)
        return true;
    const bool closed = m_window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return closed;
}

QString shippedFile(const QString& name)
{
    return QDir(programFolder()).filePath(name);
}

QPoint treeNodeCentre(frmStrategies* window, const QString& key)
{
    QTreeWidgetItem* node = ui::library(window)->nodeByKey(key);
    if (node == nullptr)
        return {-1, -1};
    if (node->parent() != nullptr)
        node->parent()->setExpanded(true);
    ui::tvStrategies(window)->scrollToItem(node);
    const QRect shown = ui::tvStrategies(window)->visualItemRect(node);
    return shown.isValid() ? shown.center() : QPoint(-1, -1);
}

bool clickTreeNode(frmStrategies* window, const QString& key)
{
    const QPoint at = treeNodeCentre(window, key);
    if (at == QPoint(-1, -1))
        return false;
    QTest::mouseClick(ui::tvStrategies(window)->viewport(), Qt::LeftButton, {}, at);
    return ui::tvStrategies(window)->currentItem() == ui::library(window)->nodeByKey(key);
}

QPoint gridCellCentre(platform::Grid* grid, int row, int column)
{
    grid->EnsureVisible(row, column);
    return grid->view()->viewport()->mapFrom(grid, grid->CellBoundary(row, column).center());
}

bool gridPopupCommand(frmStrategies* window, platform::Grid* grid, int row, int column, const QString& caption)
{
    platform::PopupMenu* menu = (grid == ui::gdCalls(window) || grid == ui::gdPuts(window)) ? ui::m_cOptionsMenu(window)
                                                                                            : ui::m_cParamsMenu(window);
    QTest::mouseClick(grid->view()->viewport(), Qt::RightButton, {}, gridCellCentre(grid, row, column));
    QMenu* shown = menu->ActivePopup();
    if (shown == nullptr || !QTest::qWaitFor([shown] { return shown->isVisible(); }))
        return false;
    for (QAction* a : shown->actions()) {
        if (a->text() == caption) {
            QTest::mouseClick(shown, Qt::LeftButton, {}, shown->actionGeometry(a).center());
            return true;
        }
    }
    shown->close();
    return false;
}

} // namespace tw::test
