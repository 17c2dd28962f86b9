#pragma once

#include "app/core/ProgramFolder.h"
#include "app/gui/TMainForm.h"
#include "platform/core/FileSystem.h"
#include "platform/gui/QtMessageService.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdlib>
#include <string>

namespace quorvex::bench {

// A private program folder seeded as a first start leaves it, with the
// new-list dialog kept closed and every box answered: a benchmark never
// waits for a person. Removed again at the end.
class BenchProgramFolder {
public:
    BenchProgramFolder()
    {
        char tmpl[] = "/tmp/quorvex-bench-XXXXXX";
        m_home = ::mkdtemp(tmpl) ? std::string(tmpl) + "/" : std::string("/tmp/");
        FileSystem::createFolders(m_home + "tmp");
        qputenv("TMPDIR", QByteArray::fromStdString(m_home + "tmp"));
        ProgramFolder::seed(m_home, {QUORVEX_BUILD_DATA_DIR});
        FileSystem::setCurrentFolder(m_home);
        FileSystem::writeFileAtomic(m_home + "new.mtr", "1 0 1 0 0 0\r\n0 0 0 0\r\n0");
        QtMessageService::setResponder([](MessageKind, const std::string &, MessageButtons buttons) {
            return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
        });
    }
    ~BenchProgramFolder()
    {
        QtMessageService::setResponder(nullptr);
        FileSystem::setCurrentFolder("/");
        FileSystem::RemoveFolder(m_home);
    }
    BenchProgramFolder(const BenchProgramFolder &) = delete;
    BenchProgramFolder &operator=(const BenchProgramFolder &) = delete;

    // Shows the main window at its design size, without the splash, and waits
    // (at most 10 s) until its start-up has run.
    static void start(TMainForm &form)
    {
        form.showSplash = false;
        form.setKeepSize(true);
        form.show();
        QElapsedTimer clock;
        clock.start();
        while (!form.started() && clock.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }

private:
    std::string m_home;
};

} // namespace quorvex::bench
