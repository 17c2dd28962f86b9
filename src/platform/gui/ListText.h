#pragma once

#include "platform/core/TextEncoding.h"

#include <QString>

#include <string>
#include <string_view>

namespace quorvex {

// The crossing between a list's own text, in the list's encoding, and Qt's Unicode.
class ListText {
public:
    static QString toUnicode(std::string_view bytes, TextEncoding encoding);
    // For a Windows-1252 list, characters it cannot hold become "?".
    static std::string fromUnicode(const QString &text, TextEncoding encoding);
};

} // namespace quorvex
