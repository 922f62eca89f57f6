// The sample lesson in examples/market, played on the headless host as a
// host would play it: every file it names is there and loads. How it plays
// is checked against its reviewed traces in tests/cli/.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "headless/HeadlessPlatform.h"
#include "headless/RecordingManager.h"
#include "headless/ToolHost.h"
#include "lesson/LessonFolder.h"
#include "module/Module1.h"

namespace scenova::testing {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

const fs::path kLesson = fs::path(SCENOVA_SOURCE_DIR) / "examples" / "market";

class SampleLessonTest : public ::testing::Test {
protected:
    SampleLessonTest() {
        Module1::Get().Reset();
        mgr->Serve(lesson::LoadLesson(kLesson));
        host.Create();
    }
    ~SampleLessonTest() override {
        host.Release();
        Module1::Get().Reset();
    }

    // The trace lines that start with prefix once their time is taken off.
    std::vector<std::string> Lines(std::string_view prefix) {
        std::vector<std::string> found;
        for (const std::string& line : platform.GetTrace().Lines()) {
            const std::string rest = line.substr(line.find(' ') + 1);
            if (rest.starts_with(prefix)) {
                found.push_back(rest);
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

    headless::HeadlessPlatform platform;
    std::shared_ptr<headless::RecordingManager> mgr =
        std::make_shared<headless::RecordingManager>(platform.Ctx());
    headless::ToolHost host{platform, mgr};
};

TEST_F(SampleLessonTest, EveryFileTheLessonNamesIsThereAndLoads) {
    const auto init = host.Init("scenova");
    ASSERT_FALSE(init.Failed());
    ASSERT_EQ(init.value, Variant(true));
    ASSERT_FALSE(host.Show().Failed());
    platform.ProcessPending();
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

}  // namespace
}  // namespace scenova::testing
