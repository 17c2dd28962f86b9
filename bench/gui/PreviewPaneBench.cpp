// The preview pane following the current cell: plain texts, and a move
// between two cells of the same text.
#include "../../tests/support/FakeServices.h"
#include "attachments/gui/PreviewPane.h"

#include <benchmark/benchmark.h>

#include <string>

using namespace quorvex;

namespace {

struct PaneFixture {
    test::ScriptedMessages messages;
    test::RecordingProgress progress;
    test::FakeShell shell;
    test::FakeClipboard clipboard;
    Editor editor{UiServices{messages, progress, shell, clipboard}, nullptr};
    PreviewPane pane{editor};

    PaneFixture()
    {
        ListDocument &doc = editor.document();
        doc.SetColCount(3);
        doc.SetRowCount(3);
        doc.SetCell(1, 1, "Star Wars: Episode IV - A New Hope (1977), 121 minutes, widescreen edition");
        doc.SetCell(2, 1, "The Empire Strikes Back (1980), 124 minutes, widescreen edition");
        doc.SetCell(1, 2, doc.GetCell(1, 1));
        pane.resize(200, 600);
        pane.show();
    }
};

void BM_PreviewPlainText(benchmark::State &state)
{
    PaneFixture f;
    int col = 1;
    for (auto _ : state) {
        col = 3 - col;
        f.pane.ShowCellPreview(col, 1);
    }
}
BENCHMARK(BM_PreviewPlainText)->Unit(benchmark::kMillisecond);

void BM_PreviewSameText(benchmark::State &state)
{
    PaneFixture f;
    int row = 1;
    for (auto _ : state) {
        row = 3 - row;
        f.pane.ShowCellPreview(1, row);
    }
}
BENCHMARK(BM_PreviewSameText)->Unit(benchmark::kMillisecond);

} // namespace
