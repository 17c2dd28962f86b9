#pragma once

#include "MinTree.h"
#include "SparseMinTree.h"

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

    // `slotOf` (by member: its slot, or Gone) belongs to the group and is
    // read at every search; `slots` is the group's slot count.
    GroupNests(const std::vector<std::uint32_t> &slotOf, std::size_t slots, bool backwards, bool byMarks,
               bool unsignedBytes)
        : m_slotOf(slotOf), m_slots(slots), m_backwards(backwards), m_byMarks(byMarks), m_unsigned(unsignedBytes)
    {
    }

    // Builds the nest of class k of `r`, the order of the members' raw keys
    // (`raws`) from raw place `from` (`suffixes` holds them); returns its
    // index, or -1 when the group is to be scanned plainly.
    int build(const Ranking &r, std::size_t k, const KeyStore &suffixes, std::size_t from,
              const std::vector<std::string> &raws, const std::vector<std::size_t> &rawMarks)
    {
        return buildNest(r, k, suffixes, from, raws, rawMarks, 1, nullptr);
    }

    bool empty() const { return m_nests.empty(); }

    // The first slot at or after `from` holding a member that replaces
    // `member`, the best, within the best's nest `nest` and the nests below
    // it; or npos.
    std::size_t firstReplacing(int nest, std::size_t member, std::size_t from) const;

    // The member leaves `slot`, or moves from `from` to `to`, in every tree
    // of the nest and those below it that holds it.
    void remove(int nest, std::size_t member, std::size_t slot);
    void move(int nest, std::size_t member, std::size_t from, std::size_t to);

private:
    struct Level {
        std::vector<std::uint32_t> value; // by index in the nest
        std::vector<int> child;           // by index in the nest: the nest one level down, or -1
        std::uint32_t top = 0;
        std::unique_ptr<SparseMinTree> tree; // by slot; none for a few members
        std::uint32_t valueOf(std::size_t at, bool backwards) const { return backwards ? top - value[at] : value[at]; }
    };
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

    int buildNest(const Ranking &r, std::size_t k, const KeyStore &suffixes, std::size_t from,
                  const std::vector<std::string> &raws, const std::vector<std::size_t> &rawMarks, int depth,
                  const std::vector<std::uint32_t> *ids);
    int buildAt(std::vector<std::uint32_t> members, std::size_t meet, const std::vector<std::string> &raws,
                const std::vector<std::size_t> &rawMarks, int depth);
    std::size_t firstBelow(const Nest &nest, const Level &level, std::size_t from, std::uint32_t x) const;
    template <typename Fn>
    void forEachTree(int nest, std::size_t member, Fn &fn);

    const std::vector<std::uint32_t> &m_slotOf;
    std::size_t m_slots;
    bool m_backwards;
    bool m_byMarks;
    bool m_unsigned;
    std::vector<Nest> m_nests;
    std::size_t m_nodes = 0;
};

} // namespace quorvex::sorting
