// Unicode lists against the same lists in Windows-1252: open, save and export
// of 1,000,000 x 9, a third of the cells in Greek, Cyrillic or Japanese. Each
// iteration times both kinds back to back, so a loaded machine slows both;
// the figure is the Unicode time over the Windows-1252 time (target 1.2), of
// the fastest round of each.
#include "BenchData.h"

#include "document/core/Editor.h"
#include "document/core/PageSetup.h"
#include "document/core/TextConversion.h"
#include "listfile/core/ListFileReader.h"
#include "listfile/core/ListFileWriter.h"
#include "platform/core/ClipboardService.h"
#include "platform/core/DesktopShell.h"
#include "platform/core/FileSystem.h"
#include "platform/core/MessageService.h"
#include "platform/core/ProgressReporter.h"
#include "print/core/ExportCommand.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

using namespace quorvex;

namespace {

constexpr int Rows = 1000000;

class Quiet final : public MessageService, public DesktopShell, public ClipboardService {
public:
    MessageAnswer show(MessageKind, const std::string &, MessageButtons) override { return MessageAnswer::Yes; }
    void showException(const std::string &) override {}
    bool openPath(const std::string &) override { return true; }
    bool openUrl(const std::string &) override { return true; }
    bool hasText() const override { return false; }
    std::string text() const override { return {}; }
    void setText(const std::string &) override {}
};

// The realistic list, every third cell replaced by a title of another script.
const ListDocument &unicodeList()
{
    static const ListDocument doc = [] {
        static const char *const titles[] = {
            "\xCE\x95\xCE\xBB\xCE\xAD\xCE\xBD\xCE\xB7 \xCE\xBA\xCE\xB1\xCE\xB9 \xCE\x96\xCF\x89\xCE\xAE",
            "\xD0\x9E\xD0\xB1\xD0\xBB\xD0\xBE\xD0\xBC\xD0\xBE\xD0\xB2 \xD0\x98\xD0\xBB\xD1\x8C\xD0\xB8\xD1\x87",
            "\xE4\xB8\x83\xE4\xBA\xBA\xE3\x81\xAE\xE4\xBE\x8D",
            "\xC5\x81\xC3\xB3\x64\xC5\xBA Story",
        };
        ListDocument d;
        bench::fillRealisticList(d, Rows);
        TextConversion::convertDocument(d, TextEncoding::Utf8);
        // Each row built once, in order, as a list read from a file lies in memory.
        std::vector<std::string> cells(static_cast<std::size_t>(d.ColCount()));
        for (int r = 1; r < d.RowCount(); ++r) {
            for (int c = 0; c < d.ColCount(); ++c)
                cells[static_cast<std::size_t>(c)] =
                    c > 0 && (r + c) % 3 == 0 ? titles[(r / 3 + c) % 4] : std::string(d.cellView(c, r));
            d.setRowAt(r, CellRow::fromCells(cells));
        }
        return d;
    }();
    return doc;
}

// The same list as Windows-1252 holds it ("?" for what it cannot hold).
const ListDocument &cp1252List()
{
    static const ListDocument doc = [] {
        ListDocument d = unicodeList();
        TextConversion::convertDocument(d, TextEncoding::Windows1252);
        return d;
    }();
    return doc;
}

std::string folder()
{
    static const std::string path = [] {
        char name[] = "/tmp/quorvex-unibench-XXXXXX";
        return ::mkdtemp(name) ? std::string(name) + "/" : std::string("/tmp/");
    }();
    return path;
}

double cpuSeconds()
{
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Times `work` for the Unicode list and for the Windows-1252 list in every
// iteration; reports the wall time of the Unicode list and both ratios.
void nothing()
{
}

template <typename Work, typename After>
void compare(benchmark::State &state, Work work, After after)
{
    double wall[2] = {0, 0}, cpu[2] = {0, 0};
    // The fastest round of each kind: on a shared machine the others only add
    // the waits of other processes.
    double fastest[2] = {1e30, 1e30}, fastestCpu[2] = {1e30, 1e30};
    // One untimed round first: whichever ran first would pay alone for the
    // process's first touch of that much memory.
    for (int k = 0; k < 2; ++k) {
        work(k == 0 ? unicodeList() : cp1252List(), k == 0);
        after();
    }
    int round = 0;
    for (auto _ : state) {
        // Each kind goes first every other round: neither profits from the order.
        for (int step = 0; step < 2; ++step) {
            const int k = (step + round) % 2;
            const ListDocument &doc = k == 0 ? unicodeList() : cp1252List();
            const double c0 = cpuSeconds();
            const auto t0 = std::chrono::steady_clock::now();
            if (!work(doc, k == 0))
                state.SkipWithError("the operation failed");
            const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
            const double cpuUsed = cpuSeconds() - c0;
            wall[k] += seconds;
            cpu[k] += cpuUsed;
            fastest[k] = std::min(fastest[k], seconds);
            fastestCpu[k] = std::min(fastestCpu[k], cpuUsed);
            if (k == 0)
                state.SetIterationTime(seconds);
            after();
        }
        ++round;
    }
    state.counters["ratio"] = fastest[0] / fastest[1];
    state.counters["cpu_ratio"] = fastestCpu[0] / fastestCpu[1];
    state.counters["mean_ratio"] = wall[0] / wall[1];
    state.counters["cp1252_ms"] = wall[1] * 1000 / static_cast<double>(state.iterations());
    state.counters["cpu_ms"] = cpu[0] * 1000 / static_cast<double>(state.iterations());
}

void BM_UnicodeListSave(benchmark::State &state)
{
    Quiet quiet;
    SilentProgress progress;
    PageSetup setup;
    const std::string type = "dvdmovie";
    compare(
        state,
        [&](const ListDocument &doc, bool unicode) {
            ListFileWriter writer(quiet, progress);
            return writer.save(folder() + (unicode ? "su.lstd" : "sw.lstd"), ListFileSource{doc, setup, type}) == 0;
        },
        nothing);
    // How much more there is to write: UTF-8 takes two or three bytes where Windows-1252 takes one.
    state.counters["bytes_ratio"] = static_cast<double>(FileSystem::fileSize(folder() + "su.lstd").value_or(0)) /
                                    static_cast<double>(FileSystem::fileSize(folder() + "sw.lstd").value_or(1));
    FileSystem::removeFile(folder() + "su.lstd");
    FileSystem::removeFile(folder() + "sw.lstd");
}
BENCHMARK(BM_UnicodeListSave)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(8);

void BM_UnicodeListOpen(benchmark::State &state)
{
    Quiet quiet;
    SilentProgress progress;
    PageSetup setup;
    const std::string type = "dvdmovie";
    {
        ListFileWriter writer(quiet, progress);
        writer.save(folder() + "u.lstd", ListFileSource{unicodeList(), setup, type});
        writer.save(folder() + "w.lstd", ListFileSource{cp1252List(), setup, type});
    }
    // Freeing the rows is no part of opening: that happens after the clock stops.
    std::unique_ptr<ListDocument> doc;
    compare(
        state,
        [&](const ListDocument &, bool unicode) {
            ListFileReader reader(quiet, progress);
            doc = std::make_unique<ListDocument>();
            PageSetup readSetup;
            std::string readType;
            return reader.readFile(folder() + (unicode ? "u.lstd" : "w.lstd"),
                                   ListFileTarget{*doc, readSetup, readType}) == 0 &&
                   doc->textEncoding() == (unicode ? TextEncoding::Utf8 : TextEncoding::Windows1252);
        },
        [&] { doc.reset(); });
    state.counters["bytes_ratio"] = static_cast<double>(FileSystem::fileSize(folder() + "u.lstd").value_or(0)) /
                                    static_cast<double>(FileSystem::fileSize(folder() + "w.lstd").value_or(1));
    FileSystem::removeFile(folder() + "u.lstd");
    FileSystem::removeFile(folder() + "w.lstd");
}
BENCHMARK(BM_UnicodeListOpen)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(8);

void BM_UnicodeListExport(benchmark::State &state)
{
    Quiet quiet;
    SilentProgress progress;
    Editor unicode(UiServices{quiet, progress, quiet, quiet});
    Editor cp1252(UiServices{quiet, progress, quiet, quiet});
    unicode.document() = unicodeList();
    cp1252.document() = cp1252List();
    const std::string out = folder() + "export.txt";
    compare(
        state,
        [&](const ListDocument &, bool isUnicode) {
            FileSystem::removeFile(out);
            ExportCommand(isUnicode ? unicode : cp1252).exportList(out);
            return FileSystem::fileSize(out).value_or(0) > 0;
        },
        [&] { FileSystem::removeFile(out); });
    FileSystem::removeFile(out);
}
BENCHMARK(BM_UnicodeListExport)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(4);

} // namespace
