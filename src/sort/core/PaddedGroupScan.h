#pragma once

#include "GroupStates.h"
#include "KeyStore.h"
#include "MinTree.h"
#include "Ranking.h"
#include "RankedPlan.h"
#include "SortEngine.h"
#include "SortKeyText.h"
#include "SparseMinTree.h"
#include "StateScan.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex::sorting {

// The selection sort's scan over one group's members. During the group's
// steps the members only ever occupy the positions they held when its
// first step began, so those positions are fixed slots. Once the best
// member's run length l is known, comparing it with another member means
// comparing both keys from the place after the best's run on (raw
// position P + l); ranking the members' keys from there gives each length
// its own order, and the scan jumps from one replacement to the next.
class PaddedGroupScan {
public:
    // Groups up to this size are scanned plainly.
    static constexpr std::size_t SmallGroup = 8;
    // More lengths at one meeting place than this are scanned plainly.
    static constexpr std::size_t MaxLengths = 24;

    PaddedGroupScan(RankedPlan &plan, const std::uint32_t *members, std::size_t size) : m_plan(plan)
    {
        // A member is named by the slot it held when the group began.
        m_slotPos.reserve(size);
        for (std::size_t k = 0; k < size; ++k)
            m_slotPos.push_back(plan.m_where[members[k]]);
        std::sort(m_slotPos.begin(), m_slotPos.end());
        m_memberAt.resize(size);
        if (size > SmallGroup) {
            // Few distinct keys: the scan over their states, whatever their order.
            std::vector<std::uint32_t> contents(size);
            for (std::size_t k = 0; k < size; ++k)
                contents[k] = static_cast<std::uint32_t>(plan.m_perm[m_slotPos[k]]);
            auto states = std::make_unique<GroupStates>();
            const GroupStates::Where where{plan.m_doc,     plan.m_options,       plan.m_first,    plan.m_pages,
                                           plan.m_pageKey, plan.m_pagesNumbered, plan.m_fixedPage,
                                           plan.m_idle};
            if (states->build(where, contents, m_slotPos)) {
                m_states = std::make_unique<StateScan>(std::move(states->beats), states->states, states->slotStates);
                m_groupStates = std::move(states);
                for (std::size_t k = 0; k < size; ++k)
                    m_memberAt[k] = k;
                return;
            }
        }
        if (size <= SmallGroup) {
            // Few members: the plain scan costs less than ranking them.
            m_literal = true;
            m_raw.reserve(size);
            m_alive.reserve(size);
            for (std::size_t s = 0; s < size; ++s) {
                m_memberAt[s] = s;
                m_raw.push_back(plan.rawKey(static_cast<std::uint32_t>(plan.m_perm[m_slotPos[s]]), m_slotPos[s]));
                m_alive.push_back(s);
            }
            return;
        }
        const std::size_t depth = plan.m_ranking.groupDepth[static_cast<std::size_t>(
            plan.m_ranking.groupOfRank[plan.m_class])];
        m_length.resize(size);
        std::vector<std::string> raws(size);
        // The meeting runs start at the same places in every member: find
        // them from a member that kept its run there.
        std::size_t rawPos = 0, tokenPos = 0;
        bool found = false;
        for (std::size_t s = 0; s < size && !found; ++s) {
            const std::uint32_t c = static_cast<std::uint32_t>(plan.m_perm[m_slotPos[s]]);
            const std::string_view key = plan.m_keys.key(c);
            for (const KeyStore::Run *r = plan.m_keys.runsBegin(c); r != plan.m_keys.runsEnd(c); ++r) {
                if (r->offset + numberTokenSize(static_cast<unsigned char>(key[r->offset])) == depth) {
                    rawPos = r->rawOffset;
                    tokenPos = r->offset;
                    found = true;
                    break;
                }
            }
        }
        std::vector<std::size_t> rawMarks(size);
        std::vector<std::array<std::size_t, KeyColumnCount>> places(size);
        for (std::size_t s = 0; s < size; ++s) {
            m_memberAt[s] = s;
            const std::uint32_t c = static_cast<std::uint32_t>(plan.m_perm[m_slotPos[s]]);
            raws[s] = plan.rawKey(c, plan.m_pageKey ? std::string_view() : plan.m_fixedPage);
            places[s] = plan.pageCellPlaces(c);
            rawMarks[s] = places[s][0];
            m_length[s] = runLengthAt(plan.m_keys, c, tokenPos);
        }
        std::vector<std::uint32_t> lengths;
        for (std::uint32_t l : m_length)
            if (std::find(lengths.begin(), lengths.end(), l) == lengths.end())
                lengths.push_back(l);
        m_lengthIndex.resize(size);
        for (std::size_t s = 0; s < size; ++s)
            m_lengthIndex[s] = static_cast<std::size_t>(std::find(lengths.begin(), lengths.end(), m_length[s]) -
                                                        lengths.begin());
        m_lengths = lengths.size();

        // Without a meeting run at the group's depth the group was made
        // by keys equal up to their page cells: scan it plainly.
        m_literal = !found || lengths.size() > MaxLengths;
        // Slots whose page cell holds a number, counted in order.
        m_pageSlot.assign(size, 0);
        std::uint32_t pageSlots = 0;
        for (std::size_t s = 0; s < size && plan.m_pageKey; ++s)
            if (!plan.m_pages.at(m_slotPos[s]).empty())
                m_pageSlot[s] = ++pageSlots;
        std::vector<std::vector<std::uint32_t>> ranks;
        for (std::size_t li = 0; li < lengths.size() && !m_literal; ++li) {
            plan.idleNow();
            const std::size_t from = rawPos + lengths[li];
            KeyStore suffixes;
            for (std::size_t s = 0; s < size; ++s) {
                const std::string_view suffix =
                    from < raws[s].size() ? std::string_view(raws[s]).substr(from) : std::string_view();
                // The page cells' part of a suffix is marked, as in the whole keys.
                suffixes.add(suffix, rawMarks[s] > from ? rawMarks[s] - from : 0);
            }
            const Ranking r = rankKeys(suffixes, plan.m_pageKey);
            // A class of suffixes equal but for the page cells orders by
            // the page cell where each member stands: it takes one value
            // for an empty page cell and one per numbered slot above it.
            // A class whose members meet padded runs again takes one
            // value here, and its own order below (a nest).
            const std::size_t classes = r.classStart.size() - 1;
            std::vector<std::uint64_t> base(classes);
            std::vector<int> nestOfClass(classes, -1);
            std::uint64_t next = 0;
            for (std::size_t k = 0; k < classes && !m_literal; ++k) {
                base[k] = next++;
                const int g = r.groupOfRank[k];
                if (g < 0)
                    continue;
                if (!r.groupMarked[static_cast<std::size_t>(g)]) {
                    nestOfClass[k] = buildNest(r, k, suffixes, from, raws, rawMarks, 1);
                    if (nestOfClass[k] < 0)
                        m_literal = true;
                    continue;
                }
                if (!plan.m_pagesNumbered || !sameSuffixes(r, k, raws, from, places)) {
                    m_literal = true;
                    break;
                }
                next += pageSlots;
            }
            if (m_literal || next >= MinTree::Empty)
                break;
            std::vector<std::uint32_t> values(size);
            for (std::size_t s = 0; s < size; ++s) {
                m_tied.push_back(r.groupOfRank[r.rank[s]] >= 0 && nestOfClass[r.rank[s]] < 0);
                m_nestOf.push_back(nestOfClass[r.rank[s]]);
                values[s] = static_cast<std::uint32_t>(base[r.rank[s]]);
            }
            m_top.push_back(static_cast<std::uint32_t>(next - 1));
            ranks.push_back(std::move(values));
        }
        m_literal = m_literal || ranks.size() < lengths.size();
        if (m_literal) {
            // Keys as they read where the members stand.
            if (plan.m_pageKey)
                for (std::size_t s = 0; s < size; ++s)
                    raws[s] = plan.rawKey(static_cast<std::uint32_t>(plan.m_perm[m_slotPos[s]]), m_slotPos[s]);
            m_raw = std::move(raws);
            for (std::size_t s = 0; s < size; ++s)
                m_alive.push_back(s);
            return;
        }
        m_rank.resize(size * m_lengths);
        m_tiedAt.resize(size * m_lengths);
        m_nestAt.resize(size * m_lengths);
        m_slotOf.resize(size);
        for (std::size_t s = 0; s < size; ++s)
            m_slotOf[s] = static_cast<std::uint32_t>(s);
        for (std::size_t li = 0; li < m_lengths; ++li) {
            for (std::size_t s = 0; s < size; ++s) {
                m_rank[s * m_lengths + li] = ranks[li][s];
                m_tiedAt[s * m_lengths + li] = m_tied[li * size + s];
                m_nestAt[s * m_lengths + li] = m_nestOf[li * size + s];
            }
            std::vector<std::uint32_t> values(size);
            for (std::size_t s = 0; s < size; ++s)
                values[s] = valueOf(s, li, s);
            m_trees.emplace_back(values);
        }
    }

