#include "win32/com/Registry.h"

#include <oleauto.h>

#include <algorithm>
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

LSTATUS DeleteTree(HKEY root, const std::wstring& path) {
    const LSTATUS status = RegDeleteTreeW(root, path.c_str());
    if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) {
        RegDeleteKeyW(root, path.c_str());
        return ERROR_SUCCESS;
    }
    return status;
}

bool KeyExists(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

// The names of a key's subkeys.
std::vector<std::wstring> Subkeys(HKEY root, const std::wstring& path) {
    std::vector<std::wstring> names;
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return names;
    }
    wchar_t name[256];
    for (DWORD i = 0; RegEnumKeyW(key, i, name, 256) == ERROR_SUCCESS; ++i) {
        names.emplace_back(name);
    }
    RegCloseKey(key);
    return names;
}

// The classes key of a scope, opened for reading and writing.
class ClassesRoot {
public:
    explicit ClassesRoot(RegistrationScope scope) {
        m_status = RegCreateKeyExW(
            scope == RegistrationScope::User ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE,
            L"Software\\Classes", 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &m_key, nullptr);
    }
    ~ClassesRoot() {
        if (m_key != nullptr) {
            RegCloseKey(m_key);
        }
    }
    ClassesRoot(const ClassesRoot&) = delete;
    ClassesRoot& operator=(const ClassesRoot&) = delete;
    LSTATUS Status() const { return m_status; }
    operator HKEY() const { return m_key; }

private:
    HKEY m_key = nullptr;
    LSTATUS m_status;
};

