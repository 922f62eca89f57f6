#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/Toolkit.h"

namespace scenova::win32 {

class Screen;

// The ProgID under which the control of a role ("Rose", "OrvVideo",
// "AVSlider", "RivetText") is created.
using ProgIdLookup = std::function<std::wstring(std::wstring_view role)>;

// The window toolkit on the real system: the presentation window with its
// hosted controls, the message loop, pictures from files and file lookup.
class Toolkit final : public IToolkit {
public:
    Toolkit(const Screen& screen, ProgIdLookup progIds)
        : m_screen(screen), m_progIds(std::move(progIds)) {}

    // Raises 429 naming the control when one of them cannot be created.
    PresentationWindow LoadPresentationWindow(FormEvents events) override;
    // Dispatches the messages waiting in the thread's queue, then returns.
    void DoEvents() override;
    // Any picture format the system's OLE picture object reads (bitmap,
    // icon, cursor, JPEG, GIF, PNG ...): 53 when the file cannot be opened,
    // 481 when it is no picture.
    Picture LoadPicture(const std::string& path) override;
    bool FindOrdinaryFile(const std::string& path) override;

private:
    const Screen& m_screen;
    ProgIdLookup m_progIds;
};

}  // namespace scenova::win32
