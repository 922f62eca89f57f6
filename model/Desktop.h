#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "model/Context.h"
#include "platform/User32.h"

namespace scenova::model {

// The styles the windows of a platform's desktop are made with.
namespace style {
inline constexpr int32_t Child = 0x50000000;        // visible child
inline constexpr int32_t Form = 0x02CF0000;         // overlapped window, clips children
inline constexpr int32_t FormEx = 0x00040100;       // application window with an edge
inline constexpr int32_t HostFrame = 0x16CF0000;    // visible overlapped window, clips children
inline constexpr int32_t HostFrameEx = 0x00040100;  //
inline constexpr int32_t MdiClient = 0x56000000;    // visible child, clips siblings and children
inline constexpr int32_t MdiClientEx = 0x00000200;
}  // namespace style

// The windows the component may name by handle: class names, titles,
// parents and styles, enough for it to find its host's MDI client and embed
// itself. Handles are small positive integers, never reused; 0 is the
// desktop. A platform whose windows can go without being destroyed here
// says so (Alive).
class Desktop {
public:
    struct Window {
        int32_t handle = 0;
        std::string className;
        std::string title;
        int32_t parent = 0;
        int32_t style = 0;
        int32_t exStyle = 0;
    };

    virtual ~Desktop() = default;

    int32_t Create(std::string className, std::string title, int32_t parent, int32_t style,
                   int32_t exStyle);
    // Destroys a window and its children.
    void Destroy(int32_t handle);
    Window* Find(int32_t handle);
    bool Exists(int32_t handle) { return Find(handle) != nullptr; }
    // The first child of parent after childAfter (0: from the start) with the
    // class name and exactly the title.
    int32_t FindChild(int32_t parent, int32_t childAfter, const std::string& className,
                      const std::string& title);
    // Windows that exist, the desktop not counted.
    std::size_t Count() const { return m_windows.size(); }

protected:
    virtual bool Alive(int32_t /*handle*/) const { return true; }

private:
    std::vector<int32_t> Children(int32_t parent) const;

    std::map<int32_t, Window> m_windows;  // ordered by handle: creation order
    int32_t m_nextHandle = 1;
};

// The window calls of user32 on the desktop, recorded; a platform adds the
// cursors and moves its widgets when a window changes parent.
class User32 : public IUser32 {
public:
    User32(Context& ctx, Desktop& desktop) : m_ctx(ctx), m_desktop(desktop) {}

    int32_t FindWindowExA(int32_t parent, int32_t childAfter, const std::string& className,
                          const std::string& windowName) override;
    int32_t SetParent(int32_t child, int32_t newParent) override;
    int32_t GetWindowLongA(int32_t hWnd, int32_t index) override;
    int32_t SetWindowLongA(int32_t hWnd, int32_t index, int32_t newLong) override;

protected:
    virtual void Reparented(int32_t /*child*/, int32_t /*newParent*/) {}

    // The handle of a system cursor: made by make the first time it is
    // loaded, the same handle after (as user32's shared cursors).
    template <class Make>
    int32_t SharedCursor(int32_t cursorId, Make make) {
        if (const auto it = m_systemCursors.find(cursorId); it != m_systemCursors.end()) {
            return it->second;
        }
        const int32_t handle = make();
        m_systemCursors.emplace(cursorId, handle);
        return handle;
    }

    Context& m_ctx;
    Desktop& m_desktop;

private:
    std::map<int32_t, int32_t> m_systemCursors;  // resource number -> handle
};

}  // namespace scenova::model
