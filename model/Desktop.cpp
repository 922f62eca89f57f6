#include "model/Desktop.h"

#include <utility>

#include "platform/Win32Constants.h"

namespace scenova::model {

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
    if (it == m_windows.end()) {
        return nullptr;
    }
    if (!Alive(handle)) {
        m_windows.erase(it);
        return nullptr;
    }
    return &it->second;
}

int32_t Desktop::FindChild(int32_t parent, int32_t childAfter, const std::string& className,
                           const std::string& title) {
    bool started = childAfter == 0;
    for (const auto& [handle, window] : m_windows) {
        if (window.parent != parent) {
            continue;
        }
        if (!started) {
            started = handle == childAfter;
            continue;
        }
        if (window.className == className && window.title == title && Alive(handle)) {
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

int32_t User32::FindWindowExA(int32_t parent, int32_t childAfter, const std::string& className,
                              const std::string& windowName) {
    m_ctx.Call("user32", Member::FindWindowExA, parent, childAfter, className, windowName);
    return m_desktop.FindChild(parent, childAfter, className, windowName);
}

int32_t User32::SetParent(int32_t child, int32_t newParent) {
    m_ctx.Call("user32", Member::SetParent, child, newParent);
    Desktop::Window* window = m_desktop.Find(child);
    if (window == nullptr || (newParent != 0 && !m_desktop.Exists(newParent)) ||
        newParent == child) {
        return 0;
    }
    const int32_t previous = window->parent;
    Reparented(child, newParent);
    window->parent = newParent;
    return previous;
}

int32_t User32::GetWindowLongA(int32_t hWnd, int32_t index) {
    m_ctx.Call("user32", Member::GetWindowLongA, hWnd, index);
    const Desktop::Window* window = m_desktop.Find(hWnd);
    if (window == nullptr) {
        return 0;
    }
    return index == win::GWL_STYLE     ? window->style
           : index == win::GWL_EXSTYLE ? window->exStyle
                                       : 0;
}

int32_t User32::SetWindowLongA(int32_t hWnd, int32_t index, int32_t newLong) {
    m_ctx.Call("user32", Member::SetWindowLongA, hWnd, index, newLong);
    Desktop::Window* window = m_desktop.Find(hWnd);
    if (window == nullptr) {
        return 0;
    }
    int32_t* field = index == win::GWL_STYLE     ? &window->style
                     : index == win::GWL_EXSTYLE ? &window->exStyle
                                                 : nullptr;
    return field ? std::exchange(*field, newLong) : 0;
}

}  // namespace scenova::model
