#include "win32/controls/Dispatch.h"

#include <oleauto.h>

#include <climits>
#include <cstdio>
#include <utility>

#include "runtime/RuntimeError.h"
#include "win32/window/Text.h"

namespace scenova::win32::controls {

namespace {

constexpr int32_t kNoSuchMember = 438;  // object doesn't support this property or method
constexpr int32_t kWrongArguments = 450;
constexpr int32_t kCannotCreate = 429;

BSTR NewBstr(const std::string& text) {
    const std::wstring wide = Widen(text);
    BSTR out = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    if (out == nullptr) {
        Raise(err::OutOfMemory);
    }
    return out;
}

std::string FromBstr(BSTR text) {
    return text == nullptr ? std::string() : Narrow(std::wstring_view(text, SysStringLen(text)));
}

void Convert(const VARIANT& value, VARIANT& out, VARTYPE type) {
    // Locale-independent, as the core's own conversions are.
    const HRESULT hr = VariantChangeTypeEx(&out, const_cast<VARIANT*>(&value),
                                           MAKELCID(LANG_ENGLISH, SORT_DEFAULT), 0, type);
    if (FAILED(hr)) {
        Raise(ErrorNumber(hr));
    }
}

}  // namespace

int32_t ErrorNumber(HRESULT hr) {
    switch (hr) {
        case DISP_E_TYPEMISMATCH:
            return err::TypeMismatch;
        case DISP_E_OVERFLOW:
            return err::Overflow;
        case DISP_E_BADINDEX:
            return err::SubscriptOutOfRange;
        case DISP_E_MEMBERNOTFOUND:
        case DISP_E_UNKNOWNNAME:
            return kNoSuchMember;
        case DISP_E_BADPARAMCOUNT:
        case DISP_E_PARAMNOTOPTIONAL:
        case DISP_E_PARAMNOTFOUND:
            return kWrongArguments;
        case E_OUTOFMEMORY:
            return err::OutOfMemory;
        case E_INVALIDARG:
            return err::InvalidCall;
        case REGDB_E_CLASSNOTREG:
        case CO_E_CLASSSTRING:
            return kCannotCreate;
        default:
            break;
    }
    // A control's own run-time error travels as FACILITY_CONTROL + number.
    if (HRESULT_FACILITY(hr) == FACILITY_CONTROL) {
        return HRESULT_CODE(hr);
    }
    return static_cast<int32_t>(hr);
}

void RaiseFromHresult(HRESULT hr, const EXCEPINFO* info, const std::string& where) {
    std::string description;
    int32_t number = 0;
    if (hr == DISP_E_EXCEPTION && info != nullptr) {
        EXCEPINFO filled = *info;
        if (filled.pfnDeferredFillIn != nullptr) {
            filled.pfnDeferredFillIn(&filled);
        }
        number = filled.wCode != 0 ? filled.wCode : ErrorNumber(filled.scode);
        description = FromBstr(filled.bstrDescription);
        SysFreeString(filled.bstrSource);
        SysFreeString(filled.bstrDescription);
        SysFreeString(filled.bstrHelpFile);
    } else {
        number = ErrorNumber(hr);
    }
    if (description.empty()) {
        description = StandardDescription(number);
    }
    char code[16];
    snprintf(code, sizeof code, "%08lX", static_cast<unsigned long>(hr));
    Raise(number, where + ": " + description + " (0x" + code + ")");
}

Arguments::~Arguments() {
    for (VARIANT& value : m_values) {
        if ((value.vt & VT_BYREF) == 0) {
            VariantClear(&value);
        }
    }
    for (BSTR text : m_strings) {
        SysFreeString(text);
    }
}

Arguments& Arguments::Add(bool value) {
    VARIANT& v = m_values.emplace_back();
    VariantInit(&v);
    v.vt = VT_BOOL;
    v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return *this;
}

Arguments& Arguments::Add(int16_t value) {
    VARIANT& v = m_values.emplace_back();
    VariantInit(&v);
    v.vt = VT_I2;
    v.iVal = value;
    return *this;
}

Arguments& Arguments::Add(int32_t value) {
    VARIANT& v = m_values.emplace_back();
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return *this;
}

Arguments& Arguments::Add(float value) {
    VARIANT& v = m_values.emplace_back();
    VariantInit(&v);
    v.vt = VT_R4;
    v.fltVal = value;
    return *this;
}

Arguments& Arguments::Add(double value) {
    VARIANT& v = m_values.emplace_back();
    VariantInit(&v);
    v.vt = VT_R8;
    v.dblVal = value;
    return *this;
}

Arguments& Arguments::Add(const std::string& value) {
    BSTR text = NewBstr(value);
    VARIANT& v = m_values.emplace_back();
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = text;
    return *this;
}

Arguments& Arguments::AddEightBit(const std::string& value) {
    const std::string bytes = ToSystemCodePage(value);
    if (bytes.size() > UINT_MAX - sizeof(OLECHAR)) {
        Raise(err::OutOfMemory);
    }
    BSTR text = SysAllocStringByteLen(bytes.data(), static_cast<UINT>(bytes.size()));
    if (text == nullptr) {
        Raise(err::OutOfMemory);
    }
    VARIANT& v = m_values.emplace_back();
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = text;
    return *this;
}

Arguments& Arguments::AddObject(ComPtr<IDispatch> value) {
    VARIANT& v = m_values.emplace_back();
    VariantInit(&v);
    v.vt = VT_DISPATCH;
    v.pdispVal = value.Detach();  // the variant's, cleared with it
    return *this;
}

Arguments& Arguments::AddEmpty() {
    VARIANT& v = m_values.emplace_back();
    VariantInit(&v);
    return *this;
}

Arguments& Arguments::AddRef(int32_t& value) {
    LONG& storage = m_longs.emplace_back(value);
    VARIANT& v = m_values.emplace_back();
    VariantInit(&v);
    v.vt = VT_BYREF | VT_I4;
    v.plVal = &storage;
    m_copyBack.emplace_back([&value, &storage] { value = storage; });
    return *this;
}

Arguments& Arguments::AddRef(std::string& value) {
    BSTR& storage = m_strings.emplace_back(NewBstr(value));
    VARIANT& v = m_values.emplace_back();
    VariantInit(&v);
    v.vt = VT_BYREF | VT_BSTR;
    v.pbstrVal = &storage;
    m_copyBack.emplace_back([&value, &storage] { value = FromBstr(storage); });
    return *this;
}

VARIANT* Arguments::Reversed() {
    m_reversed.assign(m_values.rbegin(), m_values.rend());
    return m_reversed.empty() ? nullptr : m_reversed.data();
}

void Arguments::CopyBack() {
    for (const auto& copy : m_copyBack) {
        copy();
    }
}

Dispatcher::Dispatcher(IDispatch* dispatch, std::string object)
    : m_dispatch(dispatch), m_object(std::move(object)) {}

void Dispatcher::Release() {
    m_dispatch.Reset();
}

DISPID Dispatcher::Id(std::string_view member) {
    if (!m_dispatch) {
        Raise(err::NoObject, m_object + "." + std::string(member) + ": the control is gone");
    }
    auto it = m_ids.find(member);
    if (it != m_ids.end()) {
        return it->second;
    }
    std::wstring name = Widen(member);
    LPOLESTR names[] = {name.data()};
    DISPID id = DISPID_UNKNOWN;
    const HRESULT hr = m_dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) {
        RaiseFromHresult(hr, nullptr, m_object + "." + std::string(member));
    }
    m_ids.emplace(member, id);
    return id;
}

