#include "GuiSandbox.h"
#include "listfile/gui/TImportTextForm.h"
#include "platform/core/FileSystem.h"

#include <QAction>
#include <QComboBox>
#include <QTest>
#include <QTimer>

using namespace quorvex;

// File > Import Text List and a list named on the command line, through the window.
class TextImportWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::GuiSandbox> m_sandbox;

    // Answers the list-type dialog when it shows: picks `type`, then OK or Cancel.
    void answerTypeDialog(TImportTextForm *dialog, const QString &type, bool accept)
    {
        QTimer::singleShot(0, dialog, [dialog, type, accept] {
            QVERIFY(dialog->isVisible());
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Import Text List"));
            dialog->listTypeBox()->setCurrentIndex(dialog->listTypeBox()->findData(type));
            accept ? dialog->accept() : dialog->reject();
        });
    }

private slots:
    void init() { m_sandbox = std::make_unique<test::GuiSandbox>(); }
    void cleanup() { m_sandbox.reset(); }

    void importMenu_makesAnUnsavedListUndoneInOneStep()
    {
        auto form = m_sandbox->start();
        QAction *item = form->findChild<QAction *>(QStringLiteral("ImportTextListBtn"));
        QVERIFY(item);
        QCOMPARE(item->text(), QStringLiteral("&Import Text List..."));
        const std::string before = form->editor().document().GetCell(1, 0);
        const std::string csv = m_sandbox->home() + "export.csv";
        FileSystem::writeFileAtomic(csv, "Artist,Album\r\n\"Queen, UK\",\"A Night\r\nat the Opera\"\r\nBj\xC3\xB6rk,\xE4\xB8\xAD\r\n");

        // Cancelled at the list type: nothing changes.
        m_sandbox->chosenFiles.push_back({csv, 0});
        answerTypeDialog(form->importTextForm(), QStringLiteral("cdmusic"), false);
        item->trigger();
        QCOMPARE(form->editor().document().GetCell(1, 0), before);
        QVERIFY(!form->editor().listModified);

        m_sandbox->chosenFiles.push_back({csv, 0});
        answerTypeDialog(form->importTextForm(), QStringLiteral("cdmusic"), true);
        item->trigger();
        const ListDocument &doc = form->editor().document();
        QCOMPARE(doc.GetCell(1, 0), std::string("Artist"));
        QCOMPARE(doc.GetCell(1, 1), std::string("Queen, UK"));
        QCOMPARE(doc.GetCell(2, 1), std::string("A Night\r\nat the Opera"));
        QCOMPARE(doc.GetCell(1, 2), std::string("Bj\xF6rk"));
        QCOMPARE(doc.GetCell(2, 2), std::string("?"));
        QCOMPARE(form->editor().listType, std::string("cdmusic"));
        QCOMPARE(doc.ColWidth(1), 9 * 7 + 10);
        QCOMPARE(doc.ColWidth(2), ListDocument::DefaultColWidth + 9);
        QVERIFY(form->editor().listModified);
        QVERIFY(!form->editor().saveListEnabled);
        QVERIFY(m_sandbox->sawBox("1 character of the text cannot be held in a list"));
        QCOMPARE(form->editor().undoHistory().caption(), std::string("&Undo Import"));

        form->UndoBtnClick();
        QCOMPARE(form->editor().document().GetCell(1, 0), before);

        // A damaged text: an error, the list stays.
        FileSystem::writeFileAtomic(csv, "a,b\n\"open quote\n");
        m_sandbox->chosenFiles.push_back({csv, 0});
        answerTypeDialog(form->importTextForm(), QStringLiteral("dvdmovie"), true);
        item->trigger();
        QVERIFY(m_sandbox->sawBox("is never closed"));
        QCOMPARE(form->editor().document().GetCell(1, 0), before);
        m_sandbox->answers.push_back(MessageAnswer::No);
        form->ExitBtnClick();
    }

    void commandLineList_opensOrLeavesTheTemplateWithAMessage()
    {
        auto form = m_sandbox->start();
        const std::string before = form->editor().document().GetCell(1, 0);
        form->openListFromCommandLine(QString::fromStdString(m_sandbox->home() + "missing.lst"));
        QVERIFY(!m_sandbox->boxes.empty());
        QCOMPARE(form->editor().document().GetCell(1, 0), before);

        const std::string list = m_sandbox->home() + "mine.lst";
        form->editor().document().SetCell(1, 0, "Mine");
        form->documentChanged();
        m_sandbox->chosenFiles.push_back({list, 1});
        form->findChild<QAction *>(QStringLiteral("SaveListAsBtn"))->trigger();
        QVERIFY(FileSystem::isRegularFile(list));
        form->editor().document().SetCell(1, 0, "Other");
        form->editor().listModified = false;
        form->openListFromCommandLine(QString::fromStdString(list));
        QCOMPARE(form->editor().document().GetCell(1, 0), std::string("Mine"));
        QCOMPARE(form->windowTitle(), QString::fromStdString("Quorvex - " + list));
        form->ExitBtnClick();
    }
};

QTEST_MAIN(TextImportWindowTest)
#include "TextImportWindowTest.moc"
