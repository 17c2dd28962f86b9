#include "GuiSandbox.h"
#include "document/gui/StringGrid.h"
#include "filter/gui/FilterBar.h"
#include "filter/gui/FilterController.h"
#include "filter/gui/GroupPane.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <QToolButton>

using namespace quorvex;

namespace {

QAction *action(QWidget *form, const char *name)
{
    return form->findChild<QAction *>(QString::fromLatin1(name));
}

// Ten films: rows 2, 5 and 8 are dramas with Keanu Reeves, rows 3 and 9 dramas without him.
ListDocument films()
{
    ListDocument doc(4, 11);
    doc.SetCell(1, 0, "Title");
    doc.SetCell(2, 0, "Genre");
    doc.SetCell(3, 0, "Main Actor");
    for (int r = 1; r <= 10; ++r) {
        doc.SetCell(1, r, "Film " + std::to_string(r));
        const bool drama = r % 3 == 2 || r == 3 || r == 9;
        doc.SetCell(2, r, drama ? "Drama" : (r % 2 ? "Comedy" : ""));
        doc.SetCell(3, r, r % 3 == 2 ? "Keanu Reeves" : "Someone Else");
    }
    return doc;
}

} // namespace

// The filter bar and the group pane driven as a person drives them.
class FilterWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::GuiSandbox> m_sandbox;
    std::unique_ptr<TMainForm> m_form;

    ListDocument &doc() { return m_form->editor().document(); }
    FilterController &filter() { return *m_form->filter(); }
    int gridRows() { return m_form->grid()->model()->rowCount(); }
    QString gridText(int row, int col)
    {
        return m_form->grid()->model()->index(row, col - 1).data().toString();
    }

private slots:
    void init()
    {
        m_sandbox = std::make_unique<test::GuiSandbox>();
        m_form = m_sandbox->start();
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
        doc() = films();
        m_form->editor().RenumberPages();
        m_form->editor().undoHistory().reset(doc());
        m_form->documentChanged();
    }

    void cleanup()
    {
        m_form->editor().listModified = false;
        m_form->ExitBtnClick();
        m_form.reset();
        m_sandbox.reset();
    }

    void filterBar_typedConditionsShowOnlyMatchingRowsAndCommandsSpareHiddenOnes()
    {
        QVERIFY(action(m_form.get(), "FilterRowsBtn")->shortcut() == QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
        action(m_form.get(), "FilterRowsBtn")->trigger();
        FilterBar *bar = filter().bar();
        QVERIFY(bar->isVisible());
        QTRY_VERIFY(bar->textBox(0)->hasFocus());
        bar->columnBox(0)->setCurrentIndex(2); // Genre
        bar->testBox(0)->setCurrentIndex(1);   // equals
        QTest::keyClicks(bar->textBox(0), QStringLiteral("drama"));
        QCOMPARE(gridRows(), 5);
        QCOMPARE(filter().statusLabel()->text(), QStringLiteral("Showing 5 of 10"));
        QVERIFY(filter().statusLabel()->isVisible());
        QVERIFY(!m_form->grid()->verticalHeader()->sectionsMovable());

        bar->addButton()->click();
        QCOMPARE(bar->lineCount(), 2);
        bar->columnBox(1)->setCurrentIndex(3); // Main Actor
        QTest::keyClicks(bar->textBox(1), QStringLiteral("reeves"));
        QCOMPARE(gridRows(), 3);
        QCOMPARE(gridText(0, 1), QStringLiteral("Film 2"));
        QCOMPARE(gridText(2, 1), QStringLiteral("Film 8"));

        // Two shown rows selected in the grid (Film 2 and Film 5) and deleted; the rows between stay.
        QTableView *grid = m_form->grid();
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(0, 0));
        grid->selectionModel()->select(QItemSelection(grid->model()->index(0, 0), grid->model()->index(1, 2)),
                                       QItemSelectionModel::ClearAndSelect);
        QCOMPARE(doc().Selection().Top, 2);
        QCOMPARE(doc().Selection().Bottom, 5);
        action(m_form.get(), "DeleteRowBtn")->trigger();
        QCOMPARE(doc().RowCount(), 9);
        QCOMPARE(gridRows(), 1);
        QCOMPARE(doc().GetCell(1, 2), std::string("Film 3"));
        QCOMPARE(doc().GetCell(1, 3), std::string("Film 4"));
        QCOMPARE(filter().statusLabel()->text(), QStringLiteral("Showing 1 of 8"));

        action(m_form.get(), "UndoBtn")->trigger();
        QCOMPARE(doc().GetCell(1, 2), std::string("Film 2"));
        QCOMPARE(doc().RowCount(), 11);
        // The filter is applied again after Undo.
        QCOMPARE(gridRows(), 3);

        bar->clearButton()->click();
        QCOMPARE(gridRows(), 10);
        QVERIFY(!filter().statusLabel()->isVisible());
        QVERIFY(m_form->grid()->verticalHeader()->sectionsMovable());
    }

    void anotherList_endsTheFilterAndEmptiesTheBar()
    {
        action(m_form.get(), "FilterRowsBtn")->trigger();
        QTest::keyClicks(filter().bar()->textBox(0), QStringLiteral("comedy"));
        QCOMPARE(gridRows(), 2);
        m_form->editor().listReplaced();
        doc() = films();
        m_form->documentChanged();
        QCOMPARE(gridRows(), 10);
        QCOMPARE(filter().bar()->textBox(0)->text(), QString());
        QVERIFY(!m_form->editor().shownRows().active());
    }

    void groupPane_clickFiltersCtrlClickAddsAndEditsUpdateTheCounts()
    {
        action(m_form.get(), "GroupsBtn")->trigger();
        GroupPane *pane = filter().pane();
        QVERIFY(pane->isVisible());
        pane->columnBox()->setCurrentIndex(1); // Genre
        QListView *list = pane->listView();
        const auto label = [list](int row) { return list->model()->index(row, 0).data().toString(); };
        QCOMPARE(list->model()->rowCount(), 3);
        QCOMPARE(label(0), QStringLiteral("Drama (5)"));
        QCOMPARE(label(1), QStringLiteral("(empty) (3)"));
        QCOMPARE(label(2), QStringLiteral("Comedy (2)"));

        const auto click = [list](int row, Qt::KeyboardModifiers mods) {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, mods, list->visualRect(list->model()->index(row, 0)).center());
        };
        click(2, Qt::NoModifier);
        QCOMPARE(gridRows(), 2);
        click(1, Qt::ControlModifier);
        QCOMPARE(gridRows(), 5);
        QCOMPARE(filter().statusLabel()->text(), QStringLiteral("Showing 5 of 10"));

        // An edit in the grid: the pane's counts follow at once, the row stays shown.
        QAbstractItemModel *model = m_form->grid()->model();
        QVERIFY(model->setData(model->index(0, 1), QStringLiteral("Drama"), Qt::EditRole));
        QCOMPARE(label(0), QStringLiteral("Drama (6)"));
        QCOMPARE(gridRows(), 5);

        pane->orderBox()->setCurrentIndex(1); // by name
        QCOMPARE(label(0), QStringLiteral("(empty) (3)"));
        QCOMPARE(label(1), QStringLiteral("Comedy (1)"));

        action(m_form.get(), "GroupsBtn")->trigger();
        QVERIFY(!pane->isVisible());
        // Closing the pane drops what it picked.
        QCOMPARE(gridRows(), 10);
    }
};

QTEST_MAIN(FilterWindowTest)
#include "FilterWindowTest.moc"
