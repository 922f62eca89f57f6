#include "headless/ButtonBar.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "formats/BarScript.h"
#include "runtime/RuntimeError.h"

namespace scenova::headless {

ButtonBar::ButtonBar(Context& ctx, std::string name) : ContainedControl(ctx, std::move(name)) {}

void ButtonBar::ImageFolder(const std::string& folder) {
    m_ctx.Put(m_name, "ImageFolder", folder);
    m_imageFolder = folder;
}

void ButtonBar::AddButton(const std::string& buttonName, const std::string& descriptor) {
    m_ctx.Call(m_name, "AddButton", buttonName, descriptor);
    Put({.name = buttonName, .descriptor = descriptor, .section = {}, .script = {}});
}

void ButtonBar::Put(Button button) {
    button.section = m_openSection.value_or("");
    auto it = std::find_if(m_buttons.begin(), m_buttons.end(),
                           [&](const Button& b) { return b.name == button.name; });
    if (it != m_buttons.end()) {
        *it = std::move(button);
        return;
    }
    m_buttons.push_back(std::move(button));
}

void ButtonBar::SetButtonState(const std::string& buttonName, int16_t state, bool redraw) {
    m_ctx.Call(m_name, "SetButtonState", buttonName, state, redraw);
    m_states[buttonName] = state;
}

int16_t ButtonBar::GetButtonState(const std::string& buttonName) {
    m_ctx.Call(m_name, "GetButtonState", buttonName);
    return StateOf(buttonName);
}

void ButtonBar::SetButtonToolTip(const std::string& buttonName, const std::string& text) {
    m_ctx.Call(m_name, "SetButtonToolTip", buttonName, text);
    m_toolTipTexts[buttonName] = text;
}

void ButtonBar::BeginBar(const std::string& barName) {
    m_ctx.Call(m_name, "BeginBar", barName);
    m_openSection = barName;
}

void ButtonBar::RefreshBar() {
    m_ctx.Call(m_name, "RefreshBar");
    ++m_refreshCount;
}

void ButtonBar::EndBar(const std::string& barName) {
    m_ctx.Call(m_name, "EndBar", barName);
    m_closedSections.push_back(barName);
    m_openSection.reset();
}

void ButtonBar::LoadScript(const std::string& path) {
    m_ctx.Call(m_name, "LoadScript", path);
    m_scripts.push_back(path);
    for (const formats::BarButton& button : formats::ReadBarScript(path)) {
        Put({.name = button.name,
             .descriptor = button.picture + "," + std::to_string(button.left) + "," +
                           std::to_string(button.top),
             .section = {},
             .script = path});
    }
}

void ButtonBar::SetBackground(const Picture& picture, int16_t windowWidth, int16_t windowHeight,
                              int16_t barLeft, int16_t barTop, int16_t mode) {
    m_ctx.Call(m_name, "SetBackground", picture, windowWidth, windowHeight, barLeft, barTop, mode);
    m_background = Background{picture, windowWidth, windowHeight, barLeft, barTop, mode};
}

void ButtonBar::ZOrder(int16_t position) {
    m_ctx.Call(m_name, "ZOrder", position);
    m_zOrder = position;
}

void ButtonBar::PictureFile(const std::string& fileName) {
    m_ctx.Put(m_name, "PictureFile", fileName);
    m_pictureFile = fileName;
}

void ButtonBar::Transparent(bool value) {
    m_ctx.Put(m_name, "Transparent", value);
    m_transparent = value;
}

void ButtonBar::ToolTipForeColor(int32_t colour) {
    m_ctx.Put(m_name, "ToolTipForeColor", colour);
    m_toolTips.foreColor = colour;
}

void ButtonBar::ToolTipBackColor(int32_t colour) {
    m_ctx.Put(m_name, "ToolTipBackColor", colour);
    m_toolTips.backColor = colour;
}

void ButtonBar::ToolTipShadowColor(int32_t colour) {
    m_ctx.Put(m_name, "ToolTipShadowColor", colour);
    m_toolTips.shadowColor = colour;
}

void ButtonBar::ToolTipTime(float milliseconds) {
    m_ctx.Put(m_name, "ToolTipTime", milliseconds);
    m_toolTips.time = milliseconds;
}

void ButtonBar::ToolTipFontSize(float size) {
    m_ctx.Put(m_name, "ToolTipFontSize", size);
    m_toolTips.fontSize = size;
}

void ButtonBar::ToolTipFontBold(bool value) {
    m_ctx.Put(m_name, "ToolTipFontBold", value);
    m_toolTips.fontBold = value;
}

void ButtonBar::FontName(int16_t fontNumber) {
    m_ctx.Put(m_name, "FontName", fontNumber);
    m_labelStyle.fontNumber = fontNumber;
}

void ButtonBar::FontBold(bool value) {
    m_ctx.Put(m_name, "FontBold", value);
    m_labelStyle.bold = value;
}

void ButtonBar::FontItalic(bool value) {
    m_ctx.Put(m_name, "FontItalic", value);
    m_labelStyle.italic = value;
}

void ButtonBar::FontUnderline(bool value) {
    m_ctx.Put(m_name, "FontUnderline", value);
    m_labelStyle.underline = value;
}

void ButtonBar::FontSize(const Variant& size) {
    m_ctx.Put(m_name, "FontSize", size);
    m_labelStyle.size = size;
}

void ButtonBar::ForeColor(int32_t colour) {
    m_ctx.Put(m_name, "ForeColor", colour);
    m_labelStyle.foreColor = colour;
}

void ButtonBar::LabelMode(int16_t mode) {
    m_ctx.Put(m_name, "LabelMode", mode);
    m_labelStyle.labelMode = mode;
}

void ButtonBar::AddLabel(int32_t& x, int32_t& y, std::string& caption) {
    m_ctx.Call(m_name, "AddLabel", x, y, caption);
    m_labels.push_back({x, y, caption, m_labelStyle});
}

bool ButtonBar::UserEnter(const std::string& buttonName) {
    if (!CanReach() || !HasButton(buttonName) ||
        StateOf(buttonName) == controls::button_state::Hidden) {
        return false;
    }
    const auto handler = m_events.ButtonGotFocus;  // the handler may Advise anew
    m_ctx.Raise(m_name, "ButtonGotFocus", handler, buttonName, ButtonIndex(buttonName));
    return true;
}

bool ButtonBar::UserLeave(const std::string& buttonName) {
    if (!CanReach() || !HasButton(buttonName) ||
        StateOf(buttonName) == controls::button_state::Hidden) {
        return false;
    }
    const auto handler = m_events.ButtonLostFocus;
    m_ctx.Raise(m_name, "ButtonLostFocus", handler, buttonName, ButtonIndex(buttonName));
    return true;
}

bool ButtonBar::UserPress(const std::string& buttonName) {
    const int16_t state = StateOf(buttonName);
    if (!CanReach() || !HasButton(buttonName) || state == controls::button_state::Hidden ||
        state == controls::button_state::Disabled) {
        return false;
    }
    const auto handler = m_events.ButtonPress;
    m_ctx.Raise(m_name, "ButtonPress", handler, buttonName, ButtonIndex(buttonName));
    return true;
}

const ButtonBar::Button* ButtonBar::Find(const std::string& buttonName) const {
    auto it = std::find_if(m_buttons.begin(), m_buttons.end(),
                           [&](const Button& b) { return b.name == buttonName; });
    return it == m_buttons.end() ? nullptr : &*it;
}

bool ButtonBar::HasButton(const std::string& buttonName) const {
    return Find(buttonName) != nullptr;
}

std::optional<std::string> ButtonBar::Descriptor(const std::string& buttonName) const {
    const Button* button = Find(buttonName);
    if (button == nullptr) {
        return std::nullopt;
    }
    return button->descriptor;
}

std::string ButtonBar::ButtonIndex(const std::string& buttonName) const {
    const Button* button = Find(buttonName);
    if (button == nullptr) {
        return "0";
    }
    return std::to_string(button - m_buttons.data() + 1);
}

int16_t ButtonBar::StateOf(const std::string& buttonName) const {
    auto it = m_states.find(buttonName);
    return it == m_states.end() ? controls::button_state::Enabled : it->second;
}

std::optional<std::string> ButtonBar::ToolTip(const std::string& buttonName) const {
    auto it = m_toolTipTexts.find(buttonName);
    if (it == m_toolTipTexts.end()) {
        return std::nullopt;
    }
    return it->second;
}

}  // namespace scenova::headless
