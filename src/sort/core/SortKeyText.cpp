#include "SortKeyText.h"

#include "document/core/ListDocument.h"

namespace quorvex::sorting {

void appendKey(std::string &out, const ListDocument &doc, const SortOptions &options, int row,
               std::string_view pageText)
{
    const std::size_t from = out.size();
    for (int k = 0; k < KeyColumnCount; ++k) {
        if (k > 0)
            out.append(Separator, 3);
        const int c = options.keyColumns[static_cast<std::size_t>(k)];
        out.append(c == 0 ? pageText : doc.cellView(c, row));
    }
    if (!options.caseSensitive) {
        for (std::size_t i = from; i < out.size(); ++i)
            out[i] = static_cast<char>(lowerAscii(static_cast<unsigned char>(out[i])));
    }
}

static constexpr double ExactIntegerLimit = 9007199254740992.0; // 2^53

unsigned char *writeNumberToken(unsigned char *out, double value)
{
    if (value < ExactIntegerLimit) {
        std::uint64_t u = static_cast<std::uint64_t>(value);
        int k = 0;
        for (std::uint64_t t = u; t != 0; t >>= 8)
            ++k;
        *out++ = static_cast<unsigned char>(0xB0 + k);
        for (int s = 8 * (k - 1); s >= 0; s -= 8)
            *out++ = static_cast<unsigned char>((u >> s) & 0xFF);
        return out;
    }
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    *out++ = 0xB9;
    for (int s = 56; s >= 0; s -= 8)
        *out++ = static_cast<unsigned char>((bits >> s) & 0xFF);
    return out;
}

ByteMaps::ByteMaps()
{
    for (int b = 0; b < 256; ++b) {
        plain[b] = static_cast<unsigned char>(b ^ 0x80);
        lowered[b] = static_cast<unsigned char>(lowerAscii(static_cast<unsigned char>(b)) ^ 0x80);
    }
}
const ByteMaps byteMaps;

std::uint32_t plainLength(const char *token)
{
    const unsigned char marker = static_cast<unsigned char>(token[0]);
    if (marker == 0xB9)
        return 0;
    std::uint64_t v = 0;
    for (int i = 1; i <= marker - 0xB0; ++i)
        v = (v << 8) | static_cast<unsigned char>(token[i]);
    std::uint32_t digits = 1;
    while (v >= 10) {
        v /= 10;
        ++digits;
    }
    return digits;
}

} // namespace quorvex::sorting
