#include "ListFileFormat.h"

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

std::string ListFileFormat::asciiLower(std::string text)
{
    for (char &c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string ListFileFormat::toUtf8(const std::string &cp1252)
{
    // Code points of 0x80..0x9F; 0 where Windows-1252 leaves the byte undefined.
    static const unsigned short high[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                            0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    std::string out;
    out.reserve(cp1252.size());
    for (unsigned char b : cp1252) {
        unsigned cp = b;
        if (b >= 0x80 && b < 0xA0)
            cp = high[b - 0x80] ? high[b - 0x80] : '?';
        else if (b < 0x20 && b != '\n' && b != '\t')
            cp = '?';
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

} // namespace quorvex
