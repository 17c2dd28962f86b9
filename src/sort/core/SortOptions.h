#pragma once

#include "platform/core/TextEncoding.h"

#include <array>

namespace quorvex {

// What the sort options dialog hands the sort when it closes with OK.
struct SortOptions {
    // Grid columns in priority order; 0 (the page-number column) for a box
    // without a selection.
    std::array<int, 8> keyColumns{{1, 2, 3, 4, 5, 6, 7, 8}};
    bool caseSensitive = false;
    bool backwards = false;
    // How the cells' bytes read. SortGrid and BuildSortKey take it from the
    // document: Windows-1252 keys compare as signed bytes and lower ASCII
    // letters only; UTF-8 keys compare by code point (unsigned bytes) and fold
    // case with Unicode simple case folding.
    TextEncoding encoding = TextEncoding::Windows1252;
};

} // namespace quorvex
