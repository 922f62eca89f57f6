#include "headless/User32.h"

#include <utility>

#include "formats/PictureFile.h"
#include "platform/Win32Constants.h"

namespace scenova::headless {

int32_t User32::NewCursor(std::string source) {
    const int32_t handle = m_nextCursor++;
    m_trace.NameCursor(handle, source);
    m_cursorSources.emplace(handle, std::move(source));
    return handle;
}

int32_t User32::LoadCursorA(int32_t hInstance, int32_t cursorId) {
    m_ctx.Call("user32", Member::LoadCursorA, hInstance, cursorId);
    // Only the system cursors exist: the component has no cursor resources.
    const bool system = cursorId == win::IDC_ARROW || cursorId == win::IDC_WAIT ||
                        (cursorId >= 32513 && cursorId <= 32516) ||
                        (cursorId >= 32640 && cursorId <= 32651);
    if (hInstance != 0 || !system) {
        return 0;
    }
    return SharedCursor(cursorId, [&] { return NewCursor(std::to_string(cursorId)); });
}

int32_t User32::LoadCursorFromFileA(const std::string& path) {
    m_ctx.Call("user32", Member::LoadCursorFromFileA, path);
    if (!formats::LooksLikeCursorFile(path)) {
        return 0;
    }
    return NewCursor(path);
}

int32_t User32::SetCursor(int32_t hCursor) {
    m_ctx.Call("user32", Member::SetCursor, TraceCursor{hCursor});
    if (hCursor != 0 && !m_cursorSources.contains(hCursor)) {
        return 0;
    }
    return std::exchange(m_currentCursor, hCursor);
}

std::string User32::CursorSource(int32_t hCursor) const {
    auto it = m_cursorSources.find(hCursor);
    return it == m_cursorSources.end() ? std::string() : it->second;
}

}  // namespace scenova::headless
