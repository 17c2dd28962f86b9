#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex {

// One row of cell texts packed into a single heap block, shared between the
// document and its undo copies. Blocks are immutable once built; writing a
// cell builds a new block. The reference count is deliberately not atomic:
// all list work runs on the user-interface thread.
class CellRow {
public:
    CellRow() = default;
    CellRow(const CellRow &other) noexcept;
    CellRow(CellRow &&other) noexcept;
    CellRow &operator=(const CellRow &other) noexcept;
    CellRow &operator=(CellRow &&other) noexcept;
    ~CellRow();

    // Memory for rows built many at once (a list being read): rows share
    // large pieces, one allocation for thousands of rows, and a piece is freed
    // when its last row goes. One arena per thread; the rows it builds live on
    // after it.
    class Arena {
    public:
        Arena() = default;
        ~Arena();
        Arena(const Arena &) = delete;
        Arena &operator=(const Arena &) = delete;

    private:
        friend class CellRow;
        // Room for a block, or nullptr when the block is better given its own.
        void *allocate(std::size_t bytes);
        static void releasePiece(const void *block) noexcept;

        unsigned char *m_piece = nullptr;
        std::size_t m_used = 0;
    };

    // Builds a row from the given texts; trailing empty texts are not stored.
    static CellRow fromCells(const std::vector<std::string_view> &cells);
    static CellRow fromCells(const std::vector<std::string> &cells);
    static CellRow fromCells(const std::vector<std::string_view> &cells, Arena &arena);

    // Number of stored cells; every cell at or beyond it reads as "".
    int storedCount() const noexcept;
    std::string_view cell(int col) const noexcept;
    bool isEmpty() const noexcept { return storedCount() == 0; }

    // A copy with one cell replaced.
    CellRow withCell(int col, std::string_view text) const;
    // A copy holding only the cells before `count`.
    CellRow truncated(int count) const;

    // Bytes of heap this row occupies, for memory accounting.
    std::size_t heapBytes() const noexcept;
    bool sharesBlockWith(const CellRow &other) const noexcept { return m_block == other.m_block; }
    // Asks for the row's first bytes to be brought into the cache, for loops
    // that visit rows in an order unrelated to where they lie in memory.
    void prefetch() const noexcept
    {
        if (m_block) {
            __builtin_prefetch(m_block);
            __builtin_prefetch(reinterpret_cast<const char *>(m_block) + 64);
        }
    }

private:
    struct Block;
    explicit CellRow(Block *block) noexcept : m_block(block) {}
    static CellRow build(std::size_t count, const std::string_view *cells, Arena *arena = nullptr);
    void release() noexcept;

    Block *m_block = nullptr;
};

} // namespace quorvex
