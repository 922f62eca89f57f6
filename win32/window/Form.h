#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "platform/Form.h"
#include "platform/Screen.h"

namespace scenova::win32 {

class Screen;

// The presentation window: a real top-level window, created hidden as an
// application window of 640 by 480 pixels (the design size), painted with
// its back colour and its picture at the top left. Positions are kept in
// twips as set and applied in pixels of the screen; a move from outside (the
// user dragging or sizing the window, the host arranging its MDI children)
// replaces what it changed with the window's own place, in pixels of its
// parent's client area converted to twips.
class Form final : public IForm {
public:
    // The style the window is created with: overlapped, clipping its children,
    // an application window with an edge.
    static constexpr DWORD kStyle = 0x02CF0000;
    static constexpr DWORD kExStyle = 0x00040100;

    Form(const Screen& screen, std::string name, const std::string& caption, FormEvents events);
    ~Form() override;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    int32_t hWnd() const override;
    float Left() const override { return m_left; }
    void Left(float value) override { Move(value, m_top, m_width, m_height); }
    float Top() const override { return m_top; }
    void Top(float value) override { Move(m_left, value, m_width, m_height); }
    float Width() const override { return m_width; }
    void Width(float value) override { Move(m_left, m_top, value, m_height); }
    float Height() const override { return m_height; }
    void Height(float value) override { Move(m_left, m_top, m_width, value); }
    void Move(float left, float top, float width, float height) override;
    bool Visible() const override;
    void Visible(bool value) override;
    bool Enabled() const override;
    void Enabled(bool value) override;
    Picture GetPicture() const override { return m_picture; }
    void SetPicture(const Picture& picture) override;
    int32_t BackColor() const override { return m_backColor; }
    void BackColor(int32_t colour) override;

    float PixelsToTwipsX(float pixels) const override;
    float PixelsToTwipsY(float pixels) const override;
    float TwipsToPixelsX(float twips) const override;
    float TwipsToPixelsY(float twips) const override;

    void Unload() override;

    HWND Window() const { return m_hWnd; }
    bool IsUnloaded() const { return m_hWnd == nullptr; }
    void RaiseLoad();
    // Runs when the window unloads, before it is destroyed: the toolkit
    // closes the controls on it.
    void OnUnload(std::function<void()> action) { m_onUnload = std::move(action); }

private:
    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc) const;
    // After the window moved or changed size: what a move from outside
    // changed is taken from the window.
    void FollowWindow();

    const Screen& m_screen;
    std::string m_name;
    FormEvents m_events;
    HWND m_hWnd = nullptr;
    float m_left = 0;
    float m_top = 0;
    float m_width;
    float m_height;
    RECT m_place{};          // the window's place when last seen, in its parent's pixels
    bool m_ownMove = false;  // Move at work: the place stays as set
    Picture m_picture;
    int32_t m_backColor = 0x00F0F0F0;
    std::function<void()> m_onUnload;
    bool m_ownFocusChange = false;  // hiding or disabling: no LostFocus
};

}  // namespace scenova::win32
