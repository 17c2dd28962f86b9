#include "ClipboardCommands.h"

#include "ExcelText.h"
#include "document/core/Editor.h"
#include "platform/core/UnicodeText.h"

#include <algorithm>
#include <exception>
#include <utility>
#include <vector>

namespace quorvex {

namespace {

// Collects the fields of one row and writes them as one new row block, so a
// large paste builds each row once instead of once per cell.
class PastedRowWriter {
public:
    explicit PastedRowWriter(ListDocument &doc) : m_doc(doc) {}

    void put(int col, int row, std::string_view text)
    {
        if (row != m_row)
            flush();
        m_row = row;
        m_fields.emplace_back(col, text);
    }

    void flush()
    {
        if (m_row < 0 || m_fields.empty()) {
            m_row = -1;
            return;
        }
        const CellRow existing = m_doc.rowAt(m_row);
        int count = existing.storedCount();
        for (const auto &f : m_fields)
            count = std::max(count, f.first + 1);
        m_views.assign(static_cast<std::size_t>(count), std::string_view());
        for (int c = 0; c < existing.storedCount(); ++c)
            m_views[static_cast<std::size_t>(c)] = existing.cell(c);
        for (const auto &f : m_fields)
            m_views[static_cast<std::size_t>(f.first)] = f.second;
        m_doc.setRowAt(m_row, CellRow::fromCells(m_views));
        m_fields.clear();
        m_row = -1;
    }

private:
    ListDocument &m_doc;
    int m_row = -1;
    std::vector<std::pair<int, std::string_view>> m_fields;
    std::vector<std::string_view> m_views;
};

} // namespace

void ClipboardCommands::rangeSelected(int fromCol, int fromRow)
{
    // The next snapshot writes the saved text into the current cell; after the
    // current cell moved without a cell selection it must be this cell's text,
    // or Undo would put another cell's text here.
    const ListDocument &doc = m_editor.document();
    if (doc.Col() != fromCol || doc.Row() != fromRow)
        m_editor.currentCellRewritten();
}

int ClipboardCommands::CopyCellsToClipboard(int left, int right, int bottom, int top)
{
    BusyCursor busy(m_editor.view());
    ProgressReporter &progress = m_editor.services().progress;
    try {
        const ListDocument &doc = m_editor.document();
        if (left > right)
            std::swap(left, right);
        if (top > bottom)
            std::swap(top, bottom);
        const ExcelTextProgress report{progress, m_editor.pageSetup().entriesPerPage(),
                                       "% - Copying to clipboard in MS Excel format."};
        const ShownRows &shown = m_editor.shownRows();
        std::string text;
        if (shown.active() && bottom >= 1) {
            // Only the shown rows, gathered into a list of their own; the header row
            // first when the rectangle starts there.
            const ListDocument picked = shown.shownList(top, bottom);
            const bool header = top == 0;
            const int last = picked.RowCount() - 1;
            // A list keeps one data row even when no shown row was in the rectangle.
            const int shownRows = static_cast<int>(shown.rowsIn(top, bottom).size());
            if (shownRows > 0 || header)
                text = ExcelText::formatExcelText(picked, header ? 0 : 1, shownRows > 0 ? last : 0, left, right,
                                                  ExcelText::ClipboardLineEnd, &report);
        } else {
            text = ExcelText::formatExcelText(doc, top, bottom, left, right, ExcelText::ClipboardLineEnd, &report);
        }
        m_editor.services().clipboard.setListText(text, doc.textEncoding());
        progress.setProgress(0, "100% - Copied to clipboard.");
        return ResultOk;
    } catch (const std::exception &e) {
        m_editor.view().setCursorShape(CursorShape::Normal);
        m_editor.services().messages.showException(e.what());
        m_editor.services().messages.error("Error copying the selection to the clipboard.");
        return ResultFailed;
    }
}

int ClipboardCommands::Copy()
{
    const CellRect s = m_editor.document().Selection();
    return CopyCellsToClipboard(s.Left, s.Right, s.Bottom, s.Top);
}

int ClipboardCommands::CopyAll()
{
    const ListDocument &doc = m_editor.document();
    const int result = CopyCellsToClipboard(1, doc.ColCount() - 1, doc.RowCount() - 1, 0);
    // Only a copy that happened is announced.
    if (result == ResultOk)
        m_editor.services().messages.plain("The entire list has been copied to the clipboard in MS Excel format.");
    return result;
}

int ClipboardCommands::Paste()
{
    m_editor.view().endCellEditing();
    m_editor.MarkModified();
    int result = ResultOk;
    bool recorded = false;
    {
        BusyCursor busy(m_editor.view());
        MessageService &messages = m_editor.services().messages;
        try {
            ClipboardService &clipboard = m_editor.services().clipboard;
            if (!clipboard.hasText()) {
                m_editor.view().setCursorShape(CursorShape::Normal);
                messages.error("Windows clipboard does not contain text.");
                result = ResultFailed;
            } else {
                const std::string text = clipboard.listText(m_editor.document().textEncoding());
                // savedCellText stays: typing in the current cell before the paste is undone with it.
                m_editor.undoHistory().setSnapshotCurrent(false);
                m_editor.backupCells();
                m_editor.undoHistory().setCaption(UndoPasteCaption);
                m_editor.view().menuStateChanged();
                recorded = true;
                const CellRect s = m_editor.document().Selection();
                if (s.Left == s.Right && s.Top == s.Bottom)
                    PasteAtCell(text, s.Left, s.Top);
                else
                    PasteIntoRange(text, s.Left, s.Right, s.Bottom, s.Top);
            }
        } catch (const std::exception &e) {
            m_editor.view().setCursorShape(CursorShape::Normal);
            messages.showException(e.what());
            messages.error("Error pasting from windows clipboard.");
            result = ResultFailed;
        }
    }
    // The next paste keeps the saved text: it must be what this paste left there.
    if (recorded)
        m_editor.currentCellRewritten();
    m_editor.RenumberPages();
    m_editor.view().documentChanged();
    if (result != ResultOk)
        m_editor.view().menuStateChanged();
    const ListDocument &doc = m_editor.document();
    m_editor.view().showCellPreview(doc.Col(), doc.Row());
    return result;
}

void ClipboardCommands::PasteAtCell(std::string_view text, int col, int row)
{
    const ListDocument &doc = m_editor.document();
    col = std::clamp(col, 1, doc.ColCount() - 1);
    row = std::clamp(row, 1, doc.RowCount() - 1);
    pasteWalk(text, col, row, nullptr);
}

void ClipboardCommands::PasteIntoRange(std::string_view text, int left, int right, int bottom, int top)
{
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
    const ListDocument &doc = m_editor.document();
    left = std::clamp(left, 1, doc.ColCount() - 1);
    right = std::clamp(right, 1, doc.ColCount() - 1);
    top = std::clamp(top, 1, doc.RowCount() - 1);
    bottom = std::clamp(bottom, 1, doc.RowCount() - 1);
    const CellRect clip{left, top, right, bottom};
    pasteWalk(text, left, top, &clip);
}

void ClipboardCommands::pasteWalk(std::string_view text, int col, int row, const CellRect *clip)
{
    ListDocument &doc = m_editor.document();
    if (text.empty())
        return;
    const bool hasTab = text.find('\t') != std::string_view::npos;
    const bool hasLineFeed = text.find('\n') != std::string_view::npos;
    if (!hasTab && !hasLineFeed) {
        doc.SetCell(col, row, text);
        return;
    }

    const int fromCol = doc.Col();
    const int fromRow = doc.Row();
    // Under a filter the text's rows go to the shown rows from `row` down, passing
    // the hidden ones; rows past the last shown one are added at the end as without it.
    ShownRows &shown = m_editor.shownRows();
    const int oldRowCount = doc.RowCount();
    const bool mapped = shown.active();
    const int shownCount = mapped ? shown.count() : 0;
    int startIndex = -1;
    if (mapped) {
        // A start on a hidden row (never from the grid) goes on from the next shown one.
        const int first = shown.firstAtOrAfter(row);
        startIndex = first < oldRowCount ? shown.indexOf(first) : shownCount;
    }
    const auto rowAt = [&](int k) {
        if (!mapped)
            return row + k;
        const int index = startIndex + k;
        return index < shownCount ? shown.documentRow(index) : oldRowCount + (index - shownCount);
    };
    PastedRowWriter writer(doc);
    const auto inside = [clip](int c, int r) { return !clip || (c <= clip->Right && r <= clip->Bottom); };
    const auto grow = [&doc, clip](int c, int r) {
        if (clip)
            return;
        if (c >= doc.ColCount())
            doc.SetColCount(c + 1);
        if (r >= doc.RowCount())
            doc.SetRowCount(r + 1);
    };
    const auto field = [text](std::size_t from, std::size_t to) {
        return from < to ? text.substr(from, to - from) : std::string_view();
    };

    // Linux programs end clipboard lines with LF alone; such a text (no CR
    // anywhere) takes LF as its row end. A CR LF text is walked as Windows wrote it.
    const bool lineFeedRows = hasLineFeed && text.find('\r') == std::string_view::npos;
    const bool unicode = doc.textEncoding() == TextEncoding::Utf8;
    const char rowEnd = lineFeedRows ? '\n' : '\r';
    const std::size_t rowEndLength = lineFeedRows ? 1 : 2;

    const std::size_t n = text.size();
    int c = col;
    int k = 0; // the text's row
    if (mapped)
        row = rowAt(0);
    int r = row;
    int mc = col;
    int mr = row;
    bool wrote = false;
    std::size_t s = 0;
    for (std::size_t j = 0; j < n; ++j) {
        if (clip && r > clip->Bottom)
            break; // nothing below the rectangle is written or counted
        const char ch = text[j];
        const bool last = j == n - 1;
        if (ch == '\t') {
            grow(c, r);
            if (inside(c, r)) {
                writer.put(c, r, field(s, j));
                // A row whose later fields fall outside the rectangle still was written.
                mr = std::max(mr, r);
            }
            s = j + 1;
            ++c;
            if (inside(c, r)) {
                mc = std::max(mc, c);
                mr = std::max(mr, r);
            }
        } else if (ch == rowEnd || (last && ch != '\n') || (last && s <= j)) {
            // A text from a program that ends its lines with LF alone ends with one:
            // it closes the last field instead of losing it.
            grow(c, r);
            if (inside(c, r)) {
                mr = std::max(mr, r);
                writer.put(c, r, ch == '\r' || ch == '\n' ? field(s, j) : field(s, j + 1));
                wrote = true;
            }
            // The character after a CR is taken for the LF of CR LF, whatever it is;
            // in a Unicode list the whole character, never the start of one.
            s = j + rowEndLength;
            if (unicode && !lineFeedRows && j + 1 < n) {
                std::size_t after = j + 1;
                UnicodeText::decode(text, after);
                s = after;
            }
            c = col;
            r = rowAt(++k);
        }
    }
    writer.flush();
    if (mapped && doc.RowCount() > oldRowCount)
        shown.rowsInserted(oldRowCount, doc.RowCount() - oldRowCount);

    if (hasTab) {
        doc.SelectRange(col, row, mc, mr);
        rangeSelected(fromCol, fromRow);
    } else if (wrote) {
        doc.SelectRange(col, row, col, mr);
        rangeSelected(fromCol, fromRow);
    }
}

} // namespace quorvex
