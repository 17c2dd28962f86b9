#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace quorvex::sorting {

// Minimum over slots, answering which is the first slot from a place on below a value.
class MinTree {
public:
    static constexpr std::uint32_t Empty = std::numeric_limits<std::uint32_t>::max();

    explicit MinTree(const std::vector<std::uint32_t> &values)
    {
        m_size = 1;
        while (m_size < values.size())
            m_size <<= 1;
        m_tree.assign(2 * m_size, Empty);
        std::copy(values.begin(), values.end(), m_tree.begin() + static_cast<std::ptrdiff_t>(m_size));
        for (std::size_t i = m_size - 1; i >= 1; --i)
            m_tree[i] = std::min(m_tree[2 * i], m_tree[2 * i + 1]);
    }
    void set(std::size_t pos, std::uint32_t v)
    {
        std::size_t i = pos + m_size;
        m_tree[i] = v;
        for (i >>= 1; i >= 1; i >>= 1) {
            const std::uint32_t m = std::min(m_tree[2 * i], m_tree[2 * i + 1]);
            if (m_tree[i] == m)
                break;
            m_tree[i] = m;
        }
    }
    std::uint32_t at(std::size_t pos) const { return m_tree[pos + m_size]; }
    // The first position at or after `from` whose value is below `x`, or npos.
    std::size_t firstBelow(std::size_t from, std::uint32_t x) const
    {
        if (from >= m_size)
            return npos;
        std::size_t i = from + m_size;
        if (m_tree[i] < x)
            return from;
        // Climb until a right sibling holds a value below x, then descend.
        for (;;) {
            if (i == 1)
                return npos;
            if ((i & 1) == 0 && m_tree[i + 1] < x) {
                i = i + 1;
                break;
            }
            i >>= 1;
        }
        while (i < m_size)
            i = m_tree[2 * i] < x ? 2 * i : 2 * i + 1;
        return i - m_size;
    }
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

private:
    std::size_t m_size = 1;
    std::vector<std::uint32_t> m_tree;
};

} // namespace quorvex::sorting
