#pragma once

#include "AsciiMatcher.h"
#include "platform/core/TextEncoding.h"

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

namespace quorvex {

// Case-insensitive matching in a list's own encoding. A Windows-1252 list
// lowers 'A'..'Z' only (AsciiMatcher); a Unicode list compares characters
// after Unicode simple case folding, so that a hit may cover more or fewer
// bytes of the cell than the needle has. Cells are read in place.
class TextMatcher {
public:
    static constexpr std::size_t npos = std::string_view::npos;

    TextMatcher(std::string_view needle, TextEncoding encoding);

    bool empty() const { return m_unicode ? m_keys.empty() : m_ascii.empty(); }
    TextEncoding encoding() const { return m_unicode ? TextEncoding::Utf8 : TextEncoding::Windows1252; }
    // No text shorter than this (in bytes) can hold a hit.
    std::size_t minTextSize() const { return m_unicode ? m_minTextSize : m_ascii.size(); }

    // Index of the first occurrence that begins at `from` or later, every
    // character start tried; `length` gets the bytes of `text` it covers.
    // An empty needle matches nothing.
    std::size_t findIn(std::string_view text, std::size_t from, std::size_t &length) const;
    std::size_t findIn(std::string_view text, std::size_t from = 0) const
    {
        std::size_t length = 0;
        return findIn(text, from, length);
    }
    // The whole text matches; an empty needle equals nothing.
    bool equals(std::string_view text) const;

private:
    // A character's key: its folded code point, or past the code points for a
    // byte that starts no valid sequence, so that such a byte only matches itself.
    static char32_t keyAt(std::string_view text, std::size_t &pos);
    bool startsCharacter(std::string_view text, std::size_t pos) const;
    // Bytes of `text` from `pos` that match the whole needle, or npos.
    std::size_t matchAt(std::string_view text, std::size_t pos) const;

    bool m_unicode;
    AsciiMatcher m_ascii;
    std::vector<char32_t> m_keys;
    std::size_t m_minTextSize = 0;
    // The first bytes of every character that folds to the needle's first key.
    std::array<bool, 256> m_firstByte{};
    std::vector<char> m_firstBytes;
};

} // namespace quorvex
