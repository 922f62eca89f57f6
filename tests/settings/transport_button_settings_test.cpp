// The transport buttons defined on the main bar from the settings.

#include <map>

#include "tests/settings/SettingsFixture.h"

namespace scenova::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

using TransportButtonTest = SettingsTest;

struct DefinitionCase {
    std::map<std::string, std::string> keys;  // suffix -> value, besides ".Bmp"
    const char* definition;
};

class DefinitionTest : public SettingsTest, public ::testing::WithParamInterface<DefinitionCase> {};

TEST_P(DefinitionTest, TheBarGetsTypeBitmapLeftAndTop) {
    Touch(Media("play.bmp"));
    Set("btnVideoPlay.Bmp", "play.bmp");
    for (const auto& [suffix, value] : GetParam().keys) {
        Set("btnVideoPlay" + suffix, value);
    }
    ASSERT_TRUE(Init());
    EXPECT_EQ(Window().frmRose->Descriptor("btnVideoPlay"), GetParam().definition);
    EXPECT_TRUE(Module().g_colButtonInfo->Contains("btnVideoPlay"));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DefinitionTest,
    ::testing::Values(DefinitionCase{{{".Left", "10"}, {".Top", "5"}}, "109,play.bmp,10,5"},
                      DefinitionCase{{{".Top", "2.5"}, {".Left", "-3.5"}}, "109,play.bmp,-4,2"},
                      DefinitionCase{{{".Type", "70000"}}, "0,play.bmp,0,0"}));

struct StateCase {
    const char* visible;  // nullptr: no key
    const char* enabled;
    std::vector<int16_t> states;
};

class StateTest : public SettingsTest, public ::testing::WithParamInterface<StateCase> {};

TEST_P(StateTest, HiddenButtonsAreNotEnabledButGetTheirToolTip) {
    Touch(Media("stop.bmp"));
    Set("btnVideoStop.Bmp", "stop.bmp");
    if (GetParam().visible) {
        Set("btnVideoStop.Visible", GetParam().visible);
    }
    if (GetParam().enabled) {
        Set("btnVideoStop.Enabled", GetParam().enabled);
    }
    ASSERT_TRUE(Init());
    std::vector<std::string> expected;
    for (int16_t state : GetParam().states) {
        expected.push_back("> frmRose.SetButtonState(\"btnVideoStop\", " + std::to_string(state) +
                           ", False)");
    }
    EXPECT_EQ(Lines("> frmRose.SetButtonState"), expected);
    EXPECT_EQ(Window().frmRose->ToolTip("btnVideoStop"), "");
}

INSTANTIATE_TEST_SUITE_P(States, StateTest,
                         ::testing::Values(StateCase{"False", "1", {3}},
                                           StateCase{nullptr, "0", {0, 1}},
                                           StateCase{"true", nullptr, {0, 0}},
                                           StateCase{"-1", "false", {0, 1}}));

TEST_F(TransportButtonTest, AMissingBitmapIsReportedAndTheOthersAreStillDefined) {
    Touch(Media("on.bmp"));
    Touch(Media("rew.bmp"));
    Set("btnTextOn.Bmp", "on.bmp");
    Set("btnVideoPlay.Bmp", "play.bmp");
    Set("btnVideoPlay.Type", "2");
    Set("btnVideoRew.Bmp", "rew.bmp");
    ASSERT_TRUE(Init());
    EXPECT_THAT(
        Lines("> mgr.ReportError"),
        ElementsAre("> mgr.ReportError(<tool>, 5, \"Unable to open " + Media("play.bmp") + "\")"));
    EXPECT_FALSE(Module().g_colButtonInfo->Contains("btnVideoPlay"));
    EXPECT_FALSE(Window().frmRose->HasButton("btnVideoPlay"));
    EXPECT_EQ(Module().g_colButtonInfo->Count(), 2);
    EXPECT_EQ(Module().g_colButtonInfo->Item(1), Variant(std::string("btnTextOn")));
    EXPECT_EQ(Module().g_colButtonInfo->Item(2), Variant(std::string("btnVideoRew")));
}

TEST_F(TransportButtonTest, AValueThatDoesNotConvertKeepsThePreviousButtonsValue) {
    Touch(Media("on.bmp"));
    Touch(Media("off.bmp"));
    Set("btnTextOn.Bmp", "on.bmp");
    Set("btnTextOn.Type", "5");
    Set("btnTextOn.Left", "40");
    Set("btnTextOff.Bmp", "off.bmp");
    Set("btnTextOff.Type", "abc");
    Set("btnTextOff.Left", "wide");
    ASSERT_TRUE(Init());
    EXPECT_EQ(Window().frmRose->Descriptor("btnTextOff"), "5,off.bmp,40,0");
}

TEST_F(TransportButtonTest, ATypeThatDoesNotConvertOnTheFirstButtonIsZero) {
    Touch(Media("off.bmp"));
    Set("btnTextOff.Bmp", "off.bmp");
    Set("btnTextOff.Type", "abc");
    ASSERT_TRUE(Init());
    EXPECT_EQ(Window().frmRose->Descriptor("btnTextOff"), "0,off.bmp,0,0");
}

}  // namespace
}  // namespace scenova::testing
