#include "workspace/AnalysisSession.h"

#include "app/Procedure.h"
#include "model/OptionsCollection.h"
#include "model/StrategyTemplates.h"
#include "model/stock.h"

#include <QScopeGuard>

namespace tw {

AnalysisSession::AnalysisSession(QObject* parent) : QObject(parent)
{
    setObjectName(QStringLiteral("session"));
}

AnalysisSession::~AnalysisSession() = default;

// ---------------------------------------------------------------------------
// Chain

void AnalysisSession::setObjStock(std::shared_ptr<stock> s)
{
    m_stock = std::move(s);
    emit stockChanged();
}

void AnalysisSession::setQuoteLines(const marketdata::QuoteLines& lines)
{
    m_quoteLines = lines;
    emit quoteLinesChanged();
}

void AnalysisSession::setDataNotSaved(bool notSaved)
{
    announce(m_dataNotSaved, notSaved, &AnalysisSession::dataNotSavedChanged);
}

void AnalysisSession::setDataFile(const QString& path)
{
    announce(m_dataFile, path, &AnalysisSession::dataFileChanged);
}

// ---------------------------------------------------------------------------
// Library and selection

void AnalysisSession::setLibrary(std::shared_ptr<StrategyTypeCollection> library)
{
    m_library = std::move(library);
    emit libraryChanged();
}

StrategyTypeCollection& AnalysisSession::ensureLibrary()
{
    if (m_library == nullptr)
        setLibrary(std::make_shared<StrategyTypeCollection>());
    return *m_library;
}

void AnalysisSession::setLibraryFile(const QString& path, const QByteArray& stamp)
{
    m_libraryFileStamp = stamp;
    announce(m_libraryFile, path, &AnalysisSession::libraryFileChanged);
}

void AnalysisSession::setStrategiesChanged(bool changed)
{
    announce(m_strategiesChanged, changed, &AnalysisSession::strategiesChangedChanged);
}

void AnalysisSession::setSelection(const QString& key, std::shared_ptr<StrategyType> group,
                                   std::shared_ptr<Strategy> strategy)
{
    m_selectedKey = key;
    m_selectedGroup = key.isEmpty() ? nullptr : std::move(group);
    m_selectedStrategy = key.isEmpty() || m_selectedGroup != nullptr ? nullptr : std::move(strategy);
    emit selectionChanged();
}

void AnalysisSession::addEditorCommit(QObject* owner, std::function<bool(const LeaveQuestion&)> commit)
{
    m_editorCommits.emplace_back(owner, std::move(commit));
}

bool AnalysisSession::commitOpenEditors(const LeaveQuestion& leave)
{
    // A commit that selects or rebuilds on its way asks again: the editor
    // being committed answers for itself.
    if (m_committingEditors)
        return true;
    m_committingEditors = true;
    const auto done = qScopeGuard([this] { m_committingEditors = false; });
    for (const auto& [owner, commit] : m_editorCommits) {
        // The first refusal stops: its editor keeps the focus.
        if (owner != nullptr && !commit(leave))
            return false;
    }
    return true;
}

QString AnalysisSession::selectedCaption() const
{
    if (m_selectedGroup != nullptr)
        return m_selectedGroup->Caption();
    if (m_selectedStrategy != nullptr)
        return m_selectedStrategy->Caption();
    return QString();
}

std::shared_ptr<ParamsCollection> AnalysisSession::selectedParams() const
{
    return m_selectedStrategy != nullptr ? m_selectedStrategy->Params() : nullptr;
}

QString AnalysisSession::selectedDescription() const
{
    if (m_selectedGroup != nullptr)
        return m_selectedGroup->Description();
    if (m_selectedStrategy != nullptr)
        return m_selectedStrategy->Description();
    return QString();
}

void AnalysisSession::setSelectedDescription(const QString& rtf)
{
    if (m_selectedGroup != nullptr)
        m_selectedGroup->setDescription(rtf);
    else if (m_selectedStrategy != nullptr)
        m_selectedStrategy->setDescription(rtf);
    else
        return;
    emit descriptionChanged();
}

void AnalysisSession::legsEdited(bool markChanged)
{
    if (selectedParams() == nullptr)
        return;
    emit legsChanged();
    if (markChanged)
        setStrategiesChanged(true);
}

// ---------------------------------------------------------------------------
// Pricing inputs

void AnalysisSession::setModel(int model)
{
    announce(m_model, model, &AnalysisSession::modelChanged);
}

void AnalysisSession::setSteps(int steps)
{
    announce(m_steps, steps, &AnalysisSession::stepsChanged);
}

void AnalysisSession::setVolatility(double percent)
{
    announce(m_volatility, percent, &AnalysisSession::volatilityChanged);
}

void AnalysisSession::setInterestRate(double percent)
{
    announce(m_interestRate, percent, &AnalysisSession::interestRateChanged);
}

void AnalysisSession::setDividends(double fraction)
{
    announce(m_dividends, fraction, &AnalysisSession::dividendsChanged);
}

void AnalysisSession::setPriceSource(PriceSource source)
{
    announce(m_priceSource, source, &AnalysisSession::priceSourceChanged);
}

void AnalysisSession::setCalculationMode(int mode)
{
    announce(m_calculationMode, mode, &AnalysisSession::calculationModeChanged);
}

QString AnalysisSession::calculationModeCaption() const
{
    switch (m_calculationMode) {
    case CalculationMode::ProfitLoss:
        return QStringLiteral("Profit/Loss");
    case CalculationMode::PositionWorth:
        return QStringLiteral("Position worth");
    default:
        return QStringLiteral("Invalid mode");
    }
}

void AnalysisSession::setExchange(const QString& exchange)
{
    announce(m_exchange, exchange, &AnalysisSession::exchangeChanged);
}

void AnalysisSession::setPLSign(bool on)
{
    announce(m_plSign, on, &AnalysisSession::plSignChanged);
}

void AnalysisSession::restoreTickerSettings(double volatilityPercent, double dividendsPercent)
{
    m_volatility = volatilityPercent;
    m_dividends = dividendsPercent / 100.0;
    emit tickerSettingsRestored(volatilityPercent, dividendsPercent);
}

// ---------------------------------------------------------------------------
// Evaluation

PricingContext AnalysisSession::pricingContext() const
{
    PricingContext c;
    c.model = m_model;
    c.steps = m_steps;
    c.dividends = m_dividends;
    return c;
}

EvaluationInputs AnalysisSession::evaluationInputs() const
{
    EvaluationInputs in;
    in.objStock = m_stock.get();
    in.calls = m_calls.get();
    in.puts = m_puts.get();
    in.calcStockPrice = m_calcStockPrice;
    in.source = m_priceSource;
    in.mode = m_calculationMode;
    in.volatilityPercent = m_volatility;
    in.interestPercent = m_interestRate;
    in.pricing = pricingContext();
    in.exchange = m_exchange;
    in.locale = QLocale();
    return in;
}

void AnalysisSession::SelectCalcStockPrice()
{
    Procedure proc("frmStrategies", "SelectCalcStockPrice");
    TW_STEP(proc, {
        double price = 0;
        if (m_stock != nullptr) {
            price = m_priceSource == PriceSource::BidAsk ? (m_stock->Bid() + m_stock->Ask()).toDouble() / 2.0
                                                         : m_stock->Price().toDouble();
        }
        m_calcStockPrice = price == 0 ? 1e-06 : price;
        emit calcStockPriceChanged(m_calcStockPrice);
    });
}

void AnalysisSession::NewStockLoaded()
{
    Procedure proc("frmStrategies", "NewStockLoaded");
    TW_STEP(proc, SelectCalcStockPrice());
    TW_STEP(proc, emit stockLoaded());
    TW_STEP(proc, UpdateLists());
}

void AnalysisSession::UpdateLists()
{
    Procedure proc("frmStrategies", "UpdateLists");
    // The sides of a chain do not change once read: they are filtered again
    // for another chain, other sides or another exchange only (a big chain
    // takes a noticeable time, and every pricing setting comes here).
    const auto filteredFrom = [](const std::weak_ptr<OptionsCollection>& from,
                                 const std::shared_ptr<OptionsCollection>& side) {
        return !from.expired() && from.lock() == side;
    };
    if (m_stock != nullptr
        && (m_calls == nullptr || m_puts == nullptr || m_filteredExchange != m_exchange
            || !filteredFrom(m_filteredCalls, m_stock->Calls()) || !filteredFrom(m_filteredPuts, m_stock->Puts()))) {
        TW_STEP(proc, {
            m_calls = m_stock->Calls()->ExchangeFilter(m_exchange);
            m_puts = m_stock->Puts()->ExchangeFilter(m_exchange);
            m_filteredCalls = m_stock->Calls();
            m_filteredPuts = m_stock->Puts();
            m_filteredExchange = m_exchange;
        });
    }
    TW_STEP(proc, SelectOptions(selectedParams()));
}

void AnalysisSession::SelectOptions(const std::shared_ptr<ParamsCollection>& Params)
{
    Procedure proc("frmStrategies", "SelectOptions");
    if (Params == nullptr || m_stock == nullptr) {
        // A chart window opened now has nothing to draw either.
        TW_STEP(proc, m_chartLegs.reset());
        TW_STEP(proc, emit evaluationCleared());
        return;
    }
    Evaluation ev;
    TW_STEP(proc, ev = EvaluateStrategy(*Params, evaluationInputs()));
    TW_STEP(proc, {
        m_startStrategyPrice = ev.total;
        m_chartLegs = ev.legs;
    });
    TW_STEP(proc, emit evaluated(ev));
}

} // namespace tw