    // The value member m has in the order of length li standing at slot.
    std::uint32_t valueOf(std::size_t member, std::size_t li, std::size_t slot) const
    {
        std::uint32_t v = m_rank[member * m_lengths + li];
        if (m_tiedAt[member * m_lengths + li])
            v += m_pageSlot[slot];
        return m_plan.m_options.backwards ? m_top[li] - v : v;
    }

    // The position of the member the selection sort's scan ends on.
    std::size_t winner() const
    {
        if (m_states)
            return m_slotPos[m_states->winner()];
        if (m_literal) {
            std::size_t best = m_alive.front();
            for (std::size_t k = 1; k < m_alive.size(); ++k)
                if (SortEngine::CompareSortKeys(m_raw[best], m_raw[m_alive[k]], m_plan.m_options.backwards))
                    best = m_alive[k];
            return m_slotPos[best];
        }
        std::size_t best = m_trees[0].firstBelow(0, MinTree::Empty);
        for (;;) {
            const std::size_t member = m_memberAt[best];
            const std::size_t li = m_lengthIndex[member];
            std::size_t next = m_trees[li].firstBelow(best + 1, valueOf(member, li, best));
            // Members of the best's nests are ordered from the place after
            // the best's own run at each meeting.
            for (int n = m_nestAt[member * m_lengths + li]; n >= 0;) {
                const Nest &nest = m_nests[static_cast<std::size_t>(n)];
                const std::size_t at = nest.indexOf(member);
                const NestLevel &level = nest.levels[nest.lengthIndex[at]];
                next = std::min(next, firstBelow(nest, level, best + 1, level.valueOf(at, m_plan.m_options.backwards)));
                n = level.child[at];
            }
            if (next == MinTree::npos)
                break;
            best = next;
        }
        return m_slotPos[best];
    }

