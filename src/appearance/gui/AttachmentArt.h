#pragma once

#include <QImage>

namespace quorvex {
namespace AttachmentArt {

enum class Kind { Picture, Audio, Video, WebPage, File, Unknown };

// Our own artwork, drawn with QPainter at any size; the pixel at (0, 0) is the transparent key colour.
QImage icon(Kind kind, int width, int height);

} // namespace AttachmentArt
} // namespace quorvex
