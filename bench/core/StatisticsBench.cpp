// The figures behind the statistics window and `quorvex-cli stats`.
#include "BenchData.h"

#include "stats/core/ColumnProfile.h"
#include "stats/core/ListStatistics.h"
#include "stats/core/StatisticsReport.h"

#include <benchmark/benchmark.h>

#include <sstream>

using namespace quorvex;

namespace {

constexpr int MillionRows = 1000000;

// The realistic list with a title, a year and a running time that vary the
// way a collection's do: column 1 holds a different title in every row.
ListDocument &millionRowList()
{
    static ListDocument doc = [] {
        ListDocument d;
        bench::fillRealisticList(d, MillionRows);
        for (int r = 1; r <= MillionRows; ++r) {
            CellRow row = d.rowAt(r);
            row = row.withCell(1, "Title " + std::to_string(static_cast<long long>(r) * 7919 % 1000003));
            row = row.withCell(5, std::to_string(80 + r % 90) + " min");
            d.setRowAt(r, std::move(row));
        }
        return d;
    }();
    return doc;
}

// What the window computes when it opens: every column counted and judged,
// the top texts of one column and the years of another.
void BM_StatisticsFigures(benchmark::State &state)
{
    const ListDocument &doc = millionRowList();
    for (auto _ : state) {
        const ListStatistics stats = ListStatistics::compute(doc);
        std::vector<ColumnProfile> profiles;
        for (const ColumnCounts &c : stats.columns())
            profiles.push_back(ColumnProfile::of(c));
        benchmark::DoNotOptimize(ColumnProfile::topValueBars(stats.columns()[2], 20, doc.textEncoding()));
        benchmark::DoNotOptimize(profiles[1].yearBars(true));
        benchmark::DoNotOptimize(profiles[4].rangeBars(stats.columns()[4], 12));
    }
    state.SetLabel("1,000,000 x 9");
}
BENCHMARK(BM_StatisticsFigures)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->Iterations(3);

// The hardest shape: every cell of every column a text of its own.
void BM_StatisticsAllDistinct(benchmark::State &state)
{
    static ListDocument doc = [] {
        ListDocument d(10, MillionRows + 1);
        std::vector<std::string> cells(10);
        for (int r = 1; r <= MillionRows; ++r) {
            for (int c = 1; c < 10; ++c)
                cells[static_cast<std::size_t>(c)] = "Cell " + std::to_string(c) + "/" + std::to_string(r);
            d.setRowAt(r, CellRow::fromCells(cells));
        }
        return d;
    }();
    for (auto _ : state) {
        const ListStatistics stats = ListStatistics::compute(doc);
        for (const ColumnCounts &c : stats.columns())
            benchmark::DoNotOptimize(ColumnProfile::of(c));
        benchmark::DoNotOptimize(ColumnProfile::topValueBars(stats.columns()[0], 20, doc.textEncoding()));
    }
}
BENCHMARK(BM_StatisticsAllDistinct)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->Iterations(2);

// `quorvex-cli stats LIST --json` after the list is read.
void BM_StatisticsJson(benchmark::State &state)
{
    const ListDocument &doc = millionRowList();
    for (auto _ : state) {
        ListStatistics stats = ListStatistics::compute(doc);
        std::ostringstream out;
        StatisticsReport::writeJson(out, stats, doc.textEncoding());
        benchmark::DoNotOptimize(out.str().size());
    }
}
BENCHMARK(BM_StatisticsJson)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->Iterations(2);

} // namespace

namespace {
// The one pass alone, without judging the columns.
void BM_StatisticsCountOnly(benchmark::State &state)
{
    const ListDocument &doc = millionRowList();
    for (auto _ : state)
        benchmark::DoNotOptimize(ListStatistics::compute(doc).items());
}
BENCHMARK(BM_StatisticsCountOnly)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->Iterations(3);
} // namespace
