#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QTextDocument>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "controls/RichText.h"
#include "formats/RtfReader.h"
#include "qt/ContainedControl.h"

namespace scenova::qt {

class RichText;

// The transcript as the user sees it: the document over the control's
// backdrop picture, scrolled by whole lines, with the link under the pointer
// in the rollover colour and the keyboard's line framed.
class TranscriptView final : public QAbstractScrollArea {
public:
    TranscriptView(QWidget* parent, std::weak_ptr<RichText> owner);
    const std::weak_ptr<RichText>& Owner() const { return m_owner; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    std::weak_ptr<RichText> m_owner;
    int32_t m_pressedLink = -1;
};

// The transcript control on a QTextDocument built from the component's RTF
// by the shared reader, with its fonts and colours.
//
// Character positions count the characters of the text the reader gives
// (code points; a line break is one), from 0; a range [start, end) excludes
// its end. Lines are the lines the text is laid out in at the control's
// width (a long paragraph takes several); the width left for the text does
// not depend on whether the scroll bar shows, so the lines stay put. A page
// is the lines that fit wholly; ScrollLines stops at the first line and at
// the last full page.
//
// Highlighting is per character, in the highlight colour, with a mark in the
// margin beside each line that holds highlighted text. FindText searches the
// text as every platform does (formats::FindInText). Links are ranges; where
// they overlap the one added last is on top. The user reaches them only
// while the control can be reached: pointing (LinkEnter, LinkLeave; the
// pointer is over one link at a time, shown in the rollover colour),
// clicking (LinkClick, button 1 left, 2 right, 4 middle), and from the
// keyboard: Tab comes in once, Up and Down move between links as the
// pointer would, Enter clicks the link framed.
class RichText final : public ContainedControl<controls::IRichText>,
                       public std::enable_shared_from_this<RichText> {
public:
    static inline const QColor kHighlight{255, 226, 122};

    struct Link {
        int32_t start = 0;
        int32_t end = 0;
        int16_t type = 0;
        int32_t userID = 0;
    };

    static std::shared_ptr<RichText> Create(Context& ctx, std::string name, Twips twips,
                                            QWidget* parent);
    RichText(Context& ctx, std::string name, Twips twips);

    void Advise(controls::RichTextEvents events) override { m_events = std::move(events); }
    void RolloverColor(int32_t colour) override;
    void DisplayFlag1(int16_t value) override { m_displayFlags[0] = value; }
    void DisplayFlag2(int16_t value) override { m_displayFlags[1] = value; }
    void DisplayFlag3(int16_t value) override { m_displayFlags[2] = value; }
    int32_t hWnd() const override { return m_hWnd; }
    // The handle the window's desktop gave the control's widget.
    void SetWindowHandle(int32_t hWnd) { m_hWnd = hWnd; }
    int32_t RtfMetricA() const override { return 1440; }
    int32_t RtfMetricB() const override;
    // Replaces the content; links, highlights, the match, caret and
    // scrolling start afresh. RTF beyond 32-bit positions raises 7.
    void RTFContent(const std::string& rtf) override;
    void BackPicture(Picture& picture) override;

    int32_t TextLength() const override { return static_cast<int32_t>(m_text.size()); }
    int32_t MatchStart() const override { return m_matchStart; }
    int32_t MatchEnd() const override { return m_matchEnd; }
    int32_t CaretLine() const override { return LineOf(m_caret); }
    void CaretPosition(int32_t position) override;
    int32_t FindText(int32_t from, int32_t to, int32_t flags, const std::string& text) override;
    // Raises 9 unless 0 <= startIndex <= endIndex <= TextLength.
    void AddLink(int32_t startIndex, int32_t endIndex, int16_t linkType, int32_t userID) override;

    void ScrollBarVisible(bool value) override;
    int32_t FirstVisibleLine() const override { return m_first; }
    int32_t LastVisibleLine() const override;
    int32_t LineCount() const override { return static_cast<int32_t>(m_lines.size()); }
    void ScrollLines(int16_t lines) override;
    void HighlightRange(int32_t startIndex, int32_t endIndex) override;
    void UnhighlightRange(int32_t startIndex, int32_t endIndex, int16_t mode) override;
    void ClearHighlight() override;

    // The user, as the host's scripted actions and the view drive it, by
    // link position in AddLink order (another position raises 9). Each
    // returns whether the link could be reached: entering the link the
    // pointer is over, or leaving one it is not over, raises nothing.
    bool UserEnterLink(int32_t index);
    bool UserLeaveLink(int32_t index);
    bool UserClickLink(int32_t index, int16_t button);

    const std::vector<Link>& Links() const { return m_links; }
    // The link the pointer is over at a position, -1 for none.
    int32_t LinkIndexAt(int32_t position) const;
    bool IsHighlighted(int32_t position) const;
    // Whether the document shows the character at a position highlighted.
    bool ShowsHighlighted(int32_t position) const;
    // Where the character at a position is shown, in the view's viewport.
    QPoint PointOf(int32_t position) const;
    // What a screen reader says for a link: the speaker (the nearest line
    // before it that is no link) and the link's text.
    std::string LinkName(int32_t index) const;
    int32_t FocusedLink() const { return m_focusLink; }
    // The link the keyboard frames; -1 for none. Scrolls it into view.
    void FocusLink(int32_t index);
    // The keyboard moves to a link (-1: away from the transcript): as the
    // pointer would, it leaves the link it was on and enters the new one.
    void KeyboardTo(int32_t index);
    TranscriptView* View() const;

    void Destroy();

private:
    friend class TranscriptView;
    struct Line {
        int32_t position;  // of the document
        qreal top;
        qreal bottom;
    };

    // Positions of the text and of the document differ by the characters
    // beyond the Basic Multilingual Plane, which the document keeps as two.
    int32_t ToDocument(int32_t position) const;
    int32_t FromDocument(int32_t position) const;
    // The line (from 0) holding a text position, clamped to the text.
    int32_t LineOf(int32_t position) const;
    int32_t LastFirstLine() const;
    int32_t ViewportHeight() const;
    void Layout();
    void Placed() override;
    void ShowScroll();
    void SetBackground(int32_t start, int32_t end, bool highlighted);
    // Tells a screen reader of the lines whose highlight changed.
    void Announce(int32_t start, int32_t end) const;
    // The text of [start, end) as UTF-8.
    std::string TextOf(int32_t start, int32_t end) const;
    bool CanReach() const { return !m_destroyed && UserCanReach(); }
    const Link& LinkAt(int32_t index) const;
    // The link under a point of the viewport, -1 for none.
    int32_t LinkAtPoint(QPoint point) const;
    // The pointer (or the keyboard) is over a link now, -1 for none.
    void Point(int32_t link);
    void Repaint() const;
    void Paint(QPainter& painter, const QRect& area);

    int32_t m_hWnd = 0;
    controls::RichTextEvents m_events;
    QTextDocument m_document;
    formats::PackedText m_text;
    std::vector<int32_t> m_astral;  // text positions of characters beyond the BMP
    std::vector<Line> m_lines;
    struct Range {
        int32_t start;
        int32_t end;
    };
    std::vector<Range> m_highlights;  // sorted, disjoint, merged
    std::vector<Link> m_links;
    int32_t m_matchStart = -1;
    int32_t m_matchEnd = -1;
    int32_t m_caret = 0;
    int32_t m_first = 0;
    int32_t m_entered = -1;  // the link the pointer or the keyboard is over
    int32_t m_focusLink = -1;
    QColor m_rollover{0, 0, 255};
    int16_t m_displayFlags[3] = {0, 0, 0};
    Picture m_backPicture;
    bool m_destroyed = false;
};

}  // namespace scenova::qt
