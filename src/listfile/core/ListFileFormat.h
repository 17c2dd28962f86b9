#pragma once

#include "platform/core/TextEncoding.h"

#include <string>

namespace quorvex {

// V13 and V14 are the Unicode lists: the bodies of V11 (attachments inside)
// and V12 (dependent), every text in UTF-8.
enum class ListFileVersion { Unknown, V10, V11, V12, V13, V14 };

// Facts of the list file layout shared by the readers, the writers and the commands.
struct ListFileFormat {
    static constexpr int PageSetupSize = 45;
    static constexpr int MaxListTypeLength = 55;
    static constexpr int SignatureSize = 30;
    // The version tags of the Unicode lists, after the magic as the others are.
    static constexpr const char *TagV13 = "_ListVers1.3Uni";
    static constexpr const char *TagV14 = "_ListVers1.4UDp";

    // The text from the last "." of the whole path to its end, or "".
    static std::string extension(const std::string &path);
    // ".lstd" in any case is version 1.2; everything else is written as version 1.1.
    static ListFileVersion versionForPath(const std::string &path);
    // The same for a list of `encoding`: a Unicode list gets 1.4 or 1.3.
    static ListFileVersion versionForPath(const std::string &path, TextEncoding encoding);
    // The version tag written after the magic; nullptr for V10 and Unknown.
    static const char *tagOf(ListFileVersion version);
    // V12 and V14 leave their attachments in the database folder.
    static bool isDependent(ListFileVersion version)
    {
        return version == ListFileVersion::V12 || version == ListFileVersion::V14;
    }
    static bool isUnicode(ListFileVersion version)
    {
        return version == ListFileVersion::V13 || version == ListFileVersion::V14;
    }
    static TextEncoding encodingOf(ListFileVersion version)
    {
        return isUnicode(version) ? TextEncoding::Utf8 : TextEncoding::Windows1252;
    }
    // "1.0" .. "1.4", "unknown".
    static const char *versionName(ListFileVersion version);
    // Lowers only 'A'..'Z'.
    static std::string asciiLower(std::string text);
    // Windows-1252 bytes as UTF-8, for message texts; control bytes show as "?".
    static std::string toUtf8(const std::string &cp1252);
    // Text of a list of `encoding` as UTF-8, for message texts.
    static std::string toUtf8(const std::string &text, TextEncoding encoding);
};

} // namespace quorvex
