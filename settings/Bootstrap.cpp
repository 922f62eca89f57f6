#include "module/Module1.h"
#include "runtime/RuntimeError.h"
#include "tool/CScenova.h"

namespace scenova {

// Fetches the folders and the settings from the host and applies the
// settings to the window. False when there were no settings or the host
// failed; folders fetched before a failure keep their new values.
bool CScenova::LoadSettings() {
    std::shared_ptr<ICollection> settings;
    try {
        Module1& module = Module1::Get();
        module.ForgetLessonResources();
        module.g_strMediaPath = Mgr().GetMediaPath(*this);
        Mgr().GetAuxiliaryPath(*this);
        module.g_strResourcePath = Mgr().GetResourcePath(*this);
        module.g_strVideoPath = Mgr().GetVideoPath(*this);
        settings = Mgr().GetSettings(*this);
        if (!settings) {
            Raise(err::NoObject);
        }
        if (settings->Count() == 0) {
            return false;
        }
        ApplyLayoutSettings(*settings);
        ApplyBackdropSettings(*settings);
        ApplyNavigationSettings(*settings);
        ApplyToolbarSettings(*settings);
        return true;
    } catch (const RuntimeError&) {
        return false;
    }
}

}  // namespace scenova
