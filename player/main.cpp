// scenova-player: plays a lesson folder or packed lesson in a desktop window (Qt).

#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "archive/PackedLesson.h"
#include "lesson/Actions.h"
#include "player/FindBar.h"
#include "player/HostWindow.h"
#include "player/Options.h"
#include "player/Player.h"
#include "qt/Strings.h"
#include "runtime/FloatChars.h"
#include "viewer/Keys.h"

namespace {

double Percentile(std::vector<double> values, double fraction) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const auto at = static_cast<std::size_t>(std::ceil(fraction * values.size())) - 1;
    return values[std::min(at, values.size() - 1)];
}

// Whether the machine has a GPU to render with (a render node of the
// kernel's direct rendering).
bool HasGpu() {
    std::error_code error;
    for (std::filesystem::directory_iterator it("/dev/dri", error), end; !error && it != end;
         it.increment(error)) {
        if (it->path().filename().string().starts_with("renderD")) {
            return true;
        }
    }
    return false;
}

long ResidentKiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const auto launched = std::chrono::steady_clock::now();
    // Read before the application exists: --help and bad usage need no display.
    const auto parsed = scenova::player::ParseOptions(argc, argv);
    if (!parsed.options) {
        return parsed.status;
    }
    const scenova::player::Options& options = *parsed.options;
    const std::string& actionsFile = options.actionsFile;
    std::optional<std::vector<scenova::lesson::Action>> actions;
    if (!actionsFile.empty()) {
        std::ifstream in(actionsFile, std::ios::binary);
        if (!in) {
            std::cerr << "scenova-player: cannot read the actions file " << actionsFile << '\n';
            return 2;
        }
        try {
            actions = scenova::lesson::ParseActions(
                std::string{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()});
        } catch (const scenova::lesson::ActionError& error) {
            std::cerr << "scenova-player: " << actionsFile << " " << error.what() << '\n';
            return 2;
        }
    }
    const bool scripted = actions || !options.shots.empty() || options.quitAfter;
    // A folder that is no lesson is bad usage, told without a display; a
    // packed lesson's entries are checked, and unpacked once, when it opens.
    if (!options.lessonFolder.empty()) {
        try {
            if (scenova::archive::IsPacked(options.lessonFolder)) {
                scenova::archive::Archive::Open(options.lessonFolder);
            } else {
                scenova::player::Player::ReadLesson(options.lessonFolder);
            }
        } catch (const scenova::lesson::LessonError& error) {
            std::cerr << "scenova-player: " << error.what() << '\n';
            return 2;
        }
    }

    // The FFmpeg media backend of Qt 6.4 crashes without a sound device.
    if (!qEnvironmentVariableIsSet("QT_MEDIA_BACKEND")) {
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
    }
    // Qt's video sink hands each frame to this thread and ends the stream
    // when one waits 300 ms; on an X display without a GPU, setting up
    // software GL for the first frame takes longer (under Xvfb here, 12 of
    // 20 starts failed so; 20 of 20 played without GL). The player draws
    // frames itself and needs no GL.
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION") && !HasGpu()) {
        qputenv("QT_XCB_GL_INTEGRATION", "none");
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("scenova-player"));

    scenova::player::Player player({.rememberLessons = !scripted});
    player.onProblem = [](const std::string& text) {
        std::cerr << "scenova-player: " << text << '\n';
    };
    player.Window().show();
    // A folder that is no lesson is bad usage; a tool that fails to start in
    // a lesson is left on screen with its reports, unless nobody is watching.
    if (!options.lessonFolder.empty() && !player.Open(options.lessonFolder) &&
        (scripted || player.Status() == 0)) {
        return 2;
    }
    if (options.fullScreen) {
        player.Run(scenova::viewer::Command::FullScreen);
    }
    if (options.captions) {
        player.Run(scenova::viewer::Command::Captions);
    }
    if (!options.find.empty()) {
        player.Run(scenova::viewer::Command::Find);
        player.Find().Field()->setText(scenova::qt::ToQString(options.find));
    }

    int status = 0;
    long residentKiB = 0;
    for (const scenova::player::Shot& shot : options.shots) {
        QTimer::singleShot(static_cast<int>(std::lround(shot.seconds * 1000)), &app, [&, shot] {
            residentKiB = std::max(residentKiB, ResidentKiB());
            const QPixmap picture = player.Window().grab();
            if (!picture.save(scenova::qt::PathToQString(shot.file), "PNG")) {
                std::cerr << "scenova-player: cannot write " << shot.file << '\n';
                status = 1;
            }
        });
    }
    if (actions) {
        player.RunActions(std::move(*actions), [] {});
    }
    if (options.quitAfter) {
        QTimer::singleShot(static_cast<int>(std::lround(*options.quitAfter * 1000)), &app, [&] {
            residentKiB = std::max(residentKiB, ResidentKiB());
            QApplication::quit();
        });
    }
    app.exec();
    player.Close();

    if (options.stats) {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        const auto seconds = [](const timeval& t) {
            return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
        };
        const auto& delays = player.SignalDelaysMs();
        const auto frame = player.FirstFrameAt();
        const auto sinceLaunch = [&](std::chrono::steady_clock::time_point at) {
            return std::chrono::duration_cast<std::chrono::milliseconds>(at - launched).count();
        };
        std::cout << "first video frame: "
                  << (frame ? std::to_string(sinceLaunch(*frame)) + " ms after the program started"
                            : std::string("none"))
                  << "\nsignal delay: " << delays.size() << " signals, p50 "
                  << scenova::FixedText(Percentile(delays, 0.5), 1) << " ms, p95 "
                  << scenova::FixedText(Percentile(delays, 0.95), 1) << " ms, max "
                  << scenova::FixedText(Percentile(delays, 1.0), 1) << " ms"
                  << "\ncpu: "
                  << scenova::FixedText(seconds(usage.ru_utime) + seconds(usage.ru_stime), 2)
                  << " s (user " << scenova::FixedText(seconds(usage.ru_utime), 2) << ", system "
                  << scenova::FixedText(seconds(usage.ru_stime), 2) << ")"
                  << "\nresident memory: " << residentKiB / 1024 << " MiB at the last picture "
                  << "or quit, peak " << usage.ru_maxrss / 1024 << " MiB\n";
    }
    return std::max(status, player.Status());
}
