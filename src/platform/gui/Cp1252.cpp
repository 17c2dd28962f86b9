#include "Cp1252.h"

#include "platform/core/UnicodeText.h"

namespace quorvex {

QString Cp1252::toUnicode(std::string_view bytes)
{
    QString out;
    out.resize(static_cast<qsizetype>(bytes.size()));
    QChar *dst = out.data();
    for (std::size_t i = 0; i < bytes.size(); ++i)
        dst[i] = QChar(static_cast<char16_t>(UnicodeText::cp1252Char(static_cast<unsigned char>(bytes[i]))));
    return out;
}

std::string Cp1252::fromUnicode(const QString &text)
{
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text.at(i).unicode();
        const int mapped = UnicodeText::cp1252Byte(u);
        // A surrogate pair is one character: one "?".
        if (mapped < 0 && QChar::isHighSurrogate(u) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        out += mapped < 0 ? '?' : static_cast<char>(mapped);
    }
    return out;
}

} // namespace quorvex
