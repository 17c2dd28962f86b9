#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quorvex {

// UTF-8 facts the list code needs, on ICU: validation, character boundaries,
// simple case folding, and the crossings to and from Windows-1252.
class UnicodeText {
public:
    static bool isValidUtf8(std::string_view bytes);
    // Decodes the character at `pos` and moves `pos` past it. A byte that does
    // not start a valid sequence decodes as U+FFFD and moves one byte.
    static char32_t decode(std::string_view bytes, std::size_t &pos);
    static void append(std::string &out, char32_t cp);
    // Writes the UTF-8 bytes of `cp` (at most four) at `out`; returns the end.
    // A code point that is no character is written as U+FFFD.
    static unsigned char *encode(char32_t cp, unsigned char *out);
    // The start of the character holding byte `pos` (pos itself when it starts one).
    static std::size_t characterStart(std::string_view bytes, std::size_t pos);
    // At most `maxBytes` of `bytes`, never ending inside a character.
    static std::string_view prefixWithin(std::string_view bytes, std::size_t maxBytes);
    // Unicode simple case folding of one code point ("Ł" -> "ł"). The Basic
    // Multilingual Plane is looked up in a table made at the first use: sorts
    // and searches fold millions of characters, mostly of a few scripts.
    static char32_t foldCase(char32_t cp);
    // Simple case folding of a whole UTF-8 text; invalid bytes become U+FFFD.
    static std::string foldCase(std::string_view utf8);
    static std::size_t countCharacters(std::string_view utf8);

    static std::string fromCp1252(std::string_view cp1252);
    // Characters Windows-1252 cannot hold become "?"; `replaced` counts them.
    static std::string toCp1252(std::string_view utf8, std::size_t &replaced);
    // The byte Windows-1252 gives `cp`, or -1 when it has none.
    static int cp1252Byte(char32_t cp);
    // Inline: the grid model calls it for every byte it shows.
    static char32_t cp1252Char(unsigned char byte)
    {
        return (byte >= 0x80 && byte <= 0x9F) ? Cp1252High[byte - 0x80] : byte;
    }

    // 0x80..0x9F; the five bytes Windows-1252 leaves undefined map to the C1 controls.
    static constexpr std::array<char16_t, 32> Cp1252High = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
};

} // namespace quorvex
