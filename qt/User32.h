#pragma once

#include <QCursor>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "qt/Context.h"
#include "qt/Desktop.h"

namespace scenova::qt {

// The property that marks the widget of a window of the component.
inline constexpr const char* kLessonWindow = "scenovaLessonWindow";

// user32 on Qt. Windows are the desktop's; a window given the host's MDI
// area ("MDIClient") as parent becomes one of its sub-windows, a window
// given no parent a top-level one. Styles are kept as set. Cursors are
// QCursors: the system cursors by their resource number (shared handles)
// and cursor files read by our own reader. SetCursor gives the widget under
// the pointer that cursor until the next SetCursor, as the system cursor
// stays until the window under it sets another; only a widget of a window
// marked kLessonWindow (the component's own) is given one.
class User32 final : public model::User32 {
public:
    User32(Context& ctx, Desktop& desktop);
    ~User32() override;
    User32(const User32&) = delete;
    User32& operator=(const User32&) = delete;

    int32_t LoadCursorA(int32_t hInstance, int32_t cursorId) override;
    int32_t LoadCursorFromFileA(const std::string& path) override;
    int32_t SetCursor(int32_t hCursor) override;

    // The cursor a handle stands for.
    const QCursor* CursorOf(int32_t hCursor) const;
    int32_t CurrentCursor() const { return m_current; }

private:
    class PointerTracker;

    int32_t NewCursor(QCursor cursor);
    void Reparented(int32_t child, int32_t newParent) override;

    Desktop& m_qtDesktop;
    std::unique_ptr<PointerTracker> m_tracker;
    std::map<int32_t, QCursor> m_cursors;
    int32_t m_nextCursor = 0x10001;
    int32_t m_current = 0;
};

}  // namespace scenova::qt
