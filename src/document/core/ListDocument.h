#pragma once

#include "CellRow.h"
#include "platform/core/TextEncoding.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex {

struct CellRect {
    int Left = 1;
    int Top = 1;
    int Right = 1;
    int Bottom = 1;
    bool contains(int col, int row) const { return col >= Left && col <= Right && row >= Top && row <= Bottom; }
    bool operator==(const CellRect &o) const
    {
        return Left == o.Left && Top == o.Top && Right == o.Right && Bottom == o.Bottom;
    }
};

// The one table of cell texts that the program edits: 8-bit Windows-1252, or
// UTF-8 for a Unicode list (textEncoding()).
// Row 0 holds the column headers, column 0 the page numbers; the data cells
// are rows 1.. and columns 1... Rows are stored as shared packed blocks so
// that copying a whole document (the undo snapshot) costs one pointer per row.
class ListDocument {
public:
    static constexpr int DefaultColWidth = 50;
    static constexpr int DesignColCount = 9;
    static constexpr int DesignRowCount = 2;

    ListDocument();
    ListDocument(int colCount, int rowCount);

    TextEncoding textEncoding() const { return m_encoding; }
    // Only says how the bytes are read; converting the texts is the caller's work.
    void setTextEncoding(TextEncoding e) { m_encoding = e; }

    int RowCount() const { return static_cast<int>(m_rows.size()); }
    int ColCount() const { return m_colCount; }

    // Out-of-range coordinates read as "" and are ignored on write.
    std::string GetCell(int col, int row) const { return std::string(cellView(col, row)); }
    std::string_view cellView(int col, int row) const;
    void SetCell(int col, int row, std::string_view text);

    void SetRowCount(int n);
    void SetColCount(int n);
    void ClearRow(int row);
    void ClearColumn(int col);

    int ColWidth(int col) const;
    void SetColWidth(int col, int width);
    const std::vector<int> &colWidths() const { return m_colWidths; }

    int RowHeight() const { return m_rowHeight; }
    void SetRowHeight(int h) { m_rowHeight = h; }

    int Col() const { return m_col; }
    int Row() const { return m_row; }
    // Moves the current cell and collapses the selection onto it.
    void SetCurrentCell(int col, int row);
    CellRect Selection() const { return m_selection; }
    // Selects from the starting corner (left, top) to the current cell (right, bottom).
    void SelectRange(int left, int top, int right, int bottom);
    // Sets the selection rectangle without moving the current cell (grid drags).
    void SetSelectionRect(const CellRect &rect);

    // Whole-row access for bulk operations (loading, undo, row moves).
    const CellRow &rowAt(int row) const { return m_rows[static_cast<std::size_t>(row)]; }
    void setRowAt(int row, CellRow cells);
    // Inserts an empty row before `row` / removes `count` rows starting at `row`.
    void insertRowAt(int row);
    void removeRows(int row, int count);
    // Reorders rows first.. whole: row first + k takes the row that stood at
    // first + from[k]. Nothing is copied; `from` must be a permutation.
    void permuteRows(int first, const std::vector<int> &from);
    // Moves one row from `from` to `to`, shifting those between by one.
    void moveRow(int from, int to);
    // Moves one column (all rows, header included, and its width).
    void moveColumn(int from, int to);

    void RenumberPages(int entriesPerPage);
    int CountPages(int entriesPerPage) const;
    int SelectedPage(int entriesPerPage) const;

    // The copy of the undo snapshot: counts, every cell, every width and the
    // text encoding.
    // Current cell, selection and row height are not part of it.
    void copyCellsFrom(const ListDocument &source);
    bool sameCells(const ListDocument &other) const;

    std::size_t heapBytes() const;

private:
    void clampCurrent();
    bool validCell(int col, int row) const
    {
        return col >= 0 && row >= 0 && col < m_colCount && row < RowCount();
    }

    std::vector<CellRow> m_rows;
    std::vector<int> m_colWidths;
    int m_colCount = 0;
    int m_rowHeight = 18;
    int m_col = 1;
    int m_row = 1;
    CellRect m_selection;
    TextEncoding m_encoding = TextEncoding::Windows1252;
};

// Ceiling division in floating point as the page counts are defined.
int pageCeil(double count, int entriesPerPage);

} // namespace quorvex
