// The transcript round trip: blocks of any text (any Unicode, damaged UTF-8,
// colour markers, culture tips) are written as RTF, read back by the
// transcript control, and every line that shows something is found there in
// order, as the line search of the lesson does it.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "model/RichText.h"
#include "rtfbuilder/CreateRTFText.h"
#include "runtime/ColourMarker.h"
#include "runtime/Convert.h"
#include "script/ScriptText.h"
#include "tests/support/HeadlessWorld.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace scenova;
    FuzzedDataProvider in(data, size);
    TranscriptFontInfo fonts;
    fonts.ActorFontName = in.ConsumeRandomLengthString(16);
    fonts.ActorFontSize = in.ConsumeIntegral<int16_t>();
    fonts.TextFontName = in.ConsumeRandomLengthString(16);
    fonts.TextFontSize = in.ConsumeIntegral<int16_t>();
    fonts.SeperatorChar = in.ConsumeRandomLengthString(8);
    int16_t useSeparator = in.ConsumeBool() ? -1 : 0;
    const bool coloured = in.ConsumeBool();
    const ColourComponents rgb{in.ConsumeIntegral<uint8_t>(), in.ConsumeIntegral<uint8_t>(),
                               in.ConsumeIntegral<uint8_t>()};

    std::vector<TranscriptBlock> blocks(in.ConsumeIntegralInRange<std::size_t>(1, 6));
    for (TranscriptBlock& block : blocks) {
        block.Actor = in.ConsumeRandomLengthString(24);
        block.Texts.resize(in.ConsumeIntegralInRange<std::size_t>(1, 4));
        for (std::string& text : block.Texts) {
            text = in.ConsumeRandomLengthString(64);
            // As the script parser stores a TEXT line.
            MarkCultureTips(text, "\xC2\xA7");
            if (coloured) {
                text = colour_marker::Coloured(rgb, TrimSpaces(text));
            }
        }
    }
    const std::string rtf = CreateRTFText(1, 1440, 15, blocks, fonts, useSeparator);

    testing::HeadlessWorld world;
    model::RichText control(world, "rtfText", 1);
    control.RTFContent(rtf);
    int32_t from = 0;
    for (const TranscriptBlock& block : blocks) {
        for (const std::string& line : block.Texts) {
            const std::string shown = VisibleLineText(line);
            if (shown.empty()) {
                continue;  // nothing to find or to click
            }
            const int32_t at = control.FindText(from, control.TextLength() - 1, -1, shown);
            if (at < from) {
                std::abort();  // a line the lesson could not link
            }
            from = control.MatchEnd() + 1;
        }
    }
    return 0;
}