// The values a registration writes, each with what it replaced, and the
// keys it creates: a registration that fails part-way puts the registry
// back as it found it.
class Journal {
public:
    explicit Journal(HKEY root) : m_root(root) {}
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    LSTATUS Set(const std::wstring& path, const wchar_t* name, const std::wstring& value) {
        for (std::size_t at = 0; at != std::wstring::npos;) {
            at = path.find(L'\\', at + 1);
            const std::wstring key = path.substr(0, at);
            if (!KeyExists(m_root, key)) {
                m_createdKeys.push_back(key);
            }
        }
        Value& old = m_values.emplace_back();
        old.path = path;
        old.named = name != nullptr;
        old.name = old.named ? name : L"";
        DWORD bytes = 0;
        if (RegGetValueW(m_root, path.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &old.type, nullptr,
                         &bytes) == ERROR_SUCCESS) {
            old.data.resize(bytes);
            old.existed = RegGetValueW(m_root, path.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND,
                                       &old.type, old.data.data(), &bytes) == ERROR_SUCCESS;
        }
        return RegSetKeyValueW(m_root, path.c_str(), name, REG_SZ, value.c_str(),
                               static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }

    void Undo() noexcept {
        for (auto it = m_values.rbegin(); it != m_values.rend(); ++it) {
            const wchar_t* name = it->named ? it->name.c_str() : nullptr;
            if (it->existed) {
                RegSetKeyValueW(m_root, it->path.c_str(), name, it->type, it->data.data(),
                                static_cast<DWORD>(it->data.size()));
            } else {
                RegDeleteKeyValueW(m_root, it->path.c_str(), name);
            }
        }
        for (auto it = m_createdKeys.rbegin(); it != m_createdKeys.rend(); ++it) {
            RegDeleteKeyW(m_root, it->c_str());
        }
    }

private:
    struct Value {
        std::wstring path;
        std::wstring name;
        bool named = false;
        bool existed = false;
        DWORD type = REG_NONE;
        std::vector<BYTE> data;
    };
    HKEY m_root;
    std::vector<Value> m_values;
    std::vector<std::wstring> m_createdKeys;  // parents first
};

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

// True when the interface key below `root` is free for this library to
// write and to remove: there is none, or it names this library. A key that
// names another library, or none (a proxy of the host's own), belongs to
// someone else: the host registers IToolTalk with its own library. Writing
// asks the merged classes (HKEY_CLASSES_ROOT), so that a user's
// registration never shadows the host's machine-wide one.
bool OursToWrite(HKEY root, const std::wstring& interfaceKey) {
    if (!KeyExists(root, interfaceKey)) {
        return true;
    }
    wchar_t library[40] = {};
    DWORD bytes = sizeof library;
    return RegGetValueW(root, (interfaceKey + L"\\TypeLib").c_str(), nullptr, RRF_RT_REG_SZ,
                        nullptr, library, &bytes) == ERROR_SUCCESS &&
           _wcsicmp(library, kTypeLibId) == 0;
}

std::wstring TypeLibKey() {
    return std::wstring(L"TypeLib\\") + kTypeLibId + L"\\" + kTypeLibVersion;
}

// The type library's file for this architecture: the 32- and 64-bit
// registry views share the TypeLib keys, each architecture has its own entry.
constexpr const wchar_t* kPlatformKey = sizeof(void*) == 8 ? L"\\0\\win64" : L"\\0\\win32";

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

HRESULT RegisterServer(HMODULE module, RegistrationScope scope) noexcept {
    try {
        const std::wstring path = ModulePath(module);
        if (path.empty()) {
            return HRESULT_FROM_WIN32(GetLastError());
        }
        const ClassesRoot root(scope);
        if (root.Status() != ERROR_SUCCESS) {
            return FromStatus(root.Status());
        }
        Journal journal(root);
        const auto fail = [&journal](HRESULT hr) {
            journal.Undo();
            return hr;
        };
        struct Write {
            std::wstring key;
            const wchar_t* name;
            std::wstring value;
        };
        std::vector<Write> writes;
        for (const ClassEntry& entry : kClasses) {
            const std::wstring clsidKey = std::wstring(L"CLSID\\") + entry.clsid;
            const std::wstring inproc = clsidKey + L"\\InprocServer32";
            writes.push_back({clsidKey, nullptr, entry.name});
            writes.push_back({inproc, nullptr, path});
            writes.push_back({inproc, L"ThreadingModel", L"Apartment"});
            writes.push_back({clsidKey + L"\\ProgID", nullptr, entry.progId});
            writes.push_back({clsidKey + L"\\TypeLib", nullptr, kTypeLibId});
            writes.push_back({clsidKey + L"\\VERSION", nullptr, L"1.0"});
            writes.push_back({entry.progId, nullptr, entry.name});
            writes.push_back({std::wstring(entry.progId) + L"\\CLSID", nullptr, entry.clsid});
        }
        // Defaults only where a site has not configured a control already.
        for (const auto& entry : controls::kControlRoles) {
            DWORD bytes = 0;
            if (RegGetValueW(root, kControlsKey, entry.role, RRF_RT_REG_SZ, nullptr, nullptr,
                             &bytes) != ERROR_SUCCESS) {
                writes.push_back({kControlsKey, entry.role, entry.defaultProgId});
            }
        }
        // The type library, written here rather than by RegisterTypeLib,
        // which would take over the host's registration of IToolTalk.
        std::vector<InterfaceKey> interfaces;
        if (const HRESULT hr = InterfaceKeys(path, interfaces); FAILED(hr)) {
            return fail(hr);
        }
        const std::wstring library = TypeLibKey();
        writes.push_back({library, nullptr, L"Scenova"});
        writes.push_back({library + kPlatformKey, nullptr, path});
        writes.push_back({library + L"\\FLAGS", nullptr, L"0"});
        writes.push_back(
            {library + L"\\HELPDIR", nullptr, path.substr(0, path.find_last_of(L"\\/"))});
        for (const InterfaceKey& key : interfaces) {
            if (OursToWrite(HKEY_CLASSES_ROOT, key.path)) {
                writes.push_back({key.path, nullptr, key.name});
                writes.push_back({key.path + L"\\ProxyStubClsid", nullptr, kAutomationMarshaler});
                writes.push_back({key.path + L"\\ProxyStubClsid32", nullptr, kAutomationMarshaler});
                writes.push_back({key.path + L"\\TypeLib", nullptr, kTypeLibId});
                writes.push_back({key.path + L"\\TypeLib", L"Version", kTypeLibVersion});
            }
        }
        for (const Write& write : writes) {
            if (const LSTATUS status = journal.Set(write.key, write.name, write.value);
                status != ERROR_SUCCESS) {
                return fail(FromStatus(status));
            }
        }
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT UnregisterServer(HMODULE module, RegistrationScope scope) noexcept {
    try {
        const ClassesRoot root(scope);
        if (root.Status() != ERROR_SUCCESS) {
            return FromStatus(root.Status());
        }
        LSTATUS failed = ERROR_SUCCESS;
        const auto remove = [&](const std::wstring& key) {
            const LSTATUS status = DeleteTree(root, key);
            if (status != ERROR_SUCCESS && failed == ERROR_SUCCESS) {
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
            if (OursToWrite(root, key.path)) {
                remove(key.path);
            }
        }
        // This architecture's file of the library; the version goes with the
        // last architecture's, and the library's key when no version is left.
        const std::wstring library = TypeLibKey();
        remove(library + kPlatformKey);
        if (Subkeys(root, library + L"\\0").empty()) {
            remove(library + L"\\0");
        }
        const auto left = Subkeys(root, library);
        if (std::all_of(left.begin(), left.end(), [](const std::wstring& name) {
                return _wcsicmp(name.c_str(), L"FLAGS") == 0 ||
                       _wcsicmp(name.c_str(), L"HELPDIR") == 0;
            })) {
            remove(library);
        }
        if (Subkeys(root, std::wstring(L"TypeLib\\") + kTypeLibId).empty()) {
            RegDeleteKeyW(root, (std::wstring(L"TypeLib\\") + kTypeLibId).c_str());
        }
        return failed != ERROR_SUCCESS ? FromStatus(failed) : hr;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

}  // namespace scenova::win32
