#pragma once

#include "platform/core/RasterImage.h"

#include <string>

namespace quorvex {

class MessageService;

// Where a fitted picture lands in its box.
struct FitPlacement {
    int width = 0;
    int height = 0;
    int left = 0;
    int top = 0;
};

struct FitOptions {
    double marginWidthPercent = 0;
    double marginHeightPercent = 0;
    bool keepAspect = true;
    bool allowEnlarge = true;
    bool transparent = false;
    ColorRef transparentColour = 0;
};

// Fits a picture into a box over a background: the preview's picture box
// and the settings dialog's background samples.
class PictureFit {
public:
    static constexpr const char *FitErrorMessage = "Error adjusting image to fit.\nGetAspectedImage()";
    // Boxes beyond this many pixels are refused instead of allocated.
    static constexpr double MaxBoxPixels = 64.0 * 1000 * 1000;

    // The output size and its place, computed in floating point and truncated.
    static FitPlacement placement(int sourceWidth, int sourceHeight, double boxWidth, double boxHeight,
                                     const FitOptions &options);

    // Makes `target` a picture of the box's size, the background resampled
    // over all of it and the source over its placement. False with a reason
    // when the box cannot be made.
    static bool fit(const RasterImage &source, RasterImage &target, const RasterImage &background, double boxWidth,
                    double boxHeight, const FitOptions &options, std::string &error);

    // fit(), reporting a failure with the toolkit's box and the program's message.
    static bool GetAspectedImage(const RasterImage &source, RasterImage &target, const RasterImage &background,
                                 double boxWidth, double boxHeight, const FitOptions &options,
                                 MessageService &messages);
};

} // namespace quorvex
