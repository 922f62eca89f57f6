#include "qt/User32.h"

#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPixmap>

#include <utility>

#include "formats/PictureFile.h"
#include "platform/Win32Constants.h"
#include "qt/Gdi.h"
#include "runtime/RuntimeError.h"

namespace scenova::qt {

// Keeps the widget the pointer is over.
class User32::PointerTracker final : public QObject {
public:
    PointerTracker() { qApp->installEventFilter(this); }
    ~PointerTracker() override { qApp->removeEventFilter(this); }
    PointerTracker(const PointerTracker&) = delete;
    PointerTracker& operator=(const PointerTracker&) = delete;

    QPointer<QWidget> under;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if ((type == QEvent::Enter || type == QEvent::MouseMove) && watched->isWidgetType()) {
            under = static_cast<QWidget*>(watched);
        }
        return false;
    }
};

namespace {

// The system cursors a component may load, by resource number.
std::optional<Qt::CursorShape> SystemCursor(int32_t id) {
    static const std::map<int32_t, Qt::CursorShape> kShapes = {
        {32512, Qt::ArrowCursor},     {32513, Qt::IBeamCursor},        {32514, Qt::WaitCursor},
        {32515, Qt::CrossCursor},     {32516, Qt::UpArrowCursor},      {32640, Qt::SizeAllCursor},
        {32641, Qt::ArrowCursor},     {32642, Qt::SizeFDiagCursor},    {32643, Qt::SizeBDiagCursor},
        {32644, Qt::SizeHorCursor},   {32645, Qt::SizeVerCursor},      {32646, Qt::SizeAllCursor},
        {32648, Qt::ForbiddenCursor}, {32649, Qt::PointingHandCursor}, {32650, Qt::BusyCursor},
        {32651, Qt::WhatsThisCursor},
    };
    auto it = kShapes.find(id);
    if (it == kShapes.end()) {
        return std::nullopt;
    }
    return it->second;
}

// Moves a widget under a new parent: a sub-window of an MDI area, a child of
// another widget, or a window of its own. Like every widget given a new
// parent it is hidden then; the window shows itself again as it stood.
void Reparent(QWidget* widget, QWidget* parent) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(widget->parentWidget())) {
        sub->setWidget(nullptr);
        if (QMdiArea* area = sub->mdiArea()) {
            area->removeSubWindow(sub);
        }
        sub->deleteLater();
    }
    if (auto* area = qobject_cast<QMdiArea*>(parent)) {
        // A tool window of the host: its title bar, no buttons of its own.
        QMdiSubWindow* sub = area->addSubWindow(
            widget, Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
        sub->setAttribute(Qt::WA_DeleteOnClose, false);
        sub->hide();
    } else {
        widget->setParent(parent, parent ? Qt::Widget : Qt::Window);
    }
}

}  // namespace

User32::User32(Context& ctx, Desktop& desktop)
    : model::User32(ctx, desktop),
      m_qtDesktop(desktop),
      m_tracker(std::make_unique<PointerTracker>()) {}

User32::~User32() = default;

void User32::Reparented(int32_t child, int32_t newParent) {
    Reparent(m_qtDesktop.WidgetOf(child),
             newParent != 0 ? m_qtDesktop.WidgetOf(newParent) : nullptr);
}

int32_t User32::NewCursor(QCursor cursor) {
    const int32_t handle = m_nextCursor++;
    m_cursors.emplace(handle, std::move(cursor));
    return handle;
}

int32_t User32::LoadCursorA(int32_t hInstance, int32_t cursorId) {
    const std::optional<Qt::CursorShape> shape = SystemCursor(cursorId);
    if (hInstance != 0 || !shape) {
        return 0;
    }
    return SharedCursor(cursorId, [&] { return NewCursor(QCursor(*shape)); });
}

int32_t User32::LoadCursorFromFileA(const std::string& path) {
    formats::DecodedCursor cursor;
    try {
        cursor = formats::ReadCursorFile(path);
    } catch (const RuntimeError&) {
        return 0;
    }
    const QImage image = ToQImage(cursor);
    return NewCursor(QCursor(QPixmap::fromImage(image), cursor.hotspotX, cursor.hotspotY));
}

int32_t User32::SetCursor(int32_t hCursor) {
    const QCursor* cursor = CursorOf(hCursor);
    if (hCursor != 0 && cursor == nullptr) {
        return 0;
    }
    // Only the lesson's windows: the host's own widgets keep their cursors.
    QWidget* const under = m_tracker->under;
    QWidget* window = under;
    while (window && !window->property(kLessonWindow).toBool()) {
        window = window->parentWidget();
    }
    if (window) {
        if (cursor) {
            under->setCursor(*cursor);
        } else {
            under->unsetCursor();
        }
    }
    return std::exchange(m_current, hCursor);
}

const QCursor* User32::CursorOf(int32_t hCursor) const {
    auto it = m_cursors.find(hCursor);
    return it == m_cursors.end() ? nullptr : &it->second;
}

}  // namespace scenova::qt