    // Before the plan exchanges position i with the winner's position.
    void exchanged(std::size_t i, std::size_t winnerPos)
    {
        const std::size_t winnerSlot = slotOf(winnerPos);
        const std::size_t si = slotOf(i);
        if (m_states) {
            if (si < m_slotPos.size() && m_slotPos[si] == i && m_states->alive(si) && i != winnerPos) {
                // The member at i moves into the winner's slot, and takes the state it has there.
                m_states->set(winnerSlot, m_groupStates->stateOf(static_cast<std::uint32_t>(m_plan.m_perm[i]), winnerSlot));
                m_states->set(si, StateScan::Dead);
            } else {
                m_states->set(winnerSlot, StateScan::Dead);
            }
            return;
        }
        const bool memberAtI = si < m_slotPos.size() && m_slotPos[si] == i && alive(si);
        const std::size_t winner = m_memberAt[winnerSlot];
        if (memberAtI && i != winnerPos) {
            // The member at i moves into the winner's slot; i is placed.
            const std::size_t member = m_memberAt[si];
            m_memberAt[winnerSlot] = member;
            if (!m_literal) {
                m_slotOf[winner] = Gone;
                m_slotOf[member] = static_cast<std::uint32_t>(winnerSlot);
            }
            if (m_literal) {
                if (m_plan.m_pageKey && m_plan.m_pages.at(i) != m_plan.m_pages.at(winnerPos))
                    m_raw[winnerSlot] = m_plan.rawKey(static_cast<std::uint32_t>(m_plan.m_perm[i]), winnerPos);
                else
                    m_raw[winnerSlot] = std::move(m_raw[si]);
                kill(si);
            } else {
                for (std::size_t li = 0; li < m_lengths; ++li) {
                    m_trees[li].set(winnerSlot, valueOf(member, li, winnerSlot));
                    m_trees[li].set(si, MinTree::Empty);
                }
                forEachNestTree(winner, [&](SparseMinTree &t, std::uint32_t) { t.set(winnerSlot, MinTree::Empty); });
                forEachNestTree(member, [&](SparseMinTree &t, std::uint32_t v) {
                    t.set(si, MinTree::Empty);
                    t.set(winnerSlot, v);
                });
            }
        } else if (m_literal) {
            kill(winnerSlot);
        } else {
            m_slotOf[winner] = Gone;
            for (auto &t : m_trees)
                t.set(winnerSlot, MinTree::Empty);
            forEachNestTree(winner, [&](SparseMinTree &t, std::uint32_t) { t.set(winnerSlot, MinTree::Empty); });
        }
    }

private:
    // Members that meet padded runs again past the group's meeting place
    // (one class of one length's order): from the place after the best's
    // run at that second meeting, each length orders them anew.
    struct NestLevel {
        std::vector<std::uint32_t> value; // by index in the nest
        std::vector<int> child;           // by index in the nest: the nest one level down, or -1
        std::uint32_t top = 0;
        std::unique_ptr<SparseMinTree> tree; // by slot; none for a few members
        std::uint32_t valueOf(std::size_t at, bool backwards) const
        {
            return backwards ? top - value[at] : value[at];
        }
    };
    struct Nest {
        std::vector<std::uint32_t> members; // ascending
        std::vector<std::size_t> lengthIndex;
        std::vector<NestLevel> levels;      // by length index
        std::size_t indexOf(std::size_t member) const
        {
            return static_cast<std::size_t>(
                std::lower_bound(members.begin(), members.end(), static_cast<std::uint32_t>(member)) -
                members.begin());
        }
    };

