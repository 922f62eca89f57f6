#include <algorithm>
#include <functional>
#include <memory>

#include "module/Module1.h"
#include "picture/CPictureClip.h"
#include "settings/SettingsReader.h"
#include "tool/CScenova.h"

namespace scenova {

namespace {

using controls::IButtonBar;

// A property of the three bars, set on each in their fixed order: main bar,
// toolbar, navigation bar.
template <class T>
Targets<T> OnEveryBar(frmScenova& window, void (IButtonBar::*property)(T)) {
    std::vector<typename Targets<T>::Setter> setters;
    for (auto bar :
         {&frmScenova::frmRose, &frmScenova::frmRoseToolbar, &frmScenova::frmRoseNavigation}) {
        setters.emplace_back(
            [&window, bar, property](const T& v) { ((window.*bar)().*property)(v); });
    }
    return Targets<T>(std::move(setters));
}

// The steps of the backdrop settings, one member each; the tool applies them
// in the order the settings are read.
class BackdropSteps {
public:
    using ReportMissing = std::function<void(const std::string& path)>;

    BackdropSteps(SettingsReader& row, frmScenova& window, Platform& platform,
                  std::shared_ptr<CPictureClip>& pictureClip, ReportMissing reportMissing)
        : m_row(row),
          m_window(window),
          m_platform(platform),
          m_pictureClip(pictureClip),
          m_reportMissing(std::move(reportMissing)) {}

    // The main bar takes its bitmaps from the media folder and lies at the
    // window's top left.
    void MainBar() {
        m_row.Do([&] { Rose().ImageFolder(WithoutLastCharacter(m_module.g_strMediaPath)); });
        m_row.Do([&] { Rose().Top(0); });
        m_row.Do([&] { Rose().Left(0); });
    }

    void Size() {
        Dimension("WIDTH", Axis::X);
        Dimension("HEIGHT", Axis::Y);
    }

    // The transcript gets the piece of the backdrop that lies under it, so
    // that it looks as if it lay on the backdrop.
    void BackdropPicture() {
        m_row.Read("PICTURE");
        const std::string path = m_module.g_strMediaPath + m_row.Text();
        if (!FoundOrReported(path)) {
            return;
        }
        m_row.Do([&] { m_window.SetPicture(m_platform.toolkit().LoadPicture(path)); });
        m_row.Do([&] { Rose().PictureFile(m_row.Text()); });
        IScreen& screen = m_platform.screen();
        const auto pixels = [](float twips, float twipsPerPixel) {
            return ToInteger(static_cast<double>(twips) / static_cast<double>(twipsPerPixel));
        };
        int16_t x = 0;
        int16_t y = 0;
        int16_t cx = 0;
        int16_t cy = 0;
        m_row.Do([&] { x = pixels(Text().Left(), screen.TwipsPerPixelX()); });
        m_row.Do([&] { y = pixels(Text().Top(), screen.TwipsPerPixelY()); });
        m_row.Do([&] { cx = pixels(Text().Width(), screen.TwipsPerPixelX()); });
        m_row.Do([&] { cy = pixels(Text().Height(), screen.TwipsPerPixelY()); });
        m_row.Do([&] {
            if (!m_pictureClip) {
                m_pictureClip = std::make_shared<CPictureClip>(m_platform);
            }
        });
        m_row.Do([&] {
            // A window without a picture has none to cut from, like a picture
            // without a bitmap.
            const Picture backdrop = m_window.GetPicture();
            const int32_t hBmp = backdrop ? backdrop->Handle() : 0;
            Picture clip = m_pictureClip->CreatePictureClip(hBmp, x, y, cx, cy);
            Text().BackPicture(clip);
        });
    }

    void BackColour() {
        m_row.Read("BACKCOLOR");
        if (!m_row.Text().empty()) {
            m_row.Do([&] { m_window.BackColor(ToLong(m_row.Text())); });
        }
    }

    void ButtonCursor() {
        m_row.Read("BUTTONCURSOR");
        const std::string path = m_module.g_strResourcePath + m_row.Text();
        if (FoundOrReported(path)) {
            m_row.Do([&] { m_module.g_strButtonCursor = m_row.Text(); });
            m_row.Do([&] { m_module.g_picButtonCursor = m_platform.toolkit().LoadPicture(path); });
        }
    }

    void Transparent() { m_row.Put(Bars(&IButtonBar::Transparent), true); }

    void Tooltips() {
        m_row.Colour("ToolTip.ForeColor", Bars(&IButtonBar::ToolTipForeColor));
        m_row.Colour("ToolTip.BackColor", Bars(&IButtonBar::ToolTipBackColor));
        // Without a shadow colour of its own, the shadow takes the background's.
        m_row.Read("ToolTip.ShadowColor");
        if (!m_row.Text().empty()) {
            m_row.ApplyColour(Bars(&IButtonBar::ToolTipShadowColor));
        } else {
            m_row.Colour("ToolTip.BackColor", Bars(&IButtonBar::ToolTipShadowColor));
        }
        m_row.Number("ToolTip.Time", 1000, Bars(&IButtonBar::ToolTipTime));
        m_row.Number("ToolTip.FontSize", 10, Bars(&IButtonBar::ToolTipFontSize));
        m_row.Boolean("ToolTip.FontBold", false, Bars(&IButtonBar::ToolTipFontBold));
    }

