// scenova: runs the lesson tool through the headless host and prints the
// trace of everything it does.

#include <iostream>
#include <memory>
#include <string_view>

#include "headless/HeadlessPlatform.h"
#include "headless/RecordingManager.h"
#include "headless/ToolHost.h"

namespace {

int Usage() {
    std::cerr
        << "usage: scenova demo\n"
           "  Runs the lesson tool through the host's calling order (create, Init, Show,\n"
           "  Hide, Move, Shutdown, release) on the headless platform and prints the trace.\n";
    return 2;
}

int RunDemo() {
    using namespace scenova::headless;
    HeadlessPlatform platform;
    platform.GetTrace().SetEcho([](const std::string& line) { std::cout << line << '\n'; });

    auto manager = std::make_shared<RecordingManager>(platform.Ctx());
    manager->mediaPath = "/lesson/media/";
    manager->auxiliaryPath = "/lesson/";
    manager->resourcePath = "/lesson/resources/";
    manager->videoPath = "/lesson/video/";
    manager->settings->Add(std::string("Help"), std::string("Help"));

    ToolHost host(platform, manager);
    host.Create();
    int status = 0;
    for (const HostResult& result : {host.Init("scenova"), host.Show()}) {
        if (result.Failed()) {
            std::cerr << "scenova: " << result.error->what() << '\n';
            status = 1;
        }
    }
    platform.RunFor(1.0);
    host.Hide();
    host.Move(0, scenova::Variant(0.0f), scenova::Variant(9600.0f), scenova::Variant(7200.0f));
    host.Show();
    host.Shutdown();
    host.Release();
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string_view(argv[1]) == "demo") {
        return RunDemo();
    }
    return Usage();
}
