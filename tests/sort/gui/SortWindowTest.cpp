#include "GuiSandbox.h"
#include "platform/core/FileSystem.h"
#include "sort/gui/SortController.h"
#include "sort/gui/TSortForm.h"
#include "sort/gui/TStatusForm.h"
#include "document/gui/StringGrid.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <fstream>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

using namespace quorvex;

// The Sort command's two windows on a started main window, driven through the
// menu key and mouse clicks as a person drives them.
class SortWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::GuiSandbox> m_sandbox;
    std::unique_ptr<TMainForm> m_form;

    ListDocument &doc() { return m_form->editor().document(); }
    TSortForm *dialog() { return m_form->sortController()->sortForm(); }
    TStatusForm *status() { return m_form->sortController()->statusForm(); }
    std::string settingsPath() { return m_form->editor().paths().programFolder + "sort.mtr"; }

    // A list of `cols` data columns headed "H1".. and `rows` data rows.
    void makeList(int cols, int rows)
    {
        doc().SetColCount(cols + 1);
        doc().SetRowCount(rows + 1);
        for (int c = 1; c <= cols; ++c)
            doc().SetCell(c, 0, "H" + std::to_string(c));
        for (int r = 1; r <= rows; ++r)
            doc().SetCell(1, r, std::to_string(rows - r));
        m_form->editor().finishChange();
    }

    // Opens the dialog from the Options menu item, or with its key, and runs
    // `inside` while it shows; `inside` closes it.
    void sortWith(const std::function<void()> &inside, bool byKey = false)
    {
        auto ran = std::make_shared<bool>(false);
        auto done = std::make_shared<bool>(false);
        auto poll = std::make_shared<std::function<void()>>();
        std::weak_ptr<std::function<void()>> weakPoll = poll;
        *poll = [this, ran, done, inside, weakPoll] {
            if (*done)
                return;
            if (!dialog()->isVisible()) {
                if (auto again = weakPoll.lock())
                    QTimer::singleShot(10, this, *again);
                return;
            }
            *ran = true;
            inside();
        };
        QTimer::singleShot(0, this, *poll);
        if (byKey) {
            QVERIFY(QApplication::activeWindow() == m_form.get());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Q, Qt::ControlModifier);
        } else {
            m_form->findChild<QAction *>(QStringLiteral("SortBtn"))->trigger();
        }
        *done = true;
        QVERIFY2(*ran, "no sort options dialog showed");
        QVERIFY(!dialog()->isVisible());
    }

    std::vector<int> selections()
    {
        std::vector<int> s;
        for (int k = 1; k <= TSortForm::KeyCount; ++k)
            s.push_back(dialog()->sortBox(k)->currentIndex());
        return s;
    }

    std::string fileText(const std::string &path) { return FileSystem::readFile(path).value_or("<none>"); }

