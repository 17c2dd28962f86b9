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
// own range 0xB0..0xB9 followed by its value.


inline std::size_t numberTokenSize(unsigned char marker)
{
    return marker == 0xB9 ? 9 : 1 + (marker - 0xB0);
}

// Writes the token of a run's value; returns the end of what it wrote.
unsigned char *writeNumberToken(unsigned char *out, double value);

// Byte b as the normalised key writes it, plain and lowered.
struct ByteMaps {
    unsigned char plain[256];
    unsigned char lowered[256];
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
