#include "PictureFit.h"

#include "platform/core/MessageService.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

namespace quorvex {

namespace {

// Truncation towards zero that a NaN, an infinity or a huge value cannot break.
int truncated(double v)
{
    if (!(v > 0))
        return 0;
    if (v >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    return static_cast<int>(v);
}

} // namespace

FitPlacement PictureFit::placement(int sourceWidth, int sourceHeight, double boxWidth, double boxHeight,
                                     const FitOptions &o)
{
    const double sw = sourceWidth, sh = sourceHeight;
    double w = boxWidth, h = boxHeight;
    if (o.marginWidthPercent >= 1)
        w = boxWidth - o.marginWidthPercent * 0.01 * boxWidth;
    if (o.marginHeightPercent >= 1)
        h = boxHeight - o.marginHeightPercent * 0.01 * boxHeight;
    if (!o.allowEnlarge) {
        w = std::min(w, sw);
        h = std::min(h, sh);
    }
    double ow = w, oh = h;
    if (o.keepAspect) {
        const double rx = sw / w, ry = sh / h;
        if (sw <= w && sh <= h && !o.allowEnlarge) {
            ow = w;
            oh = h;
        } else if (rx > ry) {
            ow = sw / rx;
            oh = sh / rx;
        } else if (ry > rx) {
            ow = sw / ry;
            oh = sh / ry;
        }
    }
    FitPlacement p;
    p.width = truncated(ow);
    p.height = truncated(oh);
    p.left = truncated((boxWidth - p.width) * 0.5);
    p.top = truncated((boxHeight - p.height) * 0.5);
    return p;
}

bool PictureFit::fit(const RasterImage &source, RasterImage &target, const RasterImage &background, double boxWidth,
                    double boxHeight, const FitOptions &options, std::string &error)
{
    const int bw = truncated(boxWidth), bh = truncated(boxHeight);
    if (static_cast<double>(bw) * static_cast<double>(bh) > MaxBoxPixels) {
        error = "The picture box is too large";
        return false;
    }
    try {
        target = RasterImage(bw, bh);
        resampleBilinear(background, target, PixelRect{0, 0, bw, bh},
                         PixelRect{0, 0, background.width, background.height});
        const FitPlacement p = placement(source.width, source.height, boxWidth, boxHeight, options);
        const ColorRef key = options.transparentColour;
        resampleBilinear(source, target, PixelRect{p.left, p.top, p.width, p.height},
                         PixelRect{0, 0, source.width, source.height}, options.transparent ? &key : nullptr);
    } catch (const std::bad_alloc &) {
        error = "Out of memory";
        return false;
    }
    return true;
}

bool PictureFit::GetAspectedImage(const RasterImage &source, RasterImage &target, const RasterImage &background,
                                 double boxWidth, double boxHeight, const FitOptions &options,
                                 MessageService &messages)
{
    std::string error;
    if (fit(source, target, background, boxWidth, boxHeight, options, error))
        return true;
    messages.showException(error);
    messages.error(FitErrorMessage);
    return false;
}

} // namespace quorvex
