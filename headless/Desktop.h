#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace scenova::headless {

// The windows of the headless desktop: handles, class names, titles,
// parents and styles, enough for a component to find its host's MDI client
// and embed itself. Handles are small positive integers; 0 is the desktop.
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

    int32_t Create(std::string className, std::string title, int32_t parent, int32_t style,
                   int32_t exStyle);
    // Destroys a window and its children.
    void Destroy(int32_t handle);

    Window* Find(int32_t handle);
    const Window* Find(int32_t handle) const;
    bool Exists(int32_t handle) const { return Find(handle) != nullptr; }

    // The first child of parent after childAfter (0: from the start) with the
    // class name and, when given, exactly that title.
    int32_t FindChild(int32_t parent, int32_t childAfter, const std::string& className,
                      const std::optional<std::string>& title) const;
    std::vector<int32_t> Children(int32_t parent) const;
    // Windows that exist, the desktop not counted.
    std::size_t Count() const { return m_windows.size(); }

private:
    std::map<int32_t, Window> m_windows;  // ordered by handle: creation order
    int32_t m_nextHandle = 1;
};

}  // namespace scenova::headless
