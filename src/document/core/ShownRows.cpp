#include "ShownRows.h"

#include "ListDocument.h"

#include <algorithm>

namespace quorvex {

void ShownRows::clear()
{
    m_active = false;
    m_rule = nullptr;
    m_rows.clear();
    m_rows.shrink_to_fit();
}

void ShownRows::apply(Rule rule)
{
    m_rule = std::move(rule);
    m_active = static_cast<bool>(m_rule);
    reapply();
}

void ShownRows::reapply()
{
    if (!m_active)
        return;
    m_rows = m_rule(m_document);
    // A rule is outside code: only rows of the list, each once, ascending.
    const int rows = m_document.RowCount();
    if (!std::is_sorted(m_rows.begin(), m_rows.end()))
        std::sort(m_rows.begin(), m_rows.end());
    m_rows.erase(std::unique(m_rows.begin(), m_rows.end()), m_rows.end());
    m_rows.erase(std::remove_if(m_rows.begin(), m_rows.end(), [rows](int r) { return r < 1 || r >= rows; }),
                 m_rows.end());
}

int ShownRows::count() const
{
    return m_active ? static_cast<int>(m_rows.size()) : m_document.RowCount() - 1;
}

int ShownRows::documentRow(int index) const
{
    if (index < 0 || index >= count())
        return 0;
    return m_active ? m_rows[static_cast<std::size_t>(index)] : index + 1;
}

int ShownRows::indexOf(int row) const
{
    if (row < 1 || row >= m_document.RowCount())
        return -1;
    if (!m_active)
        return row - 1;
    const auto it = std::lower_bound(m_rows.begin(), m_rows.end(), row);
    return it != m_rows.end() && *it == row ? static_cast<int>(it - m_rows.begin()) : -1;
}

int ShownRows::firstAtOrAfter(int row) const
{
    const int rows = m_document.RowCount();
    row = std::max(row, 1);
    if (!m_active)
        return std::min(row, rows);
    const auto it = std::lower_bound(m_rows.begin(), m_rows.end(), row);
    return it == m_rows.end() ? rows : *it;
}

int ShownRows::lastAtOrBefore(int row) const
{
    if (!m_active)
        return std::clamp(row, 0, m_document.RowCount() - 1);
    const auto it = std::upper_bound(m_rows.begin(), m_rows.end(), row);
    return it == m_rows.begin() ? 0 : *(it - 1);
}

std::vector<int> ShownRows::rowsIn(int top, int bottom) const
{
    top = std::max(top, 1);
    bottom = std::min(bottom, m_document.RowCount() - 1);
    std::vector<int> out;
    if (top > bottom)
        return out;
    if (!m_active) {
        out.reserve(static_cast<std::size_t>(bottom - top + 1));
        for (int r = top; r <= bottom; ++r)
            out.push_back(r);
        return out;
    }
    const auto from = std::lower_bound(m_rows.begin(), m_rows.end(), top);
    const auto to = std::upper_bound(from, m_rows.end(), bottom);
    out.assign(from, to);
    return out;
}

int ShownRows::nearest(int row) const
{
    const int below = firstAtOrAfter(row);
    if (below < m_document.RowCount())
        return below;
    return lastAtOrBefore(row);
}

ListDocument ShownRows::shownList(int top, int bottom) const
{
    if (bottom < 0)
        bottom = m_document.RowCount() - 1;
    const std::vector<int> rows = rowsIn(top, bottom);
    ListDocument list(m_document.ColCount(), static_cast<int>(rows.size()) + 1);
    list.setTextEncoding(m_document.textEncoding());
    for (int c = 0; c < m_document.ColCount(); ++c)
        list.SetColWidth(c, m_document.ColWidth(c));
    list.SetRowHeight(m_document.RowHeight());
    list.setRowAt(0, m_document.rowAt(0));
    for (std::size_t k = 0; k < rows.size(); ++k)
        list.setRowAt(static_cast<int>(k) + 1, m_document.rowAt(rows[k]));
    return list;
}

void ShownRows::rowsInserted(int row, int count)
{
    if (!m_active || count <= 0)
        return;
    auto at = std::lower_bound(m_rows.begin(), m_rows.end(), row);
    for (auto it = at; it != m_rows.end(); ++it)
        *it += count;
    std::vector<int> added(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k)
        added[static_cast<std::size_t>(k)] = row + k;
    m_rows.insert(at, added.begin(), added.end());
}

void ShownRows::rowsRemoved(const std::vector<int> &removed)
{
    if (!m_active || removed.empty())
        return;
    std::size_t out = 0;
    std::size_t gone = 0;
    for (const int r : m_rows) {
        while (gone < removed.size() && removed[gone] < r)
            ++gone;
        if (gone < removed.size() && removed[gone] == r)
            continue;
        m_rows[out++] = r - static_cast<int>(gone);
    }
    m_rows.resize(out);
}

void ShownRows::rowsRemoved(int first, int count)
{
    if (!m_active || count <= 0)
        return;
    std::vector<int> removed(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k)
        removed[static_cast<std::size_t>(k)] = first + k;
    rowsRemoved(removed);
}

} // namespace quorvex
