#include "platform/PopupMenu.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QWidgetAction>
#include <algorithm>
#include <stdexcept>

namespace tw::platform {

namespace {

// The title of a titled separator: a band with the heading in bold.
class MenuHeading : public QWidget {
public:
    MenuHeading(const QString& text, QWidget* parent) : QWidget(parent), m_text(text)
    {
        QFont f = font();
        f.setBold(true);
        setFont(f);
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

    QSize sizeHint() const override
    {
        const QFontMetrics fm(font());
        return QSize(fm.horizontalAdvance(m_text) + 24, fm.height() + 6);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        // Drawn in the active colours also while the action is disabled (it
        // is, so that the keyboard passes over it).
        const QColor window = palette().color(QPalette::Active, QPalette::Window);
        const QColor highlight = palette().color(QPalette::Active, QPalette::Highlight);
        QColor band;
        band.setRgbF(window.redF() * 0.8f + highlight.redF() * 0.2f, window.greenF() * 0.8f + highlight.greenF() * 0.2f,
                     window.blueF() * 0.8f + highlight.blueF() * 0.2f);
        const QRect r = rect().adjusted(1, 1, -1, -2);
        p.fillRect(r, band);
        p.setPen(highlight);
        p.drawLine(r.left(), r.bottom() + 1, r.right(), r.bottom() + 1);
        p.setPen(palette().color(QPalette::Active, QPalette::WindowText));
        p.drawText(r.adjusted(8, 0, -4, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_text);
    }

private:
    QString m_text;
};

// "&" marks an access letter in captions; a heading shows the text plainly.
QString plainCaption(const QString& caption)
{
    QString out;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == QLatin1Char('&') && i + 1 < caption.size()) {
            ++i;
            out += caption.at(i);
        } else if (caption.at(i) != QLatin1Char('&')) {
            out += caption.at(i);
        }
    }
    return out;
}

bool isSeparatorCaption(const QString& caption) { return caption.startsWith(QLatin1Char('-')); }

[[noreturn]] void raiseNoItem(int number)
{
    throw std::out_of_range(QStringLiteral("PopupMenu: item %1 does not exist").arg(number).toStdString());
}

} // namespace

PopupMenu::PopupMenu(QObject* parent) : QObject(parent) {}

PopupMenu::~PopupMenu()
{
    // Destroyed from a handler of its own click, the menus it showed are
    // still in use: they go once that click is over.
    m_retired.append(m_popup);
    for (const QPointer<QMenu>& m : std::as_const(m_retired)) {
        if (m && m_dispatching > 0)
            m->deleteLater();
        else
            delete m.data();
    }
    for (QAction* a : std::as_const(m_barActions)) {
        delete a->menu();
        delete a;
    }
}

void PopupMenu::setOwnerWindow(QWidget* owner) { m_owner = owner; }

void PopupMenu::setImageList(const QList<QIcon>& icons)
{
    m_icons = icons;
    syncMenuBar();
}

// ---------------------------------------------------------------------------
// Items

const PopupMenu::Item& PopupMenu::itemAt(int number) const
{
    if (number < 1 || number > Count())
        raiseNoItem(number);
    return m_items[static_cast<std::size_t>(number - 1)];
}

PopupMenu::Item& PopupMenu::itemAt(int number)
{
    if (number < 1 || number > Count())
        raiseNoItem(number);
    return m_items[static_cast<std::size_t>(number - 1)];
}

int PopupMenu::numberOfId(quint64 id) const
{
    for (std::size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].id == id)
            return static_cast<int>(i) + 1;
    return 0;
}

bool PopupMenu::hasVisibleChildren(quint64 id) const
{
    for (const Item& it : m_items)
        if (it.parent == id && it.visible)
            return true;
    return false;
}

QIcon PopupMenu::iconOf(const Item& item) const
{
    if (item.icon >= 0 && item.icon < m_icons.size())
        return m_icons.at(item.icon);
    return {};
}

void PopupMenu::ClearItems()
{
    m_items.clear();
    syncMenuBar();
}

int PopupMenu::AddItem(const QString& caption, const QString& helpText, int itemData, int parentIndex, int iconIndex,
                       bool checked, bool enabled, const QString& key)
{
    Item it;
    it.id = m_nextId++;
    it.parent = parentIndex == 0 ? 0 : itemAt(parentIndex).id;
    it.caption = caption;
    it.helpText = helpText;
    it.key = key;
    it.data = itemData;
    it.icon = iconIndex;
    it.checked = checked;
    it.enabled = enabled;
    m_items.push_back(it);
    syncMenuBar();
    return Count();
}

int PopupMenu::InsertItem(const QString& caption, const QString& keyBefore, const QString& helpText, int itemData,
                          int iconIndex, bool checked, bool enabled, const QString& key)
{
    const int before = IndexOfKey(keyBefore);
    if (before == 0)
        throw std::invalid_argument(
            QStringLiteral("PopupMenu: no item with the key \"%1\"").arg(keyBefore).toStdString());
    Item it;
    it.id = m_nextId++;
    it.parent = m_items[static_cast<std::size_t>(before - 1)].parent;
    it.caption = caption;
    it.helpText = helpText;
    it.key = key;
    it.data = itemData;
    it.icon = iconIndex;
    it.checked = checked;
    it.enabled = enabled;
    m_items.insert(m_items.begin() + (before - 1), it);
    syncMenuBar();
    return before;
}

