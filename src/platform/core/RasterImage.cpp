#include "RasterImage.h"

#include <algorithm>

namespace quorvex {

RasterImage::RasterImage(int w, int h, std::uint32_t fill)
    : width(std::max(0, w)), height(std::max(0, h)),
      pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill)
{
}

namespace {

inline int channel(std::uint32_t p, int shift) { return static_cast<int>((p >> shift) & 0xFF); }

// Interpolates one channel the way the pixel rule says: along x on both rows,
// each truncated, then along y, truncated again.
inline int blend(std::uint32_t p00, std::uint32_t p10, std::uint32_t p01, std::uint32_t p11, float fx, float fy,
                 int shift)
{
    const int a = channel(p00, shift), b = channel(p10, shift);
    const int c = channel(p01, shift), d = channel(p11, shift);
    const int top = static_cast<int>(static_cast<float>(a) + static_cast<float>(b - a) * fx);
    const int bottom = static_cast<int>(static_cast<float>(c) + static_cast<float>(d - c) * fx);
    return static_cast<int>(static_cast<float>(top) + static_cast<float>(bottom - top) * fy);
}

} // namespace

void resampleBilinear(const RasterImage &source, RasterImage &destination, PixelRect dst, PixelRect src,
                      const ColorRef *transparentColour)
{
    // Only what lies inside the source picture may be read.
    const int sxEnd = std::min(src.left + src.width, source.width);
    const int syEnd = std::min(src.top + src.height, source.height);
    if (dst.width <= 0 || dst.height <= 0 || src.width <= 0 || src.height <= 0 || source.empty() ||
        destination.empty() || src.left < 0 || src.top < 0 || src.left >= sxEnd || src.top >= syEnd)
        return;
    const float kx = src.width == dst.width ? 1.0f : static_cast<float>(src.width) / static_cast<float>(dst.width);
    const float ky = src.height == dst.height ? 1.0f : static_cast<float>(src.height) / static_cast<float>(dst.height);
    const std::uint32_t transparent = transparentColour ? pixelFromColorRef(*transparentColour) & 0xFFFFFFu : 0;

    const int i0 = std::max(0, -dst.left), i1 = std::min(dst.width, destination.width - dst.left);
    const int j0 = std::max(0, -dst.top), j1 = std::min(dst.height, destination.height - dst.top);
    for (int j = j0; j < j1; ++j) {
        const float Y = static_cast<float>(src.top) + static_cast<float>(j) * ky;
        int y = static_cast<int>(Y);
        if (y >= syEnd)
            y = syEnd - 1;
        const float fy = Y - static_cast<float>(static_cast<int>(Y));
        const int y2 = y + 1 < syEnd ? y + 1 : y;
        const std::uint32_t *row0 = source.row(y);
        const std::uint32_t *row1 = source.row(y2);
        std::uint32_t *out = destination.row(dst.top + j) + dst.left;
        for (int i = i0; i < i1; ++i) {
            const float X = static_cast<float>(src.left) + static_cast<float>(i) * kx;
            int x = static_cast<int>(X);
            if (x >= sxEnd)
                x = sxEnd - 1;
            const float fx = X - static_cast<float>(static_cast<int>(X));
            const int x2 = x + 1 < sxEnd ? x + 1 : x;
            const std::uint32_t p00 = row0[x];
            if (transparentColour && (p00 & 0xFFFFFFu) == transparent)
                continue;
            const std::uint32_t p10 = row0[x2], p01 = row1[x], p11 = row1[x2];
            out[i] = pixelFromRgb(blend(p00, p10, p01, p11, fx, fy, 16), blend(p00, p10, p01, p11, fx, fy, 8),
                                  blend(p00, p10, p01, p11, fx, fy, 0));
        }
    }
}

} // namespace quorvex
