#include "document/core/ListDocument.h"
#include "listfile/core/TextListImport.h"
#include "platform/core/FileSystem.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

using namespace quorvex;

namespace {

// A spreadsheet export of 1,000,000 x 8 in UTF-8, with quoted fields.
std::string millionRowCsv()
{
    std::string text = "Tape#,Movie Title,Episode,Category,Main Actor,Duration,Year,Comment\r\n";
    text.reserve(90u << 20);
    for (int i = 0; i < 1000000; ++i) {
        text += std::to_string(i);
        text += ",\"Title, number ";
        text += std::to_string(i);
        text += "\",1,Drama,Caf\xC3\xA9 Actor,120,1999,\"said \"\"ok\"\"\"\r\n";
    }
    return text;
}

void BM_ImportCsvMillionRows(benchmark::State &state)
{
    char name[] = "/tmp/quorvex-bench-import-XXXXXX";
    const int fd = ::mkstemp(name);
    if (fd < 0) {
        state.SkipWithError("no temporary file");
        return;
    }
    ::close(fd);
    if (!FileSystem::writeFileAtomic(name, millionRowCsv())) {
        state.SkipWithError("cannot write the text");
        return;
    }
    for (auto _ : state) {
        ListDocument doc(2, 2);
        const auto result = TextListImport::importFile(name, doc);
        if (!result.ok || doc.RowCount() != 1000001)
            state.SkipWithError("import failed");
        benchmark::DoNotOptimize(doc);
    }
    ::unlink(name);
}
BENCHMARK(BM_ImportCsvMillionRows)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
