#pragma once

#include <string>
#include <string_view>

namespace quorvex {

class Editor;
class ListDocument;
class ShownRows;

// The tool bar's quick search: the first row whose quick-search column holds
// the typed text, case-insensitive as the list's encoding has it (TextMatcher).
class QuickSearch {
public:
    static constexpr int DefaultColumn = 2;

    // The column searched: the setting when the list has it, else column 2, and
    // on a list with a single data column that one.
    static int column(int setting, int colCount);
    // "&Quick search (Column N): " for the column searched.
    static std::string labelText(int setting, int colCount);
    // The first data row (from row 1, no wrap) whose cell in `col` contains
    // `typed`, skipping attachments; 0 when there is none or `typed` is empty.
    // With `shown`, only its shown rows are searched.
    static int findRow(const ListDocument &doc, int col, std::string_view typed, const ShownRows *shown = nullptr);
    // Runs the search for a change of the box: on a hit the current cell moves
    // there and the row is returned; otherwise nothing changes and 0 is returned.
    static int run(Editor &editor, std::string_view typed);
};

} // namespace quorvex
