// The cell text window on one 5 MB cell: showing it, a keystroke in the
// middle of the text with its repaint, and Save Changes.
#include "gui/BenchProgramFolder.h"
#include "app/gui/TViewCellTextForm.h"
#include "document/gui/StringGrid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextCursor>

#include <benchmark/benchmark.h>

#include <functional>
#include <string>

using namespace quorvex;

namespace {

// Words and blanks, no line break: a plot summary pasted many times over.
std::string longCell(std::size_t bytes)
{
    static const char words[] = "The crew of a deep space salvage ship answers a distress call and finds more "
                                "than it bargained for, while the company that sent it keeps its own plans. ";
    std::string text;
    text.reserve(bytes);
    while (text.size() < bytes)
        text += words;
    text.resize(bytes);
    return text;
}

void withWindowOnLongCell(const std::function<void(TMainForm &, TViewCellTextForm &)> &run)
{
    bench::BenchProgramFolder folder;
    TMainForm form;
    bench::BenchProgramFolder::start(form);
    ListDocument &doc = form.editor().document();
    doc.SetRowCount(3);
    doc.SetCell(2, 1, longCell(5 * 1024 * 1024));
    doc.SetCurrentCell(2, 1);
    form.documentChanged();
    QCoreApplication::processEvents();
    TViewCellTextForm &window = *form.cellTextForm();
    run(form, window);
    form.editor().listModified = false;
    form.ExitBtnClick();
}

void closeUnsaved(TViewCellTextForm &window)
{
    window.session().frameClose(std::string()); // no question while nothing changed
    window.hide();
}

void BM_CellTextOpen5MB(benchmark::State &state)
{
    withWindowOnLongCell([&](TMainForm &, TViewCellTextForm &window) {
        for (auto _ : state) {
            QElapsedTimer t;
            t.start();
            window.show();
            QCoreApplication::processEvents();
            state.SetIterationTime(static_cast<double>(t.nsecsElapsed()) / 1e9);
            closeUnsaved(window);
        }
    });
}
BENCHMARK(BM_CellTextOpen5MB)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_CellTextKeystroke5MB(benchmark::State &state)
{
    withWindowOnLongCell([&](TMainForm &, TViewCellTextForm &window) {
        window.show();
        QCoreApplication::processEvents();
        QPlainTextEdit *box = window.richEdit();
        QTextCursor middle = box->textCursor();
        middle.setPosition(box->document()->characterCount() / 2);
        box->setTextCursor(middle);
        QCoreApplication::processEvents();
        for (auto _ : state) {
            QElapsedTimer t;
            t.start();
            QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
            QApplication::sendEvent(box, &press);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
            QApplication::sendEvent(box, &release);
            QCoreApplication::processEvents();
            box->viewport()->repaint();
            state.SetIterationTime(static_cast<double>(t.nsecsElapsed()) / 1e9);
        }
        window.session().closeWindow(std::string());
        window.hide();
    });
}
BENCHMARK(BM_CellTextKeystroke5MB)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_CellTextSave5MB(benchmark::State &state)
{
    withWindowOnLongCell([&](TMainForm &, TViewCellTextForm &window) {
        window.show();
        QCoreApplication::processEvents();
        QPlainTextEdit *box = window.richEdit();
        for (auto _ : state) {
            box->moveCursor(QTextCursor::End);
            box->insertPlainText(QStringLiteral("b"));
            QCoreApplication::processEvents();
            QElapsedTimer t;
            t.start();
            window.SaveBtnClick();
            QCoreApplication::processEvents();
            state.SetIterationTime(static_cast<double>(t.nsecsElapsed()) / 1e9);
        }
        window.hide();
    });
}
BENCHMARK(BM_CellTextSave5MB)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
