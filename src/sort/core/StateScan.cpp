#include "StateScan.h"

#include <algorithm>
#include <utility>

namespace quorvex::sorting {

StateScan::StateScan(std::vector<char> beats, std::size_t states, const std::vector<State> &slots)
    : m_beats(std::move(beats)), m_states(states)
{
    while (m_size < slots.size())
        m_size <<= 1;
    m_leaf.assign(m_size, Dead);
    std::copy(slots.begin(), slots.end(), m_leaf.begin());
    m_live.assign(2 * m_size, 0);
    m_exits.reset(new Exit[2 * m_size * m_states]);
    for (std::size_t s = 0; s < m_size; ++s)
        makeLeaf(s);
    for (std::size_t node = m_size - 1; node >= 1; --node)
        combine(node);
}

std::size_t StateScan::bytesFor(std::size_t slots, std::size_t states)
{
    std::size_t size = 1;
    while (size < slots)
        size <<= 1;
    return 2 * size * (states * sizeof(Exit) + sizeof(std::uint32_t)) + size * sizeof(State);
}

void StateScan::makeLeaf(std::size_t slot)
{
    const std::size_t node = m_size + slot;
    const State y = m_leaf[slot];
    Exit *exits = m_exits.get() + node * m_states;
    m_live[node] = y != Dead;
    for (std::size_t x = 0; x < m_states; ++x) {
        if (y != Dead && m_beats[x * m_states + y])
            exits[x] = {y, static_cast<std::int32_t>(slot)};
        else
            exits[x] = {static_cast<State>(x), -1};
    }
}

void StateScan::combine(std::size_t node)
{
    const Exit *left = m_exits.get() + 2 * node * m_states;
    const Exit *right = m_exits.get() + (2 * node + 1) * m_states;
    Exit *exits = m_exits.get() + node * m_states;
    m_live[node] = m_live[2 * node] + m_live[2 * node + 1];
    for (std::size_t x = 0; x < m_states; ++x) {
        const Exit a = left[x];
        const Exit b = right[a.state];
        exits[x] = {b.state, b.slot >= 0 ? b.slot : a.slot};
    }
}

void StateScan::set(std::size_t slot, State state)
{
    m_leaf[slot] = state;
    makeLeaf(slot);
    for (std::size_t node = (m_size + slot) >> 1; node >= 1; node >>= 1)
        combine(node);
}

void StateScan::walk(std::size_t node, std::size_t lo, std::size_t span, std::size_t from, State &state,
                     std::int32_t &slot) const
{
    if (lo + span <= from || m_live[node] == 0)
        return;
    if (lo >= from) {
        const Exit &e = m_exits[node * m_states + state];
        if (e.slot >= 0)
            slot = e.slot;
        state = e.state;
        return;
    }
    span >>= 1;
    walk(2 * node, lo, span, from, state, slot);
    walk(2 * node + 1, lo + span, span, from, state, slot);
}

std::size_t StateScan::winner() const
{
    if (m_live[1] == 0)
        return npos;
    std::size_t node = 1;
    while (node < m_size)
        node = m_live[2 * node] ? 2 * node : 2 * node + 1;
    const std::size_t first = node - m_size;
    State state = m_leaf[first];
    std::int32_t slot = static_cast<std::int32_t>(first);
    walk(1, 0, m_size, first + 1, state, slot);
    return static_cast<std::size_t>(slot);
}

} // namespace quorvex::sorting
