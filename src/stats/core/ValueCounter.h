#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace quorvex {

// One distinct cell text of a column and how many data rows hold it. The text
// points into the document's cells and lives as long as the list is unchanged.
struct ValueCount {
    std::string_view text;
    int count = 0;
};

// Counts the distinct texts of one column while the rows are visited once.
// Open addressing on a power-of-two table, at most half full; a slot holds
// where the first cell with the text keeps its bytes, the length, the count
// and the hash, so the bytes are compared only where the hashes agree and
// no row is looked up again.
class ValueCounter {
public:
    ValueCounter();

    // `text` must stay where it is (a cell of an unchanged list) until the
    // values are taken.
    void add(std::string_view text);

    // Makes room for `distinct` texts at once, so a column of titles does not
    // grow its table twenty times over.
    void reserve(std::size_t distinct);

    int emptyCount() const { return m_empty; }
    // Non-empty distinct texts so far.
    int distinctNonEmpty() const { return static_cast<int>(m_used); }
    // Every distinct text, the empty one included when it occurs, in no
    // particular order. The table is freed.
    std::vector<ValueCount> takeValues();

private:
    struct Slot {
        const char *bytes = nullptr; // nullptr: free
        std::uint32_t size = 0;
        std::uint32_t hash = 0;
        std::uint64_t count = 0;
    };
    void grow();
    void rehash(std::size_t size);

    std::vector<Slot> m_slots;
    std::size_t m_mask = 0;
    std::size_t m_used = 0;
    int m_empty = 0;
};

} // namespace quorvex
