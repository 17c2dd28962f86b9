#include "GuiSandbox.h"
#include "app/gui/TFontColorDialog.h"
#include "app/gui/ToolTipDuration.h"
#include "document/core/AttachmentRef.h"
#include "document/gui/StringGrid.h"
#include "listfile/core/ListFileCommands.h"
#include "platform/gui/QtDesktopShell.h"
#include "search/gui/TFindForm.h"
#include "sort/gui/SortController.h"
#include "sort/gui/TSortForm.h"
#include "sort/gui/TStatusForm.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QColorDialog>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QFile>
#include <QFileDialog>
#include <QFontDialog>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <vector>

using namespace quorvex;

namespace {

QAction *action(QWidget *form, const char *name)
{
    return form->findChild<QAction *>(QString::fromLatin1(name));
}

// Runs `drive` on the next modal window of type T once it is up; the caller
// then starts what opens it. A nested modal window needs its own call first.
template <typename T>
void whenModal(std::function<void(T *)> drive)
{
    auto *timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, drive] {
        if (auto *window = qobject_cast<T *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            drive(window);
        }
    });
    timer->start();
}

void answerBox(QMessageBox::StandardButton button)
{
    whenModal<QMessageBox>([button](QMessageBox *box) { box->button(button)->click(); });
}

} // namespace

