#pragma once

// Helpers shared by the control tests: the headless world a control lives in
// and a way to read the number of the run-time error a statement raises.

#include <cstdint>

#include "headless/Context.h"
#include "headless/EventLoop.h"
#include "headless/Trace.h"
#include "runtime/RuntimeError.h"

namespace scenova::test {

struct HeadlessWorld {
    headless::EventLoop loop;
    headless::Trace trace{loop};
    headless::Context ctx{loop, trace};
};

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

}  // namespace scenova::test
