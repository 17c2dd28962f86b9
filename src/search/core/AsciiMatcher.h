#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace quorvex {

// Case-insensitive matching of list text where only 'A'..'Z' are lowered, as
// every search of the program does. Cells are read in place: nothing is
// copied or lowered into a buffer per cell.
class AsciiMatcher {
public:
    static constexpr std::size_t npos = std::string_view::npos;

    explicit AsciiMatcher(std::string_view needle);

    bool empty() const { return m_needle.empty(); }
    std::size_t size() const { return m_needle.size(); }
    const std::string &lowered() const { return m_needle; }

    // Index of the first occurrence that begins at `from` or later; every start
    // is tried, so overlapping candidates are found. An empty needle matches nothing.
    std::size_t findIn(std::string_view text, std::size_t from = 0) const;
    // Whole-text equality after lowering; an empty needle equals nothing.
    bool equals(std::string_view text) const;

    static char lower(char c) { return static_cast<char>(table()[static_cast<unsigned char>(c)]); }
    static std::string lowerCopy(std::string_view text);

private:
    static const std::array<unsigned char, 256> &table();
    bool matchesAt(const char *p) const;

    std::string m_needle;
};

} // namespace quorvex
