#include "model/Form.h"

namespace scenova::model {

void Form::Move(float left, float top, float width, float height) {
    m_ctx.Call(m_name, "Move", left, top, width, height);
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
    Placed();
}

void Form::Visible(bool value) {
    Set("Visible", m_visible, value);
    Showing();
}

void Form::Enabled(bool value) {
    Set("Enabled", m_enabled, value);
    Showing();
}

void Form::SetPicture(const Picture& picture) {
    m_ctx.Put(m_name, "Picture", picture);
    m_picture = picture;
    Redraw();
}

void Form::BackColor(int32_t colour) {
    Set("BackColor", m_backColor, colour);
    Redraw();
}

void Form::Unload() {
    m_ctx.Call(m_name, "Unload");
    if (m_unloaded) {
        return;
    }
    m_unloaded = true;
    m_visible = false;
    m_picture.reset();
    Unloaded();
    if (m_onUnload) {
        std::exchange(m_onUnload, nullptr)();
    }
}

void Form::RaiseLoad() {
    const auto handler = m_events.Load;
    m_ctx.Raise(m_name, "Load", handler);
}

void Form::UserDeactivate() {
    if (!m_unloaded) {
        const auto handler = m_events.LostFocus;
        m_ctx.Raise(m_name, "LostFocus", handler);
    }
}

}  // namespace scenova::model
