// The command's exit status and its timeline.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/Player.h"
#include "tests/support/TempDir.h"

namespace scenova::cli {
namespace {

using ::testing::HasSubstr;

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

}  // namespace
}  // namespace scenova::cli
