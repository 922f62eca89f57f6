// The lesson script through the whole startup: cue tables, host messages and
// resource commands, the transcript's links and the published cue times.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>

#include "headless/HeadlessPlatform.h"
#include "headless/RecordingManager.h"
#include "headless/ToolHost.h"
#include "module/Module1.h"
#include "tests/support/TempDir.h"
#include "tests/support/TraceMatchers.h"

namespace scenova {
namespace {

using headless::HeadlessPlatform;
using headless::RecordingManager;
using headless::ToolHost;
using scenova::testing::Untimed;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The example lesson of the script format.
const std::initializer_list<const char*> kExample = {
    "VIDEO lesson1.avi",
    "ACTOR Maria",
    "TEXT Good morning. [CT Greetings]",
    "AVSTART 0",
    "AVEND 2.5",
    "ACTOR Maria",
    "TEXT How are you?",
    "AVSTART 2.6",
    "AVEND 4",
    "ACTOR Juan",
    "TEXT Fine, thanks.",
    "AVSTART 4.2",
    "AVEND 6",
    "RESOPEN Glossary,unit1",
};

class ScriptTest : public ::testing::Test {
protected:
    ScriptTest() {
        Module1::Get().Reset();
        const std::filesystem::path video =
            std::string(SCENOVA_SOURCE_DIR) + "/tests/data/six_seconds.avi";
        std::filesystem::create_directories(lesson.Path() / "video");
        std::filesystem::copy_file(video, lesson.Path() / "video/lesson1.avi");
        std::filesystem::copy_file(video, lesson.Path() / "video/x.avi");
        mgr->videoPath = lesson.Folder() + "video/";
        mgr->mediaPath = lesson.Folder() + "media/";
        mgr->resourcePath = lesson.Folder() + "resources/";
        mgr->settings->Add(std::string("x"), std::string("Unrelated.Key"));
        host.Create();
    }
    ~ScriptTest() override { Module1::Get().Reset(); }

    // Initialises the tool with the script and starts it up.
    headless::HostResult Start(std::initializer_list<const char*> script) {
        for (const char* line : script) {
            mgr->script->Add(std::string(line));
        }
        EXPECT_EQ(host.Init("scenova").value, Variant(true));
        platform.GetTrace().Clear();
        return host.Startup();
    }
    // What the parse did: the trace up to the resource calls of the showing
    // that follows it.
    std::vector<std::string> Lines(std::string_view prefix) {
        auto lines = Untimed(platform.GetTrace().Lines());
        for (std::size_t i = lines.size(); i-- > 0;) {
            if (lines[i] == "> mgr.ResourceAction(\"Culture Tips\", 0)") {
                lines.resize(i - 1);
                break;
            }
        }
        std::vector<std::string> out;
        for (const auto& line : lines) {
            if (line.starts_with(prefix)) {
                out.push_back(line);
            }
        }
        return out;
    }
    const std::vector<BlockInfo>& Blocks() { return Module1::Get().g_Blocks; }
    const std::vector<CueInfo>& Cues() { return Module1::Get().g_Cues; }
    const std::vector<TranscriptBlock>& Transcript() { return Module1::Get().g_Transcript; }

