#pragma once

// A whole lesson on the headless platform: the six-second test video, a
// script of five speaker blocks, the six transport buttons, the host's two
// bars and a transcript that shows three lines at a time. Tests act as the
// user on the headless controls and read the trace and the state the window
// and controls keep.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "headless/HeadlessPlatform.h"
#include "headless/RecordingManager.h"
#include "headless/ToolHost.h"
#include "module/Module1.h"
#include "tests/support/TempDir.h"
#include "tests/support/TraceMatchers.h"

namespace scenova::headless {
inline void PrintTo(const RichText::Range& r, std::ostream* os) {
    *os << "[" << r.start << ", " << r.end << ")";
}
}  // namespace scenova::headless

namespace scenova::testing {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Signals at 0.5, 1.5, 2.5, 4 and 5 (blocks 0 to 4) and 6 (the end). Ana
// speaks twice in a row in block 2, which therefore spans two lines.
// clang-format off
inline const std::vector<std::string> kLessonScript = {
    "VIDEO lesson.avi",
    "ACTOR Ana", "TEXT Good morning.", "AVSTART 0.5", "AVEND 1.4",
    "ACTOR Ben", "TEXT Hello, Ana.",   "AVSTART 1.5", "AVEND 2.4",
    "ACTOR Ana", "TEXT How are you?",  "AVSTART 2.5", "AVEND 3.1",
    "ACTOR Ana", "TEXT Are you well?", "AVSTART 3.2", "AVEND 3.9",
    "ACTOR Ben", "TEXT Very well.",    "AVSTART 4",   "AVEND 4.9",
    "ACTOR Ana", "TEXT Goodbye.",      "AVSTART 5",   "AVEND 5.8",
};
// clang-format on

inline constexpr const char* kTransportButtons[] = {"btnTextOn",    "btnTextOff",  "btnVideoStop",
                                                    "btnVideoPlay", "btnVideoFwd", "btnVideoRew"};

class LessonTest : public ::testing::Test {
protected:
    using Range = headless::RichText::Range;

    LessonTest() {
        Module1::Get().Reset();
        std::filesystem::create_directories(lesson.Path() / "video");
        std::filesystem::create_directories(lesson.Path() / "resources");
        std::filesystem::copy_file(std::string(SCENOVA_SOURCE_DIR) + "/tests/data/six_seconds.avi",
                                   lesson.Path() / "video/lesson.avi");
        mgr->mediaPath = lesson.Folder() + "media/";
        mgr->auxiliaryPath = lesson.Folder();
        mgr->resourcePath = lesson.Folder() + "resources/";
        mgr->videoPath = lesson.Folder() + "video/";
        for (const char* button : kTransportButtons) {
            lesson.Write("media/" + std::string(button) + ".bmp", "BM");
            settings[std::string(button) + ".Bmp"] = std::string(button) + ".bmp";
        }
        // The host's bars, as their bar scripts lay them out.
        lesson.Write("resources/nav.bar", "Back, back.bmp, 0, 0\nNext, next.bmp, 40, 0\n");
        lesson.Write(
            "resources/toolbar.bar",
            "Help, help.bmp, 0, 0\nCulture Tips, tips.bmp, 40, 0\n"
            "Learning Strategies, strategies.bmp, 80, 0\nGlossary, glossary.bmp, 120, 0\n");
        settings["Nav.Script"] = "nav.bar";
        settings["Toolbar.Script"] = "toolbar.bar";
        // As at the start of a lesson: nothing to stop, the transcript shown.
        settings["btnVideoStop.Enabled"] = "False";
        settings["btnTextOn.Enabled"] = "False";
        settings["rtfText.Visible"] = "True";
        settings["rtfText.Height"] = "48";  // 720 twips: three lines
        host.Create();
    }
    ~LessonTest() override {
        host.Release();
        Module1::Get().Reset();
    }

    // IToolTalk_Init with `settings` and the script; the window is loaded.
    void Init() {
        for (const auto& [key, value] : settings) {
            mgr->settings->Add(value, key);
        }
        for (const std::string& line : script) {
            mgr->script->Add(line);
        }
        EXPECT_EQ(host.Init("scenova").value, Variant(true));
    }
    void Show() { EXPECT_FALSE(host.Show().Failed()); }
    // Init and the first Show, then a clean trace.
    void Open() {
        Init();
        Show();
        platform.GetTrace().Clear();
    }

