// Reading lesson folders. How settings.ini and action lists read is in the
// trace cases (settings-file-syntax, settings-none, actions-refused-*).

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "lesson/LessonFolder.h"
#include "tests/support/TempDir.h"

namespace scenova::lesson {
namespace {

// A lesson's files are read only when they are ordinary files within their
// limits: a link to a device, a FIFO or a file past its limit is named and
// refused, never read without end or waited on. A script's empty lines take
// no memory.
TEST(LessonFolder, ReadsOnlyOrdinaryFilesWithinTheirLimits) {
    namespace fs = std::filesystem;
    testing::TempDir lesson;
    const auto script = lesson.Path() / "script.txt";
    const auto settings = lesson.Path() / "settings.ini";
    auto outcome = [&] {
        try {
            return std::to_string(LoadLesson(lesson.Path()).script->Count()) + " lines";
        } catch (const LessonError& error) {
            return std::string(error.what());
        }
    };
    fs::create_symlink("/dev/zero", script);
    EXPECT_THAT(outcome(), ::testing::HasSubstr("script.txt is not an ordinary file"));
    fs::remove(script);
    ASSERT_EQ(mkfifo(settings.c_str(), 0600), 0);
    EXPECT_THAT(outcome(), ::testing::HasSubstr("settings.ini is not an ordinary file"));
    fs::remove(settings);
    std::ofstream(script, std::ios::binary) << std::string(kMaxScriptBytes + 1, '\n');
    EXPECT_THAT(outcome(), ::testing::HasSubstr("script.txt holds more than 16 MiB"));

    fs::resize_file(script, kMaxScriptBytes);
    auto resident = [] {
        long pages = 0;
        std::ifstream("/proc/self/statm") >> pages >> pages;
        return pages * sysconf(_SC_PAGESIZE);
    };
    const long before = resident();
    const Lesson read = LoadLesson(lesson.Path());
    EXPECT_EQ(read.script->Count(), static_cast<int32_t>(kMaxScriptBytes));
    EXPECT_LT(resident() - before, 128L << 20);  // the text, not 40 bytes a line
}

}  // namespace
}  // namespace scenova::lesson
