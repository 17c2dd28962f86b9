#include "TextMatcher.h"

#include "platform/core/UnicodeText.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace quorvex {

namespace {

constexpr char32_t InvalidByteKey = 0x110000;
// From this many bytes on the library's byte search pays for its calls.
constexpr std::size_t LongText = 64;

// Every code point that simple case folding changes, under what it folds to:
// the other characters a folded character of the needle stands for.
const std::unordered_map<char32_t, std::vector<char32_t>> &foldedFrom()
{
    static const std::unordered_map<char32_t, std::vector<char32_t>> map = [] {
        std::unordered_map<char32_t, std::vector<char32_t>> m;
        for (char32_t cp = 0; cp <= 0x10FFFF; ++cp) {
            if (cp >= 0xD800 && cp <= 0xDFFF)
                continue;
            const char32_t f = UnicodeText::foldCase(cp);
            if (f != cp)
                m[f].push_back(cp);
        }
        return m;
    }();
    return map;
}

std::string utf8Of(char32_t cp)
{
    std::string s;
    UnicodeText::append(s, cp);
    return s;
}

} // namespace

TextMatcher::TextMatcher(std::string_view needle, TextEncoding encoding)
    : m_unicode(encoding == TextEncoding::Utf8), m_ascii(m_unicode ? std::string_view() : needle)
{
    if (!m_unicode)
        return;
    for (std::size_t pos = 0; pos < needle.size();)
        m_keys.push_back(keyAt(needle, pos));
    if (m_keys.empty())
        return;
    const auto *map = &foldedFrom();
    const auto formsOf = [map](char32_t key) {
        std::vector<char32_t> forms;
        if (key >= InvalidByteKey)
            return forms;
        forms.push_back(key);
        const auto it = map->find(key);
        if (it != map->end())
            for (char32_t cp : it->second)
                if (std::find(forms.begin(), forms.end(), cp) == forms.end())
                    forms.push_back(cp);
        return forms;
    };
    for (char32_t key : m_keys) {
        std::size_t shortest = 1;
        if (key < InvalidByteKey) {
            shortest = 4;
            for (char32_t cp : formsOf(key))
                shortest = std::min(shortest, utf8Of(cp).size());
        }
        m_minTextSize += shortest;
    }
    const char32_t first = m_keys.front();
    if (first >= InvalidByteKey) {
        m_firstBytes.push_back(static_cast<char>(first - InvalidByteKey));
    } else {
        for (char32_t cp : formsOf(first)) {
            const char lead = utf8Of(cp)[0];
            if (std::find(m_firstBytes.begin(), m_firstBytes.end(), lead) == m_firstBytes.end())
                m_firstBytes.push_back(lead);
        }
    }
    for (char b : m_firstBytes)
        m_firstByte[static_cast<unsigned char>(b)] = true;
}

char32_t TextMatcher::keyAt(std::string_view text, std::size_t &pos)
{
    const auto b = static_cast<unsigned char>(text[pos]);
    if (b < 0x80) {
        ++pos;
        return b >= 'A' && b <= 'Z' ? b + 32 : b;
    }
    const std::size_t start = pos;
    const char32_t cp = UnicodeText::decode(text, pos);
    if (cp == 0xFFFD && pos - start == 1)
        return InvalidByteKey + b;
    return UnicodeText::foldCase(cp);
}

bool TextMatcher::startsCharacter(std::string_view text, std::size_t pos) const
{
    // The first byte of a character never is a continuation byte, except for
    // a needle that starts with a stray byte: that one must not hit the inside
    // of a character.
    return m_keys.front() < InvalidByteKey || UnicodeText::characterStart(text, pos) == pos;
}

std::size_t TextMatcher::matchAt(std::string_view text, std::size_t pos) const
{
    std::size_t p = pos;
    for (char32_t key : m_keys) {
        if (p >= text.size() || keyAt(text, p) != key)
            return npos;
    }
    return p - pos;
}

std::size_t TextMatcher::findIn(std::string_view text, std::size_t from, std::size_t &length) const
{
    if (!m_unicode) {
        length = m_ascii.size();
        return m_ascii.findIn(text, from);
    }
    const std::size_t n = text.size();
    if (m_keys.empty() || from > n || n - from < m_minTextSize)
        return npos;
    const std::size_t last = n - m_minTextSize; // last possible start
    const char *s = text.data();
    if (m_firstBytes.size() <= 2 && last - from >= LongText) {
        // On a long text the library's byte search is many times faster than
        // a loop: one search per form of the first character, the nearest hit
        // tried first. On the short texts of most cells its calls cost more.
        std::array<std::size_t, 2> next{};
        const std::size_t forms = m_firstBytes.size();
        const auto seek = [&](std::size_t k, std::size_t at) {
            const void *hit = at <= last ? std::memchr(s + at, m_firstBytes[k], last - at + 1) : nullptr;
            next[k] = hit ? static_cast<std::size_t>(static_cast<const char *>(hit) - s) : npos;
        };
        for (std::size_t k = 0; k < forms; ++k)
            seek(k, from);
        for (;;) {
            std::size_t k = 0;
            for (std::size_t j = 1; j < forms; ++j)
                if (next[j] < next[k])
                    k = j;
            const std::size_t i = next[k];
            if (i == npos)
                return npos;
            const std::size_t m = startsCharacter(text, i) ? matchAt(text, i) : npos;
            if (m != npos) {
                length = m;
                return i;
            }
            seek(k, i + 1);
        }
    }
    for (std::size_t i = from; i <= last; ++i) {
        if (!m_firstByte[static_cast<unsigned char>(s[i])] || !startsCharacter(text, i))
            continue;
        const std::size_t m = matchAt(text, i);
        if (m != npos) {
            length = m;
            return i;
        }
    }
    return npos;
}

bool TextMatcher::equals(std::string_view text) const
{
    if (!m_unicode)
        return m_ascii.equals(text);
    return !m_keys.empty() && text.size() >= m_minTextSize && matchAt(text, 0) == text.size();
}

} // namespace quorvex
