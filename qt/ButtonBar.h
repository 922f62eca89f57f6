#pragma once

#include <QImage>
#include <QWidget>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/ButtonBar.h"
#include "qt/ContainedControl.h"

class QLabel;
class QTimer;

namespace scenova::qt {

class ButtonBar;
class Gdi;

// Draws the bar and takes the pointer: buttons light up under it, press
// down under the button, and their tooltips come after a moment.
class BarWidget final : public QWidget {
public:
    BarWidget(QWidget* parent, std::weak_ptr<ButtonBar> owner);
    ~BarWidget() override;
    const std::weak_ptr<ButtonBar>& Owner() const { return m_owner; }
    // The button the keyboard is on while the bar has the focus: Tab goes
    // through the enabled buttons in turn, Enter presses one.
    std::string KeyButton() const;

protected:
    void paintEvent(QPaintEvent*) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    friend class ButtonBar;
    void Hover(const std::string& name);
    void ShowToolTip();
    // The enabled buttons, in the order the keyboard takes them.
    std::vector<std::string> KeyButtons() const;
    // Tells a screen reader of the button the keyboard moved to.
    void AnnounceKeyButton();

    std::weak_ptr<ButtonBar> m_owner;
    std::string m_keyButton;
    bool m_keyboardSeen = false;  // the frame shows once the keyboard is used
    std::string m_hover;
    std::string m_pressed;
    QTimer* m_toolTipDelay;
    QTimer* m_toolTipTime;
    QLabel* m_toolTip = nullptr;
};

// A button bar drawn from the model's definitions: each button a picture
// (from the bar's image folder) at its place, in the bar's pixels; labels
// with the bar's font numbers; the bar's own picture (PictureFile) or the
// piece of the window's backdrop under it (SetBackground); nothing at all
// under a transparent bar without either. A button whose picture cannot be
// read shows as a framed blank of 24 by 24 pixels. A disabled button is
// drawn greyed. ButtonPress comes when the button is released under the
// pointer; ButtonGotFocus and ButtonLostFocus when the pointer enters and
// leaves it. The main bar's width and height are pixels (its window sets
// them so), the other bars' are twips.
class ButtonBar final : public ContainedControl<model::ButtonBar>,
                        public std::enable_shared_from_this<ButtonBar> {
public:
    static std::shared_ptr<ButtonBar> Create(Context& ctx, std::string name, Twips twips,
                                             QWidget* parent, bool sizeInPixels, Gdi& gdi);
    ButtonBar(Context& ctx, std::string name, Twips twips, bool sizeInPixels, Gdi& gdi);

    std::string ToolTipOf(const std::string& buttonName) const {
        return ToolTip(buttonName).value_or(std::string());
    }
    // Where a button lies on the bar (empty when it is not on it), in the
    // bar's own pixels and as shown on the widget (at the window's scale).
    QRect ButtonRect(const std::string& buttonName) const;
    QRect ShownRect(const std::string& buttonName) const;
    // The button under a point of the widget that the pointer can find.
    std::optional<std::string> ButtonAt(QPoint point) const;
    BarWidget* View() const;

private:
    friend class BarWidget;

    void Redraw() override;
    void ButtonAdded(const Button& button) override;
    void Raised(int16_t position) override;
    void Paint(QPainter& painter);

    Gdi& m_gdi;                              // the lesson's pictures
    std::map<std::string, QImage> m_images;  // by button name
    // The bar's picture, and the file it was read from.
    QImage m_picture;
    std::string m_pictureRead;
};

}  // namespace scenova::qt
