// The main window's menu bar, its four context menus and its toolbar, and
// the dispatch of their commands by key.

#include "mainwindow/frmStrategies.h"

#include "app/AppIcons.h"
#include "app/CErrorHandler.h"
#include "app/HelpFile.h"
#include "app/Procedure.h"
#include "app/Tools.h"
#include "app/frmAbout.h"
#include "charts/frm3dChart.h"
#include "charts/frmChart.h"
#include "mainwindow/MenuTables.h"
#include "platform/PopupMenu.h"
#include "platform/Toolbar.h"
#include "platform/WindowGeometry.h"
#include "workspace/ChainPane.h"
#include "workspace/DescriptionPane.h"
#include "workspace/LegsPane.h"
#include "workspace/StrategyLibraryPane.h"


namespace tw {

namespace {

QList<QIcon> imageList()
{
    QList<QIcon> icons;
    for (int i = 0; i <= 42; ++i)
        icons.append(AppIcons::icon(i));
    return icons;
}

} // namespace

void frmStrategies::CreateMainMenu()
{
    Procedure proc("frmStrategies", "CreateMainMenu");
    const QList<QIcon> icons = imageList();
    const auto build = [&](platform::PopupMenu*& menu, const char* name, const QList<MenuEntry>& entries) {
        menu = new platform::PopupMenu(this);
        menu->setObjectName(QLatin1String(name));
        menu->setOwnerWindow(this);
        menu->setImageList(icons);
        menu->ClearItems();
        int title = 0;
        for (const MenuEntry& e : entries) {
            const int parent = e.level == 0 ? 0 : title;
            const int n = menu->AddItem(e.caption, QString(), 0, parent, e.icon, false, true, e.key);
            if (e.level == 0)
                title = n;
        }
    };
    TW_STEP(proc, build(m_cStrategiesMenu, "m_cStrategiesMenu", strategiesMenuEntries()));
    TW_STEP(proc, build(m_cOptionsMenu, "m_cOptionsMenu", optionsMenuEntries()));
    TW_STEP(proc, build(m_cParamsMenu, "m_cParamsMenu", paramsMenuEntries()));
    TW_STEP(proc, build(m_cChartList, "m_cChartList", chartListEntries()));
    TW_STEP(proc, {
        m_cMenu = new platform::PopupMenu(this);
        m_cMenu->setObjectName(QStringLiteral("m_cMenu"));
        m_cMenu->setOwnerWindow(this);
        m_cMenu->setImageList(icons);
        m_cMenu->ClearItems();
        // Titles at the top level; their items below them; "Resources" has
        // a submenu of its own.
        int title = 0;
        int sub = 0;
        for (const MenuEntry& e : mainMenuEntries()) {
            const int parent = e.level == 0 ? 0 : (e.level == 1 ? title : sub);
            const int n = m_cMenu->AddItem(e.caption, QString(), 0, parent, e.icon, false, true, e.key);
            if (e.level == 0)
                title = n;
            else if (e.level == 1)
                sub = n;
        }
        m_cMenu->setItemVisible(m_cMenu->IndexOfKey(QStringLiteral("mnuChartsTOP")), false);
        m_cMenu->setItemChecked(m_cMenu->IndexOfKey(QStringLiteral("mnuHelpTracing")),
                                errorHandler().TracingEnabled());
    });
    TW_STEP(proc, {
        connect(m_cMenu, &platform::PopupMenu::Click, this, [this](int item) { m_cMenu_Click(item); });
        connect(m_cMenu, &platform::PopupMenu::InitPopupMenu, this,
                [this](int parent) { m_cMenu_InitPopupMenu(parent); });
        connect(m_cChartList, &platform::PopupMenu::Click, this, [this](int item) { m_cChartList_Click(item); });
        m_library->setPopupMenu(m_cStrategiesMenu);
        m_legs->setPopupMenu(m_cParamsMenu);
        m_chain->setPopupMenu(m_cOptionsMenu);
    });
}

void frmStrategies::CreateToolBar()
{
    Procedure proc("frmStrategies", "CreateToolBar");
    TW_STEP(proc, {
        tbrTools->setImageList(imageList());
        tbrTools->setIconSize(16);
    });
    TW_STEP(proc, {
        for (const ToolbarEntry& b : toolbarEntries())
            tbrTools->AddButton(b.toolTip, b.image, b.key, b.style);
    });
    TW_STEP(proc, {
        connect(tbrTools, &platform::Toolbar::ButtonClick, this, [this](int b) { tbrTools_ButtonClick(b); });
        connect(tbrTools, &platform::Toolbar::DropDownPress, this, [this](int b) { tbrTools_DropDownPress(b); });
    });
}

void frmStrategies::m_cMenu_Click(int itemNumber)
{
    Procedure proc("frmStrategies", "m_cMenu_Click");
    QString key;
    TW_STEP(proc, key = m_cMenu->KeyOfItem(itemNumber));
    const auto is = [&key](const char* k) { return key == QLatin1String(k); };
    if (is("mnuFileLoadOptions")) {
        TW_STEP(proc, m_chain->LoadOptionDialog());
    } else if (is("mnuFileSaveOptions")) {
        TW_STEP(proc, m_chain->SaveOptionDialog());
    } else if (is("mnuFileLoadStrategies")) {
        TW_STEP(proc, m_library->LoadStrategies());
    } else if (is("mnuFileSaveStrategies")) {
        TW_STEP(proc, m_library->SaveStrategies());
    } else if (is("mnuFileSaveStrategiesAs")) {
        TW_STEP(proc, m_library->SaveStrategiesAs());
    } else if (is("mnuFileExit")) {
        TW_STEP(proc, QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection));
    } else if (is("mnuEditCopy")) {
        TW_STEP(proc, m_description->Copy());
    } else if (is("mnuEditCut")) {
        TW_STEP(proc, m_description->Cut());
    } else if (is("mnuEditPaste")) {
        TW_STEP(proc, m_description->Paste());
    } else if (is("mnuEditStrategyHelp")) {
        TW_STEP(proc, ShowHelpTopic(QLatin1String(HelpTopic::FormattedText), HelpCommand::Contents));
    } else if (is("mnuWindowsNewChart")) {
        TW_STEP(proc, AddNewCustomChart(0));
    } else if (is("mnuWindowsStrategy3DProfile")) {
        TW_STEP(proc, Select3DChart());
    } else if (is("mnuWindowsMinimizeAll")) {
        TW_STEP(proc, platform::setWindowStateCode(frm3dChart::instance(), platform::StateMinimized));
        TW_STEP(proc, platform::setWindowStateCode(this, platform::StateMinimized));
        TW_STEP(proc, {
            for (const auto& entry : std::as_const(m_Charts)) {
                if (entry.second != nullptr)
                    platform::setWindowStateCode(entry.second, platform::StateMinimized);
            }
        });
    } else if (is("mnuHelpContents")) {
        TW_STEP(proc, ShowHelpTopic(QLatin1String(HelpTopic::Contents), HelpCommand::Contents));
    } else if (is("mnuHelpIndex")) {
        TW_STEP(proc, ShowHelpTopic(QLatin1String(HelpTopic::Contents), HelpCommand::Index));
    } else if (is("mnuHelpAbout")) {
        TW_STEP(proc, frmAbout::display(this));
    } else if (is("mnuLinkCBOE")) {
        TW_STEP(proc, OpenURL(QLatin1String(LinkOptionsExchange)));
    } else if (is("mnuLinkLIFFE")) {
        TW_STEP(proc, OpenURL(QLatin1String(LinkDerivativesExchange)));
    } else if (is("mnuLinkYahoo")) {
        TW_STEP(proc, OpenURL(QLatin1String(LinkFinancePortal)));
    } else if (is("mnuHelpTracing")) {
        TW_STEP(proc, {
            // The mark follows the tracing itself, which the program switches
            // off on its own when the trace file cannot be written.
            const bool on = !errorHandler().TracingEnabled();
            errorHandler().setTracingEnabled(on);
            m_cMenu->setItemChecked(m_cMenu->IndexOfKey(QStringLiteral("mnuHelpTracing")), on);
        });
    } else if (key.startsWith(QLatin1String(ChartWindowKeyPrefix))) {
        TW_STEP(proc, showChartWindow(key));
    }
}

