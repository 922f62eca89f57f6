#pragma once

#include <QImage>
#include <QPoint>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "formats/PictureFile.h"
#include "model/Gdi.h"
#include "platform/Picture.h"
#include "runtime/RuntimeError.h"

namespace scenova::qt {

// The device contexts and bitmaps of the model with their pixels in QImages.
class Gdi final : public model::Gdi {
public:
    explicit Gdi(model::Context& ctx);

    // Reads a picture file as every platform reads it (a cursor file keeps
    // its transparency and hot spot). Raises 53, 481 or 7 as the reader does.
    Picture LoadPictureFile(const std::string& path);

    // A picture file as a control shows it: read through the lesson's store
    // (each file decoded once, within the lesson's pixel budget) and one
    // image shared by every control showing it. A null image when it cannot
    // be read; a refusal for want of memory (7) is told to onPictureRefused,
    // as nothing else would say why the control shows a blank.
    QImage Shown(const std::string& path);
    std::function<void(const std::string& path, const RuntimeError& error)> onPictureRefused;
    // The pixels of the lesson's pictures decoded so far.
    int64_t PicturePixels() { return Pictures().Pixels(); }
    // A new lesson: its pictures start afresh, with the whole budget.
    void ForgetPictures() {
        Pictures() = formats::PictureStore();
        m_images.clear();
    }

private:
    QImage ImageOf(const std::shared_ptr<const formats::DecodedPicture>& decoded);

    // The images of the store's pictures, by the picture they were made from.
    std::map<const formats::DecodedPicture*,
             std::pair<std::weak_ptr<const formats::DecodedPicture>, QImage>>
        m_images;
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
