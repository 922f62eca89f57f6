#include "headless/Desktop.h"

namespace scenova::headless {

int32_t Desktop::Create(std::string className, std::string title, int32_t parent, int32_t style,
                        int32_t exStyle) {
    const int32_t handle = m_nextHandle++;
    m_windows.emplace(
        handle, Window{handle, std::move(className), std::move(title), parent, style, exStyle});
    return handle;
}

void Desktop::Destroy(int32_t handle) {
    for (int32_t child : Children(handle)) {
        Destroy(child);
    }
    m_windows.erase(handle);
}

Desktop::Window* Desktop::Find(int32_t handle) {
    auto it = m_windows.find(handle);
    return it == m_windows.end() ? nullptr : &it->second;
}

const Desktop::Window* Desktop::Find(int32_t handle) const {
    auto it = m_windows.find(handle);
    return it == m_windows.end() ? nullptr : &it->second;
}

int32_t Desktop::FindChild(int32_t parent, int32_t childAfter, const std::string& className,
                           const std::optional<std::string>& title) const {
    bool started = childAfter == 0;
    for (const auto& [handle, window] : m_windows) {
        if (window.parent != parent) {
            continue;
        }
        if (!started) {
            started = handle == childAfter;
            continue;
        }
        if (window.className == className && (!title || window.title == *title)) {
            return handle;
        }
    }
    return 0;
}

std::vector<int32_t> Desktop::Children(int32_t parent) const {
    std::vector<int32_t> children;
    for (const auto& [handle, window] : m_windows) {
        if (window.parent == parent) {
            children.push_back(handle);
        }
    }
    return children;
}

}  // namespace scenova::headless
