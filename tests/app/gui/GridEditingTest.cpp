#include "GuiSandbox.h"
#include "document/gui/StringGrid.h"
#include "app/gui/TViewCellTextForm.h"
#include "document/gui/THeaderTextForm.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

using namespace quorvex;

namespace {

QAction *action(QWidget *form, const char *name)
{
    return form->findChild<QAction *>(QString::fromLatin1(name));
}

QString undoCaption(QWidget *form)
{
    return action(form, "UndoBtn")->text().section(QLatin1Char('\t'), 0, 0);
}

} // namespace

// The grid driven by keys and the mouse as a person drives it.
class GridEditingTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::GuiSandbox> m_sandbox;
    std::unique_ptr<TMainForm> m_form;

    StringGrid *grid() { return m_form->grid(); }
    ListDocument &doc() { return m_form->editor().document(); }

    void selectCell(int col, int row)
    {
        grid()->setFocus();
        grid()->setCurrentIndex(grid()->model()->index(row - 1, col - 1));
        QCoreApplication::processEvents();
    }

    // The item editor commits Return and Tab through a queued call.
    void key(QWidget *target, Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::keyClick(target, k, mods);
        QCoreApplication::processEvents();
    }

    // The widget that has the keyboard focus inside the main window.
    QWidget *focused() { return m_form->focusWidget() ? m_form->focusWidget() : grid(); }

    // Each key goes where the keyboard focus is, as it does for a person: the
    // first letter opens the editor, the others land in it.
    void typeKeys(const QString &text)
    {
        for (const QChar ch : text) {
            QWidget *target = focused();
            QTest::keyClick(target, ch.toLatin1());
        }
    }

    void typeInto(int col, int row, const QString &text)
    {
        selectCell(col, row);
        typeKeys(text);
        key(focused(), Qt::Key_Return);
        QCoreApplication::processEvents();
    }

