#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "headless/EventLoop.h"
#include "model/Record.h"
#include "platform/Picture.h"
#include "runtime/Variant.h"

namespace scenova::headless {

// A value shown as it stands ("<tool>"), and a cursor handle shown by what
// it was loaded from ("<cursor 32512>").
using TraceObject = model::Shown;
using TraceCursor = model::CursorRef;

// The text of a value as the trace shows it, a string without its quotes.
std::string PlainText(const model::Value& value);

// The trace: every record of the component's interactions as one line,
//     TIME DIR OBJECT.MEMBER REST
// TIME is the virtual clock in seconds with three decimals; DIR is ">" for a
// call the component makes and "<" for a call or event delivered into it;
// REST is "(arg, ...)" for a call and " = value" for an assignment.
class Trace final : public model::RecordSink {
public:
    explicit Trace(const EventLoop& loop) : m_loop(loop) {}

    // Writes the record's line, then hands the record, stamped with the
    // virtual time, to every subscriber.
    void Take(const model::Record& record) override;

    // Called with every record as it is taken: the timeline, the checker.
    // Returns a number for Unsubscribe.
    int Subscribe(std::function<void(const model::Record&)> subscriber);
    void Unsubscribe(int id);

    // The lines so far, as separate strings (built on each call: the trace
    // of a long lesson is kept packed, see m_chunks).
    std::vector<std::string> Lines() const;
    std::size_t LineCount() const { return m_lengths.size(); }
    void Clear();

    // Called with every new line as it is written (for live output).
    void SetEcho(std::function<void(const std::string&)> echo) { m_echo = std::move(echo); }

    void NameCursor(int32_t handle, std::string name) { m_cursorNames[handle] = std::move(name); }

    std::string Format(const model::Value& value) const;

    // The TIME column for a virtual time.
    static std::string FormatTime(EventLoop::Micros time);

private:
    void Append(const model::Value& value);
    void Finish();

    const EventLoop& m_loop;
    // The lines end to end in chunks that never move once allocated, each
    // line's length apart: a start-up writes a hundred thousand lines, which
    // as strings of their own would take twice the memory.
    std::vector<std::string> m_chunks;
    std::vector<std::size_t> m_linesInChunk;
    std::vector<uint32_t> m_lengths;  // a longer line is cut
    std::string m_line;               // the line being written
    // The TIME column of the last line and the time it shows.
    std::string m_timeText;
    EventLoop::Micros m_timeOf = -1;
    std::function<void(const std::string&)> m_echo;
    std::vector<std::pair<int, std::function<void(const model::Record&)>>> m_subscribers;
    int m_lastSubscriber = 0;
    std::unordered_map<int32_t, std::string> m_cursorNames;
};

}  // namespace scenova::headless
