#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "runtime/Collection.h"
#include "runtime/Convert.h"
#include "runtime/ResumeNext.h"
#include "runtime/Variant.h"
#include "settings/SettingsObserver.h"
#include "settings/ValueParsers.h"
#include "window/frmScenova.h"

namespace scenova {

enum class Axis { X, Y };

// Several targets that take the same value, each set by a statement of its
// own, so that one that fails does not keep the others from being set.
template <class T>
struct Each {
    std::vector<std::function<void(T)>> targets;
};

// Applies setting rows under the skip-and-go-on error model of the settings
// procedures. Every statement is one call of Do: a run-time error skips it and
// empties the value text. A row reads its key (a missing key leaves the value
// text empty, as its failed lookup does; it is looked up with TryItem, so
// that the many keys a lesson leaves out raise no error each), forms the
// value (the text, or 0 when empty) and assigns the converted value, or its
// default when the value text is empty. The conversion is worked out in
// either case, so text that does not convert fails the assignment and the
// target keeps what it held.
//
// A target is a variable, a callable taking the value, or an Each.
class SettingsReader {
public:
    SettingsReader(ICollection& settings, frmScenova& window)
        : m_settings(settings),
          m_window(window),
          m_observer(dynamic_cast<SettingsObserver*>(&settings)) {}

    // The value text: the key read last, empty after a failed statement.
    const std::string& Text() const { return m_text; }

    template <class Statement>
    bool Do(Statement&& statement) {
        if (m_observer == nullptr) {
            return m_step(std::forward<Statement>(statement));
        }
        return m_step([&] {
            try {
                statement();
            } catch (const RuntimeError& error) {
                m_observer->SettingFailed(m_key, error);
                throw;
            }
        });
    }

    // Reads a key into the value text and forms the value.
    void Read(std::string_view key);
    // The statements from here on belong to no key.
    void EndOfKeys() { m_key.clear(); }

    // Pixels converted to twips with the window's own conversion; the
    // default is twips as it stands.
    template <class Default, class... Targets>
    void Pixels(std::string_view key, Axis axis, Default fallback, Targets&&... targets) {
        Row(
            key, [this, axis](const Variant& v) { return Twips(axis, ToSingle(v)); }, fallback,
            targets...);
    }
    template <class Default, class... Targets>
    void Number(std::string_view key, Default fallback, Targets&&... targets) {
        Row(
            key, [](const Variant& v) { return ToSingle(v); }, fallback, targets...);
    }
    // A single-precision number rounded to 16 bits, halves to even.
    template <class Default, class... Targets>
    void Integer(std::string_view key, Default fallback, Targets&&... targets) {
        Row(
            key, [](const Variant& v) { return ToInteger(static_cast<double>(ToSingle(v))); },
            fallback, targets...);
    }
    // A single-precision number rounded to 32 bits, halves to even.
    template <class Default, class... Targets>
    void Long(std::string_view key, Default fallback, Targets&&... targets) {
        Row(
            key, [](const Variant& v) { return ToLong(static_cast<double>(ToSingle(v))); },
            fallback, targets...);
    }
    template <class Default, class... Targets>
    void Boolean(std::string_view key, Default fallback, Targets&&... targets) {
        Row(
            key, [](const Variant& v) { return ToBoolean(v); }, fallback, targets...);
    }
    template <class Default, class... Targets>
    void Text(std::string_view key, Default fallback, Targets&&... targets) {
        Row(
            key, [this](const Variant&) { return m_text; }, std::string(fallback), targets...);
    }
    // The value as it stands: the text, or the default.
    template <class... Targets>
    void Unconverted(std::string_view key, Variant fallback, Targets&&... targets) {
        Row(
            key, [](const Variant& v) { return v; }, fallback, targets...);
    }
    // One statement: the item goes straight into the target, so a missing key
    // leaves it as it was (and empties the value text, as a failed statement).
    template <class Target>
    void Item(std::string_view key, Target&& target) {
        if (m_observer != nullptr) {
            m_key = key;
        }
        Do([&] {
            if (const auto item = m_settings.TryItem(key)) {
                Store(target, ToText(*item));
            } else {
                m_text.clear();
            }
        });
    }

