#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace scenova {

// A value whose type is known only at run time: what crosses the host's
// collections and optional arguments. Empty is the state of a missing value.
using Variant = std::variant<std::monostate, bool, int16_t, int32_t, float, double, std::string>;

inline bool IsEmpty(const Variant& v) {
    return std::holds_alternative<std::monostate>(v);
}

}  // namespace scenova
