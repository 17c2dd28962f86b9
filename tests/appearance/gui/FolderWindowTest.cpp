#include "GuiSandbox.h"
#include "appearance/core/FolderCommands.h"
#include "appearance/gui/FolderGroups.h"
#include "appearance/gui/TOpenDirForm.h"
#include "platform/core/FileSystem.h"
#include "platform/gui/QtDesktopShell.h"
#include "platform/gui/QtMessageService.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace quorvex;

namespace {

const char *const CreateQuestion = "The directory you entered does not exist. Would you like to create it?";

// Runs `act` on the chooser once it is showing modally.
void whenChooserShows(std::function<void(TOpenDirForm &)> act)
{
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [act, poll] {
        if (auto *form = qobject_cast<TOpenDirForm *>(QApplication::activeModalWidget())) {
            act(*form);
            return;
        }
        QTimer::singleShot(10, *poll);
    };
    QTimer::singleShot(0, *poll);
}

// Types a path and presses OK, as a person would.
void enterPath(TOpenDirForm &form, const std::string &path)
{
    form.dirPathEdit()->clear();
    QTest::keyClicks(form.dirPathEdit(), QString::fromUtf8(path.c_str()));
    QTest::mouseClick(form.okButton(), Qt::LeftButton);
}

} // namespace

class FolderWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::GuiSandbox> m_sandbox;

