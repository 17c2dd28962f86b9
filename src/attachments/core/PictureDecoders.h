#pragma once

#include "platform/core/RasterImage.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quorvex {

// The decoders the program calls directly, working on the file's bytes. Every
// failure comes back as false with a reason; none ends the program, and no
// decoded picture holds more than MaxPixels: a larger JPEG is decoded at a
// reduced scale, and any picture still too large is refused before any pixel
// memory is taken.
class PictureDecoders {
public:
    static constexpr std::uint64_t MaxPixels = 64ULL * 1000 * 1000;
    // How much of a file the picture loader reads at most.
    static constexpr std::uint64_t MaxFileBytes = 256ULL * 1024 * 1024;
    // How many leading bytes the content test looks at.
    static constexpr std::size_t SniffBytes = 11;

    // The extension the content stands for, tested in a fixed order; `ext`
    // when the leading bytes match none. A short prefix matches only the tests
    // it holds all bytes for.
    static std::string sniffExtension(std::string_view prefix, const std::string &ext);

    // At the largest scale n/8 that keeps the picture within MaxPixels. With
    // `fitWithin` > 0, at the smallest scale whose longer side still reaches
    // that many pixels (thumbnails).
    static bool decodeJpeg(const unsigned char *data, std::size_t size, RasterImage &out, std::string &error,
                           int fitWithin = 0);
    // The first frame, placed on the logical screen.
    static bool decodeGif(const unsigned char *data, std::size_t size, RasterImage &out, std::string &error);

    // Empties a picture but keeps its buffer for the next one.
    static void clear(RasterImage &picture);

    // The largest size of the same shape within MaxPixels for a picture of up
    // to `maxTimes` times that many pixels; false for larger or empty ones.
    static bool shrinkToBudget(std::uint64_t width, std::uint64_t height, std::uint64_t maxTimes,
                               std::uint64_t &scaledWidth, std::uint64_t &scaledHeight);

    static bool sizeAllowed(std::uint64_t width, std::uint64_t height)
    {
        return width > 0 && height > 0 && width * height <= MaxPixels;
    }
};

} // namespace quorvex
