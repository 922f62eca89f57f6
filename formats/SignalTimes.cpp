#include "formats/SignalTimes.h"

#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"

namespace scenova::formats {

std::vector<double> ReadSignalTimes(std::string_view text) {
    std::vector<double> times;
    if (TrimSpaces(text).empty()) {
        return times;
    }
    std::string_view rest = text;
    while (true) {
        if (times.size() == kMaxSignalTimes) {
            Raise(err::Overflow);
        }
        const auto comma = rest.find(',');
        times.push_back(ToDouble(rest.substr(0, comma)));
        if (comma == std::string_view::npos) {
            return times;
        }
        rest.remove_prefix(comma + 1);
    }
}

}  // namespace scenova::formats
