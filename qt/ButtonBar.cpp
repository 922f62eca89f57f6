#include "qt/ButtonBar.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <array>
#include <charconv>

#include "formats/BarScript.h"
#include "formats/PictureFile.h"
#include "qt/Accessibility.h"
#include "qt/Form.h"
#include "qt/Gdi.h"
#include "qt/Strings.h"
#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"

namespace scenova::qt {

namespace {

constexpr int kBlankSide = 24;
constexpr int kToolTipDelayMs = 500;

// The bar's font numbers.
QString FontFamily(int16_t number) {
    static constexpr std::array<const char*, 14> kFonts{
        "Arial",  "Courier",       "Courier New",     "Fixedsys",    "Marlett",
        "Modern", "MS Sans Serif", "MS Serif",        "Small Fonts", "Symbol",
        "System", "Terminal",      "Times New Roman", "Wingdings"};
    if (number < 1 || number > static_cast<int16_t>(kFonts.size())) {
        return QString();
    }
    return QString::fromLatin1(kFonts[static_cast<std::size_t>(number - 1)]);
}

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool ParseWhole(std::string_view text, int32_t& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return !text.empty() && ec == std::errc() && ptr == end;
}

// A button definition: "type,picture,left,top", or "picture,left,top" as a
// bar script gives it. What does not read as a number counts as 0.
ButtonBar::Button ParseDefinition(const std::string& name, std::string_view descriptor) {
    std::vector<std::string_view> fields;
    for (;;) {
        const auto comma = descriptor.find(',');
        fields.push_back(Trim(descriptor.substr(0, comma)));
        if (comma == std::string_view::npos) {
            break;
        }
        descriptor.remove_prefix(comma + 1);
    }
    ButtonBar::Button button;
    button.name = name;
    const std::size_t at = fields.size() >= 4 ? 1 : 0;
    const auto field = [&](std::size_t i) {
        return at + i < fields.size() ? fields[at + i] : std::string_view();
    };
    button.picture = std::string(field(0));
    if (!ParseWhole(field(1), button.left)) {
        button.left = 0;
    }
    if (!ParseWhole(field(2), button.top)) {
        button.top = 0;
    }
    return button;
}

QImage Greyed(const QImage& image) {
    QImage grey = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < grey.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            const int g = qGray(line[x]);
            const int light = 128 + g / 2;
            line[x] = qRgba(light, light, light, qAlpha(line[x]));
        }
    }
    return grey;
}

}  // namespace

BarWidget::BarWidget(QWidget* parent, std::weak_ptr<ButtonBar> owner)
    : QWidget(parent),
      m_owner(std::move(owner)),
      m_toolTipDelay(new QTimer(this)),
      m_toolTipTime(new QTimer(this)) {
    InstallAccessibility();
    setMouseTracking(true);
    m_toolTipDelay->setSingleShot(true);
    m_toolTipTime->setSingleShot(true);
    connect(m_toolTipDelay, &QTimer::timeout, this, [this] { ShowToolTip(); });
    connect(m_toolTipTime, &QTimer::timeout, this, [this] {
        if (m_toolTip) {
            m_toolTip->hide();
        }
    });
}

BarWidget::~BarWidget() {
    delete m_toolTip;
}

void BarWidget::paintEvent(QPaintEvent*) {
    if (const auto owner = m_owner.lock()) {
        QPainter painter(this);
        owner->Paint(painter);
    }
}

void BarWidget::mouseMoveEvent(QMouseEvent* event) {
    const auto owner = m_owner.lock();
    if (!owner) {
        return;
    }
    Hover(owner->ButtonAt(event->position().toPoint()).value_or(std::string()));
}

void BarWidget::mousePressEvent(QMouseEvent* event) {
    const auto owner = m_owner.lock();
    if (!owner || event->button() != Qt::LeftButton) {
        return;
    }
    const auto button = owner->ButtonAt(event->position().toPoint());
    m_pressed = button && owner->StateOf(*button) == controls::button_state::Enabled
                    ? *button
                    : std::string();
    update();
}

void BarWidget::mouseReleaseEvent(QMouseEvent* event) {
    const auto owner = m_owner.lock();
    const std::string pressed = std::exchange(m_pressed, std::string());
    update();
    if (!owner || event->button() != Qt::LeftButton || pressed.empty()) {
        return;
    }
    if (owner->ButtonAt(event->position().toPoint()) == pressed) {
        owner->UserPress(pressed);
    }
}

void BarWidget::leaveEvent(QEvent* event) {
    Hover(std::string());
    QWidget::leaveEvent(event);
}

void BarWidget::Hover(const std::string& name) {
    if (name == m_hover) {
        return;
    }
    const std::string left = std::exchange(m_hover, name);
    m_toolTipDelay->stop();
    if (m_toolTip) {
        m_toolTip->hide();
    }
    update();
    const auto owner = m_owner.lock();
    if (!owner) {
        return;
    }
    if (!left.empty()) {
        owner->UserLeave(left);
    }
    if (!name.empty() && m_hover == name) {
        owner->UserEnter(name);
        if (!owner->ToolTipOf(name).empty()) {
            m_toolTipDelay->start(kToolTipDelayMs);
        }
    }
}

