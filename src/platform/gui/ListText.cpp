#include "ListText.h"

#include "Cp1252.h"

namespace quorvex {

QString ListText::toUnicode(std::string_view bytes, TextEncoding encoding)
{
    if (encoding == TextEncoding::Utf8)
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return Cp1252::toUnicode(bytes);
}

std::string ListText::fromUnicode(const QString &text, TextEncoding encoding)
{
    if (encoding == TextEncoding::Utf8)
        return text.toStdString();
    return Cp1252::fromUnicode(text);
}

} // namespace quorvex
