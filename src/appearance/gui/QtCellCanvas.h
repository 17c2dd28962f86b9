#pragma once

#include "appearance/core/CellCanvas.h"
#include "platform/core/TextEncoding.h"

#include <QFont>

#include <array>
#include <unordered_map>

class QPainter;

namespace quorvex {

// The cell painter's canvas over a QPainter (a widget, an image or a page).
class QtCellCanvas final : public CellCanvas {
public:
    // Advance widths of the 256 Windows-1252 characters in `font`, so that
    // only the characters that can show are handed to the text drawing.
    using Advances = std::array<float, 256>;
    static Advances advancesOf(const QFont &font);
    // Advance widths of the characters of a Unicode list past ASCII, measured
    // on first sight; the owner keeps it with the table and empties both
    // when the font changes.
    using WideAdvances = std::unordered_map<char32_t, float>;

    // A Unicode list's cells are UTF-8 and need `wide`; without it they are
    // drawn as Windows-1252.
    QtCellCanvas(QPainter &painter, const QFont &font, const Advances &advances,
                 TextEncoding encoding = TextEncoding::Windows1252, WideAdvances *wide = nullptr);

    void fillRect(PixelRect rect, ColorRef color) override;
    void drawPicture(int x, int y, const RasterImage &picture, PixelRect source, bool keyed) override;
    void drawText(PixelRect clip, int x, int y, std::string_view text, ColorRef color, bool italic) override;
    void drawFocusRect(PixelRect rect) override;

private:
    // How many bytes of `text` can show in `room` pixels, a few characters past it.
    std::size_t shownBytes(std::string_view text, float room) const;
    std::size_t shownUtf8Bytes(std::string_view text, float room) const;
    float wideAdvance(char32_t cp) const;

    QPainter &m_painter;
    QFont m_font;
    QFont m_italic;
    const Advances &m_advances;
    TextEncoding m_encoding;
    WideAdvances *m_wide;
    int m_ascent = 0;
    int m_italicAscent = 0;
};

} // namespace quorvex
