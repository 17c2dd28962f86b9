#pragma once

#include "MinTree.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quorvex::sorting {

// Values over slots, some of them marked. Scanning from a place on with a
// running minimum, a slot whose value is below everything before it (and
// below the starting bound) is a record; the scan's records up to the first
// marked one are skipped in one search, and without a marked record the scan
// ends on the leftmost minimum. So a run of replacements that all follow the
// same order costs one search, however long it is.
class RecordTree {
public:
    static constexpr std::uint32_t Empty = MinTree::Empty;
    static constexpr std::size_t npos = MinTree::npos;

    // `marked[s]` tells whether slot s is marked.
    RecordTree(const std::vector<std::uint32_t> &values, const std::vector<char> &marked);

    void set(std::size_t pos, std::uint32_t value, bool marked);
    std::uint32_t at(std::size_t pos) const { return m_all[pos + m_size]; }
    // The first slot at or after `from` whose value is below x, or npos.
    std::size_t firstBelow(std::size_t from, std::uint32_t x) const;
    // The first marked record at or after `from` below `bound`, or npos.
    std::size_t firstMarkedRecord(std::size_t from, std::uint32_t bound) const;
    // The leftmost slot at or after `from` holding the least value below
    // `bound`, or npos.
    std::size_t leftmostMinimum(std::size_t from, std::uint32_t bound) const;

private:
    std::size_t markedRecord(std::size_t node, std::size_t lo, std::size_t span, std::size_t from,
                             std::uint32_t &running) const;
    std::uint32_t minimumFrom(std::size_t from) const;

    std::size_t m_size = 1;
    std::vector<std::uint32_t> m_all;    // by node: least value
    std::vector<std::uint32_t> m_marked; // by node: least value of a marked slot
};

} // namespace quorvex::sorting
