#include "headless/Trace.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "runtime/Convert.h"

namespace scenova::headless {

std::string Trace::Format(const std::string& value) const {
    std::string out;
    out.reserve(value.size() + 2);
    out += '"';
    for (char c : value) {
        if (c == '"') {
            out += '"';
        }
        out += c;
    }
    out += '"';
    return out;
}

std::string Trace::Format(bool value) const {
    return value ? "True" : "False";
}
std::string Trace::Format(int16_t value) const {
    return std::to_string(value);
}
std::string Trace::Format(int32_t value) const {
    return std::to_string(value);
}
std::string Trace::Format(int64_t value) const {
    return std::to_string(value);
}
std::string Trace::Format(float value) const {
    return ShortestText(value);
}
std::string Trace::Format(double value) const {
    return ShortestText(value);
}

std::string Trace::Format(const Variant& value) const {
    return std::visit(
        [this](const auto& v) -> std::string {
            if constexpr (std::is_same_v<std::decay_t<decltype(v)>, std::monostate>) {
                return "Empty";
            } else {
                return Format(v);
            }
        },
        value);
}

std::string Trace::Format(const Picture& value) const {
    if (!value) {
        return "Nothing";
    }
    return "<picture " + std::to_string(value->Width()) + "x" + std::to_string(value->Height()) +
           ">";
}

std::string Trace::Format(const TraceCursor& value) const {
    auto it = m_cursorNames.find(value.handle);
    if (it == m_cursorNames.end()) {
        return std::to_string(value.handle);  // not a cursor anyone loaded
    }
    return "<cursor " + it->second + ">";
}

std::string Trace::FormatTime(EventLoop::Micros time) {
    const int64_t millis = time / 1000;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%lld.%03lld", static_cast<long long>(millis / 1000),
                  static_cast<long long>(millis % 1000));
    return buffer;
}

std::string Trace::Arguments(const std::vector<std::string>& formatted) {
    std::string out = "(";
    for (std::size_t i = 0; i < formatted.size(); ++i) {
        if (i != 0) {
            out += ", ";
        }
        out += formatted[i];
    }
    out += ')';
    return out;
}

void Trace::Write(char direction, std::string_view object, std::string_view member,
                  const std::string& rest) {
    Begin(direction, object, member);
    m_line += rest;
    Finish();
}

void Trace::Begin(char direction, std::string_view object, std::string_view member) {
    if (m_loop.Now() != m_timeOf) {
        m_timeOf = m_loop.Now();
        m_timeText = FormatTime(m_timeOf);
    }
    std::string& line = m_line;
    line = m_timeText;
    line += ' ';
    line += direction;
    line += ' ';
    line += object;
    line += '.';
    line += member;
}

void Trace::Finish() {
    std::string& line = m_line;
    if (line.size() > std::numeric_limits<uint32_t>::max()) {
        line.resize(std::numeric_limits<uint32_t>::max());
    }
    // Chunks grow from 4 KiB to 256 KiB: most traces are short (a test, a
    // fuzzer's run), and a first chunk as large as the last would cost them a
    // fresh mapping of their own.
    constexpr std::size_t kFirstChunk = std::size_t{1} << 12;
    constexpr std::size_t kLastChunk = std::size_t{1} << 18;
    if (m_chunks.empty() || m_chunks.back().capacity() - m_chunks.back().size() < line.size()) {
        const std::size_t chunk =
            std::min(kLastChunk, kFirstChunk << std::min<std::size_t>(m_chunks.size(), 6));
        m_chunks.emplace_back().reserve(std::max(chunk, line.size()));
        m_linesInChunk.push_back(0);
    }
    m_chunks.back() += line;
    ++m_linesInChunk.back();
    m_lengths.push_back(static_cast<uint32_t>(line.size()));
    if (m_echo) {
        m_echo(line);
    }
}

std::vector<std::string> Trace::Lines() const {
    std::vector<std::string> lines;
    lines.reserve(m_lengths.size());
    std::size_t next = 0;
    for (std::size_t c = 0; c < m_chunks.size(); ++c) {
        std::size_t at = 0;
        for (std::size_t i = 0; i < m_linesInChunk[c]; ++i, ++next) {
            lines.emplace_back(m_chunks[c], at, m_lengths[next]);
            at += m_lengths[next];
        }
    }
    return lines;
}

void Trace::Clear() {
    m_chunks.clear();
    m_linesInChunk.clear();
    m_lengths.clear();
}

}  // namespace scenova::headless
