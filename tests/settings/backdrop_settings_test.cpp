// The window's size, backdrop, colours, cursor, tooltips and labels.

#include "tests/settings/SettingsFixture.h"

namespace scenova::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

using BackdropTest = SettingsTest;

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

TEST_F(BackdropTest, TheButtonCursorIsLoadedFromTheResourceFolder) {
    WriteBitmap(Resource("hand.bmp"), 2, 2);
    Set("BUTTONCURSOR", "hand.bmp");
    ASSERT_TRUE(Init());
    EXPECT_EQ(Module().g_strButtonCursor, "hand.bmp");
    ASSERT_TRUE(Module().g_picButtonCursor);
    EXPECT_EQ(Module().g_picButtonCursor->Width(), 2);
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
