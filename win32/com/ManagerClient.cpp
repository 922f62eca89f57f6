#include "win32/com/ManagerClient.h"

#include <utility>

#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"
#include "win32/com/Automation.h"
#include "win32/com/ErrorTranslation.h"

namespace scenova::win32 {

namespace {

// "Object doesn't support this property or method".
constexpr int32_t kNoSuchMember = 438;

DISPID MemberId(IDispatch& object, const wchar_t* name, DISPID fallback) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    if (SUCCEEDED(object.GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) {
        return id;
    }
    return fallback;
}

// Frees what a VARIANT holds when the scope ends.
struct VariantHolder {
    VARIANT value;
    VariantHolder() { VariantInit(&value); }
    ~VariantHolder() { VariantClear(&value); }
    VariantHolder(const VariantHolder&) = delete;
    VariantHolder& operator=(const VariantHolder&) = delete;
};

}  // namespace

CollectionClient::CollectionClient(ComPtr<IDispatch> collection, std::string name)
    : m_dispatch(std::move(collection)), m_name(std::move(name)) {
    if (SUCCEEDED(m_dispatch.As(&m_standard))) {
        return;
    }
    m_count = MemberId(*m_dispatch.Get(), L"Count", DISPID_UNKNOWN);
    // Item is the standard collection's default member.
    m_item = MemberId(*m_dispatch.Get(), L"Item", DISPID_VALUE);
}

Variant CollectionClient::Invoke(DISPID member, const char* memberName, VARIANT* argument) const {
    const std::string where = m_name + "." + memberName;
    if (member == DISPID_UNKNOWN) {
        Raise(kNoSuchMember, where + ": the host's collection has no such member");
    }
    DISPPARAMS params{argument, nullptr, argument != nullptr ? 1u : 0u, 0};
    VariantHolder result;
    EXCEPINFO exception{};
    ForgetErrorInfo();
    HRESULT hr = m_dispatch->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT,
                                    DISPATCH_METHOD | DISPATCH_PROPERTYGET, &params, &result.value,
                                    &exception, nullptr);
    if (hr == DISP_E_EXCEPTION) {
        if (exception.pfnDeferredFillIn != nullptr) {
            exception.pfnDeferredFillIn(&exception);
        }
        const std::string text = Utf8(exception.bstrDescription);
        hr = exception.scode != 0 ? exception.scode
                                  : HResultFromErrorNumber(exception.wCode != 0 ? exception.wCode
                                                                                : err::InvalidCall);
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrHelpFile);
        const int32_t number = ErrorNumberFromHResult(hr);
        Raise(number, where + " failed: " + (text.empty() ? StandardDescription(number) : text));
    }
    Check(hr, where);
    return FromVariant(result.value);
}

int32_t CollectionClient::Count() const {
    if (!m_standard) {
        return ToLong(Invoke(m_count, "Count", nullptr));
    }
    LONG count = 0;
    ForgetErrorInfo();
    Check(m_standard->Count(&count), m_name + ".Count");
    return count;
}

Variant CollectionClient::Item(VARIANT& index) const {
    if (!m_standard) {
        return Invoke(m_item, "Item", &index);
    }
    VariantHolder result;
    ForgetErrorInfo();
    Check(m_standard->Item(&index, &result.value), m_name + ".Item");
    return FromVariant(result.value);
}

Variant CollectionClient::Item(int32_t index) const {
    VARIANT argument;
    V_VT(&argument) = VT_I4;
    V_I4(&argument) = index;
    return Item(argument);
}

Variant CollectionClient::Item(std::string_view key) const {
    Bstr text(key);
    VARIANT argument;
    V_VT(&argument) = VT_BSTR;
    V_BSTR(&argument) = text.get();
    return Item(argument);
}

ManagerClient::ManagerClient(ComPtr<IToolManager> manager, IUnknown* tool) noexcept
    : m_manager(std::move(manager)), m_tool(tool) {}

// The tool goes by reference: the host may release it and put another object
// (or none) in its place, which is released again afterwards.
template <class Call>
void ManagerClient::WithTool(const char* where, Call&& call) {
    ComPtr<IUnknown> tool(m_tool);
    ForgetErrorInfo();
    const HRESULT hr = std::forward<Call>(call)(tool.GetAddressOf());
    Check(hr, where);
}

void ManagerClient::ToolShutdown(CScenova& /*tool*/) {
    WithTool("mgr.ToolShutdown", [&](IUnknown** tool) { return m_manager->ToolShutdown(tool); });
}

