#pragma once

#include "ListDocument.h"

#include <string>

namespace quorvex {

// One-level undo: a snapshot of the whole document taken before a change,
// and the redo copy kept while the change is undone.
class UndoHistory {
public:
    static constexpr const char *ResetCaption = "&Undo";

    // Takes the snapshot unless it already holds the state before the change now
    // going on. Throws what the copy throws (out of memory); the caller reports it.
    void backupCells(const ListDocument &document);
    // Forgets the saved state and copies `document` fresh, as after a cell was selected.
    void startChange(const ListDocument &document, const std::string &caption);

    // Both return false when there is nothing to undo or redo.
    bool undo(ListDocument &document);
    bool redo(ListDocument &document);

    // After a list was opened or made: the snapshot holds it, nothing to undo.
    void reset(const ListDocument &document);

    bool undoEnabled() const { return m_undoEnabled; }
    bool redoEnabled() const { return m_redoEnabled; }
    // Both menu items disabled, as printing does, without touching the copies.
    void disableBoth() { m_undoEnabled = m_redoEnabled = false; }
    void setEnabled(bool undo, bool redo) { m_undoEnabled = undo; m_redoEnabled = redo; }
    const std::string &caption() const { return m_caption; }
    void setCaption(const std::string &caption) { m_caption = caption; }

    bool snapshotCurrent() const { return m_snapshotCurrent; }
    void setSnapshotCurrent(bool current) { m_snapshotCurrent = current; }
    const std::string &savedCellText() const { return m_savedCellText; }
    void setSavedCellText(std::string text) { m_savedCellText = std::move(text); }
    // The cell selected: what it holds now is what an undo returns it to.
    void cellSelected(const ListDocument &document, int col, int row);

    const ListDocument &snapshot() const { return m_snapshot; }
    ListDocument &snapshot() { return m_snapshot; }
    const ListDocument &redoCopy() const { return m_redo; }

private:
    ListDocument m_snapshot;
    ListDocument m_redo;
    std::string m_caption = ResetCaption;
    std::string m_savedCellText;
    bool m_undoEnabled = false;
    bool m_redoEnabled = false;
    bool m_snapshotCurrent = false;
};

} // namespace quorvex
