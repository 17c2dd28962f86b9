#include "RankedPlan.h"

#include "PaddedGroupScan.h"
#include "document/core/ListDocument.h"

#include <limits>

namespace quorvex::sorting {

RankedPlan::RankedPlan(const ListDocument &doc, const SortOptions &options, int first, int end, std::vector<int> &perm,
                       const PageColumn &pages, bool pageKey, const std::function<void()> &idle)
    : m_doc(doc), m_options(options), m_first(first), m_pages(pages), m_pageKey(pageKey), m_idle(idle),
      m_fixedPage(pageKey ? std::string_view() : pages.at(0)), m_perm(perm), m_keys(false, unsignedOrder(options))
{
    const std::size_t n = static_cast<std::size_t>(end - first);
    m_keys.reserve(n, n * 96);
    for (std::size_t c = 0; c < n; ++c) {
        if (c % IdleEvery == IdleEvery - 1)
            idleNow();
        m_keys.addRow(doc, options, first + static_cast<int>(c), m_fixedPage);
    }
    idleNow();
    m_ranking = rankKeys(m_keys, pageKey, &idle);
    idleNow();
    m_pagesNumbered = pageKey && pages.numbered();
    m_where.resize(n);
    for (std::size_t p = 0; p < n; ++p)
        m_where[static_cast<std::size_t>(m_perm[p])] = static_cast<std::uint32_t>(p);
    const std::size_t classes = m_ranking.classStart.size() - 1;
    m_remaining.resize(classes);
    for (std::size_t k = 0; k < classes; ++k)
        m_remaining[k] = m_ranking.classStart[k + 1] - m_ranking.classStart[k];
    m_class = options.backwards ? classes - 1 : 0;
}

RankedPlan::~RankedPlan() = default;

std::size_t RankedPlan::step(std::size_t i)
{
    while (m_remaining[m_class] == 0) {
        m_class += m_options.backwards ? -1 : 1;
        m_heap.clear();
        m_pagedHeap.clear();
        m_group.reset();
    }
    const std::uint32_t *members = m_ranking.order.data() + m_ranking.classStart[m_class];
    const std::size_t size = m_ranking.classStart[m_class + 1] - m_ranking.classStart[m_class];
    const int group = m_ranking.groupOfRank[m_class];
    if (group >= 0 && m_ranking.groupMarked[static_cast<std::size_t>(group)] && !m_group &&
        m_pagedHeap.empty() && m_heap.empty() && m_pagesNumbered && size > 8 && sameKeys(members, size)) {
        for (std::size_t k = 0; k < size; ++k)
            pushPosition(m_where[members[k]]);
    }
    std::size_t best;
    if (size == 1) {
        best = m_where[members[0]];
    } else if (!m_pagedHeap.empty() || (group >= 0 && !m_heap.empty())) {
        best = fromPageHeaps(i);
    } else if (group >= 0) {
        if (!m_group)
            m_group = std::make_unique<PaddedGroupScan>(*this, members, size);
        best = m_group->winner();
    } else if (size <= 32) {
        best = std::numeric_limits<std::size_t>::max();
        for (std::size_t k = 0; k < size; ++k)
            if (m_where[members[k]] >= i)
                best = std::min<std::size_t>(best, m_where[members[k]]);
    } else {
        best = fromHeap(i, members, size);
    }
    const int moving = m_perm[i];
    if (m_group)
        m_group->exchanged(i, best);
    exchange(i, best);
    if ((!m_heap.empty() || !m_pagedHeap.empty()) && best != i &&
        m_ranking.rank[static_cast<std::size_t>(moving)] == m_class)
        pushPosition(best);
    --m_remaining[m_class];
    return best;
}

} // namespace quorvex::sorting
