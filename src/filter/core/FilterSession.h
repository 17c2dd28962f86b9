#pragma once

#include "filter/core/RowFilter.h"

#include <string>

namespace quorvex {

class Editor;

// The filter of the main window: which rows the grid shows. It only chooses
// rows to show; the list itself, and what is saved, stays whole.
class FilterSession {
public:
    explicit FilterSession(Editor &editor) : m_editor(editor) {}

    const RowFilter &filter() const { return m_filter; }
    bool active() const;

    // Shows only the rows `filter` matches; a filter that narrows nothing shows every row.
    void apply(const RowFilter &filter);
    // Shows every row again and forgets the conditions (a new or opened list).
    void clear();
    // Forgets the conditions without telling the view (the list is being replaced).
    void forget();

    // "Showing 1,234 of 1,000,000"; empty without a filter.
    std::string statusText() const;

private:
    void shown();

    Editor &m_editor;
    RowFilter m_filter;
};

} // namespace quorvex
