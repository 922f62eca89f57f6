#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "controls/Control.h"
#include "platform/Picture.h"
#include "runtime/Variant.h"

namespace scenova::controls {

// Button states of a bar.
namespace button_state {
inline constexpr int16_t Enabled = 0;
inline constexpr int16_t Disabled = 1;
inline constexpr int16_t Hidden = 3;
}  // namespace button_state

struct ButtonBarEvents {
    using Handler =
        std::function<void(const std::string& buttonName, const std::string& buttonIndex)>;
    Handler ButtonGotFocus;
    Handler ButtonLostFocus;
    Handler ButtonPress;
};

// The button bar control (three on the window: transport buttons, navigation
// bar, toolbar). A name that is not on the bar is accepted and ignored by
// SetButtonState; GetButtonState returns the last state set.
class IButtonBar : public IContainedControl {
public:
    virtual void Advise(ButtonBarEvents events) = 0;

    virtual void ImageFolder(const std::string& folder) = 0;
    virtual void AddButton(const std::string& buttonName, const std::string& descriptor) = 0;
    virtual void SetButtonState(const std::string& buttonName, int16_t state, bool redraw) = 0;
    virtual int16_t GetButtonState(const std::string& buttonName) = 0;
    virtual void SetButtonToolTip(const std::string& buttonName, const std::string& text) = 0;
    virtual void BeginBar(const std::string& barName) = 0;
    virtual void RefreshBar() = 0;
    virtual void EndBar(const std::string& barName) = 0;
    virtual void LoadScript(const std::string& path) = 0;
    virtual void SetBackground(const Picture& picture, int16_t windowWidth, int16_t windowHeight,
                               int16_t barLeft, int16_t barTop, int16_t mode) = 0;
    virtual void ZOrder(int16_t position) = 0;
    virtual void PictureFile(const std::string& fileName) = 0;
    virtual void Transparent(bool value) = 0;

    virtual void ToolTipForeColor(int32_t colour) = 0;
    virtual void ToolTipBackColor(int32_t colour) = 0;
    virtual void ToolTipShadowColor(int32_t colour) = 0;
    virtual void ToolTipTime(float milliseconds) = 0;
    virtual void ToolTipFontSize(float size) = 0;
    virtual void ToolTipFontBold(bool value) = 0;

    // Label style: applies to the next label added.
    virtual void FontName(int16_t fontNumber) = 0;
    virtual void FontBold(bool value) = 0;
    virtual void FontItalic(bool value) = 0;
    virtual void FontUnderline(bool value) = 0;
    virtual void FontSize(const Variant& size) = 0;
    virtual void ForeColor(int32_t colour) = 0;
    virtual void LabelMode(int16_t mode) = 0;
    virtual void AddLabel(int32_t& x, int32_t& y, std::string& caption) = 0;
};

}  // namespace scenova::controls
