// Reading lesson folders and action lists, and the command's exit status.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/Actions.h"
#include "cli/LessonFolder.h"
#include "cli/Player.h"
#include "runtime/Convert.h"
#include "tests/support/TempDir.h"

namespace scenova::cli {
namespace {

using ::testing::HasSubstr;

std::string Text(const ICollection& collection, std::string_view key) {
    return ToText(collection.Item(key));
}

TEST(LessonSettings, KeyValueLinesWithCommentsAndLaterDuplicatesWinning) {
    const auto settings = ParseSettings(
        "; comment\n"
        "# another\n"
        "\n"
        "  movOrvMovie.Top =  12  \r\n"
        "Label(0).Caption=\"Hello = world\"\n"
        "no equals sign here\n"
        "Empty=\n"
        "MOVORVMOVIE.TOP=14\n"
        "Help= help.htm");
    EXPECT_EQ(settings->Count(), 4);
    EXPECT_EQ(Text(*settings, "movOrvMovie.Top"), "14");
    EXPECT_EQ(Text(*settings, "Label(0).Caption"), "\"Hello = world\"");
    EXPECT_EQ(Text(*settings, "Empty"), "");
    EXPECT_EQ(Text(*settings, "Help"), "help.htm");
}

TEST(LessonScript, OneItemALineKeepingEmptyLines) {
    const auto script = ParseScript("VIDEO a.avi\r\n\nACTOR  Ana \nTEXT é\n");
    ASSERT_EQ(script->Count(), 4);
    EXPECT_EQ(ToText(script->Item(2)), "");
    EXPECT_EQ(ToText(script->Item(3)), "ACTOR  Ana ");
    EXPECT_EQ(ToText(script->Item(4)), "TEXT é");
    EXPECT_EQ(ParseScript("")->Count(), 0);
    EXPECT_EQ(ParseScript("last line without a newline")->Count(), 1);
}

TEST(LessonFolder, FoldersAreAbsoluteWithATrailingSeparator) {
    scenova::testing::TempDir dir;
    dir.Write("settings.ini", "A=1\n");
    const Lesson lesson = LoadLesson(dir.Path());
    EXPECT_EQ(lesson.MediaFolder(), dir.Folder() + "media/");
    EXPECT_EQ(lesson.settings->Count(), 1);
    EXPECT_EQ(lesson.script->Count(), 0);  // no script.txt
    EXPECT_THROW(LoadLesson(dir.Path() / "missing"), LessonError);
}

TEST(Actions, ReadsEveryActionAndNamesTheFirstBadLine) {
    const auto actions = ParseActions(
        "# a whole session\n"
        "advance 2.5\n"
        "press frmRoseToolbar Culture Tips   # a name with a space\n"
        "enter frmRose btnVideoPlay\n"
        "thumb-down\n"
        "scroll\n"
        "thumb-up\n"
        "drag 3\n"
        "slide 0\n"
        "link-click 2\n"
        "move 10\n"
        "move 1 2 3 4\n"
        "lost-focus\n");
    ASSERT_EQ(actions.size(), 12u);
    EXPECT_EQ(actions[0].kind, Action::Kind::Advance);
    EXPECT_EQ(actions[0].seconds, 2.5);
    EXPECT_EQ(actions[1].bar, "frmRoseToolbar");
    EXPECT_EQ(actions[1].name, "Culture Tips");
    EXPECT_EQ(actions[1].line, 3);
    EXPECT_EQ(actions[6].value, 3);
    EXPECT_EQ(actions[8].value, 2);
    EXPECT_FALSE(actions[9].top.has_value());
    EXPECT_EQ(actions[10].height, 4.0f);
    EXPECT_EQ(actions[11].kind, Action::Kind::LostFocus);

    struct Bad {
        const char* text;
        int line;
        const char* says;
    };
    const Bad bad[] = {
        {"advance\n", 1, "usage"},
        {"show\nadvance soon\n", 2, "seconds"},
        {"advance -1", 1, "forward"},
        {"press frmRose", 1, "usage"},
        {"press frmNothing Play", 1, "unknown bar"},
        {"slide 2.5", 1, "slider position"},
        {"\n\n  jump 3", 3, "unknown action"},
        {"advance nan", 1, "seconds"},
    };
    for (const Bad& row : bad) {
        SCOPED_TRACE(row.text);
        try {
            ParseActions(row.text);
            ADD_FAILURE() << "accepted";
        } catch (const ActionError& error) {
            EXPECT_EQ(error.line(), row.line);
            EXPECT_THAT(error.what(), HasSubstr(row.says));
        }
    }
}

class PlayerTest : public ::testing::Test {
protected:
    int Run(const PlayOptions& options) {
        out.str({});
        err.str({});
        return Play(options, out, err);
    }
    void WriteLesson(const std::string& script) {
        std::filesystem::create_directories(lesson.Path() / "video");
        std::filesystem::copy_file(std::string(SCENOVA_SOURCE_DIR) + "/tests/data/six_seconds.avi",
                                   lesson.Path() / "video/lesson.avi",
                                   std::filesystem::copy_options::overwrite_existing);
        lesson.Write("settings.ini", "rtfText.Visible=True\n");
        lesson.Write("script.txt", script);
    }

