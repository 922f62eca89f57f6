#include "module/Module1.h"
#include "runtime/Array.h"
#include "runtime/Convert.h"
#include "window/TranscriptScroll.h"
#include "window/frmScenova.h"

namespace scenova {

namespace bs = controls::button_state;

bool frmScenova::ButtonExists(const std::string& buttonName) {
    const auto& buttons = Module1::Get().g_colButtonInfo;
    if (!buttons || !buttons->Contains(buttonName)) {
        return false;
    }
    const Variant item = buttons->Item(std::string_view(buttonName));
    const auto* text = std::get_if<std::string>(&item);
    return text == nullptr || !text->empty();
}

void frmScenova::StopPlayback() {
    movOrvMovie().Stop();
    rtfText().ClearHighlight();
    SetButtonIfExists("btnVideoPlay", bs::Enabled);
    SetButton("btnVideoStop", bs::Disabled);
    m_VideoState = -1;
}

void frmScenova::UpdateStepButtons() {
    // Without a parsed lesson there are no blocks: the scale is then empty.
    const int32_t blocks = static_cast<int32_t>(Module1::Get().g_Blocks.size());
    const int32_t v = sldVideoSlider().Value();
    controls::IButtonBar& bar = frmRose();
    auto setIfDifferent = [&](const char* name, int16_t state) {
        if (ButtonExists(name) && bar.GetButtonState(name) != state) {
            bar.SetButtonState(name, state, true);
        }
    };
    if (v <= 1) {
        setIfDifferent("btnVideoRew", bs::Disabled);
        setIfDifferent("btnVideoFwd", bs::Enabled);
    } else if (v < blocks) {
        setIfDifferent("btnVideoRew", bs::Enabled);
        setIfDifferent("btnVideoFwd", bs::Enabled);
    } else {
        SetButtonIfExists("btnVideoFwd", bs::Disabled);
        setIfDifferent("btnVideoRew", bs::Enabled);
    }
}

void frmScenova::SetButton(const char* buttonName, int16_t state) {
    frmRose().SetButtonState(buttonName, state, true);
}

void frmScenova::SetButtonIfExists(const char* buttonName, int16_t state) {
    if (ButtonExists(buttonName)) {
        SetButton(buttonName, state);
    }
}

void frmScenova::SetSliderQuietly(int32_t value) {
    // Restored however the assignment ends, or every later move of the
    // slider would be taken for the window's own. A signal handled inside an
    // outer assignment's yield hands back the False it found, so the outer
    // change handler still sees its own move as the window's.
    struct Restore {
        bool& flag;
        bool outer;
        ~Restore() { flag = outer; }
    } restore{m_blnSliderByUser, m_blnSliderByUser};
    m_blnSliderByUser = false;
    sldVideoSlider().Value(value);
}

void frmScenova::frmRose_ButtonPress(const std::string& buttonName) {
    const int32_t blocks = static_cast<int32_t>(Module1::Get().g_Blocks.size());
    controls::ISlider& slider = sldVideoSlider();
    if (buttonName == "btnVideoPlay") {
        Play();
    } else if (buttonName == "btnVideoStop") {
        StopPlayback();
    } else if (buttonName == "btnVideoFwd") {
        // The slider's change handler seeks to the new block.
        if (slider.Value() < blocks) {
            slider.Value(slider.Value() + 1);
        }
    } else if (buttonName == "btnVideoRew") {
        if (slider.Value() > 1) {
            slider.Value(slider.Value() - 1);
        }
    } else if (buttonName == "btnTextOff") {
        rtfText().Visible(false);
        SetButtonIfExists("btnTextOn", bs::Enabled);
        SetButton("btnTextOff", bs::Disabled);
    } else if (buttonName == "btnTextOn") {
        rtfText().Visible(true);
        SetButton("btnTextOn", bs::Disabled);
        SetButtonIfExists("btnTextOff", bs::Enabled);
    }
}

void frmScenova::Play() {
    controls::IVideo& video = movOrvMovie();
    if (m_lngCurrentBlock == -1) {
        if (sldVideoSlider().Value() != 0) {
            SetSliderQuietly(0);
            SetButtonIfExists("btnVideoRew", bs::Disabled);
            SetButtonIfExists("btnVideoFwd", bs::Enabled);
        }
        StartPlayback(0.0, video.Duration(), 1);
    } else {
        // Playback restarts at the beginning of the current block.
        const double start = Element(Module1::Get().g_Blocks, m_lngCurrentBlock).StartTime;
        StartPlayback(start, video.Duration(), 1);
    }
}

void frmScenova::StartPlayback(double startTime, double endTime, int16_t playMode) {
    controls::IVideo& video = movOrvMovie();
    video.EnableSignals(true);
    video.SetPlayMode(playMode);
    if (video.PlayRange(startTime, endTime, false)) {
        m_VideoState = 0;
        SetButton("btnVideoPlay", bs::Disabled);
        SetButtonIfExists("btnVideoStop", bs::Enabled);
    }
}

void frmScenova::movOrvMovie_SignalEvent(int16_t nEventNum) {
    // While this runs, a pending navigation press waits (see ExitTimer_Timer).
    // A signal handled inside another one's yield hands the flag back as it
    // found it, so the outer handler stays protected.
    struct InSignal {
        bool& flag;
        bool outer;
        explicit InSignal(bool& f) : flag(f), outer(f) { flag = true; }
        ~InSignal() { flag = outer; }
    } inSignal(m_blnInSignalEvent);

    const auto& blocks = Module1::Get().g_Blocks;
    const int32_t n = static_cast<int32_t>(blocks.size());
    // Signal k marks block k-1 and signal n+1 the end; nothing else exists.
    if (nEventNum < 1 || nEventNum > n + 1) {
        Raise(err::SubscriptOutOfRange);
    }
    const uint32_t signal = ++m_signalsHandled;
    if (m_VideoState == 0) {
        SetSliderQuietly(nEventNum);
        if (m_signalsHandled != signal) {
            // A later signal came through the slider's yield and made its own
            // block current: this one's block is past already.
            return;
        }
    }
    m_lngCurrentBlock = nEventNum - 1;
    UpdateStepButtons();
    if (m_lngCurrentBlock >= n) {
        StopPlayback();
        m_VideoState = -1;
        m_lngCurrentBlock = -1;
        return;
    }

    const BlockInfo& block = Element(blocks, m_lngCurrentBlock);
    controls::IRichText& text = rtfText();
    const int32_t first = text.FirstVisibleLine();
    const int32_t last = text.LastVisibleLine();
    const bool scroll = m_VideoState == 0 ? block.FirstLine != first
                                          : block.LastLine > last || block.FirstLine < first;
    if (scroll) {
        ScrollTranscript(text, static_cast<double>(block.FirstLine) - first);
    }

    if (m_VideoState == 0 && m_lngSelStart != -1) {
        // The first signal after a link click forgets the clicked line.
        m_lngSelStart = -1;
        m_blnLinkClicked = false;
    } else {
        text.ClearHighlight();
    }
    text.HighlightRange(block.TextStart, block.TextEnd);
}

void frmScenova::movOrvMovie_Notify() {
    SetButtonIfExists("btnVideoPlay", bs::Enabled);
    SetButtonIfExists("btnVideoStop", bs::Disabled);
}

void frmScenova::frmRose_ButtonGotFocus(const std::string& buttonName) {
    const int16_t state = frmRose().GetButtonState(buttonName);
    const Module1& module = Module1::Get();
    if (state != bs::Disabled && !module.g_strButtonCursor.empty()) {
        IScreen& screen = m_platform.screen();
        screen.MouseIcon(module.g_picButtonCursor);
        screen.MousePointer(mouse_pointer::Custom);
    }
}

void frmScenova::frmRose_ButtonLostFocus(const std::string&) {
    HideButtonCursor();
}

}  // namespace scenova
