#pragma once

// What the window relies on from its transcript control, on every platform.
// Include in one source file of a test program and instantiate with a
// factory F: F() makes a fresh control, visible and enabled;
// controls::IRichText& Text(); Load(lines) gives it content whose visible
// text is the lines joined by one line-break character each;
// bool IsHighlighted(position); the user's EnterLink(n), LeaveLink(n) and
// ClickLink(n, button) on the n-th link added (from 0), and ActEnterLink(n)
// as a host's scripted actions enter one.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "controls/RichText.h"
#include "tests/controls/control_test_support.h"

namespace scenova::test {

// A document of plain ASCII lines, one paragraph each.
inline std::string Rtf(const std::vector<std::string>& lines) {
    std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\n";
    for (std::size_t i = 0; i < lines.size(); ++i) {
        rtf += (i == 0 ? "" : "\\par\n") + lines[i];
    }
    return rtf + "}";
}

template <class F>
class RichTextContract : public ::testing::Test {
protected:
    // "Good morning." starts at 0 and 28, "Good evening." at 14; lines 0..2.
    void LoadGreetings() { factory.Load({"Good morning.", "Good evening.", "Good morning."}); }

    // The characters of [0, to) as 'x' (highlighted) and '.'.
    std::string Marks(int32_t to) {
        std::string marks;
        for (int32_t i = 0; i < to; ++i) {
            marks += factory.IsHighlighted(i) ? 'x' : '.';
        }
        return marks;
    }

