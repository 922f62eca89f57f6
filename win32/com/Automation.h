#pragma once

// Strings, variants and HRESULT checks at the COM boundary: the core speaks
// UTF-8 std::string and scenova::Variant, COM speaks BSTR and VARIANT.

// windows.h first: the other system headers rely on it.
#include <windows.h>

#include <oleauto.h>

#include <string>
#include <string_view>

#include "runtime/Variant.h"

namespace scenova::win32 {

std::wstring Utf16(std::string_view text);
std::string Utf8(std::wstring_view text);
// A null BSTR is the empty string.
std::string Utf8(const BSTR text);
// Raises 7 when the string cannot be allocated.
BSTR AllocBstr(std::string_view text);

// A BSTR owned by this object, freed at the end of its scope.
class Bstr {
public:
    explicit Bstr(std::string_view text) : m_bstr(AllocBstr(text)) {}
    ~Bstr() { SysFreeString(m_bstr); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;

    BSTR get() const noexcept { return m_bstr; }
    // For [in, out] BSTR*: the callee may free it and put another in its place.
    BSTR* ref() noexcept { return &m_bstr; }
    std::string str() const { return Utf8(m_bstr); }

private:
    BSTR m_bstr;
};

// True for a missing optional argument (no pointer, or VT_ERROR with
// DISP_E_PARAMNOTFOUND, which is how automation passes "left out").
bool IsMissing(const VARIANT* value) noexcept;

// The core's value of a VARIANT (by-reference variants are followed). Objects,
// arrays and other kinds the core has no use for raise 13; Null raises 94.
scenova::Variant FromVariant(const VARIANT& value);

// Forgets the thread's error object, so that Check describes a failure with
// the error object of the call that failed, never with an older one.
inline void ForgetErrorInfo() noexcept {
    SetErrorInfo(0, nullptr);
}

// Raises the run-time error of a failing HRESULT; where names the call that
// failed ("mgr.GetSettings").
void Check(HRESULT hr, std::string_view where);

}  // namespace scenova::win32
