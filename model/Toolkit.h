#pragma once

#include <string>

#include "model/Context.h"
#include "platform/Toolkit.h"

namespace scenova::model {

// What every platform's toolkit does alike: pictures read by the platform's
// gdi32, ordinary files found as formats/FileLookup.h finds them, each call
// recorded. A platform loads the window and runs its message loop.
class Toolkit : public IToolkit {
public:
    Picture LoadPicture(const std::string& path) override;
    bool FindOrdinaryFile(const std::string& path) override;

protected:
    explicit Toolkit(Context& ctx) : m_ctx(ctx) {}
    virtual Picture ReadPicture(const std::string& path) = 0;

    Context& m_ctx;
};

}  // namespace scenova::model
