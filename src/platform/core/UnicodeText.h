#pragma once

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
    // The start of the character holding byte `pos` (pos itself when it starts one).
    static std::size_t characterStart(std::string_view bytes, std::size_t pos);
    // At most `maxBytes` of `bytes`, never ending inside a character.
    static std::string_view prefixWithin(std::string_view bytes, std::size_t maxBytes);
    // Unicode simple case folding of one code point ("Ł" -> "ł").
    static char32_t foldCase(char32_t cp);
    // Simple case folding of a whole UTF-8 text; invalid bytes become U+FFFD.
    static std::string foldCase(std::string_view utf8);
    static std::size_t countCharacters(std::string_view utf8);

    static std::string fromCp1252(std::string_view cp1252);
    // Characters Windows-1252 cannot hold become "?"; `replaced` counts them.
    static std::string toCp1252(std::string_view utf8, std::size_t &replaced);
    // The byte Windows-1252 gives `cp`, or -1 when it has none.
    static int cp1252Byte(char32_t cp);
    static char32_t cp1252Char(unsigned char byte);
};

} // namespace quorvex
