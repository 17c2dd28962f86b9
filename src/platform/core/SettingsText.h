#pragma once

#include <cstddef>
#include <string_view>

namespace quorvex {

// Reading the small settings files: decimal numbers separated by white space.
namespace SettingsText {

inline bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// One integer after white space, read as a check box: non-zero is ticked. The
// digits are not converted, so a number of any length is safe. A word such as
// "1x" or a lone sign is no number: false, and `pos` stays where it was.
inline bool readFlag(std::string_view text, std::size_t &pos, bool &flag)
{
    std::size_t p = pos;
    while (p < text.size() && isBlank(text[p]))
        ++p;
    if (p < text.size() && (text[p] == '+' || text[p] == '-'))
        ++p;
    const std::size_t digits = p;
    bool nonZero = false;
    while (p < text.size() && text[p] >= '0' && text[p] <= '9') {
        nonZero = nonZero || text[p] != '0';
        ++p;
    }
    if (p == digits || (p < text.size() && !isBlank(text[p])))
        return false;
    pos = p;
    flag = nonZero;
    return true;
}

} // namespace SettingsText
} // namespace quorvex
