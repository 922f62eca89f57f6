#include <algorithm>
#include <memory>

#include "module/Module1.h"
#include "picture/CPictureClip.h"
#include "settings/SettingsReader.h"
#include "tool/CScenova.h"

namespace scenova {

namespace {

// A property of the three bars, set on each in their fixed order: main bar,
// toolbar, navigation bar.
template <class T>
Each<T> OnEveryBar(frmScenova& window, void (controls::IButtonBar::*property)(T)) {
    Each<T> each;
    for (auto bar :
         {&frmScenova::frmRose, &frmScenova::frmRoseToolbar, &frmScenova::frmRoseNavigation}) {
        each.targets.push_back([&window, bar, property](T v) { ((window.*bar)().*property)(v); });
    }
    return each;
}

}  // namespace

// Sizes the window, gives it its backdrop and colour, sets up the button
// cursor and the tooltips of the three bars, and draws the labels.
void CScenova::ApplyBackdropSettings(ICollection& settings) {
    using controls::IButtonBar;
    Module1& module = Module1::Get();
    frmScenova& window = *m_MyForm;
    IScreen& screen = m_platform.screen();
    auto rose = [&]() -> IButtonBar& { return window.frmRose(); };
    auto text = [&]() -> controls::IRichText& { return window.rtfText(); };
    auto bars = [&](auto property) { return OnEveryBar(window, property); };
    auto reportMissing = [&](const std::string& path) {
        Mgr().ReportError(*this, report::CannotOpen, "Unable to open " + path);
    };

    SettingsReader row(settings, window);
    row.Do([&] { rose().ImageFolder(WithoutLastCharacter(module.g_strMediaPath)); });
    row.Do([&] { rose().Top(0); });
    row.Do([&] { rose().Left(0); });

    // The window is sized in twips, the bar in pixels.
    row.Read("WIDTH");
    if (!row.Text().empty()) {
        row.Do([&] {
            window.Width(
                ToSingle(static_cast<double>(ToSingle(row.Text())) * screen.TwipsPerPixelX()));
        });
        row.Do([&] { rose().Width(window.TwipsToPixelsX(window.Width())); });
    }
    row.Read("HEIGHT");
    if (!row.Text().empty()) {
        row.Do([&] {
            window.Height(
                ToSingle(static_cast<double>(ToSingle(row.Text())) * screen.TwipsPerPixelY()));
        });
        row.Do([&] { rose().Height(window.TwipsToPixelsY(window.Height())); });
    }

    // The transcript gets the piece of the backdrop that lies under it, so
    // that it looks as if it lay on the backdrop.
    row.Read("PICTURE");
    const std::string picturePath = module.g_strMediaPath + row.Text();
    if (!row.Text().empty() && FileExists(m_platform.toolkit(), picturePath)) {
        row.Do([&] { window.SetPicture(m_platform.toolkit().LoadPicture(picturePath)); });
        row.Do([&] { rose().PictureFile(row.Text()); });
        const auto pixels = [](float twips, float twipsPerPixel) {
            return ToInteger(static_cast<double>(twips) / static_cast<double>(twipsPerPixel));
        };
        int16_t x = 0;
        int16_t y = 0;
        int16_t cx = 0;
        int16_t cy = 0;
        row.Do([&] { x = pixels(text().Left(), screen.TwipsPerPixelX()); });
        row.Do([&] { y = pixels(text().Top(), screen.TwipsPerPixelY()); });
        row.Do([&] { cx = pixels(text().Width(), screen.TwipsPerPixelX()); });
        row.Do([&] { cy = pixels(text().Height(), screen.TwipsPerPixelY()); });
        row.Do([&] {
            if (!m_objPictureClip) {
                m_objPictureClip = std::make_shared<CPictureClip>(m_platform);
            }
        });
        row.Do([&] {
            // A window without a picture has none to cut from, like a picture
            // without a bitmap.
            const Picture backdrop = window.GetPicture();
            const int32_t hBmp = backdrop ? backdrop->Handle() : 0;
            Picture clip = m_objPictureClip->CreatePictureClip(hBmp, x, y, cx, cy);
            text().BackPicture(clip);
        });
    } else if (!row.Text().empty()) {
        row.Do([&] { reportMissing(picturePath); });
    }

    row.Read("BACKCOLOR");
    if (!row.Text().empty()) {
        row.Do([&] { window.BackColor(ToLong(row.Text())); });
    }

    row.Read("BUTTONCURSOR");
    const std::string cursorPath = module.g_strResourcePath + row.Text();
    if (!row.Text().empty() && FileExists(m_platform.toolkit(), cursorPath)) {
        row.Do([&] { module.g_strButtonCursor = row.Text(); });
        row.Do([&] { module.g_picButtonCursor = m_platform.toolkit().LoadPicture(cursorPath); });
    } else if (!row.Text().empty()) {
        row.Do([&] { reportMissing(cursorPath); });
    }

    row.Put(bars(&IButtonBar::Transparent), true);

    row.Colour("ToolTip.ForeColor", bars(&IButtonBar::ToolTipForeColor));
    row.Colour("ToolTip.BackColor", bars(&IButtonBar::ToolTipBackColor));
    // Without a shadow colour of its own, the shadow takes the background's.
    row.Read("ToolTip.ShadowColor");
    if (!row.Text().empty()) {
        row.ApplyColour(bars(&IButtonBar::ToolTipShadowColor));
    } else {
        row.Colour("ToolTip.BackColor", bars(&IButtonBar::ToolTipShadowColor));
    }
    row.Number("ToolTip.Time", 1000, bars(&IButtonBar::ToolTipTime));
    row.Number("ToolTip.FontSize", 10, bars(&IButtonBar::ToolTipFontSize));
    row.Boolean("ToolTip.FontBold", false, bars(&IButtonBar::ToolTipFontBold));

    float count = 0;
    row.Number("Label.Count", 0, count);
    int64_t last = -1;
    row.Do([&] { last = ToLong(static_cast<double>(count) - 1); });
    // Labels are numbered in 16 bits. A larger count cannot be meant, and
    // would keep the host waiting for billions of lookups.
    last = std::min<int64_t>(last, INT16_MAX - 1);
    for (int64_t n = 0; n <= last; ++n) {
        const std::string label = "Label(" + std::to_string(n) + ").";
        row.Read(label + "Caption");
        if (row.Text().empty()) {
            continue;
        }
        std::string caption;
        int32_t top = 0;
        int32_t left = 0;
        row.Do([&] { caption = WithoutEnclosingCharacters(row.Text()); });
        row.Long(label + "Top", 0, top);
        row.Long(label + "Left", 0, left);
        row.Text(label + "FontName", "Times New Roman",
                 [&](const std::string& font) { rose().FontName(FontNameToIndex(font)); });
        row.Boolean(label + "FontBold", false, [&](bool v) { rose().FontBold(v); });
        row.Boolean(label + "FontItalic", false, [&](bool v) { rose().FontItalic(v); });
        row.Boolean(label + "FontUnderline", false, [&](bool v) { rose().FontUnderline(v); });
        row.Unconverted(label + "FontSize", int16_t{10},
                        [&](const Variant& v) { rose().FontSize(v); });
        int32_t colour = 0;
        row.Colour(label + "ForeColor", colour);
        row.Do([&] { rose().ForeColor(colour); });
        row.Do([&] { rose().LabelMode(1); });
        row.Do([&] { rose().AddLabel(left, top, caption); });
    }
}

}  // namespace scenova
