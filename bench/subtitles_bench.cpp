// The subtitle import on the worst shapes of markup a cue may hold: N tags
// opened, then N closed that match none of them, or N characters of text
// inside them. Linear reading gives 8 from N = 10,000 to 80,000; a search of
// the open tags at each close or each character gives 64.

#include <benchmark/benchmark.h>

#include <string>

#include "formats/Subtitles.h"

namespace scenova {
namespace {

using formats::SubtitleFormat;

std::string Repeated(const std::string& piece, std::size_t times) {
    std::string out;
    out.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) {
        out += piece;
    }
    return out;
}

void ReadCue(benchmark::State& state, const std::string& open, const std::string& after,
             SubtitleFormat format) {
    const auto n = static_cast<std::size_t>(state.range(0));
    const std::string text =
        (format == SubtitleFormat::WebVtt ? "WEBVTT\n\n" : "1\n") +
        std::string(format == SubtitleFormat::WebVtt ? "00:00:01.000 --> 00:00:02.000\nx"
                                                     : "00:00:01,000 --> 00:00:02,000\nx") +
        Repeated(open, n) + Repeated(after, n) + "\n";
    for (auto _ : state) {
        const formats::SubtitleFile file = formats::ReadSubtitles(text, "bench", format);
        if (file.cues.size() != 1) {
            state.SkipWithError("bench: the cue was not read");
        }
        benchmark::DoNotOptimize(file);
    }
    state.counters["per_tag"] =
        benchmark::Counter(static_cast<double>(n), benchmark::Counter::kIsIterationInvariantRate |
                                                       benchmark::Counter::kInvert);
}

void BM_ImportUnmatchedCloses(benchmark::State& state) {
    ReadCue(state, "<c>", "</b>", SubtitleFormat::WebVtt);
}
void BM_ImportTextInOpenTags(benchmark::State& state) {
    ReadCue(state, "<c>", "y", SubtitleFormat::WebVtt);
}
void BM_ImportTextInOpenTips(benchmark::State& state) {
    ReadCue(state, "<c.tip>", "y", SubtitleFormat::WebVtt);
}
void BM_ImportNestedCloses(benchmark::State& state) {
    ReadCue(state, "<c>", "</c>", SubtitleFormat::WebVtt);
}
void BM_ImportSrtTags(benchmark::State& state) {
    ReadCue(state, "<b>", "</i>", SubtitleFormat::Srt);
}

void Tags(benchmark::internal::Benchmark* b) {
    b->Arg(10000)->Arg(80000)->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_ImportUnmatchedCloses)->Apply(Tags);
BENCHMARK(BM_ImportTextInOpenTags)->Apply(Tags);
BENCHMARK(BM_ImportTextInOpenTips)->Apply(Tags);
BENCHMARK(BM_ImportNestedCloses)->Apply(Tags);
BENCHMARK(BM_ImportSrtTags)->Apply(Tags);

}  // namespace
}  // namespace scenova
