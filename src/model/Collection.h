#pragma once
// The ordered collection behind every list of the model: positions 1..Count,
// an optional string key per element (compared without regard to case),
// insertion before or after a position, removal by position or key, and
// enumeration in order. Elements are shared references: the same object may
// sit in several collections (the exchange-filtered sides of a chain share
// their options with the stock's own sides).
//
// Failures raise the run-time errors a classic collection raises: 9 for a
// position outside 1..Count, 5 for an unknown key, 457 for a key already in
// use, 424 for a missing object. The model classes turn them into their
// component failures.

#include "app/TwError.h"

#include <QHash>
#include <QString>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace tw {

namespace collection_detail {
constexpr int32_t DuplicateKey = 457;
[[noreturn]] void badPosition();
[[noreturn]] void badKey();
[[noreturn]] void duplicateKey();
[[noreturn]] void missingObject();
} // namespace collection_detail

template <class T>
class Collection {
public:
    using Ptr = std::shared_ptr<T>;
    using const_iterator = typename std::vector<Ptr>::const_iterator;

    int32_t Count() const { return static_cast<int32_t>(m_items.size()); }
    bool isEmpty() const { return m_items.empty(); }

    const Ptr& Item(int32_t index) const { return m_items[slot(index)]; }
    const Ptr& Item(const QString& key) const
    {
        const auto it = m_byKey.constFind(key.toCaseFolded());
        if (key.isEmpty() || it == m_byKey.constEnd())
            collection_detail::badKey();
        return it.value();
    }

    // Appends; an empty key means no key.
    void Add(Ptr item, const QString& key = {}) { insertAt(m_items.size(), std::move(item), key); }
    // Inserts right before position `before` (1..Count).
    void AddBefore(Ptr item, int32_t before, const QString& key = {})
    {
        insertAt(slot(before), std::move(item), key);
    }
    // Inserts right after position `after` (1..Count).
    void AddAfter(Ptr item, int32_t after, const QString& key = {})
    {
        insertAt(slot(after) + 1, std::move(item), key);
    }

    void Remove(int32_t index)
    {
        const size_t i = slot(index);
        if (!m_keys.empty()) {
            if (!m_keys[i].isEmpty())
                m_byKey.remove(m_keys[i]);
            m_keys.erase(m_keys.begin() + static_cast<std::ptrdiff_t>(i));
        }
        m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(i));
    }
    void Remove(const QString& key)
    {
        const QString folded = key.toCaseFolded();
        for (size_t i = 0; !folded.isEmpty() && i < m_keys.size(); ++i) {
            if (m_keys[i] == folded) {
                Remove(static_cast<int32_t>(i + 1));
                return;
            }
        }
        collection_detail::badKey();
    }
    void Clear()
    {
        m_items.clear();
        m_keys.clear();
        m_byKey.clear();
    }

    const_iterator begin() const { return m_items.cbegin(); }
    const_iterator end() const { return m_items.cend(); }
    void reserve(size_t n) { m_items.reserve(n); }

private:
    size_t slot(int32_t index) const
    {
        if (index < 1 || index > Count())
            collection_detail::badPosition();
        return static_cast<size_t>(index - 1);
    }

    void insertAt(size_t i, Ptr item, const QString& key)
    {
        if (!item)
            collection_detail::missingObject();
        const QString folded = key.toCaseFolded();
        if (!folded.isEmpty() && m_byKey.contains(folded))
            collection_detail::duplicateKey();
        // Keys are kept from the first one on: a collection without keys (a
        // side of a big chain) spends nothing on them.
        if (!folded.isEmpty() && m_keys.empty())
            m_keys.resize(m_items.size());
        m_items.insert(m_items.begin() + static_cast<std::ptrdiff_t>(i), item);
        if (!folded.isEmpty() || !m_keys.empty())
            m_keys.insert(m_keys.begin() + static_cast<std::ptrdiff_t>(i), folded);
        if (!folded.isEmpty())
            m_byKey.insert(folded, std::move(item));
    }

    std::vector<Ptr> m_items;
    std::vector<QString> m_keys; // case-folded, empty for none; none at all until a key is given
    QHash<QString, Ptr> m_byKey;
};

} // namespace tw
