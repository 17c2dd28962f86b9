#include "SortCommand.h"

#include "SortEngine.h"
#include "document/core/Editor.h"
#include "document/core/LongOperationGuard.h"
#include "platform/core/AppConstants.h"
#include "platform/core/ProgressWindow.h"

#include <exception>
#include <string>
#include <thread>

namespace quorvex {

namespace {
const char *const FinishedText = "100% - Sorting finished.";
}

SortCommand::SortCommand(Editor &editor, ProgressWindow &window) : m_editor(editor), m_window(window) {}

bool SortCommand::progressPoint(int i, int end)
{
    ProgressReporter &progress = m_editor.services().progress;
    // Between reports the window's state cannot change (its buttons act only
    // while events run). The steady clock is read at every point, so the
    // window answers on time however long a step takes; the read costs
    // nanoseconds against a million rows' 200,000 points.
    const auto now = std::chrono::steady_clock::now();
    // A pause made while the sort prepared keeps its " - Paused." text.
    const bool pausedBefore = m_window.isPaused();
    const bool due = pausedBefore || m_window.result() == ProgressWindow::Result::Cancel ||
                     now - m_lastReport >= m_interval;
    if (due && pausedBefore) {
        while (m_window.isPaused()) {
            progress.pumpEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    } else if (due) {
        m_lastReport = now;
        const int pct = static_cast<int>(static_cast<double>(i) / static_cast<double>(end - 1) * 100.0);
        const std::string text =
            std::to_string(pct) + "% - Sorting row " + std::to_string(i) + " of " + std::to_string(end - 1);
        progress.setProgress(pct, text);
        m_window.setUpperText(text);
        progress.pumpEvents();
        while (m_window.isPaused()) {
            progress.pumpEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    if (m_window.result() == ProgressWindow::Result::Cancel) {
        m_editor.view().setCursorShape(CursorShape::Normal);
        m_window.hide();
        m_editor.services().messages.information("Sorting cancelled.");
        m_window.setResult(ProgressWindow::Result::Ok);
        return false;
    }
    return true;
}

int SortCommand::run(const SortOptions &options)
{
    LongOperationGuard guard(m_editor);
    m_window.start(std::string(), nullptr);

    UndoHistory &undo = m_editor.undoHistory();
    m_editor.backupCells();
    undo.setSnapshotCurrent(false);
    m_editor.MarkModified();
    undo.setCaption(UndoCaption);
    m_editor.view().menuStateChanged();

    ListDocument &doc = m_editor.document();
    ProgressReporter &progress = m_editor.services().progress;
    EditorView &view = m_editor.view();
    int result = ResultOk;
    try {
        view.setCursorShape(CursorShape::AppStarting);
        m_window.setUpperText("Loading sort routine...");
        progress.pumpEvents();
        m_lastReport = std::chrono::steady_clock::time_point(); // the first point reports

        const int end = doc.RowCount();
        // Events run while the sort prepares, too: a window that does not
        // answer for a second looks hung.
        const auto idle = [this, &progress] {
            const auto now = std::chrono::steady_clock::now();
            if (now - m_lastReport < m_interval)
                return;
            m_lastReport = now;
            progress.pumpEvents();
        };
        const bool finished = SortEngine::SortGrid(
            doc, options, 1, end, [this, end](int i) { return progressPoint(i, end); }, idle);
        if (finished) {
            progress.setProgress(0, FinishedText);
            // Enter closes the finished window.
            m_window.finish(FinishedText, true);
            view.setCursorShape(CursorShape::Normal);
        } else {
            result = ResultAborted;
        }
    } catch (const std::exception &e) {
        view.setCursorShape(CursorShape::Normal);
        m_editor.services().messages.showException(e.what());
        m_editor.services().messages.error("Error sorting the grid.");
        m_window.finish("Sort error.", false);
        result = ResultFailed;
    }
    m_window.setResult(ProgressWindow::Result::Ok);

    // The page column stays with the positions, and the status bar keeps the
    // sort's last text until its next refresh.
    m_editor.RenumberPages();
    // The whole list was sorted: a filter shows its rows in their new places.
    m_editor.reapplyFilter();
    view.documentChanged();
    view.statusBarChanged();
    m_editor.currentCellRewritten();
    return result;
}

} // namespace quorvex
