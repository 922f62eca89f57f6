// The DLL's entry points: exactly the five that Scenova.def exports.

#include <windows.h>

#include "win32/com/ComObjects.h"
#include "win32/com/Registry.h"
#include "win32/com/ServerModule.h"

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* result) {
    return scenova::win32::GetServerClassObject(clsid, iid, result);
}

STDAPI DllCanUnloadNow() {
    return scenova::win32::server::CanUnloadNow();
}

STDAPI DllRegisterServer() {
    return scenova::win32::RegisterServer(scenova::win32::server::ThisModule());
}

STDAPI DllUnregisterServer() {
    return scenova::win32::UnregisterServer(scenova::win32::server::ThisModule());
}

// regsvr32 /n /i:user (and /u /n /i:user): the current user's classes only,
// for installs without administrator rights. Without a command line, the
// machine's, as DllRegisterServer.
STDAPI DllInstall(BOOL install, LPCWSTR commandLine) {
    using scenova::win32::RegistrationScope;
    RegistrationScope scope = RegistrationScope::Machine;
    if (commandLine != nullptr && *commandLine != L'\0') {
        if (_wcsicmp(commandLine, L"user") != 0) {
            return E_INVALIDARG;
        }
        scope = RegistrationScope::User;
    }
    const HMODULE module = scenova::win32::server::ThisModule();
    return install ? scenova::win32::RegisterServer(module, scope)
                   : scenova::win32::UnregisterServer(module, scope);
}

}  // extern "C"
