#include "tool/CScenova.h"

namespace scenova {

void CScenova::ParseScript(ICollection& /*Script*/) {}

void CScenova::LocateTranscriptLines() {}

void CScenova::RegisterCueTimes() {}

void CScenova::SetSliderRange() {}

}  // namespace scenova
