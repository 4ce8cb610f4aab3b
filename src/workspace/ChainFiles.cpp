// The chain pane's option-chain files: loading and parsing a quote table,
// and saving the raw lines again.

#include "workspace/ChainPane.h"

#include "app/CAppSettings.h"
#include "app/Dialogs.h"
#include "app/Procedure.h"
#include "app/Tools.h"
#include "workspace/PricingSettings.h"
#include "marketdata/QuoteTable.h"
#include "model/stock.h"
#include "workspace/AnalysisSession.h"
#include "workspace/FileQuestions.h"
#include "workspace/ParameterRules.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>

namespace tw {

namespace {
const QString kSettings = QStringLiteral("Settings");
const QString kChainFilter = QStringLiteral("Options (.opt)|*.opt| All Files (*.*)|*.*");

QString optionsDirectory()
{
    return settingText(appSettings(), kSettings, QStringLiteral("OptDir"), programFolder() + QStringLiteral("/Options"));
}

QString folderOf(const QString& path)
{
    return QFileInfo(path).absolutePath();
}

} // namespace

bool ChainPane::parseQuoteLines(const marketdata::QuoteLines& lines, marketdata::ParseResult& parsed,
                                std::optional<TwError>* refusal)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto pointer = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    try {
        // The count, and the window's turn to repaint, a few times a second:
        // at every line they would cost more than the parse itself.
        QElapsedTimer shown;
        shown.start();
        parsed = marketdata::ParseQuoteTable(lines, [this, &shown](int line, int count) {
            // The clock is read every few hundred lines: a table of millions
            // of empty lines would spend its time asking it.
            if (line == count || (line % 256 == 0 && shown.elapsed() >= 50)) {
                showTickerStatus(QStringLiteral(" %1 of %2 line parsed.").arg(line).arg(count));
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
                shown.restart();
            }
        });
        return true;
    } catch (const TwError& e) {
        // A table that is refused changes nothing of the loaded chain.
        if (refusal != nullptr) {
            *refusal = e;
            return false;
        }
        showTickerStatus(QLatin1Char(' ') + e.description());
        dialogs().messageBox(e.description(), Msg::OkOnly | Msg::Exclamation, appTitle());
        return false;
    }
}

void ChainPane::applyParsedChain(const marketdata::ParseResult& parsed)
{
    Procedure proc("frmStrategies", "applyParsedChain");
    TW_STEP(proc, session().setObjStock(parsed.objStock));
    TW_STEP(proc, UpdateControls());
    if (!parsed.warnings.isEmpty()) {
        // One summary for the whole table, not one box per field.
        TW_STEP(proc, dialogs().messageBox(marketdata::warningSummary(parsed), Msg::OkOnly | Msg::Exclamation,
                                           appTitle()));
    }
}

void ChainPane::ParseCBOEData()
{
    Procedure proc("frmStrategies", "ParseCBOEData");
    marketdata::ParseResult parsed;
    if (parseQuoteLines(session().quoteLines(), parsed))
        TW_STEP(proc, applyParsedChain(parsed));
}

void ChainPane::LoadOptionFromFile()
{
    Procedure proc("frmStrategies", "LoadOptionFromFile");
    if (m_filling)
        return;
    // The new lines replace the loaded chain only once they parsed: a file
    // that cannot be read or is no quote table leaves everything as it was.
    marketdata::QuoteLines lines;
    m_loadFailure.clear();
    try {
        lines = marketdata::readOptionChainFile(session().dataFile());
    } catch (const TwError& e) {
        // Only the ticker status line says so: start-up loads the last file
        // used, and a file deleted since must not ask at every start. Who
        // asked for this file tells the user (loadFailure).
        m_loadFailure = e.description();
        showTickerStatus(QLatin1Char(' ') + m_loadFailure);
        return;
    }
    marketdata::ParseResult parsed;
    if (!parseQuoteLines(lines, parsed))
        return;
    TW_STEP(proc, session().setQuoteLines(lines));
    TW_STEP(proc, applyParsedChain(parsed));
    TW_STEP(proc, cmdSave->setEnabled(true));
    TW_STEP(proc, {
        const QString ticker = tickerOfCode(session().ObjStock()->Code());
        txtTicker->setText(ticker);
        bool ok = false;
        double vol = numberFromStoredText(
            settingText(appSettings(), QStringLiteral("Volatility"), ticker, QStringLiteral("45")), &ok);
        if (!ok || !volatilityAccepted(vol))
            vol = 45;
        double div = numberFromStoredText(
            settingText(appSettings(), QStringLiteral("Dividends"), ticker, QStringLiteral("0")), &ok);
        if (!ok || !rateAccepted(div))
            div = 0;
        session().restoreTickerSettings(vol, div);
        session().UpdateLists();
    });
}

