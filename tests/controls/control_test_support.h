#pragma once

// Helpers shared by the control tests: the headless world a control lives in
// and a way to read the number of the run-time error a statement raises.

#include <cstdint>
#include "tests/support/Errors.h"

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

using scenova::testing::ErrorOf;

}  // namespace scenova::test
