#include "FontConvert.h"

#include "Cp1252.h"

namespace quorvex {

QFont FontConvert::toQFont(const FontSpec &spec)
{
    QFont font(Cp1252::toUnicode(spec.name));
    if (spec.size > 0)
        font.setPointSize(spec.size);
    font.setBold(spec.bold);
    font.setItalic(spec.italic);
    font.setUnderline(spec.underline);
    font.setStrikeOut(spec.strikeout);
    if (spec.pitch == 2)
        font.setFixedPitch(true);
    return font;
}

QColor FontConvert::toQColor(const FontSpec &spec)
{
    // Negative values name desktop colours; the text colour stands in for them.
    if (spec.color < 0)
        return QColor(Qt::black);
    const auto v = static_cast<std::uint32_t>(spec.color);
    return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>((v >> 16) & 0xFF));
}

FontSpec FontConvert::fromQFont(const QFont &font, const QColor &color, const FontSpec &base)
{
    FontSpec spec = base;
    spec.name = Cp1252::fromUnicode(font.family());
    spec.size = font.pointSize() > 0 ? font.pointSize() : base.size;
    spec.bold = font.bold();
    spec.italic = font.italic();
    spec.underline = font.underline();
    spec.strikeout = font.strikeOut();
    if (color.isValid() && base.color >= 0)
        spec.color = color.red() + 256 * color.green() + 65536 * color.blue();
    if (font.fixedPitch())
        spec.pitch = 2;
    return spec;
}

} // namespace quorvex
