// The RTF reader on arbitrary bytes: it must read any input to its end,
// never show more characters than the input has bytes, and the headless
// transcript control must take the result with its lines and searches.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "formats/RtfReader.h"
#include "model/RichText.h"
#include "tests/support/HeadlessWorld.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace scenova::formats;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::u32string text = ReadRtfText(input);
    if (text.size() > size) {
        std::abort();
    }
    // UTF-8 in and out: what decoding gives, encoding keeps.
    if (DecodeUtf8(EncodeUtf8(DecodeUtf8(input))) != DecodeUtf8(input)) {
        std::abort();
    }

    scenova::testing::HeadlessWorld world;
    scenova::model::RichText control(world, "rtfText", 1);
    control.RTFContent(std::string(input));
    if (control.CodePoints() != text || control.LineCount() < 1) {
        std::abort();
    }
    const int32_t length = control.TextLength();
    control.CaretPosition(length / 2);
    control.ScrollLines(static_cast<int16_t>(control.CaretLine()));
    if (length > 0) {
        const std::string probe = EncodeUtf8(text.substr(text.size() / 3, 3));
        // A piece of the text is always found in it, inside words too.
        constexpr int32_t kDownMatchCase =
            scenova::controls::find_flags::Down | scenova::controls::find_flags::MatchCase;
        if (control.FindText(0, length, kDownMatchCase, probe) < 0) {
            std::abort();
        }
    }
    return 0;
}
