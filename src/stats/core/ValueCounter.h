#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace quorvex {

class ListDocument;

// One distinct cell text of a column and how many data rows hold it. The text
// points into the document's cells and lives as long as the list is unchanged.
struct ValueCount {
    std::string_view text;
    int count = 0;
};

// Counts the distinct texts of one column while the rows are visited once.
// Open addressing on a power-of-two table; a slot holds the first row that
// had the text, the count and the text's hash, so a million distinct titles
// cost 12 bytes a slot and the cells are read only where the hashes agree.
class ValueCounter {
public:
    ValueCounter(const ListDocument &doc, int column);

    // `text` is the cell of `row` in this counter's column.
    void add(std::string_view text, int row);

    int emptyCount() const { return m_empty; }
    // Non-empty distinct texts so far.
    int distinctNonEmpty() const { return static_cast<int>(m_used); }
    // Every distinct text, the empty one included when it occurs, in no
    // particular order. The table is freed.
    std::vector<ValueCount> takeValues();

private:
    struct Slot {
        std::uint32_t row = 0; // 0: free (row 0 is the header row, never counted)
        std::uint32_t count = 0;
        std::uint32_t hash = 0;
    };
    void grow();

    const ListDocument &m_doc;
    int m_column;
    std::vector<Slot> m_slots;
    std::size_t m_mask = 0;
    std::size_t m_used = 0;
    int m_empty = 0;
};

} // namespace quorvex
