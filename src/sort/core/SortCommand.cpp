// Placeholder until the sort engine lands: walks the progress points of a sort
// over the data rows without moving any row, so the progress window and its
// buttons can be used end to end.
#include "SortCommand.h"

#include "document/core/Editor.h"
#include "platform/core/ProgressWindow.h"

#include <chrono>
#include <thread>

namespace quorvex {

SortCommand::SortCommand(Editor &editor, ProgressWindow &window) : m_editor(editor), m_window(window) {}

int SortCommand::run(const SortOptions &)
{
    ProgressReporter &progress = m_editor.services().progress;
    m_window.start(std::string(), nullptr);
    m_window.setUpperText("Loading sort routine...");
    progress.pumpEvents();
    const int end = m_editor.document().RowCount();
    for (int i = 1; i < end - 1; ++i) {
        if (i % 5 != 0)
            continue;
        const int pct = static_cast<int>(static_cast<double>(i) / (end - 1) * 100);
        const std::string text =
            std::to_string(pct) + "% - Sorting row " + std::to_string(i) + " of " + std::to_string(end - 1);
        progress.setProgress(pct, text);
        m_window.setUpperText(text);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        progress.pumpEvents();
        while (m_window.isPaused())
            progress.pumpEvents();
        if (m_window.result() == ProgressWindow::Result::Cancel) {
            m_window.hide();
            m_editor.services().messages.information("Sorting cancelled.");
            m_window.setResult(ProgressWindow::Result::Ok);
            return ResultAborted;
        }
    }
    progress.setProgress(0, "100% - Sorting finished.");
    m_window.finish("100% - Sorting finished.", false);
    m_window.setResult(ProgressWindow::Result::Ok);
    return ResultOk;
}

} // namespace quorvex
