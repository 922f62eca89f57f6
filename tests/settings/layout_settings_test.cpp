// The settings bootstrap and the layout of the video, transcript and slider,
// seen through the trace and the values kept for the script.

#include <optional>

#include "tests/settings/SettingsFixture.h"

namespace scenova::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

using LayoutTest = SettingsTest;

TEST_F(LayoutTest, ACollectionWithoutLayoutKeysGivesEveryDefault) {
    Set("Unrelated.Key", "x");
    Module().g_strHelp = "help.htm";
    ASSERT_TRUE(Init());

    // The trace of the defaults is in the reviewed host session.
    const TranscriptFontInfo& fonts = Module().g_TranscriptFonts;
    EXPECT_EQ(fonts.ActorFontName, "MS Sans Serif");
    EXPECT_EQ(fonts.TextFontName, "MS Sans Serif");
    EXPECT_EQ(fonts.SeperatorFontName, "MS Sans Serif");
    EXPECT_EQ(fonts.ActorFontSize, 10);
    EXPECT_EQ(fonts.TextFontSize, 10);
    EXPECT_EQ(fonts.SeperatorFontSize, 10);
    EXPECT_EQ(fonts.SeperatorChar, "");
    EXPECT_FALSE(host.Tool().Transcript().m_blnUseSeperator);
    EXPECT_EQ(host.Tool().Transcript().m_strTextFontColor, "");
    EXPECT_EQ(Module().g_hLinkCursor, 0);
    EXPECT_EQ(Module().g_strCultureTipChar, "\xC2\xA7");
    EXPECT_EQ(Module().g_colButtonInfo->Count(), 0);
    EXPECT_THAT(Window().frmRose->Buttons(), IsEmpty());
    EXPECT_EQ(Module().g_strHelp, "help.htm");
    EXPECT_EQ(Module().g_strCultureTip, "");
    EXPECT_THAT(Lines("> mgr.ReportError"), IsEmpty());
}

struct FontSizeCase {
    const char* value;
    int16_t expected;
};

class FontSizeTest : public SettingsTest, public ::testing::WithParamInterface<FontSizeCase> {};

TEST_P(FontSizeTest, RoundsHalfToEvenAndKeepsWhatDoesNotConvert) {
    Module().g_TranscriptFonts.ActorFontSize = 7;
    Set("rtfText.ActorFontSize", GetParam().value);
    ASSERT_TRUE(Init());
    EXPECT_EQ(Module().g_TranscriptFonts.ActorFontSize, GetParam().expected);
    EXPECT_EQ(Module().g_TranscriptFonts.TextFontSize, 10);
}

INSTANTIATE_TEST_SUITE_P(Sizes, FontSizeTest,
                         ::testing::Values(FontSizeCase{"12.5", 12}, FontSizeCase{"13.5", 14},
                                           FontSizeCase{"", 10}, FontSizeCase{"big", 7},
                                           FontSizeCase{"40000", 7}));

struct BooleanCase {
    const char* value;
    std::optional<bool> shown;  // nothing: the transcript is left as it was
};

class VisibleTest : public SettingsTest, public ::testing::WithParamInterface<BooleanCase> {};

