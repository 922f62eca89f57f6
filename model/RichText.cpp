#include "model/RichText.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <optional>

#include "formats/TextSearch.h"
#include "runtime/RuntimeError.h"

namespace scenova::model {

void RichText::RolloverColor(int32_t colour) {
    m_ctx.Put(m_name, Member::RolloverColor, colour);
    m_rolloverColor = colour;
    Redraw();
}

formats::PackedText RichText::Read(const std::string& rtf) {
    return formats::ReadPackedRtfText(rtf);
}

void RichText::RTFContent(const std::string& rtf) {
    // A whole document would make the record unreadable.
    m_ctx.Put(m_name, Member::RTFContent, Shown{"<rtf " + std::to_string(rtf.size()) + " bytes>"});
    // Positions and lengths are 32-bit throughout; the text is never longer
    // than the RTF it comes from.
    if (rtf.size() > static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) {
        Raise(err::OutOfMemory);
    }
    m_text = Read(rtf);
    m_ctx.elementsExamined += rtf.size();
    m_lineStarts.assign(1, 0);
    for (std::size_t i = 0; i < m_text.size(); ++i) {
        if (m_text[i] == '\n') {
            m_lineStarts.push_back(static_cast<int32_t>(i + 1));
        }
    }
    m_links.clear();
    m_highlights.clear();
    m_matchStart = -1;
    m_matchEnd = -1;
    m_caret = 0;
    m_firstVisible = 0;
    m_entered = -1;
    m_keyboardLink = -1;
    Loaded();
}

void RichText::BackPicture(Picture& picture) {
    m_ctx.Put(m_name, Member::BackPicture, picture);
    m_backPicture = picture;
    Redraw();
}

void RichText::CaretPosition(int32_t position) {
    m_ctx.Put(m_name, Member::CaretPosition, position);
    m_caret = std::clamp(position, int32_t{0}, TextLength());
}

int32_t RichText::FindText(int32_t from, int32_t to, int32_t flags, const std::string& text) {
    m_ctx.Call(m_name, Member::FindText, from, to, flags, text);
    const std::optional<formats::TextMatch> match =
        formats::FindInText(m_text, from, to, flags, text, &m_ctx.elementsExamined);
    if (!match) {
        return -1;
    }
    m_matchStart = match->start;
    m_matchEnd = match->end;
    return m_matchStart;
}

void RichText::AddLink(int32_t startIndex, int32_t endIndex, int16_t linkType, int32_t userID) {
    m_ctx.Call(m_name, Member::AddLink, startIndex, endIndex, linkType, userID);
    if (startIndex < 0 || startIndex > endIndex || endIndex > TextLength()) {
        Raise(err::SubscriptOutOfRange);
    }
    m_links.push_back({startIndex, endIndex, linkType, userID});
}

void RichText::ScrollBarVisible(bool value) {
    m_ctx.Put(m_name, Member::ScrollBarVisible, value);
    m_scrollBarVisible = value;
    Scrolled();
}

int32_t RichText::LastVisibleLine() const {
    return std::min(m_firstVisible + LinesPerPage() - 1, LineCount() - 1);
}

void RichText::ScrollLines(int16_t lines) {
    m_ctx.Call(m_name, Member::ScrollLines, lines);
    ScrollTo(m_firstVisible + lines);
}

void RichText::ScrollTo(int32_t line) {
    m_firstVisible = std::clamp(line, int32_t{0}, LastFirstLine());
    Scrolled();
}

void RichText::Placed() {
    // A taller page may leave the first line below the last full page.
    ScrollTo(std::min(m_firstVisible, LastFirstLine()));
}

void RichText::HighlightRange(int32_t startIndex, int32_t endIndex) {
    m_ctx.Call(m_name, Member::HighlightRange, startIndex, endIndex);
    Range added = Clamp(startIndex, endIndex);
    if (added.start >= added.end) {
        return;
    }
    Shade(added.start, added.end, true);
    // The ranges are sorted and disjoint, so those that touch or overlap the
    // new one are consecutive; they merge into it.
    const auto first = std::lower_bound(m_highlights.begin(), m_highlights.end(), added.start,
                                        [](const Range& r, int32_t at) { return r.end < at; });
    const auto last = std::upper_bound(first, m_highlights.end(), added.end,
                                       [](int32_t at, const Range& r) { return at < r.start; });
    if (first != last) {
        added.start = std::min(added.start, first->start);
        added.end = std::max(added.end, std::prev(last)->end);
    }
    m_ctx.elementsExamined += static_cast<uint64_t>(m_highlights.end() - first);
    m_highlights.insert(m_highlights.erase(first, last), added);
}

void RichText::UnhighlightRange(int32_t startIndex, int32_t endIndex, int16_t mode) {
    m_ctx.Call(m_name, Member::UnhighlightRange, startIndex, endIndex, mode);
    const Range removed = Clamp(startIndex, endIndex);
    if (removed.start >= removed.end) {
        return;
    }
    const auto first = std::upper_bound(m_highlights.begin(), m_highlights.end(), removed.start,
                                        [](int32_t at, const Range& r) { return at < r.end; });
    const auto last = std::lower_bound(first, m_highlights.end(), removed.end,
                                       [](const Range& r, int32_t at) { return r.start < at; });
    if (first == last) {
        return;
    }
    m_ctx.elementsExamined += static_cast<uint64_t>(m_highlights.end() - first);
    Shade(std::max(removed.start, first->start), std::min(removed.end, std::prev(last)->end),
          false);
    // Only the outer two of the ranges hit can reach beyond the removed one.
    std::vector<Range> remains;
    if (first->start < removed.start) {
        remains.push_back({first->start, removed.start});
    }
    if (removed.end < std::prev(last)->end) {
        remains.push_back({removed.end, std::prev(last)->end});
    }
    m_highlights.insert(m_highlights.erase(first, last), remains.begin(), remains.end());
}

void RichText::ClearHighlight() {
    m_ctx.Call(m_name, Member::ClearHighlight);
    m_ctx.elementsExamined += m_highlights.size();
    for (const Range& range : m_highlights) {
        Shade(range.start, range.end, false);
    }
    m_highlights.clear();
}

bool RichText::UserEnterLink(int32_t index) {
    const Link link = LinkAt(index);  // a copy: the handler may replace the content
    if (!UserCanReach() || m_entered == index) {
        return false;
    }
    // The pointer comes from the link it was over: that one is left first.
    if (m_entered != -1 && !UserLeaveLink(m_entered)) {
        return false;
    }
    // The leave handler may have replaced the content or hidden the control.
    if (!UserCanReach() || index >= static_cast<int32_t>(m_links.size())) {
        return false;
    }
    m_entered = index;
    Redraw();
    const auto handler = m_events.LinkEnter;  // the handler may Advise anew
    m_ctx.Raise(m_name, Member::LinkEnter, handler, link.userID, link.type, link.start, link.end);
    return true;
}

bool RichText::UserLeaveLink(int32_t index) {
    const Link link = LinkAt(index);
    if (!UserCanReach() || m_entered != index) {
        return false;
    }
    m_entered = -1;
    Redraw();
    const auto handler = m_events.LinkLeave;
    m_ctx.Raise(m_name, Member::LinkLeave, handler, link.userID, link.type, link.start, link.end);
    return true;
}

bool RichText::UserClickLink(int32_t index, int16_t button) {
    const Link link = LinkAt(index);
    if (!UserCanReach()) {
        return false;
    }
    const auto handler = m_events.LinkClick;
    m_ctx.Raise(m_name, Member::LinkClick, handler, link.userID, link.type, link.start, link.end,
                button);
    return true;
}

void RichText::PointAt(int32_t link) {
    if (link == m_entered) {
        return;
    }
    if (m_entered >= 0) {
        UserLeaveLink(m_entered);
    }
    // The handler may have replaced the content.
    if (link >= 0 && link < static_cast<int32_t>(m_links.size())) {
        UserEnterLink(link);
    }
}

void RichText::UserFocus() {
    m_hasKeyboard = true;
    const auto count = static_cast<int32_t>(m_links.size());
    int32_t chosen = m_keyboardLink < count ? m_keyboardLink : -1;
    for (int32_t i = 0; chosen < 0 && i < count; ++i) {
        if (LineOf(m_links[static_cast<std::size_t>(i)].start) >= FirstVisibleLine()) {
            chosen = i;
        }
    }
    KeyboardTo(std::max(chosen, count > 0 ? 0 : -1));
}

void RichText::UserBlur() {
    m_hasKeyboard = false;
    if (m_keyboardLink >= 0 && m_entered == m_keyboardLink) {
        PointAt(-1);
    }
    KeyboardMoved();
    Redraw();
}

void RichText::UserKey(Key key) {
    const auto count = static_cast<int32_t>(m_links.size());
    // The first arrow after focus came without a line (a click) takes one.
    const bool onALine = m_hasKeyboard && m_keyboardLink >= 0 && m_keyboardLink < count;
    if (key != Key::Enter && !onALine) {
        UserFocus();
    } else if (key == Key::Up) {
        KeyboardTo(std::max(m_keyboardLink - 1, 0));
    } else if (key == Key::Down) {
        KeyboardTo(std::min(m_keyboardLink + 1, count - 1));
    } else if (onALine) {
        UserClickLink(m_keyboardLink, 1);
    }
}

void RichText::KeyboardTo(int32_t link) {
    m_keyboardLink = link >= 0 && link < static_cast<int32_t>(m_links.size()) ? link : -1;
    if (m_keyboardLink >= 0) {
        const Link& shown = m_links[static_cast<std::size_t>(m_keyboardLink)];
        const int32_t top = LineOf(shown.start);
        const int32_t bottom = LineOf(std::max(shown.end - 1, shown.start));
        if (top < FirstVisibleLine()) {
            ScrollTo(top);
        } else if (bottom > LastVisibleLine()) {
            ScrollTo(std::min(FirstVisibleLine() + bottom - LastVisibleLine(), top));
        }
        PointAt(m_keyboardLink);
    }
    KeyboardMoved();
    Redraw();
}

void RichText::Destroy() {
    m_destroyed = true;
    m_entered = -1;
    m_backPicture.reset();
}

std::string RichText::Content() const {
    return formats::EncodeUtf8(m_text.CodePoints());
}

std::string RichText::TextOf(int32_t start, int32_t end) const {
    std::u32string text;
    for (int32_t i = std::max(start, int32_t{0}); i < std::min(end, TextLength()); ++i) {
        text.push_back(m_text[static_cast<std::size_t>(i)]);
    }
    return formats::EncodeUtf8(text);
}

int32_t RichText::LinkIndexAt(int32_t position) const {
    for (std::size_t i = m_links.size(); i-- > 0;) {
        if (m_links[i].start <= position && position < m_links[i].end) {
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}

bool RichText::IsHighlighted(int32_t position) const {
    const auto after = std::upper_bound(m_highlights.begin(), m_highlights.end(), position,
                                        [](int32_t at, const Range& r) { return at < r.start; });
    return after != m_highlights.begin() && position < std::prev(after)->end;
}

int32_t RichText::LineOf(int32_t position) const {
    const int32_t clamped = std::clamp(position, int32_t{0}, TextLength());
    const auto after = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), clamped);
    return static_cast<int32_t>(after - m_lineStarts.begin()) - 1;
}

int32_t RichText::LinesPerPage() const {
    // Written so that NaN and negative heights give one line.
    if (!(m_height >= 2.0f * kTwipsPerLine)) {
        return 1;
    }
    constexpr float kMost = 1e6f;  // far beyond any line count, and safe to convert
    return static_cast<int32_t>(std::min(m_height, kMost * kTwipsPerLine) / kTwipsPerLine);
}

int32_t RichText::LastFirstLine() const {
    return std::max(LineCount() - LinesPerPage(), 0);
}

const RichText::Link& RichText::LinkAt(int32_t index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= m_links.size()) {
        Raise(err::SubscriptOutOfRange);
    }
    return m_links[static_cast<std::size_t>(index)];
}

