#pragma once

#include "platform/core/RasterImage.h"

#include <QImage>

#include <string>

namespace quorvex {

// Qt's image reader for bitmaps, icons and every format the picture loader
// does not decode itself, with the same size limit as the loader's own decoders.
class QtPictureReader {
public:
    static bool read(const std::string &path, const std::string &ext, RasterImage &out, std::string &error);

    static RasterImage toRaster(const QImage &image);
    static QImage toImage(const RasterImage &picture);

    // The insert-picture filter with, after its own entries, one for every
    // format Qt reads here and one for all files.
    static std::string insertPictureFilter(const std::string &filter);
};

} // namespace quorvex
