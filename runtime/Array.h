#pragma once

#include <cstdint>
#include <vector>

#include "runtime/RuntimeError.h"

namespace scenova {

// Element access for the dynamic tables, with the run-time checks the design
// relies on: an index outside the table raises 9 instead of reading memory
// that is not there.
template <class T>
T& Element(std::vector<T>& table, int64_t index) {
    if (index < 0 || static_cast<uint64_t>(index) >= table.size()) {
        Raise(err::SubscriptOutOfRange);
    }
    return table[static_cast<std::size_t>(index)];
}

template <class T>
const T& Element(const std::vector<T>& table, int64_t index) {
    if (index < 0 || static_cast<uint64_t>(index) >= table.size()) {
        Raise(err::SubscriptOutOfRange);
    }
    return table[static_cast<std::size_t>(index)];
}

// The highest index of a table. A table that has never been given elements
// has no bounds, so asking raises 9.
template <class T>
int32_t UBound(const std::vector<T>& table) {
    if (table.empty()) {
        Raise(err::SubscriptOutOfRange);
    }
    return static_cast<int32_t>(table.size() - 1);
}

// Resizes a table to hold indexes 0..upper, keeping its contents; new
// elements start with every number 0 and every string empty.
template <class T>
void RedimPreserve(std::vector<T>& table, int64_t upper) {
    if (upper < -1 || upper > INT32_MAX) {
        Raise(err::SubscriptOutOfRange);
    }
    table.resize(static_cast<std::size_t>(upper + 1));
}

}  // namespace scenova
