#pragma once
// The main window's controls and panes as the suites reach them: by their
// object names, the way a user's tools see them, since the window keeps its
// controls to itself.

#include "platform/Grid.h"
#include "platform/PopupMenu.h"
#include "platform/RichTextBox.h"
#include "platform/TabStrip.h"
#include "platform/Toolbar.h"
#include "platform/TreeView.h"
#include "workspace/AnalysisSession.h"
#include "workspace/ChainPane.h"
#include "workspace/LegsPane.h"
#include "workspace/PayoffSketch.h"
#include "workspace/PricingPane.h"
#include "workspace/StrategyLibraryPane.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QWidget>

namespace tw::test::ui {

// The descendant of `window` of that type and name; a test that asks for a
// control the window does not have fails at once.
template <class T>
T* named(const QObject* window, const char* name)
{
    T* found = window->findChild<T*>(QLatin1String(name));
    if (found == nullptr)
        qFatal("the main window has no control \"%s\"", name);
    return found;
}

template <class T>
T* pane(const QObject* window)
{
    T* found = window->findChild<T*>();
    if (found == nullptr)
        qFatal("the main window has no such pane");
    return found;
}

inline StrategyLibraryPane* library(const QObject* w) { return pane<StrategyLibraryPane>(w); }
inline LegsPane* legs(const QObject* w) { return pane<LegsPane>(w); }
inline PricingPane* pricing(const QObject* w) { return pane<PricingPane>(w); }
inline ChainPane* chain(const QObject* w) { return pane<ChainPane>(w); }

#define TW_UI_CONTROL(Type, name) \
    inline Type* name(const QObject* w) { return named<Type>(w, #name); }

TW_UI_CONTROL(platform::TreeView, tvStrategies)
TW_UI_CONTROL(platform::RichTextBox, rtfDescription)
TW_UI_CONTROL(platform::Grid, gdParams)
TW_UI_CONTROL(platform::Grid, gdSelected)
TW_UI_CONTROL(platform::Grid, gdCalls)
TW_UI_CONTROL(platform::Grid, gdPuts)
TW_UI_CONTROL(QComboBox, cmbEdit)
TW_UI_CONTROL(QLineEdit, txtEdit)
TW_UI_CONTROL(PayoffSketch, PLCStrategy)
TW_UI_CONTROL(QGroupBox, fraExchange)
TW_UI_CONTROL(QFrame, fraStock)
TW_UI_CONTROL(QLabel, lblStockValue)
TW_UI_CONTROL(QLabel, lblPriceValue)
TW_UI_CONTROL(QLabel, lblDateValue)
TW_UI_CONTROL(QLabel, lblStatus)
TW_UI_CONTROL(QComboBox, cmbModel)
TW_UI_CONTROL(QLineEdit, txtSteps)
TW_UI_CONTROL(QComboBox, cbCalculationMode)
TW_UI_CONTROL(QLineEdit, txtInetrestRate)
TW_UI_CONTROL(QCheckBox, chkPLSign)
TW_UI_CONTROL(QLabel, lblSetupPrice)
TW_UI_CONTROL(QWidget, picHolder)
TW_UI_CONTROL(QWidget, picStockParams)
TW_UI_CONTROL(QRadioButton, optTheoreticalPrice)
TW_UI_CONTROL(QRadioButton, optRealPrice)
TW_UI_CONTROL(QRadioButton, optBidAsk)
TW_UI_CONTROL(platform::TabStrip, tabOptionsNew)
TW_UI_CONTROL(QComboBox, cbExchange)
TW_UI_CONTROL(QLineEdit, txtVolatility)
TW_UI_CONTROL(QLineEdit, txtDividends)
TW_UI_CONTROL(QLabel, lblBidValue)
TW_UI_CONTROL(QLabel, lblAskValue)
TW_UI_CONTROL(QLabel, lblVolumeValue)
TW_UI_CONTROL(QLabel, lblSizeValue)
TW_UI_CONTROL(QLabel, lblTickerStatus)
TW_UI_CONTROL(QLineEdit, txtTicker)
TW_UI_CONTROL(QPushButton, cmdDownload)
TW_UI_CONTROL(QPushButton, cmdLookup)
TW_UI_CONTROL(QPushButton, cmdLoad)
TW_UI_CONTROL(QPushButton, cmdSave)
TW_UI_CONTROL(QMenuBar, tbrMenu)
TW_UI_CONTROL(platform::Toolbar, tbrTools)
TW_UI_CONTROL(QWidget, picParamsOptions)
TW_UI_CONTROL(QTimer, Timer)
TW_UI_CONTROL(QTimer, DelayTimer)
TW_UI_CONTROL(platform::PopupMenu, m_cMenu)
TW_UI_CONTROL(platform::PopupMenu, m_cStrategiesMenu)
TW_UI_CONTROL(platform::PopupMenu, m_cOptionsMenu)
TW_UI_CONTROL(platform::PopupMenu, m_cParamsMenu)
TW_UI_CONTROL(platform::PopupMenu, m_cChartList)

#undef TW_UI_CONTROL

} // namespace tw::test::ui

namespace tw {
namespace ui = test::ui;
}
