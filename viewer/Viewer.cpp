#include "viewer/Viewer.h"

#include <algorithm>
#include <cmath>

#include "controls/RichText.h"
#include "model/ButtonBar.h"
#include "model/RichText.h"
#include "model/Slider.h"
#include "module/Module1.h"

namespace scenova::viewer {

namespace {

using K = lesson::Action::Kind;

// How far past a line's end a tick may come and still be that line's end,
// not a jump elsewhere (a step, a seek), in seconds.
constexpr double kLateTick = 0.5;
constexpr std::size_t kLongestRemembered = 200;

bool Enabled(const model::ButtonBar& bar, const char* button) {
    return bar.HasButton(button) && bar.StateOf(button) == controls::button_state::Enabled;
}

// The transcript's link of a cue: its index among the links, or -1.
int32_t LinkOf(const model::RichText& text, int32_t cue) {
    const auto& links = text.Links();
    const auto found = std::find_if(links.begin(), links.end(),
                                    [&](const auto& link) { return link.userID == cue; });
    return found == links.end() ? -1 : static_cast<int32_t>(found - links.begin());
}

}  // namespace

bool Viewer::Run(Command command) {
    model::ButtonBar* bar = m_host.User().frmRose;
    switch (command) {
        case Command::PlayOrStop:
            if (bar == nullptr) {
                return false;
            }
            if (!Enabled(*bar, "btnVideoPlay")) {
                m_stopAt.reset();
                return Press("btnVideoStop");
            }
            // In a mode the next line plays on its own, and so stops at its end.
            if (m_loop) {
                return PlayLine(*m_loop);
            }
            if (m_pauseAfterLines && m_heard) {
                if (const auto next = LineAfter(*m_heard)) {
                    return PlayLine(*next);
                }
            }
            return Press("btnVideoPlay");
        case Command::Back:
            return Press("btnVideoRew");
        case Command::Forward:
            return Press("btnVideoFwd");
        case Command::Transcript:
            return bar != nullptr &&
                   Press(Enabled(*bar, "btnTextOff") ? "btnTextOff" : "btnTextOn");
        case Command::RepeatLine: {
            const auto cue = LineNowOrHeard();
            return cue && PlayLine(*cue);
        }
        case Command::PauseAfterLines:
            m_pauseAfterLines = !m_pauseAfterLines;
            m_stopAt.reset();
            m_host.ShowModes();
            return true;
        case Command::Loop:
            if (m_loop) {
                m_loop.reset();
            } else {
                const auto cue = LineNowOrHeard();
                if (!cue || !PlayLine(*cue)) {
                    return false;
                }
                m_loop = cue;
            }
            m_host.ShowModes();
            return true;
        case Command::Faster:
        case Command::Slower: {
            const auto at = std::min_element(
                kSpeeds.begin(), kSpeeds.end(),
                [&](double a, double b) { return std::abs(a - m_rate) < std::abs(b - m_rate); });
            const auto next = std::clamp<std::ptrdiff_t>(
                (at - kSpeeds.begin()) + (command == Command::Faster ? 1 : -1), 0,
                static_cast<std::ptrdiff_t>(kSpeeds.size()) - 1);
            SetRate(kSpeeds[static_cast<std::size_t>(next)]);
            return true;
        }
        case Command::Captions:
            SetCaptions(!m_captions);
            return true;
        case Command::Translation:
            if (!HasTranslation()) {
                return false;
            }
            SetTranslationShown(!m_translationShown);
            return true;
        case Command::None:
            return false;
        default:
            return m_host.Own(command);
    }
}

void Viewer::Tick() {
    model::Video* video = m_host.Video();
    // Read once a tick (each reading asks the media player), and again only
    // once the tick has moved the video.
    std::optional<double> position;
    if (video != nullptr) {
        const double at = video->CurrentPosition();
        position = at;
        const double late = kLateTick * video->UnitsPerSecond();
        const bool playing = video->State() == model::Video::PlayState::Playing;
        const auto& range = video->LastRange();
        const bool linePlay = range && range->lineFlag;
        const auto cue = CueNow(position);
        if (playing && cue) {
            m_heard = cue;
        }
        if (m_pauseAfterLines && playing && !linePlay) {
            if (m_stopAt && at >= *m_stopAt && at < *m_stopAt + late) {
                m_stopAt.reset();
                Press("btnVideoStop");
                position.reset();
            } else if (cue) {
                m_stopAt = Module1::Get().g_Cues[static_cast<std::size_t>(*cue)].EndTime;
            } else if (m_stopAt && at >= *m_stopAt) {
                m_stopAt.reset();  // a jump past it
            }
        } else {
            m_stopAt.reset();
        }
        // A looped line that played to its end plays again; one stopped
        // before its end waits for Space.
        if (m_loop && !playing && linePlay && m_heard == m_loop && at >= range->end - late / 5) {
            PlayLine(*m_loop);
            position.reset();
        }
    }
    const std::string caption = m_captions ? CaptionOf(CueNow(position)) : std::string();
    std::string translation;
    if (TranslationShown()) {
        const auto now = CueNow(position);
        if (const auto cue = now ? now : m_heard) {
            translation = TranslationOf(*cue);
        }
    }
    if (caption != m_caption || translation != m_shownTranslation) {
        m_caption = caption;
        m_shownTranslation = translation;
        m_host.ShowCaption(m_caption, m_shownTranslation);
    }
}

void Viewer::SetRate(double rate) {
    m_rate = rate;
    m_host.ShowRate(rate);
}

void Viewer::SetCaptions(bool on) {
    m_captions = on;
    m_host.ShowModes();
    Tick();
}

std::string Viewer::Caption() {
    return CaptionOf(CueNow());
}

std::string Viewer::CaptionOf(std::optional<int32_t> cue) {
    const model::RichText* text = m_host.User().rtfText;
    const int32_t link = cue && text != nullptr ? LinkOf(*text, *cue) : -1;
    return link < 0 ? std::string() : text->LinkName(link);
}

void Viewer::Find(std::string_view wanted, FindStep step) {
    const model::RichText* text = m_host.User().rtfText;
    m_wanted = wanted;
    std::optional<formats::TextMatch> match;
    if (text != nullptr && !m_wanted.empty()) {
        const formats::PackedText& all = text->Text();
        const auto length = static_cast<int32_t>(all.size());
        const bool forward = step != FindStep::Previous;
        const int32_t from = !m_found                  ? 0
                             : step == FindStep::Typed ? m_found->start
                             : step == FindStep::Next  ? m_found->start + 1
                                                       : 0;
        const int32_t to = step == FindStep::Previous && m_found ? m_found->end - 1 : length;
        const int32_t flags = forward ? controls::find_flags::Down : 0;
        match = formats::FindInText(all, from, to, flags, m_wanted);
        if (!match) {
            match = formats::FindInText(all, 0, length, flags, m_wanted);  // round the end
        }
    }
    m_found = match;
    m_host.ShowFound(match ? match->start : 0, match ? match->end : 0);
}

std::string Viewer::FindStatus() {
    constexpr int kMostCounted = 999;
    const model::RichText* text = m_host.User().rtfText;
    if (m_wanted.empty()) {
        return {};
    }
    if (!m_found || text == nullptr) {
        return "Not found";
    }
    const formats::PackedText& all = text->Text();
    const auto length = static_cast<int32_t>(all.size());
    int count = 0;
    int index = 0;
    for (auto at = formats::FindInText(all, 0, length, controls::find_flags::Down, m_wanted);
         at && count < kMostCounted;
         at = formats::FindInText(all, at->start + 1, length, controls::find_flags::Down,
                                  m_wanted)) {
        ++count;
        index = at->start == m_found->start ? count : index;
    }
    return std::to_string(index) + " of " + std::to_string(count);
}

bool Viewer::PlayFound() {
    const model::RichText* text = m_host.User().rtfText;
    if (!m_found || text == nullptr) {
        return false;
    }
    const auto& links = text->Links();
    int32_t link = text->LinkIndexAt(m_found->start);
    for (std::size_t i = 0; link < 0 && i < links.size(); ++i) {
        if (links[i].start >= m_found->start) {
            link = static_cast<int32_t>(i);
        }
    }
    return link >= 0 && PlayLine(links[static_cast<std::size_t>(link)].userID);
}

void Viewer::EndFind() {
    m_wanted.clear();
    m_found.reset();
    m_host.ShowFound(0, 0);
}

std::vector<std::string> Viewer::SetTranslation(std::string_view text) {
    m_translation = ReadTranslation(text);
    m_matchedCues = 0;
    m_cueTranslation.clear();
    m_host.ShowModes();
    Tick();
    return m_translation.errors;
}

void Viewer::SetTranslationShown(bool on) {
    m_translationShown = on;
    m_host.ShowModes();
    Tick();
}

std::string Viewer::TranslationOf(int32_t cue) {
    const auto& cues = Module1::Get().g_Cues;
    const model::Video* video = m_host.Video();
    const double units = video != nullptr ? video->UnitsPerSecond() : 1.0;
    if (m_matchedCues != cues.size() || m_matchedUnits != units) {
        std::vector<LineTime> lines;
        lines.reserve(cues.size());
        for (const CueInfo& info : cues) {
            lines.push_back(LineTimeOf(info.StartTime, info.EndTime, units));
        }
        m_cueTranslation = MatchTranslation(lines, m_translation.cues).cueOfLine;
        m_matchedCues = cues.size();
        m_matchedUnits = units;
    }
    if (cue < 0 || static_cast<std::size_t>(cue) >= m_cueTranslation.size() ||
        m_cueTranslation[static_cast<std::size_t>(cue)] < 0) {
        return {};
    }
    return m_translation
        .cues[static_cast<std::size_t>(m_cueTranslation[static_cast<std::size_t>(cue)])]
        .text;
}

std::string Viewer::Remembered() {
    const model::Slider* slider = m_host.User().sldVideoSlider;
    return "block=" + std::to_string(slider != nullptr ? slider->Value() : 0) +
           " rate=" + std::to_string(m_rate).substr(0, 4) +
           " captions=" + (m_captions ? "1" : "0") + " pause=" + (m_pauseAfterLines ? "1" : "0") +
           " translation=" + (m_translationShown ? "1" : "0");
}

int32_t Viewer::Recall(std::string_view remembered) {
    const model::Slider* slider = m_host.User().sldVideoSlider;
    int32_t block = 0;
    // A few short words at most: anything longer was never ours.
    if (remembered.size() > kLongestRemembered) {
        return 0;
    }
    while (!remembered.empty()) {
        const auto end = std::min(remembered.find(' '), remembered.size());
        const std::string_view word = remembered.substr(0, end);
        remembered.remove_prefix(std::min(end + 1, remembered.size()));
        const auto equals = word.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        const std::string_view key = word.substr(0, equals);
        const std::string_view value = word.substr(equals + 1);
        if (key == "rate") {
            for (const double rate : kSpeeds) {
                if (value == std::to_string(rate).substr(0, 4)) {
                    SetRate(rate);
                }
            }
        } else if ((key == "captions" || key == "pause" || key == "translation") &&
                   (value == "0" || value == "1")) {
            if (key == "captions") {
                SetCaptions(value == "1");
            } else if (key == "translation") {
                SetTranslationShown(value == "1");
            } else {
                m_pauseAfterLines = value == "1";
                m_host.ShowModes();
            }
        } else if (key == "block" && slider != nullptr && !value.empty() && value.size() < 6 &&
                   value.find_first_not_of("0123456789") == std::string_view::npos) {
            const int32_t at = std::stoi(std::string(value));
            block = at > 1 && at <= Blocks() ? at : 0;
        }
    }
    return block;
}

std::string Viewer::BlockName(int32_t value) {
    if (value < 1) {
        return "The start";
    }
    if (value > Blocks()) {
        return "The end";
    }
    std::string name = "Block " + std::to_string(value) + " of " + std::to_string(Blocks());
    // The speaker of the block's first line.
    const auto& cues = Module1::Get().g_Cues;
    const model::RichText* text = m_host.User().rtfText;
    for (std::size_t cue = 0; text != nullptr && cue < cues.size(); ++cue) {
        if (cues[cue].Block == value - 1) {
            const int32_t link = LinkOf(*text, static_cast<int32_t>(cue));
            const std::string speaker = link < 0 ? std::string() : text->SpeakerOf(link);
            return speaker.empty() ? name : name + ", " + speaker;
        }
    }
    return name;
}

std::string Viewer::OfferText(int32_t block) {
    return "You were at speaker " + std::to_string(block) + " of " + std::to_string(Blocks()) + ".";
}

int32_t Viewer::Blocks() {
    return static_cast<int32_t>(Module1::Get().g_Blocks.size());
}

bool Viewer::GoOn(int32_t block) {
    if (m_host.User().sldVideoSlider == nullptr) {
        return false;
    }
    lesson::Action slide;
    slide.kind = K::Slide;
    slide.value = block;
    lesson::Carry(slide, m_host);
    return true;
}

bool Viewer::Press(const char* button) {
    model::ButtonBar* bar = m_host.User().frmRose;
    if (bar == nullptr || !bar->HasButton(button)) {
        return false;
    }
    lesson::Action press;
    press.kind = K::Press;
    press.bar = "frmRose";
    press.name = button;
    lesson::Carry(press, m_host);
    return true;
}

bool Viewer::PlayLine(int32_t cue) {
    const model::RichText* text = m_host.User().rtfText;
    if (text == nullptr || LinkOf(*text, cue) < 0) {
        return false;
    }
    m_heard = cue;
    m_stopAt.reset();
    lesson::Action click;
    click.kind = K::LinkClick;
    click.value = cue;
    lesson::Carry(click, m_host);
    return true;
}

std::optional<int32_t> Viewer::CueNow(std::optional<double> position) {
    model::Video* video = m_host.Video();
    if (video == nullptr) {
        return std::nullopt;
    }
    const double at = position ? *position : video->CurrentPosition();
    const auto& cues = Module1::Get().g_Cues;
    for (std::size_t cue = 0; cue < cues.size(); ++cue) {
        if (cues[cue].StartTime <= at && at < cues[cue].EndTime) {
            return static_cast<int32_t>(cue);
        }
    }
    return std::nullopt;
}

std::optional<int32_t> Viewer::LineNowOrHeard() {
    const auto now = CueNow();
    return now ? now : m_heard;
}

std::optional<int32_t> Viewer::LineAfter(int32_t cue) {
    const model::RichText* text = m_host.User().rtfText;
    if (text == nullptr) {
        return std::nullopt;
    }
    std::optional<int32_t> next;
    for (const auto& link : text->Links()) {
        if (link.userID > cue && (!next || link.userID < *next)) {
            next = link.userID;
        }
    }
    return next;
}

}  // namespace scenova::viewer
