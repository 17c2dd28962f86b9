#include "FontConvert.h"

#include "platform/gui/Cp1252.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QPalette>

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
    // Negative values name desktop colours; the desktop's text colour stands in for them.
    if (choice.color < 0)
        return QGuiApplication::palette().color(QPalette::Text);
    const auto v = static_cast<std::uint32_t>(choice.color);
    return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>((v >> 16) & 0xFF));
}

FontChoice FontConvert::fromQFont(const QFont &font, const QColor &color, const FontChoice &base)
{
    FontChoice choice = base;
    choice.name = Cp1252::fromUnicode(font.family());
    const QFontInfo actual(font);
    if (font.pointSize() > 0)
        choice.size = font.pointSize();
    else if (actual.pointSize() > 0)
        choice.size = actual.pointSize();
    choice.bold = font.bold();
    choice.italic = font.italic();
    choice.underline = font.underline();
    choice.strikeout = font.strikeOut();
    if (color.isValid() && base.color >= 0)
        choice.color = color.red() + 256 * color.green() + 65536 * color.blue();
    // The pitch follows the chosen family; a variable family never keeps a fixed pitch.
    if (actual.fixedPitch())
        choice.pitch = 2;
    else if (base.pitch == 2)
        choice.pitch = 0;
    return choice;
}

} // namespace quorvex
