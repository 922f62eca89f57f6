#pragma once

#include <cstdint>

#include "runtime/RuntimeError.h"

namespace scenova::testing {

// The number of the run-time error that f raises, 0 when it raises none.
template <class F>
int32_t ErrorOf(F&& f) {
    try {
        f();
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}

}  // namespace scenova::testing
