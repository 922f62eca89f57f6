#include "qt/Accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include <algorithm>
#include <map>
#include <memory>
#include <string>

#include "qt/ButtonBar.h"
#include "qt/RichText.h"
#include "qt/Strings.h"

namespace scenova::qt {

namespace {

// A part of a widget that has no widget of its own (a button, a line),
// owned by the accessibility cache and dropped with its parent's interface.
class PartAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    explicit PartAccessible(QWidget* widget) : m_widget(widget) {}

    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        return m_widget ? m_widget->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(m_widget);
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    void setText(QAccessible::Text, const QString&) override {}
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

protected:
    QPointer<QWidget> m_widget;
};

class ButtonAccessible final : public PartAccessible {
public:
    ButtonAccessible(BarWidget* widget, std::weak_ptr<ButtonBar> bar, std::string name)
        : PartAccessible(widget), m_bar(std::move(bar)), m_name(std::move(name)) {}

    bool isValid() const override { return m_widget && !m_bar.expired(); }
    QString text(QAccessible::Text t) const override {
        const auto bar = m_bar.lock();
        if (!bar || t != QAccessible::Name) {
            return QString();
        }
        const std::string tip = bar->ToolTipOf(m_name);
        return ToQString(tip.empty() ? m_name : tip);
    }
    QRect rect() const override {
        const auto bar = m_bar.lock();
        if (!bar || !m_widget) {
            return QRect();
        }
        const QRect place = bar->ShownRect(m_name);
        return QRect(m_widget->mapToGlobal(place.topLeft()), place.size());
    }
    QAccessible::Role role() const override { return QAccessible::Button; }
    QAccessible::State state() const override {
        QAccessible::State state;
        const auto bar = m_bar.lock();
        state.disabled = !bar || bar->StateOf(m_name) != controls::button_state::Enabled ||
                         !m_widget || !m_widget->isEnabled();
        state.invisible = !m_widget || !m_widget->isVisible();
        state.focusable = !state.disabled;
        state.focused =
            bar && m_widget && static_cast<BarWidget*>(m_widget.data())->KeyButton() == m_name;
        return state;
    }
    void doAction(const QString& action) override {
        if (const auto bar = m_bar.lock(); bar && action == pressAction()) {
            bar->UserPress(m_name);
        }
    }

private:
    std::weak_ptr<ButtonBar> m_bar;
    std::string m_name;
};

class LineAccessible final : public PartAccessible {
public:
    LineAccessible(TranscriptView* view, std::weak_ptr<RichText> text, int32_t link)
        : PartAccessible(view), m_text(std::move(text)), m_link(link) {}

    bool isValid() const override {
        const auto text = m_text.lock();
        return m_widget && text && m_link < static_cast<int32_t>(text->Links().size());
    }
    QString text(QAccessible::Text t) const override {
        if (!isValid() || t != QAccessible::Name) {
            return QString();
        }
        return ToQString(m_text.lock()->LinkName(m_link));
    }
    QRect rect() const override { return QRect(); }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.focusable = true;
        state.selectable = true;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        const auto text = m_text.lock();
        const RichText::Link& link = text->Links()[static_cast<std::size_t>(m_link)];
        // The lines of the block playing: told as a state, not only by colour.
        state.selected = text->IsHighlighted(link.start);
        state.focused = m_widget->hasFocus() && text->KeyboardLink() == m_link;
        return state;
    }
    void doAction(const QString& action) override {
        if (action == pressAction() && isValid()) {
            m_text.lock()->UserClickLink(m_link, 1);
        }
    }
    int32_t Link() const { return m_link; }

private:
    std::weak_ptr<RichText> m_text;
    int32_t m_link;
};

// A widget whose parts are children: made on demand, kept by key, dropped
// with the widget's interface.
template <class Key>
class PartsOwner : public QAccessibleWidget {
public:
    using QAccessibleWidget::QAccessibleWidget;
    ~PartsOwner() override {
        for (const auto& [key, id] : m_parts) {
            QAccessible::deleteAccessibleInterface(id);
        }
    }
    PartsOwner(const PartsOwner&) = delete;
    PartsOwner& operator=(const PartsOwner&) = delete;

protected:
    template <class Make>
    QAccessibleInterface* Part(const Key& key, Make&& make) const {
        auto it = m_parts.find(key);
        if (it != m_parts.end()) {
            if (QAccessibleInterface* part = QAccessible::accessibleInterface(it->second)) {
                return part;
            }
        }
        QAccessibleInterface* part = make();
        m_parts[key] = QAccessible::registerAccessibleInterface(part);
        return part;
    }

private:
    mutable std::map<Key, QAccessible::Id> m_parts;
};

