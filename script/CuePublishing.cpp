#include "module/Module1.h"
#include "runtime/Array.h"
#include "runtime/Convert.h"
#include "tool/CScenova.h"

namespace scenova {

// Hands the video the start time of every block and, last, the video's
// length: signal k then marks block k-1 and signal n+1 the end. A lesson the
// video cannot signal still plays, so every failure of the video here is
// absorbed; a shutdown by the host inside the yield ends the start-up.
void CScenova::RegisterCueTimes() {
    ProcessMessages();
    try {
        const auto& blocks = Module1::Get().g_Blocks;
        const int32_t last = UBound(blocks);
        controls::IVideo& video = m_MyForm->movOrvMovie();
        std::string list;
        for (int32_t b = 0; b <= last; ++b) {
            // Exact: the slider and Play seek to the unrounded start time,
            // and a signal rounded away from it would never be met.
            list += ShortestText(Element(blocks, b).StartTime);
            list += ',';
        }
        list += ShortestText(video.Duration());
        video.SetSignalTimes(list);
        video.EnableSignals(true);
    } catch (const RuntimeError&) {
    }
}

// Slider position 0 is the start, 1..n the blocks, n+1 the end.
void CScenova::SetSliderRange() {
    m_MyForm->sldVideoSlider().Max(UBound(Module1::Get().g_Blocks) + 2);
}

}  // namespace scenova
