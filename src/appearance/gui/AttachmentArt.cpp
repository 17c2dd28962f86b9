#include "AttachmentArt.h"

#include <QPainter>

namespace quorvex {
namespace AttachmentArt {

// A plain stand-in: a coloured card with the kind's letter on a white key.
QImage icon(Kind kind, int width, int height)
{
    QImage image(std::max(1, width), std::max(1, height), QImage::Format_RGB32);
    image.fill(Qt::white);
    QColor colour;
    QChar letter;
    switch (kind) {
    case Kind::Picture:
        colour = QColor(70, 140, 70);
        letter = QLatin1Char('P');
        break;
    case Kind::Audio:
        colour = QColor(60, 90, 180);
        letter = QLatin1Char('A');
        break;
    case Kind::Video:
        colour = QColor(170, 60, 60);
        letter = QLatin1Char('V');
        break;
    case Kind::WebPage:
        colour = QColor(40, 140, 160);
        letter = QLatin1Char('W');
        break;
    case Kind::File:
        colour = QColor(150, 120, 50);
        letter = QLatin1Char('F');
        break;
    case Kind::Unknown:
        colour = QColor(110, 110, 110);
        letter = QLatin1Char('?');
        break;
    }
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF card(image.width() * 0.1, image.height() * 0.1, image.width() * 0.8, image.height() * 0.8);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawRoundedRect(card, image.width() * 0.08, image.height() * 0.08);
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    font.setPixelSize(std::max(1, static_cast<int>(card.height() * 0.6)));
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(card, Qt::AlignCenter, QString(letter));
    p.end();
    return image;
}

} // namespace AttachmentArt
} // namespace quorvex
