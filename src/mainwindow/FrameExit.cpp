// Closing the main window: the workspace settings, the question about unsaved
// work, the chart windows, then the window's own place. Closing it ends the
// program. An end by the system (a signal, the session manager) writes the
// same without the question, and keeps unsaved strategies and a downloaded
// chain not saved in recovery files first.

#include "mainwindow/frmStrategies.h"

#include "app/CAppSettings.h"
#include "app/CFormRestore.h"
#include "app/Dialogs.h"
#include "app/Procedure.h"
#include "app/Tools.h"
#include "charts/frm3dChart.h"
#include "charts/frmChart.h"
#include "mainwindow/StartupSettings.h"
#include "model/stock.h"
#include "platform/WindowGeometry.h"
#include "workspace/AnalysisSession.h"
#include "workspace/ChainPane.h"
#include "workspace/ParameterRules.h"
#include "workspace/PricingPane.h"
#include "workspace/StrategiesRecovery.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QScopeGuard>

namespace tw {

namespace {
const QString kSettings = QStringLiteral("Settings");
// The recovery files of the strategies and of the downloaded quotes an end
// by the system kept, until the next start has told the user of them.
const QString kRecoveredStrategies = QStringLiteral("RecoveredStrategies");
const QString kRecoveredQuotes = QStringLiteral("RecoveredQuotes");
// The time of the newest recovery file told (or found) so far: the next start
// tells only the ones newer, wherever they were kept.
const QString kRecoveredStrategiesSeen = QStringLiteral("RecoveredStrategiesSeen");

// Where no such time is kept yet, keeps one (with the other values of the
// way out, in the same write), so that a recovery file beside the settings
// is named by the next start even when the end was cut short before the
// settings named it.
void keepRecoverySeen(CAppSettings& s)
{
    if (settingText(s, kSettings, kRecoveredStrategiesSeen, QString()).isEmpty())
        s.SaveSetting(kSettings, kRecoveredStrategiesSeen, firstRecoverySeen());
}
}

// The exit question for the unsaved work, or an empty text when nothing is
// unsaved; `title` receives the box's title.
QString exitQuestion(bool dataNotSaved, bool strategiesChanged, QString& title)
{
    if (dataNotSaved && strategiesChanged) {
        title = QStringLiteral("Option downloader");
        return QStringLiteral("Downloaded data and strategies are not saved.\r\nExit anyway?");
    }
    if (dataNotSaved) {
        title = QStringLiteral("Option downloader");
        return QStringLiteral("Downloaded data is not saved.\r\nExit anyway?");
    }
    if (strategiesChanged) {
        title = QStringLiteral("Strategies");
        return QStringLiteral("Strategies are not saved.\r\nExit anyway?");
    }
    title.clear();
    return QString();
}

void frmStrategies::saveWorkspaceSettings()
{
    CAppSettings& s = appSettings();
    m_pricing->savePricingSettings(s);
    s.SaveSetting(kSettings, QStringLiteral("ViewOptions"), m_chain->selectedTab());
    const layout::BarPositions bars = layout::barGeometry(m_geometry).pos;
    s.SaveSetting(kSettings, QStringLiteral("SSD"), static_cast<double>(bars.stgDescLeft));
    s.SaveSetting(kSettings, QStringLiteral("SCP"), static_cast<double>(bars.chartParamsLeft));
    s.SaveSetting(kSettings, QStringLiteral("SDP"), static_cast<double>(bars.descParamTop));
    s.SaveSetting(kSettings, QStringLiteral("SOS"), static_cast<double>(bars.optionsStockTop));
    s.SaveSetting(kSettings, QStringLiteral("SPO"), static_cast<double>(bars.paramsOptionsTop));
}

void frmStrategies::saveChartWindows()
{
    CAppSettings& s = appSettings();
    frm3dChart* chart3d = frm3dChart::loaded();
    s.SaveSetting(kSettings, QStringLiteral("3dChartVisible"), chart3d != nullptr && chart3d->isVisible());
    if (chart3d != nullptr)
        chart3d->Form_Unload();
    s.SaveSetting(kSettings, QStringLiteral("CCCount"), static_cast<int>(m_Charts.size()));
    // Numbered from 1 in the order they were opened, as the next start
    // reopens them.
    int32_t number = 0;
    for (const auto& entry : m_Charts) {
        ++number;
        if (entry.second != nullptr)
            entry.second->SaveParams(number);
    }
}

void frmStrategies::closeChartWindows()
{
    if (frm3dChart* chart3d = frm3dChart::loaded())
        chart3d->unload(false);
    while (!m_Charts.isEmpty()) {
        QPointer<frmChart> chart = m_Charts.takeFirst().second;
        if (chart != nullptr)
            chart->unload();
    }
}

bool frmStrategies::Form_QueryUnload()
{
    bool cancel = false;
    Procedure proc("frmStrategies", "Form_QueryUnload");
    // What is typed into an open editor is written first, so the question
    // below knows of it. An editor that refuses its text asks: left, it
    // keeps the old value and the exit goes on; otherwise the window stays
    // with the editor open.
    bool committed = false;
    TW_STEP_OR(proc, cancel, committed = m_session->commitOpenEditors([](const QString& question) {
        return dialogs().messageBox(question, Msg::YesNo | Msg::Exclamation | Msg::DefaultButton2, appTitle())
            == Msg::Yes;
    }));
    if (!committed)
        return true;
    {
        // Written before the question, so that they stay when the user stays.
        SettingsBatch workspace(appSettings());
        TW_STEP_OR(proc, cancel, saveWorkspaceSettings());
        workspace.write();
    }
    QString title;
    const QString question = exitQuestion(m_session->dataNotSaved(), m_session->strategiesChanged(), title);
    if (!question.isEmpty()) {
        TW_STEP_OR(proc, cancel, {
            cancel = dialogs().messageBox(question, Msg::YesNo | Msg::Question, title) != Msg::Yes;
        });
        // The system may have ended the program while the question was open:
        // then all is written already.
        if (cancel || m_sessionEnded)
            return true;
    }
    TW_STEP_OR(proc, cancel, saveChartWindows());
    TW_STEP_OR(proc, cancel, closeChartWindows());
    return cancel;
}

void frmStrategies::Form_Unload()
{
    Procedure proc("frmStrategies", "Form_Unload");
    CAppSettings& s = appSettings();
    // A full path, so that the next start finds the file from any folder.
    TW_STEP(proc, s.SaveSetting(kSettings, QStringLiteral("LastFile"),
                                m_session->dataFile().isEmpty() ? m_session->dataFile() : QFileInfo(m_session->dataFile()).absoluteFilePath()));
    TW_STEP(proc, {
        if (!isMaximized())
            platform::setWindowStateCode(this, platform::StateNormal);
    });
    TW_STEP(proc, s.SaveSetting(kSettings, QStringLiteral("StgWindowState"), isMaximized() ? 2 : 0));
    // The bounds of the normal state, whatever the state is now.
    TW_STEP(proc, CFormRestore::savePlace(s, kSettings, mainWindowPlaceKeys(), this));
    TW_STEP(proc, {
        if (m_session->hasSelection())
            s.SaveSetting(kSettings, QStringLiteral("StgSelectedStrategy"), m_session->selectedKey());
    });
}

void frmStrategies::endSession()
{
    if (m_sessionEnded || m_unloaded)
        return;
    m_sessionEnded = true;
    setQuestionsStopped(true);
    Procedure proc("frmStrategies", "EndSession");
    // What is typed into an open editor goes into what is kept; a text the
    // editor refuses cannot stop the end and stays out.
    TW_STEP(proc, m_session->commitOpenEditors());
    // The unsaved strategies and downloaded quotes first, before any window
    // is unloaded: an end cut short soon after the request (a session
    // manager that does not wait) still finds them kept.
    KeptWork kept;
    TW_STEP(proc, {
        UnsavedWork work;
        if (m_session->strategiesChanged())
            work.strategies = m_session->library().get();
        if (m_session->dataNotSaved() && m_session->ObjStock() != nullptr) {
            work.quotes = &m_session->quoteLines();
            work.ticker = tickerOfCode(m_session->ObjStock()->Code());
        }
        if (work.strategies != nullptr || work.quotes != nullptr)
            kept = keepUnsavedWork(work, m_session->libraryFile());
    });
    // Then the settings, in one write of the file, done before this returns
    // even when a batch around it (an exit waiting for its question) holds
    // them.
    SettingsBatch batch(appSettings());
    const auto writeSettings = qScopeGuard([&batch] { batch.write(); });
    TW_STEP(proc, saveWorkspaceSettings());
    TW_STEP(proc, saveChartWindows());
    TW_STEP(proc, Form_Unload());
    TW_STEP(proc, {
        if (!kept.strategies.isEmpty())
            appSettings().SaveSetting(kSettings, kRecoveredStrategies, kept.strategies);
        if (!kept.quotes.isEmpty())
            appSettings().SaveSetting(kSettings, kRecoveredQuotes, kept.quotes);
    });
    TW_STEP(proc, keepRecoverySeen(appSettings()));
}

void frmStrategies::announceRecoveredStrategies()
{
    CAppSettings& s = appSettings();
    const QString namedStrategies = settingText(s, kSettings, kRecoveredStrategies, QString());
    const QString namedQuotes = settingText(s, kSettings, kRecoveredQuotes, QString());
    const QString seen = settingText(s, kSettings, kRecoveredStrategiesSeen, QString());
    // Where the last run could have kept them: its library's folder too.
    const QStringList folders = recoveryFolders(settingText(s, kSettings, QStringLiteral("StrategyTypesFile"), QString()));
    sweepRecoveryFolders(folders);
    const RecoveryNews news = recoveryNews({namedStrategies, namedQuotes}, seen, folders);
    for (const QString& path : news.files)
        dialogs().messageBox(recoveryMessage(path), Msg::OkOnly | Msg::Information, appTitle());
    SettingsBatch told(s);
    if (!namedStrategies.isEmpty())
        s.SaveSetting(kSettings, kRecoveredStrategies, QString());
    if (!namedQuotes.isEmpty())
        s.SaveSetting(kSettings, kRecoveredQuotes, QString());
    if (news.seen != seen)
        s.SaveSetting(kSettings, kRecoveredStrategiesSeen, news.seen);
}

void frmStrategies::closeEvent(QCloseEvent* event)
{
    if (m_unloaded) {
        event->accept();
        return;
    }
    if (m_sessionEnded) {
        // Everything was written when the system ended the program: the
        // windows only go.
        m_unloaded = true;
        closeChartWindows();
        event->accept();
        return;
    }
    if (m_chain->downloadRunning()) {
        // A download is waiting for its answer: it is cancelled, and the
        // window closes once it has ended.
        m_closeAfterDownload = true;
        m_chain->cancelDownloadForClose();
        event->ignore();
        return;
    }
    // What the exit writes after its question reaches the settings file in
    // one write, at the end of this handler.
    SettingsBatch exitSettings(appSettings());
    if (Form_QueryUnload() || m_sessionEnded) {
        event->ignore();
        return;
    }
    m_unloaded = true;
    // Whatever the handlers above managed, every window goes and the program
    // ends: an aborted step must not leave windows behind.
    closeChartWindows();
    Form_Unload();
    shielded("frmStrategies.closeEvent", [] { keepRecoverySeen(appSettings()); });
    event->accept();
}

} // namespace tw