private slots:
    void init()
    {
        m_sandbox = std::make_unique<test::GuiSandbox>();
        m_form = m_sandbox->start();
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    }

    void cleanup()
    {
        m_form->ExitBtnClick();
        m_form.reset();
        m_sandbox.reset();
    }

    void typingTwoLettersThenUndo_restoresTheEmptyCell()
    {
        selectCell(2, 1);
        typeKeys(QStringLiteral("ab"));
        QVERIFY(grid()->isEditing());
        key(focused(), Qt::Key_Return);
        QCOMPARE(doc().GetCell(2, 1), std::string("ab"));
        QVERIFY(m_form->editor().listModified);
        QCOMPARE(undoCaption(m_form.get()), QStringLiteral("&Undo Cell Edit"));
        // Ctrl+Z reaches Undo through the grid while no editor is open.
        key(grid(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(doc().GetCell(2, 1), std::string());
    }

    void tabOnTheLastCell_growsTheListByOneRow()
    {
        selectCell(8, 1);
        QCOMPARE(doc().RowCount(), 2);
        key(grid(), Qt::Key_Tab);
        QCOMPARE(doc().RowCount(), 3);
        QCOMPARE(doc().Row(), 2);
        QCOMPARE(doc().Col(), 1);
        QCOMPARE(grid()->currentIndex().row(), 1);
        // Tab from an open editor on the last cell grows it too.
        selectCell(8, 2);
        typeKeys(QStringLiteral("x"));
        QVERIFY(grid()->isEditing());
        key(focused(), Qt::Key_Tab);
        QCOMPARE(doc().GetCell(8, 2), std::string("x"));
        QCOMPARE(doc().RowCount(), 4);
    }

    void delWithoutEditor_clearsTheSelectionButNotWhileEditing()
    {
        typeInto(2, 1, QStringLiteral("Heat"));
        typeInto(3, 1, QStringLiteral("Drama"));
        selectCell(2, 1);
        key(grid(), Qt::Key_Delete);
        QCOMPARE(doc().GetCell(2, 1), std::string());
        QCOMPARE(doc().GetCell(3, 1), std::string("Drama"));
        QCOMPARE(undoCaption(m_form.get()), QStringLiteral("&Undo Delete"));

        // With an editor open Del edits the text only.
        selectCell(3, 1);
        key(grid(), Qt::Key_F2);
        QVERIFY(grid()->isEditing());
        auto *editor = qobject_cast<QLineEdit *>(focused());
        QVERIFY(editor);
        editor->setCursorPosition(0);
        key(editor, Qt::Key_Delete);
        key(editor, Qt::Key_Return);
        QCOMPARE(doc().GetCell(3, 1), std::string("rama"));
    }

    // Shift let go before Del, as people often do: the rows that moved up
    // into the selection keep their texts.
    void shiftDelReleasedShiftFirst_deletesRowsAndClearsNothing()
    {
        typeInto(2, 1, QStringLiteral("Alien"));
        action(m_form.get(), "NewRowBtn")->trigger();
        typeInto(2, 2, QStringLiteral("Heat"));
        action(m_form.get(), "NewRowBtn")->trigger();
        typeInto(2, 3, QStringLiteral("Ran"));
        selectCell(2, 2);
        emit m_form->findChild<QMenu *>(QStringLiteral("Grid1"))->aboutToShow();
        QTest::keyPress(grid(), Qt::Key_Shift);
        QTest::keyPress(grid(), Qt::Key_Delete, Qt::ShiftModifier);
        QTest::keyRelease(grid(), Qt::Key_Shift, Qt::ShiftModifier);
        QTest::keyRelease(grid(), Qt::Key_Delete);
        QCoreApplication::processEvents();
        QCOMPARE(doc().RowCount(), 3);
        QCOMPARE(doc().GetCell(2, 1), std::string("Alien"));
        QCOMPARE(doc().GetCell(2, 2), std::string("Ran"));

        // A plain Del still clears.
        selectCell(2, 2);
        key(grid(), Qt::Key_Delete);
        QCOMPARE(doc().GetCell(2, 2), std::string());
    }

    void ctrlXWithoutEditor_cutsCellsToTheClipboardButNotWhileEditing()
    {
        typeInto(2, 1, QStringLiteral("Heat"));
        selectCell(2, 1);
        key(grid(), Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(doc().GetCell(2, 1), std::string());
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Heat\r\n"));
        QCOMPARE(undoCaption(m_form.get()), QStringLiteral("&Undo Cut"));

        typeInto(3, 1, QStringLiteral("Drama"));
        selectCell(3, 1);
        key(grid(), Qt::Key_F2);
        auto *editor = qobject_cast<QLineEdit *>(focused());
        QVERIFY(editor);
        editor->selectAll();
        key(editor, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Drama"));
        key(editor, Qt::Key_Escape);
        QCOMPARE(doc().GetCell(3, 1), std::string("Drama"));
    }

    void copyThenPasteIntoAnotherPlace_keepsTheSpreadsheetLayout()
    {
        typeInto(2, 1, QStringLiteral("Heat"));
        typeInto(3, 1, QStringLiteral("Crime"));
        doc().SelectRange(2, 1, 3, 1);
        m_form->documentChanged();
        action(m_form.get(), "CopyBtn")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Heat\tCrime\r\n"));
        selectCell(4, 1);
        action(m_form.get(), "PasteBtn")->trigger();
        QCOMPARE(doc().GetCell(4, 1), std::string("Heat"));
        QCOMPARE(doc().GetCell(5, 1), std::string("Crime"));
        QCOMPARE(undoCaption(m_form.get()), QStringLiteral("&Undo Paste"));
    }

    // Nobody opens the Edit menu between the two keys.
    void ctrlCThenCtrlVWithKeysOnly_pastesAtTheNewCell()
    {
        typeInto(2, 1, QStringLiteral("Ran"));
        QGuiApplication::clipboard()->clear();
        action(m_form.get(), "PasteBtn")->setEnabled(false);
        selectCell(2, 1);
        key(grid(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Ran\r\n"));
        selectCell(3, 1);
        key(grid(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(doc().GetCell(3, 1), std::string("Ran"));
        QCOMPARE(undoCaption(m_form.get()), QStringLiteral("&Undo Paste"));

        // After the whole list was selected with the menu open, Ctrl+A on a
        // single cell still selects everything.
        key(grid(), Qt::Key_A, Qt::ControlModifier);
        emit m_form->findChild<QMenu *>(QStringLiteral("Edit1"))->aboutToShow();
        QVERIFY(!action(m_form.get(), "SelectAllBtn")->isEnabled());
        selectCell(2, 1);
        key(grid(), Qt::Key_A, Qt::ControlModifier);
        const auto sel = doc().Selection();
        QCOMPARE(sel.Left, 1);
        QCOMPARE(sel.Bottom, doc().RowCount() - 1);
    }

    // Items that found nothing to do stay disabled until their menu opens again.
    void refusedDeletionAndEmptyPaste_disableTheirItems()
    {
        QVERIFY(action(m_form.get(), "DeleteRowBtn")->isEnabled());
        action(m_form.get(), "DeleteRowBtn")->trigger();
        QCOMPARE(doc().RowCount(), 2);
        QVERIFY(!action(m_form.get(), "DeleteRowBtn")->isEnabled());

        QGuiApplication::clipboard()->clear();
        action(m_form.get(), "PasteBtn")->setEnabled(true);
        action(m_form.get(), "PasteBtn")->trigger();
        QVERIFY(m_sandbox->sawBox("Windows clipboard does not contain text."));
        QVERIFY(!action(m_form.get(), "PasteBtn")->isEnabled());
        QVERIFY(!action(m_form.get(), "Paste1")->isEnabled());
    }

    void rowCommandsAndHeaderDialog_changeTheListWithTheirUndo()
    {
        action(m_form.get(), "NewRowBtn")->trigger();
        QCOMPARE(doc().RowCount(), 3);
        QCOMPARE(grid()->model()->rowCount(), 2);
        QCOMPARE(undoCaption(m_form.get()), QStringLiteral("&Undo New Row"));

        // New Column asks for the header in the dialog; OK takes the text.
        QTimer::singleShot(0, this, [this] {
            THeaderTextForm *dialog = m_form->headerTextForm();
            dialog->textEdit()->setText(QStringLiteral("Shelf"));
            dialog->accept();
        });
        action(m_form.get(), "NewColBtn")->trigger();
        QCOMPARE(doc().ColCount(), 10);
        QCOMPARE(doc().GetCell(9, 0), std::string("Shelf"));
        QCOMPARE(grid()->model()->headerData(8, Qt::Horizontal).toString(), QStringLiteral("Shelf"));
        QCOMPARE(undoCaption(m_form.get()), QStringLiteral("&Undo New Column"));
        action(m_form.get(), "UndoBtn")->trigger();
        QCOMPARE(doc().ColCount(), 9);
    }

    void cellTextWindow_savesOneLineAndOneUndoStep()
    {
        typeInto(2, 1, QStringLiteral("Old"));
        // Leaving the cell ends that typing's undo step.
        selectCell(3, 1);
        TViewCellTextForm *window = m_form->cellTextForm();
        selectCell(2, 1);
        window->show();
        QCOMPARE(window->richEdit()->toPlainText(), QStringLiteral("Old"));
        QCOMPARE(window->lengthPanelText(), QStringLiteral("Text length: 3"));
        window->richEdit()->setPlainText(QStringLiteral("A long plot\r\nsummary\tends"));
        QVERIFY(window->saveAction()->isEnabled());
        window->SaveBtnClick();
        QCOMPARE(doc().GetCell(2, 1), std::string("A long plot  summary ends"));
        window->richEdit()->setPlainText(QStringLiteral("Second save"));
        window->SaveBtnClick();
        window->CloseBtnClick();
        QVERIFY(!window->isVisible());
        QCOMPARE(undoCaption(m_form.get()), QStringLiteral("&Undo View Cell Text Edit"));
        action(m_form.get(), "UndoBtn")->trigger();
        QCOMPARE(doc().GetCell(2, 1), std::string("Old"));
    }

    void cellTextWindow_closeWithUnsavedEditsAndCancelStaysOpen()
    {
        TViewCellTextForm *window = m_form->cellTextForm();
        selectCell(2, 1);
        window->show();
        window->richEdit()->setPlainText(QStringLiteral("draft"));
        m_sandbox->answers.push_back(MessageAnswer::Cancel);
        window->CloseBtnClick();
        QVERIFY(window->isVisible());
        QVERIFY(m_sandbox->sawBox("Save changes?"));
        m_sandbox->answers.push_back(MessageAnswer::No);
        window->CloseBtnClick();
        QVERIFY(!window->isVisible());
        QCOMPARE(doc().GetCell(2, 1), std::string());
        QVERIFY(!m_form->editor().listModified);
    }
};

QTEST_MAIN(GridEditingTest)
#include "GridEditingTest.moc"
