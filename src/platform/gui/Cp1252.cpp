#include "Cp1252.h"

#include <array>

namespace quorvex {

namespace {

// 0x80..0x9F; the five bytes Windows-1252 leaves undefined map to the C1 controls.
constexpr std::array<char16_t, 32> HighTable = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

QString Cp1252::toUnicode(std::string_view bytes)
{
    QString out;
    out.resize(static_cast<qsizetype>(bytes.size()));
    QChar *dst = out.data();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        dst[i] = (b >= 0x80 && b <= 0x9F) ? QChar(HighTable[b - 0x80]) : QChar(static_cast<char16_t>(b));
    }
    return out;
}

std::string Cp1252::fromUnicode(const QString &text)
{
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text.at(i).unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            out += static_cast<char>(u);
            continue;
        }
        char mapped = '?';
        for (std::size_t k = 0; k < HighTable.size(); ++k)
            if (HighTable[k] == u) {
                mapped = static_cast<char>(0x80 + k);
                break;
            }
        // A surrogate pair is one character: one "?".
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        out += mapped;
    }
    return out;
}

} // namespace quorvex
