#include "CellTextSession.h"

#include "document/core/Editor.h"

#include <exception>

namespace quorvex {

std::string CellTextSession::flattenForCell(std::string text)
{
    for (char &c : text)
        if (c == '\r' || c == '\n' || c == '\t')
            c = ' ';
    return text;
}

std::string CellTextSession::show()
{
    const ListDocument &doc = m_editor.document();
    std::string text = doc.GetCell(doc.Col(), doc.Row());
    m_lengthPanel = lengthText(static_cast<int>(text.size()));
    m_saveEnabled = false;
    m_undoEnabled = false;
    m_redoEnabled = false;
    m_closeMark = false;
    m_snapshotTaken = false;
    return text;
}

void CellTextSession::textChanged(int length)
{
    m_saveEnabled = true;
    m_lengthPanel = lengthText(length);
    m_undoEnabled = true;
    m_redoEnabled = false;
}

void CellTextSession::selectionChanged(int selectedLength)
{
    m_selectionPanel = selectedLengthText(selectedLength);
}

void CellTextSession::lengthChanged(int length)
{
    m_lengthPanel = lengthText(length);
}

void CellTextSession::undoClicked()
{
    m_redoEnabled = true;
    m_undoEnabled = false;
}

void CellTextSession::redoClicked()
{
    m_redoEnabled = false;
    m_undoEnabled = true;
}

std::string CellTextSession::save(const std::string &boxText, bool *ok)
{
    EditorView &view = m_editor.view();
    ListDocument &doc = m_editor.document();
    view.setCursorShape(CursorShape::Busy);
    bool saved = true;
    try {
        const int x = doc.Col();
        const int y = doc.Row();
        m_editor.MarkModified();
        if (!m_snapshotTaken) {
            UndoHistory &undo = m_editor.undoHistory();
            undo.setSavedCellText(doc.GetCell(x, y));
            // Skipped while the snapshot already holds earlier typing in this cell.
            m_editor.backupCells();
            undo.setCaption(UndoCaption);
            undo.setEnabled(true, false);
            view.menuStateChanged();
            m_snapshotTaken = true;
        }
        doc.SetCell(x, y, flattenForCell(boxText));
        m_editor.currentCellRewritten();
        view.documentChanged();
        m_saveEnabled = false;
        m_undoEnabled = false;
        m_redoEnabled = false;
    } catch (const std::exception &e) {
        view.setCursorShape(CursorShape::Normal);
        m_editor.services().messages.showException(e.what());
        m_editor.services().messages.error("Error saving text to the grid.");
        saved = false;
    }
    const std::string reloaded = doc.GetCell(doc.Col(), doc.Row());
    if (saved)
        m_lengthPanel = lengthText(static_cast<int>(reloaded.size()));
    view.showCellPreview(doc.Col(), doc.Row());
    view.setCursorShape(CursorShape::Normal);
    if (ok)
        *ok = saved;
    return reloaded;
}

bool CellTextSession::closeWindow(const std::string &boxText)
{
    if (m_saveEnabled) {
        const MessageAnswer answer = m_editor.services().messages.confirm("Save changes?", MessageButtons::YesNoCancel);
        if (answer == MessageAnswer::Cancel)
            return false;
        if (answer == MessageAnswer::Yes) {
            bool saved = false;
            save(boxText, &saved);
            // Closing after a failed save would throw the edits away.
            if (!saved)
                return false;
        }
    }
    m_closeMark = true;
    return true;
}

bool CellTextSession::frameClose(const std::string &boxText)
{
    if (m_closeMark)
        return true;
    return closeWindow(boxText);
}

} // namespace quorvex
