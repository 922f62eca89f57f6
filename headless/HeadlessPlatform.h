#pragma once

#include <cstdint>
#include <optional>

#include "headless/Context.h"
#include "headless/Desktop.h"
#include "headless/EventLoop.h"
#include "headless/Gdi.h"
#include "headless/Screen.h"
#include "headless/Toolkit.h"
#include "headless/Trace.h"
#include "headless/User32.h"
#include "platform/Platform.h"

namespace scenova::headless {

// The complete headless platform: a desktop with a host main window that has
// an "MDIClient" child, a screen of 15 twips per pixel, a virtual clock with
// its message loop, and the trace of everything the component does.
//
// The screen's twips per pixel can be set per axis, and the presentation
// window's own conversion apart from the screen's (as on a monitor of another
// resolution), so that a mix-up of axes or of conversions shows.
class HeadlessPlatform final : public Platform {
public:
    explicit HeadlessPlatform(TwipsPerPixel screen = {},
                              std::optional<TwipsPerPixel> window = std::nullopt);

    IUser32& user32() override { return m_user32; }
    IGdi32& gdi32() override { return m_gdi; }
    IOlePro32& olepro32() override { return m_gdi; }
    IScreen& screen() override { return m_screen; }
    IToolkit& toolkit() override { return m_toolkit; }

    EventLoop& Loop() { return m_loop; }
    Trace& GetTrace() { return m_trace; }
    Context& Ctx() { return m_ctx; }
    Desktop& GetDesktop() { return m_desktop; }
    User32& HeadlessUser32() { return m_user32; }
    Gdi& HeadlessGdi() { return m_gdi; }
    Screen& HeadlessScreen() { return m_screen; }
    Toolkit& HeadlessToolkit() { return m_toolkit; }
    // The presentation window loaded last.
    const HeadlessWindow& Window() const { return m_toolkit.Window(); }

    int32_t HostMainWindow() const { return m_hostMainWindow; }
    int32_t MdiClient() const { return m_mdiClient; }

    // The host's message loop: lets time pass, delivering what falls due.
    void RunFor(double seconds) { m_loop.AdvanceBy(Seconds(seconds)); }
    void ProcessPending() { m_loop.ProcessPending(); }

private:
    EventLoop m_loop;
    Trace m_trace;
    Context m_ctx;
    Desktop m_desktop;
    User32 m_user32;
    Gdi m_gdi;
    Screen m_screen;
    Toolkit m_toolkit;
    int32_t m_hostMainWindow;
    int32_t m_mdiClient;
};

}  // namespace scenova::headless
