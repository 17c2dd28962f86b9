#include "AsciiMatcher.h"

#include <cstring>

namespace quorvex {

const std::array<unsigned char, 256> &AsciiMatcher::table()
{
    static const std::array<unsigned char, 256> t = [] {
        std::array<unsigned char, 256> a{};
        for (int i = 0; i < 256; ++i)
            a[static_cast<std::size_t>(i)] = static_cast<unsigned char>(i >= 'A' && i <= 'Z' ? i + 32 : i);
        return a;
    }();
    return t;
}

std::string AsciiMatcher::lowerCopy(std::string_view text)
{
    std::string out(text);
    for (char &c : out)
        c = lower(c);
    return out;
}

AsciiMatcher::AsciiMatcher(std::string_view needle) : m_needle(lowerCopy(needle)) {}

bool AsciiMatcher::matchesAt(const char *p) const
{
    const auto &t = table();
    const std::size_t m = m_needle.size();
    for (std::size_t j = 1; j < m; ++j)
        if (t[static_cast<unsigned char>(p[j])] != static_cast<unsigned char>(m_needle[j]))
            return false;
    return true;
}

std::size_t AsciiMatcher::findIn(std::string_view text, std::size_t from) const
{
    const std::size_t m = m_needle.size();
    const std::size_t n = text.size();
    if (m == 0 || from > n || n - from < m)
        return npos;
    const char *s = text.data();
    const std::size_t last = n - m; // last possible start
    const unsigned char first = static_cast<unsigned char>(m_needle[0]);
    if (first >= 'a' && first <= 'z') {
        // Setting bit 5 maps exactly 'A'..'Z' and 'a'..'z' onto the lower letter here.
        for (std::size_t i = from; i <= last; ++i)
            if ((static_cast<unsigned char>(s[i]) | 0x20) == first && matchesAt(s + i))
                return i;
        return npos;
    }
    std::size_t i = from;
    while (i <= last) {
        const void *hit = std::memchr(s + i, first, last - i + 1);
        if (!hit)
            return npos;
        i = static_cast<std::size_t>(static_cast<const char *>(hit) - s);
        if (matchesAt(s + i))
            return i;
        ++i;
    }
    return npos;
}

bool AsciiMatcher::equals(std::string_view text) const
{
    return !m_needle.empty() && text.size() == m_needle.size() && matchesAt(text.data()) &&
           lower(text[0]) == m_needle[0];
}

} // namespace quorvex
