#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace quorvex::sorting {

// The selection sort's scan over fixed slots whose keys fall into a few
// states, for any rule of which state replaces which, transitive or not.
// Each node of a tree over the slots knows, for every state the best may
// have on entering its slots, the state and slot the scan leaves them with;
// so the scan's outcome over all slots is a walk down one path, and a slot
// that changes costs one path of such tables.
class StateScan {
public:
    using State = std::uint16_t;
    static constexpr State Dead = 0xFFFF;
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    // beats[x * states + y]: a later candidate in state y replaces a best in
    // state x. `slots` holds each slot's state, or Dead.
    StateScan(std::vector<char> beats, std::size_t states, const std::vector<State> &slots);

    void set(std::size_t slot, State state);
    bool alive(std::size_t slot) const { return m_leaf[slot] != Dead; }
    // The slot the scan ends on when it starts at the first live slot, or
    // npos when none is live.
    std::size_t winner() const;

    // The memory a scan over `slots` slots and `states` states takes.
    static std::size_t bytesFor(std::size_t slots, std::size_t states);

private:
    struct Exit {
        State state;
        std::int32_t slot; // -1: the best entering stays
    };
    void makeLeaf(std::size_t slot);
    void combine(std::size_t node);
    void walk(std::size_t node, std::size_t lo, std::size_t span, std::size_t from, State &state,
              std::int32_t &slot) const;

    std::vector<char> m_beats;
    std::size_t m_states;
    std::size_t m_size = 1;
    std::vector<State> m_leaf;
    std::vector<std::uint32_t> m_live; // by node
    std::unique_ptr<Exit[]> m_exits;   // by node and entering state; every entry is written before use
};

} // namespace quorvex::sorting
