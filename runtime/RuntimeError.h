#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace scenova {

// Run-time error numbers the component raises or passes on. Failing platform
// calls may carry other numbers (an HRESULT from a COM call, for instance).
namespace err {
inline constexpr int32_t InvalidCall = 5;
inline constexpr int32_t Overflow = 6;
inline constexpr int32_t OutOfMemory = 7;
inline constexpr int32_t SubscriptOutOfRange = 9;
inline constexpr int32_t TypeMismatch = 13;
inline constexpr int32_t FileNotFound = 53;
inline constexpr int32_t NoObject = 91;
inline constexpr int32_t InvalidUseOfNull = 94;
inline constexpr int32_t InvalidPropertyValue = 380;
inline constexpr int32_t DuplicateKey = 457;
inline constexpr int32_t InvalidPicture = 481;
// "Automation error: unspecified failure" (E_FAIL as a signed number).
inline constexpr int32_t Unspecified = static_cast<int32_t>(0x80004005u);
}  // namespace err

// The one exception type of the core: a run-time error with its number.
// Platform layers translate it to and from their own error codes at their
// boundary; nothing inside the core catches anything else.
class RuntimeError : public std::exception {
public:
    explicit RuntimeError(int32_t number);
    RuntimeError(int32_t number, std::string description);

    int32_t number() const noexcept { return m_number; }
    const std::string& description() const noexcept { return m_description; }
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    int32_t m_number;
    std::string m_description;
    std::string m_what;
};

// The standard description of an error number ("Overflow", "Type mismatch" ...).
std::string StandardDescription(int32_t number);

[[noreturn]] void Raise(int32_t number);
[[noreturn]] void Raise(int32_t number, std::string description);

}  // namespace scenova
