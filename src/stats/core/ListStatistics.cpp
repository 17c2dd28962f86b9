#include "ListStatistics.h"

#include "document/core/ListDocument.h"

#include <algorithm>

namespace quorvex {

ListStatistics ListStatistics::compute(const ListDocument &doc, int onlyColumn)
{
    ListStatistics stats;
    stats.m_items = std::max(0, doc.RowCount() - 1);
    int first = 1;
    int last = doc.ColCount() - 1;
    if (onlyColumn > 0) {
        first = onlyColumn;
        last = std::min(last, onlyColumn);
    }
    if (first > last)
        return stats;

    std::vector<ValueCounter> counters;
    counters.reserve(static_cast<std::size_t>(last - first + 1));
    for (int c = first; c <= last; ++c)
        counters.emplace_back(doc, c);
    // Row by row: each row's block is read once for all its columns.
    for (int r = 1; r < doc.RowCount(); ++r) {
        const CellRow &row = doc.rowAt(r);
        if (r + 8 < doc.RowCount())
            doc.rowAt(r + 8).prefetch();
        const int stored = row.storedCount();
        for (int c = first; c <= last; ++c)
            counters[static_cast<std::size_t>(c - first)].add(c < stored ? row.cell(c) : std::string_view(), r);
    }
    stats.m_columns.reserve(counters.size());
    for (int c = first; c <= last; ++c) {
        ValueCounter &counter = counters[static_cast<std::size_t>(c - first)];
        ColumnCounts column;
        column.column = c;
        column.header = doc.cellView(c, 0);
        column.emptyCount = counter.emptyCount();
        column.values = counter.takeValues();
        stats.m_columns.push_back(std::move(column));
    }
    return stats;
}

void ListStatistics::sortValues(std::vector<ValueCount> &values)
{
    std::sort(values.begin(), values.end(), before);
}

TopValues ListStatistics::topValues(const std::vector<ValueCount> &values, int n, bool skipEmpty)
{
    TopValues result;
    std::vector<ValueCount> candidates;
    candidates.reserve(values.size());
    for (const ValueCount &v : values)
        if (!(skipEmpty && v.text.empty()))
            candidates.push_back(v);
    const std::size_t keep = std::min(candidates.size(), static_cast<std::size_t>(std::max(0, n)));
    std::partial_sort(candidates.begin(), candidates.begin() + static_cast<std::ptrdiff_t>(keep), candidates.end(),
                      before);
    for (std::size_t i = keep; i < candidates.size(); ++i)
        result.restCount += candidates[i].count;
    result.restDistinct = static_cast<int>(candidates.size() - keep);
    candidates.resize(keep);
    result.top = std::move(candidates);
    return result;
}

} // namespace quorvex
