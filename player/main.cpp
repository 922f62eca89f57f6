// scenova-player: plays a lesson folder in a desktop window (Qt).

#include <CLI/CLI.hpp>
#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "lesson/Actions.h"
#include "player/FindBar.h"
#include "player/HostWindow.h"
#include "player/KeyMap.h"
#include "player/Player.h"
#include "qt/Strings.h"
#include "runtime/FloatChars.h"

namespace {

struct Shot {
    double seconds;
    std::string file;
};

// "SECONDS:FILE": a picture of the window that many seconds after the start.
std::optional<Shot> ParseShot(const std::string& text) {
    const auto colon = text.find(':');
    if (colon == std::string::npos || colon + 1 == text.size()) {
        return std::nullopt;
    }
    double seconds = 0;
    const char* end = text.data() + colon;
    if (scenova::FloatFromChars(text.data(), end, seconds).ptr != end || !(seconds >= 0) ||
        !std::isfinite(seconds)) {
        return std::nullopt;
    }
    return Shot{seconds, text.substr(colon + 1)};
}

double Percentile(std::vector<double> values, double fraction) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const auto at = static_cast<std::size_t>(std::ceil(fraction * values.size())) - 1;
    return values[std::min(at, values.size() - 1)];
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
    // The FFmpeg media backend of Qt 6.4 crashes without a sound device.
    if (!qEnvironmentVariableIsSet("QT_MEDIA_BACKEND")) {
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("scenova-player"));

    CLI::App cli{"Plays an interactive video lesson in a desktop window."};
    std::string lessonFolder;
    std::string actionsFile;
    std::vector<std::string> shotTexts;
    double quitAfter = 0;
    bool stats = false;
    bool fullScreen = false;
    bool captions = false;
    std::string find;
    cli.add_option("LESSON", lessonFolder, "the lesson folder to open");
    cli.add_option("--actions", actionsFile,
                   "a file of actions, one a line, carried out in real time");
    cli.add_option("--screenshot", shotTexts,
                   "SECONDS:FILE.png: a picture of the window that many seconds after the "
                   "lesson opened (repeatable)");
    auto* quitOption =
        cli.add_option("--quit-after", quitAfter, "quit that many seconds after the lesson opened")
            ->check(CLI::NonNegativeNumber);
    cli.add_flag("--stats", stats,
                 "print the start-up, signal timing, CPU and memory figures at the end");
    cli.add_flag("--full-screen", fullScreen, "start in full screen");
    cli.add_flag("--captions", captions, "start with captions over the video");
    cli.add_option("--find", find, "start with the find bar looking for this text");
    cli.footer("Keys in the player's window:\n" + scenova::player::KeyList());
    try {
        cli.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int status = cli.exit(error);
        return status == 0 ? 0 : 2;
    }

    std::vector<Shot> shots;
    for (const std::string& text : shotTexts) {
        const auto shot = ParseShot(text);
        if (!shot) {
            std::cerr << "scenova-player: --screenshot wants SECONDS:FILE, not " << text << '\n';
            return 2;
        }
        shots.push_back(*shot);
    }
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
    const bool scripted = actions || !shots.empty() || *quitOption;

    scenova::player::Player player({.rememberLessons = !scripted});
    player.onProblem = [](const std::string& text) {
        std::cerr << "scenova-player: " << text << '\n';
    };
    player.Window().show();
    if (!lessonFolder.empty() && !player.Open(lessonFolder) && scripted) {
        return 2;
    }
    if (fullScreen) {
        player.Run(scenova::player::Command::FullScreen);
    }
    if (captions) {
        player.Run(scenova::player::Command::Captions);
    }
    if (!find.empty()) {
        player.Run(scenova::player::Command::Find);
        player.Find().Field()->setText(scenova::qt::ToQString(find));
    }

    int status = 0;
    long residentKiB = 0;
    for (const Shot& shot : shots) {
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
    if (*quitOption) {
        QTimer::singleShot(static_cast<int>(std::lround(quitAfter * 1000)), &app, [&] {
            residentKiB = std::max(residentKiB, ResidentKiB());
            QApplication::quit();
        });
    }
    app.exec();
    player.Close();

    if (stats) {
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
