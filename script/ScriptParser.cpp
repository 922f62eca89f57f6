#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "module/Module1.h"
#include "rtfbuilder/CreateRTFText.h"
#include "runtime/ColourMarker.h"
#include "runtime/Convert.h"
#include "script/ScriptReader.h"
#include "settings/ValueParsers.h"
#include "tool/CScenova.h"

namespace scenova {

void CScenova::ParseScript(ICollection& Script) {
    if (Script.Count() == 0) {
        return;
    }
    std::string videoName;
    if (!ReadScript(Script, videoName)) {
        return;
    }
    {
        // The RTF of a long lesson runs to megabytes: it goes once the
        // control has read it, before the lines are located.
        Module1& module = Module1::Get();
        controls::IRichText& transcript = m_MyForm->rtfText();
        int16_t useSeparator = m_transcript.m_blnUseSeperator ? -1 : 0;
        const int32_t hWnd = transcript.hWnd();
        const int16_t metricA = ToInteger(static_cast<double>(transcript.RtfMetricA()));
        const int16_t metricB = ToInteger(static_cast<double>(transcript.RtfMetricB()));
        // The text is plain 7-bit RTF: the same in any 8-bit code page, in
        // which the platform hands it to the control.
        const std::string rtf = CreateRTFText(hWnd, metricA, metricB, module.g_Transcript,
                                              module.g_TranscriptFonts, useSeparator);

        const std::string path = module.g_strVideoPath + videoName;
        if (!m_MyForm->movOrvMovie().OpenMovie(path, 0)) {
            Mgr().ReportError(*this, report::CannotOpen,
                              "Unable to open movie: " + module.g_strVideoPath + videoName);
        }
        transcript.RTFContent(rtf);
    }
    LocateTranscriptLines();
    RegisterCueTimes();
    SetSliderRange();
}

bool CScenova::ReadScript(ICollection& Script, std::string& videoName) {
    const int32_t count = Script.Count();
    Module1& module = Module1::Get();
    // A parse starts from empty tables: entries left by an earlier, failed
    // parse would otherwise break the block start rule.
    module.g_Cues.clear();
    module.g_Blocks.clear();
    module.g_Transcript.clear();
    ProcessMessages();

    // The colour markers put before speakers and lines, worked out once for
    // the whole script rather than once a line.
    auto colourStart = [](const std::string& colour) -> std::optional<std::string> {
        ColourComponents rgb{};
        if (ParseRGBColour(colour, rgb)) {
            return colour_marker::Start(rgb);
        }
        return std::nullopt;
    };
    ScriptReader reader(
        {module.g_Cues, module.g_Blocks, module.g_Transcript},
        {colourStart(m_transcript.m_strActorFontColor),
         colourStart(m_transcript.m_strTextFontColor), module.g_strCultureTipChar},
        {[this](int32_t code, const std::string& text) { Mgr().ReportError(*this, code, text); },
         [this](std::string& buttonId, int32_t& action, std::string* parameter) {
             Mgr().ResourceAction(buttonId, action, parameter);
         }},
        *m_diagnostics);
    for (int32_t i = 1; i <= count; ++i) {
        if (!reader.Line(i, ToText(Script.Item(i)))) {
            return false;
        }
    }
    if (!reader.Finish()) {
        return false;
    }
    videoName = reader.VideoName();
    return true;
}

}  // namespace scenova
