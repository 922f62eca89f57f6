#pragma once

// windows.h first: the other system headers rely on it.
#include <windows.h>

#include <oaidl.h>

#include <cstdint>
#include <string>

namespace scenova::win32::server {

// The module of the code that is running (the DLL, or a test program that
// links the layer): found from an address in it, no DllMain needed.
HMODULE ThisModule() noexcept;

// Live objects, class factories, control sites and event sinks, and
// LockServer locks: the DLL may be unloaded when both are zero. Whatever
// code of the DLL another party may still call counts as an object.
void ObjectCreated() noexcept;
void ObjectDestroyed() noexcept;
void Lock(bool lock) noexcept;

// The process-wide state (the module values, the platform, the windows and
// timers) belongs to the thread of the live tool and picture-clip objects.
// A new object claims it: true when no such object lives, or they live on
// the calling thread; false (refused) otherwise. Each claim is given back
// when its object goes.
bool ClaimThread() noexcept;
void ReleaseThread() noexcept;
// S_OK when nothing holds the server; then also lets go of the type library.
HRESULT CanUnloadNow() noexcept;

// The type information of one of the library's interfaces, from the type
// library embedded in this module.
HRESULT TypeInfo(REFGUID iid, ITypeInfo** result) noexcept;

// Sets the thread's error object for a failing call, as automation clients
// expect: source "Scenova.<class>", the interface, the description.
void SetError(REFIID iid, const wchar_t* source, const std::string& description) noexcept;

}  // namespace scenova::win32::server
