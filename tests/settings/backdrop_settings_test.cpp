// The window's size, backdrop, colours, cursor, tooltips and labels.

#include "tests/settings/SettingsFixture.h"

namespace scenova::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

using BackdropTest = SettingsTest;

TEST_F(BackdropTest, ValuesThatDoNotConvertLeaveTheWindowAsItWas) {
    Set("WIDTH", "1e38");  // beyond single precision once in twips
    Set("BACKCOLOR", "RGB(1,2,3)");
    ASSERT_TRUE(Init());
    EXPECT_EQ(Window().form->Width(), 9600.0f);
    EXPECT_EQ(Window().form->BackColor(), 0x00F0F0F0);
}

TEST_F(BackdropTest, TheTranscriptGetsThePieceOfTheBackdropUnderIt) {
    WriteBitmap(Media("back.bmp"), 640, 480);
    Set("PICTURE", "back.bmp");
    Set("rtfText.Left", "100");
    Set("rtfText.Top", "50");
    Set("rtfText.Width", "200");
    Set("rtfText.Height", "100");
    ASSERT_TRUE(Init());

    const Picture backdrop = Window().form->GetPicture();
    ASSERT_TRUE(backdrop);
    EXPECT_EQ(backdrop->Width(), 640);
    EXPECT_EQ(Window().frmRose->PictureFile(), "back.bmp");
    const Picture clip = Window().rtfText->BackPicture();
    ASSERT_TRUE(clip);
    EXPECT_EQ(clip->Width(), 200);
    EXPECT_EQ(clip->Height(), 100);
    auto& gdi = platform.HeadlessGdi();
    EXPECT_EQ(gdi.BitsPerPixel(clip->Handle()), 32);
    EXPECT_EQ(gdi.GetPixel(clip->Handle(), 0, 0), PatternColour(100, 50));
    EXPECT_EQ(gdi.GetPixel(clip->Handle(), 199, 99), PatternColour(299, 149));
    EXPECT_EQ(gdi.LiveDCs(), 0u);

    // Both host bars draw the same backdrop.
    EXPECT_EQ(Window().frmRoseNavigation->BackgroundSet()->picture, backdrop);
    EXPECT_EQ(Window().frmRoseToolbar->BackgroundSet()->picture, backdrop);
    EXPECT_THAT(Lines("> mgr.ReportError"), IsEmpty());
}

TEST_F(BackdropTest, AFileThatIsNoPictureGivesNoBackdropAndNoReport) {
    Touch(Media("back.bmp"));
    Set("PICTURE", "back.bmp");
    ASSERT_TRUE(Init());
    EXPECT_FALSE(Window().form->GetPicture());
    EXPECT_FALSE(Window().rtfText->BackPicture());
    EXPECT_THAT(Lines("> mgr.ReportError"), IsEmpty());
    EXPECT_EQ(platform.HeadlessGdi().LiveDCs(), 0u);
}

TEST_F(BackdropTest, MissingFilesAreReportedOnceEachWithTheirPaths) {
    Set("rtfText.LinkCursor", "link.cur");
    Set("btnVideoFwd.Bmp", "fwd.bmp");
    Set("PICTURE", "back.bmp");
    Set("BUTTONCURSOR", "hand.bmp");
    ASSERT_TRUE(Init());
    const std::string prefix = "> mgr.ReportError(<tool>, 5, \"Unable to open ";
    EXPECT_THAT(Lines("> mgr."),
                ::testing::IsSupersetOf(
                    {prefix + Resource("link.cur") + "\")", prefix + Media("fwd.bmp") + "\")",
                     prefix + Media("back.bmp") + "\")", prefix + Resource("hand.bmp") + "\")"}));
    EXPECT_EQ(mgr->Calls("ReportError"), 4);
    EXPECT_EQ(Module().g_strButtonCursor, "");
    EXPECT_FALSE(Module().g_picButtonCursor);
    EXPECT_FALSE(Window().form->GetPicture());
}

TEST_F(BackdropTest, TheButtonCursorIsLoadedFromTheResourceFolder) {
    WriteBitmap(Resource("hand.bmp"), 2, 2);
    Set("BUTTONCURSOR", "hand.bmp");
    ASSERT_TRUE(Init());
    EXPECT_EQ(Module().g_strButtonCursor, "hand.bmp");
    ASSERT_TRUE(Module().g_picButtonCursor);
    EXPECT_EQ(Module().g_picButtonCursor->Width(), 2);
}

// The tooltips of well-formed settings are in the full settings trace.
TEST_F(BackdropTest, TooltipValuesThatDoNotParseAreNotApplied) {
    Set("ToolTip.BackColor", "RGB(1,2,3)");
    Set("ToolTip.ShadowColor", "grey");
    Set("ToolTip.FontSize", "large");
    ASSERT_TRUE(Init());
    EXPECT_THAT(Lines("> frmRoseNavigation.ToolTipShadowColor"), IsEmpty());
    EXPECT_THAT(Lines("> frmRoseNavigation.ToolTipFontSize"), IsEmpty());
    EXPECT_EQ(Window().frmRoseNavigation->ToolTips().backColor, 197121);
}

