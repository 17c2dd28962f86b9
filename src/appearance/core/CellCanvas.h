#pragma once

#include "platform/core/RasterImage.h"

#include <string_view>

namespace quorvex {

// The drawing surface the cell painter works on: the screen grid, a page
// image, or a recorder in tests.
class CellCanvas {
public:
    virtual ~CellCanvas() = default;
    virtual void fillRect(PixelRect rect, ColorRef color) = 0;
    // Draws the `source` part of the picture with its top-left corner at
    // (x, y). With `keyed`, pixels whose top byte is 0 are left out.
    virtual void drawPicture(int x, int y, const RasterImage &picture, PixelRect source, bool keyed) = 0;
    // Windows-1252 text whose line top is at (x, y), clipped to `clip`, with
    // a clear background; `italic` is added to the grid font's own style.
    virtual void drawText(PixelRect clip, int x, int y, std::string_view text, ColorRef color, bool italic) = 0;
    // The desktop's dotted focus frame on the rectangle's edge.
    virtual void drawFocusRect(PixelRect rect) = 0;
};

} // namespace quorvex
