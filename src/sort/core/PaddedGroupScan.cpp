#include "PaddedGroupScan.h"

#include "KeyStore.h"
#include "MinTree.h"
#include "RankedPlan.h"
#include "Ranking.h"
#include "SortEngine.h"
#include "SortKeyText.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace quorvex::sorting {


PaddedGroupScan::PaddedGroupScan(RankedPlan &plan, const std::uint32_t *members, std::size_t size)
    : m_plan(plan), m_backwards(plan.m_options.backwards)
{
    // A member is named by the slot it held when the group began.
    m_slotPos.reserve(size);
    for (std::size_t k = 0; k < size; ++k)
        m_slotPos.push_back(plan.m_where[members[k]]);
    std::sort(m_slotPos.begin(), m_slotPos.end());
    m_memberAt.resize(size);
    for (std::size_t s = 0; s < size; ++s)
        m_memberAt[s] = s;
    // Few distinct keys: the scan over their states, whatever their order.
    if (size > SmallGroup && buildStates())
        return;
    std::vector<std::string> raws(size);
    if (size <= SmallGroup) {
        // Few members: the plain scan costs less than ranking them.
        buildLiteral(std::move(raws));
        return;
    }
    std::vector<std::size_t> rawMarks(size);
    std::vector<Places> places(size);
    for (std::size_t s = 0; s < size; ++s) {
        const std::uint32_t c = static_cast<std::uint32_t>(plan.m_perm[m_slotPos[s]]);
        raws[s] = plan.rawKey(c, plan.m_pageKey ? std::string_view() : plan.m_fixedPage);
        places[s] = plan.pageCellPlaces(c);
        rawMarks[s] = places[s][0];
    }
    if (!buildOrders(raws, rawMarks, places))
        buildLiteral(std::move(raws));
}

bool PaddedGroupScan::buildStates()
{
    const std::size_t size = m_slotPos.size();
    std::vector<std::uint32_t> contents(size);
    for (std::size_t k = 0; k < size; ++k)
        contents[k] = static_cast<std::uint32_t>(m_plan.m_perm[m_slotPos[k]]);
    auto states = std::make_unique<GroupStates>();
    const GroupStates::Where where{m_plan.m_doc,     m_plan.m_options,       m_plan.m_first,    m_plan.m_pages,
                                   m_plan.m_pageKey, m_plan.m_pagesNumbered, m_plan.m_fixedPage, m_plan.m_idle};
    if (!states->build(where, contents, m_slotPos))
        return false;
    m_states = std::make_unique<StateScan>(std::move(states->beats), states->states, states->slotStates);
    m_groupStates = std::move(states);
    return true;
}

void PaddedGroupScan::buildLiteral(std::vector<std::string> raws)
{
    // Keys as they read where the members stand.
    for (std::size_t s = 0; s < m_slotPos.size(); ++s)
        if (raws[s].empty() || m_plan.m_pageKey)
            raws[s] = m_plan.rawKey(static_cast<std::uint32_t>(m_plan.m_perm[m_slotPos[s]]), m_slotPos[s]);
    m_literal = std::make_unique<LiteralScan>(std::move(raws), m_backwards, m_plan.m_options.encoding);
}

