#include "SortKeyText.h"

#include "document/core/ListDocument.h"
#include "platform/core/UnicodeText.h"


namespace quorvex::sorting {

unsigned char *writeFoldedCharacter(unsigned char *out, std::string_view text, std::size_t &pos)
{
    return UnicodeText::encode(UnicodeText::foldCase(UnicodeText::decode(text, pos)), out);
}

void appendFoldedCharacter(std::string &out, std::string_view text, std::size_t &pos)
{
    UnicodeText::append(out, UnicodeText::foldCase(UnicodeText::decode(text, pos)));
}

void appendKeyCell(std::string &out, std::string_view cell, const SortOptions &options)
{
    if (options.caseSensitive) {
        out.append(cell);
        return;
    }
    const bool fold = unsignedOrder(options);
    for (std::size_t pos = 0; pos < cell.size();) {
        const unsigned char b = static_cast<unsigned char>(cell[pos]);
        if (b < 0x80 || !fold) {
            out += static_cast<char>(lowerAscii(b));
            ++pos;
        } else {
            appendFoldedCharacter(out, cell, pos);
        }
    }
}

std::size_t keyCellLength(std::string_view cell, const SortOptions &options)
{
    if (!foldsCase(options))
        return cell.size();
    std::size_t length = 0;
    std::string folded;
    for (std::size_t pos = 0; pos < cell.size();) {
        if (static_cast<unsigned char>(cell[pos]) < 0x80) {
            ++length;
            ++pos;
            continue;
        }
        folded.clear();
        appendFoldedCharacter(folded, cell, pos);
        length += folded.size();
    }
    return length;
}

void appendKey(std::string &out, const ListDocument &doc, const SortOptions &options, int row,
               std::string_view pageText)
{
    for (int k = 0; k < KeyColumnCount; ++k) {
        if (k > 0)
            out.append(Separator, 3);
        const int c = options.keyColumns[static_cast<std::size_t>(k)];
        appendKeyCell(out, c == 0 ? pageText : doc.cellView(c, row), options);
    }
}

static constexpr double ExactIntegerLimit = 9007199254740992.0; // 2^53

unsigned char *writeNumberToken(unsigned char *out, double value, unsigned char markerBase)
{
    if (value < ExactIntegerLimit) {
        std::uint64_t u = static_cast<std::uint64_t>(value);
        int k = 0;
        for (std::uint64_t t = u; t != 0; t >>= 8)
            ++k;
        *out++ = static_cast<unsigned char>(markerBase + k);
        for (int s = 8 * (k - 1); s >= 0; s -= 8)
            *out++ = static_cast<unsigned char>((u >> s) & 0xFF);
        return out;
    }
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    *out++ = static_cast<unsigned char>(markerBase + 9);
    for (int s = 56; s >= 0; s -= 8)
        *out++ = static_cast<unsigned char>((bits >> s) & 0xFF);
    return out;
}

ByteMaps::ByteMaps()
{
    for (int b = 0; b < 256; ++b) {
        plain[b] = static_cast<unsigned char>(b ^ 0x80);
        lowered[b] = static_cast<unsigned char>(lowerAscii(static_cast<unsigned char>(b)) ^ 0x80);
        unsignedPlain[b] = static_cast<unsigned char>(b);
        unsignedLowered[b] = lowerAscii(static_cast<unsigned char>(b));
    }
}
const ByteMaps byteMaps;

std::uint32_t plainLength(const char *token)
{
    const unsigned char marker = static_cast<unsigned char>(token[0]);
    if ((marker & 0x0F) == 9)
        return 0;
    std::uint64_t v = 0;
    for (int i = 1; i <= (marker & 0x0F); ++i)
        v = (v << 8) | static_cast<unsigned char>(token[i]);
    std::uint32_t digits = 1;
    while (v >= 10) {
        v /= 10;
        ++digits;
    }
    return digits;
}

} // namespace quorvex::sorting
