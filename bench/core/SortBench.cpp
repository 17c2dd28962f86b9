#include "document/core/ListDocument.h"
#include "platform/core/UnicodeText.h"
#include "sort/core/SortEngine.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <utility>

#include <functional>
#include <random>
#include <string>
#include <vector>

using namespace quorvex;

namespace {

// A movie list as collectors keep them: tape numbers (some zero-padded, some
// shared by a box set), titles with sequel numbers, episodes, categories,
// actors, durations, years and "Disc N of M" notes.
ListDocument mediaList(int rows, unsigned seed)
{
    static const char *const titles[] = {"The Long Goodbye", "Casablanca", "Blade Runner", "Rocky", "Alien",
                                         "Star Trek", "Star Wars", "Spirited Away", "Heat", "Vertigo",
                                         "Paris, Texas", "Die Hard", "Toy Story", "Halloween", "The Godfather"};
    static const char *const categories[] = {"Drama", "Science Fiction", "Comedy", "Horror", "Western",
                                             "Animation", "Thriller", "Documentary"};
    static const char *const actors[] = {"Humphrey Bogart", "Harrison Ford", "Sigourney Weaver", "Bruce Willis",
                                         "Jamie Lee Curtis", "Al Pacino", "Tom Hanks", "James Stewart", ""};
    std::mt19937 rng(seed);
    ListDocument doc(9, rows + 1);
    std::vector<std::string> cells(9);
    for (int r = 1; r <= rows; ++r) {
        const unsigned tape = 1 + rng() % static_cast<unsigned>(rows * 3 / 4 + 1);
        std::string t = std::to_string(tape);
        if (rng() % 10 == 0)
            t = std::string(t.size() < 6 ? 6 - t.size() : 0, '0') + t;
        cells[1] = t;
        cells[2] = titles[rng() % 15];
        if (rng() % 3 == 0)
            cells[2] += " " + std::to_string(2 + rng() % 6);
        cells[3] = rng() % 2 ? "" : "Episode " + std::to_string(1 + rng() % 24);
        cells[4] = categories[rng() % 8];
        cells[5] = actors[rng() % 9];
        cells[6] = std::to_string(1 + rng() % 3) + ":" + std::to_string(10 + rng() % 50) + ":00";
        cells[7] = std::to_string(1930 + rng() % 95);
        const unsigned discs = 1 + rng() % 3;
        cells[8] = rng() % 4 ? "" : "Disc " + std::to_string(1 + rng() % discs) + " of " + std::to_string(discs);
        doc.setRowAt(r, CellRow::fromCells(cells));
    }
    doc.RenumberPages(54);
    return doc;
}

// Half the rows write their number padded ("007") and half plain ("7") in the
// first key column, over few values, so that large groups of keys meet runs of
// equal value and different lengths.
ListDocument paddedList(int rows, unsigned seed)
{
    std::mt19937 rng(seed);
    ListDocument doc = mediaList(rows, seed + 1);
    for (int r = 1; r <= rows; ++r) {
        const unsigned v = rng() % 50;
        const std::string plain = std::to_string(v);
        doc.SetCell(1, r, rng() % 2 ? std::string(3 - plain.size(), '0') + plain : plain);
    }
    return doc;
}

// A one-column list of disc labels with few values, where one number is
// written both padded and plain; the seven key boxes past the column read
// the page column.
ListDocument labelsList(int rows, unsigned seed)
{
    static const char *const labels[] = {"x", "y", "Tape 7", "tape 007", "Alien"};
    std::mt19937 rng(seed);
    ListDocument doc(2, rows + 1);
    for (int r = 1; r <= rows; ++r)
        doc.setRowAt(r, CellRow::fromCells(std::vector<std::string>{std::string(), labels[rng() % 5]}));
    doc.RenumberPages(54);
    return doc;
}

// The shape that costs the engine most: in every column two to six values,
// among them one number written plain and padded, the same text in both
// cases, and empty cells; a page of one entry per row, so that every page
// cell differs and takes part in the keys of fewer than eight columns.
ListDocument adversarialList(int rows, int dataCols, unsigned seed)
{
    static const char *const pool[] = {"7", "007", "Tape 7", "tape 07", "", "X"};
    std::mt19937 rng(seed);
    ListDocument doc(dataCols + 1, rows + 1);
    std::vector<std::string> cells(static_cast<std::size_t>(dataCols) + 1);
    for (int r = 1; r <= rows; ++r) {
        for (int c = 1; c <= dataCols; ++c)
            cells[static_cast<std::size_t>(c)] = pool[rng() % 6];
        doc.setRowAt(r, CellRow::fromCells(cells));
    }
    doc.RenumberPages(1);
    return doc;
}

SortOptions optionsFor(int dataCols)
{
    SortOptions o;
    for (int k = 0; k < 8; ++k)
        o.keyColumns[static_cast<std::size_t>(k)] = k < dataCols ? k + 1 : 0;
    return o;
}

void runSort(benchmark::State &state, const ListDocument &source, const SortOptions &options = SortOptions())
{
    for (auto _ : state) {
        state.PauseTiming();
        ListDocument doc = source;
        state.ResumeTiming();
        SortEngine::SortGrid(doc, options, 1, doc.RowCount());
        benchmark::DoNotOptimize(doc.rowAt(1));
        state.PauseTiming();
        doc = ListDocument();
        state.ResumeTiming();
    }
}

void BM_SortEngineMillion(benchmark::State &state)
{
    static const ListDocument source = mediaList(1000000, 7);
    runSort(state, source);
}
BENCHMARK(BM_SortEngineMillion)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SortPaddedNumbers100k(benchmark::State &state)
{
    static const ListDocument source = paddedList(100000, 11);
    runSort(state, source);
}
BENCHMARK(BM_SortPaddedNumbers100k)->Unit(benchmark::kMillisecond)->Iterations(3);

// Numbers written both ways in three key columns: keys that meet "7"/"007"
// in the first column meet "Episode 07"/"Episode 7" again further on, and
// "Disc 01 of 03"/"Disc 1 of 3" after that.
void BM_SortNestedPadding100k(benchmark::State &state)
{
    static const ListDocument source = [] {
        ListDocument doc = paddedList(100000, 17);
        std::mt19937 rng(19);
        for (int r = 1; r < doc.RowCount(); ++r) {
            const std::string e = std::to_string(1 + rng() % 24);
            doc.SetCell(3, r, "Episode " + (rng() % 2 && e.size() < 2 ? "0" + e : e));
            const std::string d = std::to_string(1 + rng() % 3);
            doc.SetCell(8, r, rng() % 2 ? "Disc 0" + d + " of 03" : "Disc " + d + " of 3");
        }
        return doc;
    }();
    runSort(state, source);
}
BENCHMARK(BM_SortNestedPadding100k)->Unit(benchmark::kMillisecond)->Iterations(3);

// Six data columns, so the last two key boxes read the page column, whose
// texts stay with the positions; half the first column's numbers padded.
void BM_SortPagedPadded100k(benchmark::State &state)
{
    static const ListDocument source = [] {
        const ListDocument padded = paddedList(100000, 13);
        ListDocument doc(7, padded.RowCount());
        for (int r = 1; r < padded.RowCount(); ++r)
            for (int c = 1; c <= 6; ++c)
                doc.SetCell(c, r, padded.GetCell(c, r));
        doc.RenumberPages(54);
        return doc;
    }();
    SortOptions options;
    options.keyColumns = {{1, 2, 3, 4, 5, 6, 0, 0}};
    runSort(state, source, options);
}
BENCHMARK(BM_SortPagedPadded100k)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SortLabelsMillion(benchmark::State &state)
{
    static const ListDocument source = labelsList(static_cast<int>(state.range(0)), 23);
    runSort(state, source, optionsFor(1));
}
BENCHMARK(BM_SortLabelsMillion)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);

