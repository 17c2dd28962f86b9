#pragma once

#include <optional>
#include <string>

namespace quorvex {

class Editor;

// File > Export List: the whole list as tab-separated text with CR row ends.
class ExportCommand {
public:
    static constexpr const char *Filter = "MS Excel Text File (*.txt)|*.txt|All Files (*.*)|*.*";
    static constexpr const char *DefaultName = "My List";
    static constexpr const char *DefaultExtension = ".txt";
    static constexpr const char *ReadOnlyQuestion =
        "The text file being saved is read-only. Do you want Quorvex.exe to make this file write able?";
    static constexpr const char *NotExported = "List NOT exported.";
    static constexpr const char *MakeWritableFailed =
        "Quorvex.exe was unable to make text file write able. Please make sure it is not on a write protected disk.";
    static constexpr const char *WriteFailed = "List was not exported. Please make sure the disk is not write protected.";
    static constexpr const char *ProgressSuffix = "% - Converting list to MS Excel format.";

    explicit ExportCommand(Editor &editor) : m_editor(editor) {}

    // Under a filter: only the shown rows are written.
    bool shownRowsOnly = false;

    // Exports to `path` (nothing when the dialog was cancelled). 0 written,
    // 5 not written at the user's answer, 1 failed after a message; the
    // former file is kept whole whenever nothing was written.
    int exportList(const std::optional<std::string> &path);

private:
    int write(const std::string &path);

    Editor &m_editor;
};

} // namespace quorvex
