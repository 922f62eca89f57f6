#include "qt/ButtonBar.h"

#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <array>
#include <limits>
#include <utility>

#include "formats/PictureFile.h"
#include "qt/Accessibility.h"
#include "qt/Drawing.h"
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

QFont LabelFont(const ButtonBar::LabelStyle& style) {
    QFont font;
    const QString family = FontFamily(style.fontNumber);
    if (!family.isEmpty()) {
        font.setFamilies({family});
    }
    double size = 10;
    try {
        size = IsEmpty(style.size) ? size : ToDouble(style.size);
    } catch (const RuntimeError&) {
        // a size that is no number: the default
    }
    if (size > 0) {
        font.setPointSizeF(size);
    }
    font.setBold(style.bold);
    font.setItalic(style.italic);
    font.setUnderline(style.underline);
    return font;
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
    // The keyboard's, by Tab: a click presses a button without taking it.
    setFocusPolicy(Qt::TabFocus);
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

std::vector<std::string> BarWidget::KeyButtons() const {
    const auto owner = m_owner.lock();
    return owner ? owner->KeyButtons() : std::vector<std::string>();
}

std::string BarWidget::KeyButton() const {
    const auto owner = m_owner.lock();
    return hasFocus() && owner ? owner->KeyboardFrom(m_keyButton) : std::string();
}

void BarWidget::AnnounceKeyButton() {
    const auto owner = m_owner.lock();
    if (!owner) {
        return;
    }
    int index = 0;
    for (const ButtonBar::Button& button : owner->Buttons()) {
        if (button.name == m_keyButton) {
            AnnounceFocusedChild(this, index);
            return;
        }
        index += owner->StateOf(button.name) != controls::button_state::Hidden ? 1 : 0;
    }
}

void BarWidget::keyPressEvent(QKeyEvent* event) {
    if (!std::exchange(m_keyboardSeen, true)) {
        update();
    }
    const auto owner = m_owner.lock();
    const std::string button = KeyButton();
    // Space is the window's (Play or Stop) wherever the keyboard is.
    const bool press = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!owner || button.empty() || !press || (event->modifiers() & ~Qt::KeypadModifier)) {
        event->ignore();  // the window's keys go on to it
        return;
    }
    m_keyButton = button;
    owner->UserPress(button);
    update();
}

void BarWidget::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    const std::vector<std::string> names = KeyButtons();
    if (names.empty()) {
        // Nothing to press here: the keyboard goes on past the bar.
        QWidget::focusNextPrevChild(event->reason() != Qt::BacktabFocusReason);
        return;
    }
    m_keyboardSeen = event->reason() == Qt::TabFocusReason ||
                     event->reason() == Qt::BacktabFocusReason ||
                     event->reason() == Qt::ShortcutFocusReason;
    if (event->reason() == Qt::TabFocusReason) {
        m_keyButton = names.front();
    } else if (event->reason() == Qt::BacktabFocusReason) {
        m_keyButton = names.back();
    } else {
        m_keyButton = KeyButton();
    }
    AnnounceKeyButton();
    update();
}

void BarWidget::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    m_keyboardSeen = false;
    update();
}

bool BarWidget::focusNextPrevChild(bool next) {
    const std::vector<std::string> names = KeyButtons();
    const auto at = std::find(names.begin(), names.end(), KeyButton());
    if (hasFocus() && at != names.end() && !m_keyboardSeen) {
        // The keyboard's first Tab shows where it is before moving it.
        m_keyboardSeen = true;
        AnnounceKeyButton();
        update();
        return true;
    }
    if (hasFocus() && at != names.end()) {
        const auto index = at - names.begin() + (next ? 1 : -1);
        if (index >= 0 && index < static_cast<std::ptrdiff_t>(names.size())) {
            m_keyButton = names[static_cast<std::size_t>(index)];
            m_keyboardSeen = true;
            AnnounceKeyButton();
            update();
            return true;
        }
    }
    return QWidget::focusNextPrevChild(next);
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
        // The lesson's text, shown as it is: never read as markup.
        m_toolTip->setTextFormat(Qt::PlainText);
    }
    const auto& style = owner->ToolTips();
    QFont font = m_toolTip->font();
    if (style.fontSize > 0) {
        font.setPointSizeF(style.fontSize);
    }
    font.setBold(style.fontBold);
    m_toolTip->setFont(font);
    // The tooltip's shadow is its right and bottom edge.
    m_toolTip->setStyleSheet(QStringLiteral("QLabel { color: %1; background: %2; "
                                            "border: 1px solid %3; border-right-width: 3px; "
                                            "border-bottom-width: 3px; }")
                                 .arg(ToQColor(style.foreColor).name(),
                                      ToQColor(style.backColor).name(),
                                      ToQColor(style.shadowColor).name()));
    m_toolTip->setText(ToQString(owner->ToolTipOf(m_hover)));
    m_toolTip->adjustSize();
    const QRect button = owner->ShownRect(m_hover);
    m_toolTip->move(mapToGlobal(button.bottomLeft() + QPoint(0, 4)));
    m_toolTip->show();
    m_toolTipTime->start(static_cast<int>(std::clamp(style.time, 100.0f, 60000.0f)));
}