    F factory;
    controls::IRichText& text = factory.Text();
};

TYPED_TEST_SUITE_P(RichTextContract);

TYPED_TEST_P(RichTextContract, FindTextFindsAMatchLyingWithinTheRange) {
    this->LoadGreetings();
    controls::IRichText& text = this->text;
    ASSERT_EQ(text.TextLength(), 41);
    EXPECT_EQ(text.FindText(0, 41, -1, "Good morning."), 0);
    EXPECT_EQ(text.MatchEnd(), 13);
    // Searching on after a match finds the next equal line.
    EXPECT_EQ(text.FindText(14, 41, -1, "Good morning."), 28);
    EXPECT_EQ(text.MatchStart(), 28);
    EXPECT_EQ(text.MatchEnd(), 41);
    // `to` bounds where the match ends: the last character is not in 0..40.
    EXPECT_EQ(text.FindText(1, 40, -1, "Good morning."), -1);
    EXPECT_EQ(text.FindText(14, 27, -1, "Good evening."), 14);
    // Positions beyond the text are brought back into it.
    EXPECT_EQ(text.FindText(-7, 1000, -1, "evening"), 19);
    // Without a match the previous one stays.
    EXPECT_EQ(text.FindText(30, 10, -1, "morning"), -1);
    EXPECT_EQ(text.FindText(0, 41, -1, "afternoon"), -1);
    EXPECT_EQ(text.MatchStart(), 19);
    EXPECT_EQ(text.MatchEnd(), 26);

    // The flags (-1 sets them all): without Down the last match, without
    // WholeWord also inside words, without MatchCase in any letter case.
    namespace ff = controls::find_flags;
    const int32_t all = ff::Down | ff::WholeWord | ff::MatchCase;
    EXPECT_EQ(text.FindText(0, 41, all & ~ff::Down, "Good morning."), 28);
    EXPECT_EQ(text.FindText(0, 40, all & ~ff::Down, "Good morning."), 0);
    EXPECT_EQ(text.FindText(0, 41, -1, "ood"), -1);
    EXPECT_EQ(text.FindText(0, 41, -1, "Good m"), -1);
    EXPECT_EQ(text.FindText(0, 41, all & ~ff::WholeWord, "ood"), 1);
    EXPECT_EQ(text.FindText(0, 41, -1, "GOOD EVENING."), -1);
    EXPECT_EQ(text.FindText(0, 41, all & ~ff::MatchCase, "GOOD EVENING."), 14);
    EXPECT_EQ(text.FindText(0, 41, 0, "OD MORN"), 30);
}

TYPED_TEST_P(RichTextContract, CaretLineCountsLinesFromZero) {
    this->LoadGreetings();
    EXPECT_EQ(this->text.LineCount(), 3);
    for (auto [position, line] : {std::pair{0, 0}, {13, 0}, {14, 1}, {26, 1}, {28, 2}, {41, 2}}) {
        this->text.CaretPosition(position);
        EXPECT_EQ(this->text.CaretLine(), line) << "position " << position;
    }
}

TYPED_TEST_P(RichTextContract, ScrollingStopsAtEitherEnd) {
    std::vector<std::string> lines;
    for (int i = 0; i < 40; ++i) {
        lines.push_back("Line " + std::to_string(i));
    }
    this->factory.Load(lines);
    controls::IRichText& text = this->text;
    text.Height(5 * 240.0f);
    ASSERT_EQ(text.FirstVisibleLine(), 0);
    const int32_t page = text.LastVisibleLine() + 1;
    ASSERT_GT(page, 0);
    ASSERT_LT(page, 40);
    text.ScrollLines(3);
    EXPECT_EQ(text.FirstVisibleLine(), 3);
    EXPECT_EQ(text.LastVisibleLine(), 3 + page - 1);
    text.ScrollLines(-10);
    EXPECT_EQ(text.FirstVisibleLine(), 0);
    text.ScrollLines(1000);
    EXPECT_EQ(text.FirstVisibleLine(), 40 - page);
    EXPECT_EQ(text.LastVisibleLine(), 39);
}

TYPED_TEST_P(RichTextContract, UnhighlightRemovesTheHighlightFromItsRangeOnly) {
    this->LoadGreetings();
    this->text.HighlightRange(0, 13);
    this->text.HighlightRange(14, 27);
    // A line inside a highlighted block, as when the pointer leaves it.
    this->text.UnhighlightRange(19, 26, 0);
    EXPECT_EQ(this->Marks(28), "xxxxxxxxxxxxx.xxxxx.......x.");
    this->text.ClearHighlight();
    EXPECT_EQ(this->Marks(41), std::string(41, '.'));
}

TYPED_TEST_P(RichTextContract, LinkEventsCarryWhatAddLinkWasGiven) {
    this->LoadGreetings();
    this->text.AddLink(0, 13, 1, 0);
    this->text.AddLink(14, 27, 1, 7);
    std::vector<std::vector<int32_t>> seen;
    auto note = [&](int32_t event) {
        return [&seen, event](int32_t id, int16_t type, int32_t start, int32_t end) {
            seen.push_back({event, id, type, start, end});
        };
    };
    this->text.Advise({[&](int32_t id, int16_t type, int32_t start, int32_t end, int16_t button) {
                           seen.push_back({2, id, type, start, end, button});
                       },
                       note(0), note(1)});
    this->factory.EnterLink(0);
    // The pointer is over one link at a time: it leaves the first for the second.
    this->factory.EnterLink(1);
    this->factory.ClickLink(1, 1);
    this->factory.LeaveLink(1);
    this->factory.LeaveLink(1);  // no longer over it: nothing to leave
    EXPECT_EQ(seen, (std::vector<std::vector<int32_t>>{{0, 0, 1, 0, 13},
                                                       {1, 0, 1, 0, 13},
                                                       {0, 7, 1, 14, 27},
                                                       {2, 7, 1, 14, 27, 1},
                                                       {1, 7, 1, 14, 27}}));
}

// Entering a link leaves the one the pointer was over first; when that
// leave handler hides the transcript, the new link is out of reach.
TYPED_TEST_P(RichTextContract, NoLinkIsEnteredOnceTheLeaveHandlerHidTheText) {
    this->LoadGreetings();
    this->text.AddLink(0, 13, 1, 0);
    this->text.AddLink(14, 27, 1, 1);
    std::vector<std::string> seen;
    this->text.Advise({nullptr,
                       [&](int32_t id, int16_t, int32_t, int32_t) {
                           seen.push_back("enter " + std::to_string(id));
                       },
                       [&](int32_t id, int16_t, int32_t, int32_t) {
                           seen.push_back("leave " + std::to_string(id));
                           this->text.Visible(false);
                       }});
    this->factory.ActEnterLink(0);
    this->factory.ActEnterLink(1);
    EXPECT_EQ(seen, (std::vector<std::string>{"enter 0", "leave 0"}));
}

REGISTER_TYPED_TEST_SUITE_P(RichTextContract, FindTextFindsAMatchLyingWithinTheRange,
                            CaretLineCountsLinesFromZero, ScrollingStopsAtEitherEnd,
                            UnhighlightRemovesTheHighlightFromItsRangeOnly,
                            LinkEventsCarryWhatAddLinkWasGiven,
                            NoLinkIsEnteredOnceTheLeaveHandlerHidTheText);

}  // namespace scenova::test
