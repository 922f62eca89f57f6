#include "module/Module1.h"
#include "runtime/Array.h"
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

    int32_t from = 0;
    int32_t cue = 0;
    int32_t start = 0;
    int32_t end = 0;
    int32_t startLine = 0;
    int32_t endLine = 0;
    const int32_t lastBlock = UBound(module.g_Transcript);
    for (int32_t b = 0; b <= lastBlock; ++b) {
        const std::vector<std::string>& texts = Element(module.g_Transcript, b).Texts;
        const int32_t lastLine = UBound(texts);
        for (int32_t t = 0; t <= lastLine; ++t) {
            const std::string text = VisibleLineText(Element(texts, t));
            if (transcript.FindText(from, transcript.TextLength() - 1, -1, text) == -1) {
                continue;
            }
            start = transcript.MatchStart();
            end = transcript.MatchEnd();
            transcript.AddLink(start, end, 1, cue);
            transcript.CaretPosition(start);
            startLine = transcript.CaretLine();
            transcript.CaretPosition(end);
            endLine = transcript.CaretLine();
            Element(module.g_Cues, cue).Block = b;
            ++cue;
            if (t == 0) {
                BlockInfo& info = Element(module.g_Blocks, b);
                info.TextStart = start;
                info.FirstLine = startLine;
            }
            // Equal lines are matched in order.
            from = end + 1;
        }
        BlockInfo& info = Element(module.g_Blocks, b);
        info.TextEnd = end;
        info.LastLine = endLine;
    }
}

}  // namespace scenova