TEST_P(VisibleTest, ReadsTheBooleanForms) {
    Set("rtfText.Visible", GetParam().value);
    ASSERT_TRUE(Init());
    if (GetParam().shown) {
        EXPECT_THAT(Lines("> rtfText.Visible"),
                    ElementsAre(*GetParam().shown ? "> rtfText.Visible = True"
                                                  : "> rtfText.Visible = False"));
    } else {
        EXPECT_THAT(Lines("> rtfText.Visible"), IsEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(Forms, VisibleTest,
                         ::testing::Values(BooleanCase{"TRUE", true}, BooleanCase{"-1", true},
                                           BooleanCase{"0", false}, BooleanCase{"", false},
                                           BooleanCase{"yes", std::nullopt}));

struct SeparatorCase {
    const char* character;
    const char* colour;
    const char* expected;
};

class SeparatorTest : public SettingsTest, public ::testing::WithParamInterface<SeparatorCase> {};

TEST_P(SeparatorTest, AColouredSeparatorCarriesItsMarkup) {
    Set("rtfText.SeperatorChar", GetParam().character);
    Set("rtfText.SeperatorFontColor", GetParam().colour);
    ASSERT_TRUE(Init());
    EXPECT_EQ(Module().g_TranscriptFonts.SeperatorChar, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Colours, SeparatorTest,
    ::testing::Values(SeparatorCase{"|", "RGB(255,0,0)", "\\cf(255,0,0)|\\cf0"},
                      SeparatorCase{"", "RGB(255,0,0)", "\\cf(255,0,0)\\cf0"},
                      SeparatorCase{"|", "RGB(1,2,300)", "|"}, SeparatorCase{"|", "red", "|"},
                      SeparatorCase{"|", "", "|"}));

TEST_F(LayoutTest, ColoursApplyOnlyWhenTheyParse) {
    Set("rtfText.TextFontColor", "RGB(1,2,3)");
    Set("rtfText.ActorFontColor", "blue");
    Set("rtfText.RolloverColor", "RGB(1,2,3)");
    Set("sldVideoSlider.ForeColor", "RGB(0,0,300)");
    Set("sldVideoSlider.BackColor", "RGB(10,20,30)");
    Set("rtfText.UseSeperator", "1");
    Set("rtfText.CultureTipChar", "*");
    ASSERT_TRUE(Init());
    EXPECT_EQ(host.Tool().Transcript().m_strTextFontColor, "RGB(1,2,3)");
    EXPECT_EQ(host.Tool().Transcript().m_strActorFontColor, "");
    EXPECT_TRUE(host.Tool().Transcript().m_blnUseSeperator);
    EXPECT_EQ(Module().g_strCultureTipChar, "*");
    EXPECT_THAT(Lines("> rtfText.RolloverColor"), ElementsAre("> rtfText.RolloverColor = 197121"));
    EXPECT_THAT(Lines("> sldVideoSlider.ForeColor"), IsEmpty());
    EXPECT_EQ(Window().sldVideoSlider->BackColor(), 10 | 20 << 8 | 30 << 16);
    EXPECT_THAT(Lines("> mgr.ReportError"), IsEmpty());
}

TEST_F(LayoutTest, AFailingReportDoesNotStopTheLayout) {
    Set("rtfText.LinkCursor", "gone.cur");
    mgr->FailOn("ReportError");
    ASSERT_TRUE(Init());
    EXPECT_EQ(mgr->Calls("ReportError"), 1);
    EXPECT_EQ(Module().g_hLinkCursor, 0);
    EXPECT_THAT(Lines("> frmRose.EndBar"), ElementsAre("> frmRose.EndBar(\"Scenova\")"));
}

TEST_F(LayoutTest, AnEmptyMediaFolderLeavesTheBarsImageFoldersAlone) {
    mgr->mediaPath = "";
    Set("movOrvMovie.Width", "20");
    ASSERT_TRUE(Init());
    EXPECT_THAT(Lines("> frmRose.ImageFolder"), IsEmpty());
    EXPECT_THAT(Lines("> frmRoseNavigation.ImageFolder"), IsEmpty());
    EXPECT_THAT(Lines("> frmRose.BeginBar"), ElementsAre("> frmRose.BeginBar(\"Scenova\")"));
    EXPECT_EQ(Window().movOrvMovie->Width(), 300.0f);
}

TEST_F(LayoutTest, TheMediaFolderLosesItsLastCharacterWholly) {
    mgr->mediaPath = "/l/m\xC3\xA9";  // ends in a two-byte character
    Set("Unrelated.Key", "x");
    ASSERT_TRUE(Init());
    EXPECT_EQ(Window().frmRose->ImageFolder(), "/l/m");
}

}  // namespace
}  // namespace scenova::testing
