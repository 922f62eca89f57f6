#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "runtime/Variant.h"

namespace scenova {

// The standard collection interface through which the core reads what the
// host hands over (settings, script lines). Positions count from 1. A missing
// key raises 5, a position out of range raises 9.
class ICollection {
public:
    virtual ~ICollection() = default;
    virtual int32_t Count() const = 0;
    virtual Variant Item(int32_t index) const = 0;
    virtual Variant Item(std::string_view key) const = 0;
};

// A keyed, ordered collection. Keys are optional and compared without regard
// to letter case; a duplicate key raises 457.
class Collection final : public ICollection {
public:
    int32_t Count() const override;
    Variant Item(int32_t index) const override;
    Variant Item(std::string_view key) const override;

    bool Contains(std::string_view key) const;
    void Add(Variant item, std::optional<std::string> key = std::nullopt);
    void Remove(int32_t index);
    void Remove(std::string_view key);
    void Clear();

private:
    // Most items (script lines) have no key; a pointer keeps their entries
    // small.
    struct Entry {
        Variant item;
        std::shared_ptr<const std::string> key;
    };
    void Reindex();

    std::vector<Entry> m_entries;
    std::unordered_map<std::string, std::size_t> m_byKey;  // folded key -> position from 0
};

}  // namespace scenova
