#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "controls/RichText.h"
#include "formats/RtfReader.h"
#include "model/Contained.h"
#include "platform/Picture.h"

namespace scenova::model {

// The transcript as every platform keeps it: its text, links, highlights,
// the match, the caret, scrolling and which link the pointer is over.
//
// The content it is given is RTF; it works on the visible text of it (as
// formats/RtfReader.h reads it), lines separated by "\n". Character
// positions count code points from 0; a range [start, end) excludes its end,
// as FindText reports it (MatchEnd = MatchStart + length).
//
// Lines. Unless a platform lays the text out itself (LineOf, LineCount,
// LastFirstLine and LastVisibleLine), line n holds the positions after the
// n-th "\n", so even an empty text has a line, and a page shows one line per
// 240 twips of Height, at least one. ScrollLines stops at the first line and
// at the last full page.
//
// Highlighting works per character: HighlightRange marks the characters of
// its range, UnhighlightRange unmarks those of its range (also when they were
// marked by a different call), and Highlights() gives the marked characters
// as sorted, disjoint, merged ranges.
//
// The user reaches links only while the control can be reached. Where links
// overlap, the one added last is on top. The pointer is over one link at a
// time: entering a link first leaves the one it was over (LinkLeave, then
// LinkEnter), and only that link can be left. New content leaves the pointer
// over no link.
//
// Window handlers call these per event, so lines and highlights are found by
// binary search, and FindText looks no further than its range.
class RichText : public Contained<controls::IRichText> {
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

    RichText(Context& ctx, std::string name, int32_t hWnd)
        : Contained(ctx, std::move(name)), m_hWnd(hWnd) {}

    // IRichText
    void Advise(controls::RichTextEvents events) override { m_events = std::move(events); }
    void RolloverColor(int32_t colour) override;
    void DisplayFlag1(int16_t value) override { Flag(Member::DisplayFlag1, 0, value); }
    void DisplayFlag2(int16_t value) override { Flag(Member::DisplayFlag2, 1, value); }
    void DisplayFlag3(int16_t value) override { Flag(Member::DisplayFlag3, 2, value); }
    int32_t hWnd() const override { return m_hWnd; }
    // The handle the platform's desktop gave the control's window.
    void SetWindowHandle(int32_t hWnd) { m_hWnd = hWnd; }
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
    // the text), with the flags of controls::find_flags, as
    // formats::FindInText finds it. Returns its start, or -1 (match left as
    // it was) when there is none or text is empty.
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

    // The user, by link position in AddLink order (another position raises
    // 9). Each returns whether the link could be reached: entering the link
    // the pointer is already over, and leaving one it is not over, raise
    // nothing.
    bool UserEnterLink(int32_t index);
    bool UserLeaveLink(int32_t index);
    bool UserClickLink(int32_t index, int16_t button);
    // The pointer is over a link now (-1: over none), as a platform's
    // pointer tells it: it leaves the link it was over and enters this one.
    void PointAt(int32_t link);

    // The keyboard in the transcript, as every platform keeps it: one line
    // (link) at a time is the keyboard's, entered as the pointer enters it
    // and scrolled wholly into view (its first line when it is taller).
    // Focus coming takes the line the keyboard was on, else the first line
    // in view; Up and Down move it (the first of them after focus came
    // without it, as by a click, takes one as focus does), Enter plays it
    // as a click; focus leaving leaves it as the pointer would and keeps
    // it for the return. New content forgets it.
    enum class Key : uint8_t { Up, Down, Enter };
    void UserFocus();
    void UserBlur();
    void UserKey(Key key);
    // The keyboard's line (-1: none) and whether the transcript has focus.
    int32_t KeyboardLink() const { return m_keyboardLink; }
    bool HasKeyboard() const { return m_hasKeyboard; }

    // A destroyed control lets go of its picture as a real one would.
    void Destroy();

    const formats::PackedText& Text() const { return m_text; }
    std::u32string CodePoints() const { return m_text.CodePoints(); }
    // The visible text of the RTF last given (the RTF itself is not kept).
    std::string Content() const;
    // The text of [start, end) as UTF-8.
    std::string TextOf(int32_t start, int32_t end) const;
    const std::vector<Link>& Links() const { return m_links; }
    // What a line is called, to a screen reader and in captions: the speaker
    // (the nearest line before the link that is no link) and the link's
    // text, its culture tip said as one.
    std::string LinkName(int32_t index) const;
    // The speaker of a link's line alone ("" when none is written).
    std::string SpeakerOf(int32_t index) const;
    // The character that starts a line's culture tip (the lesson's setting,
    // which the host knows; none: no tips are told apart).
    void CultureTipMarker(std::string marker) { m_tipMarker = std::move(marker); }
    // The index of the link the pointer is over at a position, -1 for none.
    // Linear in the number of links.
    int32_t LinkIndexAt(int32_t position) const;
    const std::vector<Range>& Highlights() const { return m_highlights; }
    bool IsHighlighted(int32_t position) const;
    int32_t CaretPosition() const { return m_caret; }
    // The link the pointer is over, -1 for none.
    int32_t EnteredLink() const { return m_entered; }
    // The line (from 0) holding a position; positions are clamped to the text.
    virtual int32_t LineOf(int32_t position) const;
    int32_t LinesPerPage() const;
    int32_t RolloverColor() const { return m_rolloverColor; }
    int16_t DisplayFlag1() const { return m_displayFlags[0]; }
    int16_t DisplayFlag2() const { return m_displayFlags[1]; }
    int16_t DisplayFlag3() const { return m_displayFlags[2]; }
    bool ScrollBarVisible() const { return m_scrollBarVisible; }
    const Picture& BackPicture() const { return m_backPicture; }

protected:
    // A platform that shows the text: reading the RTF (the text only, unless
    // it needs the formatting), the new content laid out, the first visible
    // line moved, characters shaded or not, the pointer's link changed, the
    // look changed.
    virtual formats::PackedText Read(const std::string& rtf);
    virtual void Loaded() {}
    virtual void Scrolled() {}
    virtual void Shade(int32_t /*start*/, int32_t /*end*/, bool /*highlighted*/) {}
    virtual void Redraw() {}
    // The keyboard's line moved (a platform tells a screen reader).
    virtual void KeyboardMoved() {}
    // The first line that can be at the top: the last full page starts there.
    virtual int32_t LastFirstLine() const;
    void Placed() override;
    // Scrolls so that the first visible line is `line`, kept in range.
    void ScrollTo(int32_t line);

    // The link at a position in AddLink order; another position raises 9.
    const Link& LinkAt(int32_t index) const;

private:
    void Flag(Member property, int index, int16_t value) {
        m_ctx.Put(m_name, property, value);
        m_displayFlags[index] = value;
    }
    Range Clamp(int32_t start, int32_t end) const;
    void KeyboardTo(int32_t link);

    int32_t m_hWnd;
    controls::RichTextEvents m_events;
    formats::PackedText m_text;
    std::vector<int32_t> m_lineStarts{0};
    std::vector<Link> m_links;
    std::string m_tipMarker;
    int32_t m_keyboardLink = -1;
    bool m_hasKeyboard = false;
    std::vector<Range> m_highlights;
    int32_t m_matchStart = -1;
    int32_t m_matchEnd = -1;
    int32_t m_caret = 0;
    int32_t m_firstVisible = 0;
    int32_t m_entered = -1;
    int32_t m_rolloverColor = 0xFF0000;
    int16_t m_displayFlags[3] = {0, 0, 0};
    bool m_scrollBarVisible = false;
    Picture m_backPicture;
};

}  // namespace scenova::model
