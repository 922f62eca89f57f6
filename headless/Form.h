#pragma once

#include <functional>
#include <string>

#include "headless/Context.h"
#include "headless/Desktop.h"
#include "headless/Screen.h"
#include "platform/Form.h"

namespace scenova::headless {

// A top-level window on the headless desktop. It is created hidden, as an
// application window of 640 by 480 pixels.
class Form final : public IForm {
public:
    static constexpr int32_t kStyle = 0x02CF0000;    // overlapped window, clips children
    static constexpr int32_t kExStyle = 0x00040100;  // application window with an edge

    Form(Context& ctx, Desktop& desktop, TwipsPerPixel scale, std::string name, std::string caption,
         FormEvents events);

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

    float PixelsToTwipsX(float pixels) const override { return pixels * m_scale.x; }
    float PixelsToTwipsY(float pixels) const override { return pixels * m_scale.y; }
    float TwipsToPixelsX(float twips) const override { return twips / m_scale.x; }
    float TwipsToPixelsY(float twips) const override { return twips / m_scale.y; }

    void Unload() override;

    // For the host and tests.
    bool IsUnloaded() const { return m_unloaded; }
    const std::string& Caption() const { return m_caption; }
    void RaiseLoad();
    // Runs when the window unloads: the toolkit destroys the controls on it.
    void OnUnload(std::function<void()> action) { m_onUnload = std::move(action); }
    // The user switches to another window.
    void UserDeactivate();

private:
    Context& m_ctx;
    Desktop& m_desktop;
    TwipsPerPixel m_scale;
    std::string m_name;
    std::string m_caption;
    FormEvents m_events;
    int32_t m_hWnd;
    float m_left = 0;
    float m_top = 0;
    float m_width = 9600;
    float m_height = 7200;
    bool m_visible = false;
    bool m_enabled = true;
    Picture m_picture;
    int32_t m_backColor = 0x00F0F0F0;
    bool m_unloaded = false;
    std::function<void()> m_onUnload;
};

}  // namespace scenova::headless
