#pragma once

#include <QFont>
#include <QImage>
#include <QWidget>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "controls/ButtonBar.h"
#include "qt/ContainedControl.h"

class QLabel;
class QTimer;

namespace scenova::qt {

class ButtonBar;

// Draws the bar and takes the pointer: buttons light up under it, press
// down under the button, and their tooltips come after a moment.
class BarWidget final : public QWidget {
public:
    BarWidget(QWidget* parent, std::weak_ptr<ButtonBar> owner);
    ~BarWidget() override;
    const std::weak_ptr<ButtonBar>& Owner() const { return m_owner; }

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    friend class ButtonBar;
    void Hover(const std::string& name);
    void ShowToolTip();

    std::weak_ptr<ButtonBar> m_owner;
    std::string m_hover;
    std::string m_pressed;
    QTimer* m_toolTipDelay;
    QTimer* m_toolTipTime;
    QLabel* m_toolTip = nullptr;
};

// A button bar drawn from its definitions: each button a picture (from the
// bar's image folder) at its place, in the bar's pixels; labels; the bar's
// own picture (PictureFile) or the piece of the window's backdrop under it
// (SetBackground); nothing at all under a transparent bar without either.
//
// AddButton takes "type,picture,left,top" (or "picture,left,top"; what does
// not read as a number counts as 0). Bar scripts are read as every platform
// reads them (formats/BarScript.h). A second button under a name on the bar
// replaces its definition and keeps its place.
// States are remembered for any name, also one not on the bar. A button
// whose picture cannot be read shows as a framed blank of 24 by 24 pixels.
//
// The user reaches only what there is to see: nothing while the bar (or its
// window) is hidden or disabled; a hidden button (state 3) neither takes the
// pointer nor presses; a disabled one (state 1) is drawn greyed, takes the
// pointer but does not press. ButtonPress comes when the button is released
// under the pointer; ButtonGotFocus and ButtonLostFocus when the pointer
// enters and leaves it.
//
// Labels and button places are the bar's pixels; the main bar's width and
// height are too (its window sets them so), the other bars' are twips.
class ButtonBar final : public ContainedControl<controls::IButtonBar>,
                        public std::enable_shared_from_this<ButtonBar> {
public:
    struct Button {
        std::string name;
        std::string picture;
        int32_t left = 0;
        int32_t top = 0;
        QImage image;
    };

    static std::shared_ptr<ButtonBar> Create(Context& ctx, std::string name, Twips twips,
                                             QWidget* parent, bool sizeInPixels);
    ButtonBar(Context& ctx, std::string name, Twips twips, bool sizeInPixels);

    void Advise(controls::ButtonBarEvents events) override { m_events = std::move(events); }
    void ImageFolder(const std::string& folder) override { m_imageFolder = folder; }
    void AddButton(const std::string& buttonName, const std::string& descriptor) override;
    void SetButtonState(const std::string& buttonName, int16_t state, bool redraw) override;
    int16_t GetButtonState(const std::string& buttonName) override { return StateOf(buttonName); }
    void SetButtonToolTip(const std::string& buttonName, const std::string& text) override;
    void BeginBar(const std::string&) override {}
    void RefreshBar() override { Repaint(); }
    void EndBar(const std::string&) override { Repaint(); }
    // Raises 53 for a file that cannot be read, 5 naming the file and line
    // for a malformed one (and then adds nothing of it).
    void LoadScript(const std::string& path) override;
    void SetBackground(const Picture& picture, int16_t windowWidth, int16_t windowHeight,
                       int16_t barLeft, int16_t barTop, int16_t mode) override;
    void ZOrder(int16_t position) override;
    void PictureFile(const std::string& fileName) override;
    void Transparent(bool value) override;
    void ToolTipForeColor(int32_t colour) override { m_toolTipFore = colour; }
    void ToolTipBackColor(int32_t colour) override { m_toolTipBack = colour; }
    void ToolTipShadowColor(int32_t colour) override { m_toolTipShadow = colour; }
    void ToolTipTime(float milliseconds) override { m_toolTipTime = milliseconds; }
    void ToolTipFontSize(float size) override { m_toolTipFontSize = size; }
    void ToolTipFontBold(bool value) override { m_toolTipBold = value; }
    void FontName(int16_t fontNumber) override { m_labelStyle.fontNumber = fontNumber; }
    void FontBold(bool value) override { m_labelStyle.bold = value; }
    void FontItalic(bool value) override { m_labelStyle.italic = value; }
    void FontUnderline(bool value) override { m_labelStyle.underline = value; }
    void FontSize(const Variant& size) override;
    void ForeColor(int32_t colour) override { m_labelStyle.colour = colour; }
    void LabelMode(int16_t) override {}
    void AddLabel(int32_t& x, int32_t& y, std::string& caption) override;

    // The user, as the pointer, the keyboard and the host's scripted actions
    // reach a button. Each returns whether the event was raised.
    bool UserEnter(const std::string& buttonName);
    bool UserLeave(const std::string& buttonName);
    bool UserPress(const std::string& buttonName);

    const std::vector<Button>& Buttons() const { return m_buttons; }
    int16_t StateOf(const std::string& buttonName) const;
    std::string ToolTipOf(const std::string& buttonName) const;
    // Where a button lies on the bar (empty when it is not on it).
    QRect ButtonRect(const std::string& buttonName) const;
    // The button under a point of the bar that the pointer can find.
    std::optional<std::string> ButtonAt(QPoint point) const;
    BarWidget* View() const;

    void Destroy();

private:
    friend class BarWidget;
    struct LabelStyle {
        int16_t fontNumber = 0;
        bool bold = false;
        bool italic = false;
        bool underline = false;
        double size = 10;
        int32_t colour = 0;
    };
    struct Label {
        QPoint at;
        QString caption;
        QFont font;
        int32_t colour;
    };

    void Put(Button button);
    void Repaint();
    bool CanReach() const { return !m_destroyed && UserCanReach(); }
    std::string ButtonIndex(const std::string& buttonName) const;
    void Paint(QPainter& painter);

    controls::ButtonBarEvents m_events;
    std::vector<Button> m_buttons;
    std::map<std::string, int16_t> m_states;
    std::map<std::string, std::string> m_toolTips;
    std::string m_imageFolder;
    QImage m_picture;
    struct Backdrop {
        QImage image;
        QSize window;
    };
    std::optional<Backdrop> m_backdrop;
    bool m_transparent = false;
    int32_t m_toolTipFore = 0;
    int32_t m_toolTipBack = 0xE1FFFF;
    int32_t m_toolTipShadow = 0x808080;
    float m_toolTipTime = 1000;
    float m_toolTipFontSize = 9;
    bool m_toolTipBold = false;
    LabelStyle m_labelStyle;
    std::vector<Label> m_labels;
    bool m_destroyed = false;
};

}  // namespace scenova::qt