private slots:
    void init() { m_sandbox = std::make_unique<test::GuiSandbox>(); }
    void cleanup() { m_sandbox.reset(); }

    void chooser_addsTheSlashAndAsksBeforeCreating()
    {
        QtMessageService messages;
        const std::string home = m_sandbox->home();
        FileSystem::createFolders(home + "Documents");
        TOpenDirForm form(messages, home + "Documents/");
        QCOMPARE(form.windowTitle(), QStringLiteral("Open directory"));
        QCOMPARE(form.dirPathEdit()->text(), QString::fromUtf8((home + "Documents/").c_str()));

        struct Step {
            std::string typed;
            std::deque<MessageAnswer> answers;
            std::optional<std::string> result;
            std::vector<std::string> boxes;
            bool created;
        };
        const std::string missing = home + "New Folder";
        const Step steps[] = {
            {home + "Documents", {}, home + "Documents/", {}, true},
            {missing, {MessageAnswer::No}, missing + "/", {CreateQuestion}, false},
            {missing, {MessageAnswer::Yes}, missing + "/", {CreateQuestion}, true},
            // Cannot be made in one level: the error, and the chooser stays open until Cancel.
            {home + "a/b", {MessageAnswer::Yes}, std::nullopt,
             {CreateQuestion, "Unable to create directory:\n\n" + home +
                                  "a/b/\n\nPlease make sure the disk is not write protected."},
             false},
        };
        for (const Step &s : steps) {
            m_sandbox->boxes.clear();
            m_sandbox->answers = s.answers;
            whenChooserShows([&s](TOpenDirForm &f) {
                enterPath(f, s.typed);
                if (f.isVisible())
                    QTest::mouseClick(f.cancelButton(), Qt::LeftButton);
            });
            const auto chosen = form.choose();
            QCOMPARE(chosen, s.result);
            QCOMPARE(m_sandbox->boxes.size(), s.boxes.size());
            for (std::size_t i = 0; i < s.boxes.size(); ++i)
                QCOMPARE(m_sandbox->boxes[i].text, s.boxes[i]);
            if (!s.boxes.empty())
                QCOMPARE(m_sandbox->boxes[0].kind, MessageKind::Error);
            QCOMPARE(FileSystem::isDirectory(s.typed), s.created);
        }

        // Cancel on the create question keeps the chooser open.
        m_sandbox->boxes.clear();
        m_sandbox->answers = {MessageAnswer::Cancel};
        whenChooserShows([&](TOpenDirForm &f) {
            enterPath(f, home + "later");
            QVERIFY(f.isVisible());
            QTest::mouseClick(f.cancelButton(), Qt::LeftButton);
        });
        QCOMPARE(form.choose(), std::optional<std::string>());
        QVERIFY(!FileSystem::exists(home + "later"));

        // Characters a path may not hold are refused as they are typed.
        form.dirPathEdit()->clear();
        QTest::keyClicks(form.dirPathEdit(), QStringLiteral("/a\"b*c<d>e?f|g"));
        QCOMPARE(form.dirPathEdit()->text(), QStringLiteral("/abcdefg"));

        // The drive box: the root, the home folder and, once shown, "My Documents".
        QCOMPARE(form.driveBox()->count(), 3);
        QCOMPARE(form.driveBox()->itemText(0), QStringLiteral("/"));
        QCOMPARE(form.driveBox()->itemText(2), QStringLiteral("My Documents"));
    }

    void groups_changeTheDatabaseFolderThroughTheChooser()
    {
        QtMessageService messages;
        QtDesktopShell shell;
        const std::string home = m_sandbox->home();
        AppPaths paths;
        paths.documentsFolder = home + "Documents/";
        paths.programFolder = m_sandbox->program();
        paths.databaseFolder = paths.programFolder + "Database/";
        paths.tempFolder = home + "tmp/QuorvexTmp/";
        FileSystem::createFolders(paths.documentsFolder);
        FileSystem::createFolders(home + "Store");
        FolderCommands commands(paths, messages, shell);
        TOpenDirForm chooser(messages, paths.documentsFolder);
        FolderGroups groups(commands, chooser);
        groups.setShownDatabaseFolder(paths.databaseFolder);
        groups.resize(460, 300);
        groups.show();
        QVERIFY(groups.databaseLocationEdit()->isReadOnly());
        QCOMPARE(groups.cleanNowButton()->palette().color(QPalette::ButtonText), QColor(Qt::red));
        QSignalSpy changed(&groups, &FolderGroups::databaseFolderChanged);

        // Cancel in the warning: no chooser, nothing changes.
        m_sandbox->answers = {MessageAnswer::Cancel};
        bool chooserShown = false;
        whenChooserShows([&](TOpenDirForm &f) {
            chooserShown = true;
            f.reject();
        });
        QTest::mouseClick(groups.changeDatabaseButton(), Qt::LeftButton);
        QVERIFY(!chooserShown);
        QCOMPARE(changed.count(), 0);
        QTest::qWait(30);
        QVERIFY(!chooserShown);
        QApplication::processEvents();

        // A missing folder answered No: the chooser closes, the folder stays.
        m_sandbox->boxes.clear();
        m_sandbox->answers = {MessageAnswer::Yes, MessageAnswer::No};
        whenChooserShows([&](TOpenDirForm &f) {
            QCOMPARE(f.dirPathEdit()->text(), QString::fromUtf8(paths.databaseFolder.c_str()));
            enterPath(f, home + "gone");
        });
        QTest::mouseClick(groups.changeDatabaseButton(), Qt::LeftButton);
        QVERIFY(m_sandbox->sawBox("Database directory was not updated because\nthe path entered does not exist."));
        QCOMPARE(paths.databaseFolder, m_sandbox->program() + "Database/");
        QCOMPARE(changed.count(), 0);

        // An existing folder: shown, in use, and the settings hear of it.
        m_sandbox->answers = {MessageAnswer::Yes};
        whenChooserShows([&](TOpenDirForm &f) { enterPath(f, home + "Store"); });
        QTest::mouseClick(groups.changeDatabaseButton(), Qt::LeftButton);
        const std::string store = FileSystem::longForm(home + "Store") + "/";
        QCOMPARE(paths.databaseFolder, store);
        QCOMPARE(groups.shownDatabaseFolder(), store);
        QCOMPARE(changed.count(), 1);

        if (!qEnvironmentVariableIsEmpty("QUORVEX_GRAB_DIR")) {
            const QString dir = qEnvironmentVariable("QUORVEX_GRAB_DIR");
            groups.grab().save(dir + QStringLiteral("/folder-groups.png"));
            whenChooserShows([&](TOpenDirForm &f) {
                QTest::qWait(300);
                f.grab().save(dir + QStringLiteral("/open-dir.png"));
                f.reject();
            });
            chooser.preset(store);
            chooser.choose();
        }
    }
};

QTEST_MAIN(FolderWindowTest)
#include "FolderWindowTest.moc"
