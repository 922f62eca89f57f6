#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "model/Record.h"
#include "runtime/RuntimeError.h"

namespace scenova::model {

// A run-time error that ended an event handler of the component. A real
// control receives it as a failed event call and goes on; the controls keep
// it here so that hosts and tests can show it.
struct EventError {
    std::string event;  // "frmRose.ButtonPress"
    RuntimeError error;
};

// What every control of a window shares, on every platform: where its
// records go, and the one way its events reach the component.
class Context {
public:
    // Every interaction, as records; none when null.
    RecordSink* sink = nullptr;
    std::vector<EventError> eventErrors;
    // Told of every handler that ended with a run-time error.
    std::function<void(const EventError&)> onEventError;
    // Elements the controls have gone through one by one (characters
    // searched, highlight ranges moved, signal times read or posted): work
    // that grows with the content, for tests that bound it per event.
    uint64_t elementsExamined = 0;
    // Events being delivered now, nested ones counted: while one is, the
    // controls that raised it must stay.
    int dispatching = 0;

    template <class... Args>
    void Call(std::string_view object, Member member, const Args&... args) {
        if (sink) {
            Emit(*sink, Record::Of(Record::Kind::Call, object, member), args...);
        }
    }

    template <class T>
    void Put(std::string_view object, Member property, const T& value) {
        if (sink) {
            const Value assigned = ToValue(value);
            sink->Take(Record::Assignment(Record::Kind::Put, object, property, assigned));
        }
    }

    template <class... Args>
    void Report(Member member, const Args&... args) {
        if (sink) {
            Emit(*sink, Record::Of(Record::Kind::Report, "mgr", member), args...);
        }
    }

    // Delivers one event into the component: records it and runs the
    // handler (if one is connected). A run-time error ends the handler only:
    // nothing may leave a platform's event dispatch by an exception. The
    // handler may release the control raising the event, so callers pass
    // copies and touch nothing of the control afterwards.
    template <class Handler, class... Args>
    void Raise(std::string_view object, Member event, const Handler& handler, const Args&... args) {
        if (sink) {
            Emit(*sink, Record::Of(Record::Kind::Event, object, event), args...);
        }
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
            eventErrors.push_back({std::string(object) + "." + std::string(NameOf(event)), error});
            if (onEventError) {
                onEventError(eventErrors.back());
            }
        }
    }
};

}  // namespace scenova::model
