#pragma once

#include "document/core/ListDocument.h"
#include "platform/core/UnicodeText.h"

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

// The realistic list as a Unicode list: a third of the cells hold Greek,
// Cyrillic, Czech or Japanese titles. With `asCp1252` the same list as a
// Windows-1252 list holds it ("?" for what it cannot hold), built the same way
// so that both lie alike in memory.
inline void fillUnicodeList(ListDocument &doc, int dataRows, int cols = 9, bool asCp1252 = false)
{
    doc.SetColCount(cols);
    doc.SetRowCount(dataRows + 1);
    static const char *const latin[] = {"The Long Goodbye", "Casablanca", "Blade Runner", "North by Northwest",
                                        "Spirited Away", "Heat", "Vertigo", "Paris, Texas"};
    static const char *const titles[] = {
        "\u4E03\u4EBA\u306E\u4F8D",
        "\u0395\u03BB\u03AD\u03BD\u03B7 \u03BA\u03B1\u03B9 \u03BF\u03B9 \u03AC\u03BB\u03BB\u03BF\u03B9",
        "\u0410\u043D\u0434\u0440\u0435\u0439 \u0420\u0443\u0431\u043B\u0451\u0432",
        "Ost\u0159e sledovan\u00E9 vlaky",
        "\u5343\u3068\u5343\u5C0B\u306E\u795E\u96A0\u3057",
        "\u0141\u00F3d\u017A Story"};
    std::vector<std::string> cells(static_cast<size_t>(cols));
    for (int r = 1; r <= dataRows; ++r) {
        cells[0] = std::to_string((r - 1) / 54 + 1);
        for (int c = 1; c < cols; ++c) {
            std::string &cell = cells[static_cast<size_t>(c)];
            if ((r + c) % 3 == 0) {
                cell = titles[(r + c) % 6];
                if (asCp1252) {
                    std::size_t replaced = 0;
                    cell = UnicodeText::toCp1252(cell, replaced);
                }
                continue;
            }
            switch (c % 4) {
            case 1: cell = latin[(r + c) % 8]; break;
            case 2: cell = std::to_string(1950 + (r * 7 + c) % 70); break;
            case 3: cell = "DVD " + std::to_string(r % 97); break;
            default: cell = "Shelf " + std::to_string(r % 31) + ", box " + std::to_string(c); break;
            }
        }
        doc.setRowAt(r, CellRow::fromCells(cells));
    }
    doc.setTextEncoding(asCp1252 ? TextEncoding::Windows1252 : TextEncoding::Utf8);
}

} // namespace quorvex::bench
