// Init with settings for every procedure, compared line by line with a
// reviewed trace. The test's own folder shows as $ROOT.

#include "tests/settings/SettingsFixture.h"
#include "tests/support/Golden.h"

namespace scenova::testing {
namespace {

using GoldenSettingsTest = SettingsTest;

TEST_F(GoldenSettingsTest, InitWithEverySetting) {
    WriteCursor(Resource("link.cur"));
    WriteBitmap(Resource("hand.bmp"), 4, 4);
    WriteBitmap(Media("back.bmp"), 640, 480);
    for (const char* name : {"on.bmp", "off.bmp", "play.bmp", "rew.bmp"}) {
        Touch(Media(name));
    }
    const std::pair<const char*, const char*> settings[] = {
        {"movOrvMovie.Top", "10"},
        {"movOrvMovie.Left", "20"},
        {"movOrvMovie.Width", "320"},
        {"movOrvMovie.Height", "240"},
        {"movOrvMovie.TimeFormat", "3"},
        {"rtfText.Top", "270"},
        {"rtfText.Left", "20"},
        {"rtfText.Width", "320"},
        {"rtfText.Height", "150"},
        {"rtfText.Visible", "True"},
        {"rtfText.ActorFontName", "Arial"},
        {"rtfText.ActorFontSize", "12"},
        {"rtfText.TextFontName", "Times New Roman"},
        {"rtfText.TextFontSize", "11.5"},
        {"rtfText.SeperatorFontName", "Symbol"},
        {"rtfText.SeperatorFontSize", "10"},
        {"rtfText.SeperatorChar", "|"},
        {"rtfText.SeperatorFontColor", "RGB(255,0,0)"},
        {"rtfText.UseSeperator", "1"},
        {"rtfText.LinkCursor", "link.cur"},
        {"rtfText.RolloverColor", "RGB(0,0,255)"},
        {"rtfText.TextFontColor", "RGB(0,0,128)"},
        {"rtfText.ActorFontColor", "RGB(128,0,0)"},
        {"rtfText.CultureTipChar", "*"},
        {"btnTextOn.Bmp", "on.bmp"},
        {"btnTextOn.Type", "5"},
        {"btnTextOn.Top", "2"},
        {"btnTextOn.Left", "4"},
        {"btnTextOn.Enabled", "0"},
        {"btnTextOn.ToolTip", "Show the text"},
        {"btnTextOff.Bmp", "off.bmp"},
        {"btnTextOff.Visible", "False"},
        {"btnTextOff.ToolTip", "Hide the text"},
        {"btnVideoStop.Bmp", "stop.bmp"},
        {"btnVideoPlay.Bmp", "play.bmp"},
        {"btnVideoPlay.Type", "2"},
        {"btnVideoPlay.Top", "12.7"},
        {"btnVideoPlay.Left", "10"},
        {"btnVideoPlay.ToolTip", "Play"},
        {"btnVideoRew.Bmp", "rew.bmp"},
        {"btnVideoRew.Type", "abc"},
        {"sldVideoSlider.Visible", "-1"},
        {"sldVideoSlider.Height", "16"},
        {"sldVideoSlider.BorderStyle", "1"},
        {"sldVideoSlider.ForeColor", "RGB(1,2,3)"},
        {"sldVideoSlider.BackColor", "RGB(0,0,300)"},
        {"Help", "help.htm"},
        {"CultureTip", "tips.htm"},
        {"LearningStrategy", ""},
        {"WIDTH", "640"},
        {"HEIGHT", "480"},
        {"PICTURE", "back.bmp"},
        {"BACKCOLOR", "&H00FFFFFF"},  // the original language's hexadecimal form
        {"BUTTONCURSOR", "hand.bmp"},
        {"ToolTip.ForeColor", "RGB(0,0,0)"},
        {"ToolTip.BackColor", "RGB(255,255,224)"},
        {"ToolTip.Time", "&O1356"},  // 750
        {"ToolTip.FontSize", "9"},
        {"ToolTip.FontBold", "true"},
        {"Label.Count", "2"},
        {"Label(0).Caption", "\"Lesson 1\""},
        {"Label(0).Top", "5"},
        {"Label(0).Left", "300"},
        {"Label(0).FontName", "Arial"},
        {"Label(0).FontBold", "1"},
        {"Label(0).FontSize", "14"},
        {"Label(0).ForeColor", "RGB(255,255,255)"},
        {"Label(1).Caption", "'Scene'"},
        {"Nav.Top", "6900"},
        {"Nav.Left", "0"},
        {"Nav.Width", "9600"},
        {"Nav.Height", "300"},
        {"Nav.Script", "nav.txt"},
        {"Toolbar.Top", "0"},
        {"Toolbar.Left", "7200"},
        {"Toolbar.Width", "2400"},
        {"Toolbar.Height", "300"},
        {"Toolbar.Script", "toolbar.txt"},
    };
    for (const auto& [key, value] : settings) {
        Set(key, value);
    }
    ASSERT_TRUE(Init());

    std::vector<std::string> lines;
    for (std::string line : platform.GetTrace().Lines()) {
        for (auto at = line.find(Root().string()); at != std::string::npos;
             at = line.find(Root().string())) {
            line.replace(at, Root().string().size(), "$ROOT");
        }
        lines.push_back(line);
    }
    ExpectGolden("settings_full.trace", lines);
    EXPECT_TRUE(platform.Ctx().eventErrors.empty());
}

}  // namespace
}  // namespace scenova::testing