void PopupMenu::RemoveItem(const QString& key)
{
    const int number = IndexOfKey(key);
    if (number == 0)
        return;
    // The item and every item below it, at any depth.
    QList<quint64> doomed{m_items[static_cast<std::size_t>(number - 1)].id};
    for (qsizetype i = 0; i < doomed.size(); ++i)
        for (const Item& it : m_items)
            if (it.parent == doomed.at(i))
                doomed << it.id;
    std::erase_if(m_items, [&](const Item& it) { return doomed.contains(it.id); });
    syncMenuBar();
}

int PopupMenu::IndexOfKey(const QString& key) const
{
    for (std::size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].key == key)
            return static_cast<int>(i) + 1;
    return 0;
}

QString PopupMenu::KeyOfItem(int item) const { return itemAt(item).key; }

QString PopupMenu::ItemCaption(int item) const { return itemAt(item).caption; }

void PopupMenu::setItemCaption(int item, const QString& caption)
{
    itemAt(item).caption = caption;
    syncMenuBar();
}

QString PopupMenu::ItemHelpText(int item) const { return itemAt(item).helpText; }

void PopupMenu::setItemHelpText(int item, const QString& helpText)
{
    itemAt(item).helpText = helpText;
    syncMenuBar();
}

int PopupMenu::ItemData(int item) const { return itemAt(item).data; }

void PopupMenu::setItemData(int item, int data) { itemAt(item).data = data; }

int PopupMenu::ItemParentIndex(int item) const
{
    const quint64 parent = itemAt(item).parent;
    return parent == 0 ? 0 : numberOfId(parent);
}

int PopupMenu::ItemIcon(int item) const { return itemAt(item).icon; }

void PopupMenu::setItemIcon(int item, int iconIndex)
{
    itemAt(item).icon = iconIndex;
    syncMenuBar();
}

bool PopupMenu::ItemChecked(int item) const { return itemAt(item).checked; }

void PopupMenu::setItemChecked(int item, bool checked)
{
    itemAt(item).checked = checked;
    syncMenuBar();
}

bool PopupMenu::ItemEnabled(int item) const { return itemAt(item).enabled; }

void PopupMenu::setItemEnabled(int item, bool enabled)
{
    itemAt(item).enabled = enabled;
    syncMenuBar();
}

bool PopupMenu::ItemVisible(int item) const { return itemAt(item).visible; }

void PopupMenu::setItemVisible(int item, bool visible)
{
    itemAt(item).visible = visible;
    syncMenuBar();
}

bool PopupMenu::ItemIsSeparator(int item) const { return isSeparatorCaption(itemAt(item).caption); }

// ---------------------------------------------------------------------------
// Showing

void PopupMenu::populate(QMenu* menu, quint64 parentId)
{
    const QList<QMenu*> oldSubmenus = menu->findChildren<QMenu*>(Qt::FindDirectChildrenOnly);
    menu->clear();
    for (QMenu* m : oldSubmenus)
        m->deleteLater();

    // Copies: a handler may change the items while the menu is built.
    const std::vector<Item> items = m_items;
    for (const Item& it : items) {
        if (it.parent != parentId || !it.visible)
            continue;
        if (isSeparatorCaption(it.caption)) {
            const QString title = plainCaption(it.caption.mid(1));
            if (title.trimmed().isEmpty()) {
                menu->addSeparator()->setData(it.id);
                continue;
            }
            auto* heading = new QWidgetAction(menu);
            heading->setDefaultWidget(new MenuHeading(title, menu));
            heading->setText(title);
            heading->setData(it.id);
            heading->setEnabled(false);
            menu->addAction(heading);
            continue;
        }
        if (hasVisibleChildren(it.id)) {
            QMenu* sub = makeSubmenu(it.id, menu);
            QAction* a = sub->menuAction();
            a->setText(it.caption);
            a->setIcon(iconOf(it));
            a->setEnabled(it.enabled);
            a->setStatusTip(it.helpText);
            a->setData(it.id);
            menu->addAction(a);
            continue;
        }
        QAction* a = menu->addAction(iconOf(it), it.caption);
        a->setEnabled(it.enabled);
        a->setStatusTip(it.helpText);
        a->setCheckable(it.checked);
        a->setChecked(it.checked);
        a->setData(it.id);
        const quint64 id = it.id;
        connect(a, &QAction::triggered, this, [this, id] { triggered(id); });
    }
}

QMenu* PopupMenu::makeSubmenu(quint64 parentId, QWidget* parentWidget)
{
    auto* sub = new QMenu(parentWidget);
    if (parentWidget == nullptr && m_bar)
        sub->setFont(m_bar->font());
    connect(sub, &QMenu::aboutToShow, this, [this, sub, parentId] {
        const int number = numberOfId(parentId);
        if (number == 0) {
            sub->clear();
            return;
        }
        emit InitPopupMenu(number);
        populate(sub, parentId);
    });
    return sub;
}

