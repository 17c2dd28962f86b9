#pragma once

#include "sort/core/SortOptions.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace quorvex {
class ListDocument;
}

namespace quorvex::sorting {

constexpr int KeyColumnCount = 8;
constexpr const char Separator[] = "   ";

inline bool isDigit(unsigned char b) { return b >= '0' && b <= '9'; }
inline unsigned char lowerAscii(unsigned char b) { return (b >= 'A' && b <= 'Z') ? static_cast<unsigned char>(b + 32) : b; }

// A UTF-8 key compares by code point, which is the order of its unsigned bytes.
inline bool unsignedOrder(const SortOptions &options) { return options.encoding == TextEncoding::Utf8; }
inline bool foldsCase(const SortOptions &options) { return !options.caseSensitive && unsignedOrder(options); }

// Appends a cell's text as it stands in a key: lowered by ASCII rules, or for
// UTF-8 folded by Unicode simple case folding, unless case-sensitive.
void appendKeyCell(std::string &out, std::string_view cell, const SortOptions &options);
// The length of the text appendKeyCell appends.
std::size_t keyCellLength(std::string_view cell, const SortOptions &options);
// Appends the folded form of the character starting at `pos` (not ASCII) and
// moves `pos` past it, as UnicodeText::foldCase reads a text.
void appendFoldedCharacter(std::string &out, std::string_view text, std::size_t &pos);
// The same into a buffer with room for four bytes; returns the end of what it wrote.
unsigned char *writeFoldedCharacter(unsigned char *out, std::string_view text, std::size_t &pos);

// Appends the key of a row whose page cell reads `pageText`.
void appendKey(std::string &out, const ListDocument &doc, const SortOptions &options, int row,
               std::string_view pageText);

// ---------------------------------------------------------------------------
// Normalised keys. Where two keys never meet digit runs of equal value and
// different lengths, the comparison is a lexicographic order on tokens: a
// byte other than a digit by its signed value, a digit run by its value
// (between '/' and ':' against any other byte), a key that ends first is the
// smaller. The normalised form makes that order plain memcmp order: a byte b
// becomes b ^ 0x80 (signed order), a run becomes a marker from the digits'
// own range 0xB0..0xB9 followed by its value. UTF-8 keys compare unsigned:
// a byte stays as it is and a run's marker is 0x30..0x39.


// Markers end in 0..9 in either range.
inline std::size_t numberTokenSize(unsigned char marker)
{
    return (marker & 0x0F) == 9 ? 9 : 1 + (marker & 0x0F);
}

// Writes the token of a run's value after a marker from `markerBase` (0xB0
// or 0x30); returns the end of what it wrote.
unsigned char *writeNumberToken(unsigned char *out, double value, unsigned char markerBase = 0xB0);

// Byte b as the normalised key writes it: signed order plain and lowered,
// and unsigned order.
struct ByteMaps {
    unsigned char plain[256];
    unsigned char lowered[256];
    unsigned char unsignedPlain[256];
    unsigned char unsignedLowered[256];
    ByteMaps();
};
extern const ByteMaps byteMaps;

// The digits of a run written without leading zeros, from its token (0 for
// values past 2^53, whose runs are always kept).
std::uint32_t plainLength(const char *token);

inline int compareViews(std::string_view a, std::string_view b)
{
    const std::size_t n = std::min(a.size(), b.size());
    const int c = n ? std::memcmp(a.data(), b.data(), n) : 0;
    if (c != 0)
        return c;
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

inline std::size_t commonPrefix(std::string_view a, std::string_view b)
{
    const std::size_t n = std::min(a.size(), b.size());
    std::size_t i = 0;
    while (i + 8 <= n) {
        std::uint64_t x, y;
        std::memcpy(&x, a.data() + i, 8);
        std::memcpy(&y, b.data() + i, 8);
        if (x != y)
            return i + static_cast<std::size_t>(__builtin_ctzll(x ^ y) / 8);
        i += 8;
    }
    while (i < n && a[i] == b[i])
        ++i;
    return i;
}

} // namespace quorvex::sorting
