#include "headless/FileLookup.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace scenova::headless {
namespace {

namespace fs = std::filesystem;

class FileLookupTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_root = fs::temp_directory_path() /
                 ("scenova-lookup-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_root);
    }
    void TearDown() override {
        std::error_code error;
        fs::remove_all(m_root, error);
    }

    std::string Touch(const std::string& name) {
        const fs::path path = m_root / name;
        fs::create_directories(path.parent_path());
        std::ofstream(path) << "x";
        return path.string();
    }
    std::string Folder(const std::string& name) {
        fs::create_directories(m_root / name);
        return (m_root / name).string();
    }
    std::string Path(const std::string& name) const { return (m_root / name).string(); }

    fs::path m_root;
};

TEST_F(FileLookupTest, PlainPathNamesExactlyOneOrdinaryFile) {
    EXPECT_FALSE(FindOrdinaryFile(""));
    EXPECT_FALSE(FindOrdinaryFile(Path("absent.bmp")));
    EXPECT_FALSE(FindOrdinaryFile(Folder("media")));
    EXPECT_FALSE(FindOrdinaryFile(Path("media") + "/"));

    const std::string file = Touch("media/back.bmp");
    EXPECT_TRUE(FindOrdinaryFile(file));
    EXPECT_FALSE(FindOrdinaryFile(Path("media/BACK.BMP")));  // case matters
    EXPECT_FALSE(FindOrdinaryFile(file + "/"));
    EXPECT_FALSE(FindOrdinaryFile(Touch("media/.hidden.bmp")));
    EXPECT_FALSE(FindOrdinaryFile(file + std::string("\0.txt", 5)));
}

TEST_F(FileLookupTest, LinksCountByWhatTheyPointTo) {
    const std::string file = Touch("real.bmp");
    fs::create_symlink(file, m_root / "link.bmp");
    fs::create_directory_symlink(Folder("dir"), m_root / "dirlink");
    fs::create_symlink(m_root / "gone.bmp", m_root / "dangling.bmp");
    EXPECT_TRUE(FindOrdinaryFile(Path("link.bmp")));
    EXPECT_FALSE(FindOrdinaryFile(Path("dirlink")));
    EXPECT_FALSE(FindOrdinaryFile(Path("dangling.bmp")));
    EXPECT_FALSE(FindOrdinaryFile(Path("dangling*")));
}

TEST_F(FileLookupTest, SpecialFilesDoNotCount) {
    ASSERT_EQ(::mkfifo(Path("pipe.bmp").c_str(), 0600), 0);
    EXPECT_FALSE(FindOrdinaryFile(Path("pipe.bmp")));
    EXPECT_FALSE(FindOrdinaryFile(Path("*.bmp")));
    EXPECT_FALSE(FindOrdinaryFile("/dev/null"));
}

TEST_F(FileLookupTest, WildcardsInTheLastComponent) {
    Touch("media/one.bmp");
    Touch("media/notes.txt");
    EXPECT_TRUE(FindOrdinaryFile(Path("media/*.bmp")));
    EXPECT_TRUE(FindOrdinaryFile(Path("media/o?e.*")));
    EXPECT_TRUE(FindOrdinaryFile(Path("media/*.*")));
    EXPECT_FALSE(FindOrdinaryFile(Path("media/*.BMP")));
    EXPECT_FALSE(FindOrdinaryFile(Path("media/*.gif")));
    EXPECT_FALSE(FindOrdinaryFile(Path("other/*.bmp")));
    // A wildcard in a folder component makes the path invalid.
    EXPECT_FALSE(FindOrdinaryFile(Path("med*/one.bmp")));
    EXPECT_FALSE(FindOrdinaryFile(Path("me?ia/*.bmp")));
}

TEST_F(FileLookupTest, WildcardMatchesOnlyHiddenEntriesOrFolders) {
    Touch("hidden/.x.bmp");
    EXPECT_FALSE(FindOrdinaryFile(Path("hidden/*.bmp")));
    EXPECT_FALSE(FindOrdinaryFile(Path("hidden/.x.*")));
    Folder("folders/sub.bmp");
    EXPECT_FALSE(FindOrdinaryFile(Path("folders/*.bmp")));
    // One ordinary file among them is enough, whatever the directory order.
    Touch("folders/z.bmp");
    EXPECT_TRUE(FindOrdinaryFile(Path("folders/*.bmp")));
}

TEST_F(FileLookupTest, RelativePatternSearchesTheWorkingFolder) {
    Touch("here.bmp");
    const fs::path previous = fs::current_path();
    fs::current_path(m_root);
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
}  // namespace scenova::headless
