#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "headless/EventLoop.h"
#include "headless/Trace.h"
#include "runtime/RuntimeError.h"

namespace scenova::headless {

// A run-time error that ended an event handler of the component. A real
// control receives it as a failed event call and goes on; the headless
// controls keep it here so tests and the command can show it.
struct EventError {
    std::string event;  // "frmRose.ButtonPress"
    RuntimeError error;
};

// What every headless object shares: the clock and message loop, and the trace.
struct Context {
    EventLoop& loop;
    Trace& trace;
    std::vector<EventError> eventErrors;
    // Elements the controls have gone through one by one (characters
    // searched, highlight ranges moved, signal times read or posted): work
    // that grows with the content, for tests that bound it per event.
    uint64_t elementsExamined = 0;
    // Events being delivered now, nested ones counted: while one is, the
    // controls that raised it must stay.
    int dispatching = 0;

    Context(EventLoop& l, Trace& t) : loop(l), trace(t) {}

    // Delivers one event into the component: traces it as "<" and runs the
    // handler (if one is connected). A run-time error ends the handler only.
    template <class Handler, class... Args>
    void Raise(std::string_view object, std::string_view event, const Handler& handler,
               const Args&... args) {
        trace.Event(object, event, args...);
        if (!handler) {
            return;
        }
        struct Dispatching {
            int& depth;
            explicit Dispatching(int& d) : depth(++d) {}
            ~Dispatching() { --depth; }
        } dispatch(dispatching);
        try {
            handler(args...);
        } catch (const RuntimeError& error) {
            eventErrors.push_back({std::string(object) + "." + std::string(event), error});
        }
    }
};

}  // namespace scenova::headless
