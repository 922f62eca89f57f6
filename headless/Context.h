#pragma once

#include "headless/EventLoop.h"
#include "headless/Trace.h"
#include "model/Context.h"

namespace scenova::headless {

using model::EventError;
using model::Member;

// What every headless object shares: the controls' context, with the clock
// and message loop, and the trace every record goes to.
struct Context : model::Context {
    EventLoop& loop;
    Trace& trace;

    Context(EventLoop& l, Trace& t) : loop(l), trace(t) { sink = &trace; }
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;
};

}  // namespace scenova::headless
