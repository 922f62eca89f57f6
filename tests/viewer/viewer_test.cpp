// The viewer both players share: its keys in each player, and what the
// learner's keys and modes do to the sample lesson on the headless platform.
#include <gtest/gtest.h>

#include <string>

#include "lesson/LessonFolder.h"
#include "model/Video.h"
#include "tests/support/HeadlessHost.h"
#include "viewer/Viewer.h"

namespace scenova::testing {
namespace {

using viewer::Command;
using viewer::Where;

TEST(ViewerKeys, EachRowIsItsKeyInThePlayersItWorksIn) {
    for (const viewer::KeyRow& row : viewer::KeyRows()) {
        if (row.command == Command::None) {
            continue;
        }
        const viewer::Key key = viewer::KeyNamed(row.keys);
        for (const Where player : {Where::Desktop, Where::Page}) {
            const bool works = row.where == Where::Everywhere || row.where == player;
            EXPECT_EQ(viewer::CommandOf(key, player), works ? row.command : Command::None)
                << row.keys;
            EXPECT_EQ(viewer::KeyList(player).find("  " + std::string(row.keys) + " ") !=
                          std::string::npos,
                      works)
                << row.keys;
        }
    }
    // As players name keys: letters in either case, "?" and "+" typed with
    // Shift, "+" on the key that holds "=", a modifier no row asks for.
    EXPECT_EQ(viewer::CommandOf({.name = "s"}, Where::Page), Command::Faster);
    EXPECT_EQ(viewer::CommandOf({.name = "S", .shift = true}, Where::Page), Command::Slower);
    EXPECT_EQ(viewer::CommandOf({.name = "?", .shift = true}, Where::Page), Command::Keys);
    EXPECT_EQ(viewer::CommandOf({.name = "=", .ctrl = true}, Where::Desktop), Command::ZoomIn);
    EXPECT_EQ(viewer::CommandOf({.name = "S", .ctrl = true}, Where::Page), Command::None);
    EXPECT_EQ(viewer::CommandOf({.name = "Return"}, Where::Desktop), Command::None);
}

// A player on the headless platform: what the viewer shows is kept.
struct HeadlessViewer final : viewer::ViewerHost {
    explicit HeadlessViewer(HeadlessHost& h) : h(h) {}

    model::Reach User() override { return h.platform.Window().User(); }
    void Refused(const lesson::Action&, Refusal, const std::string& why) override {
        ADD_FAILURE() << why;
    }
    model::Video* Video() override { return h.platform.Window().movOrvMovie.get(); }
    void ShowRate(double r) override { rate = r; }
    void ShowCaption(const std::string& text, const std::string& second) override {
        caption = text;
        translation = second;
    }
    void ShowModes() override { ++modesShown; }
    bool Own(Command) override { return false; }
    void ShowFound(int32_t, int32_t) override {}

    HeadlessHost& h;
    double rate = 1.0;
    std::string caption;
    std::string translation;
    int modesShown = 0;
};

class ViewerTest : public ::testing::Test {
protected:
    void SetUp() override {
        static const lesson::Lesson market =
            lesson::LoadLesson(std::string(SCENOVA_SOURCE_DIR) + "/examples/market/");
        h.mgr->Serve(market);
        translation = market.translation;
        h.host.Create();
        ASSERT_EQ(h.host.Init("scenova").value, Variant(true));
        ASSERT_FALSE(h.host.Show().Failed());
        h.platform.Window().rtfText->CultureTipMarker(Module1::Get().g_strCultureTipChar);
    }

    // Time passes as in a player, which ticks the viewer every 40 ms.
    void Play(double seconds) {
        for (double t = 0; t < seconds; t += 0.04) {
            h.platform.RunFor(0.04);
            view.Tick();
        }
    }

    std::string translation;
    HeadlessHost h;
    HeadlessViewer screen{h};
    viewer::Viewer view{screen};
};

// Pause after each line, repeat and loop are a trace case of their own
// (tests/cases/viewer-keys-pause-repeat-loop).
TEST_F(ViewerTest, CaptionsTranslationAndSpeed) {
    // The caption is the line spoken, with its speaker and its tip said;
    // the translation is that line's, and stays with the line heard last.
    EXPECT_FALSE(view.Run(Command::Translation));  // none yet
    ASSERT_TRUE(view.SetTranslation(translation).empty());
    ASSERT_TRUE(view.Run(Command::Translation));
    ASSERT_TRUE(view.Run(Command::Captions));
    ASSERT_TRUE(view.Run(Command::PlayOrStop));
    Play(5.5);
    EXPECT_EQ(screen.caption,
              "Anna: Good morning! How much are the apples? (culture tip: Greetings)");
    EXPECT_EQ(screen.translation, "¡Buenos días! ¿Cuánto cuestan las manzanas?");
    Play(2.3);  // between lines
    EXPECT_EQ(screen.caption, "");
    EXPECT_EQ(screen.translation, "¡Buenos días! ¿Cuánto cuestan las manzanas?");
    ASSERT_TRUE(view.Run(Command::Translation));
    EXPECT_EQ(screen.translation, "");
    EXPECT_FALSE(view.SetTranslation("WEBVTT\n\n00:01.000 --> 00:00.500\nBackwards\n").empty());
    EXPECT_FALSE(view.Run(Command::Translation));

    for (int i = 0; i < 3; ++i) {
        view.Run(Command::Faster);
    }
    EXPECT_EQ(screen.rate, 1.5);
    for (int i = 0; i < 9; ++i) {
        view.Run(Command::Slower);
    }
    EXPECT_EQ(screen.rate, 0.5);
}

// A lesson opened again offers to go on where the learner was, with their
// speed, captions and pause; a store edited by anyone gives nothing odd.
TEST_F(ViewerTest, RemembersWhereTheLearnerWasAndPassesOverWhatItDidNotWrite) {
    view.Run(Command::Faster);
    view.Run(Command::Captions);
    view.Run(Command::PauseAfterLines);
    view.GoOn(3);
    const std::string kept = view.Remembered();
    EXPECT_EQ(kept, "block=3 rate=1.25 captions=1 pause=1 translation=0");

    h.platform.Window().sldVideoSlider->UserClickTo(1);
    HeadlessViewer again{h};
    viewer::Viewer next{again};
    EXPECT_EQ(next.Recall(kept), 3);
    EXPECT_EQ(again.rate, 1.25);
    EXPECT_TRUE(next.Captions() && next.PausesAfterLines());
    ASSERT_TRUE(next.GoOn(3));
    EXPECT_EQ(h.platform.Window().sldVideoSlider->Value(), 3);

    HeadlessViewer edited{h};
    viewer::Viewer other{edited};
    EXPECT_EQ(other.Recall("rate=1.25 " + std::string(100000, 'x') + " block=3"), 0);
    EXPECT_EQ(other.Recall("block=99 rate=9 captions=2 pause=yes block=1 block=-2 rate=0.75 x"), 0);
    EXPECT_EQ(edited.rate, 0.75);
    EXPECT_FALSE(other.Captions() || other.PausesAfterLines());
}

}  // namespace
}  // namespace scenova::testing
