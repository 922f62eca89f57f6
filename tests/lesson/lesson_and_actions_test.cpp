// Reading lesson folders and action lists.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "lesson/Actions.h"
#include "lesson/LessonFolder.h"
#include "runtime/Convert.h"
#include "tests/support/TempDir.h"

namespace scenova::lesson {
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
        {"slide", 1, "usage"},
        {"show now", 1, "usage"},
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

// A failing random session prints its steps as text to be replayed: the
// text of an action must read back as the same action.
TEST(Actions, TextReadsBackAsTheSameAction) {
    for (const char* line :
         {"move 1.5", "move -1 2000 3 4.25", "advance 0.1", "advance 1e-7", "advance 123456789.125",
          "press frmRoseToolbar Culture Tips", "drag -3", "link-enter 7", "lost-focus"}) {
        SCOPED_TRACE(line);
        const Action action = ParseAction(line, 1);
        const Action again = ParseAction(action.Text(), 1);
        EXPECT_EQ(again.kind, action.kind);
        EXPECT_EQ(again.seconds, action.seconds);
        EXPECT_EQ(again.name, action.name);
        EXPECT_EQ(again.value, action.value);
        EXPECT_EQ(again.left, action.left);
        EXPECT_EQ(again.top, action.top);
        EXPECT_EQ(again.height, action.height);
    }
}

}  // namespace
}  // namespace scenova::lesson
