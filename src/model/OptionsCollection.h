#pragma once
// One side of the option chain (the calls or the puts of one stock).
//
// The builder adds the options grouped by expiration, the groups in
// ascending date order and the strikes ascending within a group; the
// collection never sorts, and every search relies on that order. The first
// search indexes at most seven expirations (their first positions); the
// leg templates name an expiration by class 1..7 and a strike by its offset
// from the at-the-money strike, and SelectOption maps such a template onto
// whatever expirations and strikes the loaded chain has. Adding or removing
// options drops the index, so it is rebuilt on the next search.

#include "model/Collection.h"
#include "model/Currency.h"
#include "model/OptionItem.h"

#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace tw {

// One distinct strike of one expiration (a row of StrikeList).
struct StrikeRow {
    Currency strike;
    int32_t offset = 0; // strikes from the at-the-money row: 0 there, negative below
    int32_t index = 0;  // 0-based position, within the expiration, of its first option

    friend bool operator==(const StrikeRow&, const StrikeRow&) = default;
};

class OptionsCollection {
public:
    using ItemPtr = std::shared_ptr<OptionItem>;
    static constexpr int32_t MaxExpirations = 7;

    // Creates an option with these fields (Price stays 0), appends it, under
    // `sKey` when that is not empty, and returns it.
    ItemPtr Add(const QString& Code, Currency StrikePrice, double ExpirationDate, const QString& Net, Currency Bid,
                Currency Ask, int32_t Vol, int32_t OpenInt, const QString& StockExchange, Currency LastSale,
                const QString& sKey = {});
    // Appends the given option itself (shared, not copied), without a key.
    void AddItem(ItemPtr Item);

    const ItemPtr& Item(int32_t index) const;
    const ItemPtr& Item(const QString& key) const;
    int32_t Count() const { return m_items.Count(); }
    void Remove(int32_t index);
    void Remove(const QString& key);
    Collection<OptionItem>::const_iterator begin() const { return m_items.begin(); }
    Collection<OptionItem>::const_iterator end() const { return m_items.end(); }

    // The option for a leg template: expiration class `MonthStep` (1..7) and
    // strike offset `StrikeStep`; null when the chain has none. `StockDate`
    // is not used.
    ItemPtr SelectOption(Currency StockPrice, double StockDate, int32_t MonthStep, int32_t StrikeStep) const;

    // A new collection holding, in order, the options (the same objects)
    // whose StockExchange equals `Exchange` exactly.
    std::shared_ptr<OptionsCollection> ExchangeFilter(const QString& Exchange) const;

    // The date serials of the indexed expirations in chain order (at most 7).
    // Raises the component failure on an empty collection.
    std::vector<double> ExpirationList() const;

    // The distinct strikes of chain expiration `Expiration` (1-based; a
    // number at or above the number of indexed expirations means the last),
    // ascending, with their offsets from the strike nearest `StockPrice`
    // (ties go to the higher strike). Element 0 is the first row.
    std::vector<StrikeRow> StrikeList(Currency StockPrice, int32_t Expiration) const;

    // The reverse of SelectOption for the option at position `Item`:
    // `Expiration` becomes its expiration class (-1 when its expiration is
    // not indexed, and then `StrikePrice` is left alone) and `StrikePrice`
    // its strike offset at `StockPrice`.
    void ItemToParams(int32_t Item, Currency StockPrice, int16_t& StrikePrice, int16_t& Expiration) const;

    // Position of the first option with exactly this strike and expiration
    // date serial; -1 when none.
    int32_t ItemIndex(Currency StrikePrice, double Expiration) const;

    // The chain expiration that expiration class `cls` stands for in a chain
    // with `indexCount` indexed expirations; 0 when the chain has none for it.
    static int32_t chainExpirationOfClass(int32_t indexCount, int32_t cls);

private:
    void CalculateSteps() const;
    void ensureIndex() const;
    // First and last position of chain expiration `expiration` (clamped to
    // the last indexed one).
    std::pair<int32_t, int32_t> rangeOf(int32_t expiration) const;
    std::vector<StrikeRow> strikeRows(Currency stockPrice, int32_t expiration) const;
    void dropIndex() { m_indexCount = 0; }

    Collection<OptionItem> m_items;
    // Expiration index, built on first need: slot k (1..7) holds the first
    // position of the k-th expiration; m_indexEnd the last position that
    // belongs to an indexed expiration.
    mutable std::array<int32_t, MaxExpirations + 1> m_slots{};
    mutable int32_t m_indexCount = 0;
    mutable int32_t m_indexEnd = 0;
};

} // namespace tw
