#pragma once

// The one way the Windows layer holds a COM reference: ComPtr. Out-parameters
// fill it through `&ptr`; a reference we already own goes in with Adopt,
// never with ComPtr::Attach, which in mingw-w64's header adds a reference
// of its own (the Windows SDK's takes the caller's over).

#include <wrl/client.h>

namespace scenova::win32 {

using Microsoft::WRL::ComPtr;

// Takes over the one reference the caller holds on `owned` (may be null).
template <class T>
ComPtr<T> Adopt(T* owned) noexcept {
    ComPtr<T> held;
    *held.GetAddressOf() = owned;
    return held;
}

}  // namespace scenova::win32
