#pragma once

#include <QFont>
#include <QRect>

class QPainter;

namespace quorvex {

class ListDocument;
struct PageGeometry;

// Paints one cell of a printed page: row 0 as a header cell, the entry rows
// in the row colours by parity (row 1 of a page takes the even colour).
class PageCellPainter {
public:
    static void paint(QPainter &painter, const ListDocument &printGrid, int col, int row, const QRect &rect,
                      const PageGeometry &geometry, const QFont &font);
};

} // namespace quorvex
