#include "win32/com/Registry.h"

#include <oleauto.h>

#include <array>
#include <vector>

#include "runtime/RuntimeError.h"
#include "win32/com/ComPtr.h"
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

// Automation's own marshaler, which marshals an interface by its type
// information.
constexpr wchar_t kAutomationMarshaler[] = L"{00020424-0000-0000-C000-000000000046}";
constexpr wchar_t kTypeLibVersion[] = L"1.0";

std::wstring GuidText(const GUID& guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

// The interface keys of the library: those of its interfaces that automation
// marshals by their type information (dual and dispatch interfaces), as
// "Interface\{...}" with the interface's name.
struct InterfaceKey {
    std::wstring path;
    std::wstring name;
};

HRESULT InterfaceKeys(const std::wstring& module, std::vector<InterfaceKey>& keys) {
    ComPtr<ITypeLib> library;
    HRESULT hr = LoadTypeLibEx(module.c_str(), REGKIND_NONE, &library);
    for (UINT i = 0; SUCCEEDED(hr) && i < library->GetTypeInfoCount(); ++i) {
        ComPtr<ITypeInfo> info;
        TYPEATTR* attr = nullptr;
        hr = library->GetTypeInfo(i, &info);
        if (SUCCEEDED(hr)) {
            hr = info->GetTypeAttr(&attr);
        }
        if (FAILED(hr)) {
            break;
        }
        const bool automation =
            attr->typekind == TKIND_DISPATCH || (attr->typekind == TKIND_INTERFACE &&
                                                 (attr->wTypeFlags & TYPEFLAG_FOLEAUTOMATION) != 0);
        const std::wstring path = L"Interface\\" + GuidText(attr->guid);
        info->ReleaseTypeAttr(attr);
        if (!automation) {
            continue;
        }
        BSTR name = nullptr;
        hr = info->GetDocumentation(MEMBERID_NIL, &name, nullptr, nullptr, nullptr);
        if (SUCCEEDED(hr)) {
            keys.push_back({path, std::wstring(name, SysStringLen(name))});
            SysFreeString(name);
        }
    }
    return hr;
}

// True when the interface key is free for this library to write and to
// remove: there is none, or it names this library. A key that names another
// library, or none (a proxy of the host's own), belongs to someone else: the
// host registers IToolTalk with its own library.
bool OursToWrite(const std::wstring& interfaceKey) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, interfaceKey.c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        return true;
    }
    RegCloseKey(key);
    wchar_t library[40] = {};
    DWORD bytes = sizeof library;
    return RegGetValueW(HKEY_CLASSES_ROOT, (interfaceKey + L"\\TypeLib").c_str(), nullptr,
                        RRF_RT_REG_SZ, nullptr, library, &bytes) == ERROR_SUCCESS &&
           _wcsicmp(library, kTypeLibId) == 0;
}

std::wstring TypeLibKey() {
    return std::wstring(L"TypeLib\\") + kTypeLibId + L"\\" + kTypeLibVersion;
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
        // The type library, written here rather than by RegisterTypeLib,
        // which would take over the host's registration of IToolTalk.
        std::vector<InterfaceKey> interfaces;
        const HRESULT hr = InterfaceKeys(path, interfaces);
        if (FAILED(hr)) {
            return hr;
        }
        LSTATUS failed = ERROR_SUCCESS;
        const auto write = [&failed](const std::wstring& key, const wchar_t* name,
                                     const std::wstring& value) {
            const LSTATUS status = SetString(HKEY_CLASSES_ROOT, key, name, value);
            if (status != ERROR_SUCCESS) {
                failed = status;
            }
        };
        const std::wstring library = TypeLibKey();
        write(library, nullptr, L"Scenova");
        write(library + (sizeof(void*) == 8 ? L"\\0\\win64" : L"\\0\\win32"), nullptr, path);
        write(library + L"\\FLAGS", nullptr, L"0");
        write(library + L"\\HELPDIR", nullptr, path.substr(0, path.find_last_of(L"\\/")));
        for (const InterfaceKey& key : interfaces) {
            if (OursToWrite(key.path)) {
                write(key.path, nullptr, key.name);
                write(key.path + L"\\ProxyStubClsid", nullptr, kAutomationMarshaler);
                write(key.path + L"\\ProxyStubClsid32", nullptr, kAutomationMarshaler);
                write(key.path + L"\\TypeLib", nullptr, kTypeLibId);
                write(key.path + L"\\TypeLib", L"Version", kTypeLibVersion);
            }
        }
        return FromStatus(failed);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT UnregisterServer(HMODULE module) noexcept {
    try {
        LSTATUS failed = ERROR_SUCCESS;
        const auto remove = [&failed](const std::wstring& key) {
            const LSTATUS status = DeleteTree(key);
            if (status != ERROR_SUCCESS) {
                failed = status;
            }
        };
        for (const ClassEntry& entry : kClasses) {
            remove(std::wstring(L"CLSID\\") + entry.clsid);
            remove(entry.progId);
        }
        // Only the interface keys that name this library: the host's
        // IToolTalk stays as the host registered it.
        std::vector<InterfaceKey> interfaces;
        const HRESULT hr = InterfaceKeys(ModulePath(module), interfaces);
        for (const InterfaceKey& key : interfaces) {
            if (OursToWrite(key.path)) {
                remove(key.path);
            }
        }
        remove(TypeLibKey());
        // Other versions of the library, if any, keep their key.
        RegDeleteKeyW(HKEY_CLASSES_ROOT, (std::wstring(L"TypeLib\\") + kTypeLibId).c_str());
        return failed != ERROR_SUCCESS ? FromStatus(failed) : hr;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

}  // namespace scenova::win32
