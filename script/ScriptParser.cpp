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

// The message for a tag written without its value.
struct MissingValue {
    const char* tag;
    int32_t code;
    const char* text;
};
constexpr MissingValue kMissingValues[] = {
    {"VIDEO", report::NoVideo, "VIDEO script tag found with no video name."},
    {"ACTOR", report::MissingValue, "ACTOR script tag found with no actor name."},
    {"TEXT", report::MissingValue, "TEXT script tag found with no text string."},
    {"AVSTART", report::MissingValue, "AVSTART script tag found with no start value."},
    {"AVEND", report::MissingValue, "AVEND script tag found with no end value."},
    {"RESOPEN", report::MissingValue, "RESOPEN script tag found with no ButtonID."},
    {"RESCLOSE", report::MissingValue, "RESCLOSE script tag found with no ButtonID."},
    {"RESUPDATE", report::MissingValue, "RESUPDATE script tag found with no ButtonID."},
};

const MissingValue* FindMissingValue(const std::string& tag) {
    for (const MissingValue& entry : kMissingValues) {
        if (tag == entry.tag) {
            return &entry;
        }
    }
    return nullptr;
}

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

    int32_t cue = -1;
    int32_t block = -1;
    int32_t lineInBlock = -1;
    std::string previousActor;
    videoName.clear();
    bool videoFound = false;
    m_platform.toolkit().DoEvents();
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
            const MissingValue* missing = FindMissingValue(tag);
            if (missing == nullptr) {
                continue;
            }
            Mgr().ReportError(*this, missing->code, missing->text);
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
            RedimPreserve(module.g_Cues, ++cue);
            if (value != previousActor) {
                ++block;
                lineInBlock = -1;
                RedimPreserve(module.g_Blocks, block);
                RedimPreserve(module.g_Transcript, block);
                std::string& actor = Element(module.g_Transcript, block).Actor;
                actor = value;
                previousActor = value;
                if (actorCode) {
                    actor = *actorCode + actor;
                }
            }
        } else if (tag == "TEXT") {
            MarkCultureTips(value, module.g_strCultureTipChar);
            std::vector<std::string>& texts = Element(module.g_Transcript, block).Texts;
            RedimPreserve(texts, ++lineInBlock);
            std::string& text = Element(texts, lineInBlock);
            text = value;
            if (textCode) {
                text = *textCode + std::string(TrimSpaces(text)) + "\\cf0";
            }
        } else if (tag == "AVSTART") {
            const double time = ToDouble(value);
            Element(module.g_Cues, cue).StartTime = time;
            BlockInfo& current = Element(module.g_Blocks, block);
            if (current.StartTime == 0) {
                current.StartTime = time;
            }
        } else if (tag == "AVEND") {
            const double time = ToDouble(value);
            Element(module.g_Cues, cue).EndTime = time;
            Element(module.g_Blocks, block).EndTime = time;
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
