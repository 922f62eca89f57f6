#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "model/Context.h"
#include "platform/Form.h"

namespace scenova::model {

// The presentation window's form as every platform keeps it: its place and
// size in twips, whether it shows and takes input, its picture and colour,
// its Load and LostFocus events and its unloading. A platform shows it
// (Placed, Showing, Redraw, Unloaded) and gives it its window handle.
class Form : public IForm {
public:
    // Pixels to twips, across and down.
    struct Scale {
        float x = 15.0f;
        float y = 15.0f;
    };

    Form(Context& ctx, std::string name, Scale scale, FormEvents events)
        : m_ctx(ctx), m_name(std::move(name)), m_scale(scale), m_events(std::move(events)) {}

    int32_t hWnd() const override { return m_hWnd; }
    float Left() const override { return m_left; }
    void Left(float value) override { Place(Member::Left, m_left, value); }
    float Top() const override { return m_top; }
    void Top(float value) override { Place(Member::Top, m_top, value); }
    float Width() const override { return m_width; }
    void Width(float value) override { Place(Member::Width, m_width, value); }
    float Height() const override { return m_height; }
    void Height(float value) override { Place(Member::Height, m_height, value); }
    void Move(float left, float top, float width, float height) override;
    bool Visible() const override { return m_visible; }
    void Visible(bool value) override;
    bool Enabled() const override { return m_enabled; }
    void Enabled(bool value) override;
    Picture GetPicture() const override { return m_picture; }
    void SetPicture(const Picture& picture) override;
    int32_t BackColor() const override { return m_backColor; }
    void BackColor(int32_t colour) override;

    float PixelsToTwipsX(float pixels) const override { return pixels * m_scale.x; }
    float PixelsToTwipsY(float pixels) const override { return pixels * m_scale.y; }
    float TwipsToPixelsX(float twips) const override { return twips / m_scale.x; }
    float TwipsToPixelsY(float twips) const override { return twips / m_scale.y; }

    void Unload() override;

    // For the toolkit and the host.
    bool IsUnloaded() const { return m_unloaded; }
    void RaiseLoad();
    // Runs when the window unloads: the toolkit destroys the controls on it.
    void OnUnload(std::function<void()> action) { m_onUnload = std::move(action); }
    // The user turns to another window.
    virtual void UserDeactivate();

protected:
    virtual void Placed() {}
    virtual void Showing() {}
    virtual void Redraw() {}
    // The window goes: the platform lets go of its handle and widgets.
    virtual void Unloaded() {}

    Context& m_ctx;
    std::string m_name;
    Scale m_scale;
    FormEvents m_events;
    int32_t m_hWnd = 0;
    float m_left = 0;
    float m_top = 0;
    float m_width = 9600;
    float m_height = 7200;
    bool m_visible = false;
    bool m_enabled = true;
    Picture m_picture;
    int32_t m_backColor = 0x00F0F0F0;
    bool m_unloaded = false;

private:
    void Place(Member property, float& field, float value) {
        Set(property, field, value);
        Placed();
    }
    template <class T>
    void Set(Member property, T& field, T value) {
        m_ctx.Put(m_name, property, value);
        field = value;
    }

    std::function<void()> m_onUnload;
};

}  // namespace scenova::model
