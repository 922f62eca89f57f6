#include "model/ButtonBar.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <limits>
#include <string_view>

#include "formats/BarScript.h"
#include "runtime/Convert.h"

namespace scenova::model {

namespace {

int32_t WholeOrZero(std::string_view text) {
    int32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return !text.empty() && ec == std::errc() && ptr == end ? value : 0;
}

// "type,picture,left,top", or "picture,left,top" as a bar script gives it.
void ReadDefinition(ButtonBar::Button& button) {
    std::vector<std::string_view> fields;
    std::string_view rest = button.descriptor;
    for (;;) {
        const auto comma = rest.find(',');
        fields.push_back(TrimBlanks(rest.substr(0, comma)));
        if (comma == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(comma + 1);
    }
    const std::size_t at = fields.size() >= 4 ? 1 : 0;
    const auto field = [&](std::size_t i) {
        return at + i < fields.size() ? fields[at + i] : std::string_view();
    };
    button.picture = std::string(field(0));
    button.left = WholeOrZero(field(1));
    button.top = WholeOrZero(field(2));
}

}  // namespace

void ButtonBar::ImageFolder(const std::string& folder) {
    m_ctx.Put(m_name, Member::ImageFolder, folder);
    m_imageFolder = folder;
}

void ButtonBar::AddButton(const std::string& buttonName, const std::string& descriptor) {
    m_ctx.Call(m_name, Member::AddButton, buttonName, descriptor);
    Button button;
    button.name = buttonName;
    button.descriptor = descriptor;
    Put(std::move(button));
}

void ButtonBar::Put(Button button) {
    button.section = m_openSection.value_or("");
    ReadDefinition(button);
    auto it = std::find_if(m_buttons.begin(), m_buttons.end(),
                           [&](const Button& b) { return b.name == button.name; });
    if (it == m_buttons.end()) {
        it = m_buttons.insert(it, std::move(button));
    } else {
        *it = std::move(button);
    }
    ButtonAdded(*it);
    Redraw();
}

void ButtonBar::SetButtonState(const std::string& buttonName, int16_t state, bool redraw) {
    m_ctx.Call(m_name, Member::SetButtonState, buttonName, state, redraw);
    const bool was = StateOf(buttonName) == controls::button_state::Enabled;
    const bool now = state == controls::button_state::Enabled;
    m_states[buttonName] = state;
    if (was != now) {
        if (m_lastTurn && m_lastTurn->first != buttonName && m_lastTurn->second != now) {
            if (now) {
                m_takenOverBy[m_lastTurn->first] = buttonName;
            } else {
                m_takenOverBy[buttonName] = m_lastTurn->first;
            }
        }
        m_lastTurn = std::pair(buttonName, now);
    }
    if (redraw) {
        Redraw();
    }
}

int16_t ButtonBar::GetButtonState(const std::string& buttonName) {
    m_ctx.Call(m_name, Member::GetButtonState, buttonName);
    return StateOf(buttonName);
}

void ButtonBar::SetButtonToolTip(const std::string& buttonName, const std::string& text) {
    m_ctx.Call(m_name, Member::SetButtonToolTip, buttonName, text);
    m_toolTipTexts[buttonName] = text;
}

void ButtonBar::BeginBar(const std::string& barName) {
    m_ctx.Call(m_name, Member::BeginBar, barName);
    m_openSection = barName;
}

void ButtonBar::RefreshBar() {
    m_ctx.Call(m_name, Member::RefreshBar);
    ++m_refreshCount;
    Redraw();
}

void ButtonBar::EndBar(const std::string& barName) {
    m_ctx.Call(m_name, Member::EndBar, barName);
    m_closedSections.push_back(barName);
    m_openSection.reset();
    Redraw();
}

void ButtonBar::LoadScript(const std::string& path) {
    m_ctx.Call(m_name, Member::LoadScript, path);
    m_scripts.push_back(path);
    for (const formats::BarButton& button : formats::ReadBarScript(path)) {
        Button added;
        added.name = button.name;
        added.descriptor =
            button.picture + "," + std::to_string(button.left) + "," + std::to_string(button.top);
        added.script = path;
        Put(std::move(added));
    }
}

void ButtonBar::SetBackground(const Picture& picture, int16_t windowWidth, int16_t windowHeight,
                              int16_t barLeft, int16_t barTop, int16_t mode) {
    m_ctx.Call(m_name, Member::SetBackground, picture, windowWidth, windowHeight, barLeft, barTop,
               mode);
    m_background = Background{picture, windowWidth, windowHeight, barLeft, barTop, mode};
    Redraw();
}

void ButtonBar::ZOrder(int16_t position) {
    m_ctx.Call(m_name, Member::ZOrder, position);
    m_zOrder = position;
    Raised(position);
}

void ButtonBar::FontSize(const Variant& size) {
    m_ctx.Put(m_name, Member::FontSize, size);
    m_labelStyle.size = size;
}

void ButtonBar::AddLabel(int32_t& x, int32_t& y, std::string& caption) {
    m_ctx.Call(m_name, Member::AddLabel, x, y, caption);
    m_labels.push_back({x, y, caption, m_labelStyle});
    Redraw();
}

bool ButtonBar::UserEnter(const std::string& buttonName) {
    if (!UserCanReach() || !HasButton(buttonName) ||
        StateOf(buttonName) == controls::button_state::Hidden) {
        return false;
    }
    const auto handler = m_events.ButtonGotFocus;  // the handler may Advise anew
    m_ctx.Raise(m_name, Member::ButtonGotFocus, handler, buttonName, ButtonIndex(buttonName));
    return true;
}

bool ButtonBar::UserLeave(const std::string& buttonName) {
    if (!UserCanReach() || !HasButton(buttonName) ||
        StateOf(buttonName) == controls::button_state::Hidden) {
        return false;
    }
    const auto handler = m_events.ButtonLostFocus;
    m_ctx.Raise(m_name, Member::ButtonLostFocus, handler, buttonName, ButtonIndex(buttonName));
    return true;
}

bool ButtonBar::UserPress(const std::string& buttonName) {
    const int16_t state = StateOf(buttonName);
    if (!UserCanReach() || !HasButton(buttonName) || state == controls::button_state::Hidden ||
        state == controls::button_state::Disabled) {
        return false;
    }
    const auto handler = m_events.ButtonPress;
    m_ctx.Raise(m_name, Member::ButtonPress, handler, buttonName, ButtonIndex(buttonName));
    return true;
}

void ButtonBar::Destroy() {
    m_destroyed = true;
    if (m_background) {
        m_background->picture.reset();
    }
}

const ButtonBar::Button* ButtonBar::Find(const std::string& buttonName) const {
    auto it = std::find_if(m_buttons.begin(), m_buttons.end(),
                           [&](const Button& b) { return b.name == buttonName; });
    return it == m_buttons.end() ? nullptr : &*it;
}

std::optional<std::string> ButtonBar::Descriptor(const std::string& buttonName) const {
    const Button* button = Find(buttonName);
    return button ? std::optional<std::string>(button->descriptor) : std::nullopt;
}

std::string ButtonBar::ButtonIndex(const std::string& buttonName) const {
    const Button* button = Find(buttonName);
    return button ? std::to_string(button - m_buttons.data() + 1) : "0";
}

int16_t ButtonBar::StateOf(const std::string& buttonName) const {
    auto it = m_states.find(buttonName);
    return it == m_states.end() ? controls::button_state::Enabled : it->second;
}

std::optional<std::string> ButtonBar::TakenOverBy(const std::string& buttonName) const {
    std::string name = buttonName;
    // Through the buttons that gave way in turn, never round for ever.
    for (std::size_t step = 0; step < m_takenOverBy.size(); ++step) {
        const auto next = m_takenOverBy.find(name);
        if (next == m_takenOverBy.end()) {
            break;
        }
        name = next->second;
        if (HasButton(name) && StateOf(name) == controls::button_state::Enabled) {
            return name;
        }
    }
    return std::nullopt;
}

std::vector<std::string> ButtonBar::KeyButtons() const {
    std::vector<const Button*> buttons;
    for (const Button& button : m_buttons) {
        if (StateOf(button.name) == controls::button_state::Enabled) {
            buttons.push_back(&button);
        }
    }
    // In reading order, as they are seen.
    std::stable_sort(buttons.begin(), buttons.end(), [](const auto* a, const auto* b) {
        return std::pair(a->top, a->left) < std::pair(b->top, b->left);
    });
    std::vector<std::string> names;
    for (const Button* button : buttons) {
        names.push_back(button->name);
    }
    return names;
}

std::string ButtonBar::KeyboardFrom(const std::string& buttonName) const {
    const std::vector<std::string> names = KeyButtons();
    if (names.empty() || std::find(names.begin(), names.end(), buttonName) != names.end()) {
        return names.empty() ? std::string() : buttonName;
    }
    if (const auto taken = TakenOverBy(buttonName)) {
        return *taken;
    }
    const Button* was = Find(buttonName);
    if (was == nullptr) {
        return names.front();
    }
    std::string nearest = names.front();
    int64_t best = std::numeric_limits<int64_t>::max();
    for (const std::string& name : names) {
        const Button& button = *Find(name);
        const bool before = std::pair(button.top, button.left) < std::pair(was->top, was->left);
        const int64_t distance = 2 * (std::abs(int64_t{button.left} - was->left) +
                                      std::abs(int64_t{button.top} - was->top)) +
                                 (before ? 1 : 0);
        if (distance < best) {
            best = distance;
            nearest = name;
        }
    }
    return nearest;
}

std::optional<std::string> ButtonBar::ToolTip(const std::string& buttonName) const {
    auto it = m_toolTipTexts.find(buttonName);
    return it == m_toolTipTexts.end() ? std::nullopt : std::optional<std::string>(it->second);
}

}  // namespace scenova::model
