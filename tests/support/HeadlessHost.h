#pragma once

#include <memory>
#include <string>

#include "headless/HeadlessPlatform.h"
#include "headless/RecordingManager.h"
#include "headless/ToolHost.h"
#include "module/Module1.h"

namespace scenova::testing {

// A host of the tool on the headless platform, with a recording manager and
// the module's values reset before and after: a fixture's base, or a test's.
struct HeadlessHost {
    HeadlessHost() { Module1::Get().Reset(); }
    ~HeadlessHost() {
        host.Release();
        Module1::Get().Reset();
    }

    // The folders of the lesson folder `folder` (ending in '/'), as a host
    // hands them over.
    void ServeFolders(const std::string& folder) {
        mgr->mediaPath = folder + "media/";
        mgr->auxiliaryPath = folder;
        mgr->resourcePath = folder + "resources/";
        mgr->videoPath = folder + "video/";
    }

    headless::HeadlessPlatform platform;
    std::shared_ptr<headless::RecordingManager> mgr =
        std::make_shared<headless::RecordingManager>(platform.Ctx());
    headless::ToolHost host{platform, mgr};
};

}  // namespace scenova::testing
