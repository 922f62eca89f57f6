// The COM boundary's error translation: platform-free, so it runs on Linux too.

#include <gtest/gtest.h>

#include <stdexcept>

#include "win32/com/ErrorTranslation.h"

namespace scenova::win32 {
namespace {

TEST(ErrorTranslation, RunTimeErrorsRoundTripThroughTheControlFacility) {
    for (int32_t number : {5, 6, 9, 13, 91, 380, 457, 481, 0xFFFF}) {
        const int32_t hr = HResultFromErrorNumber(number);
        EXPECT_EQ(static_cast<uint32_t>(hr), 0x800A0000u | static_cast<uint32_t>(number));
        EXPECT_EQ(ErrorNumberFromHResult(hr), number);
    }
    // A failing HRESULT that became an error number goes back as it came.
    EXPECT_EQ(HResultFromErrorNumber(err::Unspecified), hresult::Fail);
    EXPECT_EQ(ErrorNumberFromHResult(static_cast<int32_t>(0x80070002u)),
              static_cast<int32_t>(0x80070002u));
    // Automation failures of the same meaning become the core's numbers.
    EXPECT_EQ(ErrorNumberFromHResult(hresult::BadIndex), err::SubscriptOutOfRange);
    EXPECT_EQ(ErrorNumberFromHResult(hresult::TypeMismatch), err::TypeMismatch);
    EXPECT_EQ(ErrorNumberFromHResult(hresult::InvalidArg), err::InvalidCall);
}

TEST(ErrorTranslation, NoFailureIsEverReportedAsSuccess) {
    // Numbers outside the run-time range (0, success codes) still fail.
    for (int32_t number : {0, 0x10000, 0x7FFFFFFF}) {
        EXPECT_LT(HResultFromErrorNumber(number), 0) << number;
    }
    EXPECT_LT(ErrorNumberFromHResult(static_cast<int32_t>(0x800A0000u)), 0);
}

TEST(ErrorTranslation, GuardedTurnsEveryExceptionIntoItsHResultAndReportsIt) {
    int32_t reported = 0;
    std::string text;
    auto report = [&](int32_t hr, const std::string& description) {
        reported = hr;
        text = description;
    };
    EXPECT_EQ(Guarded([] {}, report), hresult::Ok);
    EXPECT_EQ(reported, 0);

    EXPECT_EQ(Guarded([] { Raise(err::NoObject, "mgr.GetScript: no manager"); }, report),
              HResultFromErrorNumber(err::NoObject));
    EXPECT_EQ(reported, HResultFromErrorNumber(err::NoObject));
    EXPECT_EQ(text, "mgr.GetScript: no manager");

    EXPECT_EQ(Guarded([] { throw std::bad_alloc(); }, report), hresult::OutOfMemory);
    EXPECT_EQ(Guarded([] { throw std::logic_error("broken"); }, report), hresult::Unexpected);
    EXPECT_EQ(text, "broken");
    EXPECT_EQ(Guarded([] { throw 42; }, report), hresult::Unexpected);
    // A reporter that fails does not hide the failure.
    EXPECT_EQ(Guarded([] { Raise(err::Overflow); }, [](int32_t, const std::string&) { throw 1; }),
              HResultFromErrorNumber(err::Overflow));
}

}  // namespace
}  // namespace scenova::win32
