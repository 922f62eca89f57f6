#include "model/Form.h"

namespace scenova::model {

void Form::Move(float left, float top, float width, float height) {
    m_ctx.Call(m_name, Member::Move, left, top, width, height);
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
    Placed();
}

void Form::Visible(bool value) {
    Set(Member::Visible, m_visible, value);
    Showing();
}

void Form::Enabled(bool value) {
    Set(Member::Enabled, m_enabled, value);
    Showing();
}

void Form::SetPicture(const Picture& picture) {
    m_ctx.Put(m_name, Member::Picture, picture);
    m_picture = picture;
    Redraw();
}

void Form::BackColor(int32_t colour) {
    Set(Member::BackColor, m_backColor, colour);
    Redraw();
}

void Form::Unload() {
    m_ctx.Call(m_name, Member::Unload);
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
    m_ctx.Raise(m_name, Member::Load, handler);
}

void Form::UserDeactivate() {
    if (!m_unloaded) {
        const auto handler = m_events.LostFocus;
        m_ctx.Raise(m_name, Member::LostFocus, handler);
    }
}

}  // namespace scenova::model
