#include "platform/core/FileSystem.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

using namespace quorvex;

namespace {

// A database folder of 100,000 small attachment files, made fresh for each pass.
void fillStore(const std::string &folder, int files)
{
    for (int i = 0; i < files; ++i) {
        const std::string path = folder + "attachment" + std::to_string(i) + ".jpg";
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0)
            std::abort();
        if (::write(fd, "jpeg", 4) != 4)
            std::abort();
        ::close(fd);
    }
}

void BM_CleanDatabase100k(benchmark::State &state)
{
    char name[] = "/tmp/quorvex-bench-db-XXXXXX";
    if (!::mkdtemp(name))
        std::abort();
    const std::string folder = std::string(name) + "/";
    for (auto _ : state) {
        state.PauseTiming();
        fillStore(folder, 100000);
        state.ResumeTiming();
        if (!FileSystem::clearFolderContents(folder))
            state.SkipWithError("cleaning failed");
    }
    FileSystem::RemoveFolder(folder);
}
BENCHMARK(BM_CleanDatabase100k)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
