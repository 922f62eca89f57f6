#include "win32/com/Registry.h"

#include <oleauto.h>

#include <array>
#include <vector>

#include "runtime/RuntimeError.h"
#include "win32/controls/ControlProgIds.h"

namespace scenova::win32 {

namespace {

struct ClassEntry {
    const wchar_t* clsid;
    const wchar_t* progId;
    const wchar_t* name;
};

constexpr std::array<ClassEntry, 2> kClasses{{
    {kScenovaClsid, kScenovaProgId, L"CScenova"},
    {kPictureClipClsid, kPictureClipProgId, L"CPictureClip"},
}};

LSTATUS SetString(HKEY root, const std::wstring& path, const wchar_t* name,
                  const std::wstring& value) {
    return RegSetKeyValueW(root, path.c_str(), name, REG_SZ, value.c_str(),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

std::wstring ModulePath(HMODULE module) {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            return std::wstring(buffer.data(), length);
        }
        buffer.resize(buffer.size() * 2);
    }
}

HRESULT FromStatus(LSTATUS status) {
    return status == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(status);
}

LSTATUS DeleteTree(const std::wstring& path) {
    const LSTATUS status = RegDeleteTreeW(HKEY_CLASSES_ROOT, path.c_str());
    if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) {
        RegDeleteKeyW(HKEY_CLASSES_ROOT, path.c_str());
        return ERROR_SUCCESS;
    }
    return status;
}

}  // namespace

std::wstring ControlProgId(std::wstring_view role) {
    for (const auto& entry : controls::kControlRoles) {
        if (role != entry.role) {
            continue;
        }
        std::vector<wchar_t> buffer(256);
        for (;;) {
            DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
            const LSTATUS status = RegGetValueW(HKEY_CLASSES_ROOT, kControlsKey, entry.role,
                                                RRF_RT_REG_SZ, nullptr, buffer.data(), &bytes);
            if (status == ERROR_MORE_DATA) {
                buffer.resize(bytes / sizeof(wchar_t) + 1);
                continue;
            }
            if (status == ERROR_SUCCESS && buffer[0] != L'\0') {
                return std::wstring(buffer.data());
            }
            return entry.defaultProgId;
        }
    }
    Raise(err::InvalidCall,
          "no hosted control has the role " + std::string(role.begin(), role.end()));
}

HRESULT RegisterServer(HMODULE module) noexcept {
    try {
        const std::wstring path = ModulePath(module);
        if (path.empty()) {
            return HRESULT_FROM_WIN32(GetLastError());
        }
        for (const ClassEntry& entry : kClasses) {
            const std::wstring clsidKey = std::wstring(L"CLSID\\") + entry.clsid;
            const std::wstring inproc = clsidKey + L"\\InprocServer32";
            for (LSTATUS status : {
                     SetString(HKEY_CLASSES_ROOT, clsidKey, nullptr, entry.name),
                     SetString(HKEY_CLASSES_ROOT, inproc, nullptr, path),
                     SetString(HKEY_CLASSES_ROOT, inproc, L"ThreadingModel", L"Apartment"),
                     SetString(HKEY_CLASSES_ROOT, clsidKey + L"\\ProgID", nullptr, entry.progId),
                     SetString(HKEY_CLASSES_ROOT, clsidKey + L"\\TypeLib", nullptr, kTypeLibId),
                     SetString(HKEY_CLASSES_ROOT, clsidKey + L"\\VERSION", nullptr, L"1.0"),
                     SetString(HKEY_CLASSES_ROOT, entry.progId, nullptr, entry.name),
                     SetString(HKEY_CLASSES_ROOT, std::wstring(entry.progId) + L"\\CLSID", nullptr,
                               entry.clsid),
                 }) {
                if (status != ERROR_SUCCESS) {
                    return FromStatus(status);
                }
            }
        }
        // Defaults only where a site has not configured a control already.
        for (const auto& entry : controls::kControlRoles) {
            DWORD bytes = 0;
            if (RegGetValueW(HKEY_CLASSES_ROOT, kControlsKey, entry.role, RRF_RT_REG_SZ, nullptr,
                             nullptr, &bytes) == ERROR_SUCCESS) {
                continue;
            }
            const LSTATUS status =
                SetString(HKEY_CLASSES_ROOT, kControlsKey, entry.role, entry.defaultProgId);
            if (status != ERROR_SUCCESS) {
                return FromStatus(status);
            }
        }
        ITypeLib* library = nullptr;
        HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, &library);
        if (FAILED(hr)) {
            return hr;
        }
        std::wstring file = path;
        hr = RegisterTypeLib(library, file.data(), nullptr);
        library->Release();
        return hr;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT UnregisterServer(HMODULE /*module*/) noexcept {
    try {
        LSTATUS failed = ERROR_SUCCESS;
        for (const ClassEntry& entry : kClasses) {
            for (const std::wstring& key :
                 {std::wstring(L"CLSID\\") + entry.clsid, std::wstring(entry.progId)}) {
                const LSTATUS status = DeleteTree(key);
                if (status != ERROR_SUCCESS) {
                    failed = status;
                }
            }
        }
        GUID library{};
        CLSIDFromString(const_cast<wchar_t*>(kTypeLibId), &library);
        // Removes the library's key and the interface keys that point at it.
        const HRESULT hr = UnRegisterTypeLib(library, 1, 0, LOCALE_NEUTRAL,
                                             sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32);
        if (failed != ERROR_SUCCESS) {
            return FromStatus(failed);
        }
        return hr == TYPE_E_REGISTRYACCESS ? S_OK : hr;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

}  // namespace scenova::win32
