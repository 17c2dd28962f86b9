#include "RecordTree.h"

#include <algorithm>

namespace quorvex::sorting {

RecordTree::RecordTree(const std::vector<std::uint32_t> &values, const std::vector<char> &marked)
{
    while (m_size < values.size())
        m_size <<= 1;
    m_all.assign(2 * m_size, Empty);
    m_marked.assign(2 * m_size, Empty);
    for (std::size_t s = 0; s < values.size(); ++s) {
        m_all[m_size + s] = values[s];
        if (marked[s])
            m_marked[m_size + s] = values[s];
    }
    for (std::size_t i = m_size - 1; i >= 1; --i) {
        m_all[i] = std::min(m_all[2 * i], m_all[2 * i + 1]);
        m_marked[i] = std::min(m_marked[2 * i], m_marked[2 * i + 1]);
    }
}

void RecordTree::set(std::size_t pos, std::uint32_t value, bool marked)
{
    std::size_t i = pos + m_size;
    m_all[i] = value;
    m_marked[i] = marked ? value : Empty;
    for (i >>= 1; i >= 1; i >>= 1) {
        const std::uint32_t a = std::min(m_all[2 * i], m_all[2 * i + 1]);
        const std::uint32_t m = std::min(m_marked[2 * i], m_marked[2 * i + 1]);
        if (m_all[i] == a && m_marked[i] == m)
            break;
        m_all[i] = a;
        m_marked[i] = m;
    }
}

std::size_t RecordTree::firstBelow(std::size_t from, std::uint32_t x) const
{
    if (from >= m_size)
        return npos;
    std::size_t i = from + m_size;
    if (m_all[i] < x)
        return from;
    for (;;) {
        if (i == 1)
            return npos;
        if ((i & 1) == 0 && m_all[i + 1] < x) {
            i = i + 1;
            break;
        }
        i >>= 1;
    }
    while (i < m_size)
        i = m_all[2 * i] < x ? 2 * i : 2 * i + 1;
    return i - m_size;
}

std::size_t RecordTree::markedRecord(std::size_t node, std::size_t lo, std::size_t span, std::size_t from,
                                     std::uint32_t &running) const
{
    if (lo + span <= from)
        return npos;
    if (lo >= from) {
        // No marked slot below the running minimum: none of its records is
        // marked, and its values only lower the minimum.
        if (m_marked[node] >= running) {
            running = std::min(running, m_all[node]);
            return npos;
        }
        if (span == 1)
            return lo;
    }
    span >>= 1;
    const std::size_t left = markedRecord(2 * node, lo, span, from, running);
    if (left != npos)
        return left;
    return markedRecord(2 * node + 1, lo + span, span, from, running);
}

std::size_t RecordTree::firstMarkedRecord(std::size_t from, std::uint32_t bound) const
{
    if (from >= m_size)
        return npos;
    std::uint32_t running = bound;
    return markedRecord(1, 0, m_size, from, running);
}

std::uint32_t RecordTree::minimumFrom(std::size_t from) const
{
    std::uint32_t m = Empty;
    std::size_t lo = from + m_size, hi = 2 * m_size; // [lo, hi)
    while (lo < hi) {
        if (lo & 1)
            m = std::min(m, m_all[lo++]);
        if (hi & 1)
            m = std::min(m, m_all[--hi]);
        lo >>= 1;
        hi >>= 1;
    }
    return m;
}

std::size_t RecordTree::leftmostMinimum(std::size_t from, std::uint32_t bound) const
{
    if (from >= m_size)
        return npos;
    const std::uint32_t m = minimumFrom(from);
    if (m >= bound)
        return npos;
    return firstBelow(from, m + 1);
}

} // namespace quorvex::sorting
