#pragma once
// The menu object behind the main window's menu bar and every context menu:
// an ordered list of items numbered from 1, each with a caption ("&" marks
// the access letter), help text, item data, parent item number (0 for the
// top level; the items under one parent form its submenu), icon index into
// the menu's image list (-1 none), check mark, enabled and visible states and
// a key. A caption "-" is a plain separator; "-Heading" is a separator that
// shows "Heading" as a title.
//
// Item numbers are positions: inserting an item before another moves the
// numbers of the items after it up by one, removing items moves them down;
// parent links follow the items they point to.
//
// Menus are shown without blocking (the pick arrives later as Click). Just
// before a submenu opens, InitPopupMenu gives its parent item's number so
// the owner can still change its items. The same object can drive a menu bar:
// its top-level items become the bar's titles and their sub-items the menus,
// kept in step with every later change.

#include <QIcon>
#include <QList>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <vector>

class QAction;
class QWidget;

namespace tw::platform {

class PopupMenu : public QObject {
    Q_OBJECT
public:
    explicit PopupMenu(QObject* parent = nullptr);
    ~PopupMenu() override;

    // The window the shown menus belong to; show positions are in twips of
    // its client area.
    QWidget* OwnerWindow() const { return m_owner; }
    void setOwnerWindow(QWidget* owner);
    // The pictures the icon indexes select (index 0 is the first).
    const QList<QIcon>& ImageList() const { return m_icons; }
    void setImageList(const QList<QIcon>& icons);

    void ClearItems();
    // Appends an item under `parentIndex` (0: top level); returns its number.
    int AddItem(const QString& caption, const QString& helpText = {}, int itemData = 0, int parentIndex = 0,
                int iconIndex = -1, bool checked = false, bool enabled = true, const QString& key = {});
    // Inserts an item before the first item with the key `keyBefore`, in the
    // same level; returns its number.
    int InsertItem(const QString& caption, const QString& keyBefore, const QString& helpText = {}, int itemData = 0,
                   int iconIndex = -1, bool checked = false, bool enabled = true, const QString& key = {});
    // Removes the first item with that key and everything below it; nothing
    // happens when no item has the key.
    void RemoveItem(const QString& key);

    int Count() const { return static_cast<int>(m_items.size()); }
    // The number of the first item with that key (compared exactly); 0 when
    // there is none.
    int IndexOfKey(const QString& key) const;
    QString KeyOfItem(int item) const;

    // Item properties by number (a number that does not exist raises).
    QString ItemCaption(int item) const;
    void setItemCaption(int item, const QString& caption);
    QString ItemHelpText(int item) const;
    void setItemHelpText(int item, const QString& helpText);
    int ItemData(int item) const;
    void setItemData(int item, int data);
    int ItemParentIndex(int item) const;
    int ItemIcon(int item) const;
    void setItemIcon(int item, int iconIndex);
    bool ItemChecked(int item) const;
    void setItemChecked(int item, bool checked);
    bool ItemEnabled(int item) const;
    void setItemEnabled(int item, bool enabled);
    bool ItemVisible(int item) const;
    void setItemVisible(int item, bool visible);
    bool ItemIsSeparator(int item) const;

    // Shows the top-level items at (x, y), twips in the owner's client area.
    void ShowAt(int x, int y);
    // Shows the level that holds `item` (its parent's submenu) at (x, y).
    void ShowSubmenuAt(int x, int y, int item);
    // The same at a point of the screen, in pixels.
    void ShowAtScreen(const QPoint& globalPos, int levelOfItem = 0);

    // Drives `bar` from the top-level items (the bar's own actions are
    // removed first) and keeps it in step with later changes.
    void FillMenuBar(QMenuBar* bar);
    QMenuBar* MenuBar() const { return m_bar; }

    // The menu shown by the last ShowAt/ShowSubmenuAt while it is open.
    QMenu* ActivePopup() const;

signals:
    void Click(int itemNumber);
    void InitPopupMenu(int parentItemNumber);

private:
    struct Item {
        quint64 id = 0;
        quint64 parent = 0; // id of the parent item, 0 for the top level
        QString caption;
        QString helpText;
        QString key;
        int data = 0;
        int icon = -1;
        bool checked = false;
        bool enabled = true;
        bool visible = true;
    };

    const Item& itemAt(int number) const;
    Item& itemAt(int number);
    int numberOfId(quint64 id) const;
    bool hasVisibleChildren(quint64 id) const;
    QIcon iconOf(const Item& item) const;
    QPoint globalFromTwips(int x, int y) const;

    void populate(QMenu* menu, quint64 parentId);
    QMenu* makeSubmenu(quint64 parentId, QWidget* parentWidget);
    void triggered(quint64 id);
    void syncMenuBar();
    void dropMenuBarActions();

    std::vector<Item> m_items;
    quint64 m_nextId = 1;
    QPointer<QWidget> m_owner;
    QList<QIcon> m_icons;
    QPointer<QMenuBar> m_bar;
    QMap<quint64, QAction*> m_barActions;
    // The popup shown last. It stays (hidden) after it closes and goes when
    // the next one is shown: a handler of its click may run an event loop
    // of its own (a question), and the menu must outlive that click.
    QPointer<QMenu> m_popup;
    // Popups replaced while a click was being handled, deleted once it is.
    QList<QPointer<QMenu>> m_retired;
    int m_dispatching = 0;
};

} // namespace tw::platform
