#pragma once

#include "platform/core/RasterImage.h"

#include <functional>
#include <string>
#include <string_view>

namespace quorvex {

// Small JPEG copies of attached pictures for the catalogue, made without the
// windowing toolkit: JPEG and GIF are decoded here, other formats by the
// reader given (the window side's), and the result is averaged down so that
// its longer side is at most MaxSide pixels.
class Thumbnailer {
public:
    static constexpr int MaxSide = 160;
    static constexpr int Quality = 85;

    // Decodes the file at `path` as the format `ext` names; false with a reason.
    using ForeignReader =
        std::function<bool(const std::string &path, const std::string &ext, RasterImage &out, std::string &error)>;

    // The size a picture of w x h pixels gets: never enlarged, aspect kept,
    // at least one pixel each way.
    static void fittedSize(int w, int h, int maxSide, int &tw, int &th);
    // Each target pixel is the mean of the source pixels it covers.
    static RasterImage shrink(const RasterImage &source, int maxSide);
    static bool encodeJpeg(const RasterImage &picture, int quality, std::string &jpeg, std::string &error);

    // The thumbnail of a picture file: `bytes` is its content (the first bytes
    // decide the format over the name's extension, `nameExt` lowercased).
    // `foreign` may be empty, and formats other than JPEG and GIF then fail.
    static bool makeThumbnail(std::string_view bytes, const std::string &path, const std::string &nameExt,
                              const ForeignReader &foreign, std::string &jpeg, std::string &error);
};

} // namespace quorvex
