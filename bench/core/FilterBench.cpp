#include "BenchData.h"
#include "BenchEditor.h"

#include "document/core/Editor.h"
#include "filter/core/FilterSession.h"
#include "filter/core/GroupCounts.h"

#include <benchmark/benchmark.h>

using namespace quorvex;

namespace {

constexpr int MillionRows = 1000000;

const ListDocument &millionRowList()
{
    static const ListDocument doc = [] {
        ListDocument d;
        bench::fillRealisticList(d, MillionRows);
        return d;
    }();
    return doc;
}


struct FilterBenchEditor : bench::BenchEditor {
    FilterSession filter{editor};
    FilterBenchEditor() { editor.document() = millionRowList(); }
};

RowFilter condition(int column, FilterTest test, const char *text)
{
    RowFilter f;
    f.conditions.push_back({column, test, text});
    return f;
}

// One keystroke in the filter bar: the condition is applied to every row again.
// Arg 0: one column ("dvd 4" in the format column); 1: any column, no row matches.
void BM_FilterKeystroke(benchmark::State &state)
{
    FilterBenchEditor b;
    const RowFilter f = state.range(0) == 0 ? condition(3, FilterTest::Contains, "dvd 4")
                                            : condition(0, FilterTest::Contains, "zanzibar");
    for (auto _ : state) {
        b.filter.apply(f);
        benchmark::DoNotOptimize(b.editor.shownRows().count());
    }
}
BENCHMARK(BM_FilterKeystroke)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Clearing a filter that showed about a tenth of the rows.
void BM_FilterClear(benchmark::State &state)
{
    FilterBenchEditor b;
    const RowFilter f = condition(3, FilterTest::Contains, "dvd 4");
    for (auto _ : state) {
        state.PauseTiming();
        b.filter.apply(f);
        state.ResumeTiming();
        b.filter.clear();
        benchmark::DoNotOptimize(b.editor.shownRows().count());
    }
}
BENCHMARK(BM_FilterClear)->Unit(benchmark::kMillisecond)->Iterations(20);

// Filling the group pane: the counts of one column, sorted by count.
// Arg 0: 70 distinct years; 1: every row a text of its own.
void BM_GroupPaneFill(benchmark::State &state)
{
    static const ListDocument distinct = [] {
        ListDocument d = millionRowList();
        for (int r = 1; r < d.RowCount(); ++r)
            d.SetCell(1, r, "Title number " + std::to_string(r));
        return d;
    }();
    const ListDocument &doc = state.range(0) == 0 ? millionRowList() : distinct;
    const int column = state.range(0) == 0 ? 2 : 1;
    GroupCounts counts;
    for (auto _ : state) {
        counts.count(doc, column, GroupCounts::Order::ByCount);
        benchmark::DoNotOptimize(counts.entries().size());
    }
}
BENCHMARK(BM_GroupPaneFill)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);

// One cell edit with the group pane open: the counts follow the list.
void BM_GroupPaneCellEdit(benchmark::State &state)
{
    ListDocument doc = millionRowList();
    GroupCounts counts;
    counts.count(doc, 2, GroupCounts::Order::ByCount);
    int n = 0;
    for (auto _ : state) {
        ++n;
        doc.SetCell(2, 1 + (n * 7919) % MillionRows, n % 2 ? "1999" : "2042");
        benchmark::DoNotOptimize(counts.follow(doc));
    }
}
BENCHMARK(BM_GroupPaneCellEdit)->Unit(benchmark::kMillisecond)->Iterations(50);

} // namespace