TEST_F(BackdropTest, AnEmptyCaptionSkipsItsLabelAndTheOtherGetsTheDefaults) {
    Set("Label.Count", "2");
    Set("Label(0).Caption", "");
    Set("Label(0).Top", "99");
    Set("Label(1).Caption", "\"Hello\"");
    ASSERT_TRUE(Init());
    EXPECT_THAT(Lines("> frmRose.AddLabel"), ElementsAre("> frmRose.AddLabel(0, 0, \"Hello\")"));
    ASSERT_EQ(Window().frmRose->Labels().size(), 1u);
    EXPECT_EQ(Window().frmRose->Labels()[0].style.size, Variant(int16_t{10}));
}

TEST_F(BackdropTest, LabelsTakeTheirPositionFontAndColour) {
    Set("Label.Count", "2.5");  // labels 0 to 2
    Set("Label(0).Caption",
        "\xE2\x80\x9CGr\xC3\xBC\xC3\x9F"
        "e\xE2\x80\x9D");  // “Grüße”
    Set("Label(0).Top", "12.5");
    Set("Label(0).Left", "7");
    Set("Label(0).FontName", "arial");
    Set("Label(0).FontBold", "1");
    Set("Label(0).FontItalic", "maybe");
    Set("Label(0).FontSize", "12");
    Set("Label(0).ForeColor", "RGB(255,0,0)");
    Set("Label(1).Caption", "'x'");
    Set("Label(1).FontName", "Comic");
    Set("Label(1).ForeColor", "RGB(300,0,0)");
    Set("Label(2).Caption", "!");
    ASSERT_TRUE(Init());
    const auto& labels = Window().frmRose->Labels();
    ASSERT_EQ(labels.size(), 3u);
    EXPECT_EQ(labels[0].caption,
              "Gr\xC3\xBC\xC3\x9F"
              "e");
    EXPECT_EQ(labels[0].x, 7);
    EXPECT_EQ(labels[0].y, 12);
    EXPECT_EQ(labels[0].style.fontNumber, 1);
    EXPECT_TRUE(labels[0].style.bold);
    EXPECT_FALSE(labels[0].style.italic);
    EXPECT_EQ(labels[0].style.size, Variant(std::string("12")));
    EXPECT_EQ(labels[0].style.foreColor, 255);
    EXPECT_EQ(labels[1].caption, "x");
    EXPECT_EQ(labels[1].style.fontNumber, 0);
    EXPECT_EQ(labels[1].style.foreColor, 0);  // a colour that fails is black
    // A caption too short to have enclosing characters has no text left.
    EXPECT_EQ(labels[2].caption, "");
}

TEST_F(BackdropTest, AHugeLabelCountStopsAtTheLastSixteenBitLabel) {
    Set("Label.Count", "2e9");
    Set("Label(5).Caption", "'five'");
    Set("Label(40000).Caption", "'beyond'");
    ASSERT_TRUE(Init());
    const auto& labels = Window().frmRose->Labels();
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_EQ(labels[0].caption, "five");
}

// Each axis and each conversion with a scale of its own: the window's for
// layout pixels and the main bar's size, the screen's for the window's size,
// the slider's default height, the transcript's backdrop and the host bars.
class UnequalScaleTest : public SettingsTest {
protected:
    UnequalScaleTest() : SettingsTest({12, 20}, headless::TwipsPerPixel{10, 16}) {}
};

TEST_F(UnequalScaleTest, EveryConversionTakesItsOwnAxisAndScale) {
    WriteBitmap(Media("back.bmp"), 640, 480);
    const std::pair<const char*, const char*> settings[] = {
        {"movOrvMovie.Left", "3"},  {"movOrvMovie.Top", "5"},
        {"movOrvMovie.Width", "7"}, {"movOrvMovie.Height", "11"},
        {"rtfText.Left", "30"},     {"rtfText.Top", "20"},
        {"rtfText.Width", "120"},   {"rtfText.Height", "50"},
        {"WIDTH", "400"},           {"HEIGHT", "300"},
        {"PICTURE", "back.bmp"},
    };
    for (const auto& [key, value] : settings) {
        Set(key, value);
    }
    ASSERT_TRUE(Init());
    const auto& w = Window();
    EXPECT_THAT(
        Lines("> movOrvMovie."),
        ElementsAre("> movOrvMovie.Top = 80", "> movOrvMovie.Left = 30", "> movOrvMovie.Width = 70",
                    "> movOrvMovie.Height = 176", "> movOrvMovie.TimeFormat = 0"));
    EXPECT_EQ(w.sldVideoSlider->Height(), 400.0f);  // 20 pixels down the screen
    EXPECT_EQ(w.form->Width(), 4800.0f);
    EXPECT_EQ(w.form->Height(), 6000.0f);
    EXPECT_EQ(w.frmRose->Width(), 480.0f);
    EXPECT_EQ(w.frmRose->Height(), 375.0f);
    const Picture clip = w.rtfText->BackPicture();
    ASSERT_TRUE(clip);
    EXPECT_EQ(clip->Width(), 100);
    EXPECT_EQ(clip->Height(), 40);
    EXPECT_EQ(platform.HeadlessGdi().GetPixel(clip->Handle(), 0, 0), PatternColour(25, 16));
    const auto& background = w.frmRoseNavigation->BackgroundSet();
    ASSERT_TRUE(background);
    EXPECT_EQ(background->windowWidth, 400);
    EXPECT_EQ(background->windowHeight, 300);
}

}  // namespace
}  // namespace scenova::testing
