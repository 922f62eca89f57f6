#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace scenova::testing {

// The trace lines without their time column, optionally only those that
// start with `prefix` ("> mgr.", "< tool.").
inline std::vector<std::string> Untimed(const std::vector<std::string>& lines,
                                        std::string_view prefix = "") {
    std::vector<std::string> out;
    for (const std::string& line : lines) {
        const auto space = line.find(' ');
        std::string rest = space == std::string::npos ? line : line.substr(space + 1);
        if (rest.compare(0, prefix.size(), prefix) == 0) {
            out.push_back(std::move(rest));
        }
    }
    return out;
}

}  // namespace scenova::testing
