// The sample lesson through the real window, its container and the test
// controls: each recorded headless story is replayed (the user's and the
// player's events raised on the test controls when the story has them, the
// host calls made when it makes them) and every line the controls see must
// be the recorded one, at the recorded time. Container properties (Left,
// Top, Width, Height, Visible, Enabled) belong to the site, not the control,
// and are checked on the real windows instead.

#include <gtest/gtest.h>
#include <ole2.h>
#include <windows.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "headless/Context.h"
#include "headless/RecordingManager.h"
#include "lesson/LessonFolder.h"
#include "module/Module1.h"
#include "tests/win32/window/WindowTestSupport.h"
#include "tool/CScenova.h"
#include "win32/Win32Platform.h"
#include "win32/window/EventErrors.h"

namespace scenova::win32 {
namespace {

using namespace testing_support;

class MarketWindow : public testing::TestWithParam<const char*> {
protected:
    FakeControls& fake = LoadedFakeControls();
};

// The tool itself on the window layer; the host's side of it is the
// recording manager of the headless host.
TEST_P(MarketWindow, ReplaysTheRecordedStory) {
    ASSERT_NE(fake.reset, nullptr);
    const std::vector<Line> story = LoadStory(GetParam());
    ASSERT_FALSE(story.empty());

    Module1::Get().Reset();
    EventErrors().clear();
    fake.reset();
    fake.setVideoDuration(kMarketVideoSeconds);
    HostFrame host;
    ASSERT_NE(host.client, nullptr);
    headless::EventLoop hostLoop;
    headless::Trace hostTrace(hostLoop);
    headless::Context hostContext(hostLoop, hostTrace);
    const auto lesson = scenova::lesson::LoadLesson(kLesson);
    fake.lessonFolder = lesson.Folder().substr(0, lesson.Folder().size() - 1);
    auto manager = std::make_shared<headless::RecordingManager>(hostContext);
    manager->mediaPath = lesson.MediaFolder();
    manager->auxiliaryPath = lesson.Folder();
    manager->resourcePath = lesson.ResourceFolder();
    manager->videoPath = lesson.VideoFolder();
    manager->settings = lesson.settings;
    manager->script = lesson.script;
    std::unique_ptr<CScenova> tool;

    const auto hostCall = [&](const Line& line) {
        if (line.member == "Create") {
            tool = std::make_unique<CScenova>(ProcessPlatform());
        } else if (line.member == "IToolTalk_Init") {
            std::string id = "scenova";
            ASSERT_TRUE(tool->IToolTalk_Init(
                manager, id, static_cast<int32_t>(reinterpret_cast<intptr_t>(host.frame))));
            // Embedded in the host's MDI client as a child without the
            // application-window style.
            const HWND window = FindWindowExW(host.client, nullptr, L"ScenovaWindow", nullptr);
            ASSERT_NE(window, nullptr);
            EXPECT_EQ(GetParent(window), host.client);
            EXPECT_NE(GetWindowLongW(window, GWL_STYLE) & WS_CHILD, 0);
            EXPECT_NE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_MDICHILD, 0);
            EXPECT_EQ(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
        } else if (line.member == "IToolTalk_Show") {
            tool->IToolTalk_Show();
        } else if (line.member == "IToolTalk_Hide") {
            tool->IToolTalk_Hide();
        } else if (line.member == "IToolTalk_Move") {
            std::vector<float> at;
            std::istringstream numbers(Arguments(line));
            for (std::string item; std::getline(numbers, item, ',');) {
                at.push_back(std::stof(item));
            }
            ASSERT_FALSE(at.empty()) << line.text;
            const auto optional = [&](std::size_t i) {
                return i < at.size() ? std::optional<Variant>(at[i]) : std::nullopt;
            };
            tool->IToolTalk_Move(at[0], optional(1), optional(2), optional(3));
        } else if (line.member == "IToolTalk_Shutdown") {
            tool->IToolTalk_Shutdown();
        } else if (line.member == "Release") {
            tool.reset();
        } else {
            FAIL() << "host call not replayed: " << line.text;
        }
    };

    ReplayStory(fake, story, host, hostCall);
    if (HasFatalFailure()) {
        return;
    }
    EXPECT_EQ(fake.liveObjects(), 0) << "the window left controls referenced";
    for (const std::string& error : EventErrors()) {
        ADD_FAILURE() << "event handler failed: " << error;
    }
}

INSTANTIATE_TEST_SUITE_P(Market, MarketWindow,
                         testing::Values("market_play", "market_navigation", "market_links",
                                         "market_stop_play", "market_stepping", "market_toolbar",
                                         "market_hide_show"));

}  // namespace
}  // namespace scenova::win32
