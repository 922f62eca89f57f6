// The Windows platform layer on its own: the presentation window and its
// control sites on real windows, the hosted controls' failures and events,
// and the toolkit's files, pictures, timer and cursors.

#include <gtest/gtest.h>
#include <ole2.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "runtime/RuntimeError.h"
#include "tests/win32/window/WindowTestSupport.h"
#include "win32/Win32Platform.h"
#include "win32/window/EventErrors.h"
#include "win32/window/Screen.h"
#include "win32/window/Timer.h"
#include "win32/window/Toolkit.h"

namespace scenova::win32 {
namespace {

using namespace testing_support;

HWND WindowOf(int32_t handle) {
    return reinterpret_cast<HWND>(static_cast<intptr_t>(handle));
}

RECT RectInParent(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::vector<LONG> Edges(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

// The run-time error a call ends with (0: none) and its text.
std::pair<int32_t, std::string> ErrorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const RuntimeError& error) {
        return {error.number(), error.what()};
    }
    return {0, ""};
}
int32_t ErrorNumberOf(const std::function<void()>& call) {
    return ErrorOf(call).first;
}

class Win32Window : public testing::Test {
protected:
    void SetUp() override {
        fake.reset();
        EventErrors().clear();
    }
    FakeControls& fake = LoadedFakeControls();
    Platform& platform = ProcessPlatform();
};

TEST_F(Win32Window, PlacesWindowAndControlsInScreenPixelsAndClosesEverythingOnUnload) {
    bool lostFocus = false;
    FormEvents events;
    events.LostFocus = [&] { lostFocus = true; };
    PresentationWindow w = platform.toolkit().LoadPresentationWindow(std::move(events));
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    const float twips = platform.screen().TwipsPerPixelX();
    EXPECT_FLOAT_EQ(twips, 1440.0f / static_cast<float>(dpi));

    const HWND form = WindowOf(w.form->hWnd());
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(form, GWL_STYLE)) & 0x02CF0000u, 0x02CF0000u);
    w.form->Move(10 * twips, 20 * twips, 320 * twips, 240 * twips);
    RECT rect{};
    GetWindowRect(form, &rect);
    EXPECT_EQ(Edges(rect), (std::vector<LONG>{10, 20, 330, 260}));
    EXPECT_FLOAT_EQ(w.form->Width(), 320 * twips);
    w.form->Visible(true);
    EXPECT_TRUE(IsWindowVisible(form));
    SetFocus(form);
    w.form->Enabled(false);  // takes the focus, but the user went nowhere
    EXPECT_FALSE(IsWindowEnabled(form));
    EXPECT_FALSE(lostFocus);

    // The container's properties move, hide and disable the control's window.
    const HWND text = WindowOf(w.rtfText->hWnd());
    EXPECT_EQ(GetParent(text), form);
    w.rtfText->Left(100 * twips);
    w.rtfText->Top(50 * twips);
    w.rtfText->Width(260 * twips);
    w.rtfText->Height(128 * twips);
    EXPECT_EQ(Edges(RectInParent(text)), (std::vector<LONG>{100, 50, 360, 178}));
    EXPECT_FLOAT_EQ(w.rtfText->Top(), 50 * twips);
    w.rtfText->Visible(false);
    EXPECT_FALSE(IsWindowVisible(text));
    w.sldVideoSlider->Enabled(false);
    EXPECT_FALSE(w.sldVideoSlider->Enabled());

    w.form->Unload();
    EXPECT_FALSE(IsWindow(form));
    EXPECT_FALSE(IsWindow(text));
    // A control of an unloaded window is no object any more.
    EXPECT_EQ(ErrorNumberOf([&] { w.frmRose->RefreshBar(); }), err::NoObject);
    w = {};
    EXPECT_EQ(fake.liveObjects(), 0);
}

