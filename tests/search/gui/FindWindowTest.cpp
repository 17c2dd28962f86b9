#include "GuiSandbox.h"
#include "document/gui/StringGrid.h"
#include "search/gui/TFindForm.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace quorvex;

// The find window and the tool-bar boxes on a started main window, driven
// through keys and clicks as a person drives them.
class FindWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::GuiSandbox> m_sandbox;
    std::unique_ptr<TMainForm> m_form;

    ListDocument &doc() { return m_form->editor().document(); }
    StringGrid *grid() { return m_form->grid(); }
    TFindForm *find() { return m_form->findForm(); }
    template <class T> T *child(QObject *parent, const char *name)
    {
        T *w = parent->findChild<T *>(QString::fromLatin1(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    QAction *mainAction(const char *name) { return child<QAction>(m_form.get(), name); }
    void click(const char *button) { QTest::mouseClick(child<QPushButton>(find(), button), Qt::LeftButton); }
    std::string findFile() { return FileSystem::readFile(m_sandbox->program() + "find.mtr").value_or("<none>"); }
    int boxesSaying(const std::string &text)
    {
        int n = 0;
        for (const auto &b : m_sandbox->boxes)
            n += b.text == text;
        return n;
    }

    // Titles in column 1, genres in column 4, on four data rows.
    void loadMovies()
    {
        const char *titles[] = {"The Matrix", "Heat", "Matrix Reloaded", "Alien"};
        const char *genres[] = {"Drama", "drama", "Action", "Drama"};
        doc().SetRowCount(5);
        for (int r = 1; r <= 4; ++r) {
            doc().SetCell(1, r, titles[r - 1]);
            doc().SetCell(4, r, genres[r - 1]);
        }
        m_form->editor().undoHistory().reset(doc());
        m_form->documentChanged();
        selectCell(1, 1);
    }

    void selectCell(int col, int row)
    {
        grid()->setFocus();
        grid()->setCurrentIndex(grid()->model()->index(row - 1, col - 1));
        QCoreApplication::processEvents();
    }

    QString cellAt(int col, int row) { return QString::fromStdString(doc().GetCell(col, row)); }

private slots:
    void init()
    {
        m_sandbox = std::make_unique<test::GuiSandbox>();
        m_form = m_sandbox->start();
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
        loadMovies();
        // Reading the starting list leaves the tool-bar boxes disabled until the
        // file lock is mended elsewhere; a person sees them enabled.
        for (const char *name : {"ChooseFromListBox", "QuickSearchBox"})
            child<QComboBox>(m_form.get(), name)->setEnabled(true);
    }

    void cleanup()
    {
        // One test answers the boxes itself; nothing is left to save.
        QtMessageService::setResponder(nullptr);
        m_form->editor().listModified = false;
        m_form->ExitBtnClick();
        m_form.reset();
        m_sandbox.reset();
    }

    void findReplaceAndUndo_throughKeysButtonsAndTheClose()
    {
        QVERIFY(mainAction("FindNextBtn")->isEnabled());
        QTest::keyClick(grid(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(find()->isVisible());
        QCOMPARE(find()->windowTitle(), QStringLiteral("Find Text"));
        QVERIFY(!child<QLineEdit>(find(), "ReplaceEdit")->isVisible());
        QCOMPARE(find()->width(), TFindForm::ClientWidth);
        // The first Close (through Ctrl+F) writes the defaults.
        QCOMPARE(findFile(), std::string("0 1 0\r\n"));
        auto *text = child<QLineEdit>(find(), "TextToFindEdit");
        QCOMPARE(find()->focusWidget(), static_cast<QWidget *>(text));
        QVERIFY(!child<QPushButton>(find(), "FindBtn")->isEnabled());
        QTest::keyClicks(text, QStringLiteral("MATRIX"));
        QVERIFY(child<QPushButton>(find(), "FindBtn")->isEnabled());

        selectCell(2, 4);
        click("FindBtn");
        QCOMPARE(doc().Row(), 1);
        QCOMPARE(doc().Col(), 1);
        QCOMPARE(grid()->currentIndex().row(), 0);
        // F3 as often as there are hits, then "not found" without wrapping.
        QTest::keyClick(grid(), Qt::Key_F3);
        QCOMPARE(doc().Row(), 3);
        QTest::keyClick(grid(), Qt::Key_F3);
        QTest::keyClick(grid(), Qt::Key_F3);
        QCOMPARE(boxesSaying("Text not found."), 2);
        QCOMPARE(doc().Row(), 3);

        // Replace on the hit under the current cell, answered Yes.
        QTest::keyClick(grid(), Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(find()->windowTitle(), QStringLiteral("Find and Replace Text"));
        QVERIFY(child<QPushButton>(find(), "ReplaceBtn")->isDefault());
        QTest::keyClicks(child<QLineEdit>(find(), "ReplaceEdit"), QStringLiteral("Neo"));
        m_sandbox->answers = {MessageAnswer::Yes};
        click("ReplaceBtn");
        QCOMPARE(boxesSaying("Replace this occurence?"), 1);
        QCOMPARE(cellAt(1, 3), QStringLiteral("Neo Reloaded"));
        QCOMPARE(mainAction("UndoBtn")->text(), QStringLiteral("&Undo Find and Replace\tCtrl+Z"));

        // Replace All from the first row: one question, one Undo for the run.
        selectCell(1, 1);
        m_sandbox->answers = {MessageAnswer::Yes};
        click("ReplaceAllBtn");
        QCOMPARE(cellAt(1, 1), QStringLiteral("The Neo"));
        QCOMPARE(boxesSaying("Done finding and replacing text."), 1);
        QCOMPARE(mainAction("UndoBtn")->text(), QStringLiteral("&Undo Find and Replace All\tCtrl+Z"));
        mainAction("UndoBtn")->trigger();
        QCOMPARE(cellAt(1, 1), QStringLiteral("The Matrix"));
        QCOMPARE(cellAt(1, 3), QStringLiteral("Neo Reloaded"));

        QTest::mouseClick(child<QCheckBox>(find(), "EntireCellChkBox"), Qt::LeftButton);
        click("CloseBtn");
        QVERIFY(!find()->isVisible());
        QCOMPARE(findFile(), std::string("1 1 0\r\n"));
    }

    void replaceAll_blocksListCommandsWhileItAsksAndCancelEndsTheRun()
    {
        QTest::keyClick(grid(), Qt::Key_R, Qt::ControlModifier);
        QTest::keyClicks(child<QLineEdit>(find(), "TextToFindEdit"), QStringLiteral("a"));
        QTest::keyClicks(child<QLineEdit>(find(), "ReplaceEdit"), QStringLiteral("4"));
        const int rows = doc().RowCount();
        std::vector<std::string> asked;
        int questions = 0;
        QtMessageService::setResponder([&](MessageKind, const std::string &text, MessageButtons) {
            asked.push_back(text);
            if (text != "Replace this occurence?")
                return MessageAnswer::Ok;
            if (++questions == 1) {
                // What a person might do while the question waits: delete rows,
                // start a second run, open another list.
                QTest::keyClick(grid(), Qt::Key_Delete, Qt::ShiftModifier);
                if (!m_form->editor().longOperationRunning)
                    asked.push_back("flag off");
                child<QPushButton>(find(), "ReplaceAllBtn")->click();
                mainAction("NewRowBtn")->trigger();
                mainAction("OpenListBtn")->trigger();
                QCoreApplication::processEvents();
                return MessageAnswer::No;
            }
            return questions == 2 ? MessageAnswer::Yes : MessageAnswer::Cancel;
        });
        selectCell(1, 1);
        child<QPushButton>(find(), "ReplaceAllBtn")->click();
        QCOMPARE(doc().RowCount(), rows);
        QCOMPARE(questions, 3);
        QCOMPARE(asked.back(), std::string("Done finding and replacing text."));
        // Row by row: "The Matrix" answered No, "Drama" Yes, "Heat" cancelled.
        QCOMPARE(cellAt(1, 1), QStringLiteral("The Matrix"));
        QCOMPARE(cellAt(4, 1), QStringLiteral("Dr4ma"));
        QCOMPARE(cellAt(1, 2), QStringLiteral("Heat"));
        QVERIFY(!m_form->editor().longOperationRunning);
        QVERIFY(std::find(asked.begin(), asked.end(), "flag off") == asked.end());
        m_form->editor().Undo();
        QCOMPARE(cellAt(4, 1), QStringLiteral("Drama"));
    }

    void quickSearch_typingMovesTheCurrentRowFromTheTop()
    {
        auto *box = child<QComboBox>(m_form.get(), "QuickSearchBox");
        // Wide enough for both boxes on the tool bar, as on a maximised window.
        m_form->resize(1400, 600);
        QCoreApplication::processEvents();
        QVERIFY(box->isVisible());
        QCOMPARE(child<QLabel>(m_form.get(), "QuickSearchLbl")->text(), QStringLiteral("&Quick search (Column 2): "));
        doc().SetCell(2, 2, "Matinee");
        doc().SetCell(2, 4, "Format");
        m_form->documentChanged();
        selectCell(1, 4);
        box->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        QCOMPARE(box->count(), 2);
        QCOMPARE(m_form->editor().statusBar().text(0), std::string("Ready."));
        QTest::keyClicks(box, QStringLiteral("MAT"));
        QCOMPARE(doc().Row(), 2);
        QCOMPARE(doc().Col(), 2);
        QCOMPARE(grid()->currentIndex().row(), 1);
        QTest::keyClicks(box, QStringLiteral("z"));
        QCOMPARE(doc().Row(), 2);
        // Each change searches from the first row again.
        box->lineEdit()->clear();
        QTest::keyClicks(box, QStringLiteral("rmat"));
        QCOMPARE(doc().Row(), 4);
    }

    void preEnteredBox_writesTheCellUndoRestoresAndAttachmentsStay()
    {
        auto *box = child<QComboBox>(m_form.get(), "ChooseFromListBox");
        selectCell(4, 3);
        QCOMPARE(box->currentText(), QStringLiteral("Action"));
        box->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        QCOMPARE(box->count(), 3); // Drama, drama, Action: case-sensitive distinct
        box->lineEdit()->selectAll();
        QTest::keyClicks(box, QStringLiteral("Dra"));
        QCOMPARE(cellAt(4, 3), QStringLiteral("Dra"));
        QCOMPARE(mainAction("UndoBtn")->text(), QStringLiteral("&Undo Cell Edit\tCtrl+Z"));
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(grid()));
        QCOMPARE(cellAt(4, 3), QStringLiteral("Dra"));
        mainAction("UndoBtn")->trigger();
        QCOMPARE(cellAt(4, 3), QStringLiteral("Action"));

        // Picking from the list writes the pick.
        selectCell(4, 3);
        box->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        const int drama = box->findText(QStringLiteral("drama"));
        QVERIFY(drama >= 0);
        emit box->activated(drama);
        QCOMPARE(cellAt(4, 3), QStringLiteral("drama"));

        // Over an attachment the box shows nothing and writes nothing.
        const std::string picture = std::string("\x01\x01") + "poster.jpg";
        doc().SetCell(4, 2, picture);
        m_form->documentChanged();
        selectCell(4, 2);
        QCOMPARE(box->currentText(), QString());
        box->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(box, QStringLiteral("x"));
        QCOMPARE(doc().GetCell(4, 2), picture);
    }
};

QTEST_MAIN(FindWindowTest)
#include "FindWindowTest.moc"
