#include "qt/Desktop.h"

#include <utility>

namespace scenova::qt {

int32_t Desktop::Add(QWidget* widget, std::string className, std::string title, int32_t parent,
                     int32_t style, int32_t exStyle) {
    const int32_t handle = Create(std::move(className), std::move(title), parent, style, exStyle);
    m_widgets.emplace(handle, widget);
    return handle;
}

QWidget* Desktop::WidgetOf(int32_t handle) const {
    auto it = m_widgets.find(handle);
    return it == m_widgets.end() ? nullptr : it->second.data();
}

}  // namespace scenova::qt
