#pragma once

#include <QImage>

class QColor;
class QPainter;
class QPen;
class QRectF;

namespace quorvex {
struct RasterImage;
namespace AttachmentArt {
enum class Kind { Picture, Audio, Video, WebPage, File, Unknown };
// Our own artwork, drawn with QPainter at any size; the pixel at (0, 0) is the transparent key colour.
QImage icon(Kind kind, int width, int height);
// The picture as the cell painter keeps pictures.
RasterImage rasterOf(const QImage &image);
// A sheet of paper in `r` with its top-right corner folded over by `fold`.
void foldedSheet(QPainter &p, const QRectF &r, qreal fold, const QPen &pen, const QColor &paper, const QColor &corner);
} }