// A move from outside (the user dragging or sizing the window, the host
// arranging its MDI children) is what the position properties read, in the
// pixels of the window's parent; what it left alone reads as set.
TEST_F(Win32Window, PositionPropertiesReadTheWindowMovedFromOutside) {
    PresentationWindow w = platform.toolkit().LoadPresentationWindow({});
    const float x = platform.screen().TwipsPerPixelX();
    const float y = platform.screen().TwipsPerPixelY();
    const auto place = [&] {
        return std::vector<float>{w.form->Left(), w.form->Top(), w.form->Width(), w.form->Height()};
    };
    const HWND form = WindowOf(w.form->hWnd());
    MoveWindow(form, 40, 30, 200, 150, TRUE);
    EXPECT_EQ(place(), (std::vector<float>{40 * x, 30 * y, 200 * x, 150 * y}));

    // Values between pixels, and a negative height (no height, which the
    // window shows as its least), stay as set while the window keeps them.
    w.form->Move(100 * x + 3, 50 * y, 300 * x + 4, -60);
    RECT rect = RectInParent(form);
    MoveWindow(form, rect.left, 80, rect.right - rect.left, rect.bottom - rect.top, TRUE);
    EXPECT_EQ(place(), (std::vector<float>{100 * x + 3, 80 * y, 300 * x + 4, -60}));

    // An MDI child, as the tool makes it: its place in the client, not on
    // the screen.
    const HostFrame host;
    SetParent(form, host.client);
    SetWindowLongW(form, GWL_STYLE, GetWindowLongW(form, GWL_STYLE) | WS_CHILD);
    MoveWindow(form, 10, 20, 120, 90, TRUE);
    EXPECT_EQ(place(), (std::vector<float>{10 * x, 20 * y, 120 * x, 90 * y}));
    w.form->Top(60 * y);
    EXPECT_EQ(Edges(RectInParent(form)), (std::vector<LONG>{10, 60, 130, 150}));
    w.form->Unload();
}

TEST_F(Win32Window, ControlFailuresAndHandlerErrorsStayWhereTheyBelong) {
    PresentationWindow w = platform.toolkit().LoadPresentationWindow({});
    // The control's own run-time error arrives with its number and the call.
    const auto [number, text] = ErrorOf([&] { w.rtfText->AddLink(5, 1, 1, 0); });
    EXPECT_EQ(number, err::SubscriptOutOfRange);
    EXPECT_NE(text.find("rtfText.AddLink"), std::string::npos) << text;
    // By-reference arguments come back; a by-value one keeps the control's
    // changes to itself.
    std::string times = "0.5,5.1";
    w.movOrvMovie->SetSignalTimes(times);
    EXPECT_EQ(times, "0.5,5.1");
    int32_t x = 4;
    int32_t y = 6;
    std::string caption = "Transcript";
    w.frmRose->AddLabel(x, y, caption);
    EXPECT_EQ(fake.Lines().back(), "0.000 > frmRose.AddLabel(4, 6, \"Transcript\")");

    // A failing handler ends itself only: the next event is delivered.
    int presses = 0;
    controls::ButtonBarEvents bar;
    bar.ButtonPress = [&](const std::string& name, const std::string&) {
        ++presses;
        if (name == "btnVideoPlay") {
            Raise(err::TypeMismatch);
        }
    };
    w.frmRose->Advise(std::move(bar));
    w.frmRose->AddButton("btnVideoPlay", "109,play.bmp,52,352");
    w.frmRose->AddButton("btnVideoStop", "109,stop.bmp,84,352");
    EXPECT_EQ(fake.raise("frmRose", "ButtonPress", "\"btnVideoPlay\""), 1);
    EXPECT_EQ(fake.raise("frmRose", "ButtonPress", "\"btnVideoStop\""), 1);
    EXPECT_EQ(presses, 2);
    ASSERT_EQ(EventErrors().size(), 1u);
    EXPECT_EQ(EventErrors()[0].rfind("frmRose.ButtonPress: ", 0), 0u) << EventErrors()[0];

    // Events of the right kind of control only, by name: the slider's Change
    // during an assignment, before it returns.
    int changes = 0;
    controls::SliderEvents slider;
    slider.Change = [&] { ++changes; };
    w.sldVideoSlider->Advise(std::move(slider));
    w.sldVideoSlider->Max(8);
    w.sldVideoSlider->Value(3);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(w.sldVideoSlider->Value(), 3);

    // A call whose event unloads the window, freeing the control's site and
    // dispatcher, and which then fails, still says which call it was.
    controls::ISlider& gone = *w.sldVideoSlider;
    slider.Change = [&] {
        w.form->Unload();
        w = {};
    };
    w.sldVideoSlider->Advise(std::move(slider));
    fake.mode("fail-after-events", 1);
    const auto [failed, what] = ErrorOf([&] { gone.Value(4); });
    EXPECT_NE(failed, 0) << "the failing assignment succeeded";
    EXPECT_NE(what.find("sldVideoSlider.Value"), std::string::npos) << what;
    fake.mode("fail-after-events", 0);
    // The control, released inside its own event, goes once the loop runs.
    PumpUntil([&] { return fake.liveObjects() == 0; }, 1000);
    EXPECT_EQ(fake.liveObjects(), 0);
}

