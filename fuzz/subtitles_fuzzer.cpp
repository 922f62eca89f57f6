// The subtitle import on arbitrary text, read both as WebVTT and as SubRip:
// it never throws, a file with errors gives no cues, every cue it gives is
// one a script can hold (text, an end after its start), and the cues written
// out as WebVTT (as the export writes them) read back as the same cues. A
// cue's culture tip, if it has one, ends its text, where the transcript
// shows it: what follows a tip would be lost.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "formats/Subtitles.h"
#include "script/ScriptText.h"

namespace {

using namespace scenova::formats;

void Check(std::string_view text, SubtitleFormat format) {
    const SubtitleFile file = ReadSubtitles(text, "fuzz", format);
    if (!file.errors.empty()) {
        if (!file.cues.empty()) {
            std::abort();
        }
        return;
    }
    for (const SubtitleCue& cue : file.cues) {
        const auto tip = scenova::FindCultureTip(cue.text);
        if (cue.line < 1 || cue.start < 0 || cue.end <= cue.start || cue.text.empty() ||
            (tip && tip->close != cue.text.size() - 1)) {
            std::abort();
        }
    }
    const SubtitleFile again =
        ReadSubtitles(WriteWebVtt(file.cues), "fuzz", SubtitleFormat::WebVtt);
    if (!again.errors.empty() || again.cues.size() != file.cues.size()) {
        std::abort();
    }
    for (std::size_t i = 0; i < file.cues.size(); ++i) {
        const SubtitleCue& a = file.cues[i];
        const SubtitleCue& b = again.cues[i];
        if (a.start != b.start || a.end != b.end || a.speaker != b.speaker || a.text != b.text) {
            std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Check(text, SubtitleFormat::WebVtt);
    Check(text, SubtitleFormat::Srt);
    return 0;
}
