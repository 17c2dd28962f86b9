// Printing a million-row list to PDF: pages per second at its start, middle and
// end, the first page's delay and the memory a job adds.
#include "core/BenchData.h"
#include "platform/core/MessageService.h"
#include "platform/core/ProgressReporter.h"
#include "print/core/NullProgressWindow.h"
#include "print/core/PrintEngine.h"
#include "print/gui/QPrinterDevice.h"
#include "print/gui/QtPageRenderer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPrinter>

#include <benchmark/benchmark.h>

#include <ctime>
#include <fstream>
#include <string>

using namespace quorvex;

namespace {

class QuietMessages final : public MessageService {
public:
    MessageAnswer show(MessageKind, const std::string &, MessageButtons) override { return MessageAnswer::Ok; }
    void showException(const std::string &) override {}
};

const ListDocument &millionRows()
{
    static ListDocument doc = [] {
        ListDocument d;
        bench::fillRealisticList(d, 1000000);
        for (int c = 1; c < 9; ++c)
            d.SetColWidth(c, 90);
        return d;
    }();
    return doc;
}

double threadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

long peakKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

void resetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

// A device that notes when the first page arrives.
class TimedDevice final : public PrintDevice {
public:
    TimedDevice(QPrinterDevice &inner, QElapsedTimer &clock) : m_inner(inner), m_clock(clock) {}
    DialogResult choosePrinter() override { return m_inner.choosePrinter(); }
    bool setLandscape(bool l) override { return m_inner.setLandscape(l); }
    bool begin() override
    {
        if (beginMs < 0)
            beginMs = static_cast<double>(m_clock.nsecsElapsed()) / 1e6;
        QElapsedTimer t;
        t.start();
        const bool ok = m_inner.begin();
        beginMs += static_cast<double>(t.nsecsElapsed()) / 1e6;
        return ok;
    }
    bool newPage() override { return m_inner.newPage(); }
    bool sendPage() override
    {
        QElapsedTimer t;
        t.start();
        const bool ok = m_inner.sendPage();
        sendMs += static_cast<double>(t.nsecsElapsed()) / 1e6;
        if (firstPageMs < 0) {
            firstPageMs = static_cast<double>(m_clock.nsecsElapsed()) / 1e6;
            firstSendMs = static_cast<double>(t.nsecsElapsed()) / 1e6;
        }
        return ok;
    }
    bool end() override { return m_inner.end(); }
    void abort() override { m_inner.abort(); }
    double firstPageMs = -1;
    double sendMs = 0;
    double firstSendMs = -1;
    // When the job opened the document, plus the time the opening took.
    double beginMs = -1;

private:
    QPrinterDevice &m_inner;
    QElapsedTimer &m_clock;
};

// Times the painting of each page image.
class TimedRenderer final : public PageRenderer {
public:
    explicit TimedRenderer(QtPageRenderer &inner) : m_inner(inner) {}
    bool render(const PageContent &page) override
    {
        QElapsedTimer t;
        t.start();
        const bool ok = m_inner.render(page);
        renderMs += static_cast<double>(t.nsecsElapsed()) / 1e6;
        if (firstRenderMs < 0)
            firstRenderMs = static_cast<double>(t.nsecsElapsed()) / 1e6;
        return ok;
    }
    double renderMs = 0;
    double firstRenderMs = -1;

private:
    QtPageRenderer &m_inner;
};

void printPages(benchmark::State &state, int firstPage)
{
    const ListDocument &doc = millionRows();
    // The program has painted its window before anyone prints: start the font
    // database and the PDF writer once outside the measurement.
    {
        QImage warm(64, 64, QImage::Format_RGB32);
        QPainter painter(&warm);
        painter.setFont(QFont(QStringLiteral("Arial"), 18));
        painter.drawText(2, 40, QStringLiteral("Warm"));
    }
    const std::string out = "/tmp/quorvex-print-bench.pdf";
    for (auto _ : state) {
        PrintJob job;
        job.selection.startPage = firstPage;
        job.selection.endPage = firstPage + 199;
        job.date = "Mar 7, 2008";
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(out));
        QtPageRenderer renderer(QFont(QStringLiteral("Arial"), 9));
        QPrinterDevice inner(printer, renderer, nullptr, false);
        QElapsedTimer clock;
        TimedDevice device(inner, clock);
        TimedRenderer timedRenderer(renderer);
        QuietMessages messages;
        SilentProgress progress;
        NullProgressWindow window;
        PrintEngine engine(messages, progress, window);
        resetPeak();
        const long before = peakKb();
        const double cpuBefore = threadCpuMs();
        clock.start();
        engine.printList(doc, job, device, timedRenderer);
        const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        // The machine is shared: the CPU time the job used is the figure that
        // does not depend on what else runs.
        state.counters["cpu_ms_per_page"] = (threadCpuMs() - cpuBefore) / 200;
        state.SetIterationTime(ms / 200 / 1000);
        state.counters["pages_per_s"] = 200 / (ms / 1000);
        state.counters["first_page_ms"] = device.firstPageMs;
        // Where the first page's delay goes: opening the document, painting, sending.
        state.counters["begin_ms"] = device.beginMs;
        state.counters["first_render_ms"] = timedRenderer.firstRenderMs;
        state.counters["first_send_ms"] = device.firstSendMs;
        state.counters["render_ms"] = timedRenderer.renderMs / 200;
        state.counters["send_ms"] = device.sendMs / 200;
        state.counters["peak_growth_mb"] = static_cast<double>(peakKb() - before) / 1024;
    }
    QFile::remove(QString::fromStdString(out));
}

void BM_PrintPdfPageStart(benchmark::State &state) { printPages(state, 1); }
void BM_PrintPdfPageMiddle(benchmark::State &state) { printPages(state, 9200); }
void BM_PrintPdfPageEnd(benchmark::State &state) { printPages(state, 18519 - 199); }

BENCHMARK(BM_PrintPdfPageStart)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_PrintPdfPageMiddle)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_PrintPdfPageEnd)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
