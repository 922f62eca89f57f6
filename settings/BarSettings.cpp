#include "module/Module1.h"
#include "settings/SettingsReader.h"
#include "tool/CScenova.h"

namespace scenova {

void CScenova::ApplyNavigationSettings(ICollection& settings) {
    ApplyBarSettings(settings, m_MyForm->frmRoseNavigation(), "Nav.");
}

void CScenova::ApplyToolbarSettings(ICollection& settings) {
    ApplyBarSettings(settings, m_MyForm->frmRoseToolbar(), "Toolbar.");
}

// Places a host button bar, loads its buttons and lets it draw the piece of
// the window's backdrop under it. Positions are the window's own twips.
void CScenova::ApplyBarSettings(ICollection& settings, controls::IButtonBar& bar,
                                std::string_view keyPrefix) {
    const Module1& module = Module1::Get();
    frmScenova& window = *m_MyForm;
    IScreen& screen = m_platform.screen();
    const std::string prefix(keyPrefix);

    SettingsReader row(settings, window, *m_diagnostics);
    row.Do([&] { bar.ImageFolder(WithoutLastCharacter(module.g_strMediaPath)); });
    row.Number(prefix + "Top", 0, [&](float v) { bar.Top(v); });
    row.Number(prefix + "Left", 0, [&](float v) { bar.Left(v); });
    row.Number(prefix + "Width", 0, [&](float v) { bar.Width(v); });
    row.Number(prefix + "Height", 0, [&](float v) { bar.Height(v); });

    row.Read(prefix + "Script");
    if (!row.Text().empty()) {
        row.Do([&] { bar.LoadScript(module.g_strResourcePath + row.Text()); });
    }

    row.EndOfKeys();
    row.Do([&] {
        const auto whole = [](double value) { return ToInteger(value); };
        bar.SetBackground(window.GetPicture(),
                          whole(static_cast<double>(window.Width()) / screen.TwipsPerPixelX()),
                          whole(static_cast<double>(window.Height()) / screen.TwipsPerPixelY()),
                          whole(bar.Left()), whole(bar.Top()), 1);
    });
    row.Do([&] { bar.ZOrder(0); });
}

}  // namespace scenova