class BarAccessible final : public PartsOwner<std::string> {
public:
    BarAccessible(BarWidget* widget, std::weak_ptr<ButtonBar> bar)
        : PartsOwner(widget, QAccessible::ToolBar), m_bar(std::move(bar)) {}

    int childCount() const override { return static_cast<int>(Shown().size()); }
    QAccessibleInterface* child(int index) const override {
        const std::vector<std::string> shown = Shown();
        if (index < 0 || index >= static_cast<int>(shown.size())) {
            return nullptr;
        }
        const std::string& name = shown[static_cast<std::size_t>(index)];
        return Part(name, [&] {
            return new ButtonAccessible(static_cast<BarWidget*>(widget()), m_bar, name);
        });
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (int i = 0; i < childCount(); ++i) {
            if (this->child(i) == child) {
                return i;
            }
        }
        return -1;
    }

    QAccessibleInterface* focusChild() const override {
        const std::vector<std::string> shown = Shown();
        const std::string key = static_cast<BarWidget*>(widget())->KeyButton();
        const auto at = std::find(shown.begin(), shown.end(), key);
        return key.empty() || at == shown.end() ? nullptr
                                                : child(static_cast<int>(at - shown.begin()));
    }

private:
    // The buttons a user can find: all but the hidden ones.
    std::vector<std::string> Shown() const {
        std::vector<std::string> names;
        if (const auto bar = m_bar.lock()) {
            for (const ButtonBar::Button& button : bar->Buttons()) {
                if (bar->StateOf(button.name) != controls::button_state::Hidden) {
                    names.push_back(button.name);
                }
            }
        }
        return names;
    }

    std::weak_ptr<ButtonBar> m_bar;
};

class TranscriptAccessible final : public PartsOwner<int32_t> {
public:
    TranscriptAccessible(TranscriptView* view, std::weak_ptr<RichText> text)
        : PartsOwner(view, QAccessible::List, QStringLiteral("Transcript")),
          m_text(std::move(text)) {}

    int childCount() const override {
        const auto text = m_text.lock();
        return text ? static_cast<int>(text->Links().size()) : 0;
    }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount()) {
            return nullptr;
        }
        return Part(index, [&] {
            return new LineAccessible(static_cast<TranscriptView*>(widget()), m_text, index);
        });
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto* line = dynamic_cast<const LineAccessible*>(child);
        return line && line->isValid() ? line->Link() : -1;
    }
    QAccessibleInterface* focusChild() const override {
        const int index = FocusIndex();
        return index >= 0 && widget()->hasFocus() ? child(index) : nullptr;
    }
    // While a line has the keyboard, it alone reports the focus.
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.focused = state.focused && focusChild() == nullptr;
        return state;
    }

private:
    int FocusIndex() const {
        const auto text = m_text.lock();
        return text ? text->KeyboardLink() : -1;
    }

    std::weak_ptr<RichText> m_text;
};

QAccessibleInterface* Factory(const QString&, QObject* object) {
    if (auto* bar = dynamic_cast<BarWidget*>(object)) {
        return new BarAccessible(bar, bar->Owner());
    }
    if (auto* view = dynamic_cast<TranscriptView*>(object)) {
        return new TranscriptAccessible(view, view->Owner());
    }
    return nullptr;
}

}  // namespace

void InstallAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(&Factory);
        return true;
    }();
    (void)installed;
}

void AnnounceFocusedChild(QWidget* parent, int index) {
    if (!QAccessible::isActive() || parent == nullptr) {
        return;
    }
    if (QAccessibleInterface* whole = QAccessible::queryAccessibleInterface(parent)) {
        if (QAccessibleInterface* child = whole->child(index)) {
            QAccessibleEvent event(child, QAccessible::Focus);
            QAccessible::updateAccessibility(&event);
        }
    }
}

void AnnounceHighlight(QWidget* transcript, int32_t firstLink, int32_t lastLink) {
    if (!QAccessible::isActive() || transcript == nullptr) {
        return;
    }
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(transcript);
    for (int32_t link = firstLink; list && link <= lastLink; ++link) {
        if (QAccessibleInterface* line = list->child(link)) {
            QAccessible::State changed;
            changed.selected = true;
            QAccessibleStateChangeEvent event(line, changed);
            QAccessible::updateAccessibility(&event);
        }
    }
}

}  // namespace scenova::qt
