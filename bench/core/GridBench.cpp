#include "BenchData.h"

#include "document/core/Editor.h"
#include "document/core/ClipboardCommands.h"
#include "document/core/GridCommands.h"

#include <benchmark/benchmark.h>

#include <memory>

using namespace quorvex;

namespace {

constexpr int MillionRows = 1000000;

struct QuietMessages final : MessageService {
    MessageAnswer show(MessageKind, const std::string &, MessageButtons) override { return MessageAnswer::Ok; }
    void showException(const std::string &) override {}
};

struct NoShell final : DesktopShell {
    bool openPath(const std::string &) override { return false; }
    bool openUrl(const std::string &) override { return false; }
};

struct MemoryClipboard final : ClipboardService {
    bool hasText() const override { return !content.empty(); }
    std::string text() const override { return content; }
    void setText(const std::string &text) override { content = text; }
    std::string content;
};

// An editor without a window, on a realistic list of `rows` data rows.
struct BenchEditor {
    explicit BenchEditor(int rows)
    {
        bench::fillRealisticList(editor.document(), rows);
        editor.RenumberPages();
        editor.undoHistory().reset(editor.document());
    }
    QuietMessages messages;
    SilentProgress progress;
    NoShell shell;
    MemoryClipboard clipboard;
    Editor editor{UiServices{messages, progress, shell, clipboard}};
    GridCommands grid{editor};
};

BenchEditor &millionRowEditor()
{
    static BenchEditor e(MillionRows);
    return e;
}

// Insert Row on row 3 of a million-row list, undo snapshot and page renumbering included.
void BM_InsertRowNearTop(benchmark::State &state)
{
    BenchEditor &e = millionRowEditor();
    for (auto _ : state) {
        e.grid.selectCell(2, 3);
        e.grid.InsertRow();
        benchmark::DoNotOptimize(e.editor.document().RowCount());
    }
}
BENCHMARK(BM_InsertRowNearTop)->Unit(benchmark::kMillisecond);

// Delete Selected Row(s) of rows 3 to 5 of a million-row list, snapshot included.
void BM_DeleteRowsNearTop(benchmark::State &state)
{
    BenchEditor &e = millionRowEditor();
    for (auto _ : state) {
        e.grid.selectCell(2, 3);
        e.editor.document().SelectRange(2, 3, 2, 5);
        e.grid.DeleteSelectedRows();
        benchmark::DoNotOptimize(e.editor.document().RowCount());
    }
}
BENCHMARK(BM_DeleteRowsNearTop)->Unit(benchmark::kMillisecond);

// Export Entire List to Clipboard of a million-row list, the text handed to the clipboard.
void BM_CopyWholeList(benchmark::State &state)
{
    BenchEditor &e = millionRowEditor();
    for (auto _ : state) {
        e.grid.clipboard().CopyCellsToClipboard(1, e.editor.document().ColCount() - 1,
                                                e.editor.document().RowCount() - 1, 0);
        benchmark::DoNotOptimize(e.clipboard.content.size());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(e.clipboard.content.size()));
}
BENCHMARK(BM_CopyWholeList)->Unit(benchmark::kMillisecond);

// Paste of a 100,000-row by 8-column text at row 1 of a one-row list, which grows to hold it.
void BM_Paste100kBy8(benchmark::State &state)
{
    BenchEditor source(100000);
    source.grid.clipboard().CopyCellsToClipboard(1, 8, 100000, 1);
    const std::string text = source.clipboard.content;
    for (auto _ : state) {
        state.PauseTiming();
        auto target = std::make_unique<BenchEditor>(1);
        target->clipboard.content = text;
        target->grid.selectCell(1, 1);
        state.ResumeTiming();
        target->grid.clipboard().Paste();
        benchmark::DoNotOptimize(target->editor.document().RowCount());
        state.PauseTiming();
        target.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Paste100kBy8)->Unit(benchmark::kMillisecond);

} // namespace
