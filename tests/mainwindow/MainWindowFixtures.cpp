#include "support/MainWindowControls.h"
#include "MainWindowFixtures.h"

#include "app/CAppSettings.h"
#include "app/Tools.h"
#include "charts/frmChart.h"
#include "mainwindow/frmStrategies.h"
#include "marketdata/QuoteTable.h"
#include "model/StrategiesFile.h"
#include "model/StrategyTemplates.h"

#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QTest>
#include <QToolButton>

namespace tw::test {

namespace {
const QString kSettings = QStringLiteral("Settings");
}

QString writeSampleStrategies(const QString& folder, const QString& name)
{
    StrategyTypeCollection types;
    auto spreads = types.Add(QStringLiteral("Spreads"), QString());
    auto bull = spreads->Strategies()->Add(QStringLiteral("Bull call"), QString());
    bull->Params()->Add(LegKind::Call, LegPosition::Long, 0, 1, 1);
    bull->Params()->Add(LegKind::Call, LegPosition::Short, 1, 1, 1);
    auto bear = spreads->Strategies()->Add(QStringLiteral("Bear put"), QString());
    bear->Params()->Add(LegKind::Put, LegPosition::Long, 0, 1, 1);
    bear->Params()->Add(LegKind::Put, LegPosition::Short, -1, 1, 1);
    auto singles = types.Add(QStringLiteral("Singles"), QString());
    singles->Strategies()->Add(QStringLiteral("Long call"), QString())->Params()->Add(LegKind::Call, LegPosition::Long,
                                                                                     0, 1, 1);
    const QString path = QDir(folder).filePath(name);
    writeStrategiesFile(types, path);
    return path;
}

QString writeSampleChain(const QString& folder, const QString& name)
{
    const QStringList lines{
        QStringLiteral("MSFT (MICROSOFT CP),27.98,+0.09,"),
        QStringLiteral("Jan 27 2004 @ 10:02 ET (Data 15 Minutes Delayed),Bid,27.97,Ask,27.98,Size,10x28,Vol,17186600,"),
        QStringLiteral("Calls,Last Sale,Net,Bid,Ask,Vol,Open Int,Puts,Last Sale,Net,Bid,Ask,Vol,Open Int,"),
        QStringLiteral("04 Feb 25.00 (MQF BE-E),3.10,pc,3.00,3.20,10,500,"
                       "04 Feb 25.00 (MQF NE-E),0.05,pc,0.00,0.10,0,900,"),
        QStringLiteral("04 Feb 27.50 (MQF BY-E),0.70,pc,0.65,0.75,20,800,"
                       "04 Feb 27.50 (MQF NY-E),0.20,pc,0.15,0.25,5,700,"),
        QStringLiteral("04 Feb 30.00 (MQF BF-E),0.05,pc,0.00,0.10,0,300,"
                       "04 Feb 30.00 (MQF NF-E),2.05,pc,1.95,2.15,0,100,"),
    };
    const QString path = QDir(folder).filePath(name);
    marketdata::writeOptionChainFile(path, lines);
    return path;
}

bool SampleFiles::write()
{
    if (!dir.isValid())
        return false;
    stg = writeSampleStrategies(dir.path());
    opt = writeSampleChain(dir.path());
    return true;
}

void storeSetting(const QString& key, const QVariant& value)
{
    appSettings().SaveSetting(kSettings, key, value);
}

QString storedText(const QString& key, const QString& fallback)
{
    return settingText(appSettings(), kSettings, key, fallback);
}

int storedInt(const QString& key, int fallback)
{
    return settingInt(appSettings(), kSettings, key, fallback);
}

double storedDouble(const QString& key, double fallback)
{
    return settingDouble(appSettings(), kSettings, key, fallback);
}

void storeQuietStart()
{
    storeSetting(QStringLiteral("CCCount"), 0);
    storeSetting(QStringLiteral("3dChartVisible"), false);
}

QList<frmChart*> visibleChartWindows()
{
    QList<frmChart*> charts;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* c = qobject_cast<frmChart*>(w); c != nullptr && c->isVisible())
            charts.append(c);
    }
    return charts;
}

QStringList chartKeys(const frmStrategies* window)
{
    QStringList keys;
    for (const auto& entry : window->openCharts())
        keys.append(entry.first);
    return keys;
}

bool focusOn(QWidget* widget)
{
    QWidget* top = widget->window();
    top->activateWindow();
    if (!QTest::qWaitForWindowActive(top))
        return false;
    widget->setFocus(Qt::OtherFocusReason);
    const bool ok = QTest::qWaitFor([widget] { return QApplication::focusWidget() == widget; }, 2000);
    if (!ok)
        qWarning() << "focus on" << widget->objectName() << "visible" << widget->isVisible() << "enabled"
                   << widget->isEnabled() << "policy" << widget->focusPolicy() << "focus is"
                   << QApplication::focusWidget();
    return ok;
}

QList<QWidget*> bottomPaneControls(frmStrategies* w)
{
    QList<QWidget*> controls;
    const QSet<QWidget*> containers{ui::fraStock(w),  ui::picHolder(w), ui::picStockParams(w), ui::tabOptionsNew(w),
                                    ui::gdCalls(w), ui::gdPuts(w)};
    for (QWidget* c : ui::fraExchange(w)->findChildren<QWidget*>()) {
        if (c->objectName().isEmpty() || containers.contains(c) || qobject_cast<WorkspacePane*>(c) != nullptr
            || !c->isVisibleTo(w) || c->width() <= 0 || c->height() <= 0)
            continue;
        // Only the program's own controls, not the insides of a composite one.
        QWidget* p = c->parentWidget();
        if (p != ui::fraExchange(w) && p != ui::fraStock(w) && p != ui::picHolder(w) && p != ui::picStockParams(w)
            && qobject_cast<WorkspacePane*>(p) == nullptr)
            continue;
        controls.append(c);
    }
    return controls;
}

QMenu* openMenuBarMenu(frmStrategies* window, const QString& title)
{
    QMenuBar* bar = ui::tbrMenu(window);
    for (QAction* a : bar->actions()) {
        if (a->menu() == nullptr || a->text() != title)
            continue;
        QMenu* menu = a->menu();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(a).center());
        return QTest::qWaitFor([menu] { return menu->isVisible(); }, 2000) ? menu : nullptr;
    }
    return nullptr;
}

bool chooseFromMenuBar(frmStrategies* window, const QString& title, const QString& item)
{
    QMenu* menu = openMenuBarMenu(window, title);
    return menu != nullptr && clickMenuItem(menu, item);
}

bool clickMenuItem(QMenu* menu, const QString& item)
{
    for (QAction* a : menu->actions()) {
        if (a->text() != item || !a->isVisible() || !a->isEnabled())
            continue;
        const QPoint at = menu->actionGeometry(a).center();
        QTest::mouseMove(menu, at);
        QTest::mouseClick(menu, Qt::LeftButton, {}, at);
        return true;
    }
    menu->close();
    return false;
}

bool clickToolbarButton(frmStrategies* window, const QString& key)
{
    const int b = ui::tbrTools(window)->ButtonIndex(key);
    QToolButton* button = b > 0 ? ui::tbrTools(window)->ButtonWidget(b) : nullptr;
    if (button == nullptr)
        return false;
    QTest::mouseClick(button, Qt::LeftButton);
    return true;
}

} // namespace tw::test
