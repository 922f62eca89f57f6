// Bar scripts: the headless button bar builds buttons from them, all of a
// file or none. That their buttons press like any other is in the sample
// lesson's reviewed navigation and toolbar traces.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "headless/ButtonBar.h"
#include "runtime/RuntimeError.h"
#include "tests/controls/control_test_support.h"
#include "tests/support/TempDir.h"

namespace scenova::test {
namespace {

using ::testing::ElementsAre;
using ::testing::Pair;
using NamesAndDescriptors = std::vector<std::pair<std::string, std::string>>;

class BarScriptTest : public ::testing::Test {
protected:
    NamesAndDescriptors Loaded() const {
        NamesAndDescriptors result;
        for (const auto& button : bar.Buttons()) {
            result.emplace_back(button.name, button.descriptor);
        }
        return result;
    }
    // The description of the error LoadScript raises, "" when it raises none.
    std::string LoadError(const std::string& path, int32_t expectedNumber = err::InvalidCall) {
        try {
            bar.LoadScript(path);
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number(), expectedNumber);
            return e.description();
        }
        return "";
    }

    HeadlessWorld world;
    headless::ButtonBar bar{world.ctx, "frmRoseToolbar"};
    testing::TempDir dir;
};

TEST_F(BarScriptTest, WellFormedScriptsGiveTheirButtonsInOrder) {
    struct Row {
        const char* what;
        std::string content;
        NamesAndDescriptors expected;
    };
    const std::vector<Row> rows = {
        {"blanks trimmed, blank names kept inside",
         "  Culture Tips ,\ttips.bmp , 120 , 4 \nHelp,help.bmp,0,0",
         {{"Culture Tips", "tips.bmp,120,4"}, {"Help", "help.bmp,0,0"}}},
        {"comments, blank lines, CR line ends, a byte order mark",
         "\xEF\xBB\xBF# name, picture, left, top\r\n\r\n   \r\n  # indented comment\r\n"
         "Next,next.bmp,-8,0\r\n",
         {{"Next", "next.bmp,-8,0"}}},
        {"a name given twice keeps its first place",
         "A,a.bmp,0,0\nB,b.bmp,1,1\nA,a2.bmp,2,2",
         {{"A", "a2.bmp,2,2"}, {"B", "b.bmp,1,1"}}},
        {"an empty file", "", {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        headless::ButtonBar fresh{world.ctx, "frmRoseToolbar"};
        fresh.LoadScript(dir.Write("ok.bar", row.content));
        NamesAndDescriptors got;
        for (const auto& button : fresh.Buttons()) {
            got.emplace_back(button.name, button.descriptor);
        }
        EXPECT_EQ(got, row.expected);
    }
}

TEST_F(BarScriptTest, AMalformedLineLoadsNothingOfItsFileAndNamesTheLine) {
    struct Row {
        const char* what;
        std::string content;
        std::string description;
    };
    const std::string expected = ": expected name, picture, left, top";
    const std::vector<Row> rows = {
        {"three fields", "A,a.bmp,0,0\n# c\n\nB,b.bmp,4", "nav.bar line 4" + expected},
        {"no picture", "A,,0,0", "nav.bar line 1" + expected},
        {"no name", " ,a.bmp,0,0", "nav.bar line 1" + expected},
        {"a fraction", "A,a.bmp,0,0\nB,b.bmp,1.5,0",
         "nav.bar line 2" + expected + "; left is not a whole number"},
        {"beyond 32 bits", "A,a.bmp,0,4294967296",
         "nav.bar line 1" + expected + "; top is not a whole number"},
    };
    bar.AddButton("Kept", "1,k.bmp,0,0");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(LoadError(dir.Write("nav.bar", row.content)), row.description);
        EXPECT_THAT(Loaded(), ElementsAre(Pair("Kept", "1,k.bmp,0,0")));
    }
}

TEST_F(BarScriptTest, AMissingFileOrAFolderIsNotFound) {
    EXPECT_EQ(LoadError(dir.Folder() + "absent.bar", err::FileNotFound), "File not found");
    EXPECT_EQ(LoadError(dir.Folder(), err::FileNotFound), "File not found");
    EXPECT_EQ(LoadError("", err::FileNotFound), "File not found");
    EXPECT_TRUE(bar.Buttons().empty());
    // Every call is still recorded, as the trace shows it.
    EXPECT_EQ(bar.Scripts().size(), 3u);
}

}  // namespace
}  // namespace scenova::test
