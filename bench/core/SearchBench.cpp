#include "BenchData.h"
#include "BenchEditor.h"

#include "document/core/Editor.h"
#include "search/core/GridSearch.h"
#include "search/core/PreEnteredText.h"
#include "search/core/QuickSearch.h"
#include "platform/core/UnicodeText.h"

#include <benchmark/benchmark.h>

using namespace quorvex;

namespace {

constexpr int MillionRows = 1000000;

ListDocument &millionRowList()
{
    static ListDocument doc = [] {
        ListDocument d;
        bench::fillRealisticList(d, MillionRows);
        return d;
    }();
    return doc;
}

ListDocument &millionRowUnicodeList()
{
    static ListDocument doc = [] {
        ListDocument d;
        bench::fillUnicodeList(d, MillionRows);
        return d;
    }();
    return doc;
}

// The same list as Windows-1252 holds it: what it cannot hold became "?".
ListDocument &millionRowUnicodeListAs1252()
{
    static ListDocument doc = [] {
        ListDocument d;
        bench::fillUnicodeList(d, MillionRows, 9, true);
        return d;
    }();
    return doc;
}


// Find Next over the whole list without a hit: every cell is tested.
void BM_FindNextNoHit(benchmark::State &state)
{
    bench::BenchEditor b;
    b.editor.document() = millionRowList();
    GridSearch search(b.editor);
    search.textToFind = "Zanzibar";
    for (auto _ : state) {
        b.editor.document().SetCurrentCell(1, 1);
        search.FindNext();
        benchmark::DoNotOptimize(search.found());
    }
}
BENCHMARK(BM_FindNextNoHit)->Unit(benchmark::kMillisecond);

// Find Next without a hit on a Unicode list (a third of the cells non-Latin),
// and on the same list in Windows-1252; argument 0 looks for an ASCII text,
// 1 for one that starts with a letter beyond ASCII.
void findNextNoHitOn(benchmark::State &state, const ListDocument &list)
{
    bench::BenchEditor b;
    b.editor.document() = list;
    GridSearch search(b.editor);
    const std::string needle = state.range(0) == 0 ? "Zanzibar" : "\u017D\u00EDzala";
    std::size_t replaced = 0;
    search.textToFind = list.textEncoding() == TextEncoding::Utf8 ? needle : UnicodeText::toCp1252(needle, replaced);
    // The case-folding table is built once per process, at the first search of
    // a Unicode list; that search is not the one measured.
    b.editor.document().SetCurrentCell(1, 1);
    search.FindNext();
    for (auto _ : state) {
        b.editor.document().SetCurrentCell(1, 1);
        search.FindNext();
        benchmark::DoNotOptimize(search.found());
    }
}
void BM_FindNextNoHitUnicode(benchmark::State &state)
{
    findNextNoHitOn(state, millionRowUnicodeList());
}
void BM_FindNextNoHitUnicodeAs1252(benchmark::State &state)
{
    findNextNoHitOn(state, millionRowUnicodeListAs1252());
}
BENCHMARK(BM_FindNextNoHitUnicode)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindNextNoHitUnicodeAs1252)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A quick-search keystroke without a hit on the Unicode list.
void BM_QuickSearchNoHitUnicode(benchmark::State &state)
{
    const ListDocument &doc = millionRowUnicodeList();
    for (auto _ : state)
        benchmark::DoNotOptimize(QuickSearch::findRow(doc, 2, "\u017D\u00EDzala"));
}
BENCHMARK(BM_QuickSearchNoHitUnicode)->Unit(benchmark::kMillisecond);

// Replace All without questions, one hit in every row, the undo snapshot included.
void BM_ReplaceAllEveryRow(benchmark::State &state)
{
    bench::BenchEditor b;
    for (auto _ : state) {
        state.PauseTiming();
        // A new window's search: the last hit of a run would carry over.
        GridSearch search(b.editor);
        search.options.prompt = false;
        search.textToFind = "box 4";
        search.replaceWith = "crate 4";
        b.editor.document() = millionRowList();
        b.editor.document().SetCurrentCell(1, 1);
        state.ResumeTiming();
        const long long n = search.ReplaceAll();
        if (n != MillionRows)
            state.SkipWithError("not one replacement per row");
    }
}
BENCHMARK(BM_ReplaceAllEveryRow)->Unit(benchmark::kMillisecond)->Iterations(3);

// One keystroke in the quick-search box that matches no row.
void BM_QuickSearchNoHit(benchmark::State &state)
{
    const ListDocument &doc = millionRowList();
    for (auto _ : state)
        benchmark::DoNotOptimize(QuickSearch::findRow(doc, 2, "19x"));
}
BENCHMARK(BM_QuickSearchNoHit)->Unit(benchmark::kMillisecond);

// The pre-entered list of a column with 10,000 distinct texts.
void BM_PreEnteredFill10k(benchmark::State &state)
{
    ListDocument doc = millionRowList();
    for (int r = 1; r < 10000; ++r)
        doc.SetCell(1, r, "Distinct title number " + std::to_string(r));
    for (auto _ : state) {
        const auto items = PreEnteredText::collect(doc, 1);
        if (items.size() != 9999)
            state.SkipWithError("wrong item count");
    }
}
BENCHMARK(BM_PreEnteredFill10k)->Unit(benchmark::kMillisecond);

// Replace All of 'a' by 'aa' inside one cell of a million bytes.
void BM_ReplaceInOneMegabyteCell(benchmark::State &state)
{
    bench::BenchEditor b;
    const std::string big(1000000, 'a');
    for (auto _ : state) {
        state.PauseTiming();
        GridSearch search(b.editor);
        search.options.prompt = false;
        search.textToFind = "a";
        search.replaceWith = "aa";
        b.editor.document() = ListDocument(2, 2);
        b.editor.document().SetCell(1, 1, big);
        state.ResumeTiming();
        search.ReplaceAll();
        if (b.editor.document().cellView(1, 1).size() != 2 * big.size())
            state.SkipWithError("wrong result");
    }
}
BENCHMARK(BM_ReplaceInOneMegabyteCell)->Unit(benchmark::kMillisecond);

} // namespace
