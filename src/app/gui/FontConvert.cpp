#include "FontConvert.h"

#include "Cp1252.h"

namespace quorvex {

QFont FontConvert::toQFont(const FontChoice &choice)
{
    QFont font(Cp1252::toUnicode(choice.name));
    if (choice.size > 0)
        font.setPointSize(choice.size);
    font.setBold(choice.bold);
    font.setItalic(choice.italic);
    font.setUnderline(choice.underline);
    font.setStrikeOut(choice.strikeout);
    if (choice.pitch == 2)
        font.setFixedPitch(true);
    return font;
}

QColor FontConvert::toQColor(const FontChoice &choice)
{
    // Negative values name desktop colours; the text colour stands in for them.
    if (choice.color < 0)
        return QColor(Qt::black);
    const auto v = static_cast<std::uint32_t>(choice.color);
    return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>((v >> 16) & 0xFF));
}

FontChoice FontConvert::fromQFont(const QFont &font, const QColor &color, const FontChoice &base)
{
    FontChoice choice = base;
    choice.name = Cp1252::fromUnicode(font.family());
    choice.size = font.pointSize() > 0 ? font.pointSize() : base.size;
    choice.bold = font.bold();
    choice.italic = font.italic();
    choice.underline = font.underline();
    choice.strikeout = font.strikeOut();
    if (color.isValid() && base.color >= 0)
        choice.color = color.red() + 256 * color.green() + 65536 * color.blue();
    if (font.fixedPitch())
        choice.pitch = 2;
    return choice;
}

} // namespace quorvex
