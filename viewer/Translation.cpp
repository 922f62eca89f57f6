#include "viewer/Translation.h"

#include <algorithm>
#include <cmath>

#include "runtime/Convert.h"
#include "script/ScriptText.h"

namespace scenova::viewer {

namespace {

int64_t Milliseconds(double seconds) {
    constexpr double kFar = 1e15;
    return std::isnan(seconds) ? 0 : std::llround(std::clamp(seconds * 1000, -kFar, kFar));
}

}  // namespace

LineTime LineTimeOf(double start, double end, double unitsPerSecond) {
    return {Milliseconds(start / unitsPerSecond), Milliseconds(end / unitsPerSecond)};
}

TranslationMatch MatchTranslation(const std::vector<LineTime>& lines,
                                  const std::vector<formats::SubtitleCue>& cues) {
    TranslationMatch match;
    match.cueOfLine.assign(lines.size(), -1);
    std::vector<bool> taken(cues.size(), false);
    // The cues by start; a line looks at the few starting last before its
    // end, so that any number of lines and cues costs n log n.
    std::vector<std::size_t> order(cues.size());
    for (std::size_t cue = 0; cue < cues.size(); ++cue) {
        order[cue] = cue;
    }
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return cues[a].start < cues[b].start; });
    constexpr std::ptrdiff_t kMostLooked = 16;
    for (std::size_t line = 0; line < lines.size(); ++line) {
        const LineTime& time = lines[line];
        const auto after = std::partition_point(order.begin(), order.end(), [&](std::size_t cue) {
            return cues[cue].start < time.end;
        });
        int64_t best = 0;
        for (auto at = after; at != order.begin() && after - at < kMostLooked;) {
            const formats::SubtitleCue& cue = cues[*--at];
            const int64_t shared = std::min(time.end, cue.end) - std::max(time.start, cue.start);
            const int64_t shorter = std::min(time.end - time.start, cue.end - cue.start);
            if (shared > best && shared * 2 >= shorter) {
                best = shared;
                match.cueOfLine[line] = static_cast<int32_t>(*at);
            }
        }
        if (match.cueOfLine[line] >= 0) {
            taken[static_cast<std::size_t>(match.cueOfLine[line])] = true;
        }
    }
    for (std::size_t cue = 0; cue < cues.size(); ++cue) {
        if (!taken[cue]) {
            match.unmatchedCues.push_back(static_cast<int32_t>(cue));
        }
    }
    return match;
}

Translation ReadTranslation(std::string_view text) {
    Translation translation;
    if (text.empty()) {
        return translation;
    }
    formats::SubtitleFile file = formats::ReadSubtitles(text, std::string(kTranslationFile),
                                                        formats::SubtitleFormat::WebVtt);
    translation.errors = std::move(file.errors);
    translation.errorsAt = std::move(file.errorsAt);
    if (!translation.errors.empty()) {
        return translation;
    }
    translation.cues = std::move(file.cues);
    // The words alone: a tip is the script's to show.
    for (formats::SubtitleCue& cue : translation.cues) {
        if (const auto tip = FindCultureTip(cue.text)) {
            cue.text = std::string(TrimSpaces(std::string_view(cue.text).substr(0, tip->start)));
        }
    }
    return translation;
}

}  // namespace scenova::viewer
