#include "GuiSandbox.h"
#include "app/gui/TFontColorDialog.h"
#include "app/gui/ToolTipDuration.h"
#include "attachments/core/AttachmentRef.h"
#include "document/gui/StringGrid.h"
#include "listfile/core/ListFileCommands.h"
#include "platform/gui/QtDesktopShell.h"

#include <QAction>
#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QFile>
#include <QFileDialog>
#include <QFontDialog>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <functional>

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

    void shiftDelWithTheEditorOpen_deletesTheSelectedRows()
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
