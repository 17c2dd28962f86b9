#include "ListDocument.h"

#include <algorithm>
#include <string>

namespace quorvex {

ListDocument::ListDocument() : ListDocument(DesignColCount, DesignRowCount) {}

ListDocument::ListDocument(int colCount, int rowCount)
{
    SetColCount(colCount);
    SetRowCount(rowCount);
}

std::string_view ListDocument::cellView(int col, int row) const
{
    if (!validCell(col, row))
        return {};
    return m_rows[static_cast<std::size_t>(row)].cell(col);
}

void ListDocument::SetCell(int col, int row, std::string_view text)
{
    if (!validCell(col, row))
        return;
    CellRow &cells = m_rows[static_cast<std::size_t>(row)];
    cells = cells.withCell(col, text);
}

void ListDocument::SetRowCount(int n)
{
    n = std::max(n, 2);
    // Dropped rows are destroyed here, so a later growth shows empty rows.
    m_rows.resize(static_cast<std::size_t>(n));
    clampCurrent();
}

void ListDocument::SetColCount(int n)
{
    n = std::max(n, 2);
    if (n < m_colCount) {
        for (CellRow &cells : m_rows)
            if (cells.storedCount() > n)
                cells = cells.truncated(n);
    }
    m_colCount = n;
    m_colWidths.resize(static_cast<std::size_t>(n), DefaultColWidth);
    clampCurrent();
}

void ListDocument::ClearRow(int row)
{
    if (row >= 0 && row < RowCount())
        m_rows[static_cast<std::size_t>(row)] = CellRow();
}

void ListDocument::ClearColumn(int col)
{
    if (col < 0 || col >= m_colCount)
        return;
    for (CellRow &cells : m_rows)
        if (!cells.cell(col).empty())
            cells = cells.withCell(col, {});
}

int ListDocument::ColWidth(int col) const
{
    if (col < 0 || col >= m_colCount)
        return DefaultColWidth;
    return m_colWidths[static_cast<std::size_t>(col)];
}

void ListDocument::SetColWidth(int col, int width)
{
    if (col >= 0 && col < m_colCount)
        m_colWidths[static_cast<std::size_t>(col)] = width;
}

void ListDocument::SetCurrentCell(int col, int row)
{
    m_col = std::clamp(col, 1, m_colCount - 1);
    m_row = std::clamp(row, 1, RowCount() - 1);
    m_selection = {m_col, m_row, m_col, m_row};
}

void ListDocument::SelectRange(int left, int top, int right, int bottom)
{
    const int lastCol = m_colCount - 1;
    const int lastRow = RowCount() - 1;
    left = std::clamp(left, 1, lastCol);
    right = std::clamp(right, 1, lastCol);
    top = std::clamp(top, 1, lastRow);
    bottom = std::clamp(bottom, 1, lastRow);
    m_col = right;
    m_row = bottom;
    m_selection = {std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
}

void ListDocument::SetSelectionRect(const CellRect &rect)
{
    const int lastCol = m_colCount - 1;
    const int lastRow = RowCount() - 1;
    CellRect r{std::clamp(std::min(rect.Left, rect.Right), 1, lastCol),
               std::clamp(std::min(rect.Top, rect.Bottom), 1, lastRow),
               std::clamp(std::max(rect.Left, rect.Right), 1, lastCol),
               std::clamp(std::max(rect.Top, rect.Bottom), 1, lastRow)};
    if (!r.contains(m_col, m_row))
        r = {m_col, m_row, m_col, m_row};
    m_selection = r;
}

void ListDocument::clampCurrent()
{
    if (m_colCount < 2 || m_rows.size() < 2)
        return;
    const int lastCol = m_colCount - 1;
    const int lastRow = RowCount() - 1;
    m_col = std::clamp(m_col, 1, lastCol);
    m_row = std::clamp(m_row, 1, lastRow);
    m_selection.Left = std::clamp(m_selection.Left, 1, lastCol);
    m_selection.Right = std::clamp(m_selection.Right, 1, lastCol);
    m_selection.Top = std::clamp(m_selection.Top, 1, lastRow);
    m_selection.Bottom = std::clamp(m_selection.Bottom, 1, lastRow);
    if (!m_selection.contains(m_col, m_row))
        m_selection = {m_col, m_row, m_col, m_row};
}

void ListDocument::permuteRows(int first, const std::vector<int> &from)
{
    std::vector<CellRow> moved(from.size());
    for (std::size_t k = 0; k < from.size(); ++k)
        moved[k] = std::move(m_rows[static_cast<std::size_t>(first + from[k])]);
    for (std::size_t k = 0; k < from.size(); ++k)
        m_rows[static_cast<std::size_t>(first) + k] = std::move(moved[k]);
}

void ListDocument::setRowAt(int row, CellRow cells)
{
    if (row < 0 || row >= RowCount())
        return;
    if (cells.storedCount() > m_colCount)
        cells = cells.truncated(m_colCount);
    m_rows[static_cast<std::size_t>(row)] = std::move(cells);
}

void ListDocument::insertRowAt(int row)
{
    row = std::clamp(row, 0, RowCount());
    m_rows.insert(m_rows.begin() + row, CellRow());
}

void ListDocument::removeRows(int row, int count)
{
    if (row < 0 || count <= 0 || row >= RowCount())
        return;
    count = std::min(count, RowCount() - row);
    count = std::min(count, RowCount() - 2);
    if (count <= 0)
        return;
    m_rows.erase(m_rows.begin() + row, m_rows.begin() + row + count);
    clampCurrent();
}

void ListDocument::moveRow(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= RowCount() || to >= RowCount())
        return;
    auto first = m_rows.begin();
    if (from < to)
        std::rotate(first + from, first + from + 1, first + to + 1);
    else
        std::rotate(first + to, first + from, first + from + 1);
}

void ListDocument::moveColumn(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= m_colCount || to >= m_colCount)
        return;
    std::vector<std::string_view> cells;
    for (CellRow &row : m_rows) {
        const int lo = std::min(from, to);
        if (row.storedCount() <= lo)
            continue;
        cells.assign(static_cast<std::size_t>(m_colCount), std::string_view());
        for (int c = 0; c < m_colCount; ++c)
            cells[static_cast<std::size_t>(c)] = row.cell(c);
        auto first = cells.begin();
        if (from < to)
            std::rotate(first + from, first + from + 1, first + to + 1);
        else
            std::rotate(first + to, first + from, first + from + 1);
        row = CellRow::fromCells(cells);
    }
    auto w = m_colWidths.begin();
    if (from < to)
        std::rotate(w + from, w + from + 1, w + to + 1);
    else
        std::rotate(w + to, w + from, w + from + 1);
}

