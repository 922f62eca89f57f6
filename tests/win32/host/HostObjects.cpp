#include "HostObjects.h"

#include <algorithm>
#include <cwchar>

namespace host {

namespace {

constexpr HRESULT kControlFacility = static_cast<HRESULT>(0x800A0000u);

std::string Quoted(const std::wstring& text) {
    std::string result(1, '"');
    result.append(Narrow(text.c_str(), static_cast<int>(text.size())));
    result.push_back('"');
    return result;
}

std::string Quoted(BSTR text) {
    return Quoted(std::wstring(text != nullptr ? text : L"", SysStringLen(text)));
}

std::vector<Counted*>& LiveObjects() {
    static std::vector<Counted*> objects;
    return objects;
}

}  // namespace

Counted::Counted(const char* kind) : m_kind(kind) {
    LiveObjects().push_back(this);
}

Counted::~Counted() {
    auto& objects = LiveObjects();
    objects.erase(std::find(objects.begin(), objects.end(), this));
}

std::vector<std::string> Counted::HeldElsewhere() {
    std::vector<std::string> held;
    for (const Counted* object : LiveObjects()) {
        if (object->m_refs != 1) {
            held.push_back(std::string(object->m_kind) + ": " + std::to_string(object->m_refs) +
                           " references");
        }
    }
    return held;
}

std::string Narrow(const wchar_t* text, int length) {
    if (length == 0 || text == nullptr) {
        return {};
    }
    const int needed = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, result.data(), needed, nullptr, nullptr);
    if (length < 0 && !result.empty()) {
        result.pop_back();  // the terminating zero
    }
    return result;
}

std::wstring Wide(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const int needed =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<std::size_t>(needed), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(),
                        needed);
    return result;
}

HRESULT HostCollection::QueryInterface(REFIID iid, void** result) {
    if (iid == IID_IUnknown || iid == IID_IDispatch ||
        (iid == kIID_Collection && m_binding == Binding::Vtable)) {
        *result = static_cast<ICollection*>(this);
        AddRef();
        return S_OK;
    }
    *result = nullptr;
    return E_NOINTERFACE;
}

HRESULT HostCollection::GetTypeInfoCount(UINT* count) {
    *count = 0;
    return S_OK;
}

HRESULT HostCollection::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (count != 1 || m_binding != Binding::Names) {
        return DISP_E_UNKNOWNNAME;
    }
    if (_wcsicmp(names[0], L"Item") == 0) {
        ids[0] = 0;
    } else if (_wcsicmp(names[0], L"Count") == 0) {
        ids[0] = 2;
    } else {
        ids[0] = DISPID_UNKNOWN;
        return DISP_E_UNKNOWNNAME;
    }
    return S_OK;
}

HRESULT HostCollection::Invoke(DISPID member, REFIID, LCID, WORD /*flags*/, DISPPARAMS* params,
                               VARIANT* result, EXCEPINFO* exception, UINT*) {
    VariantInit(result);
    if (m_binding != Binding::Names) {
        return DISP_E_MEMBERNOTFOUND;
    }
    HRESULT hr = DISP_E_MEMBERNOTFOUND;
    if (member == 2) {
        V_VT(result) = VT_I4;
        hr = Count(&V_I4(result));
    } else if (member == 0) {
        if (params == nullptr || params->cArgs != 1) {
            return DISP_E_BADPARAMCOUNT;
        }
        hr = Item(&params->rgvarg[0], result);
    }
    if (HRESULT_FACILITY(hr) == FACILITY_CONTROL && exception != nullptr) {
        *exception = EXCEPINFO{};
        exception->scode = hr;
        return DISP_E_EXCEPTION;
    }
    return hr;
}

HRESULT HostCollection::Count(LONG* result) {
    *result = static_cast<LONG>(m_items.size());
    return S_OK;
}

HRESULT HostCollection::Item(VARIANT* Index, VARIANT* result) {
    VariantInit(result);
    VARIANT index;
    VariantInit(&index);
    if (FAILED(VariantCopyInd(&index, Index))) {
        return DISP_E_TYPEMISMATCH;
    }
    const std::wstring* found = nullptr;
    if (V_VT(&index) == VT_BSTR) {
        for (const auto& [key, item] : m_items) {
            if (!key.empty() && _wcsicmp(key.c_str(), V_BSTR(&index)) == 0) {
                found = &item;
            }
        }
        VariantClear(&index);
        if (found == nullptr) {
            return kControlFacility | 5;
        }
    } else {
        if (FAILED(VariantChangeType(&index, &index, 0, VT_I4))) {
            VariantClear(&index);
            return DISP_E_TYPEMISMATCH;
        }
        const LONG position = V_I4(&index);
        if (position < 1 || position > static_cast<LONG>(m_items.size())) {
            return kControlFacility | 9;
        }
        found = &m_items[static_cast<std::size_t>(position - 1)].second;
    }
    V_VT(result) = VT_BSTR;
    V_BSTR(result) = SysAllocStringLen(found->data(), static_cast<UINT>(found->size()));
    return S_OK;
}

