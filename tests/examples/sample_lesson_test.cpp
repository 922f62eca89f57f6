// The sample lesson in examples/market, played on the headless host as a
// host would play it: every file it names is there and loads, and it plays
// to its end with every speaker block highlighted at its time.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "headless/HeadlessPlatform.h"
#include "headless/RecordingManager.h"
#include "headless/ToolHost.h"
#include "module/Module1.h"

namespace scenova::testing {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

const fs::path kLesson = fs::path(SCENOVA_SOURCE_DIR) / "examples" / "market";
// The length of video/market.avi as libavformat reports it.
constexpr double kVideoSeconds = 27.75;

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The lines of a text file, a trailing CR removed from each.
std::vector<std::string> ReadLines(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

// settings.ini: KEY=VALUE a line, both trimmed; empty lines and lines
// starting with ';' or '#' skipped; a later key replaces an earlier one.
std::map<std::string, std::string> ReadSettings(const fs::path& path) {
    std::map<std::string, std::string> settings;
    for (const std::string& line : ReadLines(path)) {
        const std::string_view text = Trim(line);
        if (text.empty() || text.front() == ';' || text.front() == '#') {
            continue;
        }
        const auto equals = text.find('=');
        if (equals == std::string_view::npos) {
            ADD_FAILURE() << "not a setting: " << line;
            continue;
        }
        settings[std::string(Trim(text.substr(0, equals)))] =
            std::string(Trim(text.substr(equals + 1)));
    }
    return settings;
}

// The start of every speaker block: the first AVSTART after a change of
// speaker.
std::vector<double> BlockStarts(const std::vector<std::string>& script) {
    std::vector<double> starts;
    std::string speaker;
    bool newBlock = false;
    for (const std::string& line : script) {
        if (line.starts_with("ACTOR ") && line.substr(6) != speaker) {
            speaker = line.substr(6);
            newBlock = true;
        } else if (line.starts_with("AVSTART ") && newBlock) {
            starts.push_back(std::stod(line.substr(8)));
            newBlock = false;
        }
    }
    return starts;
}

struct TimedLine {
    double time;
    std::string rest;
};

class SampleLessonTest : public ::testing::Test {
protected:
    SampleLessonTest() {
        Module1::Get().Reset();
        mgr->mediaPath = (kLesson / "media").string() + "/";
        mgr->auxiliaryPath = kLesson.string() + "/";
        mgr->resourcePath = (kLesson / "resources").string() + "/";
        mgr->videoPath = (kLesson / "video").string() + "/";
        for (const auto& [key, value] : ReadSettings(kLesson / "settings.ini")) {
            mgr->settings->Add(value, key);
        }
        for (const std::string& line : script) {
            mgr->script->Add(line);
        }
        host.Create();
    }
    ~SampleLessonTest() override {
        host.Release();
        Module1::Get().Reset();
    }

    void InitAndShow() {
        const auto init = host.Init("scenova");
        ASSERT_FALSE(init.Failed());
        ASSERT_EQ(init.value, Variant(true));
        ASSERT_FALSE(host.Show().Failed());
        platform.ProcessPending();
    }

    // The trace lines that start with prefix once their time is taken off.
    std::vector<TimedLine> Lines(std::string_view prefix) {
        std::vector<TimedLine> found;
        for (const std::string& line : platform.GetTrace().Lines()) {
            const auto space = line.find(' ');
            const std::string rest = line.substr(space + 1);
            if (rest.starts_with(prefix)) {
                found.push_back({std::stod(line.substr(0, space)), rest});
            }
        }
        return found;
    }

    // The picture of a button: "type,picture,left,top" from the settings,
    // "picture,left,top" from a bar script.
    static std::string Picture(const std::string& descriptor) {
        std::vector<std::string> fields;
        std::string::size_type from = 0;
        for (auto comma = descriptor.find(','); comma != std::string::npos;
             from = comma + 1, comma = descriptor.find(',', from)) {
            fields.push_back(descriptor.substr(from, comma - from));
        }
        fields.push_back(descriptor.substr(from));
        return fields.size() >= 3 ? fields[fields.size() - 3] : std::string();
    }

    const std::vector<std::string> script = ReadLines(kLesson / "script.txt");
    headless::HeadlessPlatform platform;
    std::shared_ptr<headless::RecordingManager> mgr =
        std::make_shared<headless::RecordingManager>(platform.Ctx());
    headless::ToolHost host{platform, mgr};
};

TEST_F(SampleLessonTest, EveryFileTheLessonNamesIsThereAndLoads) {
    InitAndShow();
    EXPECT_THAT(Lines("> mgr.ReportError"), IsEmpty());
    const Module1& module = Module1::Get();
    const headless::HeadlessWindow& window = platform.Window();

    EXPECT_NE(module.g_hLinkCursor, 0);
    ASSERT_TRUE(module.g_picButtonCursor);
    EXPECT_EQ(module.g_picButtonCursor->Width(), 32);
    EXPECT_EQ(module.g_picButtonCursor->Height(), 32);
    // The arrow's tip, at the top left, is drawn in its outline colour.
    EXPECT_EQ(platform.HeadlessGdi().GetPixel(module.g_picButtonCursor->Handle(), 0, 0),
              0x00001E3Cu);
    ASSERT_TRUE(window.form->GetPicture());
    EXPECT_EQ(window.form->GetPicture()->Width(), 640);
    ASSERT_TRUE(window.rtfText->BackPicture());
    EXPECT_EQ(window.rtfText->BackPicture()->Height(), 128);

    ASSERT_TRUE(module.g_colButtonInfo);
    EXPECT_EQ(module.g_colButtonInfo->Count(), 6);
    std::vector<std::string> captions;
    for (const auto& label : window.frmRose->Labels()) {
        captions.push_back(label.caption);
    }
    EXPECT_THAT(captions, ElementsAre("At the Market", "Unit 3: Buying fruit", "Transcript"));

    std::vector<std::string> navigation;
    std::vector<std::string> toolbar;
    for (const auto* bar :
         {window.frmRose.get(), window.frmRoseNavigation.get(), window.frmRoseToolbar.get()}) {
        for (const auto& button : bar->Buttons()) {
            EXPECT_TRUE(fs::is_regular_file(kLesson / "media" / Picture(button.descriptor)))
                << button.name << ": " << button.descriptor;
            if (bar == window.frmRoseNavigation.get()) {
                navigation.push_back(button.name);
            } else if (bar == window.frmRoseToolbar.get()) {
                toolbar.push_back(button.name);
            }
        }
    }
    EXPECT_THAT(navigation, ElementsAre("Back", "Menu", "Next"));
    EXPECT_THAT(toolbar, ElementsAre("Help", "Culture Tips", "Learning Strategies", "Glossary"));
    for (const std::string* resource :
         {&module.g_strHelp, &module.g_strCultureTip, &module.g_strLearningStrategy}) {
        EXPECT_TRUE(fs::is_regular_file(kLesson / *resource)) << *resource;
    }
    // Every spoken line, culture tips included, was found in the transcript.
    EXPECT_EQ(window.rtfText->Links().size(), 8u);
    EXPECT_EQ(Lines("> rtfText.ScrollBarVisible = True").size(), 1u);
}

TEST_F(SampleLessonTest, PlaysToTheEndHighlightingEveryBlockAtItsTime) {
    InitAndShow();
    const headless::HeadlessWindow& window = platform.Window();
    ASSERT_TRUE(window.movOrvMovie->IsOpen());
    EXPECT_NEAR(window.movOrvMovie->Duration(), kVideoSeconds, 0.01);

    ASSERT_TRUE(window.frmRose->UserPress("btnVideoPlay"));
    platform.ProcessPending();
    platform.RunFor(kVideoSeconds + 2);

    EXPECT_THAT(Lines("> mgr.ReportError"), IsEmpty());
    const std::vector<double> starts = BlockStarts(script);
    ASSERT_EQ(starts.size(), 7u);
    const std::vector<TimedLine> highlights = Lines("> rtfText.HighlightRange(");
    ASSERT_EQ(highlights.size(), starts.size());
    for (std::size_t b = 0; b < starts.size(); ++b) {
        EXPECT_NEAR(highlights[b].time, starts[b], 0.0005) << highlights[b].rest;
        if (b > 0) {
            EXPECT_NE(highlights[b].rest, highlights[b - 1].rest);
        }
    }
    // The end: the last signal stops playback and clears the highlight.
    const std::vector<TimedLine> clears = Lines("> rtfText.ClearHighlight(");
    ASSERT_FALSE(clears.empty());
    EXPECT_NEAR(clears.back().time, kVideoSeconds, 0.0005);
    EXPECT_EQ(window.movOrvMovie->State(), headless::Video::PlayState::Stopped);
    EXPECT_EQ(window.frmRose->StateOf("btnVideoPlay"), controls::button_state::Enabled);
    EXPECT_EQ(window.sldVideoSlider->Value(), static_cast<int32_t>(starts.size()) + 1);
}

}  // namespace
}  // namespace scenova::testing
