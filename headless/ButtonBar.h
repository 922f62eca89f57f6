#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "controls/ButtonBar.h"
#include "headless/ContainedControl.h"
#include "headless/Context.h"
#include "platform/Picture.h"
#include "runtime/Variant.h"

namespace scenova::headless {

// A button bar held in memory. It records everything it is told so that tests
// can read it back, and raises its events only for the simulated user.
//
// Buttons are compared by exact (case-sensitive) name. A second AddButton
// under a name already on the bar replaces the descriptor and keeps the
// button's position. Button states are remembered for any name, also for
// names that are not on the bar.
//
// Bar scripts (LoadScript) are read as every platform reads them
// (formats/BarScript.h); each button is added as AddButton adds it
// (descriptor "picture,left,top"), so the user can press it. A file that
// cannot be read or has a malformed line raises, and nothing of it is added.
//
// The user can point at and press only what is there to see: nothing happens
// while the bar is hidden, disabled or destroyed, nor for a name that is not
// on the bar (a state set for it does not put it there); a hidden button
// (state 3) neither gets the pointer nor presses; a disabled one (state 1)
// gets the pointer but does not press.
class ButtonBar final : public ContainedControl<controls::IButtonBar> {
public:
    struct Button {
        std::string name;
        std::string descriptor;
        std::string section;  // the bar section open when it was added ("" for none)
        std::string script;   // the bar script it came from ("" for AddButton)
    };
    struct LabelStyle {
        int16_t fontNumber = 0;
        bool bold = false;
        bool italic = false;
        bool underline = false;
        Variant size;
        int32_t foreColor = 0;
        int16_t labelMode = 0;
    };
    struct Label {
        int32_t x = 0;
        int32_t y = 0;
        std::string caption;
        LabelStyle style;
    };
    struct ToolTipStyle {
        int32_t foreColor = 0;
        int32_t backColor = 0xFFFFFF;
        int32_t shadowColor = 0;
        float time = 0.0f;
        float fontSize = 0.0f;
        bool fontBold = false;
    };
    struct Background {
        Picture picture;
        int16_t windowWidth = 0;
        int16_t windowHeight = 0;
        int16_t barLeft = 0;
        int16_t barTop = 0;
        int16_t mode = 0;
    };

    ButtonBar(Context& ctx, std::string name);

    // IButtonBar
    void Advise(controls::ButtonBarEvents events) override { m_events = std::move(events); }
    void ImageFolder(const std::string& folder) override;
    void AddButton(const std::string& buttonName, const std::string& descriptor) override;
    void SetButtonState(const std::string& buttonName, int16_t state, bool redraw) override;
    int16_t GetButtonState(const std::string& buttonName) override;
    void SetButtonToolTip(const std::string& buttonName, const std::string& text) override;
    void BeginBar(const std::string& barName) override;
    void RefreshBar() override;
    void EndBar(const std::string& barName) override;
    void LoadScript(const std::string& path) override;
    void SetBackground(const Picture& picture, int16_t windowWidth, int16_t windowHeight,
                       int16_t barLeft, int16_t barTop, int16_t mode) override;
    void ZOrder(int16_t position) override;
    void PictureFile(const std::string& fileName) override;
    void Transparent(bool value) override;
    void ToolTipForeColor(int32_t colour) override;
    void ToolTipBackColor(int32_t colour) override;
    void ToolTipShadowColor(int32_t colour) override;
    void ToolTipTime(float milliseconds) override;
    void ToolTipFontSize(float size) override;
    void ToolTipFontBold(bool value) override;
    void FontName(int16_t fontNumber) override;
    void FontBold(bool value) override;
    void FontItalic(bool value) override;
    void FontUnderline(bool value) override;
    void FontSize(const Variant& size) override;
    void ForeColor(int32_t colour) override;
    void LabelMode(int16_t mode) override;
    void AddLabel(int32_t& x, int32_t& y, std::string& caption) override;

    // The simulated user. Each returns whether the event was raised.
    bool UserEnter(const std::string& buttonName);
    bool UserLeave(const std::string& buttonName);
    bool UserPress(const std::string& buttonName);

    // Destroyed with its window: from now on the user reaches nothing.
    // A destroyed control lets go of its background picture as a real one would.
    void Destroy() {
        m_destroyed = true;
        if (m_background) {
            m_background->picture.reset();
        }
    }
    bool IsDestroyed() const { return m_destroyed; }

    // What the bar was told, for tests.
    const std::vector<Button>& Buttons() const { return m_buttons; }
    bool HasButton(const std::string& buttonName) const;
    std::optional<std::string> Descriptor(const std::string& buttonName) const;
    // "1", "2" ... by position among the buttons added; "0" when not on the bar.
    std::string ButtonIndex(const std::string& buttonName) const;
    // The last state set, without a trace line (0 when never set).
    int16_t StateOf(const std::string& buttonName) const;
    std::optional<std::string> ToolTip(const std::string& buttonName) const;
    const std::string& ImageFolder() const { return m_imageFolder; }
    const std::string& PictureFile() const { return m_pictureFile; }
    bool Transparent() const { return m_transparent; }
    const ToolTipStyle& ToolTips() const { return m_toolTips; }
    const LabelStyle& CurrentLabelStyle() const { return m_labelStyle; }
    const std::vector<Label>& Labels() const { return m_labels; }
    // Every path LoadScript was called with, loaded or not.
    const std::vector<std::string>& Scripts() const { return m_scripts; }
    const std::optional<Background>& BackgroundSet() const { return m_background; }
    std::optional<int16_t> LastZOrder() const { return m_zOrder; }
    // The section between BeginBar and EndBar, if one is open.
    const std::optional<std::string>& OpenSection() const { return m_openSection; }
    const std::vector<std::string>& ClosedSections() const { return m_closedSections; }
    int RefreshCount() const { return m_refreshCount; }

private:
    bool CanReach() const { return UserCanReach() && !m_destroyed; }
    const Button* Find(const std::string& buttonName) const;
    void Put(Button button);

    controls::ButtonBarEvents m_events;

    bool m_destroyed = false;

    std::vector<Button> m_buttons;
    std::map<std::string, int16_t> m_states;
    std::map<std::string, std::string> m_toolTipTexts;
    std::string m_imageFolder;
    std::string m_pictureFile;
    bool m_transparent = false;
    ToolTipStyle m_toolTips;
    LabelStyle m_labelStyle;
    std::vector<Label> m_labels;
    std::vector<std::string> m_scripts;
    std::optional<Background> m_background;
    std::optional<int16_t> m_zOrder;
    std::optional<std::string> m_openSection;
    std::vector<std::string> m_closedSections;
    int m_refreshCount = 0;
};

}  // namespace scenova::headless
