#include "BenchData.h"

#include "platform/core/FileSystem.h"
#include "platform/core/MessageService.h"
#include "platform/core/ProgressReporter.h"
#include "document/core/StatusBarModel.h"
#include "listfile/core/ListFileReader.h"
#include "listfile/core/ListFileWriter.h"
#include "document/core/PageSetup.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

using namespace quorvex;

namespace {

constexpr int MillionRows = 1000000;

class BenchMessages final : public MessageService {
public:
    MessageAnswer show(MessageKind, const std::string &text, MessageButtons) override
    {
        std::fprintf(stderr, "message: %s\n", text.c_str());
        return MessageAnswer::Ok;
    }
    void showException(const std::string &what) override { std::fprintf(stderr, "exception: %s\n", what.c_str()); }
};

// Does what the window's reporter does with a report (the status bar takes the
// text) and measures the time spent in it.
class TimedProgress final : public ProgressReporter {
public:
    void setProgress(int percent, const std::string &text) override
    {
        const auto t0 = std::chrono::steady_clock::now();
        m_status.setProgress(percent, text);
        m_spent += std::chrono::steady_clock::now() - t0;
        ++calls;
    }
    void pumpEvents() override { ++pumps; }
    double spentSeconds() const { return std::chrono::duration<double>(m_spent).count(); }
    void reset()
    {
        m_spent = {};
        calls = pumps = 0;
    }
    long calls = 0;
    long pumps = 0;

private:
    StatusBarModel m_status;
    std::chrono::steady_clock::duration m_spent{};
};

ListDocument &millionRowList()
{
    static ListDocument doc = [] {
        ListDocument d;
        bench::fillRealisticList(d, MillionRows);
        return d;
    }();
    return doc;
}

// A scratch folder removed with its files when the benchmarks end.
struct ScratchFolder {
    std::string path;
    ScratchFolder()
    {
        char name[] = "/tmp/quorvex-bench-XXXXXX";
        if (::mkdtemp(name))
            path = std::string(name) + "/";
    }
    ~ScratchFolder()
    {
        if (!path.empty())
            FileSystem::RemoveFolder(path);
    }
};

std::string benchFolder()
{
    static ScratchFolder folder;
    return folder.path;
}

const std::string &savedMillionList()
{
    static const std::string path = [] {
        const std::string p = benchFolder() + "million.lstd";
        BenchMessages messages;
        SilentProgress progress;
        ListFileWriter writer(messages, progress);
        PageSetup setup;
        const std::string type = "dvdmovie";
        writer.SaveList_V12(p, ListFileSource{millionRowList(), setup, type});
        return p;
    }();
    return path;
}

long rssKb(const char *field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(status, line))
        if (line.compare(0, key.size(), key) == 0)
            return std::strtol(line.c_str() + key.size(), nullptr, 10);
    return 0;
}

// Lets VmHWM restart from the present resident size.
void resetPeakRss()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

void BM_ListFileSaveV12(benchmark::State &state)
{
    const ListDocument &doc = millionRowList();
    BenchMessages messages;
    TimedProgress progress;
    ListFileWriter writer(messages, progress);
    PageSetup setup;
    const std::string type = "dvdmovie";
    const std::string path = benchFolder() + "save.lstd";
    double total = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        if (writer.SaveList_V12(path, ListFileSource{doc, setup, type}) != 0)
            state.SkipWithError("save failed");
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    const double size = static_cast<double>(FileSystem::fileSize(path).value_or(0));
    state.counters["file_MB"] = size / 1e6;
    state.counters["progress_pct"] = 100.0 * progress.spentSeconds() / total;
    state.counters["reports"] = static_cast<double>(progress.calls) / static_cast<double>(state.iterations());
    state.SetBytesProcessed(static_cast<int64_t>(size) * state.iterations());
    FileSystem::removeFile(path);
}
BENCHMARK(BM_ListFileSaveV12)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ListFileOpenV12(benchmark::State &state)
{
    const std::string &path = savedMillionList();
    BenchMessages messages;
    TimedProgress progress;
    ListFileReader reader(messages, progress);
    double total = 0;
    std::size_t held = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto doc = std::make_unique<ListDocument>();
        PageSetup setup;
        std::string type;
        state.ResumeTiming();
        const auto t0 = std::chrono::steady_clock::now();
        if (reader.readFile(path, ListFileTarget{*doc, setup, type}) != 0)
            state.SkipWithError("open failed");
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        state.PauseTiming();
        held = doc->heapBytes();
        doc.reset();
        state.ResumeTiming();
    }
    const double size = static_cast<double>(FileSystem::fileSize(path).value_or(0));
    state.counters["file_MB"] = size / 1e6;
    state.counters["held_MB"] = static_cast<double>(held) / 1e6;
    state.counters["held_per_file_byte"] = static_cast<double>(held) / size;
    state.counters["progress_pct"] = 100.0 * progress.spentSeconds() / total;
    state.SetBytesProcessed(static_cast<int64_t>(size) * state.iterations());
}
BENCHMARK(BM_ListFileOpenV12)->Unit(benchmark::kMillisecond)->UseRealTime();

