#include "GroupNests.h"

#include "KeyStore.h"
#include "Ranking.h"
#include "SortKeyText.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace quorvex::sorting {

std::size_t GroupNests::Nest::indexOf(std::size_t member) const
{
    return static_cast<std::size_t>(
        std::lower_bound(members.begin(), members.end(), static_cast<std::uint32_t>(member)) - members.begin());
}

bool GroupNests::tiedByPages(const Ranking &r, std::size_t k, const std::vector<std::string> &raws,
                             const std::vector<Places> &places, std::size_t from,
                             const std::vector<std::uint32_t> *ids)
{
    const auto member = [&](std::uint32_t t) { return ids ? (*ids)[r.order[t]] : r.order[t]; };
    const auto suffix = [&](std::uint32_t m) {
        return from < raws[m].size() ? std::string_view(raws[m]).substr(from) : std::string_view();
    };
    const std::uint32_t head = member(r.classStart[k]);
    if (places[head][0] == std::string_view::npos || places[head][0] < from)
        return false;
    for (std::uint32_t t = r.classStart[k] + 1; t < r.classStart[k + 1]; ++t)
        if (suffix(member(t)) != suffix(head) || places[member(t)] != places[head])
            return false;
    return true;
}

std::size_t GroupNests::firstBelow(const Nest &nest, const Level &level, std::size_t from, std::uint32_t x) const
{
    if (level.tree)
        return level.tree->firstBelow(from, x);
    std::size_t found = MinTree::npos;
    for (std::size_t a = 0; a < nest.members.size(); ++a) {
        const std::uint32_t slot = m_group.slotOf[nest.members[a]];
        if (slot != Gone && slot >= from && slot < found && valueOf(level, a, slot) < x)
            found = slot;
    }
    return found;
}

std::size_t GroupNests::firstReplacing(int n, std::size_t member, std::size_t slot) const
{
    std::size_t next = MinTree::npos;
    while (n >= 0) {
        const Nest &nest = m_nests[static_cast<std::size_t>(n)];
        const std::size_t at = nest.indexOf(member);
        const Level &level = nest.levels[nest.lengthIndex[at]];
        next = std::min(next, firstBelow(nest, level, slot + 1, valueOf(level, at, slot)));
        n = level.child[at];
    }
    return next;
}

template <typename Fn>
void GroupNests::forEachTree(int n, std::size_t member, Fn &fn)
{
    if (n < 0)
        return;
    Nest &nest = m_nests[static_cast<std::size_t>(n)];
    const std::size_t at = nest.indexOf(member);
    for (Level &level : nest.levels) {
        if (level.tree)
            fn(level, at);
        forEachTree(level.child[at], member, fn);
    }
}

void GroupNests::remove(int nest, std::size_t member, std::size_t slot)
{
    auto fn = [slot](Level &level, std::size_t) { level.tree->set(slot, MinTree::Empty); };
    forEachTree(nest, member, fn);
}

void GroupNests::move(int nest, std::size_t member, std::size_t from, std::size_t to)
{
    auto fn = [this, from, to](Level &level, std::size_t at) {
        level.tree->set(from, MinTree::Empty);
        level.tree->set(to, valueOf(level, at, to));
    };
    forEachTree(nest, member, fn);
}

int GroupNests::buildNest(const Ranking &r, std::size_t k, const KeyStore &suffixes, std::size_t from, int depth,
                          const std::vector<std::uint32_t> *ids)
{
    if (depth > MaxDepth)
        return -1;
    // The further meeting's runs start at one place in every member; a
    // member that kept its run there tells where.
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
    return buildAt(std::move(members), meet, depth);
}

// `members` (as in the raws) meet runs of equal value at raw place `meet`.
int GroupNests::buildAt(std::vector<std::uint32_t> members, std::size_t meet, int depth)
{
    const std::vector<std::string> &raws = m_group.raws;
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
    while (span < m_group.slotOf.size())
        span <<= 1;
    // A tree holds a node per member and level; a few members, a value.
    std::size_t levelsDepth = 1;
    for (std::size_t t = span; t > 1 && n > SmallNest; t >>= 1)
        ++levelsDepth;
    m_nodes += lengths.size() * n * levelsDepth;
    if (m_nodes > MaxNodes)
        return -1;
    Nest nest;
    nest.members = members;
    nest.lengthIndex = std::move(lengthIndex);
    for (std::uint32_t l : lengths) {
        const std::size_t from = meet + l;
        KeyStore suffixes(false, m_group.unsignedBytes);
        for (std::uint32_t m : members) {
            const std::string_view suffix =
                from < raws[m].size() ? std::string_view(raws[m]).substr(from) : std::string_view();
            // Without a page cell, npos less anything stays past the end: no mark.
            const std::size_t mark = m_group.places[m][0];
            suffixes.add(suffix, mark > from ? mark - from : 0);
        }
        const Ranking r = rankKeys(suffixes, m_group.byMarks);
        // As in the group's own orders: a class equal but for the page cells
        // takes a value per numbered slot, one that meets padded runs again
        // a nest of its own.
        const std::size_t classes = r.classStart.size() - 1;
        std::vector<int> childOfClass(classes, -1);
        std::vector<char> tiedClass(classes, 0);
        std::vector<std::uint64_t> base(classes);
        std::uint64_t next = 0;
        for (std::size_t k = 0; k < classes; ++k) {
            base[k] = next++;
            const int g = r.groupOfRank[k];
            if (g < 0)
                continue;
            if (r.groupMarked[static_cast<std::size_t>(g)] && m_group.pagesNumbered &&
                tiedByPages(r, k, raws, m_group.places, from, &members)) {
                tiedClass[k] = 1;
                next += m_group.pageSlots;
                continue;
            }
            const int child = buildNest(r, k, suffixes, from, depth + 1, &members);
            if (child < 0)
                return -1;
            childOfClass[k] = child;
        }
        if (next >= MinTree::Empty)
            return -1;
        Level level;
        if (n > SmallNest)
            level.tree = std::make_unique<SparseMinTree>(span);
        level.top = static_cast<std::uint32_t>(next - 1);
        level.value.resize(n);
        level.child.resize(n);
        level.tied.resize(n);
        for (std::size_t a = 0; a < n; ++a) {
            level.value[a] = static_cast<std::uint32_t>(base[r.rank[a]]);
            level.child[a] = childOfClass[r.rank[a]];
            level.tied[a] = tiedClass[r.rank[a]];
        }
        for (std::size_t a = 0; a < n && level.tree; ++a) {
            const std::uint32_t slot = m_group.slotOf[members[a]];
            if (slot != Gone)
                level.tree->set(slot, valueOf(level, a, slot));
        }
        nest.levels.push_back(std::move(level));
    }
    m_nests.push_back(std::move(nest));
    return static_cast<int>(m_nests.size() - 1);
}

} // namespace quorvex::sorting
