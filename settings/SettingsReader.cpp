#include "settings/SettingsReader.h"

#include <cmath>

#include "runtime/RuntimeError.h"

namespace scenova {

namespace {

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0u) == 0x80u;
}

// Characters are UTF-8 sequences: cutting inside one would leave broken text.
std::size_t StartOfLastCharacter(std::string_view text) {
    std::size_t start = text.size() - 1;
    while (start > 0 && IsContinuationByte(text[start])) {
        --start;
    }
    return start;
}

std::size_t EndOfFirstCharacter(std::string_view text) {
    std::size_t end = 1;
    while (end < text.size() && IsContinuationByte(text[end])) {
        ++end;
    }
    return end;
}

}  // namespace

void SettingsReader::Read(std::string_view key) {
    m_key = key;
    // A missing key empties the value text, as the failed lookup of the
    // original statement does, without raising an error for it.
    Do([&] {
        if (const auto item = m_settings.TryItem(key)) {
            m_text = ToText(*item);
        } else {
            m_text.clear();
        }
    });
    Do([&] { m_value = m_text.empty() ? Variant(int16_t{0}) : Variant(m_text); });
}

void SettingsReader::Item(std::string_view key, const Targets<std::string>& targets) {
    m_key = key;
    Do([&] {
        if (const auto item = m_settings.TryItem(key)) {
            const std::string text = ToText(*item);
            for (const auto& setter : targets) {
                setter(text);
            }
        } else {
            m_text.clear();
        }
    });
}

std::optional<ColourComponents> SettingsReader::ParseColour() {
    ColourComponents rgb{};
    bool accepted = false;
    const std::string text = m_text;
    Do([&] { accepted = ParseRGBColour(m_text, rgb); });
    if (!accepted) {
        if (!text.empty()) {
            m_diagnostics.SettingNotAColour(m_key);
        }
        return std::nullopt;
    }
    return rgb;
}

float SettingsReader::Twips(Axis axis, float pixels) {
    const float twips =
        axis == Axis::X ? m_window.PixelsToTwipsX(pixels) : m_window.PixelsToTwipsY(pixels);
    // A size beyond single precision is an overflow, not an infinite control.
    if (!std::isfinite(twips)) {
        Raise(err::Overflow);
    }
    return twips;
}

std::string WithoutLastCharacter(std::string_view text) {
    if (text.empty()) {
        Raise(err::InvalidCall);
    }
    return std::string(text.substr(0, StartOfLastCharacter(text)));
}

std::string WithoutEnclosingCharacters(std::string_view text) {
    if (text.empty()) {
        Raise(err::InvalidCall);
    }
    const std::size_t begin = EndOfFirstCharacter(text);
    if (begin >= text.size()) {
        Raise(err::InvalidCall);
    }
    return std::string(text.substr(begin, StartOfLastCharacter(text) - begin));
}

}  // namespace scenova
