#pragma once

#include "ValueCounter.h"

#include <string_view>
#include <vector>

namespace quorvex {

class ListDocument;

// The distinct texts of one data column with their counts.
struct ColumnCounts {
    int column = 0;
    std::string_view header;
    // Data rows whose cell is empty (also an entry of `values` when not 0).
    int emptyCount = 0;
    // Every distinct text, the empty one included; unordered until sorted.
    std::vector<ValueCount> values;

    int distinct() const { return static_cast<int>(values.size()); }
    int nonEmptyCells(int items) const { return items - emptyCount; }
};

// The most frequent texts of a column and what remains beside them.
struct TopValues {
    std::vector<ValueCount> top;
    int restCount = 0;    // rows holding any other text
    int restDistinct = 0; // how many other texts
};

// Counts of a whole list in one pass over its rows. Data rows are 1.. and
// data columns 1..; row 0 gives the headers. The texts point into the
// document, which must stay unchanged while the figures are used.
class ListStatistics {
public:
    // `onlyColumn` > 0 keeps that column only (none when it does not exist).
    static ListStatistics compute(const ListDocument &doc, int onlyColumn = 0);

    int items() const { return m_items; }
    const std::vector<ColumnCounts> &columns() const { return m_columns; }
    std::vector<ColumnCounts> &columns() { return m_columns; }

    // Largest count first, equal counts by their bytes (the empty text first).
    static bool before(const ValueCount &a, const ValueCount &b)
    {
        return a.count != b.count ? a.count > b.count : a.text < b.text;
    }
    static void sortValues(std::vector<ValueCount> &values);
    // The first `n` in sorted order, without sorting the rest. With
    // `skipEmpty` the empty text is left out of the top and of the rest.
    static TopValues topValues(const std::vector<ValueCount> &values, int n, bool skipEmpty = false);

private:
    // The counters' values into the columns' figures.
    static void finish(ListStatistics &stats, const ListDocument &doc, std::vector<ValueCounter> &counters,
                       int first, int last);

    int m_items = 0;
    std::vector<ColumnCounts> m_columns;
};

} // namespace quorvex
