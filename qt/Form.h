#pragma once

#include <QMetaObject>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/Form.h"
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
class Form final : public IForm, public std::enable_shared_from_this<Form> {
public:
    static std::shared_ptr<Form> Create(Context& ctx, Desktop& desktop, Twips twips,
                                        std::string caption, FormEvents events);
    Form(Context& ctx, Desktop& desktop, Twips twips, FormEvents events);
    ~Form() override;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    int32_t hWnd() const override { return m_hWnd; }
    float Left() const override { return m_left; }
    void Left(float value) override;
    float Top() const override { return m_top; }
    void Top(float value) override;
    float Width() const override { return m_width; }
    void Width(float value) override;
    float Height() const override { return m_height; }
    void Height(float value) override;
    void Move(float left, float top, float width, float height) override;
    bool Visible() const override { return m_visible; }
    void Visible(bool value) override;
    bool Enabled() const override { return m_enabled; }
    void Enabled(bool value) override;
    Picture GetPicture() const override { return m_picture; }
    void SetPicture(const Picture& picture) override;
    int32_t BackColor() const override { return m_backColor; }
    void BackColor(int32_t colour) override;

    float PixelsToTwipsX(float pixels) const override { return pixels * m_twips.perPixelX; }
    float PixelsToTwipsY(float pixels) const override { return pixels * m_twips.perPixelY; }
    float TwipsToPixelsX(float twips) const override { return twips / m_twips.perPixelX; }
    float TwipsToPixelsY(float twips) const override { return twips / m_twips.perPixelY; }

    void Unload() override;

    // For the toolkit and the host.
    QWidget* Widget() const { return m_widget; }
    // The sub-window holding the form, while it is in an MDI area.
    QMdiSubWindow* SubWindow() const;
    bool IsUnloaded() const { return m_unloaded; }
    void RaiseLoad();
    // Runs when the window unloads: the toolkit destroys the controls on it.
    void OnUnload(std::function<void()> action) { m_onUnload = std::move(action); }
    // The user turns to another window of the host.
    void UserDeactivate();

private:
    class FormWidget;

    // The widget got a new parent: it shows itself as it stood.
    void Reparented();
    void Place();
    void Show();
    void Activated(QMdiSubWindow* active);

    Context& m_ctx;
    Desktop& m_desktop;
    Twips m_twips;
    FormEvents m_events;
    QPointer<QWidget> m_widget;
    QMetaObject::Connection m_activation;
    int32_t m_hWnd = 0;
    float m_left = 0;
    float m_top = 0;
    float m_width = 9600;
    float m_height = 7200;
    bool m_visible = false;
    bool m_enabled = true;
    Picture m_picture;
    int32_t m_backColor = 0x00F0F0F0;
    bool m_active = false;
    bool m_unloaded = false;
    std::function<void()> m_onUnload;
};

// A colour reference (red in the lowest byte) as a Qt colour.
QColor ToQColor(int32_t colour);

}  // namespace scenova::qt