// A version 1.1 list embedding a 1 GB attachment, saved and opened again
// (which extracts it into a second database folder). Writes about 2 GB to
// /tmp, so it runs only with QUORVEX_BENCH_LARGE=1.
void BM_ListFileV11_1GBAttachment(benchmark::State &state)
{
    const std::string base = benchFolder() + "large/";
    const std::string dbIn = base + "db-in/";
    const std::string dbOut = base + "db-out/";
    FileSystem::createFolders(dbIn);
    FileSystem::createFolders(dbOut);
    const std::string attachment = dbIn + "big.bin";
    {
        const int fd = ::open(attachment.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0 || ::ftruncate(fd, 1LL << 30) != 0) {
            state.SkipWithError("cannot make the sparse attachment");
            return;
        }
        ::close(fd);
    }
    ListDocument doc;
    bench::fillRealisticList(doc, 1000);
    doc.SetCell(2, 1, std::string("\x01\x04") + "big.bin");
    PageSetup setup;
    const std::string type = "dvdmovie";
    BenchMessages messages;
    SilentProgress progress;
    const std::string list = base + "big.lst";
    double saveSeconds = 0, openSeconds = 0;
    long savePeak = 0, openPeak = 0;
    for (auto _ : state) {
        ListFileWriter writer(messages, progress);
        writer.setDatabaseFolder(dbIn);
        resetPeakRss();
        long before = rssKb("VmRSS");
        auto t0 = std::chrono::steady_clock::now();
        if (writer.SaveList_V11(list, ListFileSource{doc, setup, type}) != 0)
            state.SkipWithError("save failed");
        saveSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        savePeak = rssKb("VmHWM") - before;

        ListFileReader reader(messages, progress);
        reader.setDatabaseFolder(dbOut);
        ListDocument back;
        PageSetup backSetup;
        std::string backType;
        FileSystem::removeFile(dbOut + "big.bin");
        resetPeakRss();
        before = rssKb("VmRSS");
        t0 = std::chrono::steady_clock::now();
        if (reader.readFile(list, ListFileTarget{back, backSetup, backType}) != 0)
            state.SkipWithError("open failed");
        openSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        openPeak = rssKb("VmHWM") - before;
    }
    state.counters["save_s"] = saveSeconds;
    state.counters["open_s"] = openSeconds;
    state.counters["save_peak_rss_growth_MB"] = static_cast<double>(savePeak) / 1024.0;
    state.counters["open_peak_rss_growth_MB"] = static_cast<double>(openPeak) / 1024.0;
    state.counters["process_peak_rss_MB"] = static_cast<double>(rssKb("VmHWM")) / 1024.0;
    FileSystem::RemoveFolder(base);
}

[[maybe_unused]] const bool largeRegistered = [] {
    const char *large = std::getenv("QUORVEX_BENCH_LARGE");
    if (large && *large == '1')
        benchmark::RegisterBenchmark("BM_ListFileV11_1GBAttachment", BM_ListFileV11_1GBAttachment)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1)
            ->UseRealTime();
    return true;
}();

} // namespace
