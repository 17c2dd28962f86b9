#pragma once

#include "listfile/core/TextListImport.h"

#include <cstddef>
#include <string>

namespace quorvex {

class Editor;

// File > Import Text List: a text file becomes a new, unsaved list of the
// chosen type in the editor, undone in one step.
class TextImportCommand {
public:
    static constexpr const char *UndoCaption = "&Undo Import";
    static constexpr const char *FileFilter =
        "Text Lists|*.csv;*.txt;*.tsv;*.CSV;*.TXT;*.TSV|All Files (*.*)|*";

    // Returns 0 after the import, 1 after an error message (the list is untouched).
    // Text holding characters a Windows-1252 list cannot hold is offered as a
    // Unicode list first (limits.target Utf8 makes one without asking).
    static int importFile(Editor &editor, const std::string &path, const std::string &listType,
                          const TextImportLimits &limits = TextImportLimits());
    static std::string unicodeQuestion(std::size_t count);
};

} // namespace quorvex
