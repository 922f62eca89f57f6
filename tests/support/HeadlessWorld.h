#pragma once

#include "headless/Context.h"
#include "headless/EventLoop.h"
#include "headless/Trace.h"

namespace scenova::testing {

// The headless world a control or a gdi32 table lives in: a virtual clock
// and its trace.
struct HeadlessWorld {
    headless::EventLoop loop;
    headless::Trace trace{loop};
    headless::Context ctx{loop, trace};

    operator headless::Context&() { return ctx; }
};

}  // namespace scenova::testing
