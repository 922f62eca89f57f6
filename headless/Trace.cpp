#include "headless/Trace.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "runtime/Convert.h"

namespace scenova::headless {

namespace {

void AppendQuoted(std::string& out, std::string_view value) {
    out += '"';
    for (char c : value) {
        if (c == '"') {
            out += '"';
        }
        out += c;
    }
    out += '"';
}

}  // namespace

std::string PlainText(const model::Value& value) {
    return std::visit(
        [](const auto& v) -> std::string {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::monostate>) {
                return "Empty";
            } else if constexpr (std::is_same_v<T, bool>) {
                return v ? "True" : "False";
            } else if constexpr (std::is_same_v<T, float> || std::is_same_v<T, double>) {
                return ShortestText(v);
            } else if constexpr (std::is_same_v<T, std::string_view>) {
                return std::string(v);
            } else if constexpr (std::is_same_v<T, const IPicture*>) {
                return v == nullptr ? "Nothing"
                                    : "<picture " + std::to_string(v->Width()) + "x" +
                                          std::to_string(v->Height()) + ">";
            } else if constexpr (std::is_same_v<T, model::Shown>) {
                return std::string(v.text);
            } else if constexpr (std::is_same_v<T, model::CursorRef>) {
                return std::to_string(v.handle);
            } else {
                return std::to_string(v);
            }
        },
        value);
}

std::string Trace::Format(const model::Value& value) const {
    if (const auto* text = std::get_if<std::string_view>(&value)) {
        std::string out;
        out.reserve(text->size() + 2);
        AppendQuoted(out, *text);
        return out;
    }
    if (const auto* cursor = std::get_if<model::CursorRef>(&value)) {
        auto it = m_cursorNames.find(cursor->handle);
        if (it != m_cursorNames.end()) {
            return "<cursor " + it->second + ">";
        }
    }
    return PlainText(value);
}

std::string Trace::FormatTime(EventLoop::Micros time) {
    const int64_t millis = time / 1000;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%lld.%03lld", static_cast<long long>(millis / 1000),
                  static_cast<long long>(millis % 1000));
    return buffer;
}

int Trace::Subscribe(std::function<void(const model::Record&)> subscriber) {
    m_subscribers.emplace_back(++m_lastSubscriber, std::move(subscriber));
    return m_lastSubscriber;
}

void Trace::Unsubscribe(int id) {
    std::erase_if(m_subscribers, [id](const auto& entry) { return entry.first == id; });
}

// Calls are written straight into the line: a lesson's start-up writes a
// hundred thousand of them.
void Trace::Append(const model::Value& value) {
    if (const auto* text = std::get_if<std::string_view>(&value)) {
        AppendQuoted(m_line, *text);
    } else {
        m_line += Format(value);
    }
}

void Trace::Take(const model::Record& record) {
    if (m_loop.Now() != m_timeOf) {
        m_timeOf = m_loop.Now();
        m_timeText = FormatTime(m_timeOf);
    }
    std::string& line = m_line;
    line = m_timeText;
    line += record.Inbound() ? " < " : " > ";
    line += record.object;
    line += '.';
    line += NameOf(record.member);
    if (record.hasArgs) {
        line += '(';
        for (std::size_t i = 0; i < record.args.size(); ++i) {
            if (i != 0) {
                line += ", ";
            }
            Append(record.args[i]);
        }
        line += ')';
    }
    if (record.assigned != nullptr) {
        line += " = ";
        Append(*record.assigned);
    }
    Finish();
    if (!m_subscribers.empty()) {
        model::Record stamped = record;
        stamped.time = m_timeOf;
        // A subscriber may subscribe or leave while it is told.
        const auto subscribers = m_subscribers;
        for (const auto& [id, subscriber] : subscribers) {
            subscriber(stamped);
        }
    }
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
