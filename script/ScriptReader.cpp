#include "script/ScriptReader.h"

#include <utility>

#include "runtime/Array.h"
#include "runtime/ColourMarker.h"
#include "runtime/Convert.h"
#include "tool/Manager.h"

namespace scenova {

namespace {

int32_t ResourceCommand(TagKind tag) {
    if (tag == TagKind::ResOpen) {
        return resource::Open;
    }
    return tag == TagKind::ResClose ? resource::Close : resource::Update;
}

}  // namespace

bool ScriptReader::Line(int32_t number, std::string_view text) {
    m_step = ScriptStep::Value;
    auto line = SplitScriptLine(text);
    const ScriptTag* tag = line ? FindScriptTag(line->tag) : nullptr;
    if (tag == nullptr) {
        m_diagnostics.ScriptLineIgnored(number, line ? &*line : nullptr);
        return true;
    }
    m_diagnostics.ScriptLineRead(number, *line, *tag);
    std::string value = std::move(line->value);
    if (!line->hasValue) {
        m_host.reportError(tag->missingCode, std::string(tag->missingText));
        switch (tag->withoutValue) {
            case WithoutValue::EndParse:
                return false;  // a lesson without its video cannot be played
            case WithoutValue::SkipLine:
                return true;
            case WithoutValue::TakeZero:
                // Not `value = "0"`: GCC 12 at -O3 takes that for an overlapping copy.
                value.assign(1, '0');
                break;
            case WithoutValue::TakeEmpty:
                break;
        }
    }
    Apply(tag->kind, value);
    return true;
}

void ScriptReader::Apply(TagKind tag, std::string& value) {
    switch (tag) {
        case TagKind::Video:
            m_videoName = value;
            m_videoFound = true;
            break;
        case TagKind::Actor: {
            const bool newBlock = m_place.Actor(value);
            RedimPreserve(m_tables.cues, m_place.cue);
            if (newBlock) {
                RedimPreserve(m_tables.blocks, m_place.block);
                RedimPreserve(m_tables.transcript, m_place.block);
                std::string& actor = Element(m_tables.transcript, m_place.block).Actor;
                actor = m_dress.actorColour ? *m_dress.actorColour + value : value;
            }
            break;
        }
        case TagKind::Text: {
            MarkCultureTips(value, m_dress.cultureTipChar);
            m_step = ScriptStep::Holder;
            std::vector<std::string>& texts = Element(m_tables.transcript, m_place.block).Texts;
            m_step = ScriptStep::Value;
            m_place.Text();
            RedimPreserve(texts, m_place.lineInBlock);
            std::string& text = Element(texts, m_place.lineInBlock);
            if (m_dress.textColour) {
                text = *m_dress.textColour;
                text += TrimSpaces(value);
                text += colour_marker::kEnd;
            } else {
                text = value;
            }
            break;
        }
        case TagKind::AvStart: {
            m_step = ScriptStep::Time;
            const double time = ScriptTime(value);
            m_step = ScriptStep::Holder;
            Element(m_tables.cues, m_place.cue).StartTime = time;
            BlockInfo& current = Element(m_tables.blocks, m_place.block);
            if (current.StartTime == 0) {
                current.StartTime = time;
            }
            break;
        }
        case TagKind::AvEnd: {
            m_step = ScriptStep::Time;
            const double time = ScriptTime(value);
            m_step = ScriptStep::Holder;
            Element(m_tables.cues, m_place.cue).EndTime = time;
            Element(m_tables.blocks, m_place.block).EndTime = time;
            break;
        }
        case TagKind::ResOpen:
        case TagKind::ResClose:
        case TagKind::ResUpdate: {
            std::vector<std::string> parts;
            const int16_t n = SplitList(value, parts);
            if (n > 0) {
                std::string buttonId = parts[0];
                int32_t action = ResourceCommand(tag);
                std::string parameter = n == 2 ? parts[1] : std::string();
                m_host.resourceAction(buttonId, action, n == 2 ? &parameter : nullptr);
            }
            break;
        }
    }
}

bool ScriptReader::Finish() {
    if (!m_videoFound) {
        m_host.reportError(report::NoVideo, "No VIDEO script tag was found.");
    }
    return m_videoFound;
}

int32_t TranscriptLinks::LastBlock() const {
    return UBound(m_tables.transcript);
}

int32_t TranscriptLinks::LastLine(int32_t block) const {
    return UBound(Element(m_tables.transcript, block).Texts);
}

const std::string& TranscriptLinks::Text(int32_t block, int32_t line) const {
    return Element(Element(m_tables.transcript, block).Texts, line);
}

void TranscriptLinks::Found(int32_t block, int32_t line, const Range& range) {
    m_last = range;
    Element(m_tables.cues, m_cue).Block = block;
    ++m_cue;
    if (line == 0) {
        BlockInfo& info = Element(m_tables.blocks, block);
        info.TextStart = range.start;
        info.FirstLine = range.firstLine;
    }
}

void TranscriptLinks::EndBlock(int32_t block) {
    BlockInfo& info = Element(m_tables.blocks, block);
    info.TextEnd = m_last.end;
    info.LastLine = m_last.lastLine;
}

}  // namespace scenova
