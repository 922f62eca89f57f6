#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace scenova {

// One spoken line (one ACTOR line of the script).
struct CueInfo {
    double StartTime = 0;
    double EndTime = 0;
    int32_t Block = 0;  // index into g_Blocks of the block holding the line
};

// One block: consecutive lines of one speaker.
struct BlockInfo {
    double StartTime = 0;
    double EndTime = 0;
    int32_t TextStart = 0;  // character range of the block in the transcript
    int32_t TextEnd = 0;
    int32_t FirstLine = 0;  // transcript line numbers of that range
    int32_t LastLine = 0;
};

// The transcript content of one block.
struct TranscriptBlock {
    std::string Actor;
    std::vector<std::string> Texts;
};

// Fonts and separator of the transcript, in the field order the transcript
// builder takes them.
struct TranscriptFontInfo {
    std::string ActorFontName;
    int16_t ActorFontSize = 0;
    std::string TextFontName;
    int16_t TextFontSize = 0;
    std::string SeperatorFontName;
    int16_t SeperatorFontSize = 0;
    std::string SeperatorChar;
};

}  // namespace scenova
