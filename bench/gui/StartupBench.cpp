// Start-up to the first painted main window, with the splash switched off.
#include "gui/BenchProgramFolder.h"

#include <QApplication>
#include <QElapsedTimer>

#include <benchmark/benchmark.h>


using namespace quorvex;

namespace {

void BM_StartupToFirstPaint(benchmark::State &state)
{
    bench::BenchProgramFolder folder;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        auto *form = new TMainForm;
        form->showSplash = false;
        form->setKeepSize(true);
        form->show();
        while (form->firstPaintMs() < 0 && clock.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
        while (!form->started() && clock.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        form->ExitBtnClick();
        delete form;
    }
}
BENCHMARK(BM_StartupToFirstPaint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && !qEnvironmentVariableIsSet("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
