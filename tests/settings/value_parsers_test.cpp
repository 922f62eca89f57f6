// Colour texts, font names and file checks of the settings.

#include "settings/ValueParsers.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "headless/HeadlessPlatform.h"
#include "module/Module1.h"
#include "runtime/RuntimeError.h"

namespace scenova {
namespace {

constexpr ColourComponents kUntouched{9, 9, 9};

struct ColourCase {
    const char* text;
    bool accepted;
    ColourComponents after;
};

class ParseColourTest : public ::testing::TestWithParam<ColourCase> {};

TEST_P(ParseColourTest, ReadsOnlyTheRgbForm) {
    ColourComponents rgb = kUntouched;
    EXPECT_EQ(ParseRGBColour(GetParam().text, rgb), GetParam().accepted);
    EXPECT_EQ(rgb, GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(Texts, ParseColourTest,
                         ::testing::Values(ColourCase{"RGB(255,128,0)", true, {255, 128, 0}},
                                           ColourCase{"RGB( 10 , 20 , 30 ) ", true, {10, 20, 30}},
                                           ColourCase{"RGB(10,20)", true, {10, 20, 20}},
                                           ColourCase{"RGB(7)", true, {7, 7, 7}},
                                           ColourCase{"RGB(1,2,3,4)", false, {1, 2, 3}},
                                           ColourCase{"RGB()", false, kUntouched},
                                           ColourCase{"RGB(", false, kUntouched},
                                           ColourCase{"RGB(1,2,3", false, kUntouched},
                                           ColourCase{"", false, kUntouched},
                                           ColourCase{"rgb(1,2,3)", false, kUntouched},
                                           ColourCase{" RGB(1,2,3)", false, kUntouched},
                                           ColourCase{"255", false, kUntouched},
                                           ColourCase{"#FF0000", false, kUntouched}));

struct FailingColourCase {
    const char* text;
    int32_t error;
    ColourComponents after;
};

class ParseColourErrorTest : public ::testing::TestWithParam<FailingColourCase> {};

TEST_P(ParseColourErrorTest, RaisesAfterWritingTheEarlierSlots) {
    ColourComponents rgb = kUntouched;
    try {
        ParseRGBColour(GetParam().text, rgb);
        ADD_FAILURE() << "no error for " << GetParam().text;
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), GetParam().error);
    }
    EXPECT_EQ(rgb, GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseColourErrorTest,
    ::testing::Values(FailingColourCase{"RGB(1,2,300)", err::Overflow, {1, 2, 9}},
                      FailingColourCase{"RGB(-1,2,3)", err::Overflow, kUntouched},
                      FailingColourCase{"RGB(1,2,70000)", err::Overflow, {1, 2, 9}},
                      FailingColourCase{"RGB(1,,3)", err::TypeMismatch, {1, 9, 9}},
                      FailingColourCase{"RGB(a,2,3)", err::TypeMismatch, kUntouched}));

TEST(FontNameToIndex, NumbersTheBarsFontsInAnyCase) {
    const std::pair<const char*, int16_t> cases[] = {
        {"arial", 1},       {"MS Sans Serif", 7}, {"WINGDINGS", 14},
        {"Courier New", 3}, {"Courier", 2},       {"Times New Roman", 13},
        {" Arial", 0},      {"Comic Sans MS", 0}, {"", 0}};
    for (const auto& [name, number] : cases) {
        EXPECT_EQ(FontNameToIndex(name), number) << name;
    }
}

TEST(FileExists, FindsOrdinaryFilesAlsoByPattern) {
    headless::HeadlessPlatform platform;
    IToolkit& toolkit = platform.toolkit();
    const auto root = std::filesystem::temp_directory_path() /
                      ("scenova-file-exists-" + std::to_string(::getpid()));
    std::filesystem::create_directories(root / "folder");
    std::ofstream(root / "back.bmp") << "x";
    std::ofstream(root / ".hidden.cur") << "x";
    const std::string dir = root.string() + "/";

    EXPECT_FALSE(FileExists(toolkit, ""));
    EXPECT_FALSE(FileExists(toolkit, dir + "folder"));
    EXPECT_FALSE(FileExists(toolkit, dir + "missing.bmp"));
    EXPECT_FALSE(FileExists(toolkit, dir + ".hidden.cur"));
    EXPECT_TRUE(FileExists(toolkit, dir + "back.bmp"));
    EXPECT_TRUE(FileExists(toolkit, dir + "*.bmp"));
    EXPECT_FALSE(FileExists(toolkit, dir + "*.cur"));
    EXPECT_FALSE(FileExists(toolkit, dir + "fold*"));
    std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace scenova