    // Parses the value text as a colour, in one statement: nothing when it is
    // not an RGB(r,g,b) text or a component does not convert.
    std::optional<ColourComponents> ParseColour();

    // When the value text parses as a colour, each target gets its colour
    // reference; otherwise every target keeps what it held.
    template <class... Targets>
    void ApplyColour(Targets&&... targets) {
        if (const auto rgb = ParseColour()) {
            (Put(targets, ColourRef(*rgb)), ...);
        }
    }
    template <class... Targets>
    void Colour(std::string_view key, Targets&&... targets) {
        Read(key);
        ApplyColour(targets...);
    }
    // When the value parses as a colour, the target keeps the text itself.
    template <class Target>
    void ColourText(std::string_view key, Target&& target) {
        Read(key);
        if (ParseColour()) {
            Do([&] { Store(target, m_text); });
        }
    }

    // Sets a value on a target, one statement per target.
    template <class Target, class T>
    void Put(Target&& target, const T& value) {
        if constexpr (IsEach<std::remove_cvref_t<Target>>::value) {
            for (auto& each : target.targets) {
                Put(each, value);
            }
        } else {
            Do([&] { Store(target, value); });
        }
    }

private:
    template <class U>
    struct IsEach : std::false_type {};
    template <class U>
    struct IsEach<Each<U>> : std::true_type {};

    template <class Convert, class Default, class... Targets>
    void Row(std::string_view key, Convert convert, const Default& fallback, Targets&... targets) {
        Read(key);
        if (m_observer != nullptr) {
            m_observer->SettingDefault(key, DefaultText(fallback));
        }
        (Assign(convert, fallback, targets), ...);
    }

    template <class Default>
    static std::string DefaultText(const Default& fallback) {
        if constexpr (std::is_invocable_v<const Default&>) {
            return {};
        } else if constexpr (std::is_same_v<Default, bool>) {
            return fallback ? "True" : "False";
        } else if constexpr (std::is_arithmetic_v<Default>) {
            return ShortestText(static_cast<double>(fallback));
        } else if constexpr (std::is_same_v<Default, Variant>) {
            return ToText(fallback);
        } else {
            return std::string(fallback);
        }
    }

    template <class Convert, class Default, class Target>
    void Assign(Convert& convert, const Default& fallback, Target& target) {
        if constexpr (IsEach<std::remove_cvref_t<Target>>::value) {
            for (auto& each : target.targets) {
                Assign(convert, fallback, each);
            }
        } else {
            Do([&] {
                using Value = decltype(convert(m_value));
                Value converted = convert(m_value);
                Value chosen = m_text.empty() ? Value(Evaluate(fallback)) : std::move(converted);
                Store(target, chosen);
            });
        }
    }

    // A default is a value, or a callable read at the moment of assignment.
    template <class Default>
    static auto Evaluate(const Default& fallback) {
        if constexpr (std::is_invocable_v<const Default&>) {
            return fallback();
        } else {
            return fallback;
        }
    }

    template <class Target, class T>
    static void Store(Target& target, const T& value) {
        if constexpr (std::is_invocable_v<Target&, const T&>) {
            target(value);
        } else {
            target = value;
        }
    }

    float Twips(Axis axis, float pixels);

    ICollection& m_settings;
    frmScenova& m_window;
    SettingsObserver* m_observer;
    std::string m_key;  // of the row being applied, for the observer
    std::string m_text;
    Variant m_value;
    ResumeNext m_step{m_text};
};

// The text without its last character (a folder without its trailing
// separator). Empty text raises 5.
std::string WithoutLastCharacter(std::string_view text);

// The text without its first and last character (a caption without its
// enclosing quotes). Text of fewer than two characters raises 5.
std::string WithoutEnclosingCharacters(std::string_view text);

}  // namespace scenova
