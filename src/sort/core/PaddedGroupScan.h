#pragma once

#include "GroupNests.h"
#include "GroupStates.h"
#include "LiteralScan.h"
#include "RecordTree.h"
#include "StateScan.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quorvex::sorting {

class RankedPlan;
struct Ranking;

// The selection sort's scan over one group's members. During the group's
// steps the members only ever occupy the positions they held when its
// first step began, so those positions are fixed slots. Once the best
// member's run length l is known, comparing it with another member means
// comparing both keys from the place after the best's run on (raw
// position P + l); ranking the members' keys from there gives each length
// its own order, and the scan jumps from one replacement to the next.
//
// A group of few distinct keys scans their states instead (StateScan), and
// one whose order turns on what no ranking holds is scanned as written.
class PaddedGroupScan {
public:
    // Groups up to this size are scanned plainly.
    static constexpr std::size_t SmallGroup = 8;

    PaddedGroupScan(RankedPlan &plan, const std::uint32_t *members, std::size_t size);

    // The position of the member the selection sort's scan ends on.
    std::size_t winner() const;
    // Before the plan exchanges position i with the winner's position.
    void exchanged(std::size_t i, std::size_t winnerPos);

private:
    using Places = std::array<std::size_t, 8>;

    bool buildStates();
    bool buildOrders(const std::vector<std::string> &raws, const std::vector<std::size_t> &rawMarks,
                     const std::vector<Places> &places);
    void buildLiteral(std::vector<std::string> raws);

    // A member that, once it is the best, compares by another order than
    // that of length li: its own run has another length, or it meets padded
    // runs again (a nest).
    bool changesOrder(std::size_t member, std::size_t li) const
    {
        return m_lengthIndex[member] != li || m_nestAt[member * m_lengths + li] >= 0 ||
               m_plainAt[member * m_lengths + li] >= 0;
    }
    // The value member m has in the order of length li standing at slot.
    std::uint32_t valueOf(std::size_t member, std::size_t li, std::size_t slot) const
    {
        std::uint32_t v = m_rank[member * m_lengths + li];
        if (m_tiedAt[member * m_lengths + li])
            v += m_pageSlot[slot];
        return m_backwards ? m_top[li] - v : v;
    }
    std::size_t slotOf(std::size_t pos) const;
    bool alive(std::size_t slot) const;
    std::size_t ordersWinner() const;
    std::size_t plainReplacing(std::size_t member, std::size_t li, std::size_t slot) const;
    void ordersExchanged(std::size_t si, bool memberAtI, std::size_t winnerSlot);

    RankedPlan &m_plan;
    bool m_backwards;
    std::vector<std::size_t> m_slotPos;     // the group's positions, ascending
    std::vector<std::size_t> m_memberAt;    // by slot: the member there now
    std::vector<std::size_t> m_lengthIndex; // by member: its run length's index at the meeting place
    std::size_t m_lengths = 0;
    std::vector<std::uint32_t> m_rank;      // by member and length index
    std::vector<char> m_tiedAt;             // by member and length index: ordered by page cell
    std::vector<std::uint32_t> m_top;       // by length index: the greatest value
    std::vector<std::uint32_t> m_pageSlot;  // by slot: 0, or the count of numbered slots up to it
    std::vector<int> m_nestAt;              // by member and length index: its nest, or -1
    std::vector<int> m_plainAt;             // by member and length index: its plain class, or -1
    mutable std::vector<std::vector<std::uint32_t>> m_plainClasses; // members compared as written, placed ones dropped
    std::vector<std::string> m_plainKeys;   // by member of a plain class: its key where it stands
    std::vector<std::uint32_t> m_slotOf;    // by member: its slot now, or Gone
    std::unique_ptr<GroupNests> m_nests;
    std::vector<RecordTree> m_trees;        // by length index: the value of the member at each slot
    std::unique_ptr<GroupStates> m_groupStates; // with m_states: the members' states
    std::unique_ptr<StateScan> m_states;
    std::unique_ptr<LiteralScan> m_literal;
};

} // namespace quorvex::sorting
