#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace scenova::formats {

// Largest picture side and pixel count; a bigger picture is refused as an
// allocation of its bitmap would be.
inline constexpr int32_t kMaxPictureSide = 16384;
inline constexpr int64_t kMaxPicturePixels = int64_t{64} * 1024 * 1024;

// A picture as a file holds it: colour references 0x00BBGGRR (alpha
// dropped), row by row, top row first.
struct DecodedPicture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;
};

// Decodes a BMP, PNG, JPEG, GIF, icon (.ico) or cursor (.cur) file; any other
// kind is not a picture (481). A bitmap's palette has the colours its header
// names, an index past them is black. Of an
// icon or cursor the largest image is taken, an embedded PNG or a bitmap of
// 1, 4, 8, 24 or 32 bits per pixel; its transparency mask is not applied.
// Raises 53 when the path is not an existing file, 481 when the file is not a
// picture (or a damaged one), 7 when it is too large or holds more than
// maxPixels, before its pixels are decoded. No size or offset taken from the
// file can make it read outside the file.
DecodedPicture ReadPictureFile(const std::string& path, int64_t maxPixels = kMaxPicturePixels);
// The two halves of ReadPictureFile: the file's bytes (53, 7 as above), and
// the picture they hold (481, 7).
std::string ReadPictureFileBytes(const std::string& path);
DecodedPicture DecodePicture(std::string_view bytes, int64_t maxPixels = kMaxPicturePixels);

// A cursor as its file holds it: the picture as ReadPictureFile takes it,
// the opacity of each pixel (0 to 255, in the same order: the alpha of a
// 32-bit or PNG image that has any, else the file's transparency mask) and
// the hot spot, kept inside the picture.
struct DecodedCursor {
    DecodedPicture picture;
    std::vector<uint8_t> opacity;
    int32_t hotspotX = 0;
    int32_t hotspotY = 0;
};

// Reads a static cursor (.cur) file. Raises as ReadPictureFile does; an icon,
// an animated cursor or any other picture file is refused with 481.
DecodedCursor ReadCursorFile(const std::string& path);

// A cursor file starts with an icon directory of type 2, or is an animated
// cursor in a RIFF "ACON" container. False for a file that cannot be read.
bool LooksLikeCursorFile(const std::string& path);

}  // namespace scenova::formats
