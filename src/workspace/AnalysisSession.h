#pragma once
// What the main window works on, without any widget: the loaded option chain
// with its quote lines, the strategy library with its file and the strategy
// selected in it, the pricing inputs, and what the last evaluation produced.
//
// The panes of the main window read and change it and listen to its signals;
// the main window's frame listens too and hands what changed to the chart
// windows. Every change emits a signal. The pricing setters announce even a
// value that did not change, because the boxes' click procedures re-apply
// their value each time and the chart windows are told each time.
//
// The four procedures below keep the main window's procedure names on the
// call stack and in the trace ("Tarnwell.frmStrategies.UpdateLists"...).

#include "marketdata/QuoteTable.h"
#include "model/Evaluation.h"
#include "model/LegsArray.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

namespace tw {

class OptionsCollection;
class ParamsCollection;
class Strategy;
class StrategyType;
class StrategyTypeCollection;
class stock;

class AnalysisSession : public QObject {
    Q_OBJECT
public:
    explicit AnalysisSession(QObject* parent = nullptr);
    ~AnalysisSession() override;

    // ---- The option chain --------------------------------------------------
    // The loaded underlying with its calls and puts (null before the first
    // chain), replaced by every parse.
    const std::shared_ptr<stock>& ObjStock() const { return m_stock; }
    void setObjStock(std::shared_ptr<stock> s);
    // Its two sides after the exchange filter (null until the first
    // refresh with a stock loaded).
    const std::shared_ptr<OptionsCollection>& calls() const { return m_calls; }
    const std::shared_ptr<OptionsCollection>& puts() const { return m_puts; }
    // The quote-table lines of the loaded chain, as received: what saving
    // the chain writes.
    const marketdata::QuoteLines& quoteLines() const { return m_quoteLines; }
    void setQuoteLines(const marketdata::QuoteLines& lines);
    // Downloaded lines not yet saved to a file.
    bool dataNotSaved() const { return m_dataNotSaved; }
    void setDataNotSaved(bool notSaved);
    // The option-chain file of the loaded chain (or the one asked for).
    const QString& dataFile() const { return m_dataFile; }
    void setDataFile(const QString& path);

    // ---- The strategy library ----------------------------------------------
    const std::shared_ptr<StrategyTypeCollection>& library() const { return m_library; }
    // Replaces the library (the tree is built again from it).
    void setLibrary(std::shared_ptr<StrategyTypeCollection> library);
    // The library, made empty first when there is none.
    StrategyTypeCollection& ensureLibrary();
    const QString& libraryFile() const { return m_libraryFile; }
    // The file with the stamp of what it held when it was read or written
    // here (model/StrategiesFile.h); a path set without a stamp knows
    // nothing of its content yet.
    void setLibraryFile(const QString& path, const QByteArray& stamp = {});
    const QByteArray& libraryFileStamp() const { return m_libraryFileStamp; }
    // The library has changes that are not saved.
    bool strategiesChanged() const { return m_strategiesChanged; }
    void setStrategiesChanged(bool changed);

    // ---- The selected node of the strategy tree ----------------------------
    // A group node carries its group, a strategy node its strategy; an empty
    // key means no node. Announced every time, as a click on a node is.
    void setSelection(const QString& key, std::shared_ptr<StrategyType> group, std::shared_ptr<Strategy> strategy);
    const QString& selectedKey() const { return m_selectedKey; }
    bool hasSelection() const { return !m_selectedKey.isEmpty(); }
    bool groupSelected() const { return m_selectedGroup != nullptr; }
    // The caption of the selected node ("" for none).
    QString selectedCaption() const;
    // The legs of the selected strategy (null for none or a group).
    std::shared_ptr<ParamsCollection> selectedParams() const;
    // The description (RTF) of the selected node; writing it stores it in
    // the group or strategy.
    QString selectedDescription() const;
    void setSelectedDescription(const QString& rtf);
    // The legs of the selected strategy were changed: announces it (the leg
    // grids are rebuilt and evaluated again) and, with `markChanged`, marks
    // the library unsaved.
    void legsEdited(bool markChanged);

    // ---- Editors open over the library --------------------------------------
    // Asked, when the window is being closed, about an open editor whose text
    // its checks refuse: `question` names the text and what leaving it keeps.
    // True leaves the editor without writing and lets the close go on; false
    // goes back to the editor, which keeps its text.
    using LeaveQuestion = std::function<bool(const QString& question)>;
    // A pane with an in-place editor of its own (the tree's rename, the leg
    // grids' cell editors) registers how to commit it: `commit` writes what
    // the open editor holds, as Return would, and returns false when the
    // editor's checks refuse it (the editor then stays open and the user is
    // told why); with no editor open it returns true. Given a LeaveQuestion,
    // a refused editor asks it instead of telling the user, and returns
    // true when it was left. It is dropped with `owner`.
    void addEditorCommit(QObject* owner, std::function<bool(const LeaveQuestion& leave)> commit);
    // Commits every open editor. A command that reads or replaces the library
    // or the selection (saving, exporting, another strategy, a file to load)
    // asks this first and stops when it gives false: an editor refused what
    // was typed into it. Closing the window passes `leave`, so that a refused
    // text is no trap: the user may leave it.
    bool commitOpenEditors(const LeaveQuestion& leave = {});

