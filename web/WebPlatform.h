#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "model/Desktop.h"
#include "model/MemoryGdi.h"
#include "model/Toolkit.h"
#include "model/Window.h"
#include "platform/Platform.h"
#include "web/Controls.h"

namespace scenova::web {

using WebWindow = model::Window<Form, Timer, ButtonBar, Video, Slider, RichText>;

// The window toolkit of the page: the form's controls in the order they lie
// on it (the main bar at the back, as the window's backdrop).
class Toolkit final : public model::Toolkit {
public:
    Toolkit(Context& ctx, model::Desktop& desktop, model::MemoryGdi& gdi)
        : model::Toolkit(ctx), m_web(ctx), m_desktop(desktop), m_gdi(gdi) {}

    PresentationWindow LoadPresentationWindow(FormEvents events) override;
    // Runs the messages pending now; the page's own events wait for the
    // component to return, as nothing on a page can run inside a call.
    void DoEvents() override { m_web.RunPosted(); }

    // The window loaded last; empty before the first.
    const WebWindow& Window() const;
    // The file a picture the toolkit loaded came from, "" for another.
    std::string FileOf(const Picture& picture) const;

private:
    Picture ReadPicture(const std::string& path) override;

    Context& m_web;
    model::Desktop& m_desktop;
    model::MemoryGdi& m_gdi;
    // Every window loaded stays here, so that a control whose event unloads
    // its window is not destroyed while it is still raising it.
    std::vector<WebWindow> m_windows;
    // Pictures loaded, not kept alive by this.
    std::vector<std::pair<std::weak_ptr<IPicture>, std::string>> m_files;
};

// Cursors as CSS gives them: the system ones by keyword, cursor files of
// the lesson by their address on the site.
class User32 final : public model::User32 {
public:
    User32(Context& ctx, model::Desktop& desktop) : model::User32(ctx, desktop) {}

    int32_t LoadCursorA(int32_t hInstance, int32_t cursorId) override;
    int32_t LoadCursorFromFileA(const std::string& path) override;
    int32_t SetCursor(int32_t hCursor) override;

private:
    int32_t NewCursor(std::string css);

    std::map<int32_t, std::string> m_cursors;  // handle -> CSS
    int32_t m_nextCursor = 0x10001;
    int32_t m_current = 0;
};

// The application's pointer over the whole page: the hourglass (11), or the
// lesson's own (99) when its picture came from a file the page can show.
class Screen final : public IScreen {
public:
    // The lesson file a picture was read from, "" when none.
    explicit Screen(std::function<std::string(const Picture&)> fileOf)
        : m_fileOf(std::move(fileOf)) {}

    float TwipsPerPixelX() const override { return kTwipsPerPixel; }
    float TwipsPerPixelY() const override { return kTwipsPerPixel; }
    void MouseIcon(const Picture& picture) override;
    void MousePointer(int16_t pointer) override;

private:
    void Show();

    std::function<std::string(const Picture&)> m_fileOf;
    std::string m_iconFile;
    std::pair<int32_t, int32_t> m_hotspot;
    int16_t m_pointer = 0;
};

// The browser platform: a desktop with the host page's main window and its
// "MDIClient", where the component embeds its window.
class WebPlatform final : public Platform {
public:
    WebPlatform();

    IUser32& user32() override { return m_user32; }
    IGdi32& gdi32() override { return m_gdi; }
    IOlePro32& olepro32() override { return m_gdi; }
    IScreen& screen() override { return m_screen; }
    IToolkit& toolkit() override { return m_toolkit; }

    Context& Ctx() { return m_ctx; }
    const WebWindow& Window() const { return m_toolkit.Window(); }
    int32_t HostMainWindow() const { return m_hostMainWindow; }

private:
    Context m_ctx;
    model::Desktop m_desktop;
    User32 m_user32;
    model::MemoryGdi m_gdi;
    Screen m_screen;
    Toolkit m_toolkit;
    int32_t m_hostMainWindow;
};

}  // namespace scenova::web
