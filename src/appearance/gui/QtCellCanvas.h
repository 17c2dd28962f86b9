#pragma once

#include "appearance/core/CellCanvas.h"

#include <QFont>

#include <array>

class QPainter;

namespace quorvex {

// The cell painter's canvas over a QPainter (a widget, an image or a page).
class QtCellCanvas final : public CellCanvas {
public:
    // Advance widths of the 256 Windows-1252 characters in `font`, so that
    // only the characters that can show are handed to the text drawing.
    using Advances = std::array<float, 256>;
    static Advances advancesOf(const QFont &font);

    QtCellCanvas(QPainter &painter, const QFont &font, const Advances &advances);

    void fillRect(PixelRect rect, ColorRef color) override;
    void drawPicture(int x, int y, const RasterImage &picture, PixelRect source, bool keyed) override;
    void drawText(PixelRect clip, int x, int y, std::string_view text, ColorRef color, bool italic) override;
    void drawFocusRect(PixelRect rect) override;

private:
    QPainter &m_painter;
    QFont m_font;
    QFont m_italic;
    const Advances &m_advances;
    int m_ascent = 0;
    int m_italicAscent = 0;
};

} // namespace quorvex
