#include "module/Module1.h"
#include "runtime/ColourMarker.h"
#include "settings/SettingsReader.h"
#include "tool/CScenova.h"

namespace scenova {

namespace {

constexpr const char* kBarName = "Scenova";
// The section sign: what marks a culture tip in the transcript unless the
// lesson chooses another character.
constexpr const char* kCultureTipChar = "\xC2\xA7";

}  // namespace

// Lays out the video, the transcript, the transport buttons and the slider,
// and keeps the transcript's fonts, colours and cursor and the host's
// resource strings for the script.
void CScenova::ApplyLayoutSettings(ICollection& settings) {
    Module1& module = Module1::Get();
    TranscriptFontInfo& fonts = module.g_TranscriptFonts;
    frmScenova& window = *m_MyForm;
    auto rose = [&]() -> controls::IButtonBar& { return window.frmRose(); };
    auto video = [&]() -> controls::IVideo& { return window.movOrvMovie(); };
    auto text = [&]() -> controls::IRichText& { return window.rtfText(); };
    auto slider = [&]() -> controls::ISlider& { return window.sldVideoSlider(); };

    SettingsReader row(settings, window, *m_diagnostics);
    row.Do([&] { rose().ImageFolder(WithoutLastCharacter(module.g_strMediaPath)); });
    row.Do([&] { rose().BeginBar(kBarName); });

    row.Pixels("movOrvMovie.Top", Axis::Y, 0, [&](float v) { video().Top(v); });
    row.Pixels("movOrvMovie.Left", Axis::X, 0, [&](float v) { video().Left(v); });
    row.Pixels("movOrvMovie.Width", Axis::X, 10, [&](float v) { video().Width(v); });
    row.Pixels("movOrvMovie.Height", Axis::Y, 10, [&](float v) { video().Height(v); });
    row.Number("movOrvMovie.TimeFormat", 0, [&](float v) { video().TimeFormat(v); });

    row.Pixels("rtfText.Top", Axis::Y, 0, [&](float v) { text().Top(v); });
    row.Pixels("rtfText.Left", Axis::X, 0, [&](float v) { text().Left(v); });
    row.Pixels("rtfText.Width", Axis::X, 50, [&](float v) { text().Width(v); });
    row.Pixels("rtfText.Height", Axis::Y, 100, [&](float v) { text().Height(v); });
    row.Boolean("rtfText.Visible", false, [&](bool v) { text().Visible(v); });

    row.Text("rtfText.ActorFontName", "MS Sans Serif", Into(fonts.ActorFontName));
    row.Integer("rtfText.ActorFontSize", 10, Into(fonts.ActorFontSize));
    row.Text("rtfText.TextFontName", "MS Sans Serif", Into(fonts.TextFontName));
    row.Integer("rtfText.TextFontSize", 10, Into(fonts.TextFontSize));
    row.Text("rtfText.SeperatorFontName", "MS Sans Serif", Into(fonts.SeperatorFontName));
    row.Integer("rtfText.SeperatorFontSize", 10, Into(fonts.SeperatorFontSize));
    row.Text("rtfText.SeperatorChar", "", Into(fonts.SeperatorChar));

    // A coloured separator carries its own colour markup.
    row.Read("rtfText.SeperatorFontColor");
    if (!row.Text().empty()) {
        if (const auto rgb = row.ParseColour()) {
            row.Do(
                [&] { fonts.SeperatorChar = colour_marker::Coloured(*rgb, fonts.SeperatorChar); });
        }
    }
    row.Boolean("rtfText.UseSeperator", false, Into(m_transcript.m_blnUseSeperator));

    row.Read("rtfText.LinkCursor");
    const std::string cursorPath = module.g_strResourcePath + row.Text();
    if (!row.Text().empty() && FileExists(m_platform.toolkit(), cursorPath)) {
        row.Do([&] {
            int32_t& cursor = module.g_hFileCursors[cursorPath];
            if (cursor == 0) {
                cursor = m_platform.user32().LoadCursorFromFileA(cursorPath);
            }
            module.g_hLinkCursor = cursor;
        });
    } else {
        if (!row.Text().empty()) {
            row.FileMissing(cursorPath);
            row.Do([&] {
                Mgr().ReportError(*this, report::CannotOpen, "Unable to open " + cursorPath);
            });
        }
        row.Do([&] { module.g_hLinkCursor = 0; });
    }

    // The transcript control's display options.
    row.Do([&] { text().DisplayFlag1(1); });
    row.Do([&] { text().DisplayFlag2(0); });
    row.Do([&] { text().DisplayFlag3(0); });
    row.Do([&] { text().DisplayFlag1(0); });

    row.Colour("rtfText.RolloverColor", [&](int32_t c) { text().RolloverColor(c); });
    row.ColourText("rtfText.TextFontColor", Into(m_transcript.m_strTextFontColor));
    row.ColourText("rtfText.ActorFontColor", Into(m_transcript.m_strActorFontColor));
    row.Text("rtfText.CultureTipChar", kCultureTipChar, Into(module.g_strCultureTipChar));

    ApplyTransportButtonSettings(settings);

    // Unless placed otherwise, the slider lies right below the video and is
    // as wide as the video; the defaults are read when their row is applied.
    const auto videoBottom = [&] { return video().Top() + video().Height(); };
    const auto videoLeft = [&] { return video().Left(); };
    const auto videoWidth = [&] { return video().Width(); };
    const auto twentyPixels = [&] { return 20 * m_platform.screen().TwipsPerPixelY(); };
    row.Boolean("sldVideoSlider.Visible", true, [&](bool v) { slider().Visible(v); });
    row.Pixels("sldVideoSlider.Top", Axis::Y, videoBottom, [&](float v) { slider().Top(v); });
    row.Pixels("sldVideoSlider.Left", Axis::X, videoLeft, [&](float v) { slider().Left(v); });
    row.Pixels("sldVideoSlider.Width", Axis::X, videoWidth, [&](float v) { slider().Width(v); });
    row.Pixels("sldVideoSlider.Height", Axis::Y, twentyPixels,
               [&](float v) { slider().Height(v); });
    row.Boolean("sldVideoSlider.Enabled", true, [&](bool v) { slider().Enabled(v); });
    row.Number("sldVideoSlider.BorderStyle", 0,
               [&](float v) { slider().BorderStyle(ToInteger(static_cast<double>(v))); });
    row.Colour("sldVideoSlider.ForeColor", [&](int32_t c) { slider().ForeColor(c); });
    row.Colour("sldVideoSlider.BackColor", [&](int32_t c) { slider().BackColor(c); });

    row.Item("Help", Into(module.g_strHelp));
    row.Item("CultureTip", Into(module.g_strCultureTip));
    row.Item("LearningStrategy", Into(module.g_strLearningStrategy));

    row.Do([&] { rose().RefreshBar(); });
    row.Do([&] { rose().EndBar(kBarName); });
}

}  // namespace scenova
