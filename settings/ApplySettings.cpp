#include "tool/CScenova.h"

namespace scenova {

// The apply steps of the settings bootstrap.

void CScenova::ApplyLayoutSettings(ICollection& /*settings*/) {}

void CScenova::ApplyTransportButtonSettings(ICollection& /*settings*/) {}

void CScenova::ApplyBackdropSettings(ICollection& /*settings*/) {}

void CScenova::ApplyNavigationSettings(ICollection& settings) {
    ApplyBarSettings(settings, m_MyForm->frmRoseNavigation(), "Nav.");
}

void CScenova::ApplyToolbarSettings(ICollection& settings) {
    ApplyBarSettings(settings, m_MyForm->frmRoseToolbar(), "Toolbar.");
}

void CScenova::ApplyBarSettings(ICollection& /*settings*/, controls::IButtonBar& /*bar*/,
                                std::string_view /*keyPrefix*/) {}

}  // namespace scenova
