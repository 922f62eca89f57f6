#include "module/Module1.h"
#include "runtime/Array.h"
#include "runtime/Convert.h"
#include "window/TranscriptScroll.h"
#include "window/frmScenova.h"

namespace scenova {

// A user's move of the slider stops playback and seeks to the chosen block,
// to the very start (0) or to the very end (Max). The block itself becomes
// current through the signal the seek raises.
void frmScenova::sldVideoSlider_Change() {
    if (!ProcessMessages() || !m_blnSliderByUser) {
        return;
    }
    m_blnLinkClicked = false;
    StopPlayback();
    controls::IVideo& video = movOrvMovie();
    controls::ISlider& slider = sldVideoSlider();
    controls::IRichText& text = rtfText();
    video.EnableSignals(true);
    const int32_t v = slider.Value();
    UpdateStepButtons();
    if (m_VideoState != -1) {
        return;
    }
    const int32_t max = slider.Max();
    if (v > 0 && v < max) {
        const BlockInfo& block = Element(Module1::Get().g_Blocks, v - 1);
        video.Seek(block.StartTime);
        m_lngSelStart = block.TextStart;
        m_lngSelEnd = block.TextEnd;
    } else if (v == max) {
        text.ClearHighlight();
        video.Seek(video.Duration());
        ScrollTranscript(text, static_cast<double>(text.LineCount()) - text.FirstVisibleLine());
    } else {
        text.ClearHighlight();
        video.Seek(0.0);
        m_lngCurrentBlock = -1;
        ScrollTranscript(text, -static_cast<double>(text.LastVisibleLine()));
    }
}

// Holding the thumb during playback pauses it.
void frmScenova::sldVideoSlider_ThumbDown() {
    if (m_VideoState == 0) {
        controls::IVideo& video = movOrvMovie();
        video.Pause();
        m_dblPausePosition = video.CurrentPosition();
        m_VideoState = 1;
    }
}

// Dragging the held thumb turns the pause into a stop.
void frmScenova::sldVideoSlider_Scroll() {
    if (m_VideoState == 1) {
        StopPlayback();
    }
}

// Releasing the thumb without dragging resumes where playback paused.
void frmScenova::sldVideoSlider_ThumbUp() {
    if (m_VideoState != 1) {
        return;
    }
    controls::IVideo& video = movOrvMovie();
    if (video.PlayRange(m_dblPausePosition, video.Duration(), false)) {
        m_VideoState = 0;
    } else {
        // The video did not resume: show it stopped rather than claim playback.
        StopPlayback();
    }
}

}  // namespace scenova