void BarWidget::ShowToolTip() {
    const auto owner = m_owner.lock();
    if (!owner || m_hover.empty()) {
        return;
    }
    if (!m_toolTip) {
        m_toolTip = new QLabel(nullptr, Qt::ToolTip | Qt::FramelessWindowHint);
        m_toolTip->setMargin(3);
    }
    QFont font = m_toolTip->font();
    if (owner->m_toolTipFontSize > 0) {
        font.setPointSizeF(owner->m_toolTipFontSize);
    }
    font.setBold(owner->m_toolTipBold);
    m_toolTip->setFont(font);
    // The tooltip's shadow is its right and bottom edge.
    m_toolTip->setStyleSheet(QStringLiteral("QLabel { color: %1; background: %2; "
                                            "border: 1px solid %3; border-right-width: 3px; "
                                            "border-bottom-width: 3px; }")
                                 .arg(ToQColor(owner->m_toolTipFore).name(),
                                      ToQColor(owner->m_toolTipBack).name(),
                                      ToQColor(owner->m_toolTipShadow).name()));
    m_toolTip->setText(ToQString(owner->ToolTipOf(m_hover)));
    m_toolTip->adjustSize();
    const QRect button = owner->ButtonRect(m_hover);
    m_toolTip->move(mapToGlobal(button.bottomLeft() + QPoint(0, 4)));
    m_toolTip->show();
    m_toolTipTime->start(std::clamp(static_cast<int>(owner->m_toolTipTime), 100, 60000));
}

std::shared_ptr<ButtonBar> ButtonBar::Create(Context& ctx, std::string name, Twips twips,
                                             QWidget* parent, bool sizeInPixels) {
    auto bar = std::make_shared<ButtonBar>(ctx, std::move(name), twips, sizeInPixels);
    bar->Attach(new BarWidget(parent, bar));
    return bar;
}

ButtonBar::ButtonBar(Context& ctx, std::string name, Twips twips, bool sizeInPixels)
    : ContainedControl(ctx, std::move(name), twips, sizeInPixels) {}

BarWidget* ButtonBar::View() const {
    return static_cast<BarWidget*>(m_widget.data());
}

void ButtonBar::AddButton(const std::string& buttonName, const std::string& descriptor) {
    Put(ParseDefinition(buttonName, descriptor));
}

void ButtonBar::Put(Button button) {
    try {
        button.image = ToQImage(formats::ReadPictureFile(m_imageFolder + "/" + button.picture));
    } catch (const RuntimeError&) {
        // Shown as a blank: the bar still works without its picture.
    }
    auto it = std::find_if(m_buttons.begin(), m_buttons.end(),
                           [&](const Button& b) { return b.name == button.name; });
    if (it != m_buttons.end()) {
        *it = std::move(button);
    } else {
        m_buttons.push_back(std::move(button));
    }
    Repaint();
}

void ButtonBar::SetButtonState(const std::string& buttonName, int16_t state, bool redraw) {
    m_states[buttonName] = state;
    if (redraw) {
        Repaint();
    }
}

void ButtonBar::SetButtonToolTip(const std::string& buttonName, const std::string& text) {
    m_toolTips[buttonName] = text;
    if (m_widget) {
        m_widget->update();
    }
}

void ButtonBar::LoadScript(const std::string& path) {
    for (const formats::BarButton& button : formats::ReadBarScript(path)) {
        Put({button.name, button.picture, button.left, button.top, QImage()});
    }
}

void ButtonBar::SetBackground(const Picture& picture, int16_t windowWidth, int16_t windowHeight,
                              int16_t, int16_t, int16_t) {
    m_backdrop = Backdrop{ImageOf(picture), QSize(windowWidth, windowHeight)};
    Repaint();
}

void ButtonBar::ZOrder(int16_t position) {
    if (m_widget) {
        if (position == 0) {
            m_widget->raise();
        } else {
            m_widget->lower();
        }
    }
}

void ButtonBar::PictureFile(const std::string& fileName) {
    try {
        m_picture = ToQImage(formats::ReadPictureFile(m_imageFolder + "/" + fileName));
    } catch (const RuntimeError&) {
        m_picture = QImage();  // as a bar without a picture
    }
    Repaint();
}

void ButtonBar::Transparent(bool value) {
    m_transparent = value;
    Repaint();
}

void ButtonBar::FontSize(const Variant& size) {
    m_labelStyle.size = ToDouble(size);
}

void ButtonBar::AddLabel(int32_t& x, int32_t& y, std::string& caption) {
    QFont font;
    const QString family = FontFamily(m_labelStyle.fontNumber);
    if (!family.isEmpty()) {
        font.setFamilies({family});
    }
    if (m_labelStyle.size > 0) {
        font.setPointSizeF(m_labelStyle.size);
    }
    font.setBold(m_labelStyle.bold);
    font.setItalic(m_labelStyle.italic);
    font.setUnderline(m_labelStyle.underline);
    m_labels.push_back({QPoint(x, y), ToQString(caption), font, m_labelStyle.colour});
    Repaint();
}