    void Labels() {
        float count = 0;
        m_row.Number("Label.Count", 0, Into(count));
        int64_t last = -1;
        m_row.Do([&] { last = ToLong(static_cast<double>(count) - 1); });
        // Labels are numbered in 16 bits. A larger count cannot be meant, and
        // would keep the host waiting for billions of lookups.
        last = std::min<int64_t>(last, INT16_MAX - 1);
        for (int64_t n = 0; n <= last; ++n) {
            Label("Label(" + std::to_string(n) + ").");
        }
    }

private:
    IButtonBar& Rose() { return m_window.frmRose(); }
    controls::IRichText& Text() { return m_window.rtfText(); }
    template <class T>
    Targets<T> Bars(void (IButtonBar::*property)(T)) {
        return OnEveryBar(m_window, property);
    }

    // True when the value text names a file that is there; a name of a file
    // that is not is reported.
    bool FoundOrReported(const std::string& path) {
        if (m_row.Text().empty()) {
            return false;
        }
        if (FileExists(m_platform.toolkit(), path)) {
            return true;
        }
        m_row.Do([&] { m_reportMissing(path); });
        return false;
    }

    // The window is sized in twips, the bar in pixels.
    void Dimension(std::string_view key, Axis axis) {
        m_row.Read(key);
        if (m_row.Text().empty()) {
            return;
        }
        const bool x = axis == Axis::X;
        m_row.Do([&] {
            IScreen& screen = m_platform.screen();
            const float twipsPerPixel = x ? screen.TwipsPerPixelX() : screen.TwipsPerPixelY();
            const float twips =
                ToSingle(static_cast<double>(ToSingle(m_row.Text())) * twipsPerPixel);
            if (x) {
                m_window.Width(twips);
            } else {
                m_window.Height(twips);
            }
        });
        m_row.Do([&] {
            if (x) {
                Rose().Width(m_window.TwipsToPixelsX(m_window.Width()));
            } else {
                Rose().Height(m_window.TwipsToPixelsY(m_window.Height()));
            }
        });
    }

    // One label, its keys starting with `label`; nothing without a caption.
    void Label(const std::string& label) {
        m_row.Read(label + "Caption");
        if (m_row.Text().empty()) {
            return;
        }
        std::string caption;
        int32_t top = 0;
        int32_t left = 0;
        m_row.Do([&] { caption = WithoutEnclosingCharacters(m_row.Text()); });
        m_row.Long(label + "Top", 0, Into(top));
        m_row.Long(label + "Left", 0, Into(left));
        m_row.Text(label + "FontName", "Times New Roman",
                   [&](const std::string& font) { Rose().FontName(FontNameToIndex(font)); });
        m_row.Boolean(label + "FontBold", false, [&](bool v) { Rose().FontBold(v); });
        m_row.Boolean(label + "FontItalic", false, [&](bool v) { Rose().FontItalic(v); });
        m_row.Boolean(label + "FontUnderline", false, [&](bool v) { Rose().FontUnderline(v); });
        m_row.Unconverted(label + "FontSize", int16_t{10},
                          [&](const Variant& v) { Rose().FontSize(v); });
        int32_t colour = 0;
        m_row.Colour(label + "ForeColor", Into(colour));
        m_row.Do([&] { Rose().ForeColor(colour); });
        m_row.Do([&] { Rose().LabelMode(1); });
        m_row.Do([&] { Rose().AddLabel(left, top, caption); });
    }

    SettingsReader& m_row;
    frmScenova& m_window;
    Platform& m_platform;
    Module1& m_module = Module1::Get();
    std::shared_ptr<CPictureClip>& m_pictureClip;
    ReportMissing m_reportMissing;
};

}  // namespace

// Sizes the window, gives it its backdrop and colour, sets up the button
// cursor and the tooltips of the three bars, and draws the labels.
void CScenova::ApplyBackdropSettings(ICollection& settings) {
    SettingsReader row(settings, *m_MyForm, *m_diagnostics);
    BackdropSteps steps(row, *m_MyForm, m_platform, m_objPictureClip,
                        [this, &row](const std::string& path) {
                            row.FileMissing(path);
                            Mgr().ReportError(*this, report::CannotOpen, "Unable to open " + path);
                        });
    for (const auto step :
         {&BackdropSteps::MainBar, &BackdropSteps::Size, &BackdropSteps::BackdropPicture,
          &BackdropSteps::BackColour, &BackdropSteps::ButtonCursor, &BackdropSteps::Transparent,
          &BackdropSteps::Tooltips, &BackdropSteps::Labels}) {
        (steps.*step)();
    }
}

}  // namespace scenova