bool PaddedGroupScan::buildOrders(const std::vector<std::string> &raws, const std::vector<std::size_t> &rawMarks,
                                  const std::vector<Places> &places)
{
    RankedPlan &plan = m_plan;
    const std::size_t size = m_slotPos.size();
    const std::size_t depth =
        plan.m_ranking.groupDepth[static_cast<std::size_t>(plan.m_ranking.groupOfRank[plan.m_class])];
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
    // Without a meeting run at the group's depth the group was made by
    // keys equal up to their page cells: scan it plainly.
    if (!found)
        return false;
    std::vector<std::uint32_t> lengths;
    m_lengthIndex.resize(size);
    for (std::size_t s = 0; s < size; ++s) {
        const std::uint32_t l = runLengthAt(plan.m_keys, static_cast<std::uint32_t>(plan.m_perm[m_slotPos[s]]), tokenPos);
        const auto it = std::find(lengths.begin(), lengths.end(), l);
        m_lengthIndex[s] = static_cast<std::size_t>(it - lengths.begin());
        if (it == lengths.end())
            lengths.push_back(l);
    }
    m_lengths = lengths.size();
    if (m_lengths > GroupNests::MaxLengths)
        return false;
    // Slots whose page cell holds a number, counted in order.
    m_pageSlot.assign(size, 0);
    std::uint32_t pageSlots = 0;
    for (std::size_t s = 0; s < size && plan.m_pageKey; ++s)
        if (!plan.m_pages.at(m_slotPos[s]).empty())
            m_pageSlot[s] = ++pageSlots;
    // At the start member m stands in slot m.
    m_slotOf.resize(size);
    for (std::size_t s = 0; s < size; ++s)
        m_slotOf[s] = static_cast<std::uint32_t>(s);
    m_nests = std::make_unique<GroupNests>(GroupNests::Group{raws, places, m_slotOf, m_pageSlot, pageSlots,
                                                             plan.m_pagesNumbered, plan.m_pageKey, m_backwards,
                                                             unsignedOrder(plan.m_options)});
    m_rank.resize(size * m_lengths);
    m_tiedAt.resize(size * m_lengths);
    m_nestAt.resize(size * m_lengths);
    m_plainAt.resize(size * m_lengths);
    for (std::size_t li = 0; li < m_lengths; ++li) {
        plan.idleNow();
        const std::size_t from = rawPos + lengths[li];
        KeyStore suffixes(false, unsignedOrder(plan.m_options));
        for (std::size_t s = 0; s < size; ++s) {
            const std::string_view suffix =
                from < raws[s].size() ? std::string_view(raws[s]).substr(from) : std::string_view();
            // The page cells' part of a suffix is marked, as in the whole keys.
            suffixes.add(suffix, rawMarks[s] > from ? rawMarks[s] - from : 0);
        }
        const Ranking r = rankKeys(suffixes, plan.m_pageKey);
        // A class of suffixes equal but for the page cells orders by the
        // page cell where each member stands: it takes one value for an
        // empty page cell and one per numbered slot above it. A class whose
        // members meet padded runs again takes one value here, and its own
        // order below (a nest).
        const std::size_t classes = r.classStart.size() - 1;
        std::vector<std::uint64_t> base(classes);
        std::vector<int> nestOfClass(classes, -1);
        std::vector<int> plainOfClass(classes, -1);
        std::uint64_t next = 0;
        for (std::size_t k = 0; k < classes; ++k) {
            base[k] = next++;
            const int g = r.groupOfRank[k];
            if (g < 0)
                continue;
            if (r.groupMarked[static_cast<std::size_t>(g)] && plan.m_pagesNumbered &&
                GroupNests::tiedByPages(r, k, raws, places, from)) {
                next += pageSlots;
                continue;
            }
            // Padded runs meet again, before the page cells or among them.
            nestOfClass[k] = m_nests->build(r, k, suffixes, from);
            if (nestOfClass[k] >= 0)
                continue;
            // No order holds the class (its members' page cells begin at
            // different places): its members compare with one another as
            // written, and with the rest by the class's place.
            plainOfClass[k] = static_cast<int>(m_plainClasses.size());
            std::vector<std::uint32_t> classMembers;
            for (std::uint32_t t = r.classStart[k]; t < r.classStart[k + 1]; ++t)
                classMembers.push_back(r.order[t]);
            m_plainClasses.push_back(std::move(classMembers));
        }
        if (next >= MinTree::Empty)
            return false;
        m_top.push_back(static_cast<std::uint32_t>(next - 1));
        for (std::size_t s = 0; s < size; ++s) {
            const std::size_t k = r.rank[s];
            m_rank[s * m_lengths + li] = static_cast<std::uint32_t>(base[k]);
            m_tiedAt[s * m_lengths + li] = r.groupOfRank[k] >= 0 && nestOfClass[k] < 0 && plainOfClass[k] < 0;
            m_nestAt[s * m_lengths + li] = nestOfClass[k];
            m_plainAt[s * m_lengths + li] = plainOfClass[k];
        }
    }
    // Members of a plain class keep the key they have where they stand.
    if (!m_plainClasses.empty()) {
        m_plainKeys.resize(size);
        for (const auto &members : m_plainClasses)
            for (std::uint32_t m : members)
                if (m_plainKeys[m].empty())
                    m_plainKeys[m] = plan.rawKey(static_cast<std::uint32_t>(plan.m_perm[m_slotPos[m]]), m_slotPos[m]);
    }
    for (std::size_t li = 0; li < m_lengths; ++li) {
        std::vector<std::uint32_t> values(size);
        std::vector<char> marked(size);
        for (std::size_t s = 0; s < size; ++s) {
            values[s] = valueOf(s, li, s);
            marked[s] = changesOrder(s, li);
        }
        m_trees.emplace_back(values, marked);
    }
    return true;
}

std::size_t PaddedGroupScan::winner() const
{
    if (m_states)
        return m_slotPos[m_states->winner()];
    if (m_literal)
        return m_slotPos[m_literal->winner()];
    return m_slotPos[ordersWinner()];
}

