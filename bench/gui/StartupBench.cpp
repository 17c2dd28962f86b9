// Start-up to the first painted main window, with the splash switched off.
#include "platform/core/FileSystem.h"
#include "app/core/ProgramFolder.h"
#include "app/gui/TMainForm.h"
#include "platform/gui/QtMessageService.h"

#include <QApplication>
#include <QElapsedTimer>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

using namespace quorvex;

namespace {

void BM_StartupToFirstPaint(benchmark::State &state)
{
    char tmpl[] = "/tmp/quorvex-bench-XXXXXX";
    const std::string home = ::mkdtemp(tmpl) ? std::string(tmpl) + "/" : std::string("/tmp/");
    FileSystem::createFolders(home + "tmp");
    qputenv("TMPDIR", QByteArray::fromStdString(home + "tmp"));
    // A program folder as a first start leaves it; should a box still come up,
    // it is answered here: a benchmark never waits for a person.
    ProgramFolder::seed(home, {QUORVEX_BUILD_DATA_DIR});
    FileSystem::setCurrentFolder(home);
    // Start-up without the modal new-list dialog.
    FileSystem::writeFileAtomic(home + "new.mtr", "1 0 1 0 0 0\r\n0 0 0 0\r\n0");
    QtMessageService::setResponder([](MessageKind, const std::string &, MessageButtons buttons) {
        return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
    });
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
    QtMessageService::setResponder(nullptr);
    FileSystem::setCurrentFolder("/");
    FileSystem::RemoveFolder(home);
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
