#include "GuiSandbox.h"
#include "platform/core/FileSystem.h"
#include "app/gui/StatusBarWidget.h"
#include "document/gui/StringGrid.h"
#include "app/gui/TLogoForm.h"
#include "app/gui/TMainForm.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>

#include <memory>

#include <sys/stat.h>

using namespace quorvex;

namespace {

std::string firstLine(const std::string &path)
{
    const auto text = FileSystem::readFile(path);
    if (!text)
        return "<missing>";
    return text->substr(0, text->find('\n'));
}

QAction *action(QWidget *form, const char *name)
{
    return form->findChild<QAction *>(QString::fromLatin1(name));
}

} // namespace

class TMainFormTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::GuiSandbox> m_sandbox;
    std::string m_program;

    std::unique_ptr<TMainForm> startCopy() { return m_sandbox->start(); }

private slots:
    void init()
    {
        m_sandbox = std::make_unique<test::GuiSandbox>();
        m_program = m_sandbox->program();
    }

    void cleanup() { m_sandbox.reset(); }

    void startAndExit_twoCopiesCountAndCleanUp()
    {
        auto first = startCopy();
        QVERIFY(first->started());
        QVERIFY(FileSystem::isDirectory(m_program + "Database/"));
        QCOMPARE(firstLine(m_program + "RunCount.mtr"), std::string("1"));
        const std::string tmp = first->editor().paths().tempFolder;
        QCOMPARE(first->editor().paths().instanceTempFolder, tmp + "1/");
        QVERIFY(FileSystem::isDirectory(tmp + "1/"));

        auto second = startCopy();
        QCOMPARE(firstLine(m_program + "RunCount.mtr"), std::string("2"));
        QCOMPARE(second->editor().paths().instanceTempFolder, tmp + "2/");

        // A read-only file left in a copy's folder does not stop its removal.
        FileSystem::writeFileAtomic(tmp + "2/locked.bin", "x");
        ::chmod((tmp + "2/locked.bin").c_str(), 0444);

        second->ExitBtnClick();
        QCOMPARE(firstLine(m_program + "RunCount.mtr"), std::string("1"));
        QVERIFY(!FileSystem::exists(tmp + "2/"));
        first->ExitBtnClick();
        QCOMPARE(firstLine(m_program + "RunCount.mtr"), std::string("0"));
        QVERIFY(!FileSystem::exists(tmp + "1/"));
        QVERIFY(!first->isVisible());
    }

    void startup_opensOnTheDvdTemplateWithoutAQuestion()
    {
        auto form = startCopy();
        QVERIFY(m_sandbox->boxes.empty());
        QCOMPARE(form->grid()->model()->columnCount(), 8);
        QCOMPARE(form->grid()->model()->rowCount(), 1);
        QCOMPARE(form->grid()->model()->headerData(0, Qt::Vertical).toString(), QStringLiteral(" 1"));
        QCOMPARE(form->grid()->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("DVD #"));
        QCOMPARE(form->editor().listType, std::string("dvdmovie"));
        QVERIFY(!form->editor().listModified);
        QCOMPARE(QString::fromStdString(form->editor().statusBar().text(0)), QStringLiteral("Total movies: 1"));
        QCOMPARE(QString::fromStdString(form->editor().statusBar().text(1)), QStringLiteral("Selected row: 1"));
        form->ExitBtnClick();
    }

    void menus_captionsShortcutsAndLaterCommandsDisabled()
    {
        auto form = startCopy();
        QStringList titles;
        for (QAction *menu : form->menuBar()->actions())
            titles << menu->text();
        QCOMPARE(titles, (QStringList{QStringLiteral("&File"), QStringLiteral("&Edit"), QStringLiteral("&Grid"),
                                      QStringLiteral("&Search"), QStringLiteral("&View"), QStringLiteral("&Options"),
                                      QStringLiteral("&Wizard"),
                                      QStringLiteral("&Help")}));
        QCOMPARE(action(form.get(), "HelpBtn")->shortcut(), QKeySequence(Qt::Key_F1));
        QCOMPARE(action(form.get(), "SaveListBtn")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
        QCOMPARE(action(form.get(), "DeleteRowBtn")->text(), QStringLiteral("Delete &Selected Row(s)"));
        QVERIFY(action(form.get(), "ExitBtn")->isEnabled());
        QVERIFY(!action(form.get(), "UndoBtn")->isEnabled());
        QVERIFY(!action(form.get(), "RedoBtn")->isEnabled());
        QVERIFY(!action(form.get(), "SaveListBtn")->isEnabled());

        // Opening the Edit menu applies the selection rules: one data row selected
        // spans every data row, so Select Column is off.
        auto *edit = form->findChild<QMenu *>(QStringLiteral("Edit1"));
        emit edit->aboutToShow();
        QVERIFY(!action(form.get(), "SelectColBtn")->isEnabled());
        form->ExitBtnClick();
    }

    void typingThenUndo_restoresCellAndCaption()
    {
        auto form = startCopy();
        QAbstractItemModel *model = form->grid()->model();
        model->setData(model->index(0, 1), QStringLiteral("Heat"), Qt::EditRole);
        QCOMPARE(form->editor().document().GetCell(2, 1), std::string("Heat"));
        QAction *undo = action(form.get(), "UndoBtn");
        QVERIFY(undo->isEnabled());
        QVERIFY(undo->text().startsWith(QStringLiteral("&Undo Cell Edit")));
        undo->trigger();
        QCOMPARE(form->editor().document().GetCell(2, 1), std::string());
        QVERIFY(action(form.get(), "RedoBtn")->isEnabled());
        action(form.get(), "RedoBtn")->trigger();
        QCOMPARE(form->editor().document().GetCell(2, 1), std::string("Heat"));
        form->ExitBtnClick();
    }

    void columnDrag_movesDataAndUndoes()
    {
        auto form = startCopy();
        ListDocument &doc = form->editor().document();
        // Drag column 3 before column 1.
        form->grid()->horizontalHeader()->moveSection(2, 0);
        QCOMPARE(doc.GetCell(1, 0), std::string("Genre"));
        QCOMPARE(doc.GetCell(2, 0), std::string("DVD #"));
        QCOMPARE(doc.GetCell(3, 0), std::string("Movie Title"));
        QCOMPARE(form->grid()->horizontalHeader()->visualIndex(0), 0);
        QVERIFY(action(form.get(), "UndoBtn")->text().startsWith(QStringLiteral("&Undo Move Column")));
        action(form.get(), "UndoBtn")->trigger();
        QCOMPARE(doc.GetCell(1, 0), std::string("DVD #"));
        QCOMPARE(doc.GetCell(3, 0), std::string("Genre"));
        form->ExitBtnClick();
    }

    void startup_closeWhileAStartupBoxIsUpLeavesNoCountNorFolder()
    {
        // An unreadable settings file puts a box up in the middle of start-up.
        QVERIFY(FileSystem::createFolders(m_program + "settings.mtr"));
        TMainForm form;
        form.showSplash = false;
        form.setKeepSize(true);
        bool closed = false;
        QtMessageService::setResponder([&](MessageKind, const std::string &text, MessageButtons) {
            if (text.find("settings file") != std::string::npos && !closed) {
                closed = true;
                form.close();
            }
            return MessageAnswer::Ok;
        });
        form.show();
        QTRY_VERIFY_WITH_TIMEOUT(!form.isVisible() || form.started(), 10000);
        QCoreApplication::processEvents();
        QVERIFY(closed);
        QVERIFY(!form.isVisible());
        QCOMPARE(firstLine(m_program + "RunCount.mtr"), std::string("0"));
        QVERIFY(form.editor().paths().instanceTempFolder.empty());
        QVERIFY(!FileSystem::exists(form.editor().paths().tempFolder + "1/"));
    }

    void splash_endsOnClickAndWithinItsPassLimit()
    {
        TMainForm form;
        TLogoForm logo;
        form.setLogoForm(&logo);
        form.setKeepSize(true);
        logo.onStop = [&form] { form.stopSplash(); };
        QSignalSpy started(&form, &TMainForm::startupFinished);
        QElapsedTimer clock;
        clock.start();
        form.show();
        QVERIFY(started.wait(10000));
        // 600 passes of at least 1 ms each, never unbounded.
        QVERIFY(clock.elapsed() >= 600);
        QVERIFY(clock.elapsed() < 9000);
        QCOMPARE(form.splashFlag(), QStringLiteral("show"));
        QVERIFY(form.isEnabled());
        QVERIFY(!logo.isVisible());
        QTest::keyClick(&logo, Qt::Key_Space);
        QCOMPARE(form.splashFlag(), QStringLiteral("stop"));
        form.ExitBtnClick();
    }

    void statusBar_panelZeroTakesTheRestBetweenLimits()
    {
        auto form = startCopy();
        form->resize(700, 500);
        QCoreApplication::processEvents();
        QCOMPARE(form->editor().statusBar().width(0), 700 - (125 + 105 + 120));
        form->resize(2000, 500);
        QCoreApplication::processEvents();
        QCOMPARE(form->editor().statusBar().width(0), 400);
        form->ExitBtnClick();
    }
};

QTEST_MAIN(TMainFormTest)
#include "TMainFormTest.moc"