    scenova::testing::TempDir lesson;
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(PlayerTest, ExitStatusTellsHowTheRunEnded) {
    PlayOptions options;
    options.lesson = lesson.Path() / "missing";
    EXPECT_EQ(Run(options), 2);
    EXPECT_THAT(err.str(), HasSubstr("no lesson folder"));

    // A broken script fails the host's Show with the run-time error.
    options.lesson = lesson.Path();
    WriteLesson("VIDEO lesson.avi\nTEXT Hello.\n");
    EXPECT_EQ(Run(options), 1);
    EXPECT_THAT(err.str(), HasSubstr("IToolTalk_Show failed: run-time error 9"));

    // A script without its video, settings with garbage lines and a lesson
    // without its media folder: reported to the host, and the run completes.
    WriteLesson("ACTOR Ana\nTEXT Hello.\n");
    lesson.Write("settings.ini", "}}}garbage\n=\n\x01\x02\nbtnVideoPlay.Bmp=play.bmp\n");
    EXPECT_EQ(Run(options), 0);
    EXPECT_THAT(out.str(), HasSubstr("error 11: No VIDEO script tag was found."));
    EXPECT_THAT(out.str(),
                HasSubstr("error 5: Unable to open " + lesson.Folder() + "media/play.bmp"));

    // Errors reported to the host are output, not failures.
    WriteLesson("VIDEO missing.avi\nACTOR Ana\nTEXT Hello.\nAVSTART 1\nAVEND 2\n");
    EXPECT_EQ(Run(options), 0);
    EXPECT_THAT(out.str(), HasSubstr("error 5: Unable to open movie: "));
    EXPECT_THAT(out.str(), HasSubstr("the lesson ran to its end"));
}

TEST_F(PlayerTest, TheTimelineShowsEveryBlockAndTheEnd) {
    WriteLesson(
        "VIDEO lesson.avi\nACTOR Ana\nTEXT Hello.\nAVSTART 1\nAVEND 2\n"
        "ACTOR Ben\nTEXT Hi, Ana.\nAVSTART 3\nAVEND 4\n");
    lesson.Write("settings.ini", "rtfText.Visible=True\nbtnVideoPlay.Bmp=play.bmp\n");
    lesson.Write("media/play.bmp", "BM");
    PlayOptions options;
    options.lesson = lesson.Path();
    ASSERT_EQ(Run(options), 0) << err.str();
    const std::string timeline = out.str();
    const auto first = timeline.find("block 1 of 2, Ana:");
    const auto second = timeline.find("block 2 of 2, Ben:");
    const auto end = timeline.find("end of the video");
    ASSERT_NE(first, std::string::npos) << timeline;
    EXPECT_LT(first, second);
    EXPECT_LT(second, end);
    EXPECT_THAT(timeline, HasSubstr("\"Hi, Ana.\""));
    EXPECT_THAT(timeline, HasSubstr("1.000     slider at 1"));
}

}  // namespace
}  // namespace scenova::cli
