#pragma once

#include <functional>
#include <vector>

namespace quorvex {

class ListDocument;

// The data rows the grid shows while a filter is on, as ascending document
// rows; without a filter every row is shown and nothing is stored. The rule
// that chose the rows is kept so that a change of the whole list (undo, redo,
// sort) can choose them again. Rows added by the user stay shown until then.
// Row 0, the header row, is always shown.
class ShownRows {
public:
    // The shown data rows of the document, ascending.
    using Rule = std::function<std::vector<int>(const ListDocument &)>;

    explicit ShownRows(const ListDocument &document) : m_document(document) {}

    bool active() const { return m_active; }
    // Shows every row and forgets the rule.
    void clear();
    // Keeps the rule and shows the rows it chooses now.
    void apply(Rule rule);
    // Chooses the rows again by the kept rule (nothing without a filter).
    void reapply();

    // Number of shown data rows.
    int count() const;
    // Document row of the shown row `index` (0..count()-1); 0 outside.
    int documentRow(int index) const;
    // Index of a shown document row; -1 for a hidden row or one outside the list.
    int indexOf(int row) const;
    bool isShown(int row) const { return indexOf(row) >= 0 || row == 0; }
    // The first shown data row at or after `row`, or RowCount() when there is none.
    int firstAtOrAfter(int row) const;
    // The last shown data row at or before `row`, or 0 when there is none.
    int lastAtOrBefore(int row) const;
    // The shown data rows from `top` to `bottom`, ascending.
    std::vector<int> rowsIn(int top, int bottom) const;
    // The shown row nearest to `row`: itself, the next one down, else the one above; 0 with none.
    int nearest(int row) const;
    // A list of the header row and the shown rows from `top` to `bottom` only, as a
    // list of its own (rows are shared, not copied): what print, export and copy put out.
    ListDocument shownList(int top = 1, int bottom = -1) const;

    // Keeping the index in step with row changes the user made under the filter.
    // `count` rows were inserted before `row` (appended when row == old RowCount()); they are shown.
    void rowsInserted(int row, int count);
    // The given rows (ascending, as they were numbered before) were removed.
    void rowsRemoved(const std::vector<int> &removed);
    // Whole rows `first`.. were removed.
    void rowsRemoved(int first, int count);

private:
    const ListDocument &m_document;
    bool m_active = false;
    Rule m_rule;
    std::vector<int> m_rows;
};

} // namespace quorvex
