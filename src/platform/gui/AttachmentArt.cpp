#include "AttachmentArt.h"

#include "platform/core/RasterImage.h"


#include <QPainter>
#include <QPainterPath>

namespace quorvex { namespace AttachmentArt {

void foldedSheet(QPainter &p, const QRectF &r, qreal fold, const QPen &pen, const QColor &paper, const QColor &corner)
{
    QPainterPath sheet;
    sheet.moveTo(r.left(), r.top());
    sheet.lineTo(r.right() - fold, r.top());
    sheet.lineTo(r.right(), r.top() + fold);
    sheet.lineTo(r.right(), r.bottom());
    sheet.lineTo(r.left(), r.bottom());
    sheet.closeSubpath();
    p.setPen(pen);
    p.setBrush(paper);
    p.drawPath(sheet);
    QPainterPath folded;
    folded.moveTo(r.right() - fold, r.top());
    folded.lineTo(r.right() - fold, r.top() + fold);
    folded.lineTo(r.right(), r.top() + fold);
    folded.closeSubpath();
    p.setBrush(corner);
    p.drawPath(folded);
}

namespace {

// A light key: the soft edges the scaling leaves around a shape blend toward
// it and stay unobtrusive on light and dark rows alike.
const QColor keyColour(252, 252, 252);
const QColor outline(40, 48, 64);

void page(QPainter &p, const QRectF &r, const QColor &paper)
{
    foldedSheet(p, r, r.width() * 0.3, QPen(outline, 1.2), paper, QColor(200, 206, 216));
}

void picture(QPainter &p)
{
    p.setPen(QPen(QColor(110, 70, 30), 2.0));
    p.setBrush(QColor(150, 205, 245));
    p.drawRect(QRectF(3, 5, 26, 22));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 210, 40));
    p.drawEllipse(QPointF(22, 11), 3.2, 3.2);
    QPainterPath hills;
    hills.moveTo(4, 26);
    hills.lineTo(4, 20);
    hills.quadTo(10, 13, 16, 20);
    hills.quadTo(21, 15, 28, 19);
    hills.lineTo(28, 26);
    hills.closeSubpath();
    p.setBrush(QColor(60, 160, 70));
    p.drawPath(hills);
}

void audio(QPainter &p)
{
    const QColor ink(70, 40, 150);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    // Two heads, two stems, one beam.
    p.save();
    p.translate(10, 24);
    p.rotate(-20);
    p.drawEllipse(QPointF(0, 0), 4.2, 3.0);
    p.restore();
    p.save();
    p.translate(23, 21);
    p.rotate(-20);
    p.drawEllipse(QPointF(0, 0), 4.2, 3.0);
    p.restore();
    p.drawRect(QRectF(13, 8, 2, 16));
    p.drawRect(QRectF(26, 5, 2, 16));
    QPainterPath beam;
    beam.moveTo(13, 8);
    beam.lineTo(28, 5);
    beam.lineTo(28, 9);
    beam.lineTo(13, 12);
    beam.closeSubpath();
    p.drawPath(beam);
}

void video(QPainter &p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(35, 35, 40));
    p.drawRoundedRect(QRectF(2, 6, 28, 20), 2, 2);
    p.setBrush(QColor(235, 235, 235));
    for (int i = 0; i < 6; ++i) {
        p.drawRect(QRectF(4 + i * 4.4, 7.5, 2.4, 2.2));
        p.drawRect(QRectF(4 + i * 4.4, 22.3, 2.4, 2.2));
    }
    p.setBrush(QColor(90, 160, 230));
    p.drawRect(QRectF(4, 11.5, 11, 9));
    p.setBrush(QColor(240, 150, 60));
    p.drawRect(QRectF(17, 11.5, 11, 9));
}

void webPage(QPainter &p)
{
    page(p, QRectF(3, 2, 20, 26), Qt::white);
    const QPointF centre(20, 19);
    const qreal radius = 9;
    p.setPen(QPen(QColor(20, 70, 140), 1.2));
    p.setBrush(QColor(70, 150, 230));
    p.drawEllipse(centre, radius, radius);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 175, 80));
    QPainterPath land;
    land.moveTo(14, 14);
    land.quadTo(19, 11, 21, 15);
    land.quadTo(17, 18, 19, 22);
    land.quadTo(14, 22, 13, 18);
    land.closeSubpath();
    land.moveTo(23, 20);
    land.quadTo(27, 18, 27, 22);
    land.quadTo(25, 26, 22, 25);
    land.closeSubpath();
    p.drawPath(land);
    p.setPen(QPen(QColor(230, 240, 255), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, radius * 0.45, radius);
    p.drawLine(QPointF(centre.x() - radius, centre.y()), QPointF(centre.x() + radius, centre.y()));
}

void file(QPainter &p)
{
    page(p, QRectF(6, 2, 20, 27), Qt::white);
    p.setPen(QPen(QColor(150, 160, 175), 1.2));
    for (int i = 0; i < 5; ++i)
        p.drawLine(QPointF(9.5, 12 + i * 3.5), QPointF(22.5, 12 + i * 3.5));
}

void unknown(QPainter &p)
{
    p.setPen(QPen(QColor(170, 90, 0), 1.2));
    p.setBrush(QColor(255, 180, 60));
    p.drawEllipse(QPointF(16, 16), 13, 13);
    QFont font(QStringLiteral("Sans Serif"));
    font.setBold(true);
    font.setPixelSize(20);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(3, 3, 26, 26), Qt::AlignCenter, QStringLiteral("?"));
}

} // namespace

QImage icon(Kind kind, int width, int height)
{
    if (width <= 0 || height <= 0)
        return QImage();
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(keyColour);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        // Drawn on a 32 x 32 design grid, stretched to the size asked for.
        p.scale(width / 32.0, height / 32.0);
        switch (kind) {
        case Kind::Picture: picture(p); break;
        case Kind::Audio: audio(p); break;
        case Kind::Video: video(p); break;
        case Kind::WebPage: webPage(p); break;
        case Kind::File: file(p); break;
        case Kind::Unknown: unknown(p); break;
        }
    }
    image.setPixel(0, 0, keyColour.rgb());
    return image;
}

} }

namespace quorvex { namespace AttachmentArt {

RasterImage rasterOf(const QImage &image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    RasterImage out(rgb.width(), rgb.height());
    for (int y = 0; y < rgb.height(); ++y) {
        const auto *line = reinterpret_cast<const std::uint32_t *>(rgb.constScanLine(y));
        std::copy(line, line + rgb.width(), out.row(y));
    }
    return out;
}

} } // namespace quorvex::AttachmentArt
