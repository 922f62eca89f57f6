// A whole lesson start-up from arbitrary settings and script text: create the
// tool, IToolTalk_Init, IToolTalk_Show, a little playback, shut down and
// release. Run-time errors may reach the host or end a control event; any
// other exception, a crash or a sanitizer report is a fault.
//
// Input: the settings text, a form feed, the script text (without a form
// feed all of it is the script). Pictures, cursors and bar scripts come from
// fuzz/lesson-media/: the sample lesson's names with small pictures and a
// small movie (decoding big ones is the picture target's work, and would be
// most of every run here), made by make-seeds.py.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "headless/HeadlessPlatform.h"
#include "headless/RecordingManager.h"
#include "headless/ToolHost.h"
#include "lesson/LessonFolder.h"
#include "module/Module1.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace scenova;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto split = input.find('\f');
    const std::string_view settings = split == std::string_view::npos ? "" : input.substr(0, split);
    const std::string_view script =
        split == std::string_view::npos ? input : input.substr(split + 1);

    static const std::string folder = std::string(SCENOVA_SOURCE_DIR) + "/fuzz/lesson-media/";
    Module1::Get().Reset();
    headless::HeadlessPlatform platform;
    auto mgr = std::make_shared<headless::RecordingManager>(platform.Ctx());
    mgr->mediaPath = folder + "media/";
    mgr->auxiliaryPath = folder;
    mgr->resourcePath = folder + "resources/";
    mgr->videoPath = folder + "video/";
    mgr->settings = lesson::ParseSettings(settings);
    mgr->script = lesson::ParseScript(script);
    {
        headless::ToolHost host(platform, mgr);
        host.Create();
        host.Init("scenova");
        host.Show();
        platform.ProcessPending();
        if (const auto& bar = platform.Window().frmRose) {
            bar->UserPress("btnVideoPlay");
            platform.RunFor(1.5);
            bar->UserPress("btnVideoFwd");
            platform.ProcessPending();
        }
        host.Shutdown();
        platform.ProcessPending();
        host.Release();
    }
    Module1::Get().Reset();
    return 0;
}
