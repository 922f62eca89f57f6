// The transcript RTF writer: the document's tables and paragraphs, escaping
// and colour markers. That the transcript search finds every line is checked
// through the whole startup in tests/script/, and that a long lesson stays
// fast in tests/window/event_work_test.cpp.

#include "rtfbuilder/CreateRTFText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "formats/RtfReader.h"

namespace scenova::test {
namespace {

TranscriptFontInfo SampleFonts() {
    return {"Arial", 12, "Times New Roman", 10, "Arial", 8, "* * *"};
}

std::string Build(const std::vector<TranscriptBlock>& blocks, int16_t useSeparator = 0,
                  TranscriptFontInfo fonts = SampleFonts()) {
    return CreateRTFText(0, 0, 0, blocks, fonts, useSeparator);
}

std::string Shown(const std::string& rtf) {
    return formats::EncodeUtf8(formats::ReadRtfText(rtf));
}

// The document as the writer states it: colour table entries ("r,g,b", from
// index 1) and each paragraph's font name, size (-1 for none) and content.
struct Paragraph {
    std::string font;
    int halfPoints = -1;
    std::string rtf;
};
struct Document {
    std::vector<std::string> colours;
    std::vector<Paragraph> paragraphs;
};

Document Parse(const std::string& rtf) {
    Document doc;
    std::map<int, std::string> fonts;
    static const std::regex font(R"(\{\\f(\d+)\\fnil\\fcharset0 ([^;]*);\})");
    for (std::sregex_iterator it(rtf.begin(), rtf.end(), font), end; it != end; ++it) {
        fonts[std::stoi((*it)[1])] = (*it)[2];
    }
    static const std::regex colour(R"(\\red(\d+)\\green(\d+)\\blue(\d+);)");
    for (std::sregex_iterator it(rtf.begin(), rtf.end(), colour), end; it != end; ++it) {
        doc.colours.push_back((*it)[1].str() + "," + (*it)[2].str() + "," + (*it)[3].str());
    }
    static const std::regex paragraph(
        R"(\\pard\\plain\\f(\d+)(?:\\fs(\d+))? (.*?)(?:\\par\n|\}\n$))");
    for (std::sregex_iterator it(rtf.begin(), rtf.end(), paragraph), end; it != end; ++it) {
        const std::smatch& m = *it;
        doc.paragraphs.push_back(
            {fonts[std::stoi(m[1])], m[2].matched ? std::stoi(m[2]) : -1, m[3]});
    }
    return doc;
}

TEST(CreateRTFText, ShowsEachSpeakerOnceAndTheSeparatorOnlyBetweenBlocks) {
    const TranscriptBlock maria{"Maria", {"Hello.", "How are you?"}};
    const TranscriptBlock juan{"Juan", {"Fine, thanks."}};
    const TranscriptBlock ana{"Ana", {"Hi."}};
    struct Row {
        std::vector<TranscriptBlock> blocks;
        int16_t useSeparator;
        std::string shown;
    };
    // Every paragraph ends with its mark, the last one too.
    const std::vector<Row> rows = {
        {{maria, juan}, -1, "Maria\nHello.\nHow are you?\n* * *\nJuan\nFine, thanks.\n"},
        {{maria, juan}, 1, "Maria\nHello.\nHow are you?\n* * *\nJuan\nFine, thanks.\n"},
        {{maria, juan}, 0, "Maria\nHello.\nHow are you?\nJuan\nFine, thanks.\n"},
        {{maria, juan, ana},
         -1,
         "Maria\nHello.\nHow are you?\n* * *\nJuan\nFine, thanks.\n* * *\nAna\nHi.\n"},
        {{}, -1, ""},
        {{{"Maria", {}}}, 0, "Maria\n"},
    };
    for (const Row& row : rows) {
        const std::string rtf = Build(row.blocks, row.useSeparator);
        EXPECT_EQ(Shown(rtf), row.shown);
        EXPECT_TRUE(rtf.starts_with("{\\rtf1\\ansi")) << rtf;
    }
}

TEST(CreateRTFText, ParagraphsUseTheirFontAndSize) {
    TranscriptFontInfo fonts = SampleFonts();
    const std::vector<TranscriptBlock> blocks = {{"Maria", {"Hello."}}, {"Juan", {"Fine."}}};
    const std::string rtf = Build(blocks, -1, fonts);
    // The actor and separator font are one entry.
    EXPECT_NE(rtf.find("{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}"
                       "{\\f1\\fnil\\fcharset0 Times New Roman;}}"),
              std::string::npos);
    Document doc = Parse(rtf);
    ASSERT_EQ(doc.paragraphs.size(), 5u);
    const std::vector<std::tuple<std::string, int, std::string>> expected = {
        {"Arial", 24, "Maria"},
        {"Times New Roman", 20, "Hello."},
        {"Arial", 16, "* * *"},
        {"Arial", 24, "Juan"},
        {"Times New Roman", 20, "Fine."}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const Paragraph& p = doc.paragraphs[i];
        EXPECT_EQ(std::tie(p.font, p.halfPoints, p.rtf), expected[i]) << i;
    }

    // No size keeps the reader's default; a huge one is capped.
    fonts.ActorFontSize = 0;
    fonts.TextFontSize = 32767;
    fonts.SeperatorFontSize = -4;
    doc = Parse(Build(blocks, -1, fonts));
    ASSERT_EQ(doc.paragraphs.size(), 5u);
    EXPECT_EQ(doc.paragraphs[0].halfPoints, -1);
    EXPECT_EQ(doc.paragraphs[1].halfPoints, 3276);
    EXPECT_EQ(doc.paragraphs[2].halfPoints, -1);
}

TEST(CreateRTFText, ColourMarkersBecomeColourTableEntries) {
    TranscriptFontInfo fonts = SampleFonts();
    fonts.SeperatorChar = "\\cf(0,128,0)~\\cf0";
    const std::string rtf =
        Build({{"\\cf(128,0,0)Maria", {"\\cf(0,0,128)Hello.\\cf0", "plain"}},
               {"\\cf(128,0,0)Juan", {"\\cf(0,0,128)Fine, \\cf(255,255,255)thanks\\cf0."}}},
              -1, fonts);
    const Document doc = Parse(rtf);
    EXPECT_EQ(doc.colours,
              (std::vector<std::string>{"128,0,0", "0,0,128", "0,128,0", "255,255,255"}));
    EXPECT_EQ(Shown(rtf), "Maria\nHello.\nplain\n~\nJuan\nFine, thanks.\n");
    ASSERT_EQ(doc.paragraphs.size(), 6u);
    EXPECT_EQ(doc.paragraphs[0].rtf, "\\cf1 Maria");
    EXPECT_EQ(doc.paragraphs[1].rtf, "\\cf2 Hello.\\cf0 ");
    EXPECT_EQ(doc.paragraphs[3].rtf, "\\cf3 ~\\cf0 ");
    EXPECT_EQ(doc.paragraphs[5].rtf, "\\cf2 Fine, \\cf4 thanks\\cf0 .");
}

TEST(CreateRTFText, OnlyWellFormedMarkersAreColours) {
    struct Row {
        std::string line;
        std::string shown;
        std::size_t colours;
    };
    const std::vector<Row> rows = {
        {"\\cf(0,0,128)Fine, thanks.\\cf0", "Fine, thanks.", 1},
        {"  \\cf(0,0,128)  Fine\\cf0 \\cf0 ", "Fine", 1},
        {"  padded  line ", "padded  line", 0},
        {"a\\cf0b\\cf0", "ab", 0},
        {"\\cf(0,0,0)\\cf(255,255,255)mid\\cf0\\cf0", "mid", 2},
        {"\\cf(007,0,0)x", "x", 1},
        {"\\cf(256,0,0)x", "\\cf(256,0,0)x", 0},
        {"\\cf(1000,0,0)x", "\\cf(1000,0,0)x", 0},
        {"\\cf(1,2)x", "\\cf(1,2)x", 0},
        {"\\cf(1,2,3,4)x", "\\cf(1,2,3,4)x", 0},
        {"\\cf(,1,2)x", "\\cf(,1,2)x", 0},
        {"\\cf(1,2,3x", "\\cf(1,2,3x", 0},
        {"\\cf( 1,2,3)x", "\\cf( 1,2,3)x", 0},
        {"\\cf(-1,2,3)x", "\\cf(-1,2,3)x", 0},
        {"\\cf1x \\cf \\CF0", "\\cf1x \\cf \\CF0", 0},
    };
    for (const Row& row : rows) {
        const std::string rtf = Build({{"A", {row.line}}});
        EXPECT_EQ(Shown(rtf), "A\n" + row.shown + "\n") << row.line;
        EXPECT_EQ(Parse(rtf).colours.size(), row.colours) << row.line;
    }
}

TEST(CreateRTFText, EscapesKeepTheDocumentSevenBitClean) {
    struct Row {
        std::string line;
        std::string written;  // the paragraph's RTF
        std::string shown;
    };
    const std::vector<Row> rows = {
        {"a\\b", "a\\\\b", "a\\b"},
        {"{x}", "\\{x\\}", "{x}"},
        {"\u00a7Tip", "\\u167?Tip", "\u00a7Tip"},
        {"caf\u00e9", "caf\\u233?", "caf\u00e9"},
        {"\u20ac \u4e2d \uff21", "\\u8364? \\u20013? \\u-223?", "\u20ac \u4e2d \uff21"},
        {"\U0001F600!", "\\u-10179?\\u-8704?!", "\U0001F600!"},
        {"a\tb", "a\\tab b", "a\tb"},
        {"a\nb\r\nc\rd", "a b c d", "a b c d"},
        {"a\x01\x1f\x7f"
         "b",
         "ab", "ab"},
        {"a\xff"
         "b",
         "a\\u-3?b", "a\ufffdb"},
        {"a\xe2\x82", "a\\u-3?", "a\ufffd"},
        {"\xed\xa0\x80", "\\u-3?\\u-3?\\u-3?", "\ufffd\ufffd\ufffd"},
    };
    for (const Row& row : rows) {
        const std::string rtf = Build({{"A", {row.line}}});
        EXPECT_TRUE(std::all_of(rtf.begin(), rtf.end(), [](char c) {
            return static_cast<unsigned char>(c) < 0x80;
        })) << rtf;
        const Document doc = Parse(rtf);
        ASSERT_EQ(doc.paragraphs.size(), 2u) << rtf;
        EXPECT_EQ(doc.paragraphs[1].rtf, row.written);
        EXPECT_EQ(Shown(rtf), "A\n" + row.shown + "\n");
    }
}

TEST(CreateRTFText, FontNamesAreEscapedToo) {
    const std::string rtf =
        Build({{"A", {"b"}}}, 0, {"Caf\u00e9 {Sans}", 12, "Odd;Name", 10, "", 10, "-"});
    EXPECT_NE(rtf.find("{\\f0\\fnil\\fcharset0 Caf\\u233? \\{Sans\\};}"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("{\\f1\\fnil\\fcharset0 Odd\\'3bName;}"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("{\\f2\\fnil\\fcharset0 ;}"), std::string::npos) << rtf;
    EXPECT_EQ(Shown(rtf), "A\nb\n");
}

}  // namespace
}  // namespace scenova::test
