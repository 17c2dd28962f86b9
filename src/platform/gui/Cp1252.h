#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace quorvex {

// The one crossing between the list's 8-bit Windows-1252 text and Qt's Unicode.
class Cp1252 {
public:
    static QString toUnicode(std::string_view bytes);
    // Characters Windows-1252 cannot hold become "?".
    static std::string fromUnicode(const QString &text);
    // Native file paths are UTF-8, not list text.
    static QString fromPath(const std::string &path) { return QString::fromStdString(path); }
    static std::string toPath(const QString &path) { return path.toStdString(); }
};

} // namespace quorvex
