#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace scenova::win32 {

// The component's COM identity.
inline constexpr wchar_t kScenovaClsid[] = L"{1604DA73-5875-11D2-B530-006097714880}";
inline constexpr wchar_t kScenovaProgId[] = L"Scenova.CScenova";
inline constexpr wchar_t kPictureClipClsid[] = L"{6C25117F-6EA3-464A-8603-82883EE3A0BA}";
inline constexpr wchar_t kPictureClipProgId[] = L"Scenova.CPictureClip";
inline constexpr wchar_t kTypeLibId[] = L"{1604DA74-5875-11D2-B530-006097714880}";

// Where the hosted controls' ProgIDs are configured, one string value per role
// ("Rose", "OrvVideo", "AVSlider", "RivetText"), below HKEY_CLASSES_ROOT. It
// belongs to the component's class registration and goes with it.
inline constexpr wchar_t kControlsKey[] =
    L"CLSID\\{1604DA73-5875-11D2-B530-006097714880}\\Controls";

// The ProgID the window creates the control of that role by: the configured
// value when there is a non-empty one, otherwise the built-in default. An
// unknown role raises 5.
std::wstring ControlProgId(std::wstring_view role);

// Where the server registers: the machine's classes
// (HKEY_LOCAL_MACHINE\Software\Classes), or the current user's
// (HKEY_CURRENT_USER\Software\Classes) for installs without administrator
// rights.
enum class RegistrationScope { Machine, User };

// The server's registration: both classes (InprocServer32 with the apartment
// threading model, ProgIDs), the type library with its interfaces (an
// interface key of another library, such as the host's IToolTalk, is left
// alone), and the control ProgIDs with their defaults (values a site has
// already configured are kept). A step that fails undoes every earlier one
// and fails the whole with its error.
HRESULT RegisterServer(HMODULE module,
                       RegistrationScope scope = RegistrationScope::Machine) noexcept;
// Removes every key RegisterServer wrote in that scope, the configured
// ProgIDs included, and no interface key of another library; of the type
// library only this architecture's entry, and its version once no
// architecture is left.
HRESULT UnregisterServer(HMODULE module,
                         RegistrationScope scope = RegistrationScope::Machine) noexcept;

}  // namespace scenova::win32