private slots:
    void init()
    {
        m_sandbox = std::make_unique<test::GuiSandbox>();
        m_form = m_sandbox->start();
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
        FileSystem::removeFile(settingsPath());
    }

    void cleanup()
    {
        status()->OkBtnClick();
        m_form->ExitBtnClick();
        m_form.reset();
        m_sandbox.reset();
    }

    void sortItems_carryCaptionsAndOneWorkingKey()
    {
        QAction *main = m_form->findChild<QAction *>(QStringLiteral("SortBtn"));
        QAction *popup = m_form->findChild<QAction *>(QStringLiteral("Sort1"));
        QVERIFY(main && popup && main->isEnabled() && popup->isEnabled());
        QCOMPARE(main->text(), QStringLiteral("&Sort..."));
        QCOMPARE(main->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
        // A second Ctrl+Q would make both dead; the pop-up only shows the key.
        QVERIFY(popup->shortcut().isEmpty());
        QCOMPARE(popup->text(), QStringLiteral("&Sort...\tCtrl+Q"));
        QCOMPARE(dialog()->windowTitle(), QStringLiteral("Sort Options"));
        QCOMPARE(dialog()->size(), QSize(273, 291));
        QCOMPARE(status()->windowTitle(), QStringLiteral("Status"));
        QCOMPARE(status()->size(), QSize(350, 116));
        QVERIFY(status()->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(dialog()->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(dialog()->caseChkBox()->text(), QStringLiteral("Case &sensitive."));
        QCOMPARE(dialog()->sortBackChkBox()->text(), QStringLiteral("Sort &backwards"));
        // Tab order: the eight boxes, the check boxes, OK, Cancel, Default.
        QWidget *w = dialog()->sortBox(1);
        QStringList order;
        for (int i = 0; i < 13; ++i, w = w->nextInFocusChain()) {
            while (w->focusPolicy() == Qt::NoFocus)
                w = w->nextInFocusChain();
            order << w->objectName();
        }
        QCOMPARE(order.join(QLatin1Char(' ')),
                 QStringLiteral("Sort1Box Sort2Box Sort3Box Sort4Box Sort5Box Sort6Box Sort7Box Sort8Box "
                                "CaseChkBox SortBackChkBox OKBtn CancelBtn DefaultBtn"));
    }

    void dialog_fillsFromHeadersAndEnablesBoxesPerColumn()
    {
        const QColor window = QGuiApplication::palette().color(QPalette::Base);
        const QColor inactive = QGuiApplication::palette().color(QPalette::Button);
        struct Case {
            int cols;
            std::vector<int> selected;
        };
        for (const Case &c : {Case{5, {0, 1, 2, 3, 4, -1, -1, -1}}, Case{10, {0, 1, 2, 3, 4, 5, 6, 7}}}) {
            makeList(c.cols, 3);
            doc().SetCell(2, 0, "Ann\xe9" "e"); // Windows-1252 e-acute
            sortWith([&] {
                QCOMPARE(selections(), c.selected);
                for (int k = 1; k <= 8; ++k) {
                    QComboBox *box = dialog()->sortBox(k);
                    QCOMPARE(box->count(), c.cols);
                    QCOMPARE(box->itemText(1), QStringLiteral("Ann\u00e9e"));
                    QCOMPARE(box->itemText(c.cols - 1), QStringLiteral("H%1").arg(c.cols));
                    const bool enabled = k <= c.cols;
                    QCOMPARE(box->isEnabled(), enabled);
                    if (k > 1)
                        QCOMPARE(box->palette().color(QPalette::Base), enabled ? window : inactive);
                }
                QTest::mouseClick(dialog()->cancelBtn(), Qt::LeftButton);
            }, c.cols == 5);
            QVERIFY(!status()->isVisible());
        }
    }

    void exchangeCancelAndDefault_keepColumnsDistinct()
    {
        makeList(8, 3);
        doc().SetCell(7, 0, "Year");
        sortWith([&] {
            // "Year" in the first box while the seventh shows it: the seventh takes the first's old column.
            dialog()->sortBox(1)->setCurrentIndex(6);
            QCOMPARE(selections(), (std::vector<int>{6, 1, 2, 3, 4, 5, 0, 7}));
            QCOMPARE(dialog()->previousSelection(7), 0);
            // Back again through the seventh box: a plain swap once more.
            dialog()->sortBox(7)->setCurrentIndex(6);
            QCOMPARE(selections(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
            dialog()->sortBox(2)->setCurrentIndex(7);
            QCOMPARE(selections(), (std::vector<int>{0, 7, 2, 3, 4, 5, 6, 1}));
            QTest::mouseClick(dialog()->caseChkBox(), Qt::LeftButton);
            QTest::mouseClick(dialog()->cancelBtn(), Qt::LeftButton);
        });
        // Cancel restores the boxes only, and writes nothing.
        QCOMPARE(selections(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
        QVERIFY(dialog()->caseChkBox()->isChecked());
        QVERIFY(!FileSystem::exists(settingsPath()));

        // Without sort.mtr the tick carries over; a file replaces it.
        sortWith([&] {
            QVERIFY(dialog()->caseChkBox()->isChecked());
            dialog()->sortBox(3)->setCurrentIndex(0);
            QTest::mouseClick(dialog()->sortBackChkBox(), Qt::LeftButton);
            QTest::mouseClick(dialog()->defaultBtn(), Qt::LeftButton);
            QCOMPARE(selections(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
            QVERIFY(!dialog()->caseChkBox()->isChecked() && !dialog()->sortBackChkBox()->isChecked());
            // Default's order is the exchange rule's new starting point.
            dialog()->sortBox(3)->setCurrentIndex(0);
            QCOMPARE(selections(), (std::vector<int>{2, 1, 0, 3, 4, 5, 6, 7}));
            QTest::mouseClick(dialog()->caseChkBox(), Qt::LeftButton);
            QTest::mouseClick(dialog()->cancelBtn(), Qt::LeftButton);
        });
        std::ofstream(settingsPath(), std::ios::binary) << "0 1\r\n";
        sortWith([&] {
            QVERIFY(!dialog()->caseChkBox()->isChecked());
            QVERIFY(dialog()->sortBackChkBox()->isChecked());
            QTest::mouseClick(dialog()->cancelBtn(), Qt::LeftButton);
        });
        // An unreadable file is reported and the dialog starts from its defaults.
        FileSystem::removeFile(settingsPath());
        FileSystem::createFolder(settingsPath());
        sortWith([&] {
            QVERIFY(!dialog()->sortBackChkBox()->isChecked());
            QTest::mouseClick(dialog()->cancelBtn(), Qt::LeftButton);
        });
        QVERIFY(m_sandbox->sawBox("Sort settings were not opened. Please make sure the disk is accessible."));
        ::rmdir(settingsPath().c_str());
    }

    void ok_writesSortSettingsAndRunsTheSortToItsEnd()
    {
        makeList(3, 12);
        sortWith([&] {
            QTest::mouseClick(dialog()->caseChkBox(), Qt::LeftButton);
            QTest::mouseClick(dialog()->okBtn(), Qt::LeftButton);
        });
        QCOMPARE(fileText(settingsPath()), std::string("1 0\r\n"));
        const SortOptions options = dialog()->options();
        QCOMPARE(options.keyColumns, (std::array<int, 8>{1, 2, 3, 0, 0, 0, 0, 0}));
        QVERIFY(options.caseSensitive && !options.backwards);
        // Finished: OK in Cancel's place, Pause disabled, the window stays.
        QVERIFY(status()->isVisible());
        QCOMPARE(status()->statusLbl()->text(), QStringLiteral("100% - Sorting finished."));
        QVERIFY(status()->okBtn()->isVisible() && !status()->cancelBtn()->isVisible());
        QVERIFY(!status()->pauseBtn()->isEnabled());
        QCOMPARE(status()->result(), ProgressWindow::Result::Ok);
        // OK has the keys: Enter closes the finished window.
        QCOMPARE(status()->focusWidget(), static_cast<QWidget *>(status()->okBtn()));
        QTest::keyClick(status(), Qt::Key_Return);
        QVERIFY(!status()->isVisible());
        status()->close();
        QVERIFY(!status()->isVisible());

        // Read-only sort.mtr and No: said once, the file kept, the sort still runs.
        ::chmod(settingsPath().c_str(), 0444);
        m_sandbox->boxes.clear();
        m_sandbox->answers = {MessageAnswer::No};
        sortWith([&] {
            QTest::mouseClick(dialog()->sortBackChkBox(), Qt::LeftButton);
            QTest::keyClick(dialog()->sortBackChkBox(), Qt::Key_Return);
        });
        QCOMPARE(m_sandbox->boxes.size(), size_t(2));
        QCOMPARE(m_sandbox->boxes[1].text, std::string("Sort settings were not saved."));
        QCOMPARE(fileText(settingsPath()), std::string("1 0\r\n"));
        QVERIFY(status()->isVisible());
    }

    void pauseThenCancel_endsTheRunningSortWithItsMessage()
    {
        // Long enough for the sort to reach progress points that let events run.
        makeList(2, 200000);
        int pausedTexts = 0;
        bool secondSortRefused = false;
        auto paused = std::make_shared<std::function<void()>>();
        std::weak_ptr<std::function<void()>> weakPaused = paused;
        *paused = [&, weakPaused] {
            if (!status()->isVisible()) { // the sort has not started yet
                if (auto again = weakPaused.lock())
                    QTimer::singleShot(5, this, *again);
                return;
            }
            QTest::mouseClick(status()->pauseBtn(), Qt::LeftButton);
            pausedTexts = status()->statusLbl()->text().count(QStringLiteral(" - Paused."));
            // Events run while the sort waits; a second Sort must not start inside it.
            m_form->findChild<QAction *>(QStringLiteral("Sort1"))->trigger();
            secondSortRefused = !dialog()->isVisible();
            QTimer::singleShot(150, this, [&] { QTest::mouseClick(status()->cancelBtn(), Qt::LeftButton); });
        };
        QTimer::singleShot(0, this, *paused);
        QElapsedTimer clock;
        clock.start();
        sortWith([&] { QTest::mouseClick(dialog()->okBtn(), Qt::LeftButton); });
        QCOMPARE(pausedTexts, 1);
        QVERIFY(secondSortRefused);
        QVERIFY(m_sandbox->sawBox("Sorting cancelled."));
        QVERIFY(!status()->isVisible());
        QVERIFY(!status()->isPaused());
        QCOMPARE(status()->result(), ProgressWindow::Result::Ok);
        QVERIFY(clock.elapsed() >= 150);
        // The keys are back on the grid once the message has gone.
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget *>(m_form.get()));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(m_form->grid()));
    }

    void statusWindow_buttonsAndCloseBoxFollowTheRunState()
    {
        TStatusForm *s = status();
        const std::string lower = "page 1";
        s->start("Working", &lower);
        QVERIFY(s->isVisible() && s->status2Lbl()->isVisible());
        QTest::mouseClick(s->pauseBtn(), Qt::LeftButton);
        QVERIFY(s->resumeBtn()->isVisible() && !s->pauseBtn()->isVisible());
        QCOMPARE(s->statusLbl()->text(), QStringLiteral("Working - Paused."));
        // While paused each poll waits in the event loop instead of spinning,
        // and a Resume click ends the wait at once.
        QElapsedTimer clock;
        clock.start();
        QVERIFY(s->isPaused());
        QVERIFY(clock.elapsed() >= TStatusForm::PauseWaitMs / 2);
        QTimer::singleShot(10, this, [s] { QTest::mouseClick(s->resumeBtn(), Qt::LeftButton); });
        clock.restart();
        QVERIFY(!s->isPaused());
        QVERIFY(clock.elapsed() < TStatusForm::PauseWaitMs * 5);
        QCOMPARE(s->statusLbl()->text(), QStringLiteral("Working - Paused."));
        QCOMPARE(s->result(), ProgressWindow::Result::None);

        // The close box while running cancels, and ends a pause.
        s->pause();
        s->close();
        QVERIFY(!s->isVisible() && !s->isPaused());
        QCOMPARE(s->result(), ProgressWindow::Result::Cancel);
        QVERIFY(s->pauseBtn()->isVisibleTo(s) && !s->resumeBtn()->isVisibleTo(s));

        // An operation pausing itself after an unnoticed Cancel keeps the cancel
        // instead of waiting on a hidden window.
        s->start("Turn the paper", nullptr);
        QTest::mouseClick(s->cancelBtn(), Qt::LeftButton);
        s->pause();
        QVERIFY(!s->isPaused());
        QCOMPARE(s->result(), ProgressWindow::Result::Cancel);

        // After the end, the close box acts as OK: hidden, lower line emptied.
        s->start("Again", &lower);
        s->finish("Done", true);
        QVERIFY(s->okBtn()->isVisible() && !s->cancelBtn()->isVisible() && !s->pauseBtn()->isEnabled());
        s->close();
        QVERIFY(!s->isVisible());
        QCOMPARE(s->result(), ProgressWindow::Result::Ok);
        QVERIFY(s->status2Lbl()->text().isEmpty());
        // A line too long for the width wraps and is shown whole: the lower
        // line and the buttons move below it; short lines give the usual size back.
        const std::string longText =
            "46% - Sending page 3 of 3 to printer. - Paused for page flip: turn the paper over and press Resume.";
        for (const std::string *second : {&lower, static_cast<const std::string *>(nullptr)}) {
            s->start(longText, second);
            QTest::mouseClick(s->pauseBtn(), Qt::LeftButton);
            const QLabel *upper = s->statusLbl();
            QVERIFY(upper->height() >= upper->heightForWidth(upper->width()));
            QVERIFY(upper->height() > upper->fontMetrics().height());
            QVERIFY(s->rect().contains(upper->geometry()));
            QVERIFY(upper->geometry().bottom() < s->resumeBtn()->y());
            if (second)
                QVERIFY(upper->geometry().bottom() < s->status2Lbl()->y() &&
                        s->status2Lbl()->geometry().bottom() < s->resumeBtn()->y());
            QVERIFY(s->rect().contains(s->resumeBtn()->geometry()) && s->rect().contains(s->cancelBtn()->geometry()));
            s->resume();
            s->setUpperText("50% - Sorting row 5 of 10");
            QCOMPARE(s->size(), QSize(TStatusForm::ClientWidth, TStatusForm::ClientHeight));
            QCOMPARE(s->pauseBtn()->y(), 74);
            s->close();
        }
        s->setResult(ProgressWindow::Result::Ok);

        // An operation without a lower line hides it at set-up.
        s->start(std::string(), nullptr);
        QVERIFY(!s->status2Lbl()->isVisible() && s->statusLbl()->text().isEmpty());
        s->finish("x", false);
        QTest::mouseClick(s->okBtn(), Qt::LeftButton);
        QVERIFY(!s->isVisible());
    }

    void closingTheStatusWindow_givesTheKeysBackToTheGrid()
    {
        makeList(2, 300);
        // As after a click on the cell: the sort takes its own undo snapshot.
        m_form->editor().cellSelected(doc().Col(), doc().Row());
        const std::string before = doc().GetCell(1, 1);
        QWidget *grid = m_form->grid();
        grid->setFocus();
        // Sorted by the keys, ended with the status window's OK, undone with Ctrl+Z.
        sortWith([&] { QTest::keyClick(dialog()->okBtn(), Qt::Key_Space); }, true);
        QVERIFY(status()->isVisible());
        QCOMPARE(doc().GetCell(1, 1), std::string("0"));
        status()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(status()));
        QTest::mouseClick(status()->okBtn(), Qt::LeftButton);
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget *>(m_form.get()));
        QCOMPARE(QApplication::focusWidget(), grid);
        QWindow *keys = QGuiApplication::focusWindow();
        QVERIFY(keys && keys == m_form->windowHandle());
        QTest::keyClick(keys, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(doc().GetCell(1, 1), before);

        // The same when a running operation is cancelled.
        status()->start("Working", nullptr);
        status()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(status()));
        QTest::mouseClick(status()->cancelBtn(), Qt::LeftButton);
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget *>(m_form.get()));
        QCOMPARE(QApplication::focusWidget(), grid);
        status()->setResult(ProgressWindow::Result::Ok);
    }
};

QTEST_MAIN(SortWindowTest)
#include "SortWindowTest.moc"