void PopupMenu::triggered(quint64 id)
{
    const int number = numberOfId(id);
    if (number <= 0)
        return;
    const QPointer<PopupMenu> self(this);
    ++m_dispatching;
    emit Click(number);
    if (!self)
        return;
    if (--m_dispatching == 0) {
        for (const QPointer<QMenu>& m : std::as_const(m_retired)) {
            if (m)
                m->deleteLater();
        }
        m_retired.clear();
    }
}

QPoint PopupMenu::globalFromTwips(int x, int y) const
{
    double dpiX = 96.0;
    double dpiY = 96.0;
    if (m_owner) {
        dpiX = m_owner->logicalDpiX();
        dpiY = m_owner->logicalDpiY();
    } else if (QGuiApplication::primaryScreen() != nullptr) {
        dpiX = QGuiApplication::primaryScreen()->logicalDotsPerInchX();
        dpiY = QGuiApplication::primaryScreen()->logicalDotsPerInchY();
    }
    const QPoint px(qRound(x * dpiX / 1440.0), qRound(y * dpiY / 1440.0));
    return m_owner ? m_owner->mapToGlobal(px) : px;
}

void PopupMenu::ShowAt(int x, int y) { ShowAtScreen(globalFromTwips(x, y), 0); }

void PopupMenu::ShowSubmenuAt(int x, int y, int item)
{
    itemAt(item); // must exist
    ShowAtScreen(globalFromTwips(x, y), item);
}

void PopupMenu::ShowAtScreen(const QPoint& globalPos, int levelOfItem)
{
    quint64 parentId = 0;
    if (levelOfItem != 0) {
        parentId = itemAt(levelOfItem).parent;
        if (parentId != 0)
            emit InitPopupMenu(numberOfId(parentId));
    }
    if (m_popup) {
        m_popup->hide();
        if (m_dispatching > 0)
            m_retired.append(m_popup);
        else
            m_popup->deleteLater();
    }
    auto* menu = new QMenu(m_owner);
    populate(menu, parentId);
    m_popup = menu;
    menu->popup(globalPos);
}

QMenu* PopupMenu::ActivePopup() const { return (m_popup && m_popup->isVisible()) ? m_popup.data() : nullptr; }

// ---------------------------------------------------------------------------
// Menu bar

void PopupMenu::FillMenuBar(QMenuBar* bar)
{
    dropMenuBarActions();
    m_bar = bar;
    if (bar == nullptr)
        return;
    bar->clear();
    connect(bar, &QObject::destroyed, this, [this] { dropMenuBarActions(); });
    syncMenuBar();
}

void PopupMenu::dropMenuBarActions()
{
    for (QAction* a : std::as_const(m_barActions)) {
        if (QMenu* m = a->menu())
            m->deleteLater();
        delete a;
    }
    m_barActions.clear();
}

void PopupMenu::syncMenuBar()
{
    if (!m_bar)
        return;
    QList<QAction*> wanted;
    QMap<quint64, QAction*> kept;
    for (const Item& it : m_items) {
        if (it.parent != 0)
            continue;
        QAction* a = m_barActions.value(it.id, nullptr);
        if (a == nullptr) {
            a = new QAction(this);
            const quint64 id = it.id;
            connect(a, &QAction::triggered, this, [this, id] { triggered(id); });
        }
        kept.insert(it.id, a);
        a->setText(it.caption);
        a->setIcon(iconOf(it));
        a->setEnabled(it.enabled);
        a->setStatusTip(it.helpText);
        a->setData(it.id);
        const bool submenu = hasVisibleChildren(it.id);
        if (submenu && a->menu() == nullptr) {
            // Owned here, not by the bar, so that it outlives neither.
            a->setMenu(makeSubmenu(it.id, nullptr));
        } else if (!submenu && a->menu() != nullptr) {
            QMenu* m = a->menu();
            a->setMenu(static_cast<QMenu*>(nullptr));
            m->deleteLater();
        }
        a->setCheckable(!submenu && it.checked);
        a->setChecked(!submenu && it.checked);
        if (it.visible && !isSeparatorCaption(it.caption))
            wanted << a;
    }
    for (auto i = m_barActions.cbegin(); i != m_barActions.cend(); ++i) {
        if (!kept.contains(i.key())) {
            m_bar->removeAction(i.value());
            if (QMenu* m = i.value()->menu())
                m->deleteLater();
            delete i.value();
        }
    }
    m_barActions = kept;
    // Compared item by item: QList's own comparison hands memcmp a null
    // pointer when one of two empty lists has never held anything.
    const QList<QAction*> shown = m_bar->actions();
    if (!std::equal(shown.cbegin(), shown.cend(), wanted.cbegin(), wanted.cend())) {
        for (QAction* a : m_bar->actions())
            m_bar->removeAction(a);
        m_bar->addActions(wanted);
    }
}

} // namespace tw::platform
