#include "runtime/Collection.h"

#include <limits>
#include <utility>

#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"

namespace scenova {

std::optional<Variant> ICollection::TryItem(std::string_view key) const {
    try {
        return Item(key);
    } catch (const RuntimeError& error) {
        if (error.number() != err::InvalidCall) {
            throw;
        }
        return std::nullopt;
    }
}

int32_t Collection::Count() const {
    return static_cast<int32_t>(m_items.size());
}

Variant Collection::Item(int32_t index) const {
    if (index < 1 || index > Count()) {
        Raise(err::SubscriptOutOfRange);
    }
    return m_items[static_cast<std::size_t>(index - 1)];
}

Variant Collection::Item(std::string_view key) const {
    const auto it = m_byKey.find(key);
    if (it == m_byKey.end()) {
        Raise(err::InvalidCall);
    }
    return m_items[it->second];
}

std::optional<Variant> Collection::TryItem(std::string_view key) const {
    const auto it = m_byKey.find(key);
    if (it == m_byKey.end()) {
        return std::nullopt;
    }
    return m_items[it->second];
}

bool Collection::Contains(std::string_view key) const {
    return m_byKey.find(key) != m_byKey.end();
}

void Collection::Add(Variant item, std::optional<std::string> key) {
    // Count() reports an int32_t; refuse to grow past what it can report.
    if (m_items.size() >= static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) {
        Raise(err::OutOfMemory);
    }
    if (key && m_byKey.find(std::string_view(*key)) != m_byKey.end()) {
        Raise(err::DuplicateKey);
    }
    const std::size_t position = m_items.size();
    m_items.push_back(std::move(item));
    if (key) {
        try {
            m_byKey.emplace(std::move(*key), position);
        } catch (...) {
            // Leave the collection as it was if the index cannot grow.
            m_items.pop_back();
            throw;
        }
    }
}

void Collection::Remove(int32_t index) {
    if (index < 1 || index > Count()) {
        Raise(err::SubscriptOutOfRange);
    }
    RemoveAt(static_cast<std::size_t>(index - 1));
}

void Collection::Remove(std::string_view key) {
    const auto it = m_byKey.find(key);
    if (it == m_byKey.end()) {
        Raise(err::InvalidCall);
    }
    RemoveAt(it->second);
}

void Collection::Clear() {
    m_items.clear();
    m_byKey.clear();
}

// Positions after the removed item shift down by one.
void Collection::RemoveAt(std::size_t position) {
    m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(position));
    for (auto it = m_byKey.begin(); it != m_byKey.end();) {
        if (it->second == position) {
            it = m_byKey.erase(it);
            continue;
        }
        if (it->second > position) {
            --it->second;
        }
        ++it;
    }
}

}  // namespace scenova
