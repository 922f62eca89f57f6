#include "qt/Desktop.h"

#include <utility>

namespace scenova::qt {

int32_t Desktop::Add(QWidget* widget, std::string className, std::string title, int32_t parent,
                     int32_t style, int32_t exStyle) {
    const int32_t handle = m_nextHandle++;
    m_windows.emplace(
        handle, Window{widget, std::move(className), std::move(title), parent, style, exStyle});
    return handle;
}

void Desktop::Remove(int32_t handle) {
    m_windows.erase(handle);
}

Desktop::Window* Desktop::Find(int32_t handle) {
    auto it = m_windows.find(handle);
    if (it == m_windows.end()) {
        return nullptr;
    }
    if (!it->second.widget) {
        m_windows.erase(it);
        return nullptr;
    }
    return &it->second;
}

int32_t Desktop::FindChild(int32_t parent, int32_t childAfter, const std::string& className,
                           const std::string& title) {
    if (parent != 0 && Find(parent) == nullptr) {
        return 0;
    }
    for (auto it = m_windows.upper_bound(childAfter); it != m_windows.end(); ++it) {
        const Window& window = it->second;
        if (window.widget && window.parent == parent && window.className == className &&
            window.title == title) {
            return it->first;
        }
    }
    return 0;
}

}  // namespace scenova::qt
