#pragma once

#include "KeyStore.h"
#include "PageColumn.h"
#include "Ranking.h"
#include "SortKeyText.h"
#include "sort/core/SortOptions.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex {
class ListDocument;
}

namespace quorvex::sorting {

class PaddedGroupScan;

// The rows being sorted as positions 0..n-1 holding contents (original rows).
class Plan {
public:
    virtual ~Plan() = default;
    // Runs outer step i (a position) and returns the position exchanged with it.
    virtual std::size_t step(std::size_t i) = 0;
};

// Keys that do not depend on where a row stands. The steps take the ranks in
// order (backwards: from the greatest); among equal keys the leftmost row
// wins, and a group's winner comes from the scan the selection sort makes
// over the group's members.
//
// When the page column is a key column and its texts differ, a row's key
// depends on where it stands, but only from its first page cell on. The
// ranking then uses each row's key with an empty page cell and keeps apart
// (in marked groups) the rows whose order can turn on the page cells; those
// are scanned with the keys they have where they stand.
class RankedPlan final : public Plan {
public:
    RankedPlan(const ListDocument &doc, const SortOptions &options, int first, int end, std::vector<int> &perm,
               const PageColumn &pages, bool pageKey, const std::function<void()> &idle = {});
    ~RankedPlan() override;

    std::size_t step(std::size_t i) override;

private:
    friend class PaddedGroupScan;

    // Work between two calls of the idle function, in rows.
    static constexpr std::size_t IdleEvery = 1 << 16;
    void idleNow() const
    {
        if (m_idle)
            m_idle();
    }

    std::string rawKey(std::uint32_t content, std::string_view pageText) const
    {
        std::string raw;
        appendKey(raw, m_doc, m_options, m_first + static_cast<int>(content), pageText);
        return raw;
    }
    std::string rawKey(std::uint32_t content, std::size_t pos) const
    {
        return rawKey(content, m_pageKey ? m_pages.at(pos) : m_fixedPage);
    }
    // The raw length of a row's key before its first page cell.
    std::size_t rawMark(std::uint32_t content) const { return pageCellPlaces(content)[0]; }
    // Where each page cell begins in a row's key with empty page cells.
    std::array<std::size_t, KeyColumnCount> pageCellPlaces(std::uint32_t content) const
    {
        std::array<std::size_t, KeyColumnCount> places;
        places.fill(std::string_view::npos);
        std::size_t length = 0, count = 0;
        for (int k = 0; k < KeyColumnCount; ++k) {
            const int c = m_options.keyColumns[static_cast<std::size_t>(k)];
            if (k > 0)
                length += 3;
            if (c == 0)
                places[count++] = length;
            else
                length += keyCellLength(m_doc.cellView(c, m_first + static_cast<int>(content)), m_options);
        }
        return places;
    }

    // Equal keys, with the page cells at the same places.
    bool sameKeys(const std::uint32_t *members, std::size_t size) const
    {
        const std::string first = rawKey(members[0], std::string_view());
        const auto places = pageCellPlaces(members[0]);
        for (std::size_t k = 1; k < size; ++k)
            if (rawKey(members[k], std::string_view()) != first || pageCellPlaces(members[k]) != places)
                return false;
        return true;
    }

    // Equal keys but for the page cells: an empty page cell orders first
    // (the leftmost such row wins), then page numbers by value.
    void pushPosition(std::size_t pos)
    {
        const std::uint32_t p = static_cast<std::uint32_t>(pos);
        if (!m_pageKey || m_pages.at(pos).empty()) {
            m_heap.push_back(p);
            std::push_heap(m_heap.begin(), m_heap.end(), std::greater<>());
        } else {
            m_pagedHeap.push_back(p);
            pushPaged();
        }
    }
    void pushPaged()
    {
        if (m_options.backwards)
            std::push_heap(m_pagedHeap.begin(), m_pagedHeap.end(), std::less<>());
        else
            std::push_heap(m_pagedHeap.begin(), m_pagedHeap.end(), std::greater<>());
    }
    void popPaged()
    {
        if (m_options.backwards)
            std::pop_heap(m_pagedHeap.begin(), m_pagedHeap.end(), std::less<>());
        else
            std::pop_heap(m_pagedHeap.begin(), m_pagedHeap.end(), std::greater<>());
        m_pagedHeap.pop_back();
    }
    bool current(std::size_t pos, std::size_t i) const
    {
        return pos >= i && m_ranking.rank[static_cast<std::size_t>(m_perm[pos])] == m_class;
    }
    std::size_t fromPageHeaps(std::size_t i)
    {
        while (!m_heap.empty() && !current(m_heap.front(), i)) {
            std::pop_heap(m_heap.begin(), m_heap.end(), std::greater<>());
            m_heap.pop_back();
        }
        while (!m_pagedHeap.empty() && !current(m_pagedHeap.front(), i))
            popPaged();
        // Backwards the greatest page number wins over the empty page cells.
        if (m_heap.empty() || (m_options.backwards && !m_pagedHeap.empty()))
            return m_pagedHeap.front();
        return m_heap.front();
    }

    std::size_t fromHeap(std::size_t i, const std::uint32_t *members, std::size_t size)
    {
        if (m_heap.empty()) {
            for (std::size_t k = 0; k < size; ++k)
                if (m_where[members[k]] >= i)
                    m_heap.push_back(m_where[members[k]]);
            std::make_heap(m_heap.begin(), m_heap.end(), std::greater<>());
        }
        for (;;) {
            const std::size_t pos = m_heap.front();
            if (pos >= i && m_ranking.rank[static_cast<std::size_t>(m_perm[pos])] == m_class)
                return pos;
            std::pop_heap(m_heap.begin(), m_heap.end(), std::greater<>());
            m_heap.pop_back();
        }
    }

    void exchange(std::size_t i, std::size_t j)
    {
        if (i == j)
            return;
        std::swap(m_perm[i], m_perm[j]);
        m_where[static_cast<std::size_t>(m_perm[i])] = static_cast<std::uint32_t>(i);
        m_where[static_cast<std::size_t>(m_perm[j])] = static_cast<std::uint32_t>(j);
    }

    const ListDocument &m_doc;
    const SortOptions &m_options;
    int m_first;
    const PageColumn &m_pages;
    bool m_pageKey;
    const std::function<void()> &m_idle;
    std::string_view m_fixedPage; // the page text in the ranked keys
    bool m_pagesNumbered = false;
    std::vector<int> &m_perm;
    KeyStore m_keys;
    Ranking m_ranking;
    std::vector<std::uint32_t> m_where; // by content
    std::vector<std::uint32_t> m_remaining;
    std::size_t m_class = 0;
    std::vector<std::uint32_t> m_heap;      // positions of the current class, lazily pruned
    std::vector<std::uint32_t> m_pagedHeap; // ... those with a page number, for equal keys
    std::unique_ptr<PaddedGroupScan> m_group;
};

} // namespace quorvex::sorting
