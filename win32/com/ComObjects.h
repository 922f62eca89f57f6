#pragma once

// windows.h first: the other system headers rely on it.
#include <windows.h>

#include <oaidl.h>

namespace scenova::win32 {

// Creates a new object of one of the server's classes (CScenova, CPictureClip)
// and returns the asked interface; CLASS_E_CLASSNOTAVAILABLE for other classes.
HRESULT CreateServerObject(REFCLSID clsid, REFIID iid, void** result) noexcept;

// The class factory of one of the server's classes.
HRESULT GetServerClassObject(REFCLSID clsid, REFIID iid, void** result) noexcept;

}  // namespace scenova::win32
