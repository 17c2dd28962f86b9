#pragma once

#include "SortOptions.h"

#include <chrono>

namespace quorvex {

class Editor;
class ProgressWindow;

// The Sort command after its options dialog closed with OK: sets up the
// progress window, takes the undo snapshot under "&Undo Sort", sorts every
// data row with progress, pause and cancel, and sets the window's result back
// to OK. The caller refreshes the preview afterwards in every case.
class SortCommand {
public:
    static constexpr const char *UndoCaption = "&Undo Sort";

    SortCommand(Editor &editor, ProgressWindow &window);
    // ResultOk when the sort finished, ResultAborted when it was cancelled,
    // ResultFailed after an error was shown.
    int run(const SortOptions &options);

    // Progress texts are written (and events run) at a progress point only
    // when this much time has passed since the last time they were; nobody
    // can see the texts in between. Zero writes them at every point.
    void setProgressInterval(std::chrono::milliseconds interval) { m_interval = interval; }

private:
    bool progressPoint(int i, int end);

    Editor &m_editor;
    ProgressWindow &m_window;
    std::chrono::milliseconds m_interval{25};
    std::chrono::steady_clock::time_point m_lastReport;
};

} // namespace quorvex
