#pragma once

#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <map>
#include <string>

#include "model/Desktop.h"

namespace scenova::qt {

// The model's windows with the widgets they are: the host's main window and
// MDI area, and the presentation windows. A window whose widget is gone
// counts as destroyed.
class Desktop final : public model::Desktop {
public:
    int32_t Add(QWidget* widget, std::string className, std::string title, int32_t parent,
                int32_t style, int32_t exStyle);
    void Remove(int32_t handle) {
        Destroy(handle);
        m_widgets.erase(handle);
    }
    QWidget* WidgetOf(int32_t handle) const;

private:
    bool Alive(int32_t handle) const override { return WidgetOf(handle) != nullptr; }

    std::map<int32_t, QPointer<QWidget>> m_widgets;
};

}  // namespace scenova::qt
