#include "model/StrategyTemplates.h"

#include "app/TwError.h"

#include <vector>

namespace tw {

namespace {

// The smallest group or strategy record: two empty texts and a zero count.
constexpr qsizetype kMinNamedRecordBytes = 12;

void requireObject(const void* value)
{
    if (!value)
        raiseRunTime(RunTime::ObjectRequired, QStringLiteral("Object required"));
}

// Reads `count` elements into fresh objects; the caller takes them over only
// when all of them were read.
template <class T>
std::vector<std::shared_ptr<T>> readElements(StgReader& in, const char* countName, qsizetype minRecordBytes)
{
    const int32_t count = in.readCount(countName, minRecordBytes);
    std::vector<std::shared_ptr<T>> elements;
    elements.reserve(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        auto element = std::make_shared<T>();
        element->Load(in);
        elements.push_back(std::move(element));
    }
    return elements;
}

template <class T>
void saveElements(StgWriter& out, const Collection<T>& items)
{
    out.writeInt32(items.Count());
    for (const auto& element : items)
        element->Save(out);
}

} // namespace

// ---- StrategyItem ----

void StrategyItem::Save(StgWriter& out) const
{
    componentCall("StrategyItem", "Save", [&] {
        out.writeInt32(m_itemType);
        out.writeInt32(m_position);
        out.writeBytes(reinterpret_cast<const char*>(m_reserved.data()), static_cast<qsizetype>(m_reserved.size()));
        out.writeInt16(m_strikePrice);
        out.writeInt16(m_expireDate);
        out.writeInt16(m_quantity);
    });
}

void StrategyItem::Load(StgReader& in)
{
    componentCall("StrategyItem", "Load", [&] {
        const QByteArray record = in.readBytes(RecordBytes, "a leg");
        StgReader fields(record);
        const int32_t itemType = fields.readInt32("a leg");
        const int32_t position = fields.readInt32("a leg");
        const QByteArray reserved = fields.readBytes(static_cast<qsizetype>(m_reserved.size()), "a leg");
        m_strikePrice = fields.readInt16("a leg");
        m_expireDate = fields.readInt16("a leg");
        m_quantity = fields.readInt16("a leg");
        m_itemType = itemType;
        m_position = position;
        std::copy(reserved.cbegin(), reserved.cend(), m_reserved.begin());
    });
}

// ---- ParamsCollection ----

ParamsCollection::ItemPtr ParamsCollection::Add(int32_t ItemType, int32_t Position, int16_t StrikePrice,
                                                int16_t ExpireDate, int16_t Quantity, const QString& sKey)
{
    return componentCall("ParamsCollection", "Add", [&] {
        auto leg = std::make_shared<StrategyItem>();
        leg->setItemType(ItemType);
        leg->setPosition(Position);
        leg->setStrikePrice(StrikePrice);
        leg->setExpireDate(ExpireDate);
        leg->setQuantity(Quantity);
        m_items.Add(leg, sKey);
        return leg;
    });
}

void copyLegs(const ParamsCollection& from, ParamsCollection& to)
{
    for (const auto& leg : from)
        to.Add(leg->ItemType(), leg->Position(), leg->StrikePrice(), leg->ExpireDate(), leg->Quantity());
}

const ParamsCollection::ItemPtr& ParamsCollection::Item(int32_t index) const
{
    return componentCall("ParamsCollection", "Item", [&]() -> const ItemPtr& { return m_items.Item(index); });
}

const ParamsCollection::ItemPtr& ParamsCollection::Item(const QString& key) const
{
    return componentCall("ParamsCollection", "Item", [&]() -> const ItemPtr& { return m_items.Item(key); });
}

void ParamsCollection::Remove(int32_t index)
{
    componentCall("ParamsCollection", "Remove", [&] { m_items.Remove(index); });
}

void ParamsCollection::Save(StgWriter& out) const
{
    componentCall("ParamsCollection", "Save", [&] { saveElements(out, m_items); });
}

void ParamsCollection::Load(StgReader& in)
{
    componentCall("ParamsCollection", "Load", [&] {
        for (auto& leg : readElements<StrategyItem>(in, "the leg count", StrategyItem::RecordBytes))
            m_items.Add(std::move(leg));
    });
}

void ParamsCollection::LoadItem(StgReader& in)
{
    componentCall("ParamsCollection", "LoadItem", [&] {
        auto leg = std::make_shared<StrategyItem>();
        leg->Load(in);
        m_items.Add(std::move(leg));
    });
}

// ---- Strategy ----

Strategy::Strategy()
    : m_params(std::make_shared<ParamsCollection>())
{
}

void Strategy::setParams(std::shared_ptr<ParamsCollection> value)
{
    componentCall("Strategy", "Params", [&] {
        requireObject(value.get());
        m_params = std::move(value);
    });
}

void Strategy::Save(StgWriter& out) const
{
    componentCall("Strategy", "Save", [&] {
        PutString(out, m_caption);
        PutString(out, m_description);
        m_params->Save(out);
    });
}

void Strategy::Load(StgReader& in)
{
    componentCall("Strategy", "Load", [&] {
        QString caption = GetString(in);
        QString description = GetString(in);
        auto params = std::make_shared<ParamsCollection>();
        params->Load(in);
        m_caption = std::move(caption);
        m_description = std::move(description);
        m_params = std::move(params);
    });
}

// ---- StrategyCollection ----

StrategyCollection::ItemPtr StrategyCollection::Add(const QString& Caption, const QString& Description,
                                                    const QString& sKey)
{
    return componentCall("StrategyCollection", "Add", [&] {
        auto strategy = std::make_shared<Strategy>();
        strategy->setCaption(Caption);
        strategy->setDescription(Description);
        m_items.Add(strategy, sKey);
        return strategy;
    });
}

const StrategyCollection::ItemPtr& StrategyCollection::Item(int32_t index) const
{
    return componentCall("StrategyCollection", "Item", [&]() -> const ItemPtr& { return m_items.Item(index); });
}

const StrategyCollection::ItemPtr& StrategyCollection::Item(const QString& key) const
{
    return componentCall("StrategyCollection", "Item", [&]() -> const ItemPtr& { return m_items.Item(key); });
}

void StrategyCollection::InsertAfter(ItemPtr Item, int32_t AfterItem)
{
    componentCall("StrategyCollection", "InsertAfter", [&] {
        if (m_items.isEmpty())
            m_items.Add(std::move(Item));
        else
            m_items.AddAfter(std::move(Item), AfterItem);
    });
}

void StrategyCollection::InsertBefore(ItemPtr Item, int32_t BeforeItem)
{
    componentCall("StrategyCollection", "InsertBefore", [&] { m_items.AddBefore(std::move(Item), BeforeItem); });
}

void StrategyCollection::Remove(int32_t index)
{
    componentCall("StrategyCollection", "Remove", [&] { m_items.Remove(index); });
}

void StrategyCollection::Save(StgWriter& out) const
{
    componentCall("StrategyCollection", "Save", [&] { saveElements(out, m_items); });
}

void StrategyCollection::Load(StgReader& in)
{
    componentCall("StrategyCollection", "Load", [&] {
        for (auto& strategy : readElements<Strategy>(in, "the strategy count", kMinNamedRecordBytes))
            m_items.Add(std::move(strategy));
    });
}

void StrategyCollection::LoadItem(StgReader& in)
{
    componentCall("StrategyCollection", "LoadItem", [&] {
        auto strategy = std::make_shared<Strategy>();
        strategy->Load(in);
        m_items.Add(std::move(strategy));
    });
}

// ---- StrategyType ----

StrategyType::StrategyType()
    : m_strategies(std::make_shared<StrategyCollection>())
{
}

void StrategyType::setStrategies(std::shared_ptr<StrategyCollection> value)
{
    componentCall("StrategyType", "Strategies", [&] {
        requireObject(value.get());
        m_strategies = std::move(value);
    });
}

void StrategyType::Save(StgWriter& out) const
{
    componentCall("StrategyType", "Save", [&] {
        PutString(out, m_caption);
        PutString(out, m_description);
        m_strategies->Save(out);
    });
}

void StrategyType::Load(StgReader& in)
{
    componentCall("StrategyType", "Load", [&] {
        QString caption = GetString(in);
        QString description = GetString(in);
        auto strategies = std::make_shared<StrategyCollection>();
        strategies->Load(in);
        m_caption = std::move(caption);
        m_description = std::move(description);
        m_strategies = std::move(strategies);
    });
}

// ---- StrategyTypeCollection ----

StrategyTypeCollection::ItemPtr StrategyTypeCollection::Add(const QString& Caption, const QString& Description,
                                                            const QString& sKey)
{
    return componentCall("StrategyTypeCollection", "Add", [&] {
        auto group = std::make_shared<StrategyType>();
        group->setCaption(Caption);
        group->setDescription(Description);
        m_items.Add(group, sKey);
        return group;
    });
}

const StrategyTypeCollection::ItemPtr& StrategyTypeCollection::Item(int32_t index) const
{
    return componentCall("StrategyTypeCollection", "Item", [&]() -> const ItemPtr& { return m_items.Item(index); });
}

const StrategyTypeCollection::ItemPtr& StrategyTypeCollection::Item(const QString& key) const
{
    return componentCall("StrategyTypeCollection", "Item", [&]() -> const ItemPtr& { return m_items.Item(key); });
}

void StrategyTypeCollection::InsertAfter(ItemPtr Item, int32_t AfterItem)
{
    componentCall("StrategyTypeCollection", "InsertAfter", [&] { m_items.AddAfter(std::move(Item), AfterItem); });
}

void StrategyTypeCollection::Remove(int32_t index)
{
    componentCall("StrategyTypeCollection", "Remove", [&] { m_items.Remove(index); });
}

void StrategyTypeCollection::Save(StgWriter& out) const
{
    componentCall("StrategyTypeCollection", "Save", [&] { saveElements(out, m_items); });
}

void StrategyTypeCollection::Load(StgReader& in)
{
    componentCall("StrategyTypeCollection", "Load", [&] {
        for (auto& group : readElements<StrategyType>(in, "the group count", kMinNamedRecordBytes))
            m_items.Add(std::move(group));
    });
}

void StrategyTypeCollection::LoadItem(StgReader& in)
{
    componentCall("StrategyTypeCollection", "LoadItem", [&] {
        auto group = std::make_shared<StrategyType>();
        group->Load(in);
        m_items.Add(std::move(group));
    });
}

} // namespace tw
