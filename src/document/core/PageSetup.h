#pragma once

#include <array>

namespace quorvex {

// The page layout values that belong to a list and travel in its file.
struct PageSetup {
    static constexpr int MinEntries = 1;
    static constexpr int MaxEntries = 150;

    // Maximum character widths of the first eight columns (kept, not used for printing).
    std::array<int, 8> maxWidths{{5, 40, 20, 9, 16, 8, 6, 15}};
    int maxEntries = 54;
    int leftIndent = 90;
    int topIndent = 90;
    bool landscape = false;

    // The entries-per-page value as the page column and the page counts use it.
    int entriesPerPage() const
    {
        return maxEntries < MinEntries ? MinEntries : (maxEntries > MaxEntries ? MaxEntries : maxEntries);
    }
    bool operator==(const PageSetup &o) const
    {
        return maxWidths == o.maxWidths && maxEntries == o.maxEntries && leftIndent == o.leftIndent &&
               topIndent == o.topIndent && landscape == o.landscape;
    }
};

// The print engine's scale constants; they go back to these values whenever
// the grid font changes, because the page layout is derived from the row height.
struct PrintScale {
    int footerMargin = 35;
    double columnScale = 1.96;
    double lineScale = 2.0;
    double fontScale = 2.0;

    void reset() { *this = PrintScale(); }
    bool operator==(const PrintScale &o) const
    {
        return footerMargin == o.footerMargin && columnScale == o.columnScale && lineScale == o.lineScale &&
               fontScale == o.fontScale;
    }
};

} // namespace quorvex
