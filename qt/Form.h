#pragma once

#include <QMetaObject>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "model/Form.h"
#include "qt/ContainedControl.h"
#include "qt/Context.h"
#include "qt/Desktop.h"

class QMdiSubWindow;

namespace scenova::qt {

// The presentation window: a widget with the window's backdrop colour and
// picture, holding the controls. Its size is that of its inside, in twips;
// given the host's MDI area as parent it becomes a sub-window of it, sized
// to fit, with the position its frame takes. It is created hidden. LostFocus
// comes when another sub-window of the same MDI area becomes active.
class Form final : public model::Form, public std::enable_shared_from_this<Form> {
public:
    static std::shared_ptr<Form> Create(Context& ctx, Desktop& desktop, Twips twips,
                                        std::string caption, FormEvents events);
    Form(Context& ctx, Desktop& desktop, Twips twips, FormEvents events);
    ~Form() override;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    // For the toolkit and the host.
    QWidget* Widget() const { return m_widget; }
    // The sub-window holding the form, while it is in an MDI area.
    QMdiSubWindow* SubWindow() const;
    // The lesson's size in pixels of its own, whatever the scale it shows at.
    QSize OwnSize() const;
    QPoint OwnPosition() const;
    // Shows the window and its controls at this scale (1 its own size).
    void Rescale(double scale);
    // The user turns to another window of the host.
    void UserDeactivate() override;

private:
    class FormWidget;

    // The widget got a new parent: it shows itself as it stood.
    void Reparented();
    void Placed() override;
    void Showing() override;
    void Redraw() override;
    void Unloaded() override;
    void Activated(QMdiSubWindow* active);

    Desktop& m_desktop;
    Twips m_twips;
    QPointer<QWidget> m_widget;
    QMetaObject::Connection m_activation;
    bool m_active = false;
};

// A colour reference (red in the lowest byte) as a Qt colour.
QColor ToQColor(int32_t colour);

}  // namespace scenova::qt