void Dispatcher::Invoke(std::string_view member, WORD flags, Arguments& args, VARIANT* result) {
    const DISPID id = Id(member);
    // Named before the call: an event the call raises may unload the window
    // and free this dispatcher with it.
    const std::string where = m_object + "." + std::string(member);
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{};
    params.rgvarg = args.Reversed();
    params.cArgs = static_cast<UINT>(args.Count());
    if ((flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0) {
        params.rgdispidNamedArgs = &named;
        params.cNamedArgs = 1;
    }
    EXCEPINFO info{};
    UINT badArgument = 0;
    // The control may release its last outside reference inside the call
    // (an event that unloads the window): keep it alive until we return.
    const ComPtr<IDispatch> dispatch = m_dispatch;
    const HRESULT hr = dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result,
                                        &info, &badArgument);
    if (FAILED(hr)) {
        RaiseFromHresult(hr, &info, where);
    }
    args.CopyBack();
}

void Dispatcher::Call(model::Member member, Arguments& args, Var* result) {
    if (result == nullptr) {
        Invoke(NameOf(member), DISPATCH_METHOD, args, nullptr);
    } else {
        Invoke(NameOf(member), DISPATCH_METHOD | DISPATCH_PROPERTYGET, args, &result->v);
    }
}

void Dispatcher::Put(model::Member member, Arguments& value) {
    Invoke(NameOf(member), DISPATCH_PROPERTYPUT, value, nullptr);
}

void Dispatcher::PutRef(model::Member member, Arguments& value) {
    Invoke(NameOf(member), DISPATCH_PROPERTYPUTREF, value, nullptr);
}

void Dispatcher::Get(std::string_view member, Var& result) {
    Arguments none;
    Invoke(member, DISPATCH_PROPERTYGET, none, &result.v);
}

int32_t Dispatcher::GetInt32(std::string_view member) {
    Var value;
    Get(member, value);
    return ToInt32(value.v);
}

double Dispatcher::GetDouble(std::string_view member) {
    Var value;
    Get(member, value);
    return ToDouble(value.v);
}

bool ToBool(const VARIANT& value) {
    Var out;
    Convert(value, out.v, VT_BOOL);
    return out.v.boolVal != VARIANT_FALSE;
}

int16_t ToInt16(const VARIANT& value) {
    Var out;
    Convert(value, out.v, VT_I2);
    return out.v.iVal;
}

int32_t ToInt32(const VARIANT& value) {
    Var out;
    Convert(value, out.v, VT_I4);
    return out.v.lVal;
}

double ToDouble(const VARIANT& value) {
    Var out;
    Convert(value, out.v, VT_R8);
    return out.v.dblVal;
}

std::string ToString(const VARIANT& value) {
    Var out;
    Convert(value, out.v, VT_BSTR);
    return FromBstr(out.v.bstrVal);
}

}  // namespace scenova::win32::controls
