#include "NewListCommand.h"

#include "document/core/Editor.h"
#include "document/core/TextConversion.h"
#include "listfile/core/ListFileCommands.h"
#include "listfile/core/TemplateLists.h"

namespace quorvex {

NewListCommand::NewListCommand(Editor &editor, ListFileCommands &files) : m_editor(editor), m_files(files) {}

std::string NewListCommand::settingsPath() const
{
    return m_editor.paths().programFolder + NewListSettings::FileName;
}

std::string NewListCommand::templatePath(int kind) const
{
    if (kind < 0 || kind >= NewListSettings::KindCount)
        return std::string();
    return m_editor.paths().programFolder + "Templates/" +
           TemplateLists::kinds()[static_cast<std::size_t>(kind)].fileName;
}

bool NewListCommand::prepare()
{
    if (!m_files.ConfirmSaveChanges())
        return false;
    m_settings.load(settingsPath(), m_editor.services().messages);
    const bool first = m_firstCall;
    m_firstCall = false;
    return !first || m_settings.showOnStart;
}

void NewListCommand::createList()
{
    Editor &ed = m_editor;
    ListDocument &doc = ed.document();
    ed.view().endCellEditing();
    const TextEncoding before = doc.textEncoding();
    // Every row emptied, headers included; the column count stays.
    doc.SetRowCount(2);
    doc.ClearRow(0);
    doc.ClearRow(1);
    ed.listReplaced();
    if (m_settings.kind != NewListSettings::NoKind)
        m_files.loadTemplateSilently(templatePath(m_settings.kind));
    // Templates are Windows-1252; an emptied Unicode list must not stay one.
    TextConversion::convertDocument(doc, newListEncoding);
    std::size_t replaced = 0;
    const TextEncoding typeEncoding = m_settings.kind != NewListSettings::NoKind ? TextEncoding::Windows1252 : before;
    ed.listType = TextConversion::convertText(ed.listType, typeEncoding, newListEncoding, replaced);
    ed.statusBar().setText(1, "Selected row: " + std::to_string(doc.Row()));
    doc.SetCurrentCell(1, 1);
    m_settings.save(settingsPath(), ed.services().messages);
    makeNewListState();
}

void NewListCommand::makeNewListState()
{
    Editor &ed = m_editor;
    ListDocument &doc = ed.document();
    EditorView &view = ed.view();
    UndoHistory &undo = ed.undoHistory();
    ed.RenumberPages();
    ed.RefreshStatusBar();
    undo.setSavedCellText(doc.GetCell(1, 1));
    undo.setSnapshotCurrent(false);
    ed.backupCells();
    undo.setSnapshotCurrent(false);
    view.endCellEditing();
    undo.setCaption(UndoHistory::ResetCaption);
    undo.setEnabled(false, false);
    ed.saveListEnabled = false;
    ed.currentListFile.clear();
    if (m_files.afterOpen)
        m_files.afterOpen();
    view.setWindowTitle(NewListTitle);
    // The next snapshot must keep what the current cell holds now.
    ed.currentCellRewritten();
    view.documentChanged();
    view.menuStateChanged();
    BusyCursor starting(view, CursorShape::AppStarting);
    view.showCellPreview(doc.Col(), doc.Row());
}

} // namespace quorvex
