#include <array>

#include "module/Module1.h"
#include "settings/SettingsReader.h"
#include "tool/CScenova.h"

namespace scenova {

namespace {

// In the order they are put on the bar.
constexpr std::array<const char*, 6> kTransportButtons{
    "btnTextOn", "btnTextOff", "btnVideoStop", "btnVideoPlay", "btnVideoFwd", "btnVideoRew"};

// What the bar takes to define a button: "type,bitmap,left,top".
std::string ButtonDefinition(int16_t type, const std::string& bitmap, int32_t left, int32_t top) {
    return std::to_string(type) + "," + bitmap + "," + std::to_string(left) + "," +
           std::to_string(top);
}

Collection& ButtonInfo() {
    const auto& buttons = Module1::Get().g_colButtonInfo;
    if (!buttons) {
        Raise(err::NoObject);
    }
    return *buttons;
}

}  // namespace

// Defines the transport buttons whose bitmaps are there and records them in
// g_colButtonInfo, so that the window only drives buttons that exist.
void CScenova::ApplyTransportButtonSettings(ICollection& settings) {
    const std::string& mediaPath = Module1::Get().g_strMediaPath;
    auto rose = [&]() -> controls::IButtonBar& { return m_MyForm->frmRose(); };
    namespace state = controls::button_state;

    // Shared by the six buttons: a value that does not convert leaves what
    // the button before set.
    std::string bitmap;
    int16_t type = 0;
    int32_t top = 0;
    int32_t left = 0;
    bool visible = false;
    bool enabled = false;

    SettingsReader row(settings, *m_MyForm, *m_diagnostics);
    for (const std::string name : kTransportButtons) {
        row.Read(name + ".Bmp");
        const std::string path = mediaPath + row.Text();
        if (!row.Text().empty() && FileExists(m_platform.toolkit(), path)) {
            row.Do([&] { bitmap = row.Text(); });
            row.Integer(name + ".Type", 109, Into(type));
            row.Long(name + ".Top", 0, Into(top));
            row.Long(name + ".Left", 0, Into(left));
            row.Do([&] { rose().AddButton(name, ButtonDefinition(type, bitmap, left, top)); });
            row.Do([&] { ButtonInfo().Add(name, name); });
            row.Boolean(name + ".Visible", true, Into(visible));
            row.Do([&] {
                rose().SetButtonState(name, visible ? state::Enabled : state::Hidden, false);
            });
            if (visible) {
                row.Boolean(name + ".Enabled", true, Into(enabled));
                row.Do([&] {
                    rose().SetButtonState(name, enabled ? state::Enabled : state::Disabled, false);
                });
            }
            row.Read(name + ".ToolTip");
            row.Do([&] { rose().SetButtonToolTip(name, row.Text()); });
        } else if (!row.Text().empty()) {
            row.FileMissing(path);
            row.Do([&] { Mgr().ReportError(*this, report::CannotOpen, "Unable to open " + path); });
        }
    }
}

}  // namespace scenova
