#include "ListStatistics.h"

#include "document/core/ListDocument.h"

#include <algorithm>
#include <exception>
#include <system_error>
#include <thread>

namespace quorvex {

namespace {

constexpr int SampleRows = 65536;
constexpr long long ThreadedCells = 400000;

} // namespace

void ListStatistics::finish(ListStatistics &stats, const ListDocument &doc, std::vector<ValueCounter> &counters,
                            int first, int last)
{
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
}

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

    const int columns = last - first + 1;
    std::vector<ValueCounter> counters(static_cast<std::size_t>(columns));
    // Row by row: each row's block is read once for all its columns. A long
    // list is counted by two threads, each with half of the columns; the
    // cells are only read, and the list cannot change meanwhile.
    auto count = [&doc, &counters, first](int from, int to) {
        const int rows = doc.RowCount();
        for (int r = 1; r < rows; ++r) {
            const CellRow &row = doc.rowAt(r);
            if (r + 8 < rows)
                doc.rowAt(r + 8).prefetch();
            const int stored = row.storedCount();
            for (int c = from; c <= to; ++c)
                counters[static_cast<std::size_t>(c - first)].add(c < stored ? row.cell(c) : std::string_view());
            // A column whose texts were nearly all new so far gets room for
            // the whole list now instead of growing step by step.
            if (r == SampleRows)
                for (int c = from; c <= to; ++c) {
                    ValueCounter &counter = counters[static_cast<std::size_t>(c - first)];
                    if (counter.distinctNonEmpty() > SampleRows / 2)
                        counter.reserve(static_cast<std::size_t>(
                            static_cast<double>(counter.distinctNonEmpty()) / SampleRows * rows));
                }
        }
    };
    const bool twoThreads = columns >= 2 && static_cast<long long>(doc.RowCount()) * columns >= ThreadedCells &&
                            std::thread::hardware_concurrency() >= 2;
    if (twoThreads) {
        const int middle = first + columns / 2 - 1;
        std::exception_ptr failure;
        std::thread worker;
        try {
            worker = std::thread([&] {
                try {
                    count(middle + 1, last);
                } catch (...) {
                    failure = std::current_exception();
                }
            });
        } catch (const std::system_error &) {
            // No thread to be had: one does it all.
            count(first, last);
            finish(stats, doc, counters, first, last);
            return stats;
        }
        try {
            count(first, middle);
        } catch (...) {
            worker.join();
            throw;
        }
        worker.join();
        if (failure)
            std::rethrow_exception(failure);
    } else {
        count(first, last);
    }
    finish(stats, doc, counters, first, last);
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
