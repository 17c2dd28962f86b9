#include "GridSearch.h"

#include "document/core/AttachmentRef.h"
#include "document/core/Editor.h"
#include "document/core/LongOperationGuard.h"

#include <algorithm>
#include <chrono>

namespace quorvex {

namespace {

long long nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Window events run no more often than this during a Replace All run.
constexpr long long PumpIntervalNs = 25'000'000;

} // namespace

void GridSearch::SearchGrid(int startCol, int startRow)
{
    EditorView &view = m_editor.view();
    if (!m_replaceAllRunning)
        view.setCursorShape(CursorShape::AppStarting);
    const bool inLastHitCell = startCol == m_lastFoundCol && startRow == m_lastFoundRow;
    if (!inLastHitCell)
        m_matchStart = m_matchEnd = 0;
    const long long keptStart = m_matchStart;
    const long long keptEnd = m_matchEnd;
    const ListDocument &doc = m_editor.document();
    if (m_matcherText != textToFind || m_matcher.encoding() != doc.textEncoding()) {
        m_matcher = TextMatcher(textToFind, doc.textEncoding());
        m_matcherText = textToFind;
    }
    const TextMatcher &matcher = m_matcher;

    const int rows = doc.RowCount();
    const int cols = doc.ColCount();
    if (!matcher.empty()) {
        // Under a filter only the shown rows are searched.
        const ShownRows &shown = m_editor.shownRows();
        const auto shownFrom = [&shown](int r) { return r <= 0 ? 0 : shown.firstAtOrAfter(r); };
        for (int r = shownFrom(std::max(startRow, 0)); r < rows; r = shownFrom(r + 1)) {
            const CellRow &cells = doc.rowAt(r);
            // Cells past the stored ones are empty and hold no text to find.
            const int stored = std::min(cols, cells.storedCount());
            for (int c = r == startRow ? std::max(startCol, 0) : 1; c < stored; ++c) {
                const std::string_view text = cells.cell(c);
                if (AttachmentRef::isReference(text)) {
                    m_matchStart = m_matchEnd = 0;
                    continue;
                }
                if (options.entireCell) {
                    // Only the whole text counts: a cell already hit (matchEnd set) is
                    // never hit again by what is left of it.
                    if (m_matchEnd == 0 && matcher.equals(text)) {
                        hitFound(c, r, 1, static_cast<long long>(text.size()));
                        return;
                    }
                } else {
                    std::size_t length = 0;
                    const std::size_t at = matcher.findIn(text, static_cast<std::size_t>(m_matchEnd), length);
                    if (at != TextMatcher::npos) {
                        const auto start = static_cast<long long>(at) + 1;
                        hitFound(c, r, start, start + static_cast<long long>(length) - 1);
                        return;
                    }
                }
                m_matchStart = m_matchEnd = 0;
            }
            m_matchStart = m_matchEnd = 0;
        }
    }
    m_nextCol = cols;
    m_nextRow = rows;
    // The last hit stays where it was, so that searching again from its cell
    // does not start that cell over: the search never wraps.
    m_matchStart = inLastHitCell ? keptStart : 0;
    m_matchEnd = inLastHitCell ? keptEnd : 0;
    if (!m_replaceAllRunning) {
        view.setCursorShape(CursorShape::Normal);
        m_editor.services().messages.information(NotFoundText);
    }
    m_replaceAllRunning = false;
    m_found = false;
}

void GridSearch::hitFound(int col, int row, long long start, long long end)
{
    m_found = true;
    ListDocument &doc = m_editor.document();
    if (col != doc.Col() || row != doc.Row()) {
        // Moving the current cell is a selection like any other: the cell's text is
        // what an undo of a later edit there returns to.
        m_editor.cellSelected(col, row);
        doc.SetCurrentCell(col, row);
    }
    m_lastFoundCol = m_nextCol = col;
    m_lastFoundRow = m_nextRow = row;
    m_matchStart = start;
    m_matchEnd = end;
    if (m_replaceAllRunning)
        return;
    m_editor.view().setCursorShape(CursorShape::Normal);
    showCurrentCell();
    if (options.follow && m_hooks)
        m_hooks->followFoundCell(col, row);
}

void GridSearch::showCurrentCell()
{
    m_editor.view().documentChanged();
    m_editor.RefreshStatusBar();
}

void GridSearch::FindFirst()
{
    m_editor.view().endCellEditing();
    m_lastFoundCol = m_lastFoundRow = 0;
    SearchGrid(1, 1);
    const ListDocument &doc = m_editor.document();
    m_editor.view().showCellPreview(doc.Col(), doc.Row());
}

void GridSearch::FindNext()
{
    m_editor.view().endCellEditing();
    const ListDocument &doc = m_editor.document();
    SearchGrid(doc.Col(), doc.Row());
    m_editor.view().showCellPreview(doc.Col(), doc.Row());
}

void GridSearch::Replace()
{
    const ListDocument &doc = m_editor.document();
    if (!m_replaceAllRunning) {
        m_editor.view().endCellEditing();
        // Find the hit under the current cell again when the user stayed on it.
        m_matchEnd = std::max(m_matchStart - 1, 0LL);
        m_nextCol = doc.Col();
        m_nextRow = doc.Row();
    }
    SearchGrid(m_nextCol, m_nextRow);
    if (m_found) {
        MessageAnswer answer = MessageAnswer::Yes;
        if (options.prompt) {
            showCurrentCell();
            if (options.follow && m_hooks)
                m_hooks->followFoundCell(doc.Col(), doc.Row());
            answer = m_hooks ? m_hooks->askReplace()
                             : m_editor.services().messages.confirm(ReplaceQuestion, MessageButtons::YesNoCancel);
        }
        if (answer == MessageAnswer::Yes)
            replaceHit();
        else if (answer == MessageAnswer::Cancel)
            m_replaceAllRunning = false;
    }
    if (!m_replaceAllRunning)
        m_editor.view().showCellPreview(doc.Col(), doc.Row());
}

void GridSearch::replaceHit()
{
    if (!m_replaceAllRunning || !m_undoTaken) {
        m_editor.view().endCellEditing();
        // A fresh snapshot even when one is current (an earlier Replace), so that
        // Undo returns the list to what it was just before this replacement or run.
        m_editor.StartUndoableChange(m_replaceAllRunning ? UndoReplaceAllCaption : UndoReplaceCaption);
        m_undoTaken = true;
    }
    rewriteHitCell();
    m_editor.MarkModified();
    // The text saved for the next snapshot must be the new one.
    m_editor.currentCellRewritten();
    if (!m_replaceAllRunning)
        showCurrentCell();
}

void GridSearch::rewriteHitCell()
{
    ListDocument &doc = m_editor.document();
    const int col = m_lastFoundCol;
    const int row = m_lastFoundRow;
    const std::string_view text = doc.cellView(col, row);
    const auto size = static_cast<long long>(text.size());
    if (m_matchStart < 1 || m_matchEnd < m_matchStart - 1 || m_matchEnd > size)
        return;
    std::string out;
    out.reserve(text.size() + replaceWith.size());
    out.append(text.substr(0, static_cast<std::size_t>(m_matchStart - 1)));
    std::size_t lastInsert = out.size();
    out.append(replaceWith);
    std::size_t rest = static_cast<std::size_t>(m_matchEnd);
    ++m_replacements;
    // Without questions every later occurrence in this cell is replaced as well,
    // each search going on after the text just inserted; the cell is built once.
    if (m_replaceAllRunning && !options.prompt && !options.entireCell && !m_matcher.empty()) {
        std::size_t length = 0;
        for (std::size_t at = m_matcher.findIn(text, rest, length); at != TextMatcher::npos;
             at = m_matcher.findIn(text, rest, length)) {
            out.append(text.substr(rest, at - rest));
            lastInsert = out.size();
            out.append(replaceWith);
            rest = at + length;
            ++m_replacements;
        }
    }
    out.append(text.substr(rest));
    m_matchStart = static_cast<long long>(lastInsert) + 1;
    m_matchEnd = m_matchStart + static_cast<long long>(replaceWith.size()) - 1;
    doc.SetCell(col, row, out);
}

void GridSearch::pumpDuringRun()
{
    const long long now = nowNs();
    if (now - m_lastPumpNs < PumpIntervalNs)
        return;
    showCurrentCell();
    m_editor.services().progress.pumpEvents();
    m_lastPumpNs = nowNs();
}

long long GridSearch::ReplaceAll()
{
    // One run at a time, and none while another long operation changes the list.
    if (m_editor.longOperationRunning)
        return 0;
    LongOperationGuard running(m_editor);
    EditorView &view = m_editor.view();
    const ListDocument &doc = m_editor.document();
    m_replaceAllRunning = true;
    m_firstPass = true;
    m_undoTaken = false;
    m_replacements = 0;
    m_lastPumpNs = nowNs();
    view.endCellEditing();
    view.setCursorShape(CursorShape::AppStarting);
    while (m_replaceAllRunning) {
        if (m_firstPass) {
            m_matchEnd = std::max(m_matchStart - 1, 0LL);
            m_nextCol = doc.Col();
            m_nextRow = doc.Row();
        }
        Replace();
        pumpDuringRun();
        m_firstPass = false;
    }
    view.setCursorShape(CursorShape::Normal);
    m_matchEnd = std::max(m_matchStart - 1, 0LL);
    showCurrentCell();
    m_editor.services().messages.information(DoneText);
    view.showCellPreview(doc.Col(), doc.Row());
    return m_replacements;
}

} // namespace quorvex
