// The RTF reader the transcript controls share: what a word processor
// would show, and nothing worse than a sensible guess on damaged input.

#include "formats/RtfReader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace scenova::formats {
namespace {

struct Row {
    std::string rtf;
    std::string shown;  // UTF-8, so that failures read well
};

void ExpectShown(const std::vector<Row>& rows) {
    for (const Row& row : rows) {
        EXPECT_EQ(EncodeUtf8(ReadRtfText(row.rtf)), row.shown) << "RTF: " << row.rtf;
    }
}

TEST(RtfReader, ControlWordsAndSymbols) {
    ExpectShown({
        {R"({\rtf1\ansi\deff0 Hello})", "Hello"},
        {R"({\b Bold\b0  two})", "Bold two"},  // one space delimits, the next is text
        {R"(\fs24 x\li-720 y\foo123 z)", "xyz"},
        {R"(a\par b\line c\tab d)", "a\nb\nc\td"},
        {"a\r\nb\nc", "abc"},  // line breaks in the file are not text
        {"a\\\nb\\\r\nc", "a\nb\nc"},
        {R"(\\ \{ \})", "\\ { }"},
        {R"(a\~b\-c\_d)", "a\u00A0bc\u2011d"},
        {R"(\emdash\endash\lquote\rquote\ldblquote\rdblquote\bullet)",
         "\u2014\u2013\u2018\u2019\u201C\u201D\u2022"},
        {R"(\PAR x)", "x"},  // words are case-sensitive
        {"\\" + std::string(100, 'q') + " x", "x"},
        {R"(a\|b\:c)", "abc"},
    });
}

TEST(RtfReader, HexEscapesAndHighBytesAreWindows1252) {
    ExpectShown({
        {R"(caf\'e9 caf\'E9)", "caf\u00e9 caf\u00e9"},
        {R"(\'80\'93x\'94\'9f)", "\u20AC\u201Cx\u201D\u0178"},
        {R"(\'81\'8d)", "\u0081\u008D"},  // unassigned bytes keep their C1 code points
        {R"(\'41\'7b\'7d)", "A{}"},       // a brace by number is text, not a group
        {R"(a\'0ab\'09c\'00d)", "ab\tcd"},
        {"caf\xe9 \x80", "caf\u00e9 \u20AC"},
    });
}

TEST(RtfReader, UnicodeSkipsTheCharactersItReplaces) {
    ExpectShown({
        {R"(\u233?x)", "\u00e9x"},  // \uc1 unless told otherwise
        {R"(\uc0\u233 x)", "\u00e9x"},
        {R"(\uc2\u233??x)", "\u00e9x"},
        {R"(\uc2\u233\'3f\'3fx)", "\u00e9x"},          // an escape is one character
        {R"(\u233\par x)", "\u00e9x"},                 // so is a control word
        {R"({\uc2\u233?}x)", "\u00e9x"},               // a group ends the skip
        {R"({\uc0\u233?}\u233?x)", "\u00e9?\u00e9x"},  // \uc belongs to its group
        {R"({\uc99999999999\u233 abc}d)", "\u00e9d"},
        {R"(\u8364?\u-3?\u65533?)", "\u20AC\uFFFD\uFFFD"},
        {R"(\u-10179?\u-8704?)", "\U0001F600"},  // a surrogate pair is one character
        {R"(\u55357?\u56832?)", "\U0001F600"},
        {R"(\u-10179?x)", "\uFFFDx"},
        {R"(\u-8704?x)", "\uFFFDx"},
        {R"(x\u-10179?)", "x\uFFFD"},
        {R"(\u99999999999?\u-99999?\u70000?)", "\uFFFD\uFFFD\uFFFD"},
        {R"(\u10?\u0?x)", "x"},  // control characters by number are not text
    });
    EXPECT_EQ(ReadRtfText(R"(\u-10179?\u-8704?)").size(), 1u);
}

TEST(RtfReader, DestinationsAreNotShown) {
    ExpectShown({
        {"{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil Arial;}{\\f1 Times;}}\n"
         "{\\colortbl;\\red128\\green0\\blue0;}{\\stylesheet{\\s0 Normal;}}"
         "{\\info{\\title T}{\\author A}}\\pard Hello}",
         "Hello"},
        {R"({\*\generator Writer;}{\*\unknown {nested} text}x)", "x"},
        {R"({\pict\pngblip 89504e470d0a}x)", "x"},
        {R"({\field{\*\fldinst HYPERLINK "u"}{\fldrslt link}})", "link"},
        {R"({\upr{a}{\*\ud{b}}})", "a"},
        {"{\\pict\\bin6 {}\\}{x}y", "y"},  // binary data is not read as RTF
        {"a\\bin99999 bc", "a"},
        {R"(a{\b b{\i c{\ul d}e}f}g)", "abcdefg"},
    });
}

TEST(RtfReader, DamagedInputGivesASensibleText) {
    ExpectShown({
        {"", ""},
        {"}}}a{{{b", "ab"},
        {"{\\*\\x {}}}}visible", "visible"},
        {"a\\", "a"},
        {"a\\'4", "a"},
        {"a\\'4x", "ax"},
        {"\\'zz", "zz"},
        {"\\u-x", "-x"},  // \u without a number is ignored
        {std::string("a\0b\x01\x7f", 5), "ab"},
        {"\\fs99999999999999999999999999999 x", "x"},
        {"\\fs-99999999999999999999999999999 x", "x"},
        {"\\\xff\\\x80x", "x"},
        {std::string(5000, '{') + "deep" + std::string(5000, '}') + "after", "after"},
        {std::string(kMaxDepth, '{') + "shown" + std::string(kMaxDepth, '}'), "shown"},
        {std::string(kMaxDepth + 1, '{') + "hidden" + std::string(kMaxDepth + 1, '}'), ""},
    });
}

// The formatting a platform shows the transcript with: "start:look" per
// run, the look as font/half-points/flags/colour ("-" for automatic).
TEST(RtfReader, RunsCarryFontsSizesStylesAndColoursFromTheTables) {
    const auto runs = [](const std::string& rtf) {
        const RtfDocument document = ReadRtfDocument(rtf);
        EXPECT_EQ(document.text.CodePoints(), ReadRtfText(rtf)) << rtf;
        std::string out;
        for (const RtfRun& run : document.runs) {
            const RtfCharFormat& f = run.format;
            char colour[8] = "-";
            if (f.colour) {
                std::snprintf(colour, sizeof colour, "%06x", static_cast<unsigned>(*f.colour));
            }
            out += std::to_string(run.start) + ":" + f.fontName + "/" +
                   std::to_string(f.halfPoints) + "/" + (f.bold ? "b" : "") +
                   (f.italic ? "i" : "") + (f.underline ? "u" : "") + "/" + colour + " ";
        }
        return out;
    };
    const std::string tables =
        "{\\rtf1\\ansi\\deff1{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}{\\f1 Times New "
        "Roman;}{\\f2{\\*\\panose 0}Caf\\'e9 "
        ";}}{\\colortbl;\\red150\\green60\\blue20;\\red0\\green0"
        "\\blue0;}";
    struct Case {
        std::string body;
        std::string runs;
    };
    const std::vector<Case> cases = {
        {"Hi}", "0:Times New Roman/24//- "},
        {"\\f0\\fs20\\cf1 Anna\\par\\cf2 x\\cf0 y}",
         "0:Arial/20//143c96 5:Arial/20//000000 6:Arial/20//- "},
        {"a{\\b b{\\i c\\ul d\\ulnone e}\\b0 f}g}",
         "0:Times New Roman/24//- 1:Times New Roman/24/b/- 2:Times New Roman/24/bi/- "
         "3:Times New Roman/24/biu/- 4:Times New Roman/24/bi/- 5:Times New Roman/24//- "},
        {"\\f2\\b x\\plain y\\f7\\cf9 z}", "0:Caf\u00e9/24/b/- 1:Times New Roman/24//- 2:/24//- "},
        {"\\fs0 a\\fs99999 b{\\f0}c}", "0:Times New Roman/24//- 1:Times New Roman/3276//- "},
        {"\\b}", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(runs(tables + c.body), c.runs) << c.body;
    }
}

TEST(Utf8, MalformedSequencesBecomeReplacementCharacters) {
    struct Case {
        std::string utf8;
        std::u32string decoded;
    };
    const std::vector<Case> cases = {
        {"a\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80", U"a\u00e9\u20AC\U0001F600"},
        {"\xc0\x80", U"\uFFFD\uFFFD"},                      // overlong
        {"\xe0\x80\x80", U"\uFFFD\uFFFD\uFFFD"},            // overlong
        {"\xed\xa0\x80", U"\uFFFD\uFFFD\uFFFD"},            // a surrogate
        {"\xf4\x90\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD"},  // beyond U+10FFFF
        {"\xe2\x82x", U"\uFFFDx"},                          // the damage does not eat the x
        {"x\xf0\x9f\x98", U"x\uFFFD"},
        {"\xff\xfe", U"\uFFFD\uFFFD"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecodeUtf8(c.utf8), c.decoded) << c.utf8;
    }
    EXPECT_EQ(EncodeUtf8(U"a\u00e9\u20AC\U0001F600"), "a\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80");
    EXPECT_EQ(EncodeUtf8(std::u32string{0xD800, 0x110000}), "\xef\xbf\xbd\xef\xbf\xbd");
}

}  // namespace
}  // namespace scenova::formats
