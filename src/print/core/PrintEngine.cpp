#include "PrintEngine.h"

#include "PageRenderer.h"
#include "PrintDevice.h"
#include "document/core/ListDocument.h"
#include "platform/core/AppConstants.h"
#include "platform/core/FileSystem.h"
#include "platform/core/MessageService.h"
#include "platform/core/ProgressReporter.h"
#include "platform/core/ProgressWindow.h"

#include <algorithm>
#include <exception>

namespace quorvex {

PrintEngine::PrintEngine(MessageService &messages, ProgressReporter &status, ProgressWindow &window)
    : m_messages(messages), m_status(status), m_window(window)
{
}

ListDocument PrintEngine::copyPageToPrintGrid(const ListDocument &doc, long long firstRow, int entries, int columns)
{
    ListDocument grid(columns, entries + 1);
    grid.setTextEncoding(doc.textEncoding());
    std::vector<std::string_view> cells(static_cast<std::size_t>(columns));
    // One block per row: the print grid's column k is the list's column k + 1.
    const auto copyRow = [&](int to, int from) {
        const CellRow &source = doc.rowAt(from);
        for (int k = 0; k < columns; ++k)
            cells[static_cast<std::size_t>(k)] = source.cell(k + 1);
        grid.setRowAt(to, CellRow::fromCells(cells));
    };
    for (int k = 0; k < columns; ++k)
        grid.SetColWidth(k, doc.ColWidth(k + 1));
    if (doc.RowCount() > 0)
        copyRow(0, 0);
    for (int i = 1; i <= entries; ++i) {
        const long long row = firstRow + i - 1;
        if (row < 1 || row >= doc.RowCount())
            break;
        copyRow(i, static_cast<int>(row));
    }
    return grid;
}

PrintEngine::JobRows PrintEngine::snapshotPages(const ListDocument &doc, const std::vector<int> &pages, int entries)
{
    JobRows job;
    const long long dataRows = doc.RowCount() - 1;
    const int total = PrintLayout::totalPages(dataRows, entries);
    for (int p : pages)
        if (p >= 1 && p <= total)
            job.pages.push_back(p);
    std::sort(job.pages.begin(), job.pages.end());
    job.pages.erase(std::unique(job.pages.begin(), job.pages.end()), job.pages.end());

    // Row 0 and the widths as they are; then the rows of each printed page,
    // once per page however often the job prints it.
    std::size_t count = 1;
    for (int p : job.pages) {
        const long long first = PrintLayout::firstRowOfPage(p, entries);
        count += static_cast<std::size_t>(std::max(0LL, std::min<long long>(first + entries, dataRows + 1) - first));
    }
    job.rows = ListDocument(doc.ColCount(), static_cast<int>(count));
    job.rows.setTextEncoding(doc.textEncoding());
    for (int c = 0; c < doc.ColCount(); ++c)
        job.rows.SetColWidth(c, doc.ColWidth(c));
    if (doc.RowCount() > 0)
        job.rows.setRowAt(0, doc.rowAt(0));
    int at = 1;
    for (int p : job.pages) {
        job.firstRow.push_back(at);
        const long long first = PrintLayout::firstRowOfPage(p, entries);
        const long long last = std::min<long long>(first + entries, dataRows + 1);
        for (long long r = first; r < last; ++r)
            job.rows.setRowAt(at++, doc.rowAt(static_cast<int>(r)));
    }
    return job;
}

long long PrintEngine::JobRows::firstRowOf(int page) const
{
    const auto it = std::lower_bound(pages.begin(), pages.end(), page);
    if (it == pages.end() || *it != page)
        return -1;
    return firstRow[static_cast<std::size_t>(it - pages.begin())];
}

void PrintEngine::failed(const std::string &text)
{
    m_messages.error(text);
    m_status.setProgress(0, text);
    m_window.resume();
    m_window.finish(text, true);
}

int PrintEngine::printList(const ListDocument &doc, const PrintJob &job, PrintDevice &device, PageRenderer &renderer)
{
    // One job at a time: events run while a job prints, and a second one
    // would share the progress window and the printer.
    if (m_busy || !job.selection.accepted)
        return ResultSkipped;
    m_busy = true;
    struct Release {
        bool &flag;
        ~Release() { flag = false; }
    } release{m_busy};
    return run(doc, job, device, renderer);
}

int PrintEngine::run(const ListDocument &doc, const PrintJob &job, PrintDevice &device, PageRenderer &renderer)
{
    switch (device.choosePrinter()) {
    case PrintDevice::DialogResult::Failed: m_messages.error(DialogError); return ResultFailed;
    case PrintDevice::DialogResult::Cancelled: return ResultSkipped;
    case PrintDevice::DialogResult::Accepted: break;
    }
    // The PDF replaces the file by a rename, which a read-only file does not
    // stop: ask first, as the export does.
    const std::string file = device.outputFile();
    if (!file.empty() && FileSystem::exists(file) && FileSystem::isReadOnly(file)) {
        if (m_messages.confirm(ReadOnlyQuestion) != MessageAnswer::Yes) {
            m_messages.plain(NotPrinted);
            return ResultSkipped;
        }
        if (!FileSystem::makeWritable(file)) {
            m_messages.error(MakeWritableFailed);
            return ResultFailed;
        }
    }

    const int entries = job.setup.entriesPerPage();
    const PageSelection &sel = job.selection;
    const std::vector<int> pages = sel.pageList();
    const std::size_t n = pages.size();
    // The rows of the chosen pages as they are now: the grid stays editable
    // while pages go out. Only those rows: a copy of every row would delay the
    // first page of a long list for nothing.
    const JobRows snapshot = snapshotPages(doc, pages, entries);
    const ListDocument &rows = snapshot.rows;

    const std::string empty;
    m_window.start(empty, &empty);
    m_status.pumpEvents();

    if (!device.setLandscape(job.setup.landscape))
        m_messages.error(ConfigureError);

    const int columns = PrintLayout::fittingColumns(rows, job.metrics, job.setup.landscape, job.setup.leftIndent);
    std::vector<int> widths;
    for (int c = 1; c <= columns; ++c)
        widths.push_back(rows.ColWidth(c));
    const PageGeometry geometry = PrintLayout::geometry(widths, entries, job.metrics, job.setup);

    if (!device.begin()) {
        failed(device.failureText(SendError));
        return ResultFailed;
    }
    bool documentOpen = true;
    int pagesInDocument = 0;
    bool flipped = false;
    const auto waitOnce = [this] {
        if (waitForEvents)
            waitForEvents();
        else
            m_status.pumpEvents();
    };

    for (std::size_t j = 0; j < n; ++j) {
        const int page = pages[j];
        m_status.pumpEvents();
        const int pct = static_cast<int>(static_cast<long long>(j) * 100 / static_cast<long long>(n));
        const std::string text = std::to_string(pct) + "% - Sending page " + std::to_string(j + 1) + " of " +
                                 std::to_string(n) + " to printer.";
        m_status.setProgress(pct, text);
        m_window.setUpperText(text);
        m_status.pumpEvents();

        if (m_window.isPaused()) {
            if (sel.oddsFirst)
                m_window.setUpperText(text + PageFlip);
            while (m_window.isPaused() && m_window.result() != ProgressWindow::Result::Cancel)
                waitOnce();
        }
        if (m_window.result() == ProgressWindow::Result::Cancel) {
            if (documentOpen)
                device.abort();
            m_window.hide();
            m_messages.plain(Cancelled);
            m_window.setResult(ProgressWindow::Result::Ok);
            return ResultAborted;
        }
        if (!documentOpen) {
            // The even pages of a split job go out as a job of their own.
            if (!device.begin()) {
                failed(device.failureText(SendError));
                return ResultFailed;
            }
            documentOpen = true;
            pagesInDocument = 0;
        }

        // A page past the last row has nothing to print.
        const long long first = snapshot.firstRowOf(page);
        if (first >= 1) {
            ListDocument grid(0, 0);
            try {
                grid = copyPageToPrintGrid(rows, first, entries, columns);
            } catch (const std::exception &e) {
                m_messages.showException(e.what());
                m_messages.error(CopyError);
            }
            m_status.pumpEvents();
            const std::string footer = PrintLayout::footerText(page, job.listName, job.date);
            bool sent = pagesInDocument == 0 || device.newPage();
            if (sent)
                sent = renderer.render(PageContent{page, grid, geometry, footer}) && device.sendPage();
            ++pagesInDocument;
            if (!sent)
                m_messages.error(device.failureText(SendError));
            m_window.setLowerText("100% - Page " + std::to_string(page) + " sent to printer.");
        }

        const bool hasNext = j + 1 < n;
        if (sel.rangeMode && sel.oddsFirst && hasNext && pages[j + 1] % 2 == 0 && !flipped) {
            flipped = true;
            // A cancel already pressed is honoured at the next page instead of
            // being replaced by a pause on a hidden window.
            if (m_window.result() != ProgressWindow::Result::Cancel) {
                if (device.splitsJobAtPause()) {
                    documentOpen = false;
                    if (!device.end()) {
                        failed(device.failureText(SendError));
                        return ResultFailed;
                    }
                }
                m_window.pause();
            }
        }
    }

    if (documentOpen && !device.end()) {
        failed(device.failureText(SendError));
        return ResultFailed;
    }
    m_status.setProgress(0, JobSent);
    m_window.resume();
    m_window.finish(JobSent, true);
    return ResultOk;
}

} // namespace quorvex