RecordingManager::RecordingManager() : Counted("manager") {}

RecordingManager::~RecordingManager() {
    if (settings != nullptr) {
        settings->Release();
    }
    if (script != nullptr) {
        script->Release();
    }
}

std::vector<std::string> RecordingManager::Calls(const std::string& prefix) const {
    std::vector<std::string> result;
    for (const std::string& line : lines) {
        if (line.rfind(prefix, 0) == 0) {
            result.push_back(line);
        }
    }
    return result;
}

HRESULT RecordingManager::QueryInterface(REFIID iid, void** result) {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kIID_Manager) {
        *result = static_cast<IManager*>(this);
        AddRef();
        return S_OK;
    }
    *result = nullptr;
    return E_NOINTERFACE;
}

HRESULT RecordingManager::GetTypeInfoCount(UINT* count) {
    *count = 0;
    return S_OK;
}

// "<tool>" when the caller passed the tool object's identity.
std::string RecordingManager::Who(IUnknown** caller) const {
    if (caller == nullptr || *caller == nullptr) {
        return "<nothing>";
    }
    IUnknown* identity = nullptr;
    (*caller)->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity));
    const bool same = identity != nullptr && identity == tool;
    if (identity != nullptr) {
        identity->Release();
    }
    return same ? "<tool>" : "<other>";
}

HRESULT RecordingManager::Record(const std::string& member, const std::string& arguments) {
    lines.push_back("mgr." + member + "(" + arguments + ")");
    if (inside) {
        inside(member);
    }
    const auto failure = failures.find(member);
    return failure == failures.end() ? S_OK : failure->second;
}

HRESULT RecordingManager::Unused(const std::string& member) {
    Record(member, "");
    return E_UNEXPECTED;
}

HRESULT RecordingManager::ToolShutdown(IUnknown** caller) {
    const HRESULT hr = Record("ToolShutdown", Who(caller));
    if (dropToolOnShutdown && *caller != nullptr) {
        (*caller)->Release();
        *caller = nullptr;
    }
    return hr;
}

HRESULT RecordingManager::ReportError(IUnknown** caller, LONG code, BSTR text) {
    return Record("ReportError", Who(caller) + ", " + std::to_string(code) + ", " + Quoted(text));
}

HRESULT RecordingManager::ResourceAction(BSTR* ButtonID, LONG* action, VARIANT* value) {
    std::string arguments = Quoted(*ButtonID) + ", " + std::to_string(*action);
    if (V_VT(value) == (VT_BYREF | VT_BSTR)) {
        arguments += ", " + Quoted(*V_BSTRREF(value));
    } else if (!(V_VT(value) == VT_ERROR && V_ERROR(value) == DISP_E_PARAMNOTFOUND)) {
        arguments += ", <variant type " + std::to_string(V_VT(value)) + ">";
    }
    const HRESULT hr = Record("ResourceAction", arguments);
    if (onResourceAction) {
        onResourceAction(Narrow(*ButtonID, static_cast<int>(SysStringLen(*ButtonID))), *action,
                         value);
    }
    return hr;
}

HRESULT RecordingManager::Collection(const std::string& member, IUnknown** caller,
                                     HostCollection* collection, IDispatch** result) {
    const HRESULT hr = Record(member, Who(caller));
    *result = nullptr;
    if (SUCCEEDED(hr) && collection != nullptr) {
        collection->AddRef();
        *result = collection;
    }
    return hr;
}

HRESULT RecordingManager::GetSettings(IUnknown** caller, IDispatch** result) {
    return Collection("GetSettings", caller, settings, result);
}

HRESULT RecordingManager::GetScript(IUnknown** caller, IDispatch** result) {
    return Collection("GetScript", caller, script, result);
}

HRESULT RecordingManager::NavigationRequest(IUnknown** caller, BSTR name) {
    return Record("NavigationRequest", Who(caller) + ", " + Quoted(name));
}

HRESULT RecordingManager::ToolbarRequest(IUnknown** caller, BSTR name) {
    return Record("ToolbarRequest", Who(caller) + ", " + Quoted(name));
}

HRESULT RecordingManager::Path(const std::string& member, IUnknown** caller,
                               const std::wstring& path, BSTR* result) {
    const HRESULT hr = Record(member, Who(caller));
    *result =
        SUCCEEDED(hr) ? SysAllocStringLen(path.data(), static_cast<UINT>(path.size())) : nullptr;
    return hr;
}

HRESULT RecordingManager::GetMediaPath(IUnknown** caller, BSTR* result) {
    return Path("GetMediaPath", caller, mediaPath, result);
}

HRESULT RecordingManager::GetAuxiliaryPath(IUnknown** caller, BSTR* result) {
    return Path("GetAuxiliaryPath", caller, auxiliaryPath, result);
}

HRESULT RecordingManager::GetResourcePath(IUnknown** caller, BSTR* result) {
    return Path("GetResourcePath", caller, resourcePath, result);
}

HRESULT RecordingManager::GetVideoPath(IUnknown** caller, BSTR* result) {
    return Path("GetVideoPath", caller, videoPath, result);
}

}  // namespace host