    // The first slot at or after `from` holding a member of the nest
    // whose value in `level` is below x.
    std::size_t firstBelow(const Nest &nest, const NestLevel &level, std::size_t from, std::uint32_t x) const
    {
        if (level.tree)
            return level.tree->firstBelow(from, x);
        std::size_t found = MinTree::npos;
        for (std::size_t a = 0; a < nest.members.size(); ++a) {
            const std::uint32_t slot = m_slotOf[nest.members[a]];
            if (slot != Gone && slot >= from && slot < found && level.valueOf(a, m_plan.m_options.backwards) < x)
                found = slot;
        }
        return found;
    }

    // Nests of up to this many members are searched member by member.
    static constexpr std::size_t SmallNest = 32;
    static constexpr std::uint32_t Gone = std::numeric_limits<std::uint32_t>::max();
    // Deeper nests, or nests needing more tree nodes than this (200 MB),
    // are scanned plainly.
    static constexpr int MaxNestDepth = 16;
    static constexpr std::size_t MaxNestNodes = std::size_t(1) << 24;

    // Builds the nest of class k of `r` (the order of the suffixes from
    // raw place `from`, whose key ids index `ids`, or are the members
    // themselves); returns its index, or -1 for the plain scan.
    int buildNest(const Ranking &r, std::size_t k, const KeyStore &suffixes, std::size_t from,
                  const std::vector<std::string> &raws, const std::vector<std::size_t> &rawMarks, int depth,
                  const std::vector<std::uint32_t> *ids = nullptr)
    {
        if (depth > MaxNestDepth)
            return -1;
        // The second meeting's runs start at one place in every member;
        // a member that kept its run there tells where.
        const std::size_t tokenEnd = r.groupDepth[static_cast<std::size_t>(r.groupOfRank[k])];
        std::size_t meet = std::string_view::npos;
        std::vector<std::uint32_t> members;
        for (std::uint32_t t = r.classStart[k]; t < r.classStart[k + 1]; ++t) {
            const std::uint32_t id = r.order[t];
            members.push_back(ids ? (*ids)[id] : id);
            const std::string_view key = suffixes.key(id);
            for (const KeyStore::Run *run = suffixes.runsBegin(id);
                 run != suffixes.runsEnd(id) && meet == std::string_view::npos; ++run)
                if (run->offset + numberTokenSize(static_cast<unsigned char>(key[run->offset])) == tokenEnd)
                    meet = from + run->rawOffset;
        }
        if (meet == std::string_view::npos)
            return -1;
        return buildNestAt(std::move(members), meet, raws, rawMarks, depth);
    }

