#pragma once
#include <QImage>
#include <cstdint>

#include "common/artwork_pixels.h"

// A built-in picture as an image that reads the program's own table in place: nothing is decoded
// or copied until the image is drawn or turned into a pixmap.
inline QImage BuiltInArtwork(int width, int height, const std::uint32_t* pixels) {
    return QImage(reinterpret_cast<const uchar*>(pixels), width, height, width * 4,
                  QImage::Format_ARGB32_Premultiplied);
}
