#pragma once

// What the window tests share: the test controls' own interface, the
// recorded trace lines, the host's frame and a message loop.

#include <ole2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace scenova::win32::testing_support {

inline const std::string kSource = SCENOVA_SOURCE_DIR;
inline const std::string kLesson = "Z:" + kSource + "/examples/market";
// The sample's video, as the headless player reads it.
constexpr double kMarketVideoSeconds = 27.75;

struct Line {
    std::string text;  // as recorded
    double time = 0;
    char direction = 0;
    std::string object;
    std::string member;
    std::string rest;  // "(...)" or " = value"
};

inline Line Parse(const std::string& text) {
    Line line;
    line.text = text;
    std::istringstream in(text);
    std::string dir;
    in >> line.time >> dir;
    line.direction = dir.empty() ? 0 : dir[0];
    const auto start = text.find(' ', text.find(' ') + 1) + 1;
    const auto dot = text.find('.', start);
    const auto end = text.find_first_of("( ", dot);
    line.object = text.substr(start, dot - start);
    line.member = text.substr(dot + 1, end - dot - 1);
    line.rest = end == std::string::npos ? "" : text.substr(end);
    return line;
}

inline bool IsControl(const std::string& object) {
    return object == "frmRose" || object == "frmRoseNavigation" || object == "frmRoseToolbar" ||
           object == "movOrvMovie" || object == "sldVideoSlider" || object == "rtfText";
}

// An event's arguments as the trace shows them, without the parentheses.
inline std::string Arguments(const Line& line) {
    return line.rest.size() >= 2 ? line.rest.substr(1, line.rest.size() - 2) : std::string();
}

inline bool IsContainerProperty(const Line& line) {
    static const std::set<std::string> kSite = {"Left",   "Top",     "Width",
                                                "Height", "Visible", "Enabled"};
    return line.rest.rfind(" = ", 0) == 0 && kSite.count(line.member) != 0;
}

// The test controls' own interface (tests/win32/fakecontrols).
struct FakeControls {
    HMODULE module = nullptr;
    int (*raise)(const char*, const char*, const char*) = nullptr;
    int (*post)(const char*, const char*, const char*) = nullptr;
    void (*advanceTo)(double) = nullptr;
    void (*setVideoDuration)(double) = nullptr;
    int (*trace)(char*, int) = nullptr;
    void (*reset)() = nullptr;
    long (*liveObjects)() = nullptr;
    void (*mode)(const char*, int) = nullptr;
    void (*releaseKeptSites)() = nullptr;
    long (*destroyedWhileFiring)() = nullptr;
    void (*refuseEvents)(const char*) = nullptr;

    template <class F>
    void Bind(F& f, const char* name) {
        f = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
        ASSERT_NE(f, nullptr) << name;
    }
    void Load() {
        module = LoadLibraryA(FAKE_CONTROLS_DLL);
        ASSERT_NE(module, nullptr) << "cannot load " << FAKE_CONTROLS_DLL;
        auto reg = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
            reinterpret_cast<void*>(GetProcAddress(module, "DllRegisterServer")));
        ASSERT_NE(reg, nullptr);
        ASSERT_EQ(reg(), S_OK) << "registering the test controls";
        Bind(raise, "FakeControls_Raise");
        Bind(post, "FakeControls_Post");
        Bind(advanceTo, "FakeControls_AdvanceTo");
        Bind(setVideoDuration, "FakeControls_SetVideoDuration");
        Bind(trace, "FakeControls_Trace");
        Bind(reset, "FakeControls_Reset");
        Bind(liveObjects, "FakeControls_LiveObjects");
        Bind(mode, "FakeControls_Mode");
        Bind(releaseKeptSites, "FakeControls_ReleaseKeptSites");
        Bind(destroyedWhileFiring, "FakeControls_DestroyedWhileFiring");
        Bind(refuseEvents, "FakeControls_RefuseEvents");
    }
    // The lesson folder as the tool was given it shows as "<lesson>".
    std::string lessonFolder;
    std::vector<std::string> Lines() const {
        const int size = trace(nullptr, 0);
        std::string text(static_cast<std::size_t>(size) + 1, '\0');
        trace(text.data(), size + 1);
        text.resize(static_cast<std::size_t>(size));
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) {
            for (auto at = lessonFolder.empty() ? std::string::npos : line.find(lessonFolder);
                 at != std::string::npos; at = line.find(lessonFolder)) {
                line.replace(at, lessonFolder.size(), "<lesson>");
            }
            if (!IsContainerProperty(Parse(line))) {
                lines.push_back(line);
            }
        }
        return lines;
    }
};