    // `members` (ids of the group's members, as in `raws`) meet runs of
    // equal value at raw place `meet`.
    int buildNestAt(std::vector<std::uint32_t> members, std::size_t meet, const std::vector<std::string> &raws,
                    const std::vector<std::size_t> &rawMarks, int depth)
    {
        std::sort(members.begin(), members.end());
        const std::size_t n = members.size();
        std::vector<std::uint32_t> lengths;
        std::vector<std::size_t> lengthIndex(n);
        for (std::size_t a = 0; a < n; ++a) {
            const std::string &raw = raws[members[a]];
            std::uint32_t l = 0;
            while (meet + l < raw.size() && isDigit(static_cast<unsigned char>(raw[meet + l])))
                ++l;
            if (l == 0)
                return -1;
            const auto it = std::find(lengths.begin(), lengths.end(), l);
            lengthIndex[a] = static_cast<std::size_t>(it - lengths.begin());
            if (it == lengths.end())
                lengths.push_back(l);
        }
        if (lengths.size() > MaxLengths)
            return -1;
        std::size_t span = 1;
        while (span < m_slotPos.size())
            span <<= 1;
        // A tree holds a node per member and level; a few members, a value.
        std::size_t levelsDepth = 1;
        for (std::size_t t = span; t > 1 && n > SmallNest; t >>= 1)
            ++levelsDepth;
        m_nestNodes += lengths.size() * n * levelsDepth;
        if (m_nestNodes > MaxNestNodes)
            return -1;
        Nest nest;
        nest.members = members;
        nest.lengthIndex = std::move(lengthIndex);
        for (std::uint32_t l : lengths) {
            const std::size_t from = meet + l;
            KeyStore suffixes;
            for (std::uint32_t m : members) {
                const std::string_view suffix =
                    from < raws[m].size() ? std::string_view(raws[m]).substr(from) : std::string_view();
                suffixes.add(suffix, rawMarks[m] > from ? rawMarks[m] - from : 0);
            }
            const Ranking r = rankKeys(suffixes, m_plan.m_pageKey);
            const std::size_t classes = r.classStart.size() - 1;
            std::vector<int> childOfClass(classes, -1);
            for (std::size_t k = 0; k < classes; ++k) {
                const int g = r.groupOfRank[k];
                if (g < 0)
                    continue;
                // Equal up to the page cells: scan plainly.
                if (r.groupMarked[static_cast<std::size_t>(g)])
                    return -1;
                const int child = buildNest(r, k, suffixes, from, raws, rawMarks, depth + 1, &members);
                if (child < 0)
                    return -1;
                childOfClass[k] = child;
            }
            NestLevel level;
            if (n > SmallNest)
                level.tree = std::make_unique<SparseMinTree>(span);
            level.top = static_cast<std::uint32_t>(classes - 1);
            level.value.resize(n);
            level.child.resize(n);
            for (std::size_t a = 0; a < n; ++a) {
                level.value[a] = r.rank[a];
                level.child[a] = childOfClass[r.rank[a]];
            }
            // At the start member m stands in slot m.
            for (std::size_t a = 0; a < n && level.tree; ++a)
                level.tree->set(members[a], level.valueOf(a, m_plan.m_options.backwards));
            nest.levels.push_back(std::move(level));
        }
        m_nests.push_back(std::move(nest));
        return static_cast<int>(m_nests.size() - 1);
    }