// 50 numbers, half of them padded, in the first key column and in three.
void BM_SortPaddedMillion(benchmark::State &state)
{
    static const ListDocument one = paddedList(1000000, 29);
    static const ListDocument three = [] {
        ListDocument doc = paddedList(1000000, 31);
        std::mt19937 rng(37);
        for (int r = 1; r < doc.RowCount(); ++r)
            for (int c : {3, 5}) {
                const std::string plain = std::to_string(rng() % 50);
                doc.SetCell(c, r, rng() % 2 ? std::string(3 - plain.size(), '0') + plain : plain);
            }
        return doc;
    }();
    runSort(state, state.range(0) == 1 ? one : three);
}
BENCHMARK(BM_SortPaddedMillion)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_SortAdversarialMillion(benchmark::State &state)
{
    const int dataCols = static_cast<int>(state.range(0));
    const ListDocument source = adversarialList(static_cast<int>(state.range(1)), dataCols, 41 + static_cast<unsigned>(dataCols));
    runSort(state, source, optionsFor(dataCols));
}
BENCHMARK(BM_SortAdversarialMillion)
    ->Args({1, 1000000})
    ->Args({2, 1000000})
    // Here classes of keys equal up to page cells that begin at different
    // places are compared as written, which is quadratic in such a class.
    ->Args({4, 20000})
    ->Args({7, 20000})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// 1,000,000 x 9 of media texts in a Unicode list, a third of the cells
