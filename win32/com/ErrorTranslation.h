#pragma once

// The one translation between the core's run-time errors and HRESULTs, used at
// the COM boundary in both directions. Needs no Windows header, so it is
// tested on Linux too.

#include <cstdint>
#include <exception>
#include <new>
#include <string>
#include <utility>

#include "runtime/RuntimeError.h"

namespace scenova::win32 {

namespace hresult {
inline constexpr int32_t Ok = 0;
inline constexpr int32_t Fail = static_cast<int32_t>(0x80004005u);
inline constexpr int32_t Unexpected = static_cast<int32_t>(0x8000FFFFu);
inline constexpr int32_t OutOfMemory = static_cast<int32_t>(0x8007000Eu);
inline constexpr int32_t InvalidArg = static_cast<int32_t>(0x80070057u);
inline constexpr int32_t Pointer = static_cast<int32_t>(0x80004003u);
inline constexpr int32_t NoInterface = static_cast<int32_t>(0x80004002u);
inline constexpr int32_t TypeMismatch = static_cast<int32_t>(0x80020005u);
inline constexpr int32_t Overflow = static_cast<int32_t>(0x8002000Au);
inline constexpr int32_t BadIndex = static_cast<int32_t>(0x8002000Bu);
// Run-time errors travel in the control facility: 0x800A0000 | number.
inline constexpr uint32_t ControlFacility = 0x800A0000u;
}  // namespace hresult

// The HRESULT a host sees for a run-time error: error numbers 1 to 65535 in
// the control facility; numbers that came from a failing HRESULT go back
// unchanged. Anything else is still a failure, never a success code.
constexpr int32_t HResultFromErrorNumber(int32_t number) noexcept {
    if (number < 0) {
        return number;
    }
    if (number > 0 && number <= 0xFFFF) {
        return static_cast<int32_t>(hresult::ControlFacility | static_cast<uint32_t>(number));
    }
    return hresult::Fail;
}

// The run-time error number of a failing HRESULT: the number itself for the
// control facility, the run-time error of the same meaning for the common
// automation failures, otherwise the HRESULT as a (negative) number.
constexpr int32_t ErrorNumberFromHResult(int32_t hr) noexcept {
    const uint32_t bits = static_cast<uint32_t>(hr);
    if ((bits & 0xFFFF0000u) == hresult::ControlFacility && (bits & 0xFFFFu) != 0) {
        return static_cast<int32_t>(bits & 0xFFFFu);
    }
    switch (hr) {
        case hresult::InvalidArg:
            return err::InvalidCall;
        case hresult::Overflow:
            return err::Overflow;
        case hresult::OutOfMemory:
            return err::OutOfMemory;
        case hresult::BadIndex:
            return err::SubscriptOutOfRange;
        case hresult::TypeMismatch:
            return err::TypeMismatch;
        case hresult::Pointer:
            return err::NoObject;
        default:
            return hr < 0 ? hr : hresult::Fail;
    }
}

// Runs body and returns S_OK, or the HRESULT of the failure it raised. report
// receives the HRESULT and a description (for the host's error object) before
// the failure is returned. Nothing escapes: COM methods must not throw.
template <class Body, class Report>
int32_t Guarded(Body&& body, Report&& report) noexcept {
    int32_t hr = hresult::Ok;
    std::string description;
    try {
        std::forward<Body>(body)();
        return hresult::Ok;
    } catch (const RuntimeError& error) {
        hr = HResultFromErrorNumber(error.number());
        description = error.description();
    } catch (const std::bad_alloc&) {
        hr = hresult::OutOfMemory;
        description = "Out of memory";
    } catch (const std::exception& error) {
        hr = hresult::Unexpected;
        description = error.what();
    } catch (...) {
        hr = hresult::Unexpected;
    }
    try {
        std::forward<Report>(report)(hr, description);
    } catch (...) {
        // The failure itself is what the caller must learn about.
    }
    return hr;
}

}  // namespace scenova::win32
