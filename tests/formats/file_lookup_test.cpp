#include "formats/FileLookup.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "tests/support/TempDir.h"

namespace scenova::formats {
namespace {

namespace fs = std::filesystem;

// One folder of every kind of entry, and what each path or pattern finds in it.
TEST(FileLookup, OnlyOrdinaryFilesCountAndWildcardsOnlyInTheLastComponent) {
    const scenova::testing::TempDir dir;
    const std::string root = dir.Folder();
    const std::string file = dir.Write("media/back.bmp", "x");
    dir.Write("media/.hidden.bmp", "x");
    dir.Write("media/notes.txt", "x");
    dir.Write("hidden/.x.bmp", "x");
    fs::create_directories(dir.Path() / "folders/sub.bmp");
    fs::create_symlink(file, dir.Path() / "link.bmp");
    fs::create_directory_symlink(dir.Path() / "folders", dir.Path() / "dirlink");
    fs::create_symlink(dir.Path() / "gone.bmp", dir.Path() / "dangling.bmp");
    ASSERT_EQ(::mkfifo((root + "pipe.bmp").c_str(), 0600), 0);

    const struct {
        std::string path;
        bool found;
    } rows[] = {
        {"", false},
        {file, true},
        {root + "absent.bmp", false},
        {root + "media", false},
        {root + "media/", false},
        {root + "media/BACK.BMP", false},  // case matters
        {file + "/", false},
        {root + "media/.hidden.bmp", false},
        {file + std::string("\0.txt", 5), false},
        {root + "link.bmp", true},  // links count by what they point to
        {root + "dirlink", false},
        {root + "dangling.bmp", false},
        {root + "dangling*", false},
        {root + "pipe.bmp", false},
        {root + "*.bmp", true},  // through the link only
        {"/dev/null", false},
        {root + "media/o?e.*", false},
        {root + "media/b?ck.*", true},
        {root + "media/*.*", true},
        {root + "media/*.BMP", false},
        {root + "media/*.gif", false},
        {root + "other/*.bmp", false},
        {root + "med*/back.bmp", false},  // a wildcard in a folder makes the path invalid
        {root + "hidden/*.bmp", false},
        {root + "hidden/.x.*", false},
        {root + "folders/*.bmp", false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(FindOrdinaryFile(row.path), row.found) << row.path;
    }
    // One ordinary file among hidden entries and folders is enough.
    dir.Write("folders/z.bmp", "x");
    EXPECT_TRUE(FindOrdinaryFile(root + "folders/*.bmp"));
}

TEST(FileLookup, RelativePatternSearchesTheWorkingFolder) {
    const scenova::testing::TempDir dir;
    dir.Write("here.bmp", "x");
    const fs::path previous = fs::current_path();
    fs::current_path(dir.Path());
    const bool found = FindOrdinaryFile("h*.bmp");
    const bool missing = FindOrdinaryFile("x*.bmp");
    fs::current_path(previous);
    EXPECT_TRUE(found);
    EXPECT_FALSE(missing);
}

TEST(FileLookupWildcard, MatchesNames) {
    EXPECT_TRUE(MatchesWildcard("*", "anything"));
    EXPECT_TRUE(MatchesWildcard("a*b*c", "aXXbYc"));
    EXPECT_TRUE(MatchesWildcard("*ab", "aab"));  // needs backtracking
    EXPECT_TRUE(MatchesWildcard("*.*", "noextension"));
    EXPECT_TRUE(MatchesWildcard("?.bmp", "\xC3\xA9.bmp"));  // one two-byte character
    EXPECT_TRUE(MatchesWildcard("a**", "a"));
    EXPECT_FALSE(MatchesWildcard("a?c", "ac"));
    EXPECT_FALSE(MatchesWildcard("*.bmp", "a.bmpx"));
    EXPECT_FALSE(MatchesWildcard("??.bmp", "\xC3\xA9.bmp"));
    EXPECT_FALSE(MatchesWildcard("", "a"));
}

}  // namespace
}  // namespace scenova::formats
