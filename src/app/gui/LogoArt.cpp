#include "LogoArt.h"

#include <QIcon>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace quorvex {

namespace {

void paintLogo(QPainter &p, const QRectF &r)
{
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(r.topLeft(), r.bottomRight());
    sky.setColorAt(0.0, QColor(18, 32, 74));
    sky.setColorAt(0.55, QColor(54, 28, 96));
    sky.setColorAt(1.0, QColor(130, 40, 70));
    p.fillRect(r, sky);

    // A film strip running diagonally behind the disc.
    p.save();
    p.translate(r.center());
    p.rotate(-18);
    const qreal stripH = r.height() * 0.26;
    const QRectF strip(-r.width(), -stripH / 2, r.width() * 2, stripH);
    p.fillRect(strip, QColor(20, 20, 24));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(235, 225, 190));
    const qreal hole = stripH * 0.14;
    for (qreal x = strip.left(); x < strip.right(); x += hole * 2.4) {
        p.drawRoundedRect(QRectF(x, strip.top() + hole * 0.5, hole * 1.3, hole), 2, 2);
        p.drawRoundedRect(QRectF(x, strip.bottom() - hole * 1.5, hole * 1.3, hole), 2, 2);
    }
    p.setBrush(QColor(60, 70, 90));
    const qreal frameW = stripH * 0.9;
    for (qreal x = strip.left() + hole; x < strip.right(); x += frameW * 1.15)
        p.drawRect(QRectF(x, strip.top() + hole * 2, frameW, stripH - hole * 4));
    p.restore();

    // The disc with its rainbow sheen and centre hole.
    const qreal radius = std::min(r.width(), r.height()) * 0.36;
    const QPointF c(r.left() + r.width() * 0.62, r.top() + r.height() * 0.56);
    QRadialGradient disc(c, radius);
    disc.setColorAt(0.0, QColor(250, 250, 255));
    disc.setColorAt(0.35, QColor(190, 210, 240));
    disc.setColorAt(0.55, QColor(240, 200, 250));
    disc.setColorAt(0.75, QColor(180, 250, 220));
    disc.setColorAt(1.0, QColor(150, 160, 200));
    p.setBrush(disc);
    p.setPen(QPen(QColor(230, 230, 240), std::max<qreal>(1.0, radius * 0.02)));
    p.drawEllipse(c, radius, radius);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 90), radius * 0.04));
    for (qreal k = 0.5; k < 0.95; k += 0.11)
        p.drawEllipse(c, radius * k, radius * k);
    p.setBrush(QColor(210, 215, 225));
    p.setPen(QPen(QColor(120, 120, 140), 1));
    p.drawEllipse(c, radius * 0.22, radius * 0.22);
    QLinearGradient inner(r.topLeft(), r.bottomRight());
    inner.setColorAt(0.0, QColor(18, 32, 74));
    inner.setColorAt(1.0, QColor(130, 40, 70));
    p.setBrush(inner);
    p.drawEllipse(c, radius * 0.08, radius * 0.08);

    // A tape cassette peeking in from the left.
    const QRectF tape(r.left() + r.width() * 0.08, r.top() + r.height() * 0.52, r.width() * 0.32, r.height() * 0.3);
    p.setBrush(QColor(40, 40, 46));
    p.setPen(QPen(QColor(200, 200, 210), 1.5));
    p.drawRoundedRect(tape, 6, 6);
    p.setBrush(QColor(240, 180, 60));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(tape.left() + tape.width() * 0.08, tape.top() + tape.height() * 0.12, tape.width() * 0.84,
                      tape.height() * 0.3));
    p.setBrush(QColor(230, 230, 230));
    const qreal reel = tape.height() * 0.16;
    p.drawEllipse(QPointF(tape.left() + tape.width() * 0.3, tape.top() + tape.height() * 0.65), reel, reel);
    p.drawEllipse(QPointF(tape.left() + tape.width() * 0.7, tape.top() + tape.height() * 0.65), reel, reel);
}

} // namespace

QPixmap LogoArt::logo(const QSize &size)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::black);
    QPainter p(&pixmap);
    paintLogo(p, QRectF(QPointF(0, 0), QSizeF(size)));
    return pixmap;
}

QIcon LogoArt::appIcon()
{
    QIcon icon;
    for (int side : {16, 32, 48, 64, 128})
        icon.addPixmap(logo(QSize(side, side)));
    return icon;
}

} // namespace quorvex
