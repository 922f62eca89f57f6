// Bar scripts as every platform reads them: a bar builds its buttons from
// them, all of a file or none. That their buttons press like any other is in
// the sample lesson's reviewed navigation and toolbar traces.

#include "formats/BarScript.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/RuntimeError.h"
#include "tests/support/TempDir.h"

namespace scenova::formats {
namespace {

// "name|picture|left|top" a button.
std::vector<std::string> Shown(const std::vector<BarButton>& buttons) {
    std::vector<std::string> shown;
    for (const BarButton& b : buttons) {
        shown.push_back(b.name + "|" + b.picture + "|" + std::to_string(b.left) + "|" +
                        std::to_string(b.top));
    }
    return shown;
}

// The description of the error reading raises, "" when it raises none.
std::string ReadError(const std::string& path, int32_t expectedNumber = err::InvalidCall) {
    try {
        ReadBarScript(path);
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), expectedNumber);
        return e.description();
    }
    return "";
}

TEST(BarScript, WellFormedScriptsGiveTheirButtonsInOrder) {
    struct Row {
        const char* what;
        std::string content;
        std::vector<std::string> expected;
    };
    const std::vector<Row> rows = {
        {"blanks trimmed, blank names kept inside",
         "  Culture Tips ,\ttips.bmp , 120 , 4 \nHelp,help.bmp,0,0",
         {"Culture Tips|tips.bmp|120|4", "Help|help.bmp|0|0"}},
        {"comments, blank lines, CR line ends, a byte order mark",
         "\xEF\xBB\xBF# name, picture, left, top\r\n\r\n   \r\n  # indented comment\r\n"
         "Next,next.bmp,-8,0\r\n",
         {"Next|next.bmp|-8|0"}},
        {"a name given twice comes twice (the bar keeps its first place)",
         "A,a.bmp,0,0\nB,b.bmp,1,1\nA,a2.bmp,2,2",
         {"A|a.bmp|0|0", "B|b.bmp|1|1", "A|a2.bmp|2|2"}},
        {"an empty file", "", {}},
    };
    const testing::TempDir dir;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(Shown(ReadBarScript(dir.Write("ok.bar", row.content))), row.expected);
    }
}

TEST(BarScript, AMalformedLineGivesNothingOfItsFileAndNamesTheLine) {
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
    const testing::TempDir dir;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(ReadError(dir.Write("nav.bar", row.content)), row.description);
    }
    EXPECT_EQ(ReadError(dir.Folder() + "absent.bar", err::FileNotFound), "File not found");
    EXPECT_EQ(ReadError(dir.Folder(), err::FileNotFound), "File not found");
    EXPECT_EQ(ReadError("", err::FileNotFound), "File not found");
}

}  // namespace
}  // namespace scenova::formats