TEST_F(Win32Window, AControlThatCannotBeCreatedIsNamed) {
    const Screen screen;
    Toolkit toolkit(screen, [](std::wstring_view role) {
        return role == L"AVSlider" ? std::wstring(L"No.Such.Slider")
                                   : std::wstring(L"Rose.RoseBar.1");
    });
    const auto [number, text] = ErrorOf([&] { toolkit.LoadPresentationWindow({}); });
    EXPECT_EQ(number, 429);
    EXPECT_NE(text.find("sldVideoSlider"), std::string::npos) << text;
    EXPECT_NE(text.find("No.Such.Slider"), std::string::npos) << text;
    EXPECT_EQ(fake.liveObjects(), 0);
    EXPECT_EQ(FindWindowW(L"ScenovaWindow", nullptr), nullptr);
}

TEST(Win32Toolkit, FilesPicturesTimerAndCursors) {
    Platform& platform = ProcessPlatform();
    IToolkit& toolkit = platform.toolkit();
    const std::string media = kLesson + "/media/";
    EXPECT_TRUE(toolkit.FindOrdinaryFile(media + "play.bmp"));
    EXPECT_TRUE(toolkit.FindOrdinaryFile(media + "*.bmp"));
    EXPECT_FALSE(toolkit.FindOrdinaryFile(kLesson + "/media"));  // a folder
    EXPECT_FALSE(toolkit.FindOrdinaryFile(media + "missing.bmp"));
    EXPECT_FALSE(toolkit.FindOrdinaryFile(""));
    // A wildcard is found when any match is an ordinary file, whatever
    // matches first: "." for "*", a folder, a hidden file.
    const std::filesystem::path root =
        std::filesystem::temp_directory_path() / ("lookup" + std::to_string(GetCurrentProcessId()));
    for (const char* folder : {"files", "folders/a", "folders/b", "hidden"}) {
        std::filesystem::create_directories(root / folder);
    }
    for (const char* file : {"files/b.txt", "hidden/.a.txt", "hidden/b.txt"}) {
        std::ofstream(root / file) << "x";
    }
    ASSERT_TRUE(SetFileAttributesW((root / "hidden/.a.txt").c_str(), FILE_ATTRIBUTE_HIDDEN));
    const struct {
        const char* pattern;
        bool found;
    } rows[] = {{"files/*", true},      {"files/*.*", true},   {"folders/*", false},
                {"hidden/*.txt", true}, {"hidden/.a*", false}, {"hidden/?.txt", true}};
    for (const auto& row : rows) {
        EXPECT_EQ(toolkit.FindOrdinaryFile((root / row.pattern).string()), row.found)
            << row.pattern;
    }
    std::filesystem::remove_all(root);

    const Picture backdrop = toolkit.LoadPicture(media + "backdrop.png");
    ASSERT_TRUE(backdrop);
    EXPECT_EQ(backdrop->Width(), 640);
    EXPECT_EQ(backdrop->Height(), 480);
    EXPECT_NE(backdrop->Handle(), 0);
    EXPECT_EQ(ErrorNumberOf([&] { toolkit.LoadPicture(media + "missing.png"); }),
              err::FileNotFound);
    EXPECT_EQ(ErrorNumberOf([&] { toolkit.LoadPicture(kLesson + "/script.txt"); }),
              err::InvalidPicture);

    // The timer is its window's: a host's modal loop that fetches only that
    // window's messages delivers it.
    const HostFrame host;
    Timer timer("ExitTimer", host.frame);
    EXPECT_EQ(ErrorNumberOf([&] { timer.Interval(-1); }), err::InvalidPropertyValue);
    int ticks = 0;
    timer.Advise({.Timer = [&] {
        ++ticks;
        timer.Enabled(false);
    }});
    timer.Interval(10);
    timer.Enabled(true);
    MSG message;
    for (const ULONGLONG end = GetTickCount64() + 3000; ticks == 0 && GetTickCount64() < end;) {
        if (PeekMessageW(&message, host.frame, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        } else {
            Sleep(1);
        }
    }
    EXPECT_EQ(ticks, 1);

    IUser32& user32 = platform.user32();
    const int32_t arrow = user32.LoadCursorA(0, 32512);
    EXPECT_NE(arrow, 0);
    EXPECT_EQ(user32.LoadCursorA(0, 32512 + 0x10000), 0);  // not truncated to IDC_ARROW
    EXPECT_NE(user32.LoadCursorFromFileA(kLesson + "/resources/link.cur"), 0);
    EXPECT_EQ(user32.LoadCursorFromFileA(kLesson + "/script.txt"), 0);
    user32.SetCursor(arrow);
    EXPECT_EQ(user32.SetCursor(0), arrow);
}

}  // namespace
}  // namespace scenova::win32
