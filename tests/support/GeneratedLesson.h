#pragma once

// Lesson scripts of any length that read like written ones: a video line and
// two resource commands, then dialogue among five speakers in blocks of one
// to four lines, a culture tip on about one line in seven, and times that
// grow by a realistic 1.2 to 4.1 seconds of speech and a short pause a line
// (some 3.15 seconds a line on average, so 30,000 lines fit into the thirty
// hours of tests/data/thirty_hours.avi). The same count always gives the
// same script.

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/FloatChars.h"

namespace scenova::testing {

inline std::vector<std::string> GeneratedScript(int spokenLines, const std::string& video) {
    static const char* const kSpeakers[] = {"Narrator", "Anna", "Vendor", "Marco", "Li Wei"};
    static const char* const kOpenings[] = {"Good morning", "Excuse me", "Well", "Look",
                                            "Of course",    "Then",      "Yes",  "No, thanks"};
    static const char* const kMiddles[] = {
        "how much are the apples",   "the pears are very sweet today",
        "I would like a kilo",       "that is four euros",
        "the bakery opens at eight", "could you show me the way to the station",
        "we close early on Sundays", "the tomatoes come from the valley"};
    static const char* const kEnds[] = {".", "?", "!", ", please.", " today.", " again."};
    static const char* const kTips[] = {"Greetings", "Prices", "Paying", "Markets", "Politeness"};

    uint32_t seed = 12345;
    auto next = [&seed](uint32_t range) {
        seed = seed * 1103515245u + 12345u;  // a small deterministic generator
        return (seed >> 16) % range;
    };
    auto pick = [&next](const auto& table) {
        return table[next(static_cast<uint32_t>(std::size(table)))];
    };
    auto time = [](double seconds) { return FixedText(seconds, 2); };

    std::vector<std::string> script = {"VIDEO " + video, "RESOPEN Glossary,market-words",
                                       "RESUPDATE Culture Tips,greetings"};
    script.reserve(script.size() + 4 * static_cast<std::size_t>(spokenLines));
    double now = 0.5;
    int speaker = -1;
    int leftInBlock = 0;
    for (int line = 0; line < spokenLines; ++line) {
        if (leftInBlock == 0) {
            // Another speaker than the one before, so each run is one block.
            speaker = (speaker + 1 + static_cast<int>(next(4))) % 5;
            leftInBlock = 1 + static_cast<int>(next(4));
        }
        --leftInBlock;
        std::string text = std::string(pick(kOpenings)) + ", " + pick(kMiddles) + pick(kEnds);
        if (next(7) == 0) {
            text += std::string(" [CT ") + pick(kTips) + "]";
        }
        const double length = 1.2 + next(30) / 10.0;
        script.push_back(std::string("ACTOR ") + kSpeakers[speaker]);
        script.push_back("TEXT " + text);
        script.push_back("AVSTART " + time(now));
        script.push_back("AVEND " + time(now + length));
        now += length + 0.3 + next(5) / 10.0;
    }
    return script;
}

}  // namespace scenova::testing