    // ---- Pricing inputs -----------------------------------------------------
    // The model box's index: 0 Black-Scholes, 1 binomial European,
    // 2 binomial American, -1 none chosen.
    int model() const { return m_model; }
    void setModel(int model);
    int steps() const { return m_steps; }
    void setSteps(int steps);
    // The last applied volatility and interest rate, in percent.
    double volatility() const { return m_volatility; }
    void setVolatility(double percent);
    double interestRate() const { return m_interestRate; }
    void setInterestRate(double percent);
    // The dividend yield as a fraction.
    double dividends() const { return m_dividends; }
    void setDividends(double fraction);
    PriceSource priceSource() const { return m_priceSource; }
    void setPriceSource(PriceSource source);
    // The calculation-mode box's index: 0 "Profit/Loss", 1 "Position worth",
    // -1 none chosen.
    int calculationMode() const { return m_calculationMode; }
    void setCalculationMode(int mode);
    // "Profit/Loss", "Position worth" or "Invalid mode".
    QString calculationModeCaption() const;
    // The text of the selected exchange ("" for none).
    const QString& exchange() const { return m_exchange; }
    void setExchange(const QString& exchange);
    // The check box "True signed percent profit".
    bool plSign() const { return m_plSign; }
    void setPLSign(bool on);
    // The volatility and dividends kept for the loaded chain's ticker (the
    // "Volatility" and "Dividends" sections), without telling the charts:
    // the boxes show them and the next evaluation uses them.
    void restoreTickerSettings(double volatilityPercent, double dividendsPercent);

    // ---- What the evaluation produced -------------------------------------
    // The stock price used for pricing (never exactly 0).
    double calcStockPrice() const { return m_calcStockPrice; }
    // The position total of the last evaluation (the 3-D window's percent
    // base).
    double startStrategyPrice() const { return m_startStrategyPrice; }
    // The legs of the last evaluation, for chart windows opened later (none
    // once nothing is evaluated).
    const LegsArray& chartLegs() const { return m_chartLegs; }
    // Everything the evaluation reads, as it stands now.
    EvaluationInputs evaluationInputs() const;
    PricingContext pricingContext() const;

    // ---- The refresh road ----------------------------------------------------
    // The pricing stock price by the price source.
    void SelectCalcStockPrice();
    // After a new chain was shown: the pricing price, the chart windows told
    // (stockLoaded), then UpdateLists.
    void NewStockLoaded();
    // Filters the chain by the exchange and evaluates the selected strategy.
    void UpdateLists();
    // Evaluates the legs (null: nothing to evaluate) and announces the
    // result.
    void SelectOptions(const std::shared_ptr<ParamsCollection>& Params);

signals:
    void stockChanged();
    void quoteLinesChanged();
    void dataNotSavedChanged(bool notSaved);
    void dataFileChanged(const QString& path);
    void libraryChanged();
    void libraryFileChanged(const QString& path);
    void strategiesChangedChanged(bool changed);
    void selectionChanged();
    void descriptionChanged();
    void legsChanged();
    void modelChanged(int model);
    void stepsChanged(int steps);
    void volatilityChanged(double percent);
    void interestRateChanged(double percent);
    void dividendsChanged(double fraction);
    void priceSourceChanged(PriceSource source);
    void calculationModeChanged(int mode);
    void exchangeChanged(const QString& exchange);
    void plSignChanged(bool on);
    void tickerSettingsRestored(double volatilityPercent, double dividendsPercent);
    void calcStockPriceChanged(double price);
    // A new chain is shown: its price, date and ticker go to the charts.
    void stockLoaded();
    // The selected strategy was evaluated.
    void evaluated(const tw::Evaluation& evaluation);
    // Nothing to evaluate (no strategy, or no chain): the charts get no legs.
    void evaluationCleared();

private:
    // Stores a value and announces it with its signal.
    template <class T, class Arg>
    void announce(T& member, const T& value, void (AnalysisSession::*signal)(Arg))
    {
        member = value;
        emit(this->*signal)(member);
    }

    std::shared_ptr<stock> m_stock;
    std::shared_ptr<OptionsCollection> m_calls;
    std::shared_ptr<OptionsCollection> m_puts;
    // What m_calls and m_puts were filtered from.
    std::weak_ptr<OptionsCollection> m_filteredCalls;
    std::weak_ptr<OptionsCollection> m_filteredPuts;
    QString m_filteredExchange;
    marketdata::QuoteLines m_quoteLines;
    bool m_dataNotSaved = false;
    QString m_dataFile;

    std::shared_ptr<StrategyTypeCollection> m_library;
    QString m_libraryFile;
    QByteArray m_libraryFileStamp;
    bool m_strategiesChanged = false;
    QString m_selectedKey;
    std::shared_ptr<StrategyType> m_selectedGroup;
    std::shared_ptr<Strategy> m_selectedStrategy;
    std::vector<std::pair<QPointer<QObject>, std::function<bool(const LeaveQuestion&)>>> m_editorCommits;
    bool m_committingEditors = false;

    int m_model = -1;
    int m_steps = 10;
    double m_volatility = 0;
    double m_interestRate = 0;
    double m_dividends = 0;
    PriceSource m_priceSource = PriceSource::None;
    int m_calculationMode = -1;
    QString m_exchange;
    bool m_plSign = false;

    double m_calcStockPrice = 0;
    double m_startStrategyPrice = 0;
    LegsArray m_chartLegs;
};

} // namespace tw
