#pragma once

#include "StateScan.h"
#include "sort/core/SortOptions.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

namespace quorvex {
class ListDocument;
}

namespace quorvex::sorting {

struct PageColumn;

// The states a group's members take for StateScan: one per distinct content
// and kind of page cell where it stands. Page texts that the numbering wrote
// (rising down the list) are two kinds, empty and numbered: a later numbered
// row's number is always the greater, and a comparison that would read a
// number's digits any other way refuses the states. Other page texts are a
// kind each.
class GroupStates {
public:
    struct Where {
        const ListDocument &doc;
        const SortOptions &options;
        int first;               // the document row of position 0
        const PageColumn &pages; // by position
        bool pageKey;            // page cells differ and are key cells
        bool pagesNumbered;
        std::string_view fixedPage; // the page text when they are not
        const std::function<void()> &idle; // called every so many members
    };

    // False when the members take too many states for their slots.
    bool build(const Where &where, const std::vector<std::uint32_t> &contents, const std::vector<std::size_t> &slotPos);

    StateScan::State stateOf(std::uint32_t content, std::size_t slot) const
    {
        const auto it = std::lower_bound(m_contentClass.begin(), m_contentClass.end(), std::make_pair(content, 0u));
        return static_cast<StateScan::State>(it->second * m_pageKinds + m_pageKind[slot]);
    }

    std::vector<char> beats; // by best state and candidate state
    std::size_t states = 0;
    std::vector<StateScan::State> slotStates;

    // More states than this are left to the other scans. Tests lower it, so
    // that small lists take those scans too.
    static std::size_t maxStates;
    static constexpr std::size_t MaxBytes = std::size_t(256) << 20;

private:
    std::vector<std::pair<std::uint32_t, std::uint32_t>> m_contentClass; // (content, class), ascending
    std::vector<std::uint32_t> m_pageKind; // by slot
    std::size_t m_pageKinds = 1;
};

} // namespace quorvex::sorting
