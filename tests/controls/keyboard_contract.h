#pragma once

// The keyboard in the transcript, on every platform: include beside
// rich_text_contract.h and instantiate with its factory F, which also
// gives the keyboard: Focus() (the keyboard brings the focus, as Tab),
// Blur() (the focus goes elsewhere) and Press(key), a key of the
// transcript's as the platform delivers it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/RichText.h"
#include "tests/controls/rich_text_contract.h"

namespace scenova::test {

template <class F>
class KeyboardContract : public ::testing::Test {
protected:
    using Key = model::RichText::Key;

    // Forty lines, each a link whose user value is its number; what the
    // pointer (and so the keyboard) enters, leaves and clicks is noted.
    void LoadLines() {
        std::vector<std::string> lines;
        for (int i = 0; i < 40; ++i) {
            lines.push_back("Line " + std::to_string(i) + ".");
        }
        factory.Load(lines);
        for (int32_t i = 0, at = 0; i < 40; ++i) {
            const auto length = static_cast<int32_t>(lines[static_cast<std::size_t>(i)].size());
            text.AddLink(at, at + length, 1, i);
            at += length + 1;
        }
        const auto note = [this](const char* what) {
            return [this, what](int32_t id, int16_t, int32_t, int32_t) {
                seen += std::string(seen.empty() ? "" : ", ") + what + " " + std::to_string(id);
            };
        };
        text.Advise({[this](int32_t id, int16_t, int32_t, int32_t, int16_t) {
                         seen +=
                             std::string(seen.empty() ? "" : ", ") + "click " + std::to_string(id);
                     },
                     note("enter"), note("leave")});
    }
    std::string Seen() { return std::exchange(seen, std::string()); }

    F factory;
    controls::IRichText& text = factory.Text();
    std::string seen;
};

TYPED_TEST_SUITE_P(KeyboardContract);

TYPED_TEST_P(KeyboardContract, TheKeyboardGoesLineByLineAndComesBackToItsLine) {
    using Key = typename TestFixture::Key;
    this->LoadLines();
    // The first line in view, entered as the pointer enters it.
    this->factory.Focus();
    EXPECT_EQ(this->Seen(), "enter 0");
    this->factory.Press(Key::Up);  // none before the first
    this->factory.Press(Key::Down);
    this->factory.Press(Key::Down);
    this->factory.Press(Key::Up);
    this->factory.Press(Key::Enter);
    EXPECT_EQ(this->Seen(), "leave 0, enter 1, leave 1, enter 2, leave 2, enter 1, click 1");
    // Focus leaving leaves the line; coming back, the keyboard is on it again.
    this->factory.Blur();
    EXPECT_EQ(this->Seen(), "leave 1");
    this->text.ScrollLines(20);
    this->factory.Focus();
    EXPECT_EQ(this->Seen(), "enter 1");
    EXPECT_LE(this->text.FirstVisibleLine(), 1);
    // Far down the keyboard's line is kept in view.
    for (int i = 0; i < 30; ++i) {
        this->factory.Press(Key::Down);
    }
    EXPECT_GE(this->text.LastVisibleLine(), 31);
    EXPECT_LE(this->text.FirstVisibleLine(), 31);
    // New content forgets the line: the first in view is taken.
    this->factory.Blur();
    this->LoadLines();
    this->Seen();
    this->factory.Focus();
    EXPECT_EQ(this->Seen(), "enter 0");
}

REGISTER_TYPED_TEST_SUITE_P(KeyboardContract, TheKeyboardGoesLineByLineAndComesBackToItsLine);

}  // namespace scenova::test
