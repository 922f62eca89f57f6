#include "headless/Form.h"

#include <utility>

namespace scenova::headless {

Form::Form(Context& ctx, Desktop& desktop, TwipsPerPixel scale, std::string name,
           std::string caption, FormEvents events)
    : m_ctx(ctx),
      m_desktop(desktop),
      m_scale(scale),
      m_name(std::move(name)),
      m_caption(std::move(caption)),
      m_events(std::move(events)),
      m_hWnd(desktop.Create("ScenovaWindow", m_caption, 0, kStyle, kExStyle)) {}

void Form::Left(float value) {
    m_ctx.Put(m_name, "Left", value);
    m_left = value;
}

void Form::Top(float value) {
    m_ctx.Put(m_name, "Top", value);
    m_top = value;
}

void Form::Width(float value) {
    m_ctx.Put(m_name, "Width", value);
    m_width = value;
}

void Form::Height(float value) {
    m_ctx.Put(m_name, "Height", value);
    m_height = value;
}

void Form::Move(float left, float top, float width, float height) {
    m_ctx.Call(m_name, "Move", left, top, width, height);
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
}

void Form::Visible(bool value) {
    m_ctx.Put(m_name, "Visible", value);
    m_visible = value;
}

void Form::Enabled(bool value) {
    m_ctx.Put(m_name, "Enabled", value);
    m_enabled = value;
}

void Form::SetPicture(const Picture& picture) {
    m_ctx.Put(m_name, "Picture", picture);
    m_picture = picture;
}

void Form::BackColor(int32_t colour) {
    m_ctx.Put(m_name, "BackColor", colour);
    m_backColor = colour;
}

void Form::Unload() {
    m_ctx.Call(m_name, "Unload");
    if (m_unloaded) {
        return;
    }
    m_unloaded = true;
    m_visible = false;
    m_picture.reset();
    m_desktop.Destroy(m_hWnd);
    if (m_onUnload) {
        std::exchange(m_onUnload, nullptr)();
    }
}

void Form::RaiseLoad() {
    m_ctx.Raise(m_name, "Load", m_events.Load);
}

void Form::UserDeactivate() {
    if (!m_unloaded) {
        m_ctx.Raise(m_name, "LostFocus", m_events.LostFocus);
    }
}

}  // namespace scenova::headless
