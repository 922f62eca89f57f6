// The DLL's entry points: exactly the four that Scenova.def exports.

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

}  // extern "C"
