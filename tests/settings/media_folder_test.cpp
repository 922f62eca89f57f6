// The media folder the host hands over, as the bars get it. The settings
// that show in the trace are trace cases (tests/cases/settings-*).

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/HeadlessHost.h"
#include "tests/support/TraceMatchers.h"

namespace scenova::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class MediaFolderTest : public ::testing::Test, protected HeadlessHost {
protected:
    MediaFolderTest() {
        mgr->settings->Add(std::string("x"), std::string("Unrelated.Key"));
        host.Create();
    }
    void Init() { ASSERT_EQ(host.Init("scenova").value, Variant(true)); }
};

TEST_F(MediaFolderTest, AnEmptyOneLeavesTheBarsImageFoldersAlone) {
    mgr->mediaPath = "";
    mgr->settings->Add(std::string("20"), std::string("movOrvMovie.Width"));
    Init();
    const auto lines = platform.GetTrace().Lines();
    EXPECT_THAT(Untimed(lines, "> frmRose.ImageFolder"), IsEmpty());
    EXPECT_THAT(Untimed(lines, "> frmRoseNavigation.ImageFolder"), IsEmpty());
    EXPECT_THAT(Untimed(lines, "> frmRose.BeginBar"),
                ElementsAre("> frmRose.BeginBar(\"Scenova\")"));
    EXPECT_EQ(platform.Window().movOrvMovie->Width(), 300.0f);
}

// A fixed fault: the folder lost its last byte, half of a two-byte character.
TEST_F(MediaFolderTest, ItLosesItsLastCharacterWholly) {
    mgr->mediaPath = "/l/m\xC3\xA9";
    Init();
    EXPECT_EQ(platform.Window().frmRose->ImageFolder(), "/l/m");
}

}  // namespace
}  // namespace scenova::testing