// Faults of the main window that lived in its dialogs, keys and titles.
class WindowFaultsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::GuiSandbox> m_sandbox;
    std::unique_ptr<TMainForm> m_form;

    StringGrid *grid() { return m_form->grid(); }
    ListDocument &doc() { return m_form->editor().document(); }
    QWidget *focused() { return m_form->focusWidget() ? m_form->focusWidget() : grid(); }

    void selectCell(int col, int row)
    {
        grid()->setFocus();
        grid()->setCurrentIndex(grid()->model()->index(row - 1, col - 1));
        QCoreApplication::processEvents();
    }
    void key(QWidget *target, Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::keyClick(target, k, mods);
        QCoreApplication::processEvents();
    }
    static void writeScript(const std::string &path, const std::string &body)
    {
        FileSystem::writeFileAtomic(path, "#!/bin/sh\n" + body + "\n");
        QFile::setPermissions(QString::fromStdString(path), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    void typeKeys(const QString &text)
    {
        for (const QChar ch : text)
            QTest::keyClick(focused(), ch.toLatin1());
        QCoreApplication::processEvents();
    }

private slots:
    void init()
    {
        m_sandbox = std::make_unique<test::GuiSandbox>();
        // What the program entry did: Qt then appended " — Quorvex" to every title.
        QGuiApplication::setApplicationDisplayName(QStringLiteral("Quorvex"));
        m_form = m_sandbox->start();
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    }

    void cleanup()
    {
        QtFileDialogService::setResponder(nullptr);
        m_form->editor().listModified = false;
        m_form->ExitBtnClick();
        m_form.reset();
        m_sandbox.reset();
    }

    void extractOverAnExistingFile_theRealDialogAsksAndNoKeepsTheFile()
    {
        const std::string source = m_sandbox->home() + "cover.jpg";
        FileSystem::writeFileAtomic(source, "picture");
        m_sandbox->chosenFiles.push_back({source, 0});
        selectCell(2, 1);
        action(m_form.get(), "InsertPictureBtn")->trigger();
        QCOMPARE(doc().GetCell(2, 1), AttachmentRef::make(AttachPicture, "cover.jpg"));

        const std::string target = m_sandbox->home() + "out/cover.jpg";
        FileSystem::createFolder(m_sandbox->home() + "out");
        FileSystem::writeFileAtomic(target, "KEEP");
        QtFileDialogService::setResponder(nullptr); // the real dialog from here on
        for (const QMessageBox::StandardButton answer : {QMessageBox::No, QMessageBox::Yes}) {
            QString offered;
            bool asked = false;
            whenModal<QFileDialog>([&](QFileDialog *dialog) {
                QVERIFY(!dialog->testOption(QFileDialog::DontConfirmOverwrite));
                if (auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
                    offered = name->text();
                dialog->selectFile(QString::fromStdString(target));
                whenModal<QMessageBox>([&](QMessageBox *box) {
                    asked = true;
                    box->button(answer)->click();
                });
                static_cast<QDialog *>(dialog)->accept();
                if (dialog->isVisible())
                    dialog->reject();
            });
            action(m_form.get(), "ExtractDataFileFromCellBtn")->trigger();
            QVERIFY(asked);
            QCOMPARE(offered, QStringLiteral("cover.jpg"));
            QCOMPARE(FileSystem::readFile(target).value_or("<missing>"),
                     std::string(answer == QMessageBox::No ? "KEEP" : "picture"));
        }
        // "picture" is no picture: only the preview's loader may have said so.
        for (const test::RecordedBox &box : m_sandbox->boxes)
            QVERIFY2(box.text.find("JPEG") != std::string::npos ||
                         box.text.find("Error loading image file") != std::string::npos,
                     box.text.c_str());
        m_sandbox->boxes.clear();

        // Save As through the real dialog asks once: Qt's question, not a second one of ours.
        const std::string list = m_sandbox->home() + "out/mine.lst";
        FileSystem::writeFileAtomic(list, "OLD");
        whenModal<QFileDialog>([&](QFileDialog *dialog) {
            // Typed into the name box, as a person does: Qt's selectFile leaves a focused box alone.
            if (auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
                name->setText(QString::fromStdString(list));
            answerBox(QMessageBox::Yes);
            static_cast<QDialog *>(dialog)->accept();
        });
        action(m_form.get(), "SaveListAsBtn")->trigger();
        QVERIFY(FileSystem::readFile(list).value_or("").size() > 30);
        QVERIFY(!m_sandbox->sawBox("File already exists. Overwrite?"));
    }

    void typeUndoTypeAgain_redoIsDisabledAndTheNewTypingStays()
    {
        selectCell(2, 1);
        typeKeys(QStringLiteral("a"));
        key(focused(), Qt::Key_Return);
        selectCell(2, 1);
        key(grid(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(doc().GetCell(2, 1), std::string());
        QVERIFY(action(m_form.get(), "RedoBtn")->isEnabled());
        typeKeys(QStringLiteral("bc"));
        key(focused(), Qt::Key_Return);
        QCOMPARE(doc().GetCell(2, 1), std::string("bc"));
        QVERIFY(!action(m_form.get(), "RedoBtn")->isEnabled());
        action(m_form.get(), "RedoBtn")->trigger();
        QCOMPARE(doc().GetCell(2, 1), std::string("bc"));
        selectCell(2, 1);
        key(grid(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(doc().GetCell(2, 1), std::string());
    }

    void rangeSelection_keepsTheCurrentCellWhereItStarted()
    {
        doc().SetRowCount(8);
        m_form->documentChanged();
        // Shift with the arrow keys.
        selectCell(2, 2);
        key(grid(), Qt::Key_Down, Qt::ShiftModifier);
        key(grid(), Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(doc().Row(), 2);
        QCOMPARE(doc().Selection(), (CellRect{2, 2, 2, 4}));
        QCOMPARE(m_form->editor().statusBar().text(1), std::string("Selected row: 2"));
        key(grid(), Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(doc().Col(), 2);
        QCOMPARE(doc().Selection(), (CellRect{2, 2, 3, 4}));
        // Typing edits the current cell, not the far corner.
        typeKeys(QStringLiteral("q"));
        key(focused(), Qt::Key_Return);
        QCOMPARE(doc().GetCell(2, 2), std::string("q"));
        QCOMPARE(doc().GetCell(3, 4), std::string());
        selectCell(2, 2);
        key(grid(), Qt::Key_Down, Qt::ShiftModifier);
        // A plain arrow key moves the current cell again.
        key(grid(), Qt::Key_Down);
        QVERIFY(doc().Row() != 2);

        // A mouse drag from (3,2) to (3,5), then Insert Row inserts at row 2.
        doc().SetCell(3, 2, "second");
        m_form->documentChanged();
        const QRect from = grid()->visualRect(grid()->model()->index(1, 2));
        const QRect to = grid()->visualRect(grid()->model()->index(4, 2));
        QTest::mousePress(grid()->viewport(), Qt::LeftButton, {}, from.center());
        QMouseEvent move(QEvent::MouseMove, QPointF(to.center()), grid()->viewport()->mapToGlobal(QPointF(to.center())),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(grid()->viewport(), &move);
        QTest::mouseRelease(grid()->viewport(), Qt::LeftButton, {}, to.center());
        QCoreApplication::processEvents();
        QCOMPARE(doc().Selection(), (CellRect{3, 2, 3, 5}));
        QCOMPARE(doc().Row(), 2);
        action(m_form.get(), "InsertRowBtn")->trigger();
        QCOMPARE(doc().GetCell(3, 2), std::string());
        QCOMPARE(doc().GetCell(3, 3), std::string("second"));
    }

    void shiftOrCtrlDelWithTheEditorOpen_deletesTheSelectedRowsOrColumns()
    {
        doc().SetRowCount(4);
        doc().SetCell(2, 3, "third");
        m_form->documentChanged();
        selectCell(2, 2);
        typeKeys(QStringLiteral("xy"));
        QVERIFY(grid()->isEditing());
        emit m_form->findChild<QMenu *>(QStringLiteral("Grid1"))->aboutToShow();
        key(focused(), Qt::Key_Delete, Qt::ShiftModifier);
        QCOMPARE(doc().RowCount(), 3);
        QCOMPARE(doc().GetCell(2, 2), std::string("third"));

        // Ctrl+Del deletes the selected columns the same way, where the line
        // editor would have deleted the end of the word.
        const int cols = doc().ColCount();
        doc().SetCell(3, 2, "right");
        m_form->documentChanged();
        selectCell(2, 2);
        typeKeys(QStringLiteral("left word"));
        auto *editor = qobject_cast<QLineEdit *>(focused());
        QVERIFY(grid()->isEditing() && editor);
        editor->setCursorPosition(5);
        emit m_form->findChild<QMenu *>(QStringLiteral("Grid1"))->aboutToShow();
        key(editor, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(doc().ColCount(), cols - 1);
        QCOMPARE(doc().GetCell(2, 2), std::string("right"));
    }

    void titlesLockAndFont_areTheProgramsOwn()
    {
        // The first title names the product and version; the lists' titles stand alone.
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Quorvex 1.6.0.0"));
        QCOMPARE(QGuiApplication::applicationDisplayName(), QString());
        const std::string list = m_sandbox->home() + "a.lst";
        m_sandbox->chosenFiles.push_back({list, 1});
        action(m_form.get(), "SaveListAsBtn")->trigger();
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Quorvex - ") + QString::fromStdString(list));

        // The starting list was read under the lock; unlock gave the boxes back.
        const std::initializer_list<QComboBox *> boxes = {
            m_form->findChild<QComboBox *>(QStringLiteral("ChooseFromListBox")),
            m_form->findChild<QComboBox *>(QStringLiteral("QuickSearchBox"))};
        for (QComboBox *box : boxes)
            QVERIFY(box->isEnabled());
        m_form->setFileOperationLock(true);
        for (QComboBox *box : boxes)
            QVERIFY(!box->isEnabled());
        QVERIFY(!m_form->findChild<QMenu *>(QStringLiteral("File1"))->menuAction()->isEnabled());
        QVERIFY(!action(m_form.get(), "UpdatesBtn")->isEnabled());
        QVERIFY(m_form->findChild<QMenu *>(QStringLiteral("Help1"))->menuAction()->isEnabled());
        QVERIFY(action(m_form.get(), "HelpBtn")->isEnabled());
        m_form->setFileOperationLock(false);
        for (QComboBox *box : boxes)
            QVERIFY(box->isEnabled());
        QVERIFY(m_form->findChild<QMenu *>(QStringLiteral("File1"))->menuAction()->isEnabled());

        // Without GridFont.mtr the grid is in Arial 9 with rows 17 high.
        QCOMPARE(grid()->font().family(), QStringLiteral("Arial"));
        QCOMPARE(grid()->font().pointSize(), 9);
        QCOMPARE(doc().RowHeight(), 17);

        // The font dialog offers the colour; the real colour dialog supplies it.
        whenModal<TFontColorDialog>([](TFontColorDialog *dialog) {
            dialog->fontBox()->setCurrentFont(QFont(QStringLiteral("Arial"), 12));
            whenModal<QColorDialog>([](QColorDialog *colors) {
                colors->setCurrentColor(QColor(0, 0, 255));
                colors->accept();
            });
            dialog->colorButton()->click();
            dialog->accept();
        });
        action(m_form.get(), "FontBtn")->trigger();
        QCOMPARE(m_form->editor().gridFont.size, 12);
        QCOMPARE(m_form->editor().gridFont.color, 65536 * 255);
        QCOMPARE(grid()->palette().color(QPalette::Text), QColor(0, 0, 255));
    }

    void dialogDetails_filtersOnceEmptyNameDropRaisesToolTipsStay()
    {
        QCOMPARE(QtFileDialogService::qtFilters(ListFileCommands::SaveFilter),
                 (QStringList{QStringLiteral("Independent List File - Version 1.1 (*.lst)"),
                              QStringLiteral("Dependent List File - Version 1.2 (*.lstd)")}));
        QCOMPARE(QtFileDialogService::qtFilters("All Files (*.*)|*.*"), QStringList{QStringLiteral("All Files (*)")});

        // A dialog without a file name opens in its folder with an empty name box.
        QtFileDialogService::setResponder(nullptr);
        QString name = QStringLiteral("<not shown>");
        whenModal<QFileDialog>([&name](QFileDialog *dialog) {
            name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->text();
            dialog->reject();
        });
        action(m_form.get(), "InsertFileBtn")->trigger();
        QCOMPARE(name, QString());

        // A dropped file brings the window to the front.
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        const std::string dropped = m_sandbox->home() + "drop.jpg";
        FileSystem::writeFileAtomic(dropped, "x");
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(dropped))});
        // The drop goes where the drag entered.
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_form.get(), &enter);
        QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_form.get(), &drop);
        QCOMPARE(doc().GetCell(doc().Col(), doc().Row()), AttachmentRef::make(AttachPicture, "drop.jpg"));
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));

        // Tool tips stay up 8.5 s.
        QWidget *withTip = m_form->findChild<QComboBox *>(QStringLiteral("QuickSearchBox"));
        withTip->setToolTip(QStringLiteral("tip"));
        QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), withTip->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(withTip, &help);
        QCOMPARE(withTip->toolTipDuration(), ToolTipDuration::Milliseconds);
        QCOMPARE(ToolTipDuration::Milliseconds, 8500);
    }

    // What a person may try while a sort waits in its pause or Replace All
    // runs: every command that would change or replace the list is refused
    // without a word, and the window stays. Resumed, the sort ends with the
    // whole list in order.
    void longOperations_refuseEveryListCommandUntilTheyEnd()
    {
        const int rows = 200000;
        auto number = [](int n) { return QStringLiteral("%1").arg(n, 6, 10, QLatin1Char('0')).toStdString(); };
        doc().SetColCount(3);
        doc().SetRowCount(rows + 1);
        doc().SetCell(1, 0, "H1");
        doc().SetCell(2, 0, "H2");
        for (int r = 1; r <= rows; ++r) {
            doc().SetCell(1, r, number(rows - r));
            doc().SetCell(2, r, "T" + number(rows - r));
        }
        m_form->editor().finishChange();
        const std::string other = m_sandbox->program() + "Templates/DVD.lst";
        m_form->reopenList().AddToReopenMenu(other, true);
        m_form->refreshReopenMenu();
        QGuiApplication::clipboard()->setText(QStringLiteral("pasted\tcells"));
        selectCell(1, 3);

        auto fingerprint = [this] {
            std::string all = std::to_string(doc().RowCount()) + ' ' + std::to_string(doc().ColCount());
            for (int r = 0; r < doc().RowCount(); ++r)
                for (int c = 1; c < doc().ColCount(); ++c)
                    all.append(doc().cellView(c, r)).push_back('\x1f');
            for (int c = 0; c < doc().ColCount(); ++c)
                all += std::to_string(doc().ColWidth(c)) + ',';
            return std::hash<std::string>{}(all);
        };
        auto dropList = [this, other] {
            QMimeData mime;
            mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(other))});
            QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(m_form.get(), &enter);
            QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(m_form.get(), &drop);
        };
        auto keys = [this](Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
            return [this, k, mods] { key(focused(), k, mods); };
        };
        auto item = [this](const char *name) { return [this, name] { action(m_form.get(), name)->trigger(); }; };
        const std::vector<std::pair<const char *, std::function<void()>>> commands = {
            {"Ctrl+F11", keys(Qt::Key_F11, Qt::ControlModifier)},
            {"Ctrl+O", keys(Qt::Key_O, Qt::ControlModifier)},
            {"Reopen1", item("Reopen1")},
            {"F11", keys(Qt::Key_F11)},
            {"drop", dropList},
            {"Import", item("ImportTextListBtn")},
            {"Ctrl+S", keys(Qt::Key_S, Qt::ControlModifier)},
            {"Save As", item("SaveListAsBtn")},
            {"Shift+Del", keys(Qt::Key_Delete, Qt::ShiftModifier)},
            {"Ctrl+Del", keys(Qt::Key_Delete, Qt::ControlModifier)},
            {"Del", keys(Qt::Key_Delete)},
            {"Ctrl+N", keys(Qt::Key_N, Qt::ControlModifier)},
            {"Ctrl+I", keys(Qt::Key_I, Qt::ControlModifier)},
            {"Ctrl+Alt+I", keys(Qt::Key_I, Qt::ControlModifier | Qt::AltModifier)},
            {"Ctrl+H", keys(Qt::Key_H, Qt::ControlModifier)},
            {"Ctrl+D", keys(Qt::Key_D, Qt::ControlModifier)},
            {"Ctrl+X", keys(Qt::Key_X, Qt::ControlModifier)},
            {"Ctrl+V", keys(Qt::Key_V, Qt::ControlModifier)},
            {"Paste", item("PasteBtn")},
            {"Ctrl+Z", keys(Qt::Key_Z, Qt::ControlModifier)},
            {"Undo", item("UndoBtn")},
            {"Ctrl+Y", item("RedoBtn")},
            {"typing", [this] { typeKeys(QStringLiteral("ZZZ")); key(focused(), Qt::Key_Return); }},
            {"F2", [this] { key(focused(), Qt::Key_F2); typeKeys(QStringLiteral("ZZZ")); key(focused(), Qt::Key_Return); }},
            {"column drag", [this] { grid()->horizontalHeader()->moveSection(0, 1); }},
            {"Ctrl+W", keys(Qt::Key_W, Qt::ControlModifier)},
            {"F8", keys(Qt::Key_F8)},
            {"Insert Picture", item("InsertPictureBtn")},
            {"Delete Binary Data", item("DeleteBinaryDataBtn")},
            {"Settings", item("SettingsBtn")},
            {"Page Setup", item("PageSetupBtn")},
            {"Font", item("FontBtn")},
            {"Ctrl+R", keys(Qt::Key_R, Qt::ControlModifier)},
            {"Ctrl+Q", keys(Qt::Key_Q, Qt::ControlModifier)},
            {"Ctrl+P", keys(Qt::Key_P, Qt::ControlModifier)},
            {"Export", item("ExportBtn")},
            {"close", [this] { m_form->close(); }},
            {"Exit", item("ExitBtn")},
        };
        // A command that got through to a window of its own is recorded and closed.
        QStringList opened;
        bool watching = false;
        QTimer watchdog;
        connect(&watchdog, &QTimer::timeout, [&] {
            if (QWidget *modal = QApplication::activeModalWidget(); modal && watching) {
                opened << QString::fromLatin1(modal->metaObject()->className());
                modal->close();
            }
        });
        watchdog.start(20);
        auto tryAll = [&](const char *during) {
            QVERIFY2(m_form->editor().longOperationRunning, during);
            watching = true;
            const auto before = fingerprint();
            const size_t boxes = m_sandbox->boxes.size();
            for (const auto &[name, command] : commands) {
                m_sandbox->chosenFiles = {{other, 1}};
                command();
                QCoreApplication::processEvents();
                const QString where = QString::fromLatin1(during) + QStringLiteral(": ") + QString::fromLatin1(name);
                QVERIFY2(fingerprint() == before, qPrintable(where));
                QVERIFY2(m_sandbox->boxes.size() == boxes, qPrintable(where + QStringLiteral(" asked something")));
                QVERIFY2(opened.isEmpty(), qPrintable(where + QStringLiteral(" opened ") + opened.join(QLatin1Char(' '))));
                QVERIFY2(m_form->isVisible(), qPrintable(where + QStringLiteral(" closed the window")));
                QVERIFY2(!grid()->isEditing(), qPrintable(where + QStringLiteral(" opened an editor")));
                QVERIFY2(m_sandbox->chosenFiles.size() == 1, qPrintable(where + QStringLiteral(" asked for a file")));
            }
            watching = false;
        };

        // The sort, paused at its first progress point that lets events run.
        SortController *sort = m_form->sortController();
        bool tried = false;
        std::function<void()> drive = [&] {
            if (sort->sortForm()->isVisible()) {
                QTest::mouseClick(sort->sortForm()->okBtn(), Qt::LeftButton);
            } else if (sort->statusForm()->isVisible() && sort->statusForm()->pauseBtn()->isVisible()) {
                // The first moment the sort lets events run may be while it still prepares its keys.
                QTest::mouseClick(sort->statusForm()->pauseBtn(), Qt::LeftButton);
                // Tried once the sort waits in its pause.
                QTimer::singleShot(30, this, [&] {
                    QVERIFY(sort->statusForm()->resumeBtn()->isVisible());
                    tryAll("paused sort");
                    tried = true;
                    QTest::mouseClick(sort->statusForm()->resumeBtn(), Qt::LeftButton);
                });
                return;
            }
            QTimer::singleShot(5, this, drive);
        };
        QTimer::singleShot(0, this, drive);
        key(focused(), Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(tried);
        QCOMPARE(sort->statusForm()->statusLbl()->text(), QStringLiteral("100% - Sorting finished."));
        QVERIFY(!m_form->editor().longOperationRunning);
        QCOMPARE(doc().RowCount(), rows + 1);
        for (int r = 1; r <= rows; ++r)
            if (doc().GetCell(1, r) != number(r - 1) || doc().GetCell(2, r) != "T" + number(r - 1))
                QFAIL(qPrintable(QStringLiteral("row %1 out of place after the sort").arg(r)));
        QTest::mouseClick(sort->statusForm()->okBtn(), Qt::LeftButton);

        // Replace All, caught at its first moment that lets events run.
        action(m_form.get(), "ReplaceBtn")->trigger();
        TFindForm *find = m_form->findForm();
        find->findChild<QLineEdit *>(QStringLiteral("TextToFindEdit"))->setText(QStringLiteral("T"));
        find->findChild<QLineEdit *>(QStringLiteral("ReplaceEdit"))->setText(QStringLiteral("U"));
        find->findChild<QCheckBox *>(QStringLiteral("PromptChkBox"))->setChecked(false);
        tried = false;
        selectCell(1, 1);
        QTimer::singleShot(0, this, [&] {
            tryAll("Replace All");
            tried = true;
        });
        find->findChild<QPushButton *>(QStringLiteral("ReplaceAllBtn"))->click();
        QVERIFY(tried);
        QVERIFY(!m_form->editor().longOperationRunning);
        QCOMPARE(doc().GetCell(2, rows), "U" + number(rows - 1));
        QCOMPARE(doc().GetCell(2, 1), "U" + number(0));
        find->hide();
    }

    // The keys come back to the grid whenever the window gets them back: after
    // a save or an open locked it, after the wizard, the settings dialog or a
    // message box. Each time, what is typed next lands in the grid.
    void keysComeBackToTheGrid_afterLocksDialogsAndBoxes()
    {
        const std::string list = m_sandbox->home() + "keys.lst";
        m_sandbox->chosenFiles = {{list, 1}};
        action(m_form.get(), "SaveListAsBtn")->trigger();
        QVERIFY(FileSystem::exists(list));
        auto closeNext = [] {
            whenModal<QDialog>([](QDialog *dialog) { dialog->reject(); });
        };
        const std::vector<std::pair<const char *, std::function<void()>>> away = {
            {"Ctrl+S", [this] { key(focused(), Qt::Key_S, Qt::ControlModifier); }},
            {"Ctrl+F11",
             [this, list] {
                 m_sandbox->chosenFiles = {{list, 1}};
                 key(focused(), Qt::Key_F11, Qt::ControlModifier);
             }},
            {"wizard", [this, closeNext] { closeNext(); key(focused(), Qt::Key_W, Qt::ControlModifier); }},
            {"settings", [this, closeNext] { closeNext(); action(m_form.get(), "SettingsBtn")->trigger(); }},
            {"message box",
             [this] {
                 QtMessageService::setResponder(nullptr);
                 answerBox(QMessageBox::Ok);
                 action(m_form.get(), "MoveColBtn")->trigger();
             }},
        };
        int row = 1;
        for (const auto &[name, bringBack] : away) {
            // The editor is open when the keys go away: closing it while another
            // window has them must not leave them elsewhere.
            selectCell(2, row);
            typeKeys(QStringLiteral("ab"));
            QVERIFY(grid()->isEditing());
            bringBack();
            // What the window manager does when a dialog closes.
            if (QApplication::activeWindow() != m_form.get())
                m_form->activateWindow();
            QTRY_VERIFY2(QApplication::activeWindow() == m_form.get(), name);
            QWidget *keys = QApplication::focusWidget();
            QVERIFY2(keys && (keys == grid() || grid()->isAncestorOf(keys)), name);
            if (grid()->isEditing())
                key(keys, Qt::Key_Return);
            // Typed text in the next cell opens an editor in the grid, and Ctrl+Z
            // there undoes it.
            key(QApplication::focusWidget(), Qt::Key_Right);
            const int col = doc().Col(), at = doc().Row();
            const std::string before = doc().GetCell(col, at);
            for (const QChar ch : QStringLiteral("ZZZ"))
                QTest::keyClick(QApplication::focusWidget(), ch.toLatin1());
            key(QApplication::focusWidget(), Qt::Key_Return);
            QVERIFY2(doc().GetCell(col, at) == "ZZZ", name);
            key(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
            QVERIFY2(doc().GetCell(col, at) == before, name);
            action(m_form.get(), "NewRowBtn")->trigger();
            row = doc().RowCount() - 1;
        }
    }

    // The desktop's usual keys run the same commands as second keys, and the
    // program's own keys keep their commands.
    void conventionalSecondKeys_runTheirCommandsBesideTheOwnKeys()
    {
        selectCell(2, 1);
        const std::string old = doc().GetCell(2, 1);
        typeKeys(QStringLiteral("ab"));
        key(focused(), Qt::Key_Return);
        key(grid(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); // still Undo
        QCOMPARE(doc().GetCell(2, 1), old);
        const struct {
            Qt::Key key;
            Qt::KeyboardModifiers mods;
            const char *item;
        } keys[] = {
            {Qt::Key_Y, Qt::ControlModifier, "RedoBtn"},
            {Qt::Key_Z, Qt::ControlModifier | Qt::AltModifier, "RedoBtn"},
            {Qt::Key_O, Qt::ControlModifier, "OpenListBtn"},
            {Qt::Key_F11, Qt::ControlModifier, "OpenListBtn"},
            {Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier, "SaveListAsBtn"},
            {Qt::Key_S, Qt::ControlModifier | Qt::AltModifier, "SaveListAsBtn"},
            {Qt::Key_N, Qt::ControlModifier, "NewRowBtn"},
        };
        for (const auto &k : keys) {
            QSignalSpy ran(action(m_form.get(), k.item), &QAction::triggered);
            // Redo needs something undone: the second Redo key gets a fresh undo.
            if (QByteArray(k.item) == "RedoBtn" && !action(m_form.get(), "RedoBtn")->isEnabled())
                m_form->UndoBtnClick();
            key(focused(), k.key, k.mods);
            QVERIFY2(ran.count() == 1, k.item);
        }
        QCOMPARE(doc().GetCell(2, 1), std::string("ab")); // redone
    }

    // F3 searches even when there is nothing to find (the find window's buttons
    // and so the menu items are off): it finds nothing and says so.
    void findNextWithNothingToFind_stillSearchesAndSaysNotFound()
    {
        key(grid(), Qt::Key_F, Qt::ControlModifier);
        TFindForm *find = m_form->findForm();
        QVERIFY(QTest::qWaitForWindowActive(find));
        QVERIFY(find->findChild<QLineEdit *>(QStringLiteral("TextToFindEdit"))->text().isEmpty());
        emit m_form->findChild<QMenu *>(QStringLiteral("Search1"))->aboutToShow();
        QVERIFY(!action(m_form.get(), "FindNextBtn")->isEnabled());
        QCOMPARE(action(m_form.get(), "FindNextBtn")->text(), QStringLiteral("Find &Next\tF3"));
        // From the find window, then from the grid beside it.
        for (QWidget *target : {static_cast<QWidget *>(find->findChild<QLineEdit *>(QStringLiteral("TextToFindEdit"))),
                                static_cast<QWidget *>(grid())}) {
            const size_t before = m_sandbox->boxes.size();
            if (target == grid()) {
                m_form->activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
            }
            key(target, Qt::Key_F3);
            QCOMPARE(m_sandbox->boxes.size(), before + 1);
            QCOMPARE(m_sandbox->boxes.back().text, std::string("Text not found."));
        }
        find->hide();
    }

    // A path's "&" shows as itself in the Reopen menu, and the item opens that path.
    void reopenItemWithAnAmpersand_showsAndOpensThePath()
    {
        const std::string list = m_sandbox->home() + "Tom & Jerry.lst";
        m_sandbox->chosenFiles = {{list, 1}};
        action(m_form.get(), "SaveListAsBtn")->trigger();
        QVERIFY(FileSystem::exists(list));
        QAction *first = action(m_form.get(), "Reopen1");
        QCOMPARE(first->text(), QString::fromStdString(list).replace(QStringLiteral("&"), QStringLiteral("&&")));
        QCOMPARE(QKeySequence::mnemonic(first->text()), QKeySequence());
        m_form->editor().currentListFile.clear();
        first->trigger();
        QCOMPARE(m_form->editor().currentListFile, list);
    }

    void drop_acceptedOnlyAsACopyOfWhatWasTaken_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<int>("actions");
        QTest::addColumn<bool>("taken");
        const int copyOrMove = int(Qt::CopyAction | Qt::MoveAction);
        QTest::newRow("picture, Shift-drag proposes a move") << QStringLiteral("a.jpg") << true << copyOrMove << true;
        QTest::newRow("list, Shift-drag proposes a move") << QStringLiteral("b.lst") << true << copyOrMove << true;
        QTest::newRow("text file the window ignores") << QStringLiteral("c.txt") << true << copyOrMove << false;
        QTest::newRow("picture gone before the drop") << QStringLiteral("d.jpg") << false << copyOrMove << false;
        QTest::newRow("source offers only a move") << QStringLiteral("e.jpg") << true << int(Qt::MoveAction) << false;
    }

    void drop_acceptedOnlyAsACopyOfWhatWasTaken()
    {
        QFETCH(QString, name);
        QFETCH(bool, exists);
        QFETCH(int, actions);
        QFETCH(bool, taken);
        const std::string path = m_sandbox->home() + name.toStdString();
        if (name.endsWith(QStringLiteral(".lst"))) {
            doc().SetCell(1, 1, "in the dropped list");
            m_sandbox->chosenFiles.push_back({path, 1});
            action(m_form.get(), "SaveListAsBtn")->trigger();
            QVERIFY(FileSystem::isRegularFile(path));
            doc().SetCell(1, 1, "before");
            m_form->editor().listModified = false;
            m_form->documentChanged();
        } else if (exists) {
            FileSystem::writeFileAtomic(path, "x");
        }
        const std::string before = doc().GetCell(doc().Col(), doc().Row());
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
        const auto possible = Qt::DropActions(actions);
        QDragEnterEvent enter(QPoint(50, 50), possible, &mime, Qt::LeftButton, Qt::ShiftModifier);
        QApplication::sendEvent(m_form.get(), &enter);
        QDropEvent drop(QPointF(50, 50), possible, &mime, Qt::LeftButton, Qt::ShiftModifier);
        QApplication::sendEvent(m_form.get(), &drop);
        QCOMPARE(drop.isAccepted(), taken);
        if (taken)
            QCOMPARE(drop.dropAction(), Qt::CopyAction);
        if (!taken)
            QCOMPARE(doc().GetCell(doc().Col(), doc().Row()), before);
        else if (name.endsWith(QStringLiteral(".lst")))
            QCOMPARE(doc().GetCell(1, 1), std::string("in the dropped list"));
        else
            QCOMPARE(doc().GetCell(doc().Col(), doc().Row()), AttachmentRef::make(AttachPicture, name.toStdString()));
        QCOMPARE(FileSystem::exists(path), exists);
    }

    void longList_statusPanelsAndPageColumnShowWholeNumbers()
    {
        doc().SetRowCount(1000001);
        doc().SetCurrentCell(1, 100000);
        m_form->editor().RenumberPages();
        m_form->editor().RefreshStatusBar();
        m_form->documentChanged();
        const StatusBarModel &status = m_form->editor().statusBar();
        const QFontMetrics metrics = m_form->findChild<QWidget *>(QStringLiteral("StatusBar"))->fontMetrics();
        for (int i = 0; i < StatusBarModel::PanelCount; ++i)
            QVERIFY2(status.width(i) >= metrics.horizontalAdvance(QString::fromStdString(status.text(i))) + 2,
                     status.text(i).c_str());
        QCOMPARE(status.text(1), std::string("Selected row: 100000"));
        QVERIFY(status.width(1) >= 125 && status.width(2) >= 105 && status.width(3) >= 120);
        const int pages = doc().CountPages(m_form->editor().pageSetup().entriesPerPage());
        QHeaderView *pageColumn = grid()->verticalHeader();
        QVERIFY(pageColumn->width() >=
                pageColumn->fontMetrics().horizontalAdvance(QLatin1Char(' ') + QString::number(pages)));
        QVERIFY(doc().ColWidth(0) < pageColumn->width()); // the stored width is left alone
    }

    void attachedNonAsciiName_showsRightInTheGridAndIsUtf8OnDisk()
    {
        const std::string source = m_sandbox->home() + "Am\xC3\xA9lie.jpg";
        FileSystem::writeFileAtomic(source, "picture");
        m_sandbox->chosenFiles.push_back({source, 0});
        selectCell(3, 1);
        action(m_form.get(), "InsertPictureBtn")->trigger();
        QCOMPARE(doc().GetCell(3, 1), AttachmentRef::make(AttachPicture, "Am\xE9lie.jpg"));
        QCOMPARE(grid()->model()->index(0, 2).data().toString(), QStringLiteral("Am\u00E9lie.jpg"));
        QVERIFY(FileSystem::exists(m_form->editor().paths().databaseFolder + "Am\xC3\xA9lie.jpg"));
    }

    // The launcher returns before it learns that no program takes the file, so
    // the desktop's association table is asked first and a missing program is
    // reported, never passed off as success.
    void helpWithoutAPdfProgram_asksTheDesktopAndSaysSo()
    {
        const std::string bin = m_sandbox->home() + "bin/";
        const std::string asked = m_sandbox->home() + "asked.txt";
        FileSystem::createFolders(bin);
        writeScript(bin + "xdg-mime", "echo \"$3\" > '" + asked + "'");
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", QByteArray::fromStdString(bin) + ':' + oldPath);
        action(m_form.get(), "HelpBtn")->trigger();
        QtDesktopShell shell;
        const int result = shell.openDocument(m_form->editor().paths().helpFile, ShellVerb::Open);
        qputenv("PATH", oldPath);
        QVERIFY(m_sandbox->sawBox("There is no program on this desktop that opens PDF documents."));
        QCOMPARE(result, int(ShellNoAssociation));
        QCOMPARE(FileSystem::readFile(asked).value_or(""), std::string("application/pdf\n"));
    }
};

QTEST_MAIN(WindowFaultsTest)
#include "WindowFaultsTest.moc"
