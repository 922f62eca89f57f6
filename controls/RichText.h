#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "controls/Control.h"
#include "platform/Picture.h"

namespace scenova::controls {

struct RichTextEvents {
    std::function<void(int32_t userID, int16_t linkType, int32_t startIndex, int32_t endIndex,
                       int16_t button)>
        LinkClick;
    std::function<void(int32_t userID, int16_t linkType, int32_t startIndex, int32_t endIndex)>
        LinkEnter;
    std::function<void(int32_t userID, int16_t linkType, int32_t startIndex, int32_t endIndex)>
        LinkLeave;
};

// The flags of FindText, as a rich edit control's search takes them; -1 sets
// them all, other bits mean nothing.
namespace find_flags {
inline constexpr int32_t Down = 1;       // the first match from `from` on; else the last one
inline constexpr int32_t WholeWord = 2;  // the match neither starts nor ends inside a word
inline constexpr int32_t MatchCase = 4;  // letters match only in the same case
}  // namespace find_flags

// The transcript: a rich text control with links. Character positions count
// from 0; line numbers are the control's own.
class IRichText : public IContainedControl {
public:
    virtual void Advise(RichTextEvents events) = 0;

    virtual void RolloverColor(int32_t colour) = 0;
    virtual void DisplayFlag1(int16_t value) = 0;
    virtual void DisplayFlag2(int16_t value) = 0;
    virtual void DisplayFlag3(int16_t value) = 0;
    virtual int32_t hWnd() const = 0;
    virtual int32_t RtfMetricA() const = 0;
    virtual int32_t RtfMetricB() const = 0;
    virtual void RTFContent(const std::string& rtf) = 0;
    virtual void BackPicture(Picture& picture) = 0;

    virtual int32_t TextLength() const = 0;
    virtual int32_t MatchStart() const = 0;
    virtual int32_t MatchEnd() const = 0;
    virtual int32_t CaretLine() const = 0;
    virtual void CaretPosition(int32_t position) = 0;
    // A match of text lying wholly in the range: it starts at or after `from`
    // and ends at or before `to` (MatchEnd <= to), as find_flags says.
    // Returns its start, and MatchStart and MatchEnd give it; -1 when none.
    virtual int32_t FindText(int32_t from, int32_t to, int32_t flags, const std::string& text) = 0;
    virtual void AddLink(int32_t startIndex, int32_t endIndex, int16_t linkType,
                         int32_t userID) = 0;

    virtual void ScrollBarVisible(bool value) = 0;
    virtual int32_t FirstVisibleLine() const = 0;
    virtual int32_t LastVisibleLine() const = 0;
    virtual int32_t LineCount() const = 0;
    virtual void ScrollLines(int16_t lines) = 0;
    virtual void HighlightRange(int32_t startIndex, int32_t endIndex) = 0;
    virtual void UnhighlightRange(int32_t startIndex, int32_t endIndex, int16_t mode) = 0;
    virtual void ClearHighlight() = 0;
};

}  // namespace scenova::controls
