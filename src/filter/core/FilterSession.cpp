#include "FilterSession.h"

#include "document/core/Editor.h"

namespace quorvex {

bool FilterSession::active() const
{
    return m_editor.shownRows().active();
}

void FilterSession::apply(const RowFilter &filter)
{
    m_editor.view().endCellEditing();
    m_filter = filter;
    if (!m_filter.narrows()) {
        m_editor.shownRows().clear();
    } else {
        // The rule keeps its own copy: undo and sort choose the rows again by it.
        m_editor.shownRows().apply([f = m_filter](const ListDocument &doc) { return f.matchingRows(doc); });
        m_editor.keepCurrentCellShown();
    }
    shown();
}

void FilterSession::clear()
{
    m_editor.view().endCellEditing();
    forget();
    shown();
}

void FilterSession::forget()
{
    m_filter = RowFilter();
    m_editor.shownRows().clear();
}

void FilterSession::shown()
{
    ListDocument &doc = m_editor.document();
    // The selection shrinks to the current cell: a range may have covered rows now hidden.
    doc.SetCurrentCell(doc.Col(), doc.Row());
    m_editor.RefreshStatusBar();
    m_editor.view().documentChanged();
    m_editor.view().menuStateChanged();
    m_editor.view().showCellPreview(doc.Col(), doc.Row());
}

std::string FilterSession::statusText() const
{
    if (!active())
        return std::string();
    return RowFilter::statusText(m_editor.shownRows().count(), m_editor.document().RowCount() - 1);
}

} // namespace quorvex
