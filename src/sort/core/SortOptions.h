#pragma once

#include <array>

namespace quorvex {

// What the sort options dialog hands the sort when it closes with OK.
struct SortOptions {
    // Grid columns in priority order; 0 (the page-number column) for a box
    // without a selection.
    std::array<int, 8> keyColumns{{1, 2, 3, 4, 5, 6, 7, 8}};
    bool caseSensitive = false;
    bool backwards = false;
};

} // namespace quorvex
