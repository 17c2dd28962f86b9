// The filter and the group pane in the main window on a million-row list: a
// repaint of the filtered grid, a keystroke in the filter bar, a cell edit
// with the group pane open.
#include "core/BenchData.h"
#include "gui/BenchProgramFolder.h"
#include "document/gui/StringGrid.h"
#include "filter/gui/FilterBar.h"
#include "filter/gui/FilterController.h"
#include "filter/gui/GroupPane.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QImage>
#include <QLineEdit>
#include <QScrollBar>

#include <benchmark/benchmark.h>

using namespace quorvex;

namespace {

template <typename Body>
void withMillionRowWindow(benchmark::State &state, Body body)
{
    bench::BenchProgramFolder folder;
    {
        TMainForm form;
        bench::BenchProgramFolder::start(form);
        ListDocument &doc = form.editor().document();
        bench::fillRealisticList(doc, 1000000, 9);
        form.editor().RenumberPages();
        form.documentChanged();
        body(state, form);
        form.ExitBtnClick();
    }
}

void BM_FilterGridPaint(benchmark::State &state)
{
    withMillionRowWindow(state, [](benchmark::State &st, TMainForm &form) {
        FilterController &filter = *form.filter();
        filter.openBar();
        filter.bar()->columnBox(0)->setCurrentIndex(3);
        filter.bar()->textBox(0)->setText(QStringLiteral("dvd 4"));
        StringGrid *grid = form.grid();
        grid->setParent(nullptr);
        grid->resize(1920, 1080);
        grid->show();
        grid->verticalScrollBar()->setValue(form.editor().shownRows().count() / 2);
        QCoreApplication::processEvents();
        QImage image(grid->size(), QImage::Format_RGB32);
        grid->render(&image);
        for (auto _ : st) {
            QElapsedTimer t;
            t.start();
            grid->render(&image);
            st.SetIterationTime(static_cast<double>(t.nsecsElapsed()) / 1e9);
        }
        grid->hide();
        grid->setParent(&form);
    });
}
BENCHMARK(BM_FilterGridPaint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);

// Typing one more letter into the bar's text: applied, the grid told, the status shown.
void BM_FilterBarKeystroke(benchmark::State &state)
{
    withMillionRowWindow(state, [](benchmark::State &st, TMainForm &form) {
        FilterController &filter = *form.filter();
        form.show();
        filter.openBar();
        QLineEdit *text = filter.bar()->textBox(0);
        int n = 0;
        for (auto _ : st) {
            QElapsedTimer t;
            t.start();
            text->setText(++n % 2 ? QStringLiteral("box 4") : QStringLiteral("box 44"));
            QCoreApplication::processEvents();
            st.SetIterationTime(static_cast<double>(t.nsecsElapsed()) / 1e9);
        }
        form.hide();
    });
}
BENCHMARK(BM_FilterBarKeystroke)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

// A cell edit committed from the grid while the group pane counts its column.
void BM_GroupPaneWindowCellEdit(benchmark::State &state)
{
    withMillionRowWindow(state, [](benchmark::State &st, TMainForm &form) {
        FilterController &filter = *form.filter();
        form.show();
        form.editor().document().SetCurrentCell(2, 1);
        filter.setGroupsShown(true);
        QCoreApplication::processEvents();
        QAbstractItemModel *model = form.grid()->model();
        int n = 0;
        for (auto _ : st) {
            const QModelIndex cell = model->index((++n * 7919) % 1000000, 1);
            QElapsedTimer t;
            t.start();
            model->setData(cell, n % 2 ? QStringLiteral("1999") : QStringLiteral("2042"), Qt::EditRole);
            QCoreApplication::processEvents();
            st.SetIterationTime(static_cast<double>(t.nsecsElapsed()) / 1e9);
        }
        if (filter.pane()->model().counts().total() != 1000000)
            st.SkipWithError("the pane lost rows");
        form.hide();
    });
}
BENCHMARK(BM_GroupPaneWindowCellEdit)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace
