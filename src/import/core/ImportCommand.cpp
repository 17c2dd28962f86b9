#include "ImportCommand.h"

#include "document/core/Editor.h"
#include "document/core/ListDocument.h"
#include "listfile/core/TextListImport.h"
#include "platform/core/MessageService.h"
#include "platform/core/ProgressReporter.h"

#include <new>

namespace quorvex {

namespace {

// Holds the list while the progress lets window events run.
class FileOperationLock {
public:
    explicit FileOperationLock(Editor &editor) : m_editor(editor) { m_editor.view().setFileOperationLock(true); }
    ~FileOperationLock() { m_editor.view().setFileOperationLock(false); }
    FileOperationLock(const FileOperationLock &) = delete;
    FileOperationLock &operator=(const FileOperationLock &) = delete;

private:
    Editor &m_editor;
};

} // namespace

void ImportCommand::adopt(Editor &editor, ListDocument &&list, const std::string &listType, int col)
{
    // The list before the import is the undo snapshot.
    editor.StartUndoableChange(UndoCaption);
    editor.MarkModified();
    editor.document() = std::move(list);
    editor.listType = listType;
    // A new list: Save asks for a name first.
    editor.currentListFile.clear();
    editor.saveListEnabled = false;
    editor.view().setWindowTitle("Quorvex");
    editor.document().SetCurrentCell(col, 1);
    // Another list: a filter of the old one ends.
    editor.listReplaced();
    editor.finishChange();
}

int ImportCommand::importTellico(Editor &editor, const std::string &path, const TellicoImportLimits &limits)
{
    editor.view().endCellEditing();
    ProgressReporter &progress = editor.services().progress;
    MessageService &messages = editor.services().messages;
    ListDocument imported(2, 2);
    TellicoImport::Result result;
    {
        BusyCursor busy(editor.view());
        FileOperationLock lock(editor);
        try {
            result = TellicoImport::importFile(path, editor.paths().databaseFolder, imported, &progress, limits);
        } catch (const std::bad_alloc &) {
            result = TellicoImport::Result();
            result.error = "Not enough memory to import the collection:\n\n" + path;
        }
    }
    if (!result.ok) {
        progress.setProgress(0, "Import failed.");
        messages.error(result.error + "\n\n - ImportTellicoCollection()");
        return 1;
    }
    // The first cover shows in the preview straight away.
    adopt(editor, std::move(imported), result.listType, result.pictureColumn > 0 ? result.pictureColumn : 1);
    progress.setProgress(0, "100% - complete. Import finished.");
    if (result.picturesMissing > 0)
        messages.information(std::to_string(result.picturesMissing) +
                             (result.picturesMissing == 1 ? " picture the collection names is"
                                                          : " pictures the collection names are") +
                             " not in its file; those cells were left empty.");
    return 0;
}

int ImportCommand::importCsv(Editor &editor, const CsvImportPlan &plan, const CsvImportOptions &options,
                             ProgressReporter *window)
{
    editor.view().endCellEditing();
    ProgressReporter &progress = window ? *window : editor.services().progress;
    MessageService &messages = editor.services().messages;
    ListDocument imported(2, 2);
    CsvImportPlan::Result result;
    {
        BusyCursor busy(editor.view());
        FileOperationLock lock(editor);
        try {
            result = plan.build(options, imported, std::numeric_limits<std::size_t>::max(), &progress);
        } catch (const std::bad_alloc &) {
            result = CsvImportPlan::Result();
            result.error = "Not enough memory to import the text.";
        }
    }
    if (result.cancelled) {
        progress.setProgress(0, "Import cancelled.");
        return 2;
    }
    if (!result.ok) {
        progress.setProgress(0, "Import failed.");
        messages.error(result.error + "\n\n - ImportCsvText()");
        return 1;
    }
    adopt(editor, std::move(imported), options.listType, 1);
    progress.setProgress(0, "100% - complete. Import finished.");
    if (result.replaced > 0)
        messages.information(std::to_string(result.replaced) +
                             (result.replaced == 1 ? " byte was" : " bytes were") +
                             " not text in the chosen encoding and became the replacement character.");
    return 0;
}

} // namespace quorvex
