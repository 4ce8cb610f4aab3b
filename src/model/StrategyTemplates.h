#pragma once
// The library of strategy templates: groups (StrategyType) hold strategies
// (Strategy), a strategy holds leg templates (StrategyItem). A leg names a
// kind, a position, a strike as an offset from the at-the-money strike and an
// expiration class; the evaluation resolves it against the loaded chain.
//
// Every level saves itself to and loads itself from a strategies-file stream
// (StgStream.h). Loading is all or nothing: a level reads into fresh objects
// and takes them over only when everything read well, so a damaged file
// changes nothing. Public operations that can fail raise the component
// failure of their class ("<Class> component failure").

#include "model/Collection.h"
#include "model/StgStream.h"

#include <QString>
#include <array>
#include <cstdint>
#include <memory>

namespace tw {

// Leg kinds and positions as the templates and the legs arrays store them.
namespace LegKind {
constexpr int32_t Put = 1;
constexpr int32_t Call = 2;
constexpr int32_t Stock = 3;
} // namespace LegKind
namespace LegPosition {
constexpr int32_t Short = 1;
constexpr int32_t Long = 2;
} // namespace LegPosition

// One leg template; a 22-byte record in the file.
class StrategyItem {
public:
    static constexpr int RecordBytes = 22;
    using Reserved = std::array<unsigned char, 8>;

    // 1 put, 2 call, 3 stock.
    int32_t ItemType() const { return m_itemType; }
    void setItemType(int32_t value) { m_itemType = value; }
    // 1 short, 2 long.
    int32_t Position() const { return m_position; }
    void setPosition(int32_t value) { m_position = value; }
    // Strike offset in distinct strikes from the at-the-money strike.
    int16_t StrikePrice() const { return m_strikePrice; }
    void setStrikePrice(int16_t value) { m_strikePrice = value; }
    // Expiration class 1..7 ("Near term 1" .. "LEAPS 2y").
    int16_t ExpireDate() const { return m_expireDate; }
    void setExpireDate(int16_t value) { m_expireDate = value; }
    // Contracts (options) or shares (stock).
    int16_t Quantity() const { return m_quantity; }
    void setQuantity(int16_t value) { m_quantity = value; }
    // The eight bytes of the record that no property uses: kept as loaded and
    // written back unchanged (zeros for a leg made in the program).
    const Reserved& reservedBytes() const { return m_reserved; }
    // Equal legs write the same record.
    bool operator==(const StrategyItem&) const = default;

    void Save(StgWriter& out) const;
    void Load(StgReader& in);

private:
    int32_t m_itemType = 0;
    int32_t m_position = 0;
    Reserved m_reserved{};
    int16_t m_strikePrice = 0;
    int16_t m_expireDate = 0;
    int16_t m_quantity = 0;
};

// The legs of one strategy.
class ParamsCollection {
public:
    using ItemPtr = std::shared_ptr<StrategyItem>;

    // Appends a new leg with these values (not tested) and returns it.
    ItemPtr Add(int32_t ItemType, int32_t Position, int16_t StrikePrice, int16_t ExpireDate, int16_t Quantity,
                const QString& sKey = {});
    const ItemPtr& Item(int32_t index) const;
    const ItemPtr& Item(const QString& key) const;
    int32_t Count() const { return m_items.Count(); }
    void Remove(int32_t index);
    void Clear() { m_items.Clear(); }
    Collection<StrategyItem>::const_iterator begin() const { return m_items.begin(); }
    Collection<StrategyItem>::const_iterator end() const { return m_items.end(); }

    void Save(StgWriter& out) const;
    // Reads a leg count and that many legs and appends them.
    void Load(StgReader& in);
    // Reads one leg and appends it.
    void LoadItem(StgReader& in);

private:
    Collection<StrategyItem> m_items;
};

// Appends to `to` a leg with the values of each leg of `from`, in order.
void copyLegs(const ParamsCollection& from, ParamsCollection& to);

class Strategy {
public:
    Strategy();

    const QString& Caption() const { return m_caption; }
    void setCaption(const QString& value) { m_caption = value; }
    const QString& Description() const { return m_description; }
    void setDescription(const QString& value) { m_description = value; }
    // The legs; replacing them with a null reference raises the component failure.
    const std::shared_ptr<ParamsCollection>& Params() const { return m_params; }
    void setParams(std::shared_ptr<ParamsCollection> value);

    void Save(StgWriter& out) const;
    // Reads caption, description and legs; the legs replace the current ones.
    void Load(StgReader& in);

private:
    QString m_caption;
    QString m_description;
    std::shared_ptr<ParamsCollection> m_params;
};

// The strategies of one group.
class StrategyCollection {
public:
    using ItemPtr = std::shared_ptr<Strategy>;

    // Appends a new strategy with an empty leg list and returns it.
    ItemPtr Add(const QString& Caption, const QString& Description, const QString& sKey = {});
    const ItemPtr& Item(int32_t index) const;
    const ItemPtr& Item(const QString& key) const;
    // Inserts right after position `AfterItem`; on an empty collection it
    // simply appends, whatever `AfterItem` is.
    void InsertAfter(ItemPtr Item, int32_t AfterItem);
    // Inserts right before position `BeforeItem`, which must exist.
    void InsertBefore(ItemPtr Item, int32_t BeforeItem);
    int32_t Count() const { return m_items.Count(); }
    void Remove(int32_t index);
    void Clear() { m_items.Clear(); }
    Collection<Strategy>::const_iterator begin() const { return m_items.begin(); }
    Collection<Strategy>::const_iterator end() const { return m_items.end(); }

    void Save(StgWriter& out) const;
    void Load(StgReader& in);
    void LoadItem(StgReader& in);

private:
    Collection<Strategy> m_items;
};

class StrategyType {
public:
    StrategyType();

    const QString& Caption() const { return m_caption; }
    void setCaption(const QString& value) { m_caption = value; }
    // Rich Text Format.
    const QString& Description() const { return m_description; }
    void setDescription(const QString& value) { m_description = value; }
    const std::shared_ptr<StrategyCollection>& Strategies() const { return m_strategies; }
    void setStrategies(std::shared_ptr<StrategyCollection> value);

    void Save(StgWriter& out) const;
    void Load(StgReader& in);

private:
    QString m_caption;
    std::shared_ptr<StrategyCollection> m_strategies;
    QString m_description;
};

// The whole library: the groups, and the whole content of a strategies file.
class StrategyTypeCollection {
public:
    using ItemPtr = std::shared_ptr<StrategyType>;

    // Appends a new group with an empty strategy list and returns it.
    ItemPtr Add(const QString& Caption, const QString& Description, const QString& sKey = {});
    const ItemPtr& Item(int32_t index) const;
    const ItemPtr& Item(const QString& key) const;
    // Inserts right after position `AfterItem`, which must exist.
    void InsertAfter(ItemPtr Item, int32_t AfterItem);
    int32_t Count() const { return m_items.Count(); }
    void Remove(int32_t index);
    void Clear() { m_items.Clear(); }
    Collection<StrategyType>::const_iterator begin() const { return m_items.begin(); }
    Collection<StrategyType>::const_iterator end() const { return m_items.end(); }

    void Save(StgWriter& out) const;
    // Reads a group count and that many groups and appends them after the
    // groups already held (it never clears). All or nothing.
    void Load(StgReader& in);
    void LoadItem(StgReader& in);

private:
    Collection<StrategyType> m_items;
};

} // namespace tw
