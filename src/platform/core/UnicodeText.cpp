#include "UnicodeText.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <vector>


namespace quorvex {

namespace {

int32_t length32(std::string_view s)
{
    // Cell texts are far below 2 GB; longer inputs are read in pieces by the callers.
    return s.size() > static_cast<std::size_t>(INT32_MAX) ? INT32_MAX : static_cast<int32_t>(s.size());
}

} // namespace

bool UnicodeText::isValidUtf8(std::string_view bytes)
{
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        // Plain ASCII runs are the common case; skip them eight at a time.
        while (pos + 8 <= bytes.size()) {
            uint64_t word = 0;
            for (int k = 0; k < 8; ++k)
                word |= static_cast<uint64_t>(static_cast<unsigned char>(bytes[pos + static_cast<std::size_t>(k)])) << (8 * k);
            if (word & 0x8080808080808080ULL)
                break;
            pos += 8;
        }
        if (pos >= bytes.size())
            break;
        const std::string_view rest = bytes.substr(pos, 4);
        int32_t i = 0;
        UChar32 c;
        U8_NEXT(reinterpret_cast<const uint8_t *>(rest.data()), i, length32(rest), c);
        if (c < 0)
            return false;
        pos += static_cast<std::size_t>(i);
    }
    return true;
}

char32_t UnicodeText::decode(std::string_view bytes, std::size_t &pos)
{
    const auto b = static_cast<unsigned char>(bytes[pos]);
    if (b < 0x80) {
        ++pos;
        return b;
    }
    const std::string_view rest = bytes.substr(pos, 4);
    int32_t i = 0;
    UChar32 c;
    U8_NEXT(reinterpret_cast<const uint8_t *>(rest.data()), i, length32(rest), c);
    if (c < 0) {
        ++pos;
        return 0xFFFD;
    }
    pos += static_cast<std::size_t>(i);
    return static_cast<char32_t>(c);
}

unsigned char *UnicodeText::encode(char32_t cp, unsigned char *out)
{
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        cp = 0xFFFD;
    if (cp < 0x80) {
        *out++ = static_cast<unsigned char>(cp);
    } else if (cp < 0x800) {
        *out++ = static_cast<unsigned char>(0xC0 | (cp >> 6));
        *out++ = static_cast<unsigned char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        *out++ = static_cast<unsigned char>(0xE0 | (cp >> 12));
        *out++ = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<unsigned char>(0x80 | (cp & 0x3F));
    } else {
        *out++ = static_cast<unsigned char>(0xF0 | (cp >> 18));
        *out++ = static_cast<unsigned char>(0x80 | ((cp >> 12) & 0x3F));
        *out++ = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<unsigned char>(0x80 | (cp & 0x3F));
    }
    return out;
}

void UnicodeText::append(std::string &out, char32_t cp)
{
    unsigned char buf[4];
    const unsigned char *end = encode(cp, buf);
    out.append(reinterpret_cast<const char *>(buf), static_cast<std::size_t>(end - buf));
}

std::size_t UnicodeText::characterStart(std::string_view bytes, std::size_t pos)
{
    if (pos >= bytes.size())
        return bytes.size();
    // Step back over at most three continuation bytes, then check that the
    // sequence found really covers `pos`.
    std::size_t start = pos;
    for (int k = 0; k < 3 && start > 0 && (static_cast<unsigned char>(bytes[start]) & 0xC0) == 0x80; ++k)
        --start;
    std::size_t next = start;
    decode(bytes, next);
    return next > pos ? start : pos;
}

std::string_view UnicodeText::prefixWithin(std::string_view bytes, std::size_t maxBytes)
{
    if (bytes.size() <= maxBytes)
        return bytes;
    return bytes.substr(0, characterStart(bytes, maxBytes));
}

char32_t UnicodeText::foldCase(char32_t cp)
{
    if (cp < 0x80)
        return (cp >= 'A' && cp <= 'Z') ? cp + 32 : cp;
    if (cp < 0x10000) {
        static const std::vector<char32_t> bmp = [] {
            std::vector<char32_t> table(0x10000);
            for (UChar32 c = 0; c < 0x10000; ++c)
                table[static_cast<std::size_t>(c)] = static_cast<char32_t>(u_foldCase(c, U_FOLD_CASE_DEFAULT));
            return table;
        }();
        return bmp[cp];
    }
    return static_cast<char32_t>(u_foldCase(static_cast<UChar32>(cp), U_FOLD_CASE_DEFAULT));
}

std::string UnicodeText::foldCase(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const auto b = static_cast<unsigned char>(utf8[pos]);
        if (b < 0x80) {
            out += static_cast<char>((b >= 'A' && b <= 'Z') ? b + 32 : b);
            ++pos;
            continue;
        }
        append(out, foldCase(decode(utf8, pos)));
    }
    return out;
}

std::size_t UnicodeText::countCharacters(std::string_view utf8)
{
    std::size_t n = 0;
    for (std::size_t pos = 0; pos < utf8.size(); ++n)
        decode(utf8, pos);
    return n;
}

int UnicodeText::cp1252Byte(char32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<int>(cp);
    for (std::size_t k = 0; k < Cp1252High.size(); ++k)
        if (Cp1252High[k] == cp)
            return static_cast<int>(0x80 + k);
    return -1;
}

std::string UnicodeText::fromCp1252(std::string_view cp1252)
{
    std::string out;
    out.reserve(cp1252.size());
    for (char ch : cp1252) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x80)
            out += ch;
        else
            append(out, cp1252Char(b));
    }
    return out;
}

std::string UnicodeText::toCp1252(std::string_view utf8, std::size_t &replaced)
{
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const auto b = static_cast<unsigned char>(utf8[pos]);
        if (b < 0x80) {
            out += static_cast<char>(b);
            ++pos;
            continue;
        }
        const int mapped = cp1252Byte(decode(utf8, pos));
        if (mapped < 0) {
            out += '?';
            ++replaced;
        } else {
            out += static_cast<char>(mapped);
        }
    }
    return out;
}

} // namespace quorvex