    // Calls fn(tree, value) for every nest tree that holds `member`.
    template <typename Fn>
    void forEachNestTree(std::size_t member, Fn fn)
    {
        if (m_nests.empty())
            return;
        for (std::size_t li = 0; li < m_lengths; ++li)
            forEachInNest(m_nestAt[member * m_lengths + li], member, fn);
    }
    template <typename Fn>
    void forEachInNest(int n, std::size_t member, Fn &fn)
    {
        if (n < 0)
            return;
        Nest &nest = m_nests[static_cast<std::size_t>(n)];
        const std::size_t at = nest.indexOf(member);
        for (NestLevel &level : nest.levels) {
            if (level.tree)
                fn(*level.tree, level.valueOf(at, m_plan.m_options.backwards));
            forEachInNest(level.child[at], member, fn);
        }
    }

    // True when the suffixes (from `from`) of class k's members are equal.
    // ... and their page cells begin at the same places.
    static bool sameSuffixes(const Ranking &r, std::size_t k, const std::vector<std::string> &raws,
                             std::size_t from, const std::vector<std::array<std::size_t, KeyColumnCount>> &places)
    {
        const auto suffix = [&](std::uint32_t s) {
            return from < raws[s].size() ? std::string_view(raws[s]).substr(from) : std::string_view();
        };
        const std::uint32_t head = r.order[r.classStart[k]];
        if (places[head][0] == std::string_view::npos || places[head][0] < from)
            return false;
        for (std::uint32_t t = r.classStart[k] + 1; t < r.classStart[k + 1]; ++t)
            if (suffix(r.order[t]) != suffix(head) || places[r.order[t]] != places[head])
                return false;
        return true;
    }

    std::size_t slotOf(std::size_t pos) const
    {
        return static_cast<std::size_t>(std::lower_bound(m_slotPos.begin(), m_slotPos.end(), pos) -
                                        m_slotPos.begin());
    }
    bool alive(std::size_t slot) const
    {
        if (m_literal)
            return std::binary_search(m_alive.begin(), m_alive.end(), slot);
        return m_trees[0].at(slot) != MinTree::Empty;
    }
    void kill(std::size_t slot)
    {
        const auto it = std::lower_bound(m_alive.begin(), m_alive.end(), slot);
        if (it != m_alive.end() && *it == slot)
            m_alive.erase(it);
    }

    RankedPlan &m_plan;
    std::vector<std::size_t> m_slotPos;       // the group's positions, ascending
    std::vector<std::size_t> m_memberAt;      // by slot: the member there now
    std::vector<std::uint32_t> m_length;      // by member: its run length at the meeting place
    std::vector<std::size_t> m_lengthIndex;   // by member
    std::size_t m_lengths = 0;
    std::vector<std::uint32_t> m_rank;        // by member and length index
    std::vector<char> m_tiedAt;               // by member and length index: ordered by page cell
    std::vector<char> m_tied;                 // by length index and member, while building
    std::vector<std::uint32_t> m_top;         // by length index: the greatest value
    std::vector<std::uint32_t> m_pageSlot;    // by slot: 0, or the count of numbered slots up to it
    std::vector<int> m_nestAt;                // by member and length index: its nest, or -1
    std::vector<int> m_nestOf;                // by length index and member, while building
    std::vector<Nest> m_nests;
    std::size_t m_nestNodes = 0;
    std::vector<std::uint32_t> m_slotOf;      // by member: its slot now, or Gone
    std::vector<MinTree> m_trees;             // by length index: the rank of the member at each slot
    std::unique_ptr<GroupStates> m_groupStates; // with m_states: the members' states
    std::unique_ptr<StateScan> m_states;
    bool m_literal = false;
    std::vector<std::string> m_raw;           // plain scan: raw keys by slot
    std::vector<std::size_t> m_alive;         // plain scan: live slots, ascending
};

} // namespace quorvex::sorting
