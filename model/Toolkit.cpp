#include "model/Toolkit.h"

#include "formats/FileLookup.h"

namespace scenova::model {

Picture Toolkit::LoadPicture(const std::string& path) {
    m_ctx.Call("app", Member::LoadPicture, path);
    return ReadPicture(path);
}

bool Toolkit::FindOrdinaryFile(const std::string& path) {
    m_ctx.Call("app", Member::FindOrdinaryFile, path);
    return formats::FindOrdinaryFile(path);
}

}  // namespace scenova::model