void ListDocument::RenumberPages(int entriesPerPage)
{
    const int n = std::max(entriesPerPage, 1);
    int page = 1;
    std::string label;
    const int rows = RowCount();
    for (int r = 1; r < rows; ++r) {
        CellRow &cells = m_rows[static_cast<std::size_t>(r)];
        if ((r - 1) % n == 0) {
            label = " " + std::to_string(page);
            ++page;
            if (cells.cell(0) != label)
                cells = cells.withCell(0, label);
        } else if (!cells.cell(0).empty()) {
            cells = cells.withCell(0, {});
        }
    }
}

int pageCeil(double count, int entriesPerPage)
{
    const double q = count / static_cast<double>(std::max(entriesPerPage, 1));
    const double t = static_cast<double>(static_cast<long long>(q));
    return static_cast<int>(t) + (t < q ? 1 : 0);
}

int ListDocument::CountPages(int entriesPerPage) const
{
    return pageCeil(RowCount() - 1, entriesPerPage);
}

int ListDocument::SelectedPage(int entriesPerPage) const
{
    return pageCeil(m_row, entriesPerPage);
}

void ListDocument::copyCellsFrom(const ListDocument &source)
{
    if (this == &source)
        return;
    // Assigning the shared rows empties every old row first, as a full copy would.
    m_rows = source.m_rows;
    m_colCount = source.m_colCount;
    m_colWidths = source.m_colWidths;
    m_encoding = source.m_encoding;
    clampCurrent();
}

bool ListDocument::sameCells(const ListDocument &other) const
{
    if (RowCount() != other.RowCount() || m_colCount != other.m_colCount || m_colWidths != other.m_colWidths ||
        m_encoding != other.m_encoding)
        return false;
    for (int r = 0; r < RowCount(); ++r) {
        const CellRow &a = m_rows[static_cast<std::size_t>(r)];
        const CellRow &b = other.m_rows[static_cast<std::size_t>(r)];
        if (a.sharesBlockWith(b))
            continue;
        const int n = std::max(a.storedCount(), b.storedCount());
        for (int c = 0; c < n; ++c)
            if (a.cell(c) != b.cell(c))
                return false;
    }
    return true;
}

std::size_t ListDocument::heapBytes() const
{
    std::size_t total = m_rows.capacity() * sizeof(CellRow) + m_colWidths.capacity() * sizeof(int);
    for (const CellRow &row : m_rows)
        total += row.heapBytes();
    return total;
}

} // namespace quorvex