    scenova::testing::TempDir lesson;
    HeadlessPlatform platform;
    std::shared_ptr<RecordingManager> mgr = std::make_shared<RecordingManager>(platform.Ctx());
    ToolHost host{platform, mgr};
};

TEST_F(ScriptTest, ExampleLessonFillsTheTablesAndPublishesTheCueTimes) {
    ASSERT_FALSE(Start(kExample).Failed());

    ASSERT_EQ(Blocks().size(), 2u);
    EXPECT_EQ(Blocks()[0].StartTime, 2.6);  // the first non-zero start
    EXPECT_EQ(Blocks()[0].EndTime, 4);
    EXPECT_EQ(Blocks()[1].StartTime, 4.2);
    EXPECT_EQ(Blocks()[1].EndTime, 6);
    ASSERT_EQ(Cues().size(), 3u);
    EXPECT_EQ(Cues()[1].StartTime, 2.6);
    EXPECT_EQ(Cues()[2].EndTime, 6);
    EXPECT_EQ(Cues()[2].Block, 1);
    ASSERT_EQ(Transcript().size(), 2u);
    EXPECT_EQ(Transcript()[0].Actor, "Maria");
    EXPECT_THAT(Transcript()[0].Texts, ElementsAre("Good morning.  §Greetings", "How are you?"));

    EXPECT_THAT(Lines("> mgr."), ElementsAre("> mgr.ResourceAction(\"Glossary\", 2, \"unit1\")"));
    EXPECT_THAT(Lines("> movOrvMovie.OpenMovie"),
                ElementsAre("> movOrvMovie.OpenMovie(\"" + mgr->videoPath + "lesson1.avi\", 0)"));
    EXPECT_THAT(Lines("> movOrvMovie.SetSignalTimes"),
                ElementsAre("> movOrvMovie.SetSignalTimes(\"2.6,4.2,6\")"));
    EXPECT_THAT(Lines("> movOrvMovie.EnableSignals"),
                ElementsAre("> movOrvMovie.EnableSignals(True)"));
    EXPECT_EQ(platform.Window().sldVideoSlider->Max(), 3);

    // The transcript shows each speaker once per block, and every line is a
    // link, numbered in order, over exactly the text of that line.
    const headless::RichText& transcript = *platform.Window().rtfText;
    const std::string content = transcript.Content();
    auto occurrences = [&](const std::string& word) {
        std::size_t count = 0;
        for (auto at = content.find(word); at != std::string::npos;
             at = content.find(word, at + 1)) {
            ++count;
        }
        return count;
    };
    EXPECT_EQ(occurrences("Maria"), 1u);
    EXPECT_EQ(occurrences("Juan"), 1u);
    const std::u32string expected[] = {U"Good morning.  §Greetings", U"How are you?",
                                       U"Fine, thanks."};
    ASSERT_EQ(transcript.Links().size(), 3u);
    for (int32_t i = 0; i < 3; ++i) {
        const auto& link = transcript.Links()[i];
        EXPECT_EQ(link.userID, i);
        EXPECT_EQ(link.type, 1);
        EXPECT_EQ(transcript.CodePoints().substr(link.start, link.end - link.start), expected[i]);
    }
    // Block 0 runs from its first line to the end of its second, block 1 is
    // its single line; line numbers are those of the text.
    EXPECT_EQ(Blocks()[0].TextStart, transcript.Links()[0].start);
    EXPECT_EQ(Blocks()[0].TextEnd, transcript.Links()[1].end);
    EXPECT_EQ(Blocks()[1].TextStart, transcript.Links()[2].start);
    EXPECT_EQ(Blocks()[0].FirstLine, transcript.LineOf(transcript.Links()[0].start));
    EXPECT_EQ(Blocks()[1].LastLine, transcript.LineOf(transcript.Links()[2].end));
    EXPECT_LT(Blocks()[0].LastLine, Blocks()[1].FirstLine);
}

TEST_F(ScriptTest, EqualLinesAreLinkedInOrderAndAMissingLineShiftsLaterCueNumbers) {
    // The second line shows nothing, so it cannot be found; the last carries
    // a colour marker of its own while no text colour is set, and is found as
    // the transcript shows it.
    ASSERT_FALSE(Start({"VIDEO lesson1.avi", "ACTOR Ana", "TEXT Again.", "ACTOR Ana", "TEXT \\cf0",
                        "ACTOR Ana", "TEXT Again.", "ACTOR Ben", "TEXT \\cf(1,2,3)Last."})
                     .Failed());
    const auto& links = platform.Window().rtfText->Links();
    ASSERT_EQ(links.size(), 3u);
    EXPECT_EQ(platform.Window().rtfText->CodePoints().substr(links[2].start, 5), U"Last.");
    EXPECT_EQ(links[0].userID, 0);
    EXPECT_EQ(links[1].userID, 1);  // the third line of the script
    EXPECT_EQ(links[2].userID, 2);  // the fourth
    EXPECT_LT(links[0].end, links[1].start);
    EXPECT_EQ(Cues()[1].Block, 0);
    EXPECT_EQ(Cues()[2].Block, 1);  // cue numbers follow the lines found
    EXPECT_EQ(Cues()[3].Block, 0);  // never found: left as it was
}

TEST_F(ScriptTest, ColouredLinesAreFoundWithoutTheirMarkup) {
    mgr->settings->Add(std::string("RGB(0,0,128)"), std::string("rtfText.TextFontColor"));
    mgr->settings->Add(std::string("RGB(128,0,0)"), std::string("rtfText.ActorFontColor"));
    ASSERT_FALSE(
        Start({"VIDEO lesson1.avi", "ACTOR Juan", "TEXT  Fine (really). ", "ACTOR Ana", "TEXT Hi."})
            .Failed());
    EXPECT_EQ(Transcript()[0].Actor, "\\cf(128,0,0)Juan");
    EXPECT_THAT(Transcript()[0].Texts, ElementsAre("\\cf(0,0,128)Fine (really).\\cf0"));
    const auto& links = platform.Window().rtfText->Links();
    ASSERT_EQ(links.size(), 2u);
    EXPECT_EQ(platform.Window().rtfText->CodePoints().substr(links[0].start,
                                                             links[0].end - links[0].start),
              U"Fine (really).");
    EXPECT_EQ(platform.Window().rtfText->Content().find("cf("), std::string::npos);
}

// The errors of broken scripts are trace cases (tests/cases/script-fails-*).
TEST_F(ScriptTest, AScriptThatFailsTheStartupIsParsedAgainByTheNextShow) {
    mgr->script->Add(std::string("VIDEO lesson1.avi"));
    mgr->script->Add(std::string("TEXT Hi."));
    ASSERT_EQ(host.Init("scenova").value, Variant(true));
    ASSERT_TRUE(host.Show().Failed());
    EXPECT_FALSE(platform.Window().form->Visible());
    const auto before = mgr->Calls("ResourceAction");
    const auto again = host.Show();
    ASSERT_TRUE(again.Failed());
    EXPECT_EQ(again.error->number(), err::SubscriptOutOfRange);
    EXPECT_EQ(mgr->Calls("ResourceAction"), before);
}

}  // namespace
}  // namespace scenova
