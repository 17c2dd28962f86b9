// CSV export of 1,000,000 x 9 and the HTML catalogue of 100,000 rows with
// 1,000 cover pictures, each from nothing (every thumbnail made anew).
#include "BenchData.h"
#include "document/core/AttachmentRef.h"
#include "export/core/CsvExport.h"
#include "export/core/HtmlCatalogue.h"
#include "export/core/Thumbnailer.h"
#include "platform/core/FileSystem.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <unistd.h>

using namespace quorvex;

namespace {

void BM_CsvExportFile(benchmark::State &state)
{
    ListDocument doc;
    bench::fillRealisticList(doc, 1000000);
    const std::string out = "/tmp/quorvex-csv-bench-" + std::to_string(::getpid()) + ".csv";
    for (auto _ : state) {
        FileSystem::removeFile(out);
        const auto start = std::chrono::steady_clock::now();
        const CsvExport::Result result = CsvExport::writeFile(doc, {}, out);
        const auto end = std::chrono::steady_clock::now();
        if (!result.ok)
            state.SkipWithError(result.error.c_str());
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        state.counters["MB"] = static_cast<double>(FileSystem::fileSize(out).value_or(0)) / 1e6;
    }
    FileSystem::removeFile(out);
}
BENCHMARK(BM_CsvExportFile)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// A cover-sized photograph-like picture: smooth gradients and some detail.
std::string coverJpeg(int seed)
{
    RasterImage picture(600, 800);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            picture.setPixel(x, y, pixelFromRgb((x + seed * 37) & 0xFF, (y / 3 + seed * 11) & 0xFF,
                                                ((x ^ y) + seed) & 0xFF));
    std::string jpeg, error;
    Thumbnailer::encodeJpeg(picture, 85, jpeg, error);
    return jpeg;
}

void BM_HtmlCatalogue100k(benchmark::State &state)
{
    const std::string root = "/tmp/quorvex-catalogue-bench-" + std::to_string(::getpid()) + "/";
    const std::string database = root + "db/";
    FileSystem::createFolders(database);
    std::string covers[8];
    for (int i = 0; i < 8; ++i)
        covers[i] = coverJpeg(i);
    ListDocument doc;
    bench::fillRealisticList(doc, 100000);
    for (int p = 0; p < 1000; ++p) {
        const std::string name = "cover" + std::to_string(p) + ".jpg";
        FileSystem::writeFileAtomic(database + name, covers[p % 8]);
        doc.SetCell(8, 1 + p * 100, AttachmentRef::make('\x01', name));
    }
    HtmlCatalogue::Options options;
    options.databaseFolder = database;
    options.title = "Films";
    for (auto _ : state) {
        FileSystem::RemoveFolder(root + "out/");
        const auto start = std::chrono::steady_clock::now();
        const HtmlCatalogue::Result result = HtmlCatalogue::write(doc, root + "out", options);
        const auto end = std::chrono::steady_clock::now();
        if (!result.ok || result.thumbnailsWritten != 1000)
            state.SkipWithError(("catalogue failed: " + result.error).c_str());
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        state.counters["page_MB"] = static_cast<double>(FileSystem::fileSize(root + "out/index.html").value_or(0)) / 1e6;
    }
    FileSystem::RemoveFolder(root);
}
BENCHMARK(BM_HtmlCatalogue100k)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