void ChainPane::LoadOptionDialog()
{
    Procedure proc("frmStrategies", "LoadOptionDialog");
    // A new chain evaluates the legs again: what is typed into an open leg
    // editor goes in first.
    if (!commitOpenEditors(proc))
        return;
    TW_STEP(proc, strOptionsDirectory = optionsDirectory());
    QString file;
    TW_STEP(proc, {
        FileQuestion q;
        q.title = QStringLiteral("Select option data file");
        q.filter = kChainFilter;
        q.defaultExt = QStringLiteral("opt");
        q.initialDir = strOptionsDirectory;
        q.mustExist = true;
        q.hideReadOnly = true;
        file = askForFile(q, static_cast<int64_t>(window()->winId()));
    });
    if (file.isEmpty())
        return;
    TW_STEP(proc, {
        const QString previous = session().dataFile();
        session().setDataFile(file);
        const auto before = session().ObjStock();
        LoadOptionFromFile();
        if (session().ObjStock() == before)
            session().setDataFile(previous); // nothing was loaded: the current file stays
    });
    // The file the user chose could not be read: the user is told why.
    if (!m_loadFailure.isEmpty())
        TW_STEP(proc, dialogs().messageBox(m_loadFailure, Msg::OkOnly | Msg::Critical, appTitle()));
}

void ChainPane::SaveOptionDialog()
{
    Procedure proc("frmStrategies", "SaveOptionDialog");
    if (session().ObjStock() == nullptr || session().quoteLines().isEmpty())
        return;
    TW_STEP(proc, strOptionsDirectory = optionsDirectory());
    QString file;
    TW_STEP(proc, {
        FileQuestion q;
        q.title = QStringLiteral("Save option data to...");
        q.filter = kChainFilter;
        q.defaultExt = QStringLiteral("opt");
        q.initialDir = strOptionsDirectory;
        q.initialFile = marketdata::defaultChainFileName(session().ObjStock()->Code(), session().ObjStock()->StockDate());
        q.hideReadOnly = true;
        q.save = true;
        file = askForFile(q, static_cast<int64_t>(window()->winId()));
    });
    if (file.isEmpty())
        return;
    try {
        marketdata::writeOptionChainFile(file, session().quoteLines());
    } catch (const TwError& e) {
        // A failed save says so, and the data still counts as unsaved.
        dialogs().messageBox(e.description(), Msg::OkOnly | Msg::Critical, appTitle());
        return;
    }
    TW_STEP(proc, appSettings().SaveSetting(kSettings, QStringLiteral("OptDir"), folderOf(file)));
    TW_STEP(proc, session().setDataNotSaved(false));
    TW_STEP(proc, showTickerStatus(QStringLiteral(" Saved to ") + file));
}

void ChainPane::LoadOption()
{
    LoadOptionDialog();
}

void ChainPane::SaveOption()
{
    SaveOptionDialog();
}

void ChainPane::cmdLoad_Click()
{
    Procedure proc("frmStrategies", "cmdLoad_Click");
    TW_STEP(proc, LoadOptionDialog());
}

void ChainPane::cmdSave_Click()
{
    Procedure proc("frmStrategies", "cmdSave_Click");
    TW_STEP(proc, SaveOptionDialog());
}

} // namespace tw
