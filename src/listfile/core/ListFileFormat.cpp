#include "ListFileFormat.h"

#include "platform/core/AppConstants.h"
#include "platform/core/UnicodeText.h"

namespace quorvex {

std::string ListFileFormat::extension(const std::string &path)
{
    const std::size_t dot = path.find_last_of('.');
    return dot == std::string::npos ? std::string() : path.substr(dot);
}

ListFileVersion ListFileFormat::versionForPath(const std::string &path)
{
    return asciiLower(extension(path)) == ".lstd" ? ListFileVersion::V12 : ListFileVersion::V11;
}

ListFileVersion ListFileFormat::versionForPath(const std::string &path, TextEncoding encoding)
{
    const bool dependent = versionForPath(path) == ListFileVersion::V12;
    if (encoding == TextEncoding::Utf8)
        return dependent ? ListFileVersion::V14 : ListFileVersion::V13;
    return dependent ? ListFileVersion::V12 : ListFileVersion::V11;
}

const char *ListFileFormat::tagOf(ListFileVersion version)
{
    switch (version) {
    case ListFileVersion::V11:
        return listTagV11;
    case ListFileVersion::V12:
        return listTagV12;
    case ListFileVersion::V13:
        return TagV13;
    case ListFileVersion::V14:
        return TagV14;
    case ListFileVersion::V10:
    case ListFileVersion::Unknown:
        break;
    }
    return nullptr;
}

const char *ListFileFormat::versionName(ListFileVersion version)
{
    switch (version) {
    case ListFileVersion::V10:
        return "1.0";
    case ListFileVersion::V11:
        return "1.1";
    case ListFileVersion::V12:
        return "1.2";
    case ListFileVersion::V13:
        return "1.3";
    case ListFileVersion::V14:
        return "1.4";
    case ListFileVersion::Unknown:
        break;
    }
    return "unknown";
}

std::string ListFileFormat::asciiLower(std::string text)
{
    for (char &c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string ListFileFormat::toUtf8(const std::string &cp1252)
{
    // Message texts: control bytes (and the five bytes Windows-1252 leaves
    // undefined) show as "?".
    std::string shown;
    shown.reserve(cp1252.size());
    for (char ch : cp1252) {
        const auto b = static_cast<unsigned char>(ch);
        const bool control = (b < 0x20 && b != '\n' && b != '\t') ||
                             (b >= 0x80 && b < 0xA0 && UnicodeText::cp1252Char(b) < 0xA0);
        shown += control ? '?' : ch;
    }
    return UnicodeText::fromCp1252(shown);
}

std::string ListFileFormat::toUtf8(const std::string &text, TextEncoding encoding)
{
    if (encoding == TextEncoding::Windows1252)
        return toUtf8(text);
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const char32_t cp = UnicodeText::decode(text, pos);
        UnicodeText::append(shown, (cp < 0x20 && cp != '\n' && cp != '\t') ? U'?' : cp);
    }
    return shown;
}

} // namespace quorvex
