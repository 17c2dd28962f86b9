#pragma once

namespace quorvex {

class Editor;
class FileDialogService;
class ListFileCommands;

// File > Import > "Tellico Collection...": the save question, the collection
// file, then the import.
class TellicoImportHandler {
public:
    // 0 after an import, 1 after an error, 10 when cancelled.
    static int ImportTellicoBtnClick(Editor &editor, ListFileCommands &files, FileDialogService &dialogs);
};

} // namespace quorvex
