#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "controls/ButtonBar.h"
#include "model/Contained.h"
#include "platform/Picture.h"
#include "runtime/Variant.h"

namespace scenova::model {

// A button bar as every platform keeps it: its buttons, states, tooltips,
// labels and look, and the rules of the user's input. A platform draws it
// (Redraw, ButtonAdded, Raised) and delivers the pointer to UserEnter,
// UserLeave and UserPress.
//
// Buttons are compared by exact (case-sensitive) name. A second button
// under a name already on the bar replaces its definition and keeps its
// place. AddButton takes "type,picture,left,top" (or "picture,left,top";
// what does not read as a number counts as 0); bar scripts (LoadScript) are
// read as formats/BarScript.h says, each button added as "picture,left,top".
// A script that cannot be read or has a malformed line raises, and nothing
// of it is added. States are remembered for any name, also for names that
// are not on the bar.
//
// The user reaches only what there is to see: nothing while the bar (or its
// window) is hidden, disabled or destroyed, nor a name that is not on the
// bar (a state set for it does not put it there); a hidden button (state 3)
// neither takes the pointer nor presses; a disabled one (state 1) takes the
// pointer but does not press.
class ButtonBar : public Contained<controls::IButtonBar> {
public:
    struct Button {
        std::string name;
        std::string descriptor;
        std::string section;  // the bar section open when it was added ("" for none)
        std::string script;   // the bar script it came from ("" for AddButton)
        std::string picture;  // in the bar's image folder
        int32_t left = 0;     // the bar's pixels
        int32_t top = 0;
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
        int32_t backColor = 0xE1FFFF;
        int32_t shadowColor = 0x808080;
        float time = 1000.0f;
        float fontSize = 9.0f;
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

    ButtonBar(Context& ctx, std::string name) : Contained(ctx, std::move(name)) {}

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
    void PictureFile(const std::string& fileName) override {
        Set(Member::PictureFile, m_pictureFile, fileName);
    }
    void Transparent(bool value) override { Set(Member::Transparent, m_transparent, value); }
    void ToolTipForeColor(int32_t colour) override {
        Set(Member::ToolTipForeColor, m_toolTips.foreColor, colour);
    }
    void ToolTipBackColor(int32_t colour) override {
        Set(Member::ToolTipBackColor, m_toolTips.backColor, colour);
    }
    void ToolTipShadowColor(int32_t colour) override {
        Set(Member::ToolTipShadowColor, m_toolTips.shadowColor, colour);
    }
    void ToolTipTime(float milliseconds) override {
        Set(Member::ToolTipTime, m_toolTips.time, milliseconds);
    }
    void ToolTipFontSize(float size) override {
        Set(Member::ToolTipFontSize, m_toolTips.fontSize, size);
    }
    void ToolTipFontBold(bool value) override {
        Set(Member::ToolTipFontBold, m_toolTips.fontBold, value);
    }
    void FontName(int16_t fontNumber) override {
        Set(Member::FontName, m_labelStyle.fontNumber, fontNumber);
    }
    void FontBold(bool value) override { Set(Member::FontBold, m_labelStyle.bold, value); }
    void FontItalic(bool value) override { Set(Member::FontItalic, m_labelStyle.italic, value); }
    void FontUnderline(bool value) override {
        Set(Member::FontUnderline, m_labelStyle.underline, value);
    }
    void FontSize(const Variant& size) override;
    void ForeColor(int32_t colour) override {
        Set(Member::ForeColor, m_labelStyle.foreColor, colour);
    }
    void LabelMode(int16_t mode) override { Set(Member::LabelMode, m_labelStyle.labelMode, mode); }
    void AddLabel(int32_t& x, int32_t& y, std::string& caption) override;

    // The user, as the pointer, the keyboard and a host's scripted actions
    // reach a button. Each returns whether the event was raised.
    bool UserEnter(const std::string& buttonName);
    bool UserLeave(const std::string& buttonName);
    bool UserPress(const std::string& buttonName);

    // A destroyed bar lets go of its background picture as a real one would.
    void Destroy();

    const std::vector<Button>& Buttons() const { return m_buttons; }
    bool HasButton(const std::string& buttonName) const { return Find(buttonName) != nullptr; }
    std::optional<std::string> Descriptor(const std::string& buttonName) const;
    // "1", "2" ... by position among the buttons added; "0" when not on the bar.
    std::string ButtonIndex(const std::string& buttonName) const;
    // The last state set, without a record (0 when never set).
    int16_t StateOf(const std::string& buttonName) const;
    std::optional<std::string> ToolTip(const std::string& buttonName) const;
    // The button that took the place of one that can no longer be pressed,
    // when it can be pressed now: the keyboard goes there. A button made
    // pressable in the change of state next to one that makes another
    // unpressable takes its place (Stop for Play, and back).
    std::optional<std::string> TakenOverBy(const std::string& buttonName) const;
    // The buttons the keyboard reaches (the enabled ones), in reading order.
    std::vector<std::string> KeyButtons() const;
    // Where the keyboard goes from the button it was on: that one while it
    // can be pressed, else the one that took its place, else the nearest
    // (the one after it when two are as near); "" when none can be pressed.
    std::string KeyboardFrom(const std::string& buttonName) const;
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

protected:
    // What a platform shows: the look changed; a button was added (its
    // picture to read); the bar goes to the front (0) or the back.
    virtual void Redraw() {}
    virtual void ButtonAdded(const Button&) {}
    virtual void Raised(int16_t) {}

private:
    const Button* Find(const std::string& buttonName) const;
    void Put(Button button);
    template <class T>
    void Set(Member property, T& field, T value) {
        m_ctx.Put(m_name, property, value);
        field = value;
        Redraw();
    }

    controls::ButtonBarEvents m_events;
    std::vector<Button> m_buttons;
    std::map<std::string, int16_t> m_states;
    // The last button that became pressable (true) or stopped being so.
    std::optional<std::pair<std::string, bool>> m_lastTurn;
    std::map<std::string, std::string> m_takenOverBy;
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

}  // namespace scenova::model