    const headless::HeadlessWindow& W() const { return platform.Window(); }
    frmScenova& Form() { return host.Tool().Window(); }
    static const BlockInfo& Block(int32_t index) { return Module1::Get().g_Blocks.at(index); }

    // The user, followed by the message loop, as after any input.
    void Press(const std::string& button) {
        EXPECT_TRUE(W().frmRose->UserPress(button)) << button;
        platform.ProcessPending();
    }
    void Slide(int32_t value) {
        EXPECT_TRUE(W().sldVideoSlider->UserClickTo(value));
        platform.ProcessPending();
    }
    void Enter(int32_t link) {
        EXPECT_TRUE(W().rtfText->UserEnterLink(link));
        platform.ProcessPending();
    }
    void Leave(int32_t link) {
        EXPECT_TRUE(W().rtfText->UserLeaveLink(link));
        platform.ProcessPending();
    }
    void Click(int32_t link) {
        EXPECT_TRUE(W().rtfText->UserClickLink(link, 1));
        platform.ProcessPending();
    }
    void RunTo(double seconds) { platform.Loop().AdvanceTo(headless::Seconds(seconds)); }
    double Position() const { return W().movOrvMovie->CurrentPosition(); }

    // The trace from a mark on, without times, filtered by a prefix.
    std::size_t Mark() { return platform.GetTrace().LineCount(); }
    std::vector<std::string> Since(std::size_t mark, std::string_view prefix = "") {
        const auto& lines = platform.GetTrace().Lines();
        return Untimed(
            std::vector<std::string>(lines.begin() + static_cast<long>(mark), lines.end()), prefix);
    }
    // The same with times, keeping the lines that start with any prefix.
    std::vector<std::string> TimedSince(std::size_t mark,
                                        std::initializer_list<std::string_view> prefixes) {
        std::vector<std::string> out;
        const auto& lines = platform.GetTrace().Lines();
        for (auto it = lines.begin() + static_cast<long>(mark); it != lines.end(); ++it) {
            const std::string_view rest = std::string_view(*it).substr(it->find(' ') + 1);
            if (std::any_of(prefixes.begin(), prefixes.end(),
                            [&](std::string_view p) { return rest.starts_with(p); })) {
                out.push_back(*it);
            }
        }
        return out;
    }
    static std::string At(double seconds, const std::string& line) {
        return headless::Trace::FormatTime(headless::Seconds(seconds)) + " " + line;
    }
    static std::string SetState(const std::string& button, int state) {
        return "> frmRose.SetButtonState(\"" + button + "\", " + std::to_string(state) + ", True)";
    }
    static std::string GetState(const std::string& button) {
        return "> frmRose.GetButtonState(\"" + button + "\")";
    }
    static std::string Highlight(const BlockInfo& b) {
        return "> rtfText.HighlightRange(" + std::to_string(b.TextStart) + ", " +
               std::to_string(b.TextEnd) + ")";
    }

    // What the user sees.
    std::string Buttons() const {
        const auto& bar = *W().frmRose;
        return "Play " + std::to_string(bar.StateOf("btnVideoPlay")) + " Stop " +
               std::to_string(bar.StateOf("btnVideoStop")) + " Rew " +
               std::to_string(bar.StateOf("btnVideoRew")) + " Fwd " +
               std::to_string(bar.StateOf("btnVideoFwd"));
    }
    std::vector<Range> Lit() const { return W().rtfText->Highlights(); }
    static Range Of(const BlockInfo& b) { return {b.TextStart, b.TextEnd}; }
    Range LinkRange(int32_t link) const {
        const auto& l = W().rtfText->Links().at(link);
        return {l.start, l.end};
    }
    int32_t Top() const { return W().rtfText->FirstVisibleLine(); }

    scenova::testing::TempDir lesson;
    headless::HeadlessPlatform platform;
    std::shared_ptr<headless::RecordingManager> mgr =
        std::make_shared<headless::RecordingManager>(platform.Ctx());
    headless::ToolHost host{platform, mgr};
    std::map<std::string, std::string> settings;
    std::vector<std::string> script = kLessonScript;
};

}  // namespace scenova::testing
