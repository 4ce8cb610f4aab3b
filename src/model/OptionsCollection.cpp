#include "model/OptionsCollection.h"

#include "app/TwError.h"

#include <limits>

namespace tw {

namespace {
constexpr const char* kClass = "OptionsCollection";

int16_t toInteger(int32_t value)
{
    if (value < std::numeric_limits<int16_t>::min() || value > std::numeric_limits<int16_t>::max())
        raiseRunTime(RunTime::Overflow, QStringLiteral("Overflow"));
    return static_cast<int16_t>(value);
}
} // namespace

OptionsCollection::ItemPtr OptionsCollection::Add(const QString& Code, Currency StrikePrice, double ExpirationDate,
                                                  const QString& Net, Currency Bid, Currency Ask, int32_t Vol,
                                                  int32_t OpenInt, const QString& StockExchange, Currency LastSale,
                                                  const QString& sKey)
{
    return componentCall(kClass, "Add", [&] {
        auto item = std::make_shared<OptionItem>();
        item->setCode(Code);
        item->setStrikePrice(StrikePrice);
        item->setExpirationDate(ExpirationDate);
        item->setNet(Net);
        item->setBid(Bid);
        item->setAsk(Ask);
        item->setVolume(Vol);
        item->setOpenInt(OpenInt);
        item->setStockExchange(StockExchange);
        item->setLastSale(LastSale);
        m_items.Add(item, sKey);
        dropIndex();
        return item;
    });
}

void OptionsCollection::AddItem(ItemPtr Item)
{
    componentCall(kClass, "AddItem", [&] {
        m_items.Add(std::move(Item));
        dropIndex();
    });
}

const OptionsCollection::ItemPtr& OptionsCollection::Item(int32_t index) const
{
    return componentCall(kClass, "Item", [&]() -> const ItemPtr& { return m_items.Item(index); });
}

const OptionsCollection::ItemPtr& OptionsCollection::Item(const QString& key) const
{
    return componentCall(kClass, "Item", [&]() -> const ItemPtr& { return m_items.Item(key); });
}

void OptionsCollection::Remove(int32_t index)
{
    componentCall(kClass, "Remove", [&] {
        m_items.Remove(index);
        dropIndex();
    });
}

void OptionsCollection::Remove(const QString& key)
{
    componentCall(kClass, "Remove", [&] {
        m_items.Remove(key);
        dropIndex();
    });
}

void OptionsCollection::CalculateSteps() const
{
    componentCall(kClass, "CalculateSteps", [&] {
        const int32_t count = m_items.Count();
        double current = m_items.Item(1)->ExpirationDate(); // raises on an empty collection
        m_indexCount = 1;
        m_slots[1] = 1;
        m_indexEnd = count;
        for (int32_t p = 2; p <= count; ++p) {
            const double date = m_items.Item(p)->ExpirationDate();
            if (date == current)
                continue;
            if (m_indexCount == MaxExpirations) {
                // An eighth expiration: the seventh group ends here, and the
                // later expirations stay outside every class.
                m_indexEnd = p - 1;
                break;
            }
            current = date;
            m_slots[++m_indexCount] = p;
        }
    });
}

void OptionsCollection::ensureIndex() const
{
    if (m_indexCount == 0)
        CalculateSteps();
}

std::pair<int32_t, int32_t> OptionsCollection::rangeOf(int32_t expiration) const
{
    if (expiration < 1)
        raiseRunTime(RunTime::SubscriptOutOfRange, QStringLiteral("Subscript out of range"));
    if (expiration < m_indexCount)
        return {m_slots[expiration], m_slots[expiration + 1] - 1};
    return {m_slots[m_indexCount], m_indexEnd};
}

std::vector<StrikeRow> OptionsCollection::strikeRows(Currency stockPrice, int32_t expiration) const
{
    ensureIndex();
    const auto [first, last] = rangeOf(expiration);

    // At the money: walk up while the next strike is no farther from the
    // price; "no farther" lets a tie move on to the higher strike.
    int32_t p = first;
    Currency strike;
    do {
        strike = m_items.Item(p)->StrikePrice();
        ++p;
    } while (p <= last && absDifference(m_items.Item(p)->StrikePrice(), stockPrice)
                              <= absDifference(strike, stockPrice));
    const int32_t atTheMoney = p - 1;

    std::vector<StrikeRow> rows;
    size_t atTheMoneyRow = 0;
    for (p = first; p <= last; ++p) {
        const Currency s = m_items.Item(p)->StrikePrice();
        if (rows.empty() || rows.back().strike != s)
            rows.push_back({s, 0, p - first});
        if (p == atTheMoney)
            atTheMoneyRow = rows.size() - 1;
    }
    for (size_t r = 0; r < rows.size(); ++r)
        rows[r].offset = static_cast<int32_t>(r) - static_cast<int32_t>(atTheMoneyRow);
    return rows;
}

std::vector<double> OptionsCollection::ExpirationList() const
{
    return componentCall(kClass, "ExpirationList", [&] {
        ensureIndex();
        std::vector<double> dates;
        dates.reserve(static_cast<size_t>(m_indexCount));
        for (int32_t k = 1; k <= m_indexCount; ++k)
            dates.push_back(m_items.Item(m_slots[k])->ExpirationDate());
        return dates;
    });
}

std::vector<StrikeRow> OptionsCollection::StrikeList(Currency StockPrice, int32_t Expiration) const
{
    return componentCall(kClass, "StrikeList", [&] { return strikeRows(StockPrice, Expiration); });
}

int32_t OptionsCollection::chainExpirationOfClass(int32_t indexCount, int32_t cls)
{
    if (cls < 1 || cls > MaxExpirations)
        return 0;
    switch (indexCount) {
    case 4:
        return cls <= 4 ? cls : (cls == 5 ? 4 : 0);
    case 6:
        return cls <= 4 ? cls : cls - 1;
    default:
        // Seven expirations map one to one; a shorter chain has no
        // expiration for a class beyond its own count.
        return cls <= indexCount ? cls : 0;
    }
}

OptionsCollection::ItemPtr OptionsCollection::SelectOption(Currency StockPrice, double /*StockDate*/,
                                                           int32_t MonthStep, int32_t StrikeStep) const
{
    return componentCall(kClass, "SelectOption", [&]() -> ItemPtr {
        const int32_t count = m_items.Count();
        if (count == 0)
            return nullptr;
        if (count == 1)
            return m_items.Item(1);
        ensureIndex();
        const int32_t e = chainExpirationOfClass(m_indexCount, MonthStep);
        if (e == 0)
            return nullptr;
        const std::vector<StrikeRow> rows = strikeRows(StockPrice, e);
        if (rows.empty())
            return nullptr;
        int32_t pick = -1;
        for (const StrikeRow& row : rows) {
            if (row.offset == StrikeStep) {
                pick = row.index;
                break;
            }
        }
        // Beyond the strikes on offer: the lowest strike below, the highest
        // above (its first option, duplicates or not).
        if (pick < 0)
            pick = StrikeStep < 0 ? rows.front().index : rows.back().index;
        const int32_t position = m_slots[e] + pick;
        if (position < 1 || position > count)
            return nullptr;
        return m_items.Item(position);
    });
}

void OptionsCollection::ItemToParams(int32_t Item, Currency StockPrice, int16_t& StrikePrice,
                                     int16_t& Expiration) const
{
    componentCall(kClass, "ItemToParams", [&] {
        Expiration = -1;
        const ItemPtr& option = m_items.Item(Item);
        ensureIndex();
        int32_t chainExpiration = 0;
        for (int32_t k = 1; k <= m_indexCount; ++k) {
            if (m_items.Item(m_slots[k])->ExpirationDate() == option->ExpirationDate()) {
                chainExpiration = k;
                break;
            }
        }
        if (chainExpiration == 0)
            return;
        const std::vector<StrikeRow> rows = strikeRows(StockPrice, chainExpiration);
        Expiration = toInteger(chainExpiration > 4 && m_indexCount == 6 ? chainExpiration + 1 : chainExpiration);
        for (const StrikeRow& row : rows) {
            if (row.strike == option->StrikePrice()) {
                StrikePrice = toInteger(row.offset);
                break;
            }
        }
    });
}

int32_t OptionsCollection::ItemIndex(Currency StrikePrice, double Expiration) const
{
    return componentCall(kClass, "ItemIndex", [&] {
        int32_t position = 1;
        for (const ItemPtr& option : m_items) {
            if (option->StrikePrice() == StrikePrice && option->ExpirationDate() == Expiration)
                return position;
            ++position;
        }
        return -1;
    });
}

std::shared_ptr<OptionsCollection> OptionsCollection::ExchangeFilter(const QString& Exchange) const
{
    return componentCall(kClass, "ExchangeFilter", [&] {
        auto filtered = std::make_shared<OptionsCollection>();
        for (const ItemPtr& option : m_items) {
            if (option->StockExchange() == Exchange)
                filtered->m_items.Add(option);
        }
        return filtered;
    });
}

} // namespace tw
