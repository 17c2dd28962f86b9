#pragma once

#include <cstdint>
#include <vector>

namespace quorvex {

// A 24-bit colour as red + 256 x green + 65536 x blue, the way settings files
// store colours.
using ColorRef = std::uint32_t;

// A picture of 32-bit pixels, rows top to bottom. A pixel holds red in bits
// 16-23, green in 8-15 and blue in 0-7; the top byte is kept at 0xFF so the
// buffer can be shown as the toolkit's RGB32 image without a copy. Only the
// low 24 bits carry the colour.
struct RasterImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    RasterImage() = default;
    RasterImage(int w, int h, std::uint32_t fill = 0xFF000000u);

    bool empty() const { return width <= 0 || height <= 0; }
    std::uint32_t pixel(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    void setPixel(int x, int y, std::uint32_t p) { pixels[static_cast<std::size_t>(y) * width + x] = p; }
    std::uint32_t *row(int y) { return pixels.data() + static_cast<std::size_t>(y) * width; }
    const std::uint32_t *row(int y) const { return pixels.data() + static_cast<std::size_t>(y) * width; }
};

struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

inline std::uint32_t pixelFromRgb(int r, int g, int b)
{
    return 0xFF000000u | (static_cast<std::uint32_t>(r & 0xFF) << 16) | (static_cast<std::uint32_t>(g & 0xFF) << 8) |
           static_cast<std::uint32_t>(b & 0xFF);
}
inline std::uint32_t pixelFromColorRef(ColorRef c)
{
    return pixelFromRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}
inline ColorRef colorRefFromPixel(std::uint32_t p)
{
    return ((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16);
}

// Copies the source rectangle into the destination rectangle with bilinear
// interpolation: for destination pixel (i, j) the source position is
// (sx0 + i * sw / dw, sy0 + j * sh / dh) in single precision; the right and
// lower neighbours fall back to the left and upper ones at the source
// rectangle's edge; channels are interpolated along x (truncated), then
// along y (truncated). With a transparent colour, a destination pixel is left
// as it was where the source pixel at the truncated position has that colour.
// Pixels outside either picture are never read or written, and empty
// rectangles do nothing.
void resampleBilinear(const RasterImage &source, RasterImage &destination, PixelRect destinationRect,
                      PixelRect sourceRect, const ColorRef *transparentColour = nullptr);

} // namespace quorvex
