#include "DropDownList.h"

#include <algorithm>

namespace quorvex {

namespace {

unsigned char lowerAscii(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

} // namespace

bool DropDownList::before(const std::string &a, const std::string &b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char x = lowerAscii(static_cast<unsigned char>(a[i]));
        const unsigned char y = lowerAscii(static_cast<unsigned char>(b[i]));
        if (x != y)
            return x < y;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

bool DropDownList::add(std::string_view text)
{
    if (!m_seen.emplace(text).second)
        return false;
    m_items.emplace_back(text);
    m_sorted = false;
    ++m_revision;
    return true;
}

void DropDownList::clear()
{
    m_seen.clear();
    m_items.clear();
    m_sorted = true;
    ++m_revision;
}

const std::vector<std::string> &DropDownList::items() const
{
    if (!m_sorted) {
        std::sort(m_items.begin(), m_items.end(), before);
        m_sorted = true;
    }
    return m_items;
}

} // namespace quorvex
