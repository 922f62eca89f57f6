#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include "headless/Context.h"
#include "headless/Desktop.h"

namespace scenova::headless {

// user32 on the headless desktop. System cursors are shared handles, loaded
// once; cursor files are checked for a cursor header before they load.
class User32 final : public model::User32 {
public:
    User32(Context& ctx, Desktop& desktop) : model::User32(ctx, desktop), m_trace(ctx.trace) {}

    int32_t LoadCursorA(int32_t hInstance, int32_t cursorId) override;
    int32_t LoadCursorFromFileA(const std::string& path) override;
    int32_t SetCursor(int32_t hCursor) override;

    int32_t CurrentCursor() const { return m_currentCursor; }
    // What a cursor handle was loaded from ("32512", a file path), or "".
    std::string CursorSource(int32_t hCursor) const;
    // Cursors loaded so far; none is ever destroyed.
    std::size_t Cursors() const { return m_cursorSources.size(); }

private:
    int32_t NewCursor(std::string source);

    Trace& m_trace;
    std::map<int32_t, std::string> m_cursorSources;
    int32_t m_nextCursor = 0x10001;
    int32_t m_currentCursor = 0;
};

}  // namespace scenova::headless
