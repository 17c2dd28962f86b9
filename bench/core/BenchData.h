#pragma once

#include "document/core/ListDocument.h"

#include <cstdio>
#include <string>
#include <vector>

namespace quorvex::bench {

// A list shaped like a real collection: page numbers in column 0, short titles,
// years, formats and notes in the other columns.
inline void fillRealisticList(ListDocument &doc, int dataRows, int cols = 9)
{
    doc.SetColCount(cols);
    doc.SetRowCount(dataRows + 1);
    static const char *const titles[] = {"The Long Goodbye", "Casablanca", "Blade Runner",
                                         "North by Northwest", "Spirited Away", "Heat",
                                         "Vertigo", "Paris, Texas"};
    std::vector<std::string> cells(static_cast<size_t>(cols));
    for (int r = 1; r <= dataRows; ++r) {
        cells[0] = std::to_string((r - 1) / 54 + 1);
        for (int c = 1; c < cols; ++c) {
            switch (c % 4) {
            case 1: cells[c] = titles[(r + c) % 8]; break;
            case 2: cells[c] = std::to_string(1950 + (r * 7 + c) % 70); break;
            case 3: cells[c] = "DVD " + std::to_string(r % 97); break;
            default: cells[c] = "Shelf " + std::to_string(r % 31) + ", box " + std::to_string(c); break;
            }
        }
        doc.setRowAt(r, CellRow::fromCells(cells));
    }
}

} // namespace quorvex::bench
