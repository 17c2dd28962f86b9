#pragma once

#include "SortOptions.h"

namespace quorvex {

class Editor;
class ProgressWindow;

// The Sort command after its options dialog closed with OK: sets up the
// progress window, takes the undo snapshot under "&Undo Sort", sorts every
// data row with progress, pause and cancel, and sets the window's result back
// to OK. The caller refreshes the preview afterwards in every case.
class SortCommand {
public:
    SortCommand(Editor &editor, ProgressWindow &window);
    // ResultOk when the sort finished, ResultAborted when it was cancelled,
    // ResultFailed after an error was shown.
    int run(const SortOptions &options);

private:
    Editor &m_editor;
    ProgressWindow &m_window;
};

} // namespace quorvex
