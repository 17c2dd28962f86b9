#pragma once

#include "MinTree.h"
#include "SparseMinTree.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace quorvex::sorting {

class KeyStore;
struct Ranking;

// Members of a padded group that meet padded runs again past the group's
// meeting place (one class of one length's order), and deeper still: from
// the place after the best's run at each further meeting, every run length
// orders them anew. A member is named by its index in the group; where it
// stands comes from the group's slot table.
class GroupNests {
public:
    static constexpr std::uint32_t Gone = std::numeric_limits<std::uint32_t>::max();
    // More run lengths at one meeting place than this are scanned plainly.
    static constexpr std::size_t MaxLengths = 24;

    using Places = std::array<std::size_t, 8>;

    // What the nests read of their group, which owns it: the members' raw
    // keys with empty page cells, where their page cells begin, and, by
    // member, the slot it stands in now (or Gone); by slot, 0 for an empty
    // page cell or the count of numbered page cells up to it.
    struct Group {
        const std::vector<std::string> &raws;
        const std::vector<Places> &places;
        const std::vector<std::uint32_t> &slotOf;
        const std::vector<std::uint32_t> &pageSlot;
        std::uint32_t pageSlots; // numbered page cells in all
        bool pagesNumbered;
        bool byMarks; // the page cells are key cells that differ
        bool backwards;
        bool unsignedBytes;
    };

    explicit GroupNests(const Group &group) : m_group(group) {}

    // Builds the nest of class k of `r`, the order of the members' raw keys
    // from raw place `from` (`suffixes` holds them); returns its index, or
    // -1 when the group is to be scanned plainly. The raws and places must
    // last as long as the building; the tables by member and slot as long
    // as the nests.
    int build(const Ranking &r, std::size_t k, const KeyStore &suffixes, std::size_t from)
    {
        return buildNest(r, k, suffixes, from, 1, nullptr);
    }

    // True when the members of class k of `r` (ids as in raws, or through
    // `ids`) read the same from raw place `from` on with empty page cells,
    // and their page cells begin at the same places: they order by the page
    // cells where they stand.
    static bool tiedByPages(const Ranking &r, std::size_t k, const std::vector<std::string> &raws,
                            const std::vector<Places> &places, std::size_t from,
                            const std::vector<std::uint32_t> *ids = nullptr);

    bool empty() const { return m_nests.empty(); }

    // The first slot after `slot` holding a member that replaces `member`,
    // the best standing at `slot`, within the best's nest `nest` and the
    // nests below it; or npos.
    std::size_t firstReplacing(int nest, std::size_t member, std::size_t slot) const;

    // The member leaves `slot`, or moves from `from` to `to`, in every tree
    // of the nest and those below it that holds it.
    void remove(int nest, std::size_t member, std::size_t slot);
    void move(int nest, std::size_t member, std::size_t from, std::size_t to);

private:
    struct Level {
        std::vector<std::uint32_t> value; // by index in the nest
        std::vector<int> child;           // by index in the nest: the nest one level down, or -1
        std::vector<char> tied;           // by index in the nest: ordered by the page cell where it stands
        std::uint32_t top = 0;
        std::unique_ptr<SparseMinTree> tree; // by slot; none for a few members
    };
    std::uint32_t valueOf(const Level &level, std::size_t at, std::size_t slot) const
    {
        std::uint32_t v = level.value[at];
        if (level.tied[at])
            v += m_group.pageSlot[slot];
        return m_group.backwards ? level.top - v : v;
    }
    struct Nest {
        std::vector<std::uint32_t> members; // ascending
        std::vector<std::size_t> lengthIndex;
        std::vector<Level> levels; // by length index
        std::size_t indexOf(std::size_t member) const;
    };

    // Nests of up to this many members are searched member by member.
    static constexpr std::size_t SmallNest = 32;
    // Deeper nests, or nests needing more tree nodes than this (200 MB),
    // are scanned plainly.
    static constexpr int MaxDepth = 16;
    static constexpr std::size_t MaxNodes = std::size_t(1) << 24;

    int buildNest(const Ranking &r, std::size_t k, const KeyStore &suffixes, std::size_t from, int depth,
                  const std::vector<std::uint32_t> *ids);
    int buildAt(std::vector<std::uint32_t> members, std::size_t meet, int depth);
    std::size_t firstBelow(const Nest &nest, const Level &level, std::size_t from, std::uint32_t x) const;
    template <typename Fn>
    void forEachTree(int nest, std::size_t member, Fn &fn);

    Group m_group;
    std::vector<Nest> m_nests;
    std::size_t m_nodes = 0;
};

} // namespace quorvex::sorting
