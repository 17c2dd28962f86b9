#pragma once

#include <string>

namespace quorvex {

enum class ListFileVersion { Unknown, V10, V11, V12 };

// Facts of the list file layout shared by the readers, the writers and the commands.
struct ListFileFormat {
    static constexpr int PageSetupSize = 45;
    static constexpr int MaxListTypeLength = 55;
    static constexpr int SignatureSize = 30;

    // The text from the last "." of the whole path to its end, or "".
    static std::string extension(const std::string &path);
    // ".lstd" in any case is version 1.2; everything else is written as version 1.1.
    static ListFileVersion versionForPath(const std::string &path);
    // Lowers only 'A'..'Z'.
    static std::string asciiLower(std::string text);
    // Windows-1252 bytes as UTF-8, for message texts; control bytes show as "?".
    static std::string toUtf8(const std::string &cp1252);
};

} // namespace quorvex