bool ButtonBar::UserEnter(const std::string& buttonName) {
    if (!CanReach() || ButtonIndex(buttonName) == "0" ||
        StateOf(buttonName) == controls::button_state::Hidden) {
        return false;
    }
    const auto handler = m_events.ButtonGotFocus;  // the handler may Advise anew
    m_ctx.Raise(m_name, "ButtonGotFocus", handler, buttonName, ButtonIndex(buttonName));
    return true;
}

bool ButtonBar::UserLeave(const std::string& buttonName) {
    if (!CanReach() || ButtonIndex(buttonName) == "0" ||
        StateOf(buttonName) == controls::button_state::Hidden) {
        return false;
    }
    const auto handler = m_events.ButtonLostFocus;
    m_ctx.Raise(m_name, "ButtonLostFocus", handler, buttonName, ButtonIndex(buttonName));
    return true;
}

bool ButtonBar::UserPress(const std::string& buttonName) {
    const int16_t state = StateOf(buttonName);
    if (!CanReach() || ButtonIndex(buttonName) == "0" || state == controls::button_state::Hidden ||
        state == controls::button_state::Disabled) {
        return false;
    }
    const auto handler = m_events.ButtonPress;
    m_ctx.Raise(m_name, "ButtonPress", handler, buttonName, ButtonIndex(buttonName));
    return true;
}

int16_t ButtonBar::StateOf(const std::string& buttonName) const {
    auto it = m_states.find(buttonName);
    return it == m_states.end() ? controls::button_state::Enabled : it->second;
}

std::string ButtonBar::ToolTipOf(const std::string& buttonName) const {
    auto it = m_toolTips.find(buttonName);
    return it == m_toolTips.end() ? std::string() : it->second;
}

QRect ButtonBar::ButtonRect(const std::string& buttonName) const {
    for (const Button& button : m_buttons) {
        if (button.name == buttonName) {
            const QSize size =
                button.image.isNull() ? QSize(kBlankSide, kBlankSide) : button.image.size();
            return QRect(QPoint(button.left, button.top), size);
        }
    }
    return QRect();
}

std::optional<std::string> ButtonBar::ButtonAt(QPoint point) const {
    for (auto it = m_buttons.rbegin(); it != m_buttons.rend(); ++it) {
        if (StateOf(it->name) != controls::button_state::Hidden &&
            ButtonRect(it->name).contains(point)) {
            return it->name;
        }
    }
    return std::nullopt;
}

void ButtonBar::Destroy() {
    m_destroyed = true;
    m_backdrop.reset();
}

void ButtonBar::Repaint() {
    if (m_widget) {
        m_widget->update();
    }
}

std::string ButtonBar::ButtonIndex(const std::string& buttonName) const {
    for (std::size_t i = 0; i < m_buttons.size(); ++i) {
        if (m_buttons[i].name == buttonName) {
            return std::to_string(i + 1);
        }
    }
    return "0";
}

void ButtonBar::Paint(QPainter& painter) {
    const BarWidget* view = View();
    if (m_backdrop && !m_backdrop->image.isNull()) {
        // The piece of the window's backdrop under the bar.
        const QRect window(-view->pos(), m_backdrop->window.isEmpty() ? m_backdrop->image.size()
                                                                      : m_backdrop->window);
        painter.drawImage(window, m_backdrop->image);
    } else if (!m_picture.isNull()) {
        painter.drawImage(0, 0, m_picture);
    } else if (!m_transparent) {
        painter.fillRect(view->rect(), view->palette().window());
    }
    for (const Label& label : m_labels) {
        painter.setFont(label.font);
        painter.setPen(ToQColor(label.colour));
        painter.drawText(QRect(label.at, QSize(10000, 10000)), Qt::AlignLeft | Qt::AlignTop,
                         label.caption);
    }
    for (const Button& button : m_buttons) {
        const int16_t state = StateOf(button.name);
        if (state == controls::button_state::Hidden) {
            continue;
        }
        const bool enabled = state == controls::button_state::Enabled && view->isEnabled();
        QRect place = ButtonRect(button.name);
        if (enabled && view->m_pressed == button.name && view->m_hover == button.name) {
            place.translate(1, 1);
        }
        if (button.image.isNull()) {
            painter.fillRect(place, QColor(236, 236, 236));
            painter.setPen(Qt::gray);
            painter.drawRect(place.adjusted(0, 0, -1, -1));
        } else {
            painter.drawImage(place.topLeft(), enabled ? button.image : Greyed(button.image));
        }
        if (enabled && view->m_hover == button.name) {
            painter.setPen(QPen(QColor(255, 255, 255, 200), 2));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(place.adjusted(1, 1, -1, -1));
        }
    }
}

}  // namespace scenova::qt
