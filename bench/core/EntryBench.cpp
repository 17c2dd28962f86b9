#include "BenchData.h"
#include "BenchEditor.h"

#include "document/core/Editor.h"
#include "document/core/GridCommands.h"
#include "entry/core/MediaWizard.h"
#include "listfile/core/ListFileCommands.h"
#include "platform/core/FileDialogService.h"

#include <benchmark/benchmark.h>

#include <memory>

using namespace quorvex;

namespace {

constexpr int MillionRows = 1000000;

class NoDialogs final : public FileDialogService {
public:
    std::optional<std::string> openFile(const std::string &, const std::string &) override { return std::nullopt; }
    std::optional<std::string> saveFile(const std::string &, int &, const std::string &) override
    {
        return std::nullopt;
    }
};

// A million-row list in an editor, with the wizard over it.
struct WizardBench {
    bench::QuietMessages messages;
    SilentProgress progress;
    bench::NoShell shell;
    bench::NoClipboard clipboard;
    NoDialogs dialogs;
    Editor editor{UiServices{messages, progress, shell, clipboard}};
    ListFileCommands files{editor, dialogs};
    GridCommands grid{editor};
    MediaWizard wizard{editor, grid, files};

    explicit WizardBench(bool emptyLastColumn)
    {
        ListDocument &doc = editor.document();
        bench::fillRealisticList(doc, MillionRows);
        if (emptyLastColumn)
            for (int r = 1; r <= MillionRows; ++r)
                doc.setRowAt(r, doc.rowAt(r).truncated(8));
        doc.SetCurrentCell(1, MillionRows / 2);
        editor.undoHistory().reset(doc);
        editor.RenumberPages();
    }
};

void openWizard(benchmark::State &state, bool emptyLastColumn)
{
    WizardBench b(emptyLastColumn);
    for (auto _ : state) {
        b.wizard.prepare();
        b.wizard.openingWork();
        benchmark::DoNotOptimize(b.wizard.field(0).list.size());
        state.PauseTiming();
        b.wizard.close();
        state.ResumeTiming();
    }
}

void BM_WizardOpen(benchmark::State &state)
{
    openWizard(state, false);
}
BENCHMARK(BM_WizardOpen)->Unit(benchmark::kMillisecond);

// Column 8 empty in every row: its first text is searched to the end of the list.
void BM_WizardOpenEmptyColumn(benchmark::State &state)
{
    openWizard(state, true);
}
BENCHMARK(BM_WizardOpenEmptyColumn)->Unit(benchmark::kMillisecond);

// Every Add of the measure is the first of an opening: it takes the snapshot.
void BM_WizardAddToList(benchmark::State &state)
{
    WizardBench b(false);
    for (auto _ : state) {
        state.PauseTiming();
        b.wizard.close();
        b.wizard.prepare();
        b.wizard.openingWork();
        b.wizard.field(0).text = "X1";
        b.wizard.field(1).text = "A new title";
        state.ResumeTiming();
        b.wizard.addToList();
        benchmark::DoNotOptimize(b.editor.document().RowCount());
    }
}
BENCHMARK(BM_WizardAddToList)->Unit(benchmark::kMillisecond);

void BM_WizardBackForward(benchmark::State &state)
{
    WizardBench b(false);
    b.wizard.prepare();
    b.wizard.openingWork();
    bool back = true;
    for (auto _ : state) {
        if (back)
            b.wizard.back();
        else
            b.wizard.forward();
        back = !back;
        benchmark::DoNotOptimize(b.wizard.field(1).text.size());
    }
}
BENCHMARK(BM_WizardBackForward)->Unit(benchmark::kMillisecond);

} // namespace
