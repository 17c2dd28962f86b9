// The settings window's live changes on a million-row list: a keystroke in a
// header box, a template with three pictures, a new grid line width.
#include "core/BenchData.h"
#include "gui/BenchProgramFolder.h"
#include "appearance/gui/TSettingsForm.h"
#include "document/gui/StringGrid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>

#include <benchmark/benchmark.h>

#include <functional>
#include <string>

using namespace quorvex;

namespace {

// A started main window over 1,000,000 x 9 in a private program folder.
void withBigList(const std::function<void(TMainForm &)> &run)
{
    bench::BenchProgramFolder folder;
    TMainForm form;
    bench::BenchProgramFolder::start(form);
    bench::fillRealisticList(form.editor().document(), 1000000, 10);
    form.documentChanged();
    QCoreApplication::processEvents();
    run(form);
    form.ExitBtnClick();
}

// Time to the change and the repaint it asks for.
template <typename Change>
void timed(benchmark::State &state, Change change)
{
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        change();
        QCoreApplication::processEvents();
        state.SetIterationTime(static_cast<double>(t.nsecsElapsed()) / 1e9);
    }
}

void BM_SettingsHeaderKeystroke(benchmark::State &state)
{
    withBigList([&](TMainForm &form) {
        QLineEdit *edit = form.settingsForm()->headerEdit(2);
        timed(state, [&] {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
            QApplication::sendEvent(edit, &press);
        });
    });
}
BENCHMARK(BM_SettingsHeaderKeystroke)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(50);

void BM_SettingsApplyTemplate(benchmark::State &state)
{
    withBigList([&](TMainForm &form) {
        int which = 0;
        // "All Clouds 3" and "All Wood 1": three pictures each time.
        timed(state, [&] { form.settingsForm()->applyTemplate((which++ % 2) ? 10 : 8); });
    });
}
BENCHMARK(BM_SettingsApplyTemplate)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_SettingsLineWidth(benchmark::State &state)
{
    withBigList([&](TMainForm &form) {
        int width = 1;
        timed(state, [&] { form.settingsForm()->setLineWidth(width = 3 - width); });
    });
}
BENCHMARK(BM_SettingsLineWidth)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace
