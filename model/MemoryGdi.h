#pragma once

#include <string>

#include "model/Context.h"
#include "model/Gdi.h"
#include "platform/Picture.h"

namespace scenova::model {

// The device contexts and bitmaps of the model over pixels held in memory
// (32-bit colour references, row by row), and the pictures that wrap them:
// the headless platform's, and the browser's, which draws them on canvases.
class MemoryGdi final : public Gdi {
public:
    explicit MemoryGdi(Context& ctx);

    // Decodes a BMP, PNG, JPEG, GIF, icon (.ico) or cursor (.cur) file as
    // formats::ReadPictureFile does into a picture owning a new 32-bit bitmap.
    // Raises 53 when the path is not an existing file, 481 when the file is
    // not a picture (or a damaged one), 7 when it is too large or would take
    // the lesson's pictures past their budget (Gdi::Pictures).
    Picture LoadPictureFile(const std::string& path);
};

}  // namespace scenova::model
