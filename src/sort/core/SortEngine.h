#pragma once

#include "SortOptions.h"

#include <functional>
#include <string>
#include <string_view>

namespace quorvex {

class ListDocument;

// The multi-key row sort. Its outcome is defined by a selection sort that
// rebuilds each row's key at every comparison; SortGrid reaches the same
// outcome, every exchange included, in O(n log n) for ordinary lists.
class SortEngine {
public:
    // Called before outer step i when i is a multiple of five; returning false
    // ends the sort there, with the exchanges of the steps before i done.
    using ProgressPoint = std::function<bool(int i)>;
    // Called now and then while the sort prepares its keys and groups, which
    // for a long list takes longer than anyone waits for a window to answer.
    using Idle = std::function<void()>;

    // The key of a row: the cells of the eight key columns joined by three
    // blanks, lowered by ASCII rules unless case-sensitive (in a UTF-8 list,
    // folded by Unicode simple case folding). A column outside the grid
    // reads as "".
    static std::string BuildSortKey(const ListDocument &doc, const SortOptions &options, int row);
    // True when the candidate is to replace the best key: strictly before it,
    // or strictly after it when sorting backwards. Bytes compare signed (UTF-8
    // keys: unsigned, so by code point) and digit runs met at the same place
    // by value.
    static bool CompareSortKeys(std::string_view best, std::string_view candidate, bool backwards);
    static bool CompareSortKeys(std::string_view best, std::string_view candidate, bool backwards,
                                TextEncoding encoding);
    // Exchanges rows a and b in columns 1..; the page column stays.
    static void SwapGridRows(ListDocument &doc, int a, int b);

    // Sorts rows first to end-1. True when every step ran, false when the
    // progress point stopped it. Rows are only rewritten once the outcome is
    // known, so an exception leaves the document as it was.
    static bool SortGrid(ListDocument &doc, const SortOptions &options, int first, int end,
                         const ProgressPoint &progress = {}, const Idle &idle = {});

    // The value of a digit run, as the comparison converts it.
    static double runValue(const char *digits, std::size_t length);
};

} // namespace quorvex
