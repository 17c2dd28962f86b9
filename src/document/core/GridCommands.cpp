#include "GridCommands.h"

#include "document/core/Editor.h"
#include "document/core/AttachmentRef.h"

#include <algorithm>
#include <vector>

namespace quorvex {

namespace {

// The stored cells of a row as views, padded with "" to at least `count`.
void rowViews(const CellRow &row, int count, std::vector<std::string_view> &views)
{
    const int n = std::max(row.storedCount(), count);
    views.assign(static_cast<std::size_t>(n), std::string_view());
    for (int c = 0; c < row.storedCount(); ++c)
        views[static_cast<std::size_t>(c)] = row.cell(c);
}

// Where an index lands when the item at `from` moves to `to`, as the grid moves its current cell.
int moveAdjust(int pos, int from, int to)
{
    if (pos == from)
        return to;
    if (from < to && pos > from && pos <= to)
        return pos - 1;
    if (from > to && pos >= to && pos < from)
        return pos + 1;
    return pos;
}

// Removes the given data rows (ascending, each once) in one pass, the
// others keeping their order; at least one data row stays.
void removeRowSet(ListDocument &doc, const std::vector<int> &rows)
{
    const int count = doc.RowCount();
    std::size_t next = 0;
    int out = rows.empty() ? count : rows.front();
    for (int r = out; r < count; ++r) {
        if (next < rows.size() && rows[next] == r) {
            ++next;
            continue;
        }
        doc.setRowAt(out++, doc.rowAt(r));
    }
    const int col = doc.Col();
    const int row = doc.Row();
    doc.SetRowCount(std::max(out, 2));
    // The current cell stays at its number: the row that followed the deleted ones moved there.
    doc.SetCurrentCell(col, std::min(row, doc.RowCount() - 1));
}

} // namespace

GridCommands::GridCommands(Editor &editor) : m_editor(editor), m_clipboard(editor) {}

void GridCommands::record(const char *caption)
{
    m_editor.StartUndoableChange(caption);
}

void GridCommands::preview()
{
    const ListDocument &doc = m_editor.document();
    m_editor.view().showCellPreview(doc.Col(), doc.Row());
}

void GridCommands::cellSelected(int col, int row)
{
    m_editor.cellSelected(col, row);
}

void GridCommands::selectCell(int col, int row)
{
    ListDocument &doc = m_editor.document();
    col = std::clamp(col, 1, doc.ColCount() - 1);
    row = std::clamp(row, 1, doc.RowCount() - 1);
    cellSelected(col, row);
    doc.SetCurrentCell(col, row);
}

void GridCommands::cellEdited()
{
    UndoHistory &undo = m_editor.undoHistory();
    if (undo.snapshotCurrent())
        return;
    m_editor.backupCells();
    undo.setCaption("&Undo Cell Edit");
    m_editor.view().menuStateChanged();
}

void GridCommands::NewRow(bool wizardShowing)
{
    m_editor.view().endCellEditing();
    BusyCursor busy(m_editor.view());
    if (!wizardShowing)
        record("&Undo New Row");
    m_editor.MarkModified();
    ListDocument &doc = m_editor.document();
    doc.SetRowCount(doc.RowCount() + 1);
    const int last = doc.RowCount() - 1;
    m_editor.shownRows().rowsInserted(last, 1);
    selectCell(doc.Col(), last);
    doc.ClearRow(last);
    selectCell(1, last);
    m_editor.finishChange();
}

void GridCommands::InsertRow()
{
    m_editor.view().endCellEditing();
    BusyCursor busy(m_editor.view());
    record("&Undo Insert Row");
    m_editor.MarkModified();
    // The rows below move down as whole blocks; the page column is rewritten afterwards.
    ListDocument &doc = m_editor.document();
    doc.insertRowAt(doc.Row());
    m_editor.shownRows().rowsInserted(doc.Row(), 1);
    m_editor.currentCellRewritten();
    m_editor.finishChange();
}

bool GridCommands::DeleteSelectedRows()
{
    m_editor.view().endCellEditing();
    BusyCursor busy(m_editor.view());
    ListDocument &doc = m_editor.document();
    ShownRows &shown = m_editor.shownRows();
    bool changed = false;
    if (shown.active()) {
        const CellRect s = doc.Selection();
        std::vector<int> rows = shown.rowsIn(s.Top, s.Bottom);
        // As without a filter: with every shown row selected the first one stays.
        if (!rows.empty() && static_cast<int>(rows.size()) == shown.count())
            rows.erase(rows.begin());
        if (!rows.empty() && doc.RowCount() >= 3) {
            m_editor.MarkModified();
            record("&Undo Delete Selected Row(s)");
            // The current cell keeps its place among the shown rows, as it keeps its row number without a filter.
            const int place = shown.indexOf(doc.Row());
            removeRowSet(doc, rows);
            shown.rowsRemoved(rows);
            if (place >= 0 && shown.count() > 0)
                doc.SetCurrentCell(doc.Col(), shown.documentRow(std::min(place, shown.count() - 1)));
            m_editor.keepCurrentCellShown();
            m_editor.currentCellRewritten();
            changed = true;
        }
    } else if (doc.RowCount() >= 3) {
        m_editor.MarkModified();
        record("&Undo Delete Selected Row(s)");
        const CellRect s = doc.Selection();
        const int n = s.Bottom - s.Top + 1;
        // With every data row selected the first one stays, keeping its texts.
        if (s.Top == 1 && s.Bottom == doc.RowCount() - 1)
            doc.removeRows(2, n - 1);
        else
            doc.removeRows(s.Top, n);
        m_editor.currentCellRewritten();
        changed = true;
    }
    // The deletion menus' states depend on the new counts.
    m_editor.finishChange();
    m_editor.view().menuStateChanged();
    return changed;
}

void GridCommands::NewColumn(const HeaderTextDialog &dialog)
{
    m_editor.view().endCellEditing();
    {
        BusyCursor busy(m_editor.view());
        record("&Undo New Column");
        m_editor.MarkModified();
        ListDocument &doc = m_editor.document();
        doc.SetColCount(doc.ColCount() + 1);
        const int last = doc.ColCount() - 1;
        selectCell(last, doc.Row());
        doc.ClearColumn(last);
        m_editor.RenumberPages();
        m_editor.RefreshStatusBar();
        m_editor.view().documentChanged();
    }
    m_newColumnMode = true;
    EditColumnHeader(dialog);
    preview();
}

void GridCommands::InsertColumn(const HeaderTextDialog &dialog)
{
    m_editor.view().endCellEditing();
    {
        BusyCursor busy(m_editor.view());
        record("&Undo Insert Column");
        m_editor.MarkModified();
        ListDocument &doc = m_editor.document();
        const int cur = doc.Col();
        const std::vector<int> oldWidths = doc.colWidths();
        doc.SetColCount(doc.ColCount() + 1);
        std::vector<std::string_view> views;
        for (int r = 0; r < doc.RowCount(); ++r) {
            const CellRow row = doc.rowAt(r);
            if (row.storedCount() <= cur)
                continue;
            rowViews(row, 0, views);
            views.insert(views.begin() + cur, std::string_view());
            doc.setRowAt(r, CellRow::fromCells(views));
        }
        for (int c = doc.ColCount() - 1; c > cur; --c)
            doc.SetColWidth(c, oldWidths[static_cast<std::size_t>(c - 1)]);
        doc.SetColWidth(cur, oldWidths[static_cast<std::size_t>(cur - 1)]);
        m_editor.currentCellRewritten();
        m_editor.RefreshStatusBar();
        m_editor.RenumberPages();
        m_editor.view().documentChanged();
    }
    m_newColumnMode = true;
    EditColumnHeader(dialog);
    preview();
}

bool GridCommands::DeleteSelectedColumns()
{
    m_editor.view().endCellEditing();
    BusyCursor busy(m_editor.view());
    ListDocument &doc = m_editor.document();
    bool changed = false;
    if (doc.ColCount() >= 3) {
        m_editor.MarkModified();
        record("&Undo Delete Selected Column(s)");
        const CellRect s = doc.Selection();
        const int n = s.Right - s.Left + 1;
        // With every data column selected the first one stays, keeping its texts.
        const bool all = s.Left == 1 && s.Right == doc.ColCount() - 1;
        const int first = all ? 2 : s.Left;
        const int count = all ? n - 1 : n;
        std::vector<std::string_view> views;
        for (int r = 0; r < doc.RowCount(); ++r) {
            const CellRow row = doc.rowAt(r);
            if (row.storedCount() <= first)
                continue;
            rowViews(row, 0, views);
            const auto end = views.begin() + std::min<int>(first + count, static_cast<int>(views.size()));
            views.erase(views.begin() + first, end);
            doc.setRowAt(r, CellRow::fromCells(views));
        }
        std::vector<int> widths = doc.colWidths();
        widths.erase(widths.begin() + first, widths.begin() + first + count);
        doc.SetColCount(doc.ColCount() - count);
        for (int c = 0; c < doc.ColCount(); ++c)
            doc.SetColWidth(c, widths[static_cast<std::size_t>(c)]);
        m_editor.currentCellRewritten();
        changed = true;
    }
    // The deletion menus' states depend on the new counts.
    m_editor.finishChange();
    m_editor.view().menuStateChanged();
    return changed;
}

void GridCommands::EditColumnHeader(const HeaderTextDialog &dialog)
{
    m_editor.view().endCellEditing();
    const ListDocument &doc = m_editor.document();
    std::optional<std::string> answer;
    if (dialog)
        answer = dialog(doc.GetCell(doc.Col(), 0));
    applyHeaderText(answer);
}

void GridCommands::applyHeaderText(const std::optional<std::string> &text)
{
    ListDocument &doc = m_editor.document();
    if (text && *text != doc.cellView(doc.Col(), 0)) {
        if (!m_newColumnMode) {
            record("&Undo Edit Column Header");
            m_editor.MarkModified();
        }
        doc.SetCell(doc.Col(), 0, *text);
        m_editor.view().documentChanged();
    }
    m_newColumnMode = false;
}

void GridCommands::MoveColumn()
{
    m_editor.services().messages.plain(MoveColumnMessage);
}

void GridCommands::rowDragged(int from, int to)
{
    ListDocument &doc = m_editor.document();
    // Under a filter the neighbours of a shown row may be hidden: where it would land is unclear.
    if (m_editor.shownRows().active())
        return;
    if (from == to || from < 1 || to < 1 || from >= doc.RowCount() || to >= doc.RowCount())
        return;
    m_editor.view().endCellEditing();
    // Snapshot first and then move: the same result as moving the snapshot back afterwards.
    m_editor.undoHistory().setSavedCellText(doc.GetCell(doc.Col(), doc.Row()));
    m_editor.undoHistory().setSnapshotCurrent(false);
    m_editor.MarkModified();
    m_editor.backupCells();
    doc.moveRow(from, to);
    doc.SetCurrentCell(doc.Col(), moveAdjust(doc.Row(), from, to));
    m_editor.undoHistory().setCaption("&Undo Move Row");
    m_editor.RenumberPages();
    m_editor.view().documentChanged();
    m_editor.view().menuStateChanged();
    preview();
}

void GridCommands::columnDragged(int from, int to)
{
    ListDocument &doc = m_editor.document();
    if (from == to || from < 1 || to < 1 || from >= doc.ColCount() || to >= doc.ColCount())
        return;
    m_editor.view().endCellEditing();
    m_editor.undoHistory().setSavedCellText(doc.GetCell(doc.Col(), doc.Row()));
    m_editor.undoHistory().setSnapshotCurrent(false);
    m_editor.MarkModified();
    m_editor.backupCells();
    doc.moveColumn(from, to);
    doc.SetCurrentCell(moveAdjust(doc.Col(), from, to), doc.Row());
    m_editor.undoHistory().setCaption("&Undo Move Column");
    m_editor.RenumberPages();
    m_editor.view().documentChanged();
    m_editor.view().menuStateChanged();
    preview();
}

void GridCommands::Delete()
{
    m_editor.view().endCellEditing();
    BusyCursor busy(m_editor.view());
    ListDocument &doc = m_editor.document();
    const CellRect s = doc.Selection();
    m_editor.MarkModified();
    record(m_cutMark ? "&Undo Cut" : "&Undo Delete");
    m_cutMark = false;
    std::vector<std::string_view> views;
    for (const int r : m_editor.shownRows().rowsIn(s.Top, s.Bottom)) {
        const CellRow row = doc.rowAt(r);
        if (row.storedCount() <= s.Left)
            continue;
        rowViews(row, 0, views);
        const int end = std::min(s.Right, static_cast<int>(views.size()) - 1);
        for (int c = s.Left; c <= end; ++c)
            views[static_cast<std::size_t>(c)] = std::string_view();
        doc.setRowAt(r, CellRow::fromCells(views));
    }
    m_editor.currentCellRewritten();
    m_editor.view().documentChanged();
    preview();
}

void GridCommands::Cut()
{
    m_cutMark = true;
    // A failed copy must not lose the cells it could not put on the clipboard.
    if (m_clipboard.Copy() != ResultOk) {
        m_cutMark = false;
        return;
    }
    Delete();
}

void GridCommands::SelectColumn()
{
    m_editor.view().endCellEditing();
    ListDocument &doc = m_editor.document();
    const int fromRow = doc.Row();
    doc.SelectRange(doc.Col(), 1, doc.Col(), doc.RowCount() - 1);
    m_clipboard.rangeSelected(doc.Col(), fromRow);
    m_editor.view().documentChanged();
    preview();
}

void GridCommands::SelectAll()
{
    m_editor.view().endCellEditing();
    ListDocument &doc = m_editor.document();
    const int fromCol = doc.Col();
    const int fromRow = doc.Row();
    doc.SelectRange(1, 1, doc.ColCount() - 1, doc.RowCount() - 1);
    m_clipboard.rangeSelected(fromCol, fromRow);
    m_editor.view().documentChanged();
    preview();
}

bool GridCommands::run(GridAction action)
{
    if (action == GridAction::None || action == GridAction::OpenAttachment || action == GridAction::OpenEditor)
        return false;
    if (m_actionEnabled && !m_actionEnabled(action))
        return false;
    switch (action) {
    case GridAction::Paste: m_clipboard.Paste(); break;
    case GridAction::Copy: m_clipboard.Copy(); break;
    case GridAction::Cut: Cut(); break;
    case GridAction::SelectAll: SelectAll(); break;
    case GridAction::Undo: m_editor.Undo(); break;
    case GridAction::Delete: Delete(); break;
    case GridAction::NewRowFromTab:
        NewRow();
        selectCell(1, m_editor.document().Row());
        break;
    default: return false;
    }
    return true;
}

void GridCommands::apply(const GridEventDecision &decision)
{
    if (decision.takeCellEditSnapshot)
        cellEdited();
    if (decision.markModified)
        m_editor.MarkModified();
    run(decision.action);
    if (decision.refreshStatusBar)
        m_editor.RefreshStatusBar();
    if (decision.previewRefresh)
        preview();
    if (decision.previewCell)
        m_editor.view().showCellPreview(decision.previewCell->first, decision.previewCell->second);
}

GridEventDecision GridCommands::keyDown(const KeyInput &key, bool editorOpen)
{
    const ListDocument &doc = m_editor.document();
    GridEventDecision d;
    if (!editorOpen) {
        d.action = GridKeyRules::shortcutAction(key, editorOpen);
        run(d.action);
        m_editor.RefreshStatusBar();
    }
    const bool attachment = AttachmentRef::IsAttachmentCell(doc, doc.Col(), doc.Row());
    d.inPlaceEditing = !attachment;
    d.swallow = attachment && key.key == GridKey::Enter;
    if (GridKeyRules::isTabOnLastCell(doc, key)) {
        d.swallow = true;
        d.action = GridAction::NewRowFromTab;
        run(d.action);
    }
    return d;
}

GridEventDecision GridCommands::keyUp(const KeyInput &key, bool editorOpen)
{
    GridEventDecision d = GridKeyRules::keyUp(m_editor.document(), key, editorOpen);
    apply(d);
    return d;
}

void GridCommands::keyPress(char ch, bool editorOpen)
{
    apply(GridKeyRules::keyPress(ch, editorOpen, m_editor.undoHistory().snapshotCurrent()));
}

} // namespace quorvex
