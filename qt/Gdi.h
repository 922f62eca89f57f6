#pragma once

#include <QImage>
#include <QPoint>

#include <optional>
#include <string>

#include "formats/PictureFile.h"
#include "model/Gdi.h"
#include "platform/Picture.h"

namespace scenova::qt {

// The device contexts and bitmaps of the model with their pixels in QImages.
class Gdi final : public model::Gdi {
public:
    explicit Gdi(model::Context& ctx);

    // Reads a picture file as every platform reads it (a cursor file keeps
    // its transparency and hot spot). Raises 53, 481 or 7 as the reader does.
    Picture LoadPictureFile(const std::string& path);
};

// A picture or cursor as the shared reader gives it, as an image (a cursor
// with its transparency). Raises 7 when the image cannot be held.
QImage ToQImage(const formats::DecodedPicture& picture);
QImage ToQImage(const formats::DecodedCursor& cursor);

// The image of a picture the Qt platform made; a null image for no picture
// or a picture whose bitmap is gone.
QImage ImageOf(const Picture& picture);
// The hot spot of a picture loaded from a cursor file.
std::optional<QPoint> HotspotOf(const Picture& picture);

}  // namespace scenova::qt
