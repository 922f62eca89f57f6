#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "module/Module1.h"
#include "rtfbuilder/CreateRTFText.h"
#include "runtime/Array.h"
#include "runtime/Convert.h"
#include "script/ScriptText.h"
#include "settings/ValueParsers.h"
#include "tool/CScenova.h"

namespace scenova {

namespace {

int32_t ResourceCommand(const std::string& tag) {
    if (tag == "RESOPEN") {
        return resource::Open;
    }
    return tag == "RESCLOSE" ? resource::Close : resource::Update;
}

}  // namespace

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
    // parse would otherwise break the block start rule below.
    module.g_Cues.clear();
    module.g_Blocks.clear();
    module.g_Transcript.clear();

    ScriptPlace place;
    videoName.clear();
    bool videoFound = false;
    ProcessMessages();
    // The colour codes put before speakers and lines, worked out once for
    // the whole script rather than once a line.
    auto colourCode = [](const std::string& colour) -> std::optional<std::string> {
        ColourComponents rgb{};
        if (ParseRGBColour(colour, rgb)) {
            return ColourCode(rgb);
        }
        return std::nullopt;
    };
    const std::optional<std::string> actorCode = colourCode(m_transcript.m_strActorFontColor);
    const std::optional<std::string> textCode = colourCode(m_transcript.m_strTextFontColor);

    for (int32_t i = 1; i <= count; ++i) {
        auto line = SplitScriptLine(ToText(Script.Item(i)));
        if (!line) {
            continue;
        }
        const std::string& tag = line->tag;
        std::string value = std::move(line->value);
        if (!line->hasValue) {
            const ScriptTag* missing = FindScriptTag(tag);
            if (missing == nullptr) {
                continue;
            }
            Mgr().ReportError(*this, missing->missingCode, std::string(missing->missingText));
            if (tag == "VIDEO") {
                return false;  // a lesson without its video cannot be played
            }
            if (tag.starts_with("RES")) {
                continue;
            }
            if (tag == "AVSTART" || tag == "AVEND") {
                // Not `value = "0"`: GCC 12 at -O3 takes that for an overlapping copy.
                value.assign(1, '0');
            }
        }

        if (tag == "VIDEO") {
            videoName = value;
            videoFound = true;
        } else if (tag == "ACTOR") {
            const bool newBlock = place.Actor(value);
            RedimPreserve(module.g_Cues, place.cue);
            if (newBlock) {
                RedimPreserve(module.g_Blocks, place.block);
                RedimPreserve(module.g_Transcript, place.block);
                std::string& actor = Element(module.g_Transcript, place.block).Actor;
                actor = value;
                if (actorCode) {
                    actor = *actorCode + actor;
                }
            }
        } else if (tag == "TEXT") {
            MarkCultureTips(value, module.g_strCultureTipChar);
            std::vector<std::string>& texts = Element(module.g_Transcript, place.block).Texts;
            place.Text();
            RedimPreserve(texts, place.lineInBlock);
            std::string& text = Element(texts, place.lineInBlock);
            text = value;
            if (textCode) {
                text = *textCode + std::string(TrimSpaces(text)) + "\\cf0";
            }
        } else if (tag == "AVSTART") {
            const double time = ScriptTime(value);
            Element(module.g_Cues, place.cue).StartTime = time;
            BlockInfo& current = Element(module.g_Blocks, place.block);
            if (current.StartTime == 0) {
                current.StartTime = time;
            }
        } else if (tag == "AVEND") {
            const double time = ScriptTime(value);
            Element(module.g_Cues, place.cue).EndTime = time;
            Element(module.g_Blocks, place.block).EndTime = time;
        } else if (tag == "RESOPEN" || tag == "RESCLOSE" || tag == "RESUPDATE") {
            std::vector<std::string> parts;
            const int16_t n = SplitList(value, parts);
            if (n > 0) {
                std::string buttonId = parts[0];
                int32_t action = ResourceCommand(tag);
                std::string parameter = n == 2 ? parts[1] : std::string();
                Mgr().ResourceAction(buttonId, action, n == 2 ? &parameter : nullptr);
            }
        }
    }

    if (!videoFound) {
        Mgr().ReportError(*this, report::NoVideo, "No VIDEO script tag was found.");
        return false;
    }
    return true;
}

}  // namespace scenova