// Greek, Cyrillic or Japanese names, sorted case-insensitively by columns 1
// to 8, against the same list in Windows-1252, where those characters are
// "?": the ratio of the two sorts' processor times, best of three each.
void BM_SortUnicodeRatio(benchmark::State &state)
{
    static const char *const names[] = {"\u0395\u03bb\u03ad\u03bd\u03b7", "\u0416\u0438\u0432\u0430\u0433\u043e",
                                        "\u4e03\u4eba\u306e\u4f8d", "\u0141\u00f3d\u017a Story", "Ji\u0159\u00ed Menzel",
                                        "\u03a3\u03c9\u03ba\u03c1\u03ac\u03c4\u03b7\u03c2", "\u041c\u0418\u0420 2",
                                        "\u7f85\u751f\u9580", "Toshir\u014d Mifune"};
    static const std::pair<ListDocument, ListDocument> lists = [] {
        const ListDocument media = mediaList(1000000, 43);
        std::mt19937 rng(47);
        ListDocument unicode(10, media.RowCount());
        std::vector<std::string> cells(10);
        for (int r = 1; r < media.RowCount(); ++r) {
            for (int c = 1; c <= 9; ++c) {
                cells[static_cast<std::size_t>(c)] = c == 9 ? std::to_string(rng() % 1000) : media.GetCell(c, r);
                if (rng() % 3 == 0)
                    cells[static_cast<std::size_t>(c)] = names[rng() % 9];
            }
            unicode.setRowAt(r, CellRow::fromCells(cells));
        }
        unicode.RenumberPages(54);
        unicode.setTextEncoding(TextEncoding::Utf8);
        ListDocument cp1252 = unicode;
        cp1252.setTextEncoding(TextEncoding::Windows1252);
        for (int r = 1; r < cp1252.RowCount(); ++r)
            for (int c = 1; c <= 9; ++c) {
                std::size_t replaced = 0;
                cp1252.SetCell(c, r, UnicodeText::toCp1252(unicode.cellView(c, r), replaced));
            }
        return std::make_pair(std::move(unicode), std::move(cp1252));
    }();
    const auto bestOf = [](const ListDocument &source) {
        double best = 1e9;
        for (int run = 0; run < 3; ++run) {
            ListDocument doc = source;
            const std::clock_t t0 = std::clock();
            SortEngine::SortGrid(doc, SortOptions{}, 1, doc.RowCount());
            best = std::min(best, static_cast<double>(std::clock() - t0) / CLOCKS_PER_SEC);
        }
        return best;
    };
    for (auto _ : state) {
        const double unicode = bestOf(lists.first), cp1252 = bestOf(lists.second);
        state.counters["ratio"] = unicode / cp1252;
        state.counters["unicode_ms"] = unicode * 1000;
        state.counters["cp1252_ms"] = cp1252 * 1000;
    }
}
BENCHMARK(BM_SortUnicodeRatio)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

