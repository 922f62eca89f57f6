#include "module/Module1.h"
#include "script/ScriptReader.h"
#include "script/ScriptText.h"
#include "tool/CScenova.h"

namespace scenova {

// Finds every transcript line in the loaded text, in order, makes it a link
// carrying its cue number (the count of lines found before it), and records
// where each block lies.
void CScenova::LocateTranscriptLines() {
    ProcessMessages();
    Module1& module = Module1::Get();
    controls::IRichText& transcript = m_MyForm->rtfText();
    TranscriptLinks links({module.g_Cues, module.g_Blocks, module.g_Transcript});

    int32_t from = 0;
    const int32_t lastBlock = links.LastBlock();
    for (int32_t b = 0; b <= lastBlock; ++b) {
        const int32_t lastLine = links.LastLine(b);
        for (int32_t t = 0; t <= lastLine; ++t) {
            const std::string text = VisibleLineText(links.Text(b, t));
            if (transcript.FindText(from, transcript.TextLength() - 1, -1, text) == -1) {
                continue;
            }
            TranscriptLinks::Range range;
            range.start = transcript.MatchStart();
            range.end = transcript.MatchEnd();
            transcript.AddLink(range.start, range.end, 1, links.NextCue());
            transcript.CaretPosition(range.start);
            range.firstLine = transcript.CaretLine();
            transcript.CaretPosition(range.end);
            range.lastLine = transcript.CaretLine();
            links.Found(b, t, range);
            // Equal lines are matched in order.
            from = range.end + 1;
        }
        links.EndBlock(b);
    }
}

}  // namespace scenova
