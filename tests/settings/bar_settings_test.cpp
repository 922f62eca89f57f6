// The navigation bar and the toolbar: placed in the window's own units,
// given their script and the window's backdrop. Their defaults are in the
// reviewed host session.

#include "tests/settings/SettingsFixture.h"

namespace scenova::testing {
namespace {

using ::testing::ElementsAre;

using BarTest = SettingsTest;

TEST_F(BarTest, PositionsPassUnconvertedAndSetBackgroundSeesThemAfterwards) {
    WriteBitmap(Media("back.bmp"), 4, 4);
    Set("PICTURE", "back.bmp");
    Set("WIDTH", "800");
    Set("Nav.Top", "120");
    Set("Nav.Left", "7.5");
    Set("Nav.Width", "300");
    Set("Nav.Script", "nav.txt");
    Set("Toolbar.Top", "12.5");
    Set("Toolbar.Left", "left");
    Set("Toolbar.Width", "200");
    Set("Toolbar.Height", "40");
    ASSERT_TRUE(Init());

    const auto& nav = *Window().frmRoseNavigation;
    EXPECT_EQ(nav.Top(), 120.0f);
    EXPECT_EQ(nav.Left(), 7.5f);
    EXPECT_EQ(nav.Width(), 300.0f);
    EXPECT_THAT(nav.Scripts(), ElementsAre(Resource("nav.txt")));
    EXPECT_THAT(Lines("> frmRoseNavigation.SetBackground"),
                ElementsAre("> frmRoseNavigation.SetBackground(<picture 4x4>, 800, 480, 8, 120, "
                            "1)"));

    const auto& toolbar = *Window().frmRoseToolbar;
    EXPECT_THAT(Lines("> frmRoseToolbar.Left"), ::testing::IsEmpty());
    EXPECT_EQ(toolbar.Width(), 200.0f);
    EXPECT_EQ(toolbar.Height(), 40.0f);
    EXPECT_TRUE(toolbar.Scripts().empty());
    EXPECT_THAT(Lines("> frmRoseToolbar.SetBackground"),
                ElementsAre("> frmRoseToolbar.SetBackground(<picture 4x4>, 800, 480, 0, 12, 1)"));
    EXPECT_EQ(toolbar.LastZOrder(), 0);
}

TEST_F(BarTest, APositionBeyondSixteenBitsSkipsOnlyTheBackground) {
    Set("Nav.Left", "40000");
    ASSERT_TRUE(Init());
    EXPECT_FALSE(Window().frmRoseNavigation->BackgroundSet());
    EXPECT_EQ(Window().frmRoseNavigation->LastZOrder(), 0);
    EXPECT_TRUE(Window().frmRoseToolbar->BackgroundSet());
}

}  // namespace
}  // namespace scenova::testing