RichText::Range RichText::Clamp(int32_t start, int32_t end) const {
    return {std::clamp(start, int32_t{0}, TextLength()), std::clamp(end, int32_t{0}, TextLength())};
}

std::string RichText::SpeakerOf(int32_t index) const {
    const Link& link = LinkAt(index);
    // Back over the paragraphs before the link, past those that are links.
    int32_t end = link.start;
    for (int steps = 0; end > 0 && steps < 64; ++steps) {
        int32_t start = end - 1;  // the line break ending the paragraph before
        while (start > 0 && Text()[static_cast<std::size_t>(start - 1)] != U'\n') {
            --start;
        }
        if (LinkIndexAt(start) < 0 && start < end - 1) {
            return TextOf(start, end - 1);
        }
        end = start;
    }
    return std::string();
}

std::string RichText::LinkName(int32_t index) const {
    const Link& link = LinkAt(index);
    const std::string speaker = SpeakerOf(index);
    std::string line = TextOf(link.start, link.end);
    // The tip's name ends the line, after a blank and the marker.
    if (const auto at = m_tipMarker.empty() ? std::string::npos : line.rfind(m_tipMarker);
        at != std::string::npos) {
        const std::string tip = line.substr(at + m_tipMarker.size());
        line.erase(at);
        while (!line.empty() && line.back() == ' ') {
            line.pop_back();
        }
        line += " (culture tip: " + tip + ")";
    }
    return speaker.empty() ? line : speaker + ": " + line;
}

}  // namespace scenova::model
