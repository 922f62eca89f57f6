#include "module/Module1.h"
#include "runtime/Array.h"
#include "runtime/Convert.h"
#include "window/TranscriptScroll.h"
#include "window/frmScenova.h"

namespace scenova {

namespace bs = controls::button_state;

// A click plays exactly the clicked line, with block signals off, and keeps
// the line highlighted and remembered.
void frmScenova::rtfText_LinkClick(int32_t UserID, int16_t /*LinkType*/, int32_t StartIndex,
                                   int32_t EndIndex, int16_t /*Button*/) {
    Module1& module = Module1::Get();
    controls::IVideo& video = movOrvMovie();
    controls::IRichText& text = rtfText();
    video.EnableSignals(false);
    m_blnLinkClicked = true;
    if (m_VideoState == 0) {
        StopPlayback();
        if (m_lngCurrentBlock != -1) {
            const BlockInfo& playing = Element(module.g_Blocks, m_lngCurrentBlock);
            text.UnhighlightRange(playing.TextStart, playing.TextEnd, 0);
        }
        m_VideoState = -1;
        text.HighlightRange(StartIndex, EndIndex);
    }
    if (m_lngSelStart != -1 && m_lngSelStart != StartIndex) {
        text.UnhighlightRange(m_lngSelStart, m_lngSelEnd, 0);
    }
    m_lngSelStart = StartIndex;
    m_lngSelEnd = EndIndex;

    const CueInfo cue = Element(module.g_Cues, UserID);
    const BlockInfo& block = Element(module.g_Blocks, cue.Block);
    if (block.LastLine > text.LastVisibleLine()) {
        ScrollTranscript(text, static_cast<double>(block.LastLine) - text.LastVisibleLine());
    } else if (block.FirstLine < text.FirstVisibleLine()) {
        ScrollTranscript(text, static_cast<double>(block.FirstLine) - text.FirstVisibleLine());
    }

    SetSliderQuietly(cue.Block + 1);
    UpdateStepButtons();
    m_lngCurrentBlock = cue.Block;

    video.SetPlayMode(2);
    SetButtonIfExists("btnVideoPlay", bs::Disabled);
    SetButtonIfExists("btnVideoStop", bs::Enabled);
    video.PlayRange(cue.StartTime, cue.EndTime, true);
}

void frmScenova::rtfText_LinkEnter(int32_t /*UserID*/, int16_t /*LinkType*/, int32_t StartIndex,
                                   int32_t EndIndex) {
    Module1& module = Module1::Get();
    controls::IRichText& text = rtfText();
    // A stopped transcript shows at most the line under the pointer.
    if (m_VideoState == -1 && !m_blnLinkClicked) {
        text.ClearHighlight();
    }
    if (module.g_hLinkCursor != 0) {
        module.g_hPrevCursor = m_platform.user32().SetCursor(module.g_hLinkCursor);
    }
    text.HighlightRange(StartIndex, EndIndex);
}

void frmScenova::rtfText_LinkLeave(int32_t /*UserID*/, int16_t /*LinkType*/, int32_t StartIndex,
                                   int32_t EndIndex) {
    Module1& module = Module1::Get();
    if (module.g_hLinkCursor != 0) {
        m_platform.user32().SetCursor(module.g_hPrevCursor);
    }
    // The clicked line, or the first line of the playing block, stays lit.
    bool keep = false;
    if (m_VideoState == -1) {
        keep = m_blnLinkClicked && StartIndex == m_lngSelStart;
    } else if (m_VideoState == 0 && m_lngCurrentBlock != -1) {
        keep = StartIndex == Element(module.g_Blocks, m_lngCurrentBlock).TextStart;
    }
    if (!keep) {
        rtfText().UnhighlightRange(StartIndex, EndIndex, 0);
    }
}

}  // namespace scenova
