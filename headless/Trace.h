#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "headless/EventLoop.h"
#include "platform/Picture.h"
#include "runtime/Variant.h"

namespace scenova::headless {

// A value shown as it stands, for objects: "<tool>", "<collection 12>".
struct TraceObject {
    std::string text;
};

// A cursor handle; shown by what it was loaded from: "<cursor 32512>".
struct TraceCursor {
    int32_t handle;
};

// The trace of every interaction of the component, one line each:
//     TIME DIR OBJECT.MEMBER REST
// TIME is the virtual clock in seconds with three decimals; DIR is ">" for a
// call the component makes and "<" for a call or event delivered into it;
// REST is "(arg, ...)" for a call and " = value" for a property assignment.
// Property reads are not traced.
class Trace {
public:
    explicit Trace(const EventLoop& loop) : m_loop(loop) {}

    template <class... Args>
    void Call(std::string_view object, std::string_view member, const Args&... args) {
        WriteCall('>', object, member, args...);
    }

    template <class T>
    void Put(std::string_view object, std::string_view property, const T& value) {
        Write('>', object, property, " = " + Format(value));
    }

    template <class... Args>
    void Event(std::string_view object, std::string_view member, const Args&... args) {
        WriteCall('<', object, member, args...);
    }

    // A line whose REST is already formatted.
    void Write(char direction, std::string_view object, std::string_view member,
               const std::string& rest);

    template <class... Args>
    std::string Arguments(const Args&... args) const {
        std::vector<std::string> formatted;
        (Append(formatted, args), ...);
        return Arguments(formatted);
    }

    // The lines so far, as separate strings (built on each call: the trace
    // of a long lesson is kept packed, see m_chunks).
    std::vector<std::string> Lines() const;
    std::size_t LineCount() const { return m_lengths.size(); }
    void Clear();

    // Called with every new line as it is written (for live output).
    void SetEcho(std::function<void(const std::string&)> echo) { m_echo = std::move(echo); }

    void NameCursor(int32_t handle, std::string name) { m_cursorNames[handle] = std::move(name); }

    std::string Format(const std::string& value) const;
    std::string Format(std::string_view value) const { return Format(std::string(value)); }
    std::string Format(const char* value) const { return Format(std::string(value)); }
    std::string Format(bool value) const;
    std::string Format(int16_t value) const;
    std::string Format(int32_t value) const;
    std::string Format(int64_t value) const;
    std::string Format(float value) const;
    std::string Format(double value) const;
    std::string Format(const Variant& value) const;
    std::string Format(const Picture& value) const;
    std::string Format(const TraceObject& value) const { return value.text; }
    std::string Format(const TraceCursor& value) const;

    // The TIME column for a virtual time.
    static std::string FormatTime(EventLoop::Micros time);

private:
    // Calls are written straight into the line, without a string per
    // argument list: a lesson's start-up writes a hundred thousand of them.
    template <class... Args>
    void WriteCall(char direction, std::string_view object, std::string_view member,
                   const Args&... args) {
        Begin(direction, object, member);
        m_line += '(';
        [[maybe_unused]] bool first = true;
        (AppendArgument(first, args), ...);
        m_line += ')';
        Finish();
    }
    template <class T>
    void AppendArgument(bool& first, const T& value) {
        if (!first) {
            m_line += ", ";
        }
        first = false;
        m_line += Format(value);
    }
    template <class T>
    void AppendArgument(bool& first, const std::optional<T>& value) {
        if (value) {
            AppendArgument(first, *value);
        }
    }
    void Begin(char direction, std::string_view object, std::string_view member);
    void Finish();

    template <class T>
    void Append(std::vector<std::string>& out, const T& value) const {
        out.push_back(Format(value));
    }
    // A missing optional argument is left out.
    template <class T>
    void Append(std::vector<std::string>& out, const std::optional<T>& value) const {
        if (value) {
            out.push_back(Format(*value));
        }
    }
    static std::string Arguments(const std::vector<std::string>& formatted);

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
    std::unordered_map<int32_t, std::string> m_cursorNames;
};

}  // namespace scenova::headless
