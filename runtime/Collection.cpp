#include "runtime/Collection.h"

#include <limits>
#include <utility>

#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"

namespace scenova {

int32_t Collection::Count() const {
    return static_cast<int32_t>(m_entries.size());
}

Variant Collection::Item(int32_t index) const {
    if (index < 1 || index > Count()) {
        Raise(err::SubscriptOutOfRange);
    }
    return m_entries[static_cast<std::size_t>(index - 1)].item;
}

Variant Collection::Item(std::string_view key) const {
    const auto it = m_byKey.find(UCase(key));
    if (it == m_byKey.end()) {
        Raise(err::InvalidCall);
    }
    return m_entries[it->second].item;
}

bool Collection::Contains(std::string_view key) const {
    return m_byKey.find(UCase(key)) != m_byKey.end();
}

void Collection::Add(Variant item, std::optional<std::string> key) {
    // Count() reports an int32_t; refuse to grow past what it can report.
    if (m_entries.size() >= static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) {
        Raise(err::OutOfMemory);
    }
    std::string folded;
    if (key) {
        folded = UCase(*key);
        if (m_byKey.find(folded) != m_byKey.end()) {
            Raise(err::DuplicateKey);
        }
    }
    const std::size_t position = m_entries.size();
    m_entries.push_back(Entry{
        std::move(item), key ? std::make_shared<const std::string>(std::move(*key)) : nullptr});
    if (m_entries.back().key) {
        try {
            m_byKey.emplace(std::move(folded), position);
        } catch (...) {
            // Leave the collection as it was if the index cannot grow.
            m_entries.pop_back();
            throw;
        }
    }
}

void Collection::Remove(int32_t index) {
    if (index < 1 || index > Count()) {
        Raise(err::SubscriptOutOfRange);
    }
    m_entries.erase(m_entries.begin() + (index - 1));
    Reindex();
}

void Collection::Remove(std::string_view key) {
    const auto it = m_byKey.find(UCase(key));
    if (it == m_byKey.end()) {
        Raise(err::InvalidCall);
    }
    m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(it->second));
    Reindex();
}

void Collection::Clear() {
    m_entries.clear();
    m_byKey.clear();
}

// Positions after a removed entry shift down by one, so the index of folded
// keys is rebuilt.
void Collection::Reindex() {
    m_byKey.clear();
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].key) {
            m_byKey.emplace(UCase(*m_entries[i].key), i);
        }
    }
}

}  // namespace scenova
