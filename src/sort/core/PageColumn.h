#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex {
class ListDocument;
}

namespace quorvex::sorting {

// The page column's texts by position, kept apart from the rows that move.
struct PageColumn {
    std::vector<std::uint32_t> index; // by position into texts; 0 is ""
    std::vector<std::string> texts{std::string()};

    PageColumn(const ListDocument &doc, int first, std::size_t n);
    std::string_view at(std::size_t p) const { return texts[index[p]]; }
    // Page cells as the page numbering writes them: empty, or a blank and a
    // number without leading zeros, rising down the list. Rows with equal
    // keys apart from the page cells then order by where they stand.
    bool numbered() const;
};

// Writes the contents to their new positions; the page column stays.
void applyPermutation(ListDocument &doc, int first, const std::vector<int> &perm, const PageColumn &pages);


} // namespace quorvex::sorting
