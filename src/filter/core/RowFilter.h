#pragma once

#include <string>
#include <vector>

namespace quorvex {

class ListDocument;

enum class FilterTest { Contains, Equals, DoesNotContain, IsEmpty };

// One condition of the filter bar. Column 0 stands for any data column: the
// condition holds when it holds for one of the row's cells ("does not contain"
// and "is empty" then hold when no cell contains the text / every cell is empty).
struct FilterCondition {
    int column = 0;
    FilterTest test = FilterTest::Contains;
    std::string text; // list text; case is ignored as the find ignores it
};

// The rows to show: every bar condition holds, and when the group pane picked
// texts of a column, the row's cell is exactly one of them.
class RowFilter {
public:
    std::vector<FilterCondition> conditions;
    int groupColumn = 0;
    std::vector<std::string> groupTexts;

    // A condition that cannot narrow anything (a text test without text) is left out.
    bool narrows() const;
    // The data rows that match, ascending.
    std::vector<int> matchingRows(const ListDocument &doc) const;
    bool matches(const ListDocument &doc, int row) const;

    // "Showing 1,234 of 1,000,000".
    static std::string statusText(long long shown, long long total);
    // 1234567 as "1,234,567".
    static std::string groupedNumber(long long n);
};

} // namespace quorvex
