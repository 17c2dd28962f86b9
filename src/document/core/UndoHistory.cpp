#include "UndoHistory.h"

namespace quorvex {

void UndoHistory::backupCells(const ListDocument &document)
{
    if (m_snapshotCurrent)
        return;
    m_snapshot.copyCellsFrom(document);
    // Typing that already reached the current cell is not part of the snapshot.
    m_snapshot.SetCell(document.Col(), document.Row(), m_savedCellText);
    m_undoEnabled = true;
    m_redoEnabled = false;
    m_snapshotCurrent = true;
}

void UndoHistory::startChange(const ListDocument &document, const std::string &caption)
{
    m_savedCellText = document.GetCell(document.Col(), document.Row());
    m_snapshotCurrent = false;
    backupCells(document);
    m_caption = caption;
}

void UndoHistory::cellSelected(const ListDocument &document, int col, int row)
{
    m_savedCellText = document.GetCell(col, row);
    m_snapshotCurrent = false;
}

bool UndoHistory::undo(ListDocument &document)
{
    if (!m_undoEnabled)
        return false;
    m_redo.copyCellsFrom(document);
    document.copyCellsFrom(m_snapshot);
    m_undoEnabled = false;
    m_redoEnabled = true;
    // The current cell now holds another text (or is another cell after a shrink);
    // a later snapshot that keeps the saved text must not bring back the old one.
    m_savedCellText = document.GetCell(document.Col(), document.Row());
    // The next change, typing included, must take its own snapshot: that is what
    // disables Redo, so a later Redo cannot throw the new work away.
    m_snapshotCurrent = false;
    return true;
}

bool UndoHistory::redo(ListDocument &document)
{
    if (!m_redoEnabled)
        return false;
    document.copyCellsFrom(m_redo);
    m_undoEnabled = true;
    m_redoEnabled = false;
    m_savedCellText = document.GetCell(document.Col(), document.Row());
    m_snapshotCurrent = false;
    return true;
}

void UndoHistory::reset(const ListDocument &document)
{
    m_snapshot.copyCellsFrom(document);
    m_redo.copyCellsFrom(ListDocument());
    m_caption = ResetCaption;
    m_undoEnabled = false;
    m_redoEnabled = false;
}

} // namespace quorvex
