// Benchmarks of lesson start-up and of the events a learner causes while a
// lesson plays, on generated lessons of 1,000 to 30,000 spoken lines with the
// sample lesson's settings (colours, separator, culture tips), media and bar
// scripts, and a thirty-hour video. See README, "Benchmarks".

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdint>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "headless/HeadlessPlatform.h"
#include "headless/RecordingManager.h"
#include "headless/ToolHost.h"
#include "lesson/LessonFolder.h"
#include "module/Module1.h"
#include "rtfbuilder/CreateRTFText.h"
#include "script/ScriptText.h"
#include "tests/support/GeneratedLesson.h"
#include "tool/CScenova.h"

namespace scenova {

// The private steps of the start-up, for timing them one by one.
struct StartupSteps {
    static bool ReadScript(CScenova& tool, std::string& videoName) {
        return tool.ReadScript(*tool.m_colScript, videoName);
    }
    static void LocateTranscriptLines(CScenova& tool) { tool.LocateTranscriptLines(); }
};

namespace {

const std::string kSource = SCENOVA_SOURCE_DIR;
const std::string kSample = kSource + "/examples/market/";

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("bench: cannot read " + path);
    }
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The script as the host hands it over: one collection item a line. Kept
// for the next round, as only the host's copy of the script would be; one
// size at a time, so that peak_MiB counts no other lesson's script.
std::shared_ptr<Collection> ScriptCollection(int spokenLines) {
    static int size = -1;
    static std::shared_ptr<Collection> collection;
    if (size != spokenLines) {
        collection.reset();
        size = spokenLines;
        collection = std::make_shared<Collection>();
        for (std::string& line : testing::GeneratedScript(spokenLines, "thirty_hours.avi")) {
            collection->Add(std::move(line));
        }
    }
    return collection;
}

double PeakMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
}

// One lesson on its own headless platform. The process-wide values allow
// one lesson at a time.
class Lesson {
public:
    explicit Lesson(int spokenLines) : Lesson(ScriptCollection(spokenLines)) {}
    explicit Lesson(std::shared_ptr<ICollection> script) {
        Module1::Get().Reset();
        static const std::shared_ptr<Collection> settings =
            lesson::ParseSettings(ReadFile(kSample + "settings.ini"));
        mgr->mediaPath = kSample + "media/";
        mgr->auxiliaryPath = kSample;
        mgr->resourcePath = kSample + "resources/";
        mgr->videoPath = kSource + "/tests/data/";
        mgr->settings = settings;
        mgr->script = std::move(script);
        host.Create();
    }
    ~Lesson() {
        host.Release();
        Module1::Get().Reset();
    }
    Lesson(const Lesson&) = delete;
    Lesson& operator=(const Lesson&) = delete;

    // IToolTalk_Init and the first IToolTalk_Show, as a host starts a lesson.
    void Start() {
        const headless::HostResult init = host.Init("scenova");
        platform.ProcessPending();
        const headless::HostResult show = host.Show();
        platform.ProcessPending();
        if (init.Failed() || init.value != Variant(true) || show.Failed() ||
            !platform.Ctx().eventErrors.empty()) {
            throw std::runtime_error("bench: the lesson did not start");
        }
    }

    const headless::HeadlessWindow& W() const { return platform.Window(); }
    CScenova& Tool() { return host.Tool(); }
    int32_t Blocks() const { return static_cast<int32_t>(Module1::Get().g_Blocks.size()); }
    // The trace grows with every call; long runs empty it now and then.
    void TrimTrace(benchmark::State& state, int64_t iteration) {
        if (iteration % 4096 == 0) {
            state.PauseTiming();
            platform.GetTrace().Clear();
            state.ResumeTiming();
        }
    }
    void CheckNoEventErrors(benchmark::State& state) {
        if (!platform.Ctx().eventErrors.empty()) {
            const auto& first = platform.Ctx().eventErrors.front();
            state.SkipWithError(
                ("event failed: " + first.event + " error " + std::to_string(first.error.number()))
                    .c_str());
        }
    }

    headless::HeadlessPlatform platform;
    std::shared_ptr<headless::RecordingManager> mgr =
        std::make_shared<headless::RecordingManager>(platform.Ctx());
    headless::ToolHost host{platform, mgr};
};

