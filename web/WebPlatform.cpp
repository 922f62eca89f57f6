#include "web/WebPlatform.h"

#include <utility>

#include "formats/PictureFile.h"
#include "platform/Win32Constants.h"

namespace scenova::web {

namespace {

// A lesson file's path below the page's; the page puts the address the
// site gives the file in its place.
std::string Address(const std::string& path) {
    return path.starts_with('/') ? path.substr(1) : path;
}

// A cursor file of the lesson as CSS, its hot spot at x, y.
std::string CursorCss(const std::string& path, int32_t x, int32_t y) {
    std::string quoted;
    for (const char c : Address(path)) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
        }
        quoted += c;
    }
    return "url(\"" + quoted + "\") " + std::to_string(x) + " " + std::to_string(y) + ", auto";
}

}  // namespace

PresentationWindow Toolkit::LoadPresentationWindow(FormEvents events) {
    WebWindow w;
    w.form = std::make_shared<Form>(m_web, m_desktop, std::move(events));
    const int32_t textWindow =
        m_desktop.Create("TranscriptText", "", w.form->hWnd(), model::style::Child, 0);
    w.ExitTimer = std::make_shared<Timer>(m_web, objects::ExitTimer);
    w.frmRose = std::make_shared<ButtonBar>(m_web, objects::frmRose, true);
    w.movOrvMovie = std::make_shared<Video>(m_web, objects::movOrvMovie);
    w.sldVideoSlider = std::make_shared<Slider>(m_web, objects::sldVideoSlider);
    w.rtfText = std::make_shared<RichText>(m_web, objects::rtfText, textWindow);
    w.frmRoseNavigation = std::make_shared<ButtonBar>(m_web, objects::frmRoseNavigation, false);
    w.frmRoseToolbar = std::make_shared<ButtonBar>(m_web, objects::frmRoseToolbar, false);
    w.Wire();
    m_windows.push_back(w);
    w.form->RaiseLoad();
    return w.Presentation();
}

Picture Toolkit::ReadPicture(const std::string& path) {
    Picture picture = m_gdi.LoadPictureFile(path);
    std::erase_if(m_files, [](const auto& file) { return file.first.expired(); });
    m_files.emplace_back(picture, path);
    return picture;
}

std::string Toolkit::FileOf(const Picture& picture) const {
    for (const auto& [loaded, path] : m_files) {
        if (loaded.lock() == picture) {
            return path;
        }
    }
    return "";
}

const WebWindow& Toolkit::Window() const {
    static const WebWindow none;
    return m_windows.empty() ? none : m_windows.back();
}

int32_t User32::NewCursor(std::string css) {
    const int32_t handle = m_nextCursor++;
    m_cursors.emplace(handle, std::move(css));
    return handle;
}

int32_t User32::LoadCursorA(int32_t hInstance, int32_t cursorId) {
    m_ctx.Call("user32", model::Member::LoadCursorA, hInstance, cursorId);
    static const std::map<int32_t, const char*> kSystem{{win::IDC_ARROW, "default"},
                                                        {win::IDC_WAIT, "wait"},
                                                        {32513, "text"},
                                                        {32515, "crosshair"},
                                                        {32516, "n-resize"},
                                                        {32640, "nwse-resize"},
                                                        {32641, "nesw-resize"},
                                                        {32642, "nwse-resize"},
                                                        {32643, "nesw-resize"},
                                                        {32644, "ew-resize"},
                                                        {32645, "ns-resize"},
                                                        {32646, "move"},
                                                        {32648, "not-allowed"},
                                                        {32649, "pointer"},
                                                        {32650, "progress"},
                                                        {32651, "help"}};
    const auto system = kSystem.find(cursorId);
    if (hInstance != 0 || system == kSystem.end()) {
        return 0;
    }
    return SharedCursor(cursorId, [&] { return NewCursor(system->second); });
}

int32_t User32::LoadCursorFromFileA(const std::string& path) {
    m_ctx.Call("user32", model::Member::LoadCursorFromFileA, path);
    if (!formats::LooksLikeCursorFile(path)) {
        return 0;
    }
    // The hot spot as the file has it; the browser reads the picture.
    int32_t x = 0;
    int32_t y = 0;
    try {
        const formats::DecodedCursor cursor = formats::ReadCursorFile(path);
        x = cursor.hotspotX;
        y = cursor.hotspotY;
    } catch (const RuntimeError&) {
        return 0;
    }
    return NewCursor(CursorCss(path, x, y));
}

int32_t User32::SetCursor(int32_t hCursor) {
    m_ctx.Call("user32", model::Member::SetCursor, hCursor);
    const auto cursor = m_cursors.find(hCursor);
    if (hCursor != 0 && cursor == m_cursors.end()) {
        return 0;
    }
    view::Cursor(hCursor == 0 ? "none" : cursor->second);
    return std::exchange(m_current, hCursor);
}

void Screen::MouseIcon(const Picture& picture) {
    m_iconFile = picture ? m_fileOf(picture) : std::string();
    m_hotspot = {0, 0};
    if (formats::LooksLikeCursorFile(m_iconFile)) {
        try {
            const formats::DecodedCursor cursor = formats::ReadCursorFile(m_iconFile);
            m_hotspot = {cursor.hotspotX, cursor.hotspotY};
        } catch (const RuntimeError&) {
            // shown from its corner
        }
    }
    Show();
}

void Screen::MousePointer(int16_t pointer) {
    m_pointer = pointer;
    Show();
}

void Screen::Show() {
    if (m_pointer == 11) {
        view::PageCursor("wait");
    } else if (m_pointer == mouse_pointer::Custom && !m_iconFile.empty()) {
        view::PageCursor(CursorCss(m_iconFile, m_hotspot.first, m_hotspot.second));
    } else {
        view::PageCursor("");
    }
}

WebPlatform::WebPlatform()
    : m_user32(m_ctx, m_desktop),
      m_gdi(m_ctx),
      m_screen([this](const Picture& picture) { return m_toolkit.FileOf(picture); }),
      m_toolkit(m_ctx, m_desktop, m_gdi),
      m_hostMainWindow(m_desktop.Create("HostFrame", "Host", 0, model::style::HostFrame,
                                        model::style::HostFrameEx)) {
    m_desktop.Create("MDIClient", "", m_hostMainWindow, model::style::MdiClient,
                     model::style::MdiClientEx);
}

}  // namespace scenova::web
