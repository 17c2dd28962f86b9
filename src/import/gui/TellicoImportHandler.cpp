#include "TellicoImportHandler.h"

#include "import/core/ImportCommand.h"
#include "listfile/core/ListFileCommands.h"
#include "platform/core/AppConstants.h"
#include "platform/core/FileDialogService.h"

namespace quorvex {

int TellicoImportHandler::ImportTellicoBtnClick(Editor &editor, ListFileCommands &files, FileDialogService &dialogs)
{
    if (!files.ConfirmSaveChanges())
        return ResultAborted;
    const std::optional<std::string> path = dialogs.openFile(ImportCommand::TellicoFilter, std::string());
    if (!path)
        return ResultAborted;
    return ImportCommand::importTellico(editor, *path);
}

} // namespace quorvex
