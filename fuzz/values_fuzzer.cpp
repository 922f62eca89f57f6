// The setting value parsers and the value conversions on arbitrary text:
// each gives a value or raises a RuntimeError with its documented number,
// and what the parsers write reads back the same.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "runtime/ColourMarker.h"
#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"
#include "script/ScriptText.h"
#include "settings/ValueParsers.h"
#include "tests/support/Errors.h"

namespace {

using namespace scenova;

// Runs f, whose run-time error must carry one of the numbers allowed;
// whether it raised none.
template <class F>
bool Try(F&& f, std::initializer_list<int32_t> allowed) {
    const int32_t error = testing::ErrorOf(f);
    if (error != 0 && std::find(allowed.begin(), allowed.end(), error) == allowed.end()) {
        std::abort();
    }
    return error == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    ColourComponents rgb{};
    bool isColour = false;
    Try([&] { isColour = ParseRGBColour(text, rgb); }, {err::TypeMismatch, err::Overflow});
    if (isColour && VisibleLineText(colour_marker::Coloured(rgb, "x")) != "x") {
        std::abort();  // the colour code is a marker the transcript hides
    }
    FontNameToIndex(text);

    double d = 0;
    if (Try([&] { d = ToDouble(text); }, {err::TypeMismatch, err::Overflow})) {
        if (!std::isfinite(d) || ToDouble(ShortestText(d)) != d) {
            std::abort();
        }
        FormatNumber(d);
        Try([&] { ToSingle(d); }, {err::Overflow});
        Try([&] { ToInteger(d); }, {err::Overflow});
        Try([&] { ToLong(d); }, {err::Overflow});
    }
    Try([&] { ToInteger(text); }, {err::TypeMismatch, err::Overflow});
    Try([&] { ToLong(text); }, {err::TypeMismatch, err::Overflow});
    Try([&] { ToSingle(text); }, {err::TypeMismatch, err::Overflow});
    Try([&] { ToBoolean(text); }, {err::TypeMismatch, err::Overflow});
    UCase(text);

    std::vector<std::string> parts{"kept"};
    int16_t n = 0;
    Try([&] { n = SplitList(text, parts); }, {err::Overflow});
    if (n < 0 || (n > 0 && parts.size() != static_cast<std::size_t>(n))) {
        std::abort();
    }
    std::string line = text;
    MarkCultureTips(line, "\xC2\xA7");
    if (line.size() > text.size() + 2) {
        std::abort();  // the marker's "[CT" and "]" make room for " §"
    }
    VisibleLineText(text);
    SplitScriptLine(text);
    return 0;
}
