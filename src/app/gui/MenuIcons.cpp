#include "MenuIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace quorvex {

namespace {

QPixmap draw(MenuIcons::Kind kind, bool enabled)
{
    QPixmap pm(25, 25);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink = enabled ? QColor(20, 90, 170) : QColor(150, 150, 150);
    const QColor fill = enabled ? QColor(255, 220, 90) : QColor(215, 215, 215);
    switch (kind) {
    case MenuIcons::Undo:
    case MenuIcons::Redo: {
        p.save();
        if (kind == MenuIcons::Redo) {
            p.translate(25, 0);
            p.scale(-1, 1);
        }
        QPainterPath arc;
        arc.moveTo(6, 10);
        arc.cubicTo(12, 3, 22, 6, 20, 15);
        arc.cubicTo(19, 19, 15, 21, 11, 21);
        p.setPen(QPen(ink, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(arc);
        QPainterPath head;
        head.moveTo(2, 5);
        head.lineTo(10, 14);
        head.lineTo(2, 15);
        head.closeSubpath();
        p.fillPath(head, ink);
        p.restore();
        break;
    }
    case MenuIcons::Save:
        p.setPen(QPen(ink, 1.5));
        p.setBrush(enabled ? QColor(60, 120, 200) : QColor(190, 190, 190));
        p.drawRoundedRect(QRectF(3, 3, 19, 19), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 3.5, 11, 7));
        p.setBrush(fill);
        p.drawRect(QRectF(7, 14, 11, 8));
        break;
    case MenuIcons::Paste:
        p.setPen(QPen(ink, 1.5));
        p.setBrush(enabled ? QColor(170, 120, 70) : QColor(190, 190, 190));
        p.drawRoundedRect(QRectF(4, 4, 15, 19), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(10, 9, 12, 14));
        p.setBrush(fill);
        p.drawRect(QRectF(8, 2, 7, 4));
        break;
    }
    return pm;
}

} // namespace

QIcon MenuIcons::icon(Kind kind, bool enabled)
{
    QIcon icon;
    // The same picture for both modes: the menu state picks the look, not the style.
    const QPixmap pm = draw(kind, enabled);
    icon.addPixmap(pm, QIcon::Normal);
    icon.addPixmap(pm, QIcon::Disabled);
    return icon;
}

} // namespace quorvex
