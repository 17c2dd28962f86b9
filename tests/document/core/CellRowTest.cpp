#include "document/core/CellRow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorvex::test {
namespace {

std::string textOf(int i)
{
    return std::string(static_cast<std::size_t>(i % 97), static_cast<char>('a' + i % 26)) + std::to_string(i);
}

// Rows built in an arena live on after it, alone or shared, and each piece
// goes only with its last row (run under the sanitizers this also checks
// that nothing is freed twice or kept).
TEST(CellRow, arenaRowsOutliveTheArenaAndKeepTheirTextsWhateverOrderTheyGo)
{
    constexpr int Rows = 60000; // several pieces
    std::vector<CellRow> rows;
    std::vector<CellRow> copies;
    {
        CellRow::Arena arena;
        for (int i = 0; i < Rows; ++i) {
            std::vector<std::string_view> cells;
            const std::string a = textOf(i), b = textOf(i * 7);
            // One row too large to share a piece, and rows with trailing empties.
            const std::string big = i == Rows / 3 ? std::string(400000, 'B') : std::string();
            cells = {a, i % 4 ? std::string_view(b) : std::string_view(), big, {}};
            rows.push_back(CellRow::fromCells(cells, arena));
        }
    }
    for (int i = 0; i < Rows; i += 3)
        copies.push_back(rows[static_cast<std::size_t>(i)]);
    for (int i = 0; i < Rows; i += 2)
        rows[static_cast<std::size_t>(i)] = rows[static_cast<std::size_t>(i)].withCell(1, "edited");
    for (int i = 0; i < Rows; ++i) {
        const CellRow &row = rows[static_cast<std::size_t>(i)];
        EXPECT_EQ(row.cell(0), textOf(i)) << i;
        EXPECT_EQ(row.cell(1), i % 2 == 0 ? std::string("edited") : i % 4 ? textOf(i * 7) : std::string()) << i;
        EXPECT_EQ(row.cell(2).size(), i == Rows / 3 ? 400000u : 0u) << i;
        EXPECT_LE(row.storedCount(), i == Rows / 3 ? 3 : 2) << i;
    }
    rows.clear();
    for (std::size_t k = 0; k < copies.size(); ++k)
        EXPECT_EQ(copies[k].cell(0), textOf(static_cast<int>(k * 3))) << k;
}

} // namespace
} // namespace quorvex::test
