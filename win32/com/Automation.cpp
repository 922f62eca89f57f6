#include "win32/com/Automation.h"

#include <cstdio>
#include <limits>

#include "runtime/RuntimeError.h"
#include "win32/com/ComPtr.h"
#include "win32/com/ErrorTranslation.h"

namespace scenova::win32 {

std::wstring Utf16(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        Raise(err::Overflow, "string too long for a BSTR");
    }
    const int length = static_cast<int>(text.size());
    const int needed = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
    std::wstring result(static_cast<std::size_t>(needed), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), length, result.data(), needed);
    return result;
}

std::string Utf8(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        Raise(err::Overflow, "BSTR too long for a string");
    }
    const int length = static_cast<int>(text.size());
    const int needed =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, result.data(), needed, nullptr, nullptr);
    return result;
}

std::string Utf8(const BSTR text) {
    if (text == nullptr) {
        return {};
    }
    return Utf8(std::wstring_view(text, SysStringLen(text)));
}

BSTR AllocBstr(std::string_view text) {
    const std::wstring wide = Utf16(text);
    BSTR result = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    if (result == nullptr) {
        Raise(err::OutOfMemory);
    }
    return result;
}

bool IsMissing(const VARIANT* value) noexcept {
    return value == nullptr || (V_VT(value) == VT_ERROR && V_ERROR(value) == DISP_E_PARAMNOTFOUND);
}

scenova::Variant FromVariant(const VARIANT& value) {
    if ((V_VT(&value) & VT_BYREF) != 0 && V_VT(&value) == (VT_BYREF | VT_VARIANT)) {
        if (V_VARIANTREF(&value) == nullptr) {
            Raise(err::NoObject, "a variant refers to nothing");
        }
        return FromVariant(*V_VARIANTREF(&value));
    }
    switch (V_VT(&value)) {
        case VT_EMPTY:
            return std::monostate{};
        case VT_NULL:
            Raise(err::InvalidUseOfNull);
        case VT_BOOL:
            return V_BOOL(&value) != VARIANT_FALSE;
        case VT_BOOL | VT_BYREF:
            return *V_BOOLREF(&value) != VARIANT_FALSE;
        case VT_UI1:
            return static_cast<int16_t>(V_UI1(&value));
        case VT_I2:
            return static_cast<int16_t>(V_I2(&value));
        case VT_I2 | VT_BYREF:
            return static_cast<int16_t>(*V_I2REF(&value));
        case VT_I4:
            return static_cast<int32_t>(V_I4(&value));
        case VT_I4 | VT_BYREF:
            return static_cast<int32_t>(*V_I4REF(&value));
        case VT_INT:
            return static_cast<int32_t>(V_INT(&value));
        case VT_R4:
            return V_R4(&value);
        case VT_R4 | VT_BYREF:
            return *V_R4REF(&value);
        case VT_R8:
            return V_R8(&value);
        case VT_R8 | VT_BYREF:
            return *V_R8REF(&value);
        case VT_BSTR:
            return Utf8(V_BSTR(&value));
        case VT_BSTR | VT_BYREF:
            return Utf8(*V_BSTRREF(&value));
        default:
            break;
    }
    // Other numbers (currency, dates, decimals, 64-bit, unsigned) as doubles.
    const VARTYPE type = V_VT(&value) & ~VT_BYREF;
    if ((V_VT(&value) & (VT_ARRAY | VT_VECTOR)) == 0 && type != VT_DISPATCH && type != VT_UNKNOWN &&
        type != VT_ERROR && type != VT_VARIANT && type != VT_RECORD) {
        VARIANT number;
        VariantInit(&number);
        if (SUCCEEDED(VariantChangeType(&number, const_cast<VARIANT*>(&value), 0, VT_R8))) {
            return V_R8(&number);
        }
    }
    Raise(err::TypeMismatch, "a value of variant type " + std::to_string(V_VT(&value)) +
                                 " where a number or string was expected");
}

void Check(HRESULT hr, std::string_view where) {
    if (SUCCEEDED(hr)) {
        return;
    }
    const int32_t number = ErrorNumberFromHResult(static_cast<int32_t>(hr));
    std::string description = std::string(where) + " failed: ";
    ComPtr<IErrorInfo> info;
    BSTR text = nullptr;
    if (GetErrorInfo(0, &info) == S_OK && info) {
        if (SUCCEEDED(info->GetDescription(&text)) && text != nullptr) {
            description += Utf8(text);
            SysFreeString(text);
        }
    } else {
        description += StandardDescription(number);
    }
    char code[16];
    snprintf(code, sizeof code, " (0x%08lX)", static_cast<unsigned long>(hr));
    description += code;
    Raise(number, std::move(description));
}

}  // namespace scenova::win32
