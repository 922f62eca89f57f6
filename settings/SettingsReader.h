#pragma once

#include <concepts>
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
#include "runtime/Variant.h"
#include "settings/ValueParsers.h"
#include "tool/Diagnostics.h"
#include "window/frmScenova.h"

namespace scenova {

enum class Axis { X, Y };

// Where a row's value goes: one setter, or several that take the same value,
// each run as a statement of its own, so that one that fails does not keep
// the others from being set.
template <class T>
class Targets {
public:
    using Setter = std::function<void(const T&)>;

    template <std::invocable<const T&> F>
    Targets(F setter) : m_setters{Setter(std::move(setter))} {}
    explicit Targets(std::vector<Setter> setters) : m_setters(std::move(setters)) {}

    auto begin() const { return m_setters.begin(); }
    auto end() const { return m_setters.end(); }

private:
    std::vector<Setter> m_setters;
};

// A variable as a target.
template <class T>
auto Into(T& variable) {
    return [&variable](const T& value) { variable = value; };
}

// Applies setting rows under the skip-and-go-on error model of the settings
// procedures. Every statement is one call of Do: a run-time error skips it,
// empties the value text and is told to the diagnostics. A row reads its key
// (a missing key leaves the value text empty, as its failed lookup does; it
// is looked up with TryItem, so that the many keys a lesson leaves out raise
// no error each), forms the value (the text, or 0 when empty) and assigns
// the converted value, or its default when the value text is empty. The
// conversion is worked out in either case, so text that does not convert
// fails the assignment and the target keeps what it held.
class SettingsReader {
public:
    SettingsReader(ICollection& settings, frmScenova& window, Diagnostics& diagnostics)
        : m_settings(settings), m_window(window), m_diagnostics(diagnostics) {}

    // The value text: the key read last, empty after a failed statement.
    const std::string& Text() const { return m_text; }

    // Runs one statement; false when it raised a run-time error. Only those
    // are absorbed: anything else is a fault and propagates.
    template <class Statement>
    bool Do(Statement&& statement) {
        try {
            std::forward<Statement>(statement)();
            return true;
        } catch (const RuntimeError& error) {
            m_text.clear();
            m_diagnostics.SettingFailed(m_key, error);
            return false;
        }
    }

    // Reads a key into the value text and forms the value.
    void Read(std::string_view key);
    // The statements from here on belong to no key.
    void EndOfKeys() { m_key.clear(); }
    // The file the key read last names is not there.
    void FileMissing(const std::string& path) { m_diagnostics.SettingFileMissing(m_key, path); }

    // Pixels converted to twips with the window's own conversion; the
    // default is twips as it stands.
    template <class Default>
    void Pixels(std::string_view key, Axis axis, const Default& fallback,
                const Targets<float>& targets) {
        Row(
            key, [this, axis](const Variant& v) { return Twips(axis, ToSingle(v)); }, fallback,
            targets);
    }
    template <class Default>
    void Number(std::string_view key, const Default& fallback, const Targets<float>& targets) {
        Row(
            key, [](const Variant& v) { return ToSingle(v); }, fallback, targets);
    }
    // A single-precision number rounded to 16 bits, halves to even.
    void Integer(std::string_view key, int16_t fallback, const Targets<int16_t>& targets) {
        Row(
            key, [](const Variant& v) { return ToInteger(static_cast<double>(ToSingle(v))); },
            fallback, targets);
    }
    // A single-precision number rounded to 32 bits, halves to even.
    void Long(std::string_view key, int32_t fallback, const Targets<int32_t>& targets) {
        Row(
            key, [](const Variant& v) { return ToLong(static_cast<double>(ToSingle(v))); },
            fallback, targets);
    }
    void Boolean(std::string_view key, bool fallback, const Targets<bool>& targets) {
        Row(
            key, [](const Variant& v) { return ToBoolean(v); }, fallback, targets);
    }
    void Text(std::string_view key, std::string_view fallback,
              const Targets<std::string>& targets) {
        Row(
            key, [this](const Variant&) { return m_text; }, std::string(fallback), targets);
    }
    // The value as it stands: the text, or the default.
    void Unconverted(std::string_view key, const Variant& fallback,
                     const Targets<Variant>& targets) {
        Row(
            key, [](const Variant& v) { return v; }, fallback, targets);
    }
    // One statement: the item goes straight into the target, so a missing key
    // leaves it as it was (and empties the value text, as a failed statement).
    void Item(std::string_view key, const Targets<std::string>& targets);

    // Parses the value text as a colour, in one statement: nothing when it is
    // not an RGB(r,g,b) text or a component does not convert.
    std::optional<ColourComponents> ParseColour();

    // When the value text parses as a colour, each target gets its colour
    // reference; otherwise every target keeps what it held.
    void ApplyColour(const Targets<int32_t>& targets) {
        if (const auto rgb = ParseColour()) {
            Put(targets, ColourRef(*rgb));
        }
    }
    void Colour(std::string_view key, const Targets<int32_t>& targets) {
        Read(key);
        ApplyColour(targets);
    }
    // When the value parses as a colour, the target keeps the text itself.
    void ColourText(std::string_view key, const Targets<std::string>& targets) {
        Read(key);
        if (ParseColour()) {
            Put(targets, m_text);
        }
    }

    // Sets a value on the targets, one statement each.
    template <class T>
    void Put(const Targets<T>& targets, const T& value) {
        for (const auto& setter : targets) {
            Do([&] { setter(value); });
        }
    }

private:
    template <class T, class Convert, class Default>
    void Row(std::string_view key, Convert convert, const Default& fallback,
             const Targets<T>& targets) {
        Read(key);
        m_diagnostics.SettingDefault(key, DefaultText(fallback));
        for (const auto& setter : targets) {
            Do([&] {
                T converted = convert(m_value);
                setter(m_text.empty() ? T(Evaluate(fallback)) : std::move(converted));
            });
        }
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

    // A default is a value, or a callable read at the moment of assignment.
    template <class Default>
    static auto Evaluate(const Default& fallback) {
        if constexpr (std::is_invocable_v<const Default&>) {
            return fallback();
        } else {
            return fallback;
        }
    }

    float Twips(Axis axis, float pixels);

    ICollection& m_settings;
    frmScenova& m_window;
    Diagnostics& m_diagnostics;
    std::string m_key;  // of the row being applied, for the diagnostics
    std::string m_text;
    Variant m_value;
};

// The text without its last character (a folder without its trailing
// separator). Empty text raises 5.
std::string WithoutLastCharacter(std::string_view text);

// The text without its first and last character (a caption without its
// enclosing quotes). Text of fewer than two characters raises 5.
std::string WithoutEnclosingCharacters(std::string_view text);

}  // namespace scenova
