// The settings window's live changes on a million-row list: a keystroke in a
// header box, a template with three pictures, a new grid line width.
#include "core/BenchData.h"
#include "app/core/ProgramFolder.h"
#include "app/gui/TMainForm.h"
#include "appearance/gui/TSettingsForm.h"
#include "document/gui/StringGrid.h"
#include "platform/core/FileSystem.h"
#include "platform/gui/QtMessageService.h"

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
    char tmpl[] = "/tmp/quorvex-bench-XXXXXX";
    const std::string home = ::mkdtemp(tmpl) ? std::string(tmpl) + "/" : std::string("/tmp/");
    FileSystem::createFolders(home + "tmp");
    qputenv("TMPDIR", QByteArray::fromStdString(home + "tmp"));
    ProgramFolder::seed(home, {QUORVEX_BUILD_DATA_DIR});
    FileSystem::setCurrentFolder(home);
    FileSystem::writeFileAtomic(home + "new.mtr", "1 0 1 0 0 0\r\n0 0 0 0\r\n0");
    QtMessageService::setResponder([](MessageKind, const std::string &, MessageButtons buttons) {
        return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
    });
    {
        TMainForm form;
        form.showSplash = false;
        form.setKeepSize(true);
        form.show();
        QElapsedTimer clock;
        clock.start();
        while (!form.started() && clock.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        bench::fillRealisticList(form.editor().document(), 1000000, 10);
        form.documentChanged();
        QCoreApplication::processEvents();
        run(form);
        form.ExitBtnClick();
    }
    QtMessageService::setResponder(nullptr);
    FileSystem::setCurrentFolder("/");
    FileSystem::RemoveFolder(home);
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
