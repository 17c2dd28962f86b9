#pragma once

#include "document/core/CellRow.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quorvex {

class ListDocument;

// The distinct texts of one column with how many data rows hold each, in the
// order the group pane lists them. Cell edits update the counts in place, so
// an edit costs a lookup and a short move, never a recount of the list.
class GroupCounts {
public:
    enum class Order { ByCount, ByName };

    struct Entry {
        std::string text;
        long long count = 0;
    };

    static constexpr const char *EmptyLabel = "(empty)";

    int column() const { return m_column; }
    Order order() const { return m_order; }
    const std::vector<Entry> &entries() const { return m_entries; }
    long long total() const { return m_total; }

    // Counts every data row of `column` (1..) again.
    void count(const ListDocument &doc, int column, Order order);
    void setOrder(Order order);
    // One cell of the counted column changed from `before` to `after`. Returns the
    // first and last entry index whose place or count changed (first > last: none),
    // and whether the number of entries changed.
    struct Change {
        int first = 0;
        int last = -1;
        bool sizeChanged = false;
    };
    Change cellChanged(std::string_view was, std::string_view now);
    // Brings the counts up to the list as it is now. Rows are compared by their
    // shared blocks, so a list where a few cells changed costs a pass over row
    // pointers and a few updates; one that changed in many rows is counted again.
    // Returns the change as cellChanged does (all entries after a recount).
    Change follow(const ListDocument &doc);
    // Index of the entry of `text`; -1 when no row holds it.
    int indexOf(std::string_view text) const;

    // "Drama (699)" / "(empty) (12)".
    static std::string label(const Entry &e);

private:
    bool before(const Entry &a, const Entry &b) const;
    int position(std::string_view text, long long count) const;
    Change add(std::string_view text, long long delta);

    int m_column = 0;
    Order m_order = Order::ByCount;
    long long m_total = 0;
    std::vector<Entry> m_entries;
    std::unordered_map<std::string, long long> m_counts;
    // The rows as they were last counted (shared, not copied).
    std::vector<CellRow> m_seen;
    int m_colCount = 0;
};

} // namespace quorvex