std::shared_ptr<ButtonBar> ButtonBar::Create(Context& ctx, std::string name, Twips twips,
                                             QWidget* parent, bool sizeInPixels, Gdi& gdi) {
    auto bar = std::make_shared<ButtonBar>(ctx, std::move(name), twips, sizeInPixels, gdi);
    bar->Attach(new BarWidget(parent, bar));
    return bar;
}

ButtonBar::ButtonBar(Context& ctx, std::string name, Twips twips, bool sizeInPixels, Gdi& gdi)
    : ContainedControl(ctx, std::move(name), twips, sizeInPixels), m_gdi(gdi) {}

BarWidget* ButtonBar::View() const {
    return static_cast<BarWidget*>(m_widget.data());
}

void ButtonBar::ButtonAdded(const Button& button) {
    QImage image = m_gdi.Shown(ImageFolder() + "/" + button.picture);
    if (image.isNull()) {
        m_images.erase(button.name);  // shown as a blank: the bar still works
    } else {
        m_images[button.name] = std::move(image);
    }
}

void ButtonBar::Redraw() {
    const std::string picture = PictureFile().empty() ? "" : ImageFolder() + "/" + PictureFile();
    if (picture != m_pictureRead) {
        m_pictureRead = picture;
        // One that cannot be read: as a bar without a picture.
        m_picture = picture.empty() ? QImage() : m_gdi.Shown(picture);
    }
    if (m_widget) {
        m_widget->update();
    }
}

void ButtonBar::Raised(int16_t position) {
    if (m_widget) {
        if (position == 0) {
            m_widget->raise();
        } else {
            m_widget->lower();
        }
    }
}

QRect ButtonBar::ButtonRect(const std::string& buttonName) const {
    for (const Button& button : Buttons()) {
        if (button.name == buttonName) {
            const auto image = m_images.find(button.name);
            const QSize size =
                image == m_images.end() ? QSize(kBlankSide, kBlankSide) : image->second.size();
            return QRect(QPoint(button.left, button.top), size);
        }
    }
    return QRect();
}

QRect ButtonBar::ShownRect(const std::string& buttonName) const {
    const double scale = ScaleOf(m_widget);
    const QRect own = ButtonRect(buttonName);
    return QRectF(QPointF(own.topLeft()) * scale, QSizeF(own.size()) * scale).toAlignedRect();
}

std::optional<std::string> ButtonBar::ButtonAt(QPoint shown) const {
    const QPoint point = (QPointF(shown) / ScaleOf(m_widget)).toPoint();
    for (auto it = Buttons().rbegin(); it != Buttons().rend(); ++it) {
        if (StateOf(it->name) != controls::button_state::Hidden &&
            ButtonRect(it->name).contains(point)) {
            return it->name;
        }
    }
    return std::nullopt;
}

void ButtonBar::Paint(QPainter& painter) {
    const BarWidget* view = View();
    const double scale = ScaleOf(view);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.scale(scale, scale);
    const auto& background = BackgroundSet();
    const QImage backdrop = background ? ImageOf(background->picture) : QImage();
    if (!backdrop.isNull()) {
        // The piece of the window's backdrop under the bar.
        const QSize window(background->windowWidth, background->windowHeight);
        painter.drawImage(QRectF(-QPointF(view->pos()) / scale,
                                 QSizeF(window.isEmpty() ? backdrop.size() : window)),
                          backdrop);
    } else if (!m_picture.isNull()) {
        painter.drawImage(0, 0, m_picture);
    } else if (!Transparent()) {
        painter.fillRect(QRectF(0, 0, view->width() / scale, view->height() / scale),
                         view->palette().window());
    }
    for (const Label& label : Labels()) {
        painter.setFont(LabelFont(label.style));
        painter.setPen(ToQColor(label.style.foreColor));
        painter.drawText(QRect(QPoint(label.x, label.y), QSize(10000, 10000)),
                         Qt::AlignLeft | Qt::AlignTop, ToQString(label.caption));
    }
    for (const Button& button : Buttons()) {
        const int16_t state = StateOf(button.name);
        if (state == controls::button_state::Hidden) {
            continue;
        }
        const bool enabled = state == controls::button_state::Enabled && view->isEnabled();
        QRect place = ButtonRect(button.name);
        if (enabled && view->m_pressed == button.name && view->m_hover == button.name) {
            place.translate(1, 1);
        }
        const auto image = m_images.find(button.name);
        if (image == m_images.end()) {
            painter.fillRect(place, QColor(236, 236, 236));
            painter.setPen(Qt::gray);
            painter.drawRect(place.adjusted(0, 0, -1, -1));
        } else {
            painter.drawImage(place.topLeft(), enabled ? image->second : Greyed(image->second));
        }
        if (enabled && view->m_hover == button.name) {
            painter.setPen(QPen(QColor(255, 255, 255, 200), 2));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(place.adjusted(1, 1, -1, -1));
        }
    }
    const std::string key = view->KeyButton();
    if (!key.empty() && view->m_keyboardSeen) {
        painter.resetTransform();
        const qreal out = kFocusRingWidth - 1;
        DrawFocusRing(painter, QRectF(ShownRect(key)).adjusted(-out, -out, out, out));
    }
}

}  // namespace scenova::qt