void PerLine(benchmark::State& state) {
    state.counters["per_line"] = benchmark::Counter(
        static_cast<double>(state.range(0)),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The floor: the script text split into lines and each line into its tag
// and value, nothing else.
void BM_BarePass(benchmark::State& state) {
    std::string text;
    for (const std::string& line :
         testing::GeneratedScript(static_cast<int>(state.range(0)), "thirty_hours.avi")) {
        text += line;
        text += '\n';
    }
    for (auto _ : state) {
        std::size_t tagged = 0;
        std::string_view rest = text;
        while (!rest.empty()) {
            const auto end = rest.find('\n');
            if (const auto line = SplitScriptLine(rest.substr(0, end))) {
                tagged += line->value.size();
            }
            rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        }
        benchmark::DoNotOptimize(tagged);
    }
    PerLine(state);
}

// Settings, parse, transcript, video, links and signal times: everything
// between the host's first two calls and a lesson ready to play.
void BM_Startup(benchmark::State& state) {
    const int lines = static_cast<int>(state.range(0));
    ScriptCollection(lines);
    for (auto _ : state) {
        state.PauseTiming();
        auto lesson = std::make_unique<Lesson>(lines);
        state.ResumeTiming();
        lesson->Start();
        state.PauseTiming();
        lesson.reset();
        state.ResumeTiming();
    }
    PerLine(state);
    state.counters["peak_MiB"] = PeakMiB();
}

// The steps of the start-up, each on a lesson that has started.
void BM_Parse(benchmark::State& state) {
    Lesson lesson(static_cast<int>(state.range(0)));
    lesson.Start();
    int64_t i = 0;
    for (auto _ : state) {
        std::string videoName;
        benchmark::DoNotOptimize(StartupSteps::ReadScript(lesson.Tool(), videoName));
        lesson.TrimTrace(state, ++i);
    }
    PerLine(state);
}

std::string TranscriptRtf(Lesson& lesson) {
    Module1& module = Module1::Get();
    int16_t useSeparator = lesson.Tool().Transcript().m_blnUseSeperator ? -1 : 0;
    return CreateRTFText(0, 0, 0, module.g_Transcript, module.g_TranscriptFonts, useSeparator);
}

void BM_CreateRtf(benchmark::State& state) {
    Lesson lesson(static_cast<int>(state.range(0)));
    lesson.Start();
    for (auto _ : state) {
        benchmark::DoNotOptimize(TranscriptRtf(lesson));
    }
    PerLine(state);
}

// The headless transcript control reading the RTF: its text and line index.
void BM_ReadRtf(benchmark::State& state) {
    Lesson lesson(static_cast<int>(state.range(0)));
    lesson.Start();
    const std::string rtf = TranscriptRtf(lesson);
    int64_t i = 0;
    for (auto _ : state) {
        lesson.W().rtfText->RTFContent(rtf);
        lesson.TrimTrace(state, ++i);
    }
    PerLine(state);
}

void BM_LocateLines(benchmark::State& state) {
    Lesson lesson(static_cast<int>(state.range(0)));
    lesson.Start();
    const std::string rtf = TranscriptRtf(lesson);
    for (auto _ : state) {
        state.PauseTiming();
        lesson.W().rtfText->RTFContent(rtf);  // without the links of the last round
        lesson.platform.GetTrace().Clear();
        state.ResumeTiming();
        StartupSteps::LocateTranscriptLines(lesson.Tool());
    }
    PerLine(state);
}

// Locating the lines of 100 blocks whose speakers' names are runs of one
// letter, N letters in all, each block's line the run with its last letter
// changed. The names lie between the lines, where the search for a line
// passes them: a search that compares the line at every place of a name
// costs the square of its length.
void BM_LocateLinesPastLongNames(benchmark::State& state) {
    constexpr int kBlocks = 100;
    const auto length = static_cast<std::size_t>(state.range(0) / kBlocks);
    std::string script = "VIDEO thirty_hours.avi\n";
    for (int b = 0; b < kBlocks; ++b) {
        script += "ACTOR " + std::string(length, 'x') + (b % 2 == 0 ? "a" : "b") + "\n";
        script += "TEXT " + std::string(length - 1, 'x') + "y\n";
        script += "AVSTART " + std::to_string(b) + "\nAVEND " + std::to_string(b) + ".5\n";
    }
    Lesson lesson(lesson::ParseScript(script));
    lesson.Start();
    const std::string rtf = TranscriptRtf(lesson);
    for (auto _ : state) {
        state.PauseTiming();
        lesson.W().rtfText->RTFContent(rtf);
        lesson.platform.GetTrace().Clear();
        state.ResumeTiming();
        StartupSteps::LocateTranscriptLines(lesson.Tool());
    }
    if (lesson.W().rtfText->Links().size() != kBlocks) {
        state.SkipWithError("bench: a line was not found");
    }
}

// One block signal during playback: the clock runs to the next signal and
// the window follows it. Every 200 signals playback starts again at the
// first block, untimed.
void BM_SignalDuringPlayback(benchmark::State& state) {
    Lesson lesson(static_cast<int>(state.range(0)));
    lesson.Start();
    headless::EventLoop& loop = lesson.platform.Loop();
    auto restart = [&] {
        lesson.W().frmRose->UserPress("btnVideoStop");
        lesson.platform.ProcessPending();
        lesson.W().sldVideoSlider->UserClickTo(1);
        lesson.platform.ProcessPending();
        lesson.W().frmRose->UserPress("btnVideoPlay");
        lesson.platform.ProcessPending();
    };
    restart();
    int64_t i = 0;
    for (auto _ : state) {
        if (++i % 200 == 0) {
            state.PauseTiming();
            restart();
            state.ResumeTiming();
        }
        loop.AdvanceTo(loop.NextDue());
        lesson.TrimTrace(state, i);
    }
    lesson.CheckNoEventErrors(state);
}

// One click on a transcript line, in the middle of the lesson, alternating
// between two neighbouring lines.
void BM_LinkClick(benchmark::State& state) {
    Lesson lesson(static_cast<int>(state.range(0)));
    lesson.Start();
    const int32_t middle = lesson.Blocks() / 2;
    lesson.W().sldVideoSlider->UserClickTo(middle + 1);
    lesson.platform.ProcessPending();
    const int32_t link = static_cast<int32_t>(lesson.W().rtfText->Links().size() / 2);
    int64_t i = 0;
    for (auto _ : state) {
        lesson.W().rtfText->UserClickLink(link + static_cast<int32_t>(i % 2), 1);
        lesson.platform.ProcessPending();
        lesson.TrimTrace(state, ++i);
    }
    lesson.CheckNoEventErrors(state);
}

// One change of the slider by the user, with the seek and the signal it
// causes, alternating between two neighbouring blocks in the middle.
void BM_SliderChange(benchmark::State& state) {
    Lesson lesson(static_cast<int>(state.range(0)));
    lesson.Start();
    const int32_t middle = lesson.Blocks() / 2;
    int64_t i = 0;
    for (auto _ : state) {
        lesson.W().sldVideoSlider->UserClickTo(middle + static_cast<int32_t>(i % 2));
        lesson.platform.ProcessPending();
        lesson.TrimTrace(state, ++i);
    }
    lesson.CheckNoEventErrors(state);
}

void Sizes(benchmark::internal::Benchmark* b) {
    b->Arg(1000)->Arg(10000)->Arg(30000)->Unit(benchmark::kMillisecond);
}
void ShortAndLong(benchmark::internal::Benchmark* b) {
    b->Arg(1000)->Arg(30000)->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_BarePass)->Apply(Sizes);
BENCHMARK(BM_Startup)->Apply(Sizes);
BENCHMARK(BM_Parse)->Apply(Sizes);
BENCHMARK(BM_CreateRtf)->Apply(Sizes);
BENCHMARK(BM_ReadRtf)->Apply(Sizes);
BENCHMARK(BM_LocateLines)->Apply(Sizes);
BENCHMARK(BM_LocateLinesPastLongNames)->Arg(50000)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SignalDuringPlayback)->Apply(ShortAndLong);
BENCHMARK(BM_LinkClick)->Apply(ShortAndLong);
BENCHMARK(BM_SliderChange)->Apply(ShortAndLong);

}  // namespace
}  // namespace scenova

BENCHMARK_MAIN();
