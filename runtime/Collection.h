#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "runtime/Convert.h"
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
    // The item under a key, or nothing for a missing key, which is no error
    // here: readers that look up many keys that may be absent (settings)
    // need not raise and catch an error for each. The default asks Item and
    // takes its error 5 for a missing key.
    virtual std::optional<Variant> TryItem(std::string_view key) const;
};

// A keyed, ordered collection. Keys are optional and compared without regard
// to letter case; a duplicate key raises 457.
class Collection final : public ICollection {
public:
    int32_t Count() const override;
    Variant Item(int32_t index) const override;
    Variant Item(std::string_view key) const override;
    std::optional<Variant> TryItem(std::string_view key) const override;

    bool Contains(std::string_view key) const;
    void Add(Variant item, std::optional<std::string> key = std::nullopt);
    void Remove(int32_t index);
    void Remove(std::string_view key);
    void Clear();

private:
    void RemoveAt(std::size_t position);

    std::vector<Variant> m_items;
    // Keys as added, found in any letter case without an upper-case copy;
    // each maps to its item's position from 0.
    std::unordered_map<std::string, std::size_t, UCaseHash, UCaseEqual> m_byKey;
};

}  // namespace scenova
