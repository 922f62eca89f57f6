#include "module/Module1.h"

#include "runtime/RuntimeError.h"

namespace scenova {

Module1& Module1::Get() {
    static Module1 instance;
    return instance;
}

void Module1::Reset() {
    *this = Module1{};
}

void Module1::ForgetLessonResources() {
    g_strHelp.clear();
    g_strCultureTip.clear();
    g_strLearningStrategy.clear();
    g_strButtonCursor.clear();
    g_picButtonCursor = nullptr;
}

bool FileExists(IToolkit& toolkit, const std::string& path) {
    if (path.empty()) {
        return false;
    }
    try {
        return toolkit.FindOrdinaryFile(path);
    } catch (const RuntimeError&) {
        return false;
    }
}

}  // namespace scenova
