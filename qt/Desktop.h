#pragma once

#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <map>
#include <string>

namespace scenova::qt {

// The windows the component may name by handle: the host's main window and
// MDI area, and the presentation windows. Handles are small positive
// integers, never reused; 0 is the desktop.
class Desktop {
public:
    struct Window {
        QPointer<QWidget> widget;
        std::string className;
        std::string title;
        int32_t parent = 0;
        int32_t style = 0;
        int32_t exStyle = 0;
    };

    int32_t Add(QWidget* widget, std::string className, std::string title, int32_t parent,
                int32_t style, int32_t exStyle);
    void Remove(int32_t handle);
    // A window whose widget is gone counts as destroyed.
    Window* Find(int32_t handle);
    // The first child of parent after childAfter (0: from the start) with
    // the class name and exactly the title.
    int32_t FindChild(int32_t parent, int32_t childAfter, const std::string& className,
                      const std::string& title);

private:
    std::map<int32_t, Window> m_windows;
    int32_t m_nextHandle = 1;
};

}  // namespace scenova::qt