std::size_t PaddedGroupScan::ordersWinner() const
{
    std::size_t best = m_trees[0].firstBelow(0, MinTree::Empty);
    for (;;) {
        const std::size_t member = m_memberAt[best];
        const std::size_t li = m_lengthIndex[member];
        const std::uint32_t value = valueOf(member, li, best);
        if (!changesOrder(member, li)) {
            // Replacements by members of the same order follow one another
            // down to the first one that changes the order, or else to the
            // least value that follows.
            const std::size_t next = m_trees[li].firstMarkedRecord(best + 1, value);
            if (next != MinTree::npos) {
                best = next;
                continue;
            }
            const std::size_t last = m_trees[li].leftmostMinimum(best + 1, value);
            if (last != MinTree::npos)
                best = last;
            return best;
        }
        // Members of the best's nests are ordered from the place after the
        // best's own run at each meeting.
        const std::size_t next = std::min({m_trees[li].firstBelow(best + 1, value),
                                           m_nests->firstReplacing(m_nestAt[member * m_lengths + li], member, best),
                                           plainReplacing(member, li, best)});
        if (next == MinTree::npos)
            return best;
        best = next;
    }
}

std::size_t PaddedGroupScan::plainReplacing(std::size_t member, std::size_t li, std::size_t slot) const
{
    const int k = m_plainAt[member * m_lengths + li];
    if (k < 0)
        return MinTree::npos;
    std::size_t found = MinTree::npos;
    std::vector<std::uint32_t> &members = m_plainClasses[static_cast<std::size_t>(k)];
    for (std::size_t a = 0; a < members.size();) {
        const std::uint32_t other = members[a];
        const std::uint32_t at = m_slotOf[other];
        if (at == GroupNests::Gone) {
            // Placed members leave the class for good.
            members[a] = members.back();
            members.pop_back();
            continue;
        }
        if (at > slot && at < found &&
            SortEngine::CompareSortKeys(m_plainKeys[member], m_plainKeys[other], m_backwards, m_plan.m_options.encoding))
            found = at;
        ++a;
    }
    return found;
}

void PaddedGroupScan::exchanged(std::size_t i, std::size_t winnerPos)
{
    const std::size_t winnerSlot = slotOf(winnerPos);
    const std::size_t si = slotOf(i);
    const bool atI = si < m_slotPos.size() && m_slotPos[si] == i;
    if (m_states) {
        if (atI && m_states->alive(si) && i != winnerPos) {
            // The member at i moves into the winner's slot, and takes the state it has there.
            m_states->set(winnerSlot, m_groupStates->stateOf(static_cast<std::uint32_t>(m_plan.m_perm[i]), winnerSlot));
            m_states->set(si, StateScan::Dead);
        } else {
            m_states->set(winnerSlot, StateScan::Dead);
        }
        return;
    }
    const bool memberAtI = atI && alive(si) && i != winnerPos;
    if (m_literal) {
        if (!memberAtI)
            m_literal->kill(winnerSlot);
        else if (m_plan.m_pageKey && m_plan.m_pages.at(i) != m_plan.m_pages.at(winnerPos))
            m_literal->move(si, winnerSlot, m_plan.rawKey(static_cast<std::uint32_t>(m_plan.m_perm[i]), winnerPos));
        else
            m_literal->move(si, winnerSlot);
        if (memberAtI)
            m_memberAt[winnerSlot] = m_memberAt[si];
        return;
    }
    ordersExchanged(si, memberAtI, winnerSlot);
}

void PaddedGroupScan::ordersExchanged(std::size_t si, bool memberAtI, std::size_t winnerSlot)
{
    const std::size_t winner = m_memberAt[winnerSlot];
    m_slotOf[winner] = GroupNests::Gone;
    for (std::size_t li = 0; li < m_lengths; ++li)
        m_nests->remove(m_nestAt[winner * m_lengths + li], winner, winnerSlot);
    if (!memberAtI) {
        for (auto &t : m_trees)
            t.set(winnerSlot, MinTree::Empty, false);
        return;
    }
    // The member at i moves into the winner's slot; i is placed.
    const std::size_t member = m_memberAt[si];
    m_memberAt[winnerSlot] = member;
    m_slotOf[member] = static_cast<std::uint32_t>(winnerSlot);
    if (!m_plainKeys.empty() && !m_plainKeys[member].empty() && m_plan.m_pageKey &&
        m_plan.m_pages.at(m_slotPos[si]) != m_plan.m_pages.at(m_slotPos[winnerSlot]))
        m_plainKeys[member] = m_plan.rawKey(static_cast<std::uint32_t>(m_plan.m_perm[m_slotPos[si]]), m_slotPos[winnerSlot]);
    for (std::size_t li = 0; li < m_lengths; ++li) {
        m_trees[li].set(winnerSlot, valueOf(member, li, winnerSlot), changesOrder(member, li));
        m_trees[li].set(si, MinTree::Empty, false);
        m_nests->move(m_nestAt[member * m_lengths + li], member, si, winnerSlot);
    }
}

std::size_t PaddedGroupScan::slotOf(std::size_t pos) const
{
    return static_cast<std::size_t>(std::lower_bound(m_slotPos.begin(), m_slotPos.end(), pos) - m_slotPos.begin());
}

bool PaddedGroupScan::alive(std::size_t slot) const
{
    if (m_literal)
        return m_literal->alive(slot);
    return m_trees[0].at(slot) != MinTree::Empty;
}

} // namespace quorvex::sorting
