#include "headless/Trace.h"

#include <cstdio>

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
    std::string line = FormatTime(m_loop.Now());
    line += ' ';
    line += direction;
    line += ' ';
    line += object;
    line += '.';
    line += member;
    line += rest;
    m_lines.push_back(line);
    if (m_echo) {
        m_echo(m_lines.back());
    }
}

}  // namespace scenova::headless
