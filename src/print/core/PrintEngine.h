#pragma once

#include "PageSelection.h"
#include "PrintLayout.h"
#include "document/core/ListDocument.h"
#include "document/core/PageSetup.h"

#include <functional>
#include <string>
#include <vector>

namespace quorvex {

class MessageService;
class PageRenderer;
class PrintDevice;
class ProgressReporter;
class ProgressWindow;

// What one print job prints and how; fixed when the job starts.
struct PrintJob {
    PageSetup setup;
    PageSelection selection;
    PrintMetrics metrics;
    std::string listName = "Unnamed new list";
    std::string date;
};

// Runs print jobs page by page on the user-interface thread: the status bar
// and the progress window show where it is, and the progress window's Pause
// and Cancel act at the start of every page.
class PrintEngine {
public:
    static constexpr const char *SendError = "Error sending data to the printer. Please make sure a printer is installed.";
    static constexpr const char *DialogError = "Error executing the print dialog. Please make sure a printer is installed.";
    static constexpr const char *ConfigureError = "Error configuring the printer. Please make sure a printer is installed.";
    static constexpr const char *CopyError = "Error copying the grid to the print grid buffer.";
    static constexpr const char *Cancelled = "Printing cancelled.";
    static constexpr const char *JobSent = "100% - Print job sent.";
    static constexpr const char *PageFlip = " - Paused for page flip.";
    // Printing over a read-only file asks as the export does.
    static constexpr const char *ReadOnlyQuestion =
        "The PDF file being saved is read-only. Do you want Quorvex.exe to make this file write able?";
    static constexpr const char *NotPrinted = "List NOT printed.";
    static constexpr const char *MakeWritableFailed =
        "Quorvex.exe was unable to make the PDF file write able. Please make sure it is not on a write protected "
        "disk.";

    PrintEngine(MessageService &messages, ProgressReporter &status, ProgressWindow &window);

    // How a pause waits for the user: by default it lets pending events run.
    // The window passes a wait that sleeps in the event loop until something happens.
    std::function<void()> waitForEvents;

    bool busy() const { return m_busy; }

    // One job over a snapshot of `doc` taken when the printer is chosen.
    // 0 printed, 1 failed after a message, 5 nothing to do (not OK, dialog
    // cancelled, a read-only file kept, another job running), 10 cancelled
    // by the user.
    int printList(const ListDocument &doc, const PrintJob &job, PrintDevice &device, PageRenderer &renderer);

    // The print grid of the page whose first row is `firstRow`: the header row and
    // `entries` rows of the first `columns` data columns; rows past the list stay empty.
    static ListDocument copyPageToPrintGrid(const ListDocument &doc, long long firstRow, int entries, int columns);

    // The rows a job prints, fixed when it starts: row 0, the widths and the
    // rows of each distinct page, page after page.
    struct JobRows {
        ListDocument rows;
        std::vector<int> pages;        // ascending, each once
        std::vector<int> firstRow;     // in `rows`, for each of `pages`
        // -1 for a page that is not in the list.
        long long firstRowOf(int page) const;
    };
    static JobRows snapshotPages(const ListDocument &doc, const std::vector<int> &pages, int entries);

private:
    int run(const ListDocument &doc, const PrintJob &job, PrintDevice &device, PageRenderer &renderer);
    void failed(const std::string &text);

    MessageService &m_messages;
    ProgressReporter &m_status;
    ProgressWindow &m_window;
    bool m_busy = false;
};

} // namespace quorvex
