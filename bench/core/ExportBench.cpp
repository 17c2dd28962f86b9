// File > Export List of 1,000,000 x 9: time and the peak memory it adds.
#include "BenchData.h"
#include "document/core/Editor.h"
#include "platform/core/ClipboardService.h"
#include "platform/core/DesktopShell.h"
#include "platform/core/FileSystem.h"
#include "platform/core/MessageService.h"
#include "print/core/ExportCommand.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <fstream>
#include <string>

using namespace quorvex;

namespace {

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

long peakKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

void BM_ExportListFile(benchmark::State &state)
{
    Quiet quiet;
    SilentProgress progress;
    Editor editor(UiServices{quiet, progress, quiet, quiet});
    bench::fillRealisticList(editor.document(), 1000000);
    const std::string out = "/tmp/quorvex-export-bench.txt";
    for (auto _ : state) {
        FileSystem::removeFile(out);
        std::ofstream("/proc/self/clear_refs") << "5";
        const long before = peakKb();
        const auto start = std::chrono::steady_clock::now();
        ExportCommand(editor).exportList(out);
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        const double size = static_cast<double>(FileSystem::fileSize(out).value_or(1));
        state.counters["peak_over_text"] = static_cast<double>(peakKb() - before) * 1024 / size;
    }
    FileSystem::removeFile(out);
}
BENCHMARK(BM_ExportListFile)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
