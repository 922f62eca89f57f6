#pragma once

#include <QImage>
#include <QSize>

class QVideoFrame;

namespace scenova::qt {

// A video frame as a picture of the size it is shown at (at most its own):
// the planes of a 4:2:0 frame (I420, YV12, NV12, NV21) read straight into
// that size, each pixel the mean of the luma under it, with the frame's
// colour space and range (BT.601 when it names none, as Qt's conversion). A
// large frame shown small costs its shown pixels, not its own.
// Other formats, or a frame that cannot be read, go through Qt's own
// conversion.
QImage FrameImage(const QVideoFrame& frame, QSize size);

}  // namespace scenova::qt