#include "document/core/Editor.h"
#include "platform/core/ProgressWindow.h"
#include "sort/core/SortCommand.h"

#include <algorithm>
#include <chrono>
#include <ctime>

namespace {

struct QuietMessages final : MessageService {
    MessageAnswer show(MessageKind, const std::string &, MessageButtons) override { return MessageAnswer::Ok; }
    void showException(const std::string &) override {}
};
struct NoShell final : DesktopShell {
    bool openPath(const std::string &) override { return false; }
    bool openUrl(const std::string &) override { return false; }
};
struct NoClipboard final : ClipboardService {
    bool hasText() const override { return false; }
    std::string text() const override { return {}; }
    void setText(const std::string &) override {}
};
// Like the window's reporter: texts go to the status bar, events run at most
// every 25 ms.
struct ThrottledProgress final : ProgressReporter {
    void setProgress(int percent, const std::string &text) override
    {
        status.setProgress(percent, text);
        ++reports;
    }
    void pumpEvents() override
    {
        const auto now = std::chrono::steady_clock::now();
        if (now - last >= std::chrono::milliseconds(25))
            last = now;
    }
    StatusBarModel status;
    std::chrono::steady_clock::time_point last;
    int reports = 0;
};
struct IdleWindow final : ProgressWindow {
    void start(const std::string &upper, const std::string *) override { text = upper; }
    void setUpperText(const std::string &t) override { text = t; }
    void setLowerText(const std::string &) override {}
    bool isPaused() const override { return false; }
    Result result() const override { return r; }
    void setResult(Result v) override { r = v; }
    void hide() override {}
    void finish(const std::string &t, bool) override { text = t; }
    void pause() override {}
    void resume() override {}
    std::string text;
    Result r = Result::None;
};

// Processor time, which a busy machine disturbs less than the clock on the wall.
double secondsOf(const std::function<void()> &f)
{
    const std::clock_t t0 = std::clock();
    f();
    return static_cast<double>(std::clock() - t0) / CLOCKS_PER_SEC;
}

// An editor over a copy of `source` with its undo snapshot taken: the state
// the Sort command finds a list in.
struct EditorOnList {
    explicit EditorOnList(const ListDocument &source) : editor(UiServices{messages, progress, shell, clipboard})
    {
        editor.document() = source;
        editor.undoHistory().reset(editor.document());
        editor.backupCells();
    }
    QuietMessages messages;
    ThrottledProgress progress;
    NoShell shell;
    NoClipboard clipboard;
    Editor editor;
};

// The Sort command's progress points against the bare engine on the same
// list: the best of five runs each, as a percentage of the engine's time.
void BM_SortProgressOverhead(benchmark::State &state)
{
    static const ListDocument source = mediaList(1000000, 7);
    for (auto _ : state) {
        double engine = 1e9, command = 1e9;
        for (int run = 0; run < 5; ++run) {
            {
                EditorOnList bare(source);
                ListDocument &doc = bare.editor.document();
                engine = std::min(engine, secondsOf([&] { SortEngine::SortGrid(doc, SortOptions{}, 1, doc.RowCount()); }));
            }
            EditorOnList withCommand(source);
            IdleWindow window;
            SortCommand sort(withCommand.editor, window);
            // Less the closing renumbering pass, which is no progress point.
            const double total = secondsOf([&] { sort.run(SortOptions{}); });
            command = std::min(command, total - secondsOf([&] { withCommand.editor.RenumberPages(); }));
        }
        state.counters["overhead_pct"] = std::max(0.0, (command - engine) / engine * 100.0);
    }
}
BENCHMARK(BM_SortProgressOverhead)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
