#pragma once

#include "MinTree.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quorvex::sorting {

// MinTree's questions over slots of which only a few ever hold a value:
// nodes are made for the slots set, so a tree costs its values, not its span.
class SparseMinTree {
public:
    explicit SparseMinTree(std::size_t span)
    {
        while (m_span < span)
            m_span <<= 1;
        m_nodes.push_back(Node{});
    }
    void set(std::size_t pos, std::uint32_t v)
    {
        std::uint32_t path[64];
        int depth = 0;
        std::uint32_t node = 0;
        std::size_t lo = 0, span = m_span;
        while (span > 1) {
            path[depth++] = node;
            span >>= 1;
            const int side = pos >= lo + span ? 1 : 0;
            lo += side ? span : 0;
            if (m_nodes[node].child[side] == 0) {
                if (v == MinTree::Empty)
                    return; // nothing there to clear
                m_nodes[node].child[side] = static_cast<std::uint32_t>(m_nodes.size());
                m_nodes.push_back(Node{});
            }
            node = m_nodes[node].child[side];
        }
        m_nodes[node].min = v;
        while (depth > 0) {
            Node &up = m_nodes[path[--depth]];
            const std::uint32_t a = up.child[0] ? m_nodes[up.child[0]].min : MinTree::Empty;
            const std::uint32_t b = up.child[1] ? m_nodes[up.child[1]].min : MinTree::Empty;
            up.min = std::min(a, b);
        }
    }
    // The first position at or after `from` whose value is below `x`, or npos.
    std::size_t firstBelow(std::size_t from, std::uint32_t x) const { return find(0, 0, m_span, from, x); }

private:
    struct Node {
        std::uint32_t min = MinTree::Empty;
        std::uint32_t child[2] = {0, 0}; // 0: none (node 0 is the root)
    };
    std::size_t find(std::uint32_t node, std::size_t lo, std::size_t span, std::size_t from, std::uint32_t x) const
    {
        if (m_nodes[node].min >= x || lo + span <= from)
            return MinTree::npos;
        if (span == 1)
            return lo;
        span >>= 1;
        for (int side = 0; side < 2; ++side) {
            const std::uint32_t c = m_nodes[node].child[side];
            if (c) {
                const std::size_t found = find(c, lo + (side ? span : 0), span, from, x);
                if (found != MinTree::npos)
                    return found;
            }
        }
        return MinTree::npos;
    }

    std::size_t m_span = 1;
    std::vector<Node> m_nodes;
};

} // namespace quorvex::sorting
