#include "win32/com/ServerModule.h"

#include <oleauto.h>

#include <atomic>
#include <string>
#include <vector>

#include "win32/com/Automation.h"
#include "win32/com/ComPtr.h"

namespace scenova::win32::server {

namespace {

std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};
// Only touched on the apartment's thread.
ITypeLib* g_library = nullptr;

}  // namespace

HMODULE ThisModule() noexcept {
    HMODULE module = nullptr;
    GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

void ObjectCreated() noexcept {
    ++g_objects;
}

void ObjectDestroyed() noexcept {
    --g_objects;
}

void Lock(bool lock) noexcept {
    if (lock) {
        ++g_locks;
    } else {
        --g_locks;
    }
}

HRESULT CanUnloadNow() noexcept {
    if (g_objects.load() != 0 || g_locks.load() != 0) {
        return S_FALSE;
    }
    if (g_library != nullptr) {
        g_library->Release();
        g_library = nullptr;
    }
    return S_OK;
}

HRESULT TypeInfo(REFGUID iid, ITypeInfo** result) noexcept {
    if (result == nullptr) {
        return E_POINTER;
    }
    *result = nullptr;
    if (g_library == nullptr) {
        std::vector<wchar_t> path(MAX_PATH);
        for (;;) {
            const DWORD length =
                GetModuleFileNameW(ThisModule(), path.data(), static_cast<DWORD>(path.size()));
            if (length == 0) {
                return HRESULT_FROM_WIN32(GetLastError());
            }
            if (length < path.size()) {
                break;
            }
            path.resize(path.size() * 2);
        }
        const HRESULT hr = LoadTypeLibEx(path.data(), REGKIND_NONE, &g_library);
        if (FAILED(hr)) {
            return hr;
        }
    }
    return g_library->GetTypeInfoOfGuid(iid, result);
}

void SetError(REFIID iid, const wchar_t* source, const std::string& description) noexcept {
    // Whatever fails below, the host must not read an older call's error.
    SetErrorInfo(0, nullptr);
    ComPtr<ICreateErrorInfo> create;
    if (FAILED(CreateErrorInfo(&create))) {
        return;
    }
    create->SetGUID(iid);
    create->SetSource(const_cast<LPOLESTR>(source));
    try {
        std::wstring text = Utf16(description);
        create->SetDescription(text.data());
    } catch (...) {
        // Without a description the HRESULT still tells what failed.
    }
    ComPtr<IErrorInfo> info;
    if (SUCCEEDED(create.As(&info))) {
        SetErrorInfo(0, info.Get());
    }
}

}  // namespace scenova::win32::server
