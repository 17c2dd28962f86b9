#include "BenchData.h"

#include "document/core/UndoHistory.h"

#include <benchmark/benchmark.h>

using namespace quorvex;

namespace {

constexpr int MillionRows = 1000000;

// One shared million-row list: building it is not what is measured.
ListDocument &millionRowList()
{
    static ListDocument doc = [] {
        ListDocument d;
        bench::fillRealisticList(d, MillionRows);
        return d;
    }();
    return doc;
}

void BM_UndoSnapshot(benchmark::State &state)
{
    ListDocument doc = millionRowList();
    UndoHistory undo;
    for (auto _ : state) {
        undo.setSnapshotCurrent(false);
        undo.backupCells(doc);
        benchmark::DoNotOptimize(undo.snapshot().RowCount());
    }
}
BENCHMARK(BM_UndoSnapshot)->Unit(benchmark::kMillisecond);

// Undo then Redo of a one-cell change, so that each pass starts alike.
void BM_Undo(benchmark::State &state)
{
    ListDocument doc = millionRowList();
    UndoHistory undo;
    for (auto _ : state) {
        state.PauseTiming();
        undo.setSnapshotCurrent(false);
        undo.backupCells(doc);
        doc.SetCell(2, 500000, "changed");
        state.ResumeTiming();
        undo.undo(doc);
        benchmark::DoNotOptimize(doc.RowCount());
    }
}
BENCHMARK(BM_Undo)->Unit(benchmark::kMillisecond);

void BM_Redo(benchmark::State &state)
{
    ListDocument doc = millionRowList();
    UndoHistory undo;
    for (auto _ : state) {
        state.PauseTiming();
        undo.setSnapshotCurrent(false);
        undo.backupCells(doc);
        doc.SetCell(2, 500000, "changed");
        undo.undo(doc);
        state.ResumeTiming();
        undo.redo(doc);
        benchmark::DoNotOptimize(doc.RowCount());
    }
}
BENCHMARK(BM_Redo)->Unit(benchmark::kMillisecond);

// Worst case: every page cell must change (entries per page 54 -> 53).
void BM_RenumberPages(benchmark::State &state)
{
    ListDocument doc = millionRowList();
    int entries = 54;
    for (auto _ : state) {
        entries = entries == 54 ? 53 : 54;
        doc.RenumberPages(entries);
        benchmark::DoNotOptimize(doc.cellView(0, 1).size());
    }
}
BENCHMARK(BM_RenumberPages)->Unit(benchmark::kMillisecond);

} // namespace
