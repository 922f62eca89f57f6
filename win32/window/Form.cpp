#include "win32/window/Form.h"

#include <olectl.h>

#include <cmath>
#include <utility>

#include "runtime/RuntimeError.h"
#include "win32/window/EventErrors.h"
#include "win32/window/PictureDispatch.h"
#include "win32/window/Screen.h"
#include "win32/window/Text.h"

namespace scenova::win32 {

namespace {

constexpr wchar_t kClassName[] = L"ScenovaWindow";
constexpr int kDesignWidth = 640;
constexpr int kDesignHeight = 480;

HINSTANCE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

// The class lives while a window of it does: a component that is unloaded
// must not leave a class whose procedure is gone.
int g_liveWindows = 0;

void RegisterWindowClass(WNDPROC procedure) {
    if (g_liveWindows++ > 0) {
        return;
    }
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof cls;
    cls.style = CS_DBLCLKS;
    cls.lpfnWndProc = procedure;
    cls.hInstance = ThisModule();
    cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    cls.lpszClassName = kClassName;
    if (RegisterClassExW(&cls) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        --g_liveWindows;
        Raise(err::OutOfMemory, "cannot register the window class of the presentation window");
    }
}

void ReleaseWindowClass() {
    if (--g_liveWindows == 0) {
        UnregisterClassW(kClassName, ThisModule());
    }
}

// A window's place in pixels of its parent's client area (of the screen for
// a top-level window), as MoveWindow takes it.
RECT PlaceInParent(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(HWND_DESKTOP, GetAncestor(window, GA_PARENT), reinterpret_cast<POINT*>(&rect),
                    2);
    return rect;
}

int Round(float value) {
    if (!std::isfinite(value) || std::fabs(value) > 1e9f) {
        Raise(err::Overflow);
    }
    return static_cast<int>(std::lround(value));
}

// A colour value, or a system colour (high bit set, index in the low byte).
COLORREF ToColorRef(int32_t colour) {
    const auto value = static_cast<uint32_t>(colour);
    if ((value & 0x80000000u) != 0) {
        return GetSysColor(static_cast<int>(value & 0xFFu));
    }
    return value & 0x00FFFFFFu;
}

}  // namespace

Form::Form(const Screen& screen, std::string name, const std::string& caption, FormEvents events)
    : m_screen(screen),
      m_name(std::move(name)),
      m_events(std::move(events)),
      m_width(kDesignWidth * screen.TwipsPerPixelX()),
      m_height(kDesignHeight * screen.TwipsPerPixelY()) {
    RegisterWindowClass(&Form::WindowProc);
    const std::wstring title = Widen(caption);
    m_hWnd = CreateWindowExW(kExStyle, kClassName, title.c_str(), kStyle, 0, 0, kDesignWidth,
                             kDesignHeight, nullptr, nullptr, ThisModule(), this);
    if (m_hWnd == nullptr) {
        const DWORD error = GetLastError();
        ReleaseWindowClass();
        Raise(err::OutOfMemory,
              "cannot create the presentation window (system error " + std::to_string(error) + ")");
    }
    m_place = PlaceInParent(m_hWnd);
}

Form::~Form() {
    Unload();
}

int32_t Form::hWnd() const {
    return FromHandle(m_hWnd);
}

void Form::Move(float left, float top, float width, float height) {
    const int x = Round(TwipsToPixelsX(left));
    const int y = Round(TwipsToPixelsY(top));
    const int cx = Round(TwipsToPixelsX(width));
    const int cy = Round(TwipsToPixelsY(height));
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
    if (m_hWnd != nullptr) {
        // A negative size is kept as set and shown as none, as the system
        // itself treats it. What the window makes of the place (a least
        // size of its own) leaves the values as set.
        const bool outer = std::exchange(m_ownMove, true);
        MoveWindow(m_hWnd, x, y, cx < 0 ? 0 : cx, cy < 0 ? 0 : cy, TRUE);
        m_ownMove = outer;
    }
}

void Form::FollowWindow() {
    if (IsIconic(m_hWnd)) {
        return;  // a minimised window keeps the place it is restored to
    }
    const RECT now = PlaceInParent(m_hWnd);
    const RECT before = std::exchange(m_place, now);
    if (m_ownMove) {
        return;
    }
    // Only what changed: a value set through the tool that the window took
    // reads back as set, not rounded to whole pixels.
    const auto width = [](const RECT& r) { return static_cast<float>(r.right - r.left); };
    const auto height = [](const RECT& r) { return static_cast<float>(r.bottom - r.top); };
    if (now.left != before.left) {
        m_left = PixelsToTwipsX(static_cast<float>(now.left));
    }
    if (now.top != before.top) {
        m_top = PixelsToTwipsY(static_cast<float>(now.top));
    }
    if (width(now) != width(before)) {
        m_width = PixelsToTwipsX(width(now));
    }
    if (height(now) != height(before)) {
        m_height = PixelsToTwipsY(height(now));
    }
}

bool Form::Visible() const {
    return m_hWnd != nullptr && IsWindowVisible(m_hWnd) != FALSE;
}

void Form::Visible(bool value) {
    if (m_hWnd != nullptr) {
        m_ownFocusChange = !value;
        ShowWindow(m_hWnd, value ? SW_SHOW : SW_HIDE);
        m_ownFocusChange = false;
    }
}

bool Form::Enabled() const {
    return m_hWnd != nullptr && IsWindowEnabled(m_hWnd) != FALSE;
}

void Form::Enabled(bool value) {
    if (m_hWnd != nullptr) {
        m_ownFocusChange = !value;
        EnableWindow(m_hWnd, value ? TRUE : FALSE);
        m_ownFocusChange = false;
    }
}

void Form::SetPicture(const Picture& picture) {
    m_picture = picture;
    if (m_hWnd != nullptr) {
        InvalidateRect(m_hWnd, nullptr, TRUE);
    }
}

void Form::BackColor(int32_t colour) {
    m_backColor = colour;
    if (m_hWnd != nullptr) {
        InvalidateRect(m_hWnd, nullptr, TRUE);
    }
}

float Form::PixelsToTwipsX(float pixels) const {
    return pixels * m_screen.TwipsPerPixelX();
}
float Form::PixelsToTwipsY(float pixels) const {
    return pixels * m_screen.TwipsPerPixelY();
}
float Form::TwipsToPixelsX(float twips) const {
    return twips / m_screen.TwipsPerPixelX();
}
float Form::TwipsToPixelsY(float twips) const {
    return twips / m_screen.TwipsPerPixelY();
}

void Form::Unload() {
    if (m_hWnd == nullptr) {
        return;
    }
    if (m_onUnload) {
        std::exchange(m_onUnload, nullptr)();
    }
    const HWND window = std::exchange(m_hWnd, nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);  // no events from a window that unloads
    DestroyWindow(window);
    ReleaseWindowClass();
    m_picture.reset();
}

void Form::RaiseLoad() {
    if (m_events.Load) {
        RunHandler(m_name + ".Load", m_events.Load);
    }
}

void Form::Paint(HDC dc) const {
    RECT client{};
    GetClientRect(m_hWnd, &client);
    HBRUSH brush = CreateSolidBrush(ToColorRef(m_backColor));
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    const ComPtr<::IPicture> picture = NewOlePicture(m_picture);
    if (!picture) {
        return;
    }
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    picture->get_Width(&width);
    picture->get_Height(&height);
    // Drawn at its own pixel size from the top left, as the toolkit shows a
    // form's picture (HIMETRIC runs bottom-up, hence the negative height).
    picture->Render(dc, 0, 0, m_picture->Width(), m_picture->Height(), 0, height, width, -height,
                    nullptr);
}

LRESULT CALLBACK Form::WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* form = reinterpret_cast<Form*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    if (form == nullptr || form->m_hWnd != hWnd) {
        return DefWindowProcW(hWnd, message, wParam, lParam);
    }
    return form->Handle(message, wParam, lParam);
}

