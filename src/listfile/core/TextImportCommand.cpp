#include "TextImportCommand.h"

#include "document/core/Editor.h"
#include "document/core/ListDocument.h"
#include "platform/core/AppConstants.h"

#include <new>

namespace quorvex {

std::string TextImportCommand::unicodeQuestion(std::size_t count)
{
    return std::to_string(count) + (count == 1 ? " character" : " characters") +
           " of the text cannot be held in a Windows-1252 list and would become \"?\". Import the text as a "
           "Unicode list, which keeps every character?";
}

int TextImportCommand::importFile(Editor &editor, const std::string &path, const std::string &listType,
                                  const TextImportLimits &limits)
{
    editor.view().endCellEditing();
    ProgressReporter &progress = editor.services().progress;
    MessageService &messages = editor.services().messages;
    ListDocument imported(2, 2);
    TextListImport::Result result;
    auto run = [&](const TextImportLimits &used) {
        BusyCursor busy(editor.view());
        // The progress lets window events run: no other command may start meanwhile.
        editor.view().setFileOperationLock(true);
        try {
            result = TextListImport::importFile(path, imported, &progress, used);
        } catch (const std::bad_alloc &) {
            result.ok = false;
            result.error = "Not enough memory to import the text file:\n\n" + path;
        }
        editor.view().setFileOperationLock(false);
    };
    run(limits);
    // Text a Windows-1252 list cannot hold whole: a Unicode list keeps it.
    if (result.ok && result.replaced > 0 && limits.target == TextEncoding::Windows1252 &&
        messages.confirm(unicodeQuestion(result.unstorable)) == MessageAnswer::Yes) {
        TextImportLimits unicode = limits;
        unicode.target = TextEncoding::Utf8;
        run(unicode);
    }
    if (!result.ok) {
        progress.setProgress(0, "Import failed.");
        messages.error(result.error + "\n\n - ImportTextList()");
        return 1;
    }
    // The list before the import is the undo snapshot.
    editor.StartUndoableChange(UndoCaption);
    editor.MarkModified();
    editor.document() = std::move(imported);
    editor.listReplaced();
    TextListImport::fitColumnWidths(editor.document());
    editor.listType = listType;
    // A new list: Save asks for a name first.
    editor.currentListFile.clear();
    editor.saveListEnabled = false;
    editor.view().setWindowTitle("Quorvex");
    editor.document().SetCurrentCell(1, 1);
    editor.finishChange();
    progress.setProgress(0, "100% - complete. Import finished.");
    if (result.replaced > 0)
        messages.information(std::to_string(result.replaced) +
                             (result.replaced == 1 ? " character" : " characters") +
                             " of the text cannot be held in a list and became \"?\".");
    return 0;
}

} // namespace quorvex