void frmStrategies::m_cMenu_InitPopupMenu(int parentItemNumber)
{
    Procedure proc("frmStrategies", "m_cMenu_InitPopupMenu");
    QString key;
    TW_STEP(proc, key = m_cMenu->KeyOfItem(parentItemNumber));
    if (key == QLatin1String("mnuHelpTOP")) {
        TW_STEP(proc, m_cMenu->setItemChecked(m_cMenu->IndexOfKey(QStringLiteral("mnuHelpTracing")),
                                              errorHandler().TracingEnabled()));
        return;
    }
    if (key != QLatin1String("mnuEditTOP"))
        return;
    TW_STEP(proc, setEditMenuStates());
}

void frmStrategies::setEditMenuStates()
{
    const EditStates st = m_description->editStates();
    m_cMenu->setItemEnabled(m_cMenu->IndexOfKey(QStringLiteral("mnuEditCut")), st.cut);
    m_cMenu->setItemEnabled(m_cMenu->IndexOfKey(QStringLiteral("mnuEditCopy")), st.copy);
    m_cMenu->setItemEnabled(m_cMenu->IndexOfKey(QStringLiteral("mnuEditPaste")), st.paste);
}

void frmStrategies::tbrTools_ButtonClick(int button)
{
    Procedure proc("frmStrategies", "tbrTools_ButtonClick");
    QString key;
    TW_STEP(proc, key = tbrTools->ButtonKey(button));
    switch (toolbarCommand(key)) {
    case ToolbarCommand::NewChart:
        TW_STEP(proc, AddNewCustomChart(0));
        break;
    case ToolbarCommand::Chart3D:
        TW_STEP(proc, Select3DChart());
        break;
    case ToolbarCommand::LoadOptions:
        TW_STEP(proc, m_chain->LoadOptionDialog());
        break;
    case ToolbarCommand::SaveOptions:
        TW_STEP(proc, m_chain->SaveOptionDialog());
        break;
    case ToolbarCommand::LoadStrategies:
        TW_STEP(proc, m_library->LoadStrategies());
        break;
    case ToolbarCommand::SaveStrategies:
        TW_STEP(proc, m_library->SaveStrategies());
        break;
    case ToolbarCommand::Help:
        TW_STEP(proc, ShowHelpTopic(QLatin1String(HelpTopic::Contents), HelpCommand::Contents));
        break;
    case ToolbarCommand::Exit:
        TW_STEP(proc, QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection));
        break;
    case ToolbarCommand::None:
        break;
    }
}

void frmStrategies::tbrTools_DropDownPress(int button)
{
    Procedure proc("frmStrategies", "tbrTools_DropDownPress");
    QPoint at;
    TW_STEP(proc, at = tbrTools->ButtonDropDownPoint(button, this));
    TW_STEP(proc, {
        if (tbrTools->ButtonKey(button) == QLatin1String("charts")) {
            const double tpp = twipsPerPixel();
            ShowWindowListMenu(qRound(at.x() * tpp), qRound(at.y() * tpp), this);
        }
    });
}

} // namespace tw
