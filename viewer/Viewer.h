#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "formats/TextSearch.h"
#include "lesson/Executor.h"
#include "model/Video.h"
#include "viewer/Keys.h"
#include "viewer/Translation.h"

namespace scenova::viewer {

// The speeds a learner steps through, the same in every player.
inline constexpr std::array kSpeeds{0.5, 0.75, 1.0, 1.25, 1.5};

// A player beneath the viewer: it carries out actions as a person would (the
// one executor's host), gives the lesson's video, shows what the viewer
// decides and does what only it can (find, full screen, zoom, the key list).
class ViewerHost : public lesson::ActionHost {
public:
    // The viewer carries out a person's actions only (presses, clicks, the
    // slider): the host's own calls are a player's to take or not.
    void Advance(double) override {}
    void Show() override {}
    void Hide() override {}
    void Startup() override {}
    void Shutdown() override {}
    void ReleaseInside(const std::string&) override {}
    void Move(float, std::optional<Variant>, std::optional<Variant>,
              std::optional<Variant>) override {}

    // The lesson window's video; null while none is loaded.
    virtual model::Video* Video() = 0;
    virtual void ShowRate(double rate) = 0;
    // The caption over the video (empty: none) and the translation of the
    // line spoken now or heard last (empty: none, or translations are off),
    // which goes under the caption's line and under the transcript.
    virtual void ShowCaption(const std::string& text, const std::string& translation) = 0;
    // A mode was turned on or off (the viewer's state tells which).
    virtual void ShowModes() = 0;
    // A command of the player's own; false when it does nothing now.
    virtual bool Own(Command command) = 0;
    // Marks text found in the transcript and scrolls it into view; [0, 0):
    // nothing found.
    virtual void ShowFound(int32_t start, int32_t end) = 0;
};

// How a find goes on: as the learner types (the first match from the one
// shown on), to the next match or to the one before, round the text's ends.
enum class FindStep : uint8_t { Typed, Next, Previous };

// What a person does to a lesson beside its own controls, and what they see
// beside it (captions, speed, modes), for every player. The transport keys
// press the lesson's buttons and a repeated line is a click on it, through
// the executor, so a key does nothing a person could not do with the mouse.
class Viewer {
public:
    explicit Viewer(ViewerHost& host) : m_host(host) {}

    // False when the command does nothing now (the key then goes on).
    bool Run(Command command);
    // The video moved on or the lesson changed: the caption follows and the
    // modes act. A player calls it every few tens of milliseconds, and
    // after the lesson window is loaded.
    void Tick();

    void SetRate(double rate);
    void SetCaptions(bool on);
    // The lesson's translation (kTranslationFile's text; empty: none).
    // Returns why it is not shown, empty when it is or there is none.
    std::vector<std::string> SetTranslation(std::string_view text);
    bool HasTranslation() const { return !m_translation.Empty(); }
    void SetTranslationShown(bool on);
    bool TranslationShown() const { return m_translationShown && HasTranslation(); }
    double Rate() const { return m_rate; }
    bool Captions() const { return m_captions; }
    bool PausesAfterLines() const { return m_pauseAfterLines; }
    bool Loops() const { return m_loop.has_value(); }

    // The caption at the video's position: the line spoken then, with its
    // speaker; empty between lines.
    std::string Caption();
    // The translation of a line (a cue); empty when it has none.
    std::string TranslationOf(int32_t cue);

    // What a lesson keeps of its learner between visits, as one line a
    // player stores (its settings, the page's local storage): the block
    // they were at, the speed, captions, translation and the pause after
    // each line.
    std::string Remembered();
    // Takes back a remembered line (a player's store is anyone's to edit:
    // what is not a known key with a good value is passed over) and gives
    // the block to offer to go on from: 0 for none, as for the first.
    int32_t Recall(std::string_view remembered);
    // What the slider's value says to a screen reader: "Block 3 of 7,
    // Vendor", "The start" before the first block, "The end" after the last.
    std::string BlockName(int32_t value);

    // Finds text in the transcript with the search the lesson's own lines
    // are found by (any case), and shows the match; an empty text shows none.
    void Find(std::string_view wanted, FindStep step);
    // What the find says: "2 of 5", "Not found", or nothing without a text.
    std::string FindStatus();
    // Plays the line holding the match (else, a speaker's name, the line
    // after it), as a click on it would; false without one.
    bool PlayFound();
    // Forgets the find and shows no match.
    void EndFind();

    // The offer to go on from that block, as a player words it.
    static std::string OfferText(int32_t block);
    // Goes to that block as the learner would, with the slider.
    bool GoOn(int32_t block);

private:
    static int32_t Blocks();
    bool Press(const char* button);
    bool PlayLine(int32_t cue);
    // The cue whose time holds the video's position (read now, unless
    // given), if any.
    std::optional<int32_t> CueNow(std::optional<double> position = std::nullopt);
    // The caption of a cue (none: empty).
    std::string CaptionOf(std::optional<int32_t> cue);
    // The line spoken now, else the one heard last.
    std::optional<int32_t> LineNowOrHeard();
    // The first cue after `cue` that the transcript shows as a line.
    std::optional<int32_t> LineAfter(int32_t cue);

    ViewerHost& m_host;
    double m_rate = 1.0;
    bool m_captions = false;
    bool m_pauseAfterLines = false;
    std::optional<int32_t> m_loop;   // the line played again and again
    std::optional<int32_t> m_heard;  // the line heard last
    std::optional<double> m_stopAt;  // where the line playing ends, to pause there
    std::string m_caption;
    std::string m_wanted;  // the text found
    std::optional<formats::TextMatch> m_found;
    std::string m_shownTranslation;
    Translation m_translation;
    bool m_translationShown = false;
    // Each cue's translation, matched for the cue table and the video's time
    // unit it was made for (the lesson may start again with others).
    std::vector<int32_t> m_cueTranslation;
    std::size_t m_matchedCues = 0;
    double m_matchedUnits = 0;
};

}  // namespace scenova::viewer
