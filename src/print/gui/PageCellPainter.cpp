#include "PageCellPainter.h"

#include "attachments/core/AttachmentRef.h"
#include "document/core/ListDocument.h"
#include "platform/gui/Cp1252.h"
#include "print/core/PrintLayout.h"

#include <QPainter>

namespace quorvex {

void PageCellPainter::paint(QPainter &painter, const ListDocument &printGrid, int col, int row, const QRect &rect,
                            const PageGeometry &geometry, const QFont &font)
{
    const int g = geometry.lineWidth;
    const QRect lines(rect.left(), rect.top(), rect.width() + g, rect.height() + g);
    if (row == 0) {
        painter.fillRect(lines, Qt::black);
        painter.fillRect(rect, QColor(240, 240, 240));
        painter.setPen(Qt::white);
        painter.drawLine(rect.topLeft(), rect.topRight());
        painter.drawLine(rect.topLeft(), rect.bottomLeft());
        painter.setPen(QColor(160, 160, 160));
        painter.drawLine(rect.bottomLeft(), rect.bottomRight());
        painter.drawLine(rect.topRight(), rect.bottomRight());
    } else {
        painter.fillRect(lines, QColor(192, 192, 192));
        painter.fillRect(rect, row % 2 == 1 ? QColor(255, 255, 255) : QColor(255, 255, 225));
    }
    const std::string_view text = printGrid.cellView(col, row);
    if (text.empty())
        return;
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QString shown = AttachmentRef::isReference(text) ? Cp1252::toUnicode(AttachmentRef::fileName(text))
                                                           : Cp1252::toUnicode(text);
    painter.save();
    painter.setClipRect(rect);
    painter.drawText(rect.adjusted(3, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
    painter.restore();
}

} // namespace quorvex
