#include "win32/window/Toolkit.h"

#include <ole2.h>
#include <olectl.h>
#include <windows.h>

#include <memory>
#include <utility>
#include <vector>

#include "runtime/RuntimeError.h"
#include "win32/com/ComPtr.h"
#include "win32/controls/HostedControls.h"
#include "win32/controls/Site.h"
#include "win32/window/Form.h"
#include "win32/window/PictureDispatch.h"
#include "win32/window/Screen.h"
#include "win32/window/Text.h"
#include "win32/window/Timer.h"

namespace scenova::win32 {

namespace {

// Releases a handle when it goes out of scope.
struct FileHandle {
    HANDLE h;
    ~FileHandle() {
        if (h != INVALID_HANDLE_VALUE) {
            CloseHandle(h);
        }
    }
};

// Pictures larger than this are not read into memory.
constexpr DWORD kMaxPictureBytes = 256u * 1024u * 1024u;

}  // namespace

PresentationWindow Toolkit::LoadPresentationWindow(FormEvents events) {
    auto form = std::make_shared<Form>(m_screen, objects::frmScenova, "Scenova", std::move(events));
    auto timer = std::make_shared<Timer>(objects::ExitTimer, form->Window());
    const Screen& screen = m_screen;
    const controls::Units units{
        .twipsToPixelsX = [&screen](float twips) { return twips / screen.TwipsPerPixelX(); },
        .twipsToPixelsY = [&screen](float twips) { return twips / screen.TwipsPerPixelY(); },
    };
    std::vector<controls::SitePtr> sites;
    const auto site = [&](const char* name, std::wstring_view role) {
        sites.push_back(controls::HoldSite(
            controls::ControlSite::Create(form->Window(), units, name, m_progIds(role))));
        return sites.back();
    };
    PresentationWindow window{
        .form = form,
        .ExitTimer = timer,
        .frmRose = controls::NewButtonBar(site(objects::frmRose, L"Rose")),
        .movOrvMovie = controls::NewVideo(site(objects::movOrvMovie, L"OrvVideo")),
        .sldVideoSlider = controls::NewSlider(site(objects::sldVideoSlider, L"AVSlider")),
        .rtfText = controls::NewRichText(site(objects::rtfText, L"RivetText")),
        .frmRoseNavigation = controls::NewButtonBar(site(objects::frmRoseNavigation, L"Rose")),
        .frmRoseToolbar = controls::NewButtonBar(site(objects::frmRoseToolbar, L"Rose")),
    };
    form->OnUnload([timer, sites = std::move(sites)] {
        timer->Destroy();
        for (const auto& s : sites) {
            s->Close();
        }
    });
    form->RaiseLoad();
    return window;
}

void Toolkit::DoEvents() {
    MSG message{};
    // Bounded, so that a window that keeps posting cannot hold the caller.
    for (int i = 0; i < 100000 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));  // for the host's own loop
            return;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

Picture Toolkit::LoadPicture(const std::string& path) {
    const std::wstring wide = Widen(path);
    FileHandle file{CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (path.empty() || file.h == INVALID_HANDLE_VALUE) {
        Raise(err::FileNotFound, "LoadPicture: cannot open " + path);
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.h, &size) || size.QuadPart <= 0 || size.QuadPart > kMaxPictureBytes) {
        Raise(err::InvalidPicture, "LoadPicture: " + path);
    }
    const auto bytes = static_cast<DWORD>(size.QuadPart);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (memory == nullptr) {
        Raise(err::OutOfMemory);
    }
    DWORD read = 0;
    void* data = GlobalLock(memory);
    const BOOL ok = ReadFile(file.h, data, bytes, &read, nullptr);
    GlobalUnlock(memory);
    ComPtr<IStream> stream;
    if (!ok || read != bytes || FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
        GlobalFree(memory);
        Raise(err::FileNotFound, "LoadPicture: cannot read " + path);
    }
    ComPtr<IDispatch> dispatch;
    const HRESULT hr =
        OleLoadPicture(stream.Get(), static_cast<LONG>(bytes), FALSE, IID_IDispatch, &dispatch);
    stream.Reset();
    if (FAILED(hr) || !dispatch) {
        Raise(err::InvalidPicture, "LoadPicture: not a picture: " + path);
    }
    return AdoptPicture(std::move(dispatch));
}

bool Toolkit::FindOrdinaryFile(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos) {
        return false;
    }
    const std::wstring wide = Widen(path);
    WIN32_FIND_DATAW found{};
    HANDLE search =
        FindFirstFileExW(wide.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    // The matches come in the directory's order: "." and ".." first for "*",
    // folders and hidden files anywhere. Any ordinary one will do.
    constexpr DWORD kNotOrdinary =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    bool ordinary = false;
    do {
        ordinary = (found.dwFileAttributes & kNotOrdinary) == 0;
    } while (!ordinary && FindNextFileW(search, &found));
    FindClose(search);
    return ordinary;
}

}  // namespace scenova::win32
