#pragma once

#include "TempFolder.h"
#include "platform/core/FileSystem.h"
#include "app/core/ProgramFolder.h"
#include "platform/gui/QtFileDialogService.h"
#include "platform/gui/QtMessageService.h"
#include "app/gui/TMainForm.h"

#include <QSignalSpy>

#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace quorvex::test {

struct RecordedBox {
    MessageKind kind;
    std::string text;
};

// A program folder seeded like a first start, a private temporary folder, and
// scripted answers for every message box and file dialog of the windows.
class GuiSandbox {
public:
    GuiSandbox()
    {
        m_program = m_home.path() + "program/";
        FileSystem::createFolders(m_home.path() + "tmp");
        // Put back at the end: the next sandbox's folder must not be made in this one's deleted folder.
        m_hadTmpDir = qEnvironmentVariableIsSet("TMPDIR");
        m_oldTmpDir = qgetenv("TMPDIR");
        qputenv("TMPDIR", QByteArray::fromStdString(m_home.path() + "tmp"));
        // Qt's file dialog keeps its history in the user's configuration: a
        // test must not read what an earlier run or a person left there.
        m_hadConfigHome = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
        m_oldConfigHome = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(m_home.path() + "config"));
        // The desktop's recently used files, which opening and saving add to.
        m_hadDataHome = qEnvironmentVariableIsSet("XDG_DATA_HOME");
        m_oldDataHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(m_home.path() + "data"));
        ProgramFolder::seed(m_program, {QUORVEX_BUILD_DATA_DIR});
        // The new-list dialog stays closed at start; a test that wants it removes this file.
        FileSystem::writeFileAtomic(m_program + "new.mtr", "1 0 1 0 0 0\r\n0 0 0 0\r\n0");
        FileSystem::setCurrentFolder(m_program);
        QtMessageService::setResponder([this](MessageKind kind, const std::string &text, MessageButtons buttons) {
            boxes.push_back({kind, text});
            if (!answers.empty()) {
                const MessageAnswer a = answers.front();
                answers.pop_front();
                return a;
            }
            return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
        });
        QtFileDialogService::setResponder(
            [this](bool, const std::string &, int &filterIndex, const std::string &) -> std::optional<std::string> {
                if (chosenFiles.empty())
                    return std::nullopt;
                const auto [path, filter] = chosenFiles.front();
                chosenFiles.pop_front();
                if (filter > 0)
                    filterIndex = filter;
                return path;
            });
    }
    ~GuiSandbox()
    {
        QtMessageService::setResponder(nullptr);
        QtFileDialogService::setResponder(nullptr);
        FileSystem::setCurrentFolder("/");
        if (m_hadTmpDir)
            qputenv("TMPDIR", m_oldTmpDir);
        else
            qunsetenv("TMPDIR");
        if (m_hadConfigHome)
            qputenv("XDG_CONFIG_HOME", m_oldConfigHome);
        else
            qunsetenv("XDG_CONFIG_HOME");
        if (m_hadDataHome)
            qputenv("XDG_DATA_HOME", m_oldDataHome);
        else
            qunsetenv("XDG_DATA_HOME");
    }

    const std::string &program() const { return m_program; }
    std::string home() const { return m_home.path(); }

    // A started main window at its design size, without the splash.
    std::unique_ptr<TMainForm> start()
    {
        auto form = std::make_unique<TMainForm>();
        form->showSplash = false;
        form->setKeepSize(true);
        QSignalSpy started(form.get(), &TMainForm::startupFinished);
        form->show();
        if (!form->started())
            started.wait(5000);
        return form;
    }

    bool sawBox(const std::string &fragment) const
    {
        for (const RecordedBox &b : boxes)
            if (b.text.find(fragment) != std::string::npos)
                return true;
        return false;
    }

    std::vector<RecordedBox> boxes;
    std::deque<MessageAnswer> answers;
    // File dialog results in order: the path and the filter index chosen (0 keeps it).
    std::deque<std::pair<std::string, int>> chosenFiles;

private:
    TempFolder m_home;
    std::string m_program;
    bool m_hadTmpDir = false;
    QByteArray m_oldTmpDir;
    bool m_hadConfigHome = false;
    QByteArray m_oldConfigHome;
    bool m_hadDataHome = false;
    QByteArray m_oldDataHome;
};

} // namespace quorvex::test
