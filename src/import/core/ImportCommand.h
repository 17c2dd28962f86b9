#pragma once

#include "import/core/CsvImportPlan.h"
#include "import/core/TellicoImport.h"

#include <string>

namespace quorvex {

class Editor;
class ListDocument;
class ProgressReporter;

// File > Import: a collection or a text becomes a new, unsaved Unicode list in
// the editor, undone in one step. Each returns 0 after the import, 1 after an
// error message (the list untouched), 2 when cancelled.
class ImportCommand {
public:
    static constexpr const char *UndoCaption = "&Undo Import";
    static constexpr const char *TellicoFilter = "Tellico Collections (*.tc)|*.tc;*.TC|All Files (*.*)|*";
    static constexpr const char *CsvFilter =
        "Text Lists|*.csv;*.txt;*.tsv;*.CSV;*.TXT;*.TSV|All Files (*.*)|*";

    // Pictures go into the editor's database folder.
    static int importTellico(Editor &editor, const std::string &path,
                             const TellicoImportLimits &limits = TellicoImportLimits());
    // `progress` (a window with Cancel) instead of the status bar when given.
    static int importCsv(Editor &editor, const CsvImportPlan &plan, const CsvImportOptions &options,
                         ProgressReporter *progress = nullptr);

private:
    static void adopt(Editor &editor, ListDocument &&list, const std::string &listType, int col);
};

} // namespace quorvex
