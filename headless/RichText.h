#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "controls/RichText.h"
#include "formats/RtfReader.h"
#include "headless/ContainedControl.h"
#include "headless/Context.h"
#include "platform/Picture.h"

namespace scenova::headless {

// The transcript's text is read as every platform reads it.
using formats::DecodeUtf8;
using formats::EncodeUtf8;
using formats::PackedText;
using formats::ReadPackedRtfText;

// A transcript control held in memory. The content it is given is RTF; it
// works on the visible text of it (see ReadRtfText), lines separated by "\n".
// Character positions count code points from 0; a range [start, end) excludes
// its end, as FindText reports it (MatchEnd = MatchStart + length). Line n
// holds the positions after the n-th "\n", so even an empty text has a line.
//
// Highlighting works per character: HighlightRange marks the characters of
// its range, UnhighlightRange unmarks those of its range (also when they were
// marked by a different call), and Highlights() gives the marked characters
// as sorted, disjoint, merged ranges.
//
// A page shows one line per 240 twips of Height, at least one line.
// ScrollLines stops at the first line and at the last full page.
//
// The user reaches links only while the control is visible, enabled and not
// destroyed. Where links overlap, the one added last is on top. The pointer
// is over one link at a time: entering a link first leaves the one it was
// over (LinkLeave, then LinkEnter), and only that link can be left. New
// content leaves the pointer over no link.
//
// Window handlers call these per event, so lines and highlights are found by
// binary search, and FindText looks no further than its range.
class RichText final : public ContainedControl<controls::IRichText> {
public:
    static constexpr int32_t kTwipsPerLine = 240;
    static constexpr int32_t kMetricA = 1440;
    static constexpr int32_t kMetricB = 15;

    struct Link {
        int32_t start = 0;
        int32_t end = 0;
        int16_t type = 0;
        int32_t userID = 0;
    };
    struct Range {
        int32_t start = 0;
        int32_t end = 0;
        friend bool operator==(const Range&, const Range&) = default;
    };

    RichText(Context& ctx, std::string name, int32_t hWnd);

    using ContainedControl::Height;
    // The page of visible lines follows the height.
    void Height(float value) override;

    // IRichText
    void Advise(controls::RichTextEvents events) override { m_events = std::move(events); }
    void RolloverColor(int32_t colour) override;
    void DisplayFlag1(int16_t value) override;
    void DisplayFlag2(int16_t value) override;
    void DisplayFlag3(int16_t value) override;
    int32_t hWnd() const override { return m_hWnd; }
    int32_t RtfMetricA() const override { return kMetricA; }
    int32_t RtfMetricB() const override { return kMetricB; }
    // Replaces the content; links, highlights, the match, caret and
    // scrolling start afresh. RTF beyond 32-bit positions raises 7.
    void RTFContent(const std::string& rtf) override;
    void BackPicture(Picture& picture) override;

    int32_t TextLength() const override { return static_cast<int32_t>(m_text.size()); }
    // -1 until a search has found something.
    int32_t MatchStart() const override { return m_matchStart; }
    int32_t MatchEnd() const override { return m_matchEnd; }
    int32_t CaretLine() const override { return LineOf(m_caret); }
    // Clamped into 0..TextLength.
    void CaretPosition(int32_t position) override;
    // An occurrence of text (UTF-8) that lies wholly in from..to (clamped to
    // the text), with the flags of controls::find_flags. Returns its start,
    // or -1 (match left as it was) when there is none or text is empty.
    // Matching is code point by code point; letters, digits and "_" make up
    // words, and letters match in any case by the C.UTF-8 locale.
    int32_t FindText(int32_t from, int32_t to, int32_t flags, const std::string& text) override;
    // Raises 9 unless 0 <= startIndex <= endIndex <= TextLength.
    void AddLink(int32_t startIndex, int32_t endIndex, int16_t linkType, int32_t userID) override;

    void ScrollBarVisible(bool value) override;
    int32_t FirstVisibleLine() const override { return m_firstVisible; }
    int32_t LastVisibleLine() const override;
    int32_t LineCount() const override { return static_cast<int32_t>(m_lineStarts.size()); }
    void ScrollLines(int16_t lines) override;
    // Ranges are clamped to the text; an empty or reversed range does nothing.
    void HighlightRange(int32_t startIndex, int32_t endIndex) override;
    void UnhighlightRange(int32_t startIndex, int32_t endIndex, int16_t mode) override;
    void ClearHighlight() override;

    // The simulated user, by link position in AddLink order (from 0; another
    // position raises 9). Each returns whether the link could be reached:
    // entering the link the pointer is already over, and leaving one it is
    // not over, raise nothing.
    bool UserEnterLink(int32_t index);
    bool UserLeaveLink(int32_t index);
    bool UserClickLink(int32_t index, int16_t button);

    // A destroyed control lets go of its picture as a real one would.
    void Destroy() {
        m_destroyed = true;
        m_entered = -1;
        m_backPicture.reset();
    }
    bool IsDestroyed() const { return m_destroyed; }

    // The visible text of the RTF last given (the RTF itself is not kept).
    std::u32string CodePoints() const { return m_text.CodePoints(); }
    std::string Content() const;
    const std::vector<Link>& Links() const { return m_links; }
    // The index of the link the pointer is over at a position, -1 for none.
    // Linear in the number of links.
    int32_t LinkIndexAt(int32_t position) const;
    const std::vector<Range>& Highlights() const { return m_highlights; }
    bool IsHighlighted(int32_t position) const;
    int32_t CaretPosition() const { return m_caret; }
    // The link the pointer is over, -1 for none.
    int32_t EnteredLink() const { return m_entered; }
    // The line (from 0) holding a position; positions are clamped to the text.
    int32_t LineOf(int32_t position) const;
    int32_t LinesPerPage() const;
    int32_t RolloverColor() const { return m_rolloverColor; }
    int16_t DisplayFlag1() const { return m_displayFlags[0]; }
    int16_t DisplayFlag2() const { return m_displayFlags[1]; }
    int16_t DisplayFlag3() const { return m_displayFlags[2]; }
    bool ScrollBarVisible() const { return m_scrollBarVisible; }
    const Picture& BackPicture() const { return m_backPicture; }

private:
    bool CanReach() const { return UserCanReach() && !m_destroyed; }
    const Link& LinkAt(int32_t index) const;
    Range Clamp(int32_t start, int32_t end) const;
    int32_t LastFirstLine() const;

    int32_t m_hWnd;
    controls::RichTextEvents m_events;

    bool m_destroyed = false;

    PackedText m_text;
    std::vector<int32_t> m_lineStarts{0};
    std::vector<Link> m_links;
    std::vector<Range> m_highlights;
    int32_t m_matchStart = -1;
    int32_t m_matchEnd = -1;
    int32_t m_caret = 0;
    int32_t m_firstVisible = 0;
    int32_t m_entered = -1;

    int32_t m_rolloverColor = 0;
    int16_t m_displayFlags[3] = {0, 0, 0};
    bool m_scrollBarVisible = false;
    Picture m_backPicture;
};

}  // namespace scenova::headless