void ManagerClient::ReportError(CScenova& /*tool*/, int32_t code, const std::string& text) {
    Bstr message(text);
    WithTool("mgr.ReportError",
             [&](IUnknown** tool) { return m_manager->ReportError(tool, code, message.get()); });
}

void ManagerClient::ResourceAction(std::string& buttonId, int32_t& action, std::string* value) {
    Bstr id(buttonId);
    LONG code = action;
    // The value goes as a variant referring to a string the host may change.
    BSTR text = value != nullptr ? AllocBstr(*value) : nullptr;
    VARIANT argument;
    if (value != nullptr) {
        V_VT(&argument) = VT_BYREF | VT_BSTR;
        V_BSTRREF(&argument) = &text;
    } else {
        V_VT(&argument) = VT_ERROR;
        V_ERROR(&argument) = DISP_E_PARAMNOTFOUND;
    }
    ForgetErrorInfo();
    const HRESULT hr = m_manager->ResourceAction(id.ref(), &code, &argument);
    // What the host changed stays changed, also when it then failed.
    try {
        buttonId = id.str();
        action = code;
        if (value != nullptr) {
            if (V_VT(&argument) == (VT_BYREF | VT_BSTR) && V_BSTRREF(&argument) == &text) {
                *value = Utf8(text);
            } else if (V_VT(&argument) == VT_BSTR) {
                // The host put a new string in the variant itself.
                *value = Utf8(V_BSTR(&argument));
            }
        }
    } catch (...) {
        SysFreeString(text);
        throw;
    }
    if ((V_VT(&argument) & VT_BYREF) == 0) {
        VariantClear(&argument);
    }
    SysFreeString(text);
    Check(hr, "mgr.ResourceAction");
}

std::shared_ptr<ICollection> ManagerClient::Collection(
    const char* where, HRESULT (STDMETHODCALLTYPE IToolManager::*member)(IUnknown**, IDispatch**)) {
    // The returned reference is ours to release: taken over as it is (not
    // with Attach, which would add one of its own).
    ComPtr<IDispatch> collection;
    WithTool(where, [&](IUnknown** tool) {
        return (m_manager.Get()->*member)(tool, collection.ReleaseAndGetAddressOf());
    });
    if (!collection) {
        return nullptr;
    }
    return std::make_shared<CollectionClient>(std::move(collection), std::string(where) + "()");
}

std::string ManagerClient::Path(const char* where,
                                HRESULT (STDMETHODCALLTYPE IToolManager::*member)(IUnknown**,
                                                                                  BSTR*)) {
    BSTR result = nullptr;
    WithTool(where, [&](IUnknown** tool) { return (m_manager.Get()->*member)(tool, &result); });
    std::string text;
    try {
        text = Utf8(result);
    } catch (...) {
        SysFreeString(result);
        throw;
    }
    SysFreeString(result);
    return text;
}

std::shared_ptr<ICollection> ManagerClient::GetSettings(CScenova& /*tool*/) {
    return Collection("mgr.GetSettings", &IToolManager::GetSettings);
}

std::shared_ptr<ICollection> ManagerClient::GetScript(CScenova& /*tool*/) {
    return Collection("mgr.GetScript", &IToolManager::GetScript);
}

void ManagerClient::NavigationRequest(CScenova& /*tool*/, const std::string& name) {
    Bstr text(name);
    WithTool("mgr.NavigationRequest",
             [&](IUnknown** tool) { return m_manager->NavigationRequest(tool, text.get()); });
}

void ManagerClient::ToolbarRequest(CScenova& /*tool*/, const std::string& name) {
    Bstr text(name);
    WithTool("mgr.ToolbarRequest",
             [&](IUnknown** tool) { return m_manager->ToolbarRequest(tool, text.get()); });
}

std::string ManagerClient::GetMediaPath(CScenova& /*tool*/) {
    return Path("mgr.GetMediaPath", &IToolManager::GetMediaPath);
}

std::string ManagerClient::GetAuxiliaryPath(CScenova& /*tool*/) {
    return Path("mgr.GetAuxiliaryPath", &IToolManager::GetAuxiliaryPath);
}

std::string ManagerClient::GetResourcePath(CScenova& /*tool*/) {
    return Path("mgr.GetResourcePath", &IToolManager::GetResourcePath);
}

std::string ManagerClient::GetVideoPath(CScenova& /*tool*/) {
    return Path("mgr.GetVideoPath", &IToolManager::GetVideoPath);
}

}  // namespace scenova::win32