// Runs the thread's message loop until `done` or the time is up.
template <class Done>
void PumpUntil(Done done, DWORD milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    MSG message;
    while (!done()) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (done() || GetTickCount64() >= end) {
            return;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

// The host's main window with its MDI client.
struct HostFrame {
    HWND frame = nullptr;
    HWND client = nullptr;
    HostFrame() {
        WNDCLASSW cls{};
        cls.lpfnWndProc = DefWindowProcW;
        cls.hInstance = GetModuleHandleW(nullptr);
        cls.lpszClassName = L"ScenovaTestHost";
        RegisterClassW(&cls);
        frame = CreateWindowExW(0, L"ScenovaTestHost", L"Host", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600,
                                nullptr, nullptr, cls.hInstance, nullptr);
        CLIENTCREATESTRUCT create{};
        client = CreateWindowExW(0, L"MDICLIENT", nullptr, WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE,
                                 0, 0, 800, 600, frame, nullptr, cls.hInstance, &create);
    }
    ~HostFrame() { DestroyWindow(frame); }
};

// The test controls, registered and loaded once for the whole run, on a
// thread in the single-threaded apartment.
inline FakeControls& LoadedFakeControls() {
    static FakeControls fake = [] {
        CoInitialize(nullptr);
        FakeControls loaded;
        loaded.Load();
        return loaded;
    }();
    return fake;
}

// Replays a recorded story through the real window: host calls go to
// `hostCall` (the tool's host), the user's and the player's events are raised
// on the test controls where the story has them, and every line the controls
// see must be the recorded one. Check HasFatalFailure() afterwards.
inline void ReplayStory(FakeControls& fake, const std::vector<Line>& story, const HostFrame& host,
                        const std::function<void(const Line&)>& hostCall) {
    std::size_t matched = 0;
    const auto expectNext = [&](const Line& line) {
        std::vector<std::string> seen = fake.Lines();
        if (matched >= seen.size()) {
            // Work of a timer: let the message loop run until it comes.
            PumpUntil([&] { return fake.Lines().size() > matched; }, 10000);
            seen = fake.Lines();
        }
        ASSERT_LT(matched, seen.size()) << "the controls never saw: " << line.text;
        if (seen[matched] != line.text) {
            std::string context;
            for (std::size_t i = matched >= 5 ? matched - 5 : 0; i < seen.size() && i < matched + 5;
                 ++i) {
                context += "  " + seen[i] + "\n";
            }
            FAIL() << "control line " << matched << " is\n  " << seen[matched]
                   << "\nwhere the story has\n  " << line.text << "\nthe controls saw\n"
                   << context;
        }
        ++matched;
    };

    std::size_t posted = 0;
    for (std::size_t index = 0; index < story.size(); ++index) {
        const Line& line = story[index];
        fake.advanceTo(line.time);
        if (line.object == "tool") {
            hostCall(line);
            if (::testing::Test::HasFatalFailure()) {
                return;
            }
            PumpUntil([] { return false; }, 0);
            continue;
        }
        if (line.object == "frmScenova" && line.member == "LostFocus") {
            // The user clicks into the window, then into the host's frame.
            const HWND window = FindWindowExW(host.client, nullptr, L"ScenovaWindow", nullptr);
            SetFocus(window);
            SetFocus(host.frame);
            continue;
        }
        if (!IsControl(line.object) || IsContainerProperty(line)) {
            continue;
        }
        if (line.direction == '<' && fake.Lines().size() == matched) {
            if (line.object != "movOrvMovie") {
                // The user: input reaches the control at once.
                ASSERT_EQ(
                    fake.raise(line.object.c_str(), line.member.c_str(), Arguments(line).c_str()),
                    1)
                    << "could not raise " << line.text;
            } else if (index > posted) {
                // The player: its events of this moment are queued together,
                // so a later one can arrive inside a handler of an earlier one
                // that lets messages through.
                for (std::size_t j = index; j < story.size() && story[j].time == line.time; ++j) {
                    const Line& next = story[j];
                    if (next.direction == '<' && next.object == "movOrvMovie") {
                        ASSERT_EQ(fake.post(next.object.c_str(), next.member.c_str(),
                                            Arguments(next).c_str()),
                                  1)
                            << "could not post " << next.text;
                        posted = j;
                    } else if (next.direction == '<' && next.member != "Change" &&
                               (IsControl(next.object) || next.object == "tool")) {
                        break;  // the user or the host acts next (a Change follows a call)
                    }
                }
            }
        }
        expectNext(line);
        if (::testing::Test::HasFatalFailure()) {
            return;
        }
    }
    EXPECT_EQ(fake.Lines().size(), matched) << "the controls saw more than the recorded story";
}

// A recorded story of the sample lesson (tests/golden/NAME.trace).
inline std::vector<Line> LoadStory(const std::string& name) {
    std::vector<Line> story;
    std::ifstream in(kSource + "/tests/golden/" + name + ".trace");
    EXPECT_TRUE(in) << name;
    for (std::string text; std::getline(in, text);) {
        story.push_back(Parse(text));
    }
    return story;
}

}  // namespace scenova::win32::testing_support