LRESULT Form::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND window = m_hWnd;
    switch (message) {
        case WM_ERASEBKGND:
            Paint(reinterpret_cast<HDC>(wParam));
            return 1;
        case WM_SETCURSOR:
            // The application-wide pointer wins over every window's own,
            // also over the controls', whose requests come here first.
            if (HCURSOR cursor = m_screen.ApplicationCursor()) {
                SetCursor(cursor);
                return TRUE;
            }
            break;
        case WM_KILLFOCUS: {
            // The user went to another window. Hiding or disabling the
            // window also takes the focus away, but that is the component's
            // own doing, and so is the focus leaving a window that unloads.
            const HWND next = reinterpret_cast<HWND>(wParam);
            const bool elsewhere = next == nullptr || (next != m_hWnd && !IsChild(m_hWnd, next));
            if (elsewhere && !m_ownFocusChange && IsWindowEnabled(m_hWnd)) {
                if (m_events.LostFocus) {
                    RunHandler(m_name + ".LostFocus", m_events.LostFocus);
                }
            }
            break;
        }
        case WM_WINDOWPOSCHANGED:
            FollowWindow();
            break;  // the system's own handling sends WM_SIZE and WM_MOVE
        case WM_NCDESTROY:
            // Destroyed from outside (the host's MDI client went away): the
            // window is gone, its controls are closed as by Unload.
            if (m_onUnload) {
                std::exchange(m_onUnload, nullptr)();
            }
            m_hWnd = nullptr;
            ReleaseWindowClass();
            break;
        case WM_CLOSE:
            // The host closes its tools through the tool interface; the
            // window's own close box only hides it.
            ShowWindow(m_hWnd, SW_HIDE);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace scenova::win32
