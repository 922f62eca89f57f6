#pragma once

namespace scenova::win32::controls {

// The ProgIDs under which the four hosted controls are created when the
// component's registry key does not name others. Registration writes these
// as the defaults; a site may point a role at another ProgID without a
// rebuild.
inline constexpr const wchar_t* kDefaultRoseProgId = L"Rose.RoseBar.1";
inline constexpr const wchar_t* kDefaultOrvVideoProgId = L"OrvVideo.OrvVideoCtrl.1";
inline constexpr const wchar_t* kDefaultAVSliderProgId = L"AVSlider.AVSliderCtrl.1";
inline constexpr const wchar_t* kDefaultRivetTextProgId = L"RivetText.RivetTextCtrl.1";

// The role names the registry values are called by.
struct ControlRole {
    const wchar_t* role;
    const wchar_t* defaultProgId;
};
inline constexpr ControlRole kControlRoles[] = {
    {L"Rose", kDefaultRoseProgId},
    {L"OrvVideo", kDefaultOrvVideoProgId},
    {L"AVSlider", kDefaultAVSliderProgId},
    {L"RivetText", kDefaultRivetTextProgId},
};

}  // namespace scenova::win32::controls
