#include "stats/gui/TStatisticsForm.h"
#include "GuiSandbox.h"
#include "app/core/FontSettings.h"
#include "app/gui/TFontColorDialog.h"
#include "app/gui/TViewCellTextForm.h"
#include "appearance/gui/TSettingsForm.h"
#include "document/core/AttachmentRef.h"
#include "document/core/GridCommands.h"
#include "document/gui/StringGrid.h"
#include "entry/gui/TNewListForm.h"
#include "filter/gui/FilterBar.h"
#include "filter/gui/FilterController.h"
#include "filter/gui/GroupPane.h"
#include "entry/gui/TWizardForm.h"
#include "listfile/gui/TImportTextForm.h"
#include "import/gui/TImportCsvForm.h"
#include "../../import/core/TellicoSamples.h"
#include "platform/core/FileSystem.h"
#include "platform/gui/QtDesktopShell.h"
#include "print/gui/PrintController.h"
#include "print/gui/TPageSetupForm.h"
#include "print/gui/TPrintPageNumsForm.h"
#include "search/gui/TFindForm.h"
#include "sort/gui/SortController.h"
#include "sort/gui/TSortForm.h"
#include "sort/gui/TStatusForm.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QFontDialog>
#include <QImage>
#include <QLabel>
#include <QListView>
#include <QToolButton>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <set>

using namespace quorvex;

namespace {

// Runs `drive` on the next modal window that `match` accepts, then closes it
// whatever `drive` did, so a failed check cannot leave the run waiting.
void whenModal(std::function<bool(QWidget *)> match, std::function<void(QWidget *)> drive, bool *shown = nullptr)
{
    auto *timer = new QTimer;
    timer->setInterval(20);
    auto ticks = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, match, drive, shown, ticks] {
        QWidget *w = QApplication::activeModalWidget();
        if (++*ticks > 500) { // ten seconds: the window never came
            timer->stop();
            timer->deleteLater();
            return;
        }
        if (!w || !w->isVisible() || !match(w))
            return;
        timer->stop();
        timer->deleteLater();
        if (shown)
            *shown = true;
        drive(w);
        if (auto *dialog = qobject_cast<QDialog *>(w); dialog && dialog->isVisible())
            dialog->reject();
    });
    timer->start();
}

template <typename T> void whenModal(std::function<void(T *)> drive, bool *shown = nullptr)
{
    whenModal([](QWidget *w) { return qobject_cast<T *>(w) != nullptr; },
              [drive](QWidget *w) { drive(qobject_cast<T *>(w)); }, shown);
}

void whenModalNamed(const char *name, std::function<void(QWidget *)> drive, bool *shown = nullptr)
{
    const QString objectName = QString::fromLatin1(name);
    whenModal([objectName](QWidget *w) { return w->objectName() == objectName; }, std::move(drive), shown);
}

QPushButton *button(QWidget *w, const char *name) { return w->findChild<QPushButton *>(QString::fromLatin1(name)); }

// The font window, when it opens, takes the same font at another size.
void chooseFontSize(int points)
{
    whenModal<TFontColorDialog>([points](TFontColorDialog *d) {
        QFont font = d->fontBox()->currentFont();
        font.setPointSize(points);
        d->fontBox()->setCurrentFont(font);
        d->accept();
    });
}

int pdfPages(const std::string &path)
{
    const QByteArray bytes = QByteArray::fromStdString(FileSystem::readFile(path).value_or(""));
    return static_cast<int>(QString::fromLatin1(bytes).count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))));
}

std::string pad3(int n)
{
    std::string s = std::to_string(n);
    return std::string(3 - std::min<size_t>(3, s.size()), '0') + s;
}

// The pop-up items and the main menu items they repeat.
const std::map<QString, QString> popupTwins = {
    {QStringLiteral("NewRow1"), QStringLiteral("NewRowBtn")},
    {QStringLiteral("InsertRow1"), QStringLiteral("InsertRowBtn")},
    {QStringLiteral("DeleteRow1"), QStringLiteral("DeleteRowBtn")},
    {QStringLiteral("NewCol1"), QStringLiteral("NewColBtn")},
    {QStringLiteral("InsertCol1"), QStringLiteral("InsertColBtn")},
    {QStringLiteral("DelCol1"), QStringLiteral("DelColBtn")},
    {QStringLiteral("EditHdr1"), QStringLiteral("EditHdrBtn")},
    {QStringLiteral("MoveCol1"), QStringLiteral("MoveColBtn")},
    {QStringLiteral("Cut1"), QStringLiteral("CutBtn")},
    {QStringLiteral("Copy1"), QStringLiteral("CopyBtn")},
    {QStringLiteral("Paste1"), QStringLiteral("PasteBtn")},
    {QStringLiteral("Delete1"), QStringLiteral("DeleteBtn")},
    {QStringLiteral("SelectCol1"), QStringLiteral("SelectColBtn")},
    {QStringLiteral("SelectAll1"), QStringLiteral("SelectAllBtn")},
    {QStringLiteral("InsertPicture1"), QStringLiteral("InsertPictureBtn")},
    {QStringLiteral("InsertVideo1"), QStringLiteral("InsertVideoBtn")},
    {QStringLiteral("InsertAudio1"), QStringLiteral("InsertAudioBtn")},
    {QStringLiteral("InsertWebPage1"), QStringLiteral("InsertWebPageBtn")},
    {QStringLiteral("InsertFile1"), QStringLiteral("InsertFileBtn")},
    {QStringLiteral("Sort1"), QStringLiteral("SortBtn")},
    {QStringLiteral("Find1"), QStringLiteral("FindBtn")},
    {QStringLiteral("Replace2"), QStringLiteral("ReplaceBtn")},
    {QStringLiteral("FindNext1"), QStringLiteral("FindNextBtn")},
    {QStringLiteral("ViewCellText1"), QStringLiteral("ViewCellTextBtn")},
    {QStringLiteral("Wizard1"), QStringLiteral("WizardBtn")},
};

constexpr int Items = 300;

} // namespace

// Every item of the menu bar and of the grid's pop-up menu, run once on a
// list of a few hundred items with attachments, each checked for its effect.
// The items are found in the menus themselves: an item added later without an
// expectation here fails the walk.
class CommandWalkTest : public QObject {
    Q_OBJECT

private:
    // What one item needs first, and how it is run and checked. An item that
    // stays disabled by design says why.
    struct Step {
        std::function<void()> prepare;
        std::function<void(QAction *)> run;
        const char *disabledBecause = nullptr;
        // A changing command names itself in the Undo item, and Undo then Redo
        // give back exactly the list before and after it.
        const char *undoCaption = nullptr;
    };

    std::unique_ptr<test::GuiSandbox> m_sandbox;
    std::unique_ptr<TMainForm> m_form;
    std::vector<std::string> m_launched;
    std::map<QString, Step> m_steps;
    std::set<QString> m_walked;
    std::string m_list;
    std::map<char, std::string> m_sources; // attachment type -> file inserted

    ListDocument &doc() { return m_form->editor().document(); }
    StringGrid *grid() { return m_form->grid(); }
    int rows() { return doc().RowCount(); }
    int cols() { return doc().ColCount(); }
    std::string cell(int c, int r) { return doc().GetCell(c, r); }
    QAction *item(const char *name) { return m_form->findChild<QAction *>(QString::fromLatin1(name)); }
    std::string home() { return m_sandbox->home(); }
    QString clipboardText() { return QGuiApplication::clipboard()->text(); }
    std::vector<std::vector<std::string>> cells()
    {
        std::vector<std::vector<std::string>> all(static_cast<size_t>(rows()));
        for (int r = 0; r < rows(); ++r)
            for (int c = 1; c < cols(); ++c)
                all[static_cast<size_t>(r)].push_back(cell(c, r));
        return all;
    }

    void select(int col, int row)
    {
        grid()->setFocus();
        grid()->setCurrentIndex(grid()->model()->index(row - 1, col - 1));
        QCoreApplication::processEvents();
    }
    void selectRange(int left, int top, int right, int bottom)
    {
        select(left, top);
        QAbstractItemModel *m = grid()->model();
        grid()->selectionModel()->select(QItemSelection(m->index(top - 1, left - 1), m->index(bottom - 1, right - 1)),
                                         QItemSelectionModel::ClearAndSelect);
        QCoreApplication::processEvents();
    }
    int rowOf(int col, const std::string &text)
    {
        for (int r = 1; r < rows(); ++r)
            if (cell(col, r) == text)
                return r;
        return -1;
    }
    std::string sourceFile(const std::string &name, const std::string &bytes)
    {
        const std::string path = home() + "media/" + name;
        FileSystem::createFolders(home() + "media");
        FileSystem::writeFileAtomic(path, bytes);
        return path;
    }
    void closeProgressWindow()
    {
        TStatusForm *status = m_form->sortController()->statusForm();
        if (status->isVisible())
            status->OkBtnClick();
        if (status->isVisible())
            status->close();
    }

    // Walks the items of `menu` and its submenus in menu order. `refresh` runs
    // the menu-opening rules before each item, as opening the menu would.
    void walk(QMenu *menu, const std::function<void()> &refresh, std::map<QString, Step> &steps,
              std::set<QString> &walked)
    {
        for (QAction *action : menu->actions()) {
            if (action->isSeparator())
                continue;
            if (action->menu()) {
                walk(action->menu(), refresh, steps, walked);
                if (QTest::currentTestFailed())
                    return;
                continue;
            }
            const QString name = action->objectName();
            refresh();
            if (!action->isVisible())
                continue;
            const auto found = steps.find(name);
            QVERIFY2(found != steps.end(), qPrintable(QStringLiteral("no expectation for menu item ") + name +
                                                      QStringLiteral(" \"") + action->text() + QLatin1Char('"')));
            const Step &step = found->second;
            if (step.disabledBecause) {
                QVERIFY2(!action->isEnabled(), qPrintable(name));
                QVERIFY(!action->text().isEmpty());
                walked.insert(name);
                continue;
            }
            if (step.prepare)
                step.prepare();
            refresh();
            QVERIFY2(action->isEnabled(), qPrintable(name + QStringLiteral(" is disabled without a reason")));
            const auto before = cells();
            QWidget *window = QApplication::activeModalWidget();
            step.run(action);
            if (!QTest::currentTestFailed() && step.undoCaption)
                checkUndoRedo(before, step.undoCaption);
            if (QTest::currentTestFailed()) {
                qWarning("while walking %s", qPrintable(name));
                return;
            }
            QVERIFY2(!QApplication::activeModalWidget() || QApplication::activeModalWidget() == window,
                     qPrintable(name + QStringLiteral(" left a window open")));
            walked.insert(name);
        }
    }

    void checkUndoRedo(const std::vector<std::vector<std::string>> &before, const char *caption)
    {
        QCOMPARE(item("UndoBtn")->text(), QString::fromLatin1(caption) + QStringLiteral("\tCtrl+Z"));
        const auto after = cells();
        QVERIFY(after != before);
        item("UndoBtn")->trigger();
        QVERIFY2(cells() == before, caption);
        item("RedoBtn")->trigger();
        QVERIFY2(cells() == after, caption);
    }

    void walkMenu(const char *name)
    {
        auto *menu = m_form->menuBar()->findChild<QMenu *>(QString::fromLatin1(name));
        QVERIFY2(menu, name);
        walk(
            menu, [menu] { emit menu->aboutToShow(); }, m_steps, m_walked);
    }

    void defineSteps();

private slots:
    void initTestCase()
    {
        m_sandbox = std::make_unique<test::GuiSandbox>();
        QtDesktopShell::setResponder([this](const std::string &target, ShellVerb) {
            m_launched.push_back(target);
            return ShellSuccess;
        });
        m_form = m_sandbox->start();
        QVERIFY(m_form->started());
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));

        // A DVD collection: shelf numbers padded to three digits, in reverse order.
        doc().SetRowCount(Items + 1);
        for (int i = 1; i <= Items; ++i) {
            doc().SetCell(1, i, pad3(Items + 1 - i));
            doc().SetCell(2, i, "Title " + std::to_string(i));
            doc().SetCell(3, i, i % 3 ? "Drama" : "Comedy");
            doc().SetCell(7, i, std::to_string(1950 + i % 70));
        }
        m_form->editor().finishChange();
        m_form->documentChanged();

        // Attachments through the real insert commands.
        QImage cover(16, 12, QImage::Format_RGB32);
        cover.fill(QColor(200, 40, 40));
        const std::string coverPath = home() + "media/cover.bmp";
        FileSystem::createFolders(home() + "media");
        QVERIFY(cover.save(QString::fromStdString(coverPath), "BMP"));
        m_sources[AttachPicture] = coverPath;
        m_sources[AttachVideo] = sourceFile("trailer.avi", std::string(3000, 'v'));
        m_sources[AttachAudio] = sourceFile("theme.mp3", std::string(2000, 'a'));
        m_sources[AttachWebPage] = sourceFile("review.htm", "<html><body>Five stars</body></html>");
        m_sources[AttachFile] = sourceFile("notes.txt", "Signed copy.\r\n");
        const std::pair<const char *, char> inserts[] = {{"InsertPictureBtn", AttachPicture},
                                                         {"InsertVideoBtn", AttachVideo},
                                                         {"InsertAudioBtn", AttachAudio},
                                                         {"InsertWebPageBtn", AttachWebPage},
                                                         {"InsertFileBtn", AttachFile}};
        int row = 1;
        for (const auto &[name, code] : inserts) {
            select(8, row++);
            m_sandbox->chosenFiles.push_back({m_sources[code], 0});
            item(name)->trigger();
        }
        for (int r = 1; r <= 5; ++r)
            QVERIFY(AttachmentRef::IsAttachmentCell(doc(), 8, r));

        // Saved as an independent list and opened again through the File menu.
        m_list = home() + "collection.lst";
        m_sandbox->chosenFiles.push_back({m_list, 0});
        item("SaveListAsBtn")->trigger();
        QVERIFY(FileSystem::isRegularFile(m_list));
        doc().SetRowCount(2);
        m_form->documentChanged();
        m_form->editor().listModified = false;
        m_sandbox->chosenFiles.push_back({m_list, 0});
        item("OpenListBtn")->trigger();
        QCOMPARE(rows(), Items + 1);
        QCOMPARE(cell(2, Items), std::string("Title 300"));
        QCOMPARE(AttachmentRef::typeCode(cell(8, 1)), char(AttachPicture));
        QVERIFY(m_form->windowTitle().endsWith(QString::fromStdString(m_list)));
        m_sandbox->boxes.clear();
        defineSteps();
    }

    void cleanupTestCase()
    {
        QtDesktopShell::setResponder(nullptr);
        if (m_form && m_form->isVisible()) {
            m_form->editor().listModified = false;
            m_form->ExitBtnClick();
        }
        m_form.reset();
        m_sandbox.reset();
    }

    void editMenu() { walkMenu("Edit1"); }
    void gridMenu() { walkMenu("Grid1"); }
    void searchMenu() { walkMenu("Search1"); }
    void viewMenu() { walkMenu("View1"); }
    void optionsWizardAndHelpMenus()
    {
        walkMenu("Options1");
        if (QTest::currentTestFailed())
            return;
        walkMenu("WizardMenu");
        if (QTest::currentTestFailed())
            return;
        walkMenu("Help1");
    }

    void popupMenu()
    {
        auto *popup = m_form->findChild<QMenu *>(QStringLiteral("PopupMenu"));
        QVERIFY(popup);
        // The pop-up's rules run when the grid asks for it; it is closed again
        // at once and its items are then run as they stand.
        walk(
            popup,
            [this, popup] {
                QContextMenuEvent ask(QContextMenuEvent::Keyboard, QPoint(20, 20), grid()->viewport()->mapToGlobal(QPoint(20, 20)));
                QApplication::sendEvent(grid()->viewport(), &ask);
                popup->hide();
            },
            m_steps, m_walked);
    }

    // A few items the way a person reaches them: menu keys, arrows and Enter,
    // and the pop-up opened by the context menu request.
    void keys_openMenusAndRunTheirItems()
    {
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
        const int before = rows();
        select(2, 3);
        QTest::keyClick(m_form.get(), Qt::Key_G, Qt::AltModifier);
        auto *gridMenu = m_form->findChild<QMenu *>(QStringLiteral("Grid1"));
        QTRY_VERIFY(gridMenu->isVisible());
        QTest::keyClick(gridMenu, Qt::Key_R); // New &Row
        QTRY_COMPARE(rows(), before + 1);
        QVERIFY(!gridMenu->isVisible());

        bool about = false;
        whenModalNamed(
            "AboutBox", [](QWidget *) {}, &about);
        QTest::keyClick(m_form.get(), Qt::Key_H, Qt::AltModifier);
        auto *help = m_form->findChild<QMenu *>(QStringLiteral("Help1"));
        QTRY_VERIFY(help->isVisible());
        QTest::keyClick(help, Qt::Key_A); // &About...
        QTRY_VERIFY(about);

        select(2, 3);
        auto *popup = m_form->findChild<QMenu *>(QStringLiteral("PopupMenu"));
        QContextMenuEvent ask(QContextMenuEvent::Keyboard, QPoint(20, 20), grid()->viewport()->mapToGlobal(QPoint(20, 20)));
        QApplication::sendEvent(grid()->viewport(), &ask);
        QTRY_VERIFY(popup->isVisible());
        QTest::keyClick(popup, Qt::Key_R); // &Row
        QMenu *rowsMenu = popup->actions().first()->menu();
        QTRY_VERIFY(rowsMenu->isVisible());
        QTest::keyClick(rowsMenu, Qt::Key_I); // &Insert Row
        QTRY_COMPARE(rows(), before + 2);
        QCOMPARE(cell(2, 3), std::string());
    }

    // Qt runs neither of two items that share a key: every key names one item.
    void keys_eachShortcutBelongsToOneItem()
    {
        std::map<QKeySequence, QString> owner;
        // The main window's own items; its dialogs are windows of their own.
        std::vector<QAction *> items;
        std::function<void(QMenu *)> collect = [&](QMenu *menu) {
            for (QAction *action : menu->actions())
                action->menu() ? collect(action->menu()) : items.push_back(action);
        };
        for (QAction *top : m_form->menuBar()->actions())
            collect(top->menu());
        collect(m_form->findChild<QMenu *>(QStringLiteral("PopupMenu")));
        for (QAction *action : items) {
            if (action->objectName().isEmpty())
                continue;
            // Second keys too.
            for (const QKeySequence &keys : action->shortcuts()) {
                const auto [at, fresh] = owner.emplace(keys, action->objectName());
                QVERIFY2(fresh, qPrintable(keys.toString() + QStringLiteral(": ") + at->second +
                                           QStringLiteral(" and ") + action->objectName()));
            }
        }
        QVERIFY(owner.size() > 20);
    }

    // The cell text window's own menus and pop-up, on the current cell.
    void cellTextWindowMenus()
    {
        select(2, 12);
        TViewCellTextForm *form = m_form->cellTextForm();
        QPlainTextEdit *edit = form->richEdit();
        auto clip = [] { return QGuiApplication::clipboard()->text(); };
        auto put = [edit](const QString &text) {
            edit->setPlainText(text);
            edit->selectAll();
        };
        std::map<QString, Step> steps;
        std::set<QString> walked;
        steps[QStringLiteral("UndoBtn")] = {[edit] {
                                                edit->moveCursor(QTextCursor::End);
                                                QTest::keyClicks(edit, QStringLiteral("xyz"));
                                            },
                                            [edit](QAction *a) {
                                                a->trigger();
                                                QVERIFY(!edit->toPlainText().endsWith(QStringLiteral("xyz")));
                                            }};
        steps[QStringLiteral("RedoBtn")] = {{}, [edit](QAction *a) {
                                                a->trigger();
                                                QVERIFY(edit->toPlainText().endsWith(QStringLiteral("xyz")));
                                            }};
        steps[QStringLiteral("CutBtn")] = {[put] { put(QStringLiteral("Cut me")); },
                                           [edit, clip](QAction *a) {
                                               a->trigger();
                                               QCOMPARE(edit->toPlainText(), QString());
                                               QCOMPARE(clip(), QStringLiteral("Cut me"));
                                           }};
        steps[QStringLiteral("CopyBtn")] = {[put] { put(QStringLiteral("Copy me")); },
                                            [edit, clip](QAction *a) {
                                                a->trigger();
                                                QCOMPARE(edit->toPlainText(), QStringLiteral("Copy me"));
                                                QCOMPARE(clip(), QStringLiteral("Copy me"));
                                            }};
        steps[QStringLiteral("PasteBtn")] = {[put] {
                                                 QGuiApplication::clipboard()->setText(QStringLiteral("Pasted"));
                                                 put(QStringLiteral("Replace me"));
                                             },
                                             [edit](QAction *a) {
                                                 a->trigger();
                                                 QCOMPARE(edit->toPlainText(), QStringLiteral("Pasted"));
                                             }};
        steps[QStringLiteral("DeleteBtn")] = {[put] { put(QStringLiteral("Delete me")); },
                                              [edit](QAction *a) {
                                                  a->trigger();
                                                  QCOMPARE(edit->toPlainText(), QString());
                                              }};
        steps[QStringLiteral("SelectAllBtn")] = {[edit] { edit->setPlainText(QStringLiteral("All of it")); },
                                                 [edit](QAction *a) {
                                                     a->trigger();
                                                     QCOMPARE(edit->textCursor().selectedText(),
                                                              QStringLiteral("All of it"));
                                                 }};
        for (const char *name : {"Cut", "Copy", "Paste", "Delete", "SelectAll"})
            steps[QString::fromLatin1(name) + QLatin1Char('1')] =
                steps[QString::fromLatin1(name) + QStringLiteral("Btn")];
        steps[QStringLiteral("SaveBtn")] = {[put] { put(QStringLiteral("Saved from the window")); },
                                            [this](QAction *a) {
                                                a->trigger();
                                                QCOMPARE(cell(2, 12), std::string("Saved from the window"));
                                            }};
        steps[QStringLiteral("FontBtn")] = {{}, [form](QAction *a) {
                                                chooseFontSize(16);
                                                a->trigger();
                                                QCOMPARE(form->richEdit()->font().pointSize(), 16);
                                            }};
        steps[QStringLiteral("SaveFontBtn")] = {
            {}, [this](QAction *a) {
                const std::string file = m_sandbox->program() + FontSettings::ViewFontFileName;
                a->trigger();
                QVERIFY(FileSystem::readFile(file).value_or("").find("16") != std::string::npos);
            }};
        // Closing with unsaved text asks first; No closes without saving.
        steps[QStringLiteral("CloseBtn")] = {[edit] { QTest::keyClicks(edit, QStringLiteral(" unsaved")); },
                                             [this, form](QAction *a) {
                                                 m_sandbox->answers = {MessageAnswer::No};
                                                 a->trigger();
                                                 QVERIFY(!form->isVisible());
                                                 QVERIFY(cell(2, 12).find("unsaved") == std::string::npos);
                                             }};
        steps[QStringLiteral("Close1")] = steps[QStringLiteral("CloseBtn")];

        auto *menus = form->findChild<QMenuBar *>();
        auto *popup = form->findChild<QMenu *>(QStringLiteral("PopupMenu1"));
        QVERIFY(menus && popup);
        // Edit, then the pop-up that ends with Close Window; then Options that ends with Close.
        const std::vector<QMenu *> rounds[] = {{form->findChild<QMenu *>(QStringLiteral("Edit1")), popup},
                                               {form->findChild<QMenu *>(QStringLiteral("Options1"))}};
        for (const std::vector<QMenu *> &round : rounds) {
            bool shown = false;
            whenModalNamed(
                "ViewCellTextForm",
                [&](QWidget *) {
                    for (QMenu *menu : round)
                        if (!QTest::currentTestFailed())
                            walk(
                                menu, [menu] { emit menu->aboutToShow(); }, steps, walked);
                },
                &shown);
            item("ViewCellTextBtn")->trigger();
            QVERIFY(shown);
            if (QTest::currentTestFailed())
                return;
        }
        QCOMPARE(walked.size(), steps.size());
    }

    // Last: the File menu ends with Exit.
    void fileMenu()
    {
        walkMenu("File1");
        if (QTest::currentTestFailed())
            return;
        // Every item of every menu was walked: the union of the walks.
        QStringList missed;
        for (const auto &[name, step] : m_steps)
            if (!m_walked.count(name))
                missed << name;
        QVERIFY2(missed.isEmpty(), qPrintable(QStringLiteral("not walked: ") + missed.join(QLatin1Char(' '))));
    }
};

void CommandWalkTest::defineSteps()
{
    auto rowsBefore = std::make_shared<int>(0);
    auto colsBefore = std::make_shared<int>(0);

    // ---- Edit ----
    m_steps[QStringLiteral("UndoBtn")] = {[this] { item("NewRowBtn")->trigger(); },
                                          [this, rowsBefore](QAction *a) {
                                              *rowsBefore = rows();
                                              QVERIFY(a->text().startsWith(QStringLiteral("&Undo New Row")));
                                              a->trigger();
                                              QCOMPARE(rows(), *rowsBefore - 1);
                                          }};
    m_steps[QStringLiteral("RedoBtn")] = {{}, [this, rowsBefore](QAction *a) {
                                              a->trigger();
                                              QCOMPARE(rows(), *rowsBefore);
                                          }};
    m_steps[QStringLiteral("CutBtn")] = {[this] { select(2, 20); },
                                         [this](QAction *a) {
                                             const std::string was = cell(2, 20);
                                             a->trigger();
                                             QCOMPARE(cell(2, 20), std::string());
                                             QVERIFY(clipboardText().startsWith(QString::fromStdString(was)));
                                         }};
    m_steps[QStringLiteral("CopyBtn")] = {
        [this] { selectRange(2, 21, 3, 22); },
        [this](QAction *a) {
            QGuiApplication::clipboard()->clear();
            a->trigger();
            const QString copied = clipboardText();
            QVERIFY(copied.startsWith(QString::fromStdString(cell(2, 21) + "\t" + cell(3, 21) + "\r\n")));
            QVERIFY(copied.contains(QString::fromStdString(cell(2, 22) + "\t" + cell(3, 22))));
        }};
    m_steps[QStringLiteral("PasteBtn")] = {[this] {
                                               QGuiApplication::clipboard()->setText(QStringLiteral("Pasted Title"));
                                               select(2, 24);
                                           },
                                           [this](QAction *a) {
                                               a->trigger();
                                               QCOMPARE(cell(2, 24), std::string("Pasted Title"));
                                           }};
    m_steps[QStringLiteral("DeleteBtn")] = {[this] { selectRange(2, 25, 3, 26); },
                                            [this](QAction *a) {
                                                a->trigger();
                                                for (int r : {25, 26})
                                                    QVERIFY(cell(2, r).empty() && cell(3, r).empty());
                                                QVERIFY(!cell(7, 25).empty());
                                            }};
    m_steps[QStringLiteral("SelectColBtn")] = {[this] { select(4, 30); },
                                               [this](QAction *a) {
                                                   a->trigger();
                                                   QCOMPARE(doc().Selection(), (CellRect{4, 1, 4, rows() - 1}));
                                               }};
    m_steps[QStringLiteral("SelectAllBtn")] = {
        [this] { select(4, 30); },
        [this](QAction *a) {
            a->trigger();
            QCOMPARE(doc().Selection(), (CellRect{1, 1, cols() - 1, rows() - 1}));
        }};
    m_steps[QStringLiteral("CopyAllBtn")] = {
        {}, [this](QAction *a) {
            QGuiApplication::clipboard()->clear();
            a->trigger();
            const QString text = clipboardText();
            QCOMPARE(int(text.count(QStringLiteral("\r\n"))), rows());
            QVERIFY(text.contains(QString::fromStdString(cell(1, 0) + "\t" + cell(2, 0))));
        }};

    // ---- Grid ----
    m_steps[QStringLiteral("NewRowBtn")] = {{}, [this](QAction *a) {
                                                const int n = rows();
                                                a->trigger();
                                                QCOMPARE(rows(), n + 1);
                                                QCOMPARE(cell(2, n), std::string());
                                            }};
    m_steps[QStringLiteral("InsertRowBtn")] = {[this] { select(2, 5); },
                                               [this](QAction *a) {
                                                   const int n = rows();
                                                   const std::string was = cell(2, 5);
                                                   a->trigger();
                                                   QCOMPARE(rows(), n + 1);
                                                   QCOMPARE(cell(2, 5), std::string());
                                                   QCOMPARE(cell(2, 6), was);
                                               }};
    m_steps[QStringLiteral("DeleteRowBtn")] = {[this] { selectRange(1, 5, 2, 6); },
                                               [this](QAction *a) {
                                                   const int n = rows();
                                                   const std::string after = cell(2, 7);
                                                   a->trigger();
                                                   QCOMPARE(rows(), n - 2);
                                                   QCOMPARE(cell(2, 5), after);
                                               }};
    auto header = [](const QString &text) {
        whenModalNamed("HeaderTextForm", [text](QWidget *w) {
            auto *edit = w->findChild<QLineEdit *>(QStringLiteral("TextEdit"));
            edit->selectAll();
            QTest::keyClicks(edit, text);
            button(w, "OKBtn")->click();
        });
    };
    m_steps[QStringLiteral("NewColBtn")] = {{}, [this, header](QAction *a) {
                                                const int n = cols();
                                                header(QStringLiteral("Format"));
                                                a->trigger();
                                                QCOMPARE(cols(), n + 1);
                                                QCOMPARE(cell(n, 0), std::string("Format"));
                                            }};
    m_steps[QStringLiteral("InsertColBtn")] = {[this] { select(3, 2); },
                                               [this, header, colsBefore](QAction *a) {
                                                   *colsBefore = cols();
                                                   const std::string was = cell(3, 0);
                                                   header(QStringLiteral("Studio"));
                                                   a->trigger();
                                                   QCOMPARE(cols(), *colsBefore + 1);
                                                   QCOMPARE(cell(3, 0), std::string("Studio"));
                                                   QCOMPARE(cell(4, 0), was);
                                               }};
    m_steps[QStringLiteral("DelColBtn")] = {[this] { select(3, 2); },
                                            [this](QAction *a) {
                                                const int n = cols();
                                                const std::string next = cell(4, 0);
                                                a->trigger();
                                                QCOMPARE(cols(), n - 1);
                                                QCOMPARE(cell(3, 0), next);
                                            }};
    m_steps[QStringLiteral("EditHdrBtn")] = {[this] { select(2, 2); },
                                             [this, header](QAction *a) {
                                                 const std::string title =
                                                     cell(2, 0) == "Film Title" ? "Title" : "Film Title";
                                                 header(QString::fromStdString(title));
                                                 a->trigger();
                                                 QCOMPARE(cell(2, 0), title);
                                             }};
    m_steps[QStringLiteral("MoveColBtn")] = {{}, [this](QAction *a) {
                                                 m_sandbox->boxes.clear();
                                                 a->trigger();
                                                 QVERIFY(m_sandbox->sawBox(GridCommands::MoveColumnMessage));
                                             }};
    for (const char *note : {"InsertNote1", "InsertNote2"})
        m_steps[QString::fromLatin1(note)] = {{}, {}, "a warning shown above the insert items"};
    const std::pair<const char *, char> inserts[] = {{"InsertPictureBtn", AttachPicture},
                                                     {"InsertVideoBtn", AttachVideo},
                                                     {"InsertAudioBtn", AttachAudio},
                                                     {"InsertWebPageBtn", AttachWebPage},
                                                     {"InsertFileBtn", AttachFile}};
    for (const auto &[name, code] : inserts) {
        const char typeCode = code;
        m_steps[QString::fromLatin1(name)] = {
            [this] { select(4, 40); },
            [this, typeCode](QAction *a) {
                m_sandbox->chosenFiles.push_back({m_sources[typeCode], 0});
                a->trigger();
                QVERIFY(m_sandbox->chosenFiles.empty());
                QCOMPARE(AttachmentRef::typeCode(cell(4, 40)), typeCode);
                const std::string stored =
                    m_form->editor().paths().databaseFolder + std::string(AttachmentRef::fileName(cell(4, 40)));
                QCOMPARE(FileSystem::readFile(stored), FileSystem::readFile(m_sources[typeCode]));
            }};
    }
    m_steps[QStringLiteral("ExtractDataFileFromCellBtn")] = {
        [this] { select(8, 1); },
        [this](QAction *a) {
            const std::string target = home() + "extracted/cover.bmp";
            FileSystem::createFolders(home() + "extracted");
            FileSystem::removeFile(target);
            m_sandbox->chosenFiles.push_back({target, 0});
            a->trigger();
            QCOMPARE(FileSystem::readFile(target), FileSystem::readFile(m_sources[AttachPicture]));
        }};
    m_steps[QStringLiteral("DeleteBinaryDataBtn")] = {
        [this] { selectRange(8, 2, 8, 3); },
        [this](QAction *a) {
            m_sandbox->answers = {MessageAnswer::Yes};
            a->trigger();
            QVERIFY(m_sandbox->sawBox("Delete all binary data from selection?"));
            QVERIFY(!AttachmentRef::IsAttachmentCell(doc(), 8, 2));
            QVERIFY(!AttachmentRef::IsAttachmentCell(doc(), 8, 3));
            QVERIFY(AttachmentRef::IsAttachmentCell(doc(), 8, 4));
        }};
    m_steps[QStringLiteral("FontBtn")] = {{}, [this](QAction *a) {
                                              chooseFontSize(14);
                                              a->trigger();
                                              QCOMPARE(m_form->editor().gridFont.size, 14);
                                              QVERIFY(item("SaveFontBtn")->isEnabled());
                                          }};
    m_steps[QStringLiteral("SaveFontBtn")] = {
        {}, [this](QAction *a) {
            const std::string file = m_form->editor().paths().programFolder + FontSettings::GridFontFileName;
            FileSystem::removeFile(file);
            a->trigger();
            QVERIFY(FileSystem::readFile(file).value_or("").find("14") != std::string::npos);
            QVERIFY(!a->isEnabled());
        }};

    // ---- Search ----
    auto findForm = [this] { return m_form->findForm(); };
    auto findEdit = [findForm](const char *name) {
        return findForm()->findChild<QLineEdit *>(QString::fromLatin1(name));
    };
    m_steps[QStringLiteral("FindBtn")] = {
        [this] { select(1, 1); },
        [this, findForm, findEdit](QAction *a) {
            a->trigger();
            QVERIFY(findForm()->isVisible());
            QCOMPARE(findForm()->windowTitle(), QStringLiteral("Find Text"));
            findEdit("TextToFindEdit")->setText(QStringLiteral("Title 15"));
            QTest::mouseClick(button(findForm(), "FindBtn"), Qt::LeftButton);
            QVERIFY(QString::fromStdString(cell(doc().Col(), doc().Row())).startsWith(QStringLiteral("Title 15")));
        }};
    m_steps[QStringLiteral("ReplaceBtn")] = {
        [this] { select(1, 1); },
        [this, findForm, findEdit](QAction *a) {
            a->trigger();
            QCOMPARE(findForm()->windowTitle(), QStringLiteral("Find and Replace Text"));
            findEdit("TextToFindEdit")->setText(QStringLiteral("Title 16"));
            findEdit("ReplaceEdit")->setText(QStringLiteral("Film 16"));
            QTest::mouseClick(button(findForm(), "FindBtn"), Qt::LeftButton);
            const int row = doc().Row();
            m_sandbox->answers = {MessageAnswer::Yes};
            QTest::mouseClick(button(findForm(), "ReplaceBtn"), Qt::LeftButton);
            // Only the found text changes: "Title 160" becomes "Film 160".
            QVERIFY(QString::fromStdString(cell(2, row)).startsWith(QStringLiteral("Film 16")));
            QVERIFY(rowOf(2, "Title 16") < 0);
            QVERIFY(item("UndoBtn")->text().startsWith(QStringLiteral("&Undo Find and Replace")));
        }};
    m_steps[QStringLiteral("FindNextBtn")] = {
        [this, findEdit] {
            findEdit("TextToFindEdit")->setText(QStringLiteral("Title 2"));
            select(1, 1);
        },
        [this, findForm](QAction *a) {
            a->trigger();
            const int first = doc().Row();
            QVERIFY(QString::fromStdString(cell(2, first)).startsWith(QStringLiteral("Title 2")));
            a->trigger();
            QVERIFY(doc().Row() > first);
            QVERIFY(QString::fromStdString(cell(2, doc().Row())).startsWith(QStringLiteral("Title 2")));
            QTest::mouseClick(button(findForm(), "CloseBtn"), Qt::LeftButton);
            QVERIFY(!findForm()->isVisible());
        }};

    m_steps[QStringLiteral("FilterRowsBtn")] = {{}, [this](QAction *a) {
                                                   a->trigger();
                                                   FilterBar *bar = m_form->filter()->bar();
                                                   QVERIFY(bar->isVisible());
                                                   const int all = m_form->grid()->model()->rowCount();
                                                   bar->textBox(0)->setText(QStringLiteral("Title 2"));
                                                   const int shown = m_form->grid()->model()->rowCount();
                                                   QVERIFY(shown > 0 && shown < all);
                                                   QVERIFY(QString::fromStdString(cell(2, m_form->editor().shownRows().documentRow(0)))
                                                               .startsWith(QStringLiteral("Title 2")));
                                                   bar->clearButton()->click();
                                                   QCOMPARE(m_form->grid()->model()->rowCount(), all);
                                               }};
    m_steps[QStringLiteral("GroupsBtn")] = {{}, [this](QAction *a) {
                                               a->trigger();
                                               GroupPane *pane = m_form->filter()->pane();
                                               QVERIFY(pane->isVisible());
                                               QVERIFY(pane->listView()->model()->rowCount() > 0);
                                               a->trigger();
                                               QVERIFY(!pane->isVisible());
                                           }};
    m_steps[QStringLiteral("StatisticsBtn")] = {{}, [](QAction *a) {
                                                   bool shown = false;
                                                   whenModal<TStatisticsForm>([](TStatisticsForm *d) { d->reject(); },
                                                                              &shown);
                                                   a->trigger();
                                                   QVERIFY(shown);
                                               }};

    // ---- Options, Wizard, Help ----
    m_steps[QStringLiteral("SortBtn")] = {{}, [this](QAction *a) {
                                              bool shown = false;
                                              whenModal<TSortForm>([](TSortForm *d) { d->okBtn()->click(); }, &shown);
                                              a->trigger();
                                              QVERIFY(shown);
                                              // Column 1 first: the shelf numbers ascend, blanks before them.
                                              std::vector<std::string> shelf;
                                              for (int r = 1; r < rows(); ++r)
                                                  shelf.push_back(cell(1, r));
                                              QVERIFY(std::is_sorted(shelf.begin(), shelf.end()));
                                              const auto first = std::find(shelf.begin(), shelf.end(), pad3(1));
                                              QVERIFY(first != shelf.end());
                                              QVERIFY(std::find(first, shelf.end(), pad3(Items)) != shelf.end());
                                              QVERIFY(item("UndoBtn")->text().startsWith(QStringLiteral("&Undo Sort")));
                                              closeProgressWindow();
                                          }};
    auto takes = std::make_shared<int>(0);
    m_steps[QStringLiteral("ViewCellTextBtn")] = {
        [this] { select(2, 10); },
        [this, takes](QAction *a) {
            bool shown = false;
            const QString text = QStringLiteral("Long text\nsecond line, take %1").arg(++*takes);
            whenModalNamed(
                "ViewCellTextForm",
                [text](QWidget *w) {
                    auto *form = static_cast<TViewCellTextForm *>(w);
                    form->richEdit()->setPlainText(text);
                    form->saveAction()->trigger();
                },
                &shown);
            a->trigger();
            QVERIFY(shown);
            QVERIFY(cell(2, 10).find("second line") != std::string::npos);
        }};
    m_steps[QStringLiteral("SettingsBtn")] = {{}, [this](QAction *a) {
                                                  const std::string file = m_sandbox->program() + "settings.mtr";
                                                  FileSystem::removeFile(file);
                                                  bool shown = false;
                                                  whenModal<TSettingsForm>(
                                                      [](TSettingsForm *f) {
                                                          f->quickSearchEdit()->setValue(3);
                                                          f->saveButton()->click();
                                                          f->okButton()->click();
                                                      },
                                                      &shown);
                                                  a->trigger();
                                                  QVERIFY(shown);
                                                  QVERIFY(m_sandbox->sawBox("Settings saved."));
                                                  QVERIFY(FileSystem::readFile(file).value_or("").size() > 20);
                                              }};
    m_steps[QStringLiteral("ConvertToUnicodeBtn")] = {[this] {
                                                          // A character whose bytes the conversion changes.
                                                          ListDocument &doc = m_form->editor().document();
                                                          doc.SetCell(doc.ColCount() - 1, doc.RowCount() - 1, "Caf\xE9");
                                                          m_form->documentChanged();
                                                      },
                                                      [this](QAction *a) {
                                                          a->trigger();
                                                          QCOMPARE(m_form->editor().document().textEncoding(),
                                                                   TextEncoding::Utf8);
                                                          QVERIFY(m_form->editor().listModified);
                                                      }};
    m_steps[QStringLiteral("UnicodeNewListsBtn")] = {{}, [this](QAction *a) {
                                                         const std::string file = m_sandbox->program() + "unicode.mtr";
                                                         a->trigger();
                                                         QVERIFY(a->isChecked());
                                                         QCOMPARE(FileSystem::readFile(file).value_or(""),
                                                                  std::string("UnicodeNewLists=1\n"));
                                                         a->trigger();
                                                         QVERIFY(!a->isChecked());
                                                     }};
    m_steps[QStringLiteral("SearchForMoviesOnline1")] = {{}, [this](QAction *a) {
                                                             a->trigger();
                                                             QCOMPARE(m_launched.back(),
                                                                      std::string("https://www.themoviedb.org/"));
                                                         }};
    m_steps[QStringLiteral("WizardBtn")] = {{}, [this](QAction *a) {
                                                bool shown = false;
                                                // Driven once its opening work, which lets events run, is over:
                                                // a drive from inside that work would wait on it forever.
                                                whenModal(
                                                    [](QWidget *w) {
                                                        auto *wizard = qobject_cast<TWizardForm *>(w);
                                                        return wizard && !wizard->wizard().refreshOnPaint();
                                                    },
                                                    [](QWidget *w) {
                                                        auto *wizard = static_cast<TWizardForm *>(w);
                                                        wizard->box(0)->setFocus();
                                                        QTest::keyClicks(wizard->box(0), QStringLiteral("W-001"));
                                                        QTest::keyClick(wizard->box(0), Qt::Key_Return);
                                                    },
                                                    &shown);
                                                a->trigger();
                                                QVERIFY(shown);
                                                QVERIFY(rowOf(1, "W-001") > 0);
                                            }};
    m_steps[QStringLiteral("HelpBtn")] = {{}, [this](QAction *a) {
                                              const std::string help = m_form->editor().paths().helpFile;
                                              m_sandbox->boxes.clear();
                                              m_launched.clear();
                                              a->trigger();
                                              if (FileSystem::isRegularFile(help))
                                                  QCOMPARE(m_launched, std::vector<std::string>{help});
                                              else
                                                  QVERIFY(m_sandbox->sawBox("Unable to open help file:\n\n" + help));
                                          }};
    m_steps[QStringLiteral("VisitQuorvexBtn")] = {{}, [this](QAction *a) {
                                                      a->trigger();
                                                      QCOMPARE(m_launched.back(), std::string("https://quorvex.org/"));
                                                  }};
    m_steps[QStringLiteral("VisitMakerBtn")] = {{}, [this](QAction *a) {
                                                    a->trigger();
                                                    QCOMPARE(m_launched.back(),
                                                             std::string("https://quorvex.org/about/"));
                                                }};
    m_steps[QStringLiteral("UpdatesBtn")] = {{}, [](QAction *a) {
                                                 QString said;
                                                 bool shown = false;
                                                 whenModalNamed(
                                                     "UpdateForm",
                                                     [&said](QWidget *w) {
                                                         if (auto *label =
                                                                 w->findChild<QLabel *>(QStringLiteral("UpdateText")))
                                                             said = label->text();
                                                     },
                                                     &shown);
                                                 a->trigger();
                                                 QVERIFY2(shown, "Check for Updates showed nothing");
                                                 QVERIFY(said.contains(QStringLiteral("does not contact")));
                                             }};
    m_steps[QStringLiteral("About1")] = {{}, [](QAction *a) {
                                             bool shown = false;
                                             whenModalNamed(
                                                 "AboutBox", [](QWidget *) {}, &shown);
                                             a->trigger();
                                             QVERIFY(shown);
                                         }};

    // ---- File ----
    m_steps[QStringLiteral("NewListBtn")] = {{}, [this](QAction *a) {
                                                 bool shown = false;
                                                 m_form->editor().listModified = true;
                                                 m_sandbox->answers = {MessageAnswer::No};
                                                 whenModalNamed(
                                                     "NewListForm",
                                                     [](QWidget *w) {
                                                         auto *d = static_cast<TNewListForm *>(w);
                                                         d->kindButton(0)->setChecked(true);
                                                         d->wizardBox()->setChecked(false);
                                                         button(w, "OKBtn")->click();
                                                     },
                                                     &shown);
                                                 a->trigger();
                                                 QVERIFY(shown);
                                                 QVERIFY(m_sandbox->sawBox("Save changes to list?"));
                                                 QCOMPARE(rows(), 2);
                                                 QCOMPARE(m_form->editor().listType, std::string("vhsmovie"));
                                             }};
    m_steps[QStringLiteral("OpenListBtn")] = {{}, [this](QAction *a) {
                                                  m_sandbox->chosenFiles.push_back({m_list, 0});
                                                  a->trigger();
                                                  QCOMPARE(rows(), Items + 1);
                                                  QCOMPARE(AttachmentRef::typeCode(cell(8, 5)), char(AttachFile));
                                                  QVERIFY(
                                                      m_form->windowTitle().endsWith(QString::fromStdString(m_list)));
                                              }};
    m_steps[QStringLiteral("ImportTextListBtn")] = {
        {}, [this](QAction *a) {
            const std::string csv = sourceFile("albums.csv", "Artist,Album\r\nQueen,A Night at the Opera\r\n");
            m_sandbox->chosenFiles.push_back({csv, 0});
            whenModal<TImportTextForm>([](TImportTextForm *d) {
                d->listTypeBox()->setCurrentIndex(d->listTypeBox()->findData(QStringLiteral("cdmusic")));
                d->accept();
            });
            a->trigger();
            QCOMPARE(cell(1, 0), std::string("Artist"));
            QCOMPARE(cell(2, 1), std::string("A Night at the Opera"));
            QCOMPARE(m_form->editor().listType, std::string("cdmusic"));
        }};
    m_steps[QStringLiteral("ImportCsvBtn")] = {
        {}, [this](QAction *a) {
            const std::string csv = sourceFile("albums-semicolon.csv", "Artist;Album\r\nQueen;A Night at the Opera\r\n");
            m_sandbox->chosenFiles.push_back({csv, 0});
            whenModal<TImportCsvForm>([](TImportCsvForm *d) { d->accept(); });
            a->trigger();
            QCOMPARE(cell(9, 0), std::string("Artist"));
            QCOMPARE(cell(10, 1), std::string("A Night at the Opera"));
            QCOMPARE(m_form->editor().document().textEncoding(), TextEncoding::Utf8);
        }};
    m_steps[QStringLiteral("ImportTellicoBtn")] = {
        {}, [this](QAction *a) {
            const std::string tc = sourceFile("films.tc", "");
            test::writeZip(tc, {{"tellico.xml", test::tellicoXml(3, test::videoFields(), test::sevenSamurai())}});
            m_sandbox->chosenFiles.push_back({tc, 0});
            a->trigger();
            QCOMPARE(cell(2, 1), std::string("Seven Samurai"));
            QCOMPARE(m_form->editor().listType, std::string("dvdmovie"));
        }};
    m_steps[QStringLiteral("Reopen1")] = {{}, [this](QAction *a) {
                                              QCOMPARE(a->text(), QString::fromStdString(m_list));
                                              m_sandbox->answers = {MessageAnswer::No}; // the import is not kept
                                              a->trigger();
                                              QCOMPARE(rows(), Items + 1);
                                              QCOMPARE(cell(2, 1), std::string("Title 1"));
                                          }};
    m_steps[QStringLiteral("ClearReopenMenu1")] = {
        {}, [this](QAction *a) {
            m_sandbox->answers = {MessageAnswer::Yes};
            a->trigger();
            QVERIFY(m_sandbox->sawBox("Clear reopen history?"));
            QVERIFY(!item("Reopen1")->isVisible());
            QVERIFY(!m_form->findChild<QMenu *>(QStringLiteral("ReopenBtn"))->isEnabled());
        }};
    m_steps[QStringLiteral("SaveListAsBtn")] = {
        {}, [this](QAction *a) {
            m_list = home() + "copy.lst";
            m_sandbox->chosenFiles.push_back({m_list, 0});
            a->trigger();
            // The embedded attachments make the file larger than its texts.
            QVERIFY(FileSystem::readFile(m_list).value_or("").size() > 3000 + 2000);
            QVERIFY(m_form->windowTitle().endsWith(QString::fromStdString(m_list)));
        }};
    m_steps[QStringLiteral("SaveListBtn")] = {
        [this] {
            QAbstractItemModel *m = grid()->model();
            m->setData(m->index(0, 1), QStringLiteral("Edited Before Save"), Qt::EditRole);
            emit m_form->findChild<QMenu *>(QStringLiteral("File1"))->aboutToShow();
        },
        [this](QAction *a) {
            a->trigger();
            QVERIFY(FileSystem::readFile(m_list).value_or("").find("Edited Before Save") != std::string::npos);
            QVERIFY(!m_form->editor().listModified);
        }};
    m_steps[QStringLiteral("ExportBtn")] = {
        {}, [this](QAction *a) {
            const std::string out = home() + "export.txt";
            whenModal<QFileDialog>([out](QFileDialog *d) {
                d->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(QString::fromStdString(out));
                static_cast<QDialog *>(d)->accept();
            });
            a->trigger();
            const std::string text = FileSystem::readFile(out).value_or("");
            QVERIFY(int(std::count(text.begin(), text.end(), '\r')) >= rows());
            QCOMPARE(text.substr(0, text.find('\t')), cell(1, 0));
            QVERIFY(text.find("Edited Before Save\t") != std::string::npos);
        }};
    m_steps[QStringLiteral("CsvExportBtn")] = {
        {}, [this](QAction *a) {
            const std::string out = home() + "export.csv";
            whenModal<QFileDialog>([out](QFileDialog *d) {
                d->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(QString::fromStdString(out));
                static_cast<QDialog *>(d)->accept();
            });
            a->trigger();
            const std::string text = FileSystem::readFile(out).value_or("");
            QVERIFY(text.rfind("\xEF\xBB\xBF", 0) == 0);
            QVERIFY(int(std::count(text.begin(), text.end(), '\n')) >= rows());
            QVERIFY(text.find("Edited Before Save") != std::string::npos);
        }};
    m_steps[QStringLiteral("HtmlCatalogueBtn")] = {
        {}, [this](QAction *a) {
            const std::string out = home() + "catalogue";
            FileSystem::createFolders(out + "/");
            whenModal<QFileDialog>([out](QFileDialog *d) {
                d->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(QString::fromStdString(out));
                static_cast<QDialog *>(d)->accept();
            });
            m_launched.clear();
            a->trigger();
            QCOMPARE(m_launched, std::vector<std::string>{out + "/index.html"});
            const std::string page = FileSystem::readFile(out + "/index.html").value_or("");
            QVERIFY(page.find("Edited Before Save") != std::string::npos);
        }};
    m_steps[QStringLiteral("PageSetupBtn")] = {{}, [this](QAction *a) {
                                                   // More than the larger font recommends: asked, and kept.
                                                   m_sandbox->answers = {MessageAnswer::Yes};
                                                   whenModal<TPageSetupForm>([](TPageSetupForm *d) {
                                                       d->MaxEntriesEdit->setValue(50);
                                                       d->OKBtn->click();
                                                   });
                                                   a->trigger();
                                                   QCOMPARE(m_form->editor().pageSetup().maxEntries, 50);
                                                   QCOMPARE(cell(0, 51), std::string(" 2"));
                                               }};
    auto acceptPrintDialog = [] { whenModal<QPrintDialog>([](QPrintDialog *d) { d->accept(); }); };
    m_steps[QStringLiteral("PrintBtn")] = {{}, [this, acceptPrintDialog](QAction *a) {
                                               const std::string pdf = home() + "collection.pdf";
                                               QPrinter &printer = m_form->printing()->printer();
                                               printer.setOutputFormat(QPrinter::PdfFormat);
                                               printer.setOutputFileName(QString::fromStdString(pdf));
                                               acceptPrintDialog();
                                               a->trigger();
                                               closeProgressWindow();
                                               QCOMPARE(pdfPages(pdf), 6);
                                           }};
    m_steps[QStringLiteral("PrintPageNumsBtn")] = {
        {}, [this, acceptPrintDialog](QAction *a) {
            const std::string pdf = home() + "pages.pdf";
            m_form->printing()->printer().setOutputFileName(QString::fromStdString(pdf));
            whenModal<TPrintPageNumsForm>([acceptPrintDialog](TPrintPageNumsForm *d) {
                d->PageNumRdioBtn->click();
                d->PageNumsEdit->setText(QStringLiteral("2,5"));
                acceptPrintDialog();
                d->OkBtn->click();
            });
            a->trigger();
            closeProgressWindow();
            QCOMPARE(pdfPages(pdf), 2);
        }};
    m_steps[QStringLiteral("PrintPreviewBtn")] = {
        {}, [](QAction *a) {
            QString title;
            whenModal<QPrintPreviewDialog>([&title](QPrintPreviewDialog *d) { title = d->windowTitle(); });
            a->trigger();
            QCOMPARE(title, QStringLiteral("Print Preview"));
        }};
    m_steps[QStringLiteral("ExitBtn")] = {
        {}, [this](QAction *a) {
            m_form->editor().listModified = true;
            m_sandbox->answers = {MessageAnswer::No};
            a->trigger();
            QVERIFY(m_sandbox->sawBox("Save changes to list?"));
            QVERIFY(!m_form->isVisible());
            QCOMPARE(FileSystem::readFile(m_sandbox->program() + "RunCount.mtr").value_or("").substr(0, 1),
                     std::string("0"));
        }};

    const std::pair<const char *, const char *> undoCaptions[] = {
        {"CutBtn", "&Undo Cut"},
        {"PasteBtn", "&Undo Paste"},
        {"DeleteBtn", "&Undo Delete"},
        {"NewRowBtn", "&Undo New Row"},
        {"InsertRowBtn", "&Undo Insert Row"},
        {"DeleteRowBtn", "&Undo Delete Selected Row(s)"},
        {"NewColBtn", "&Undo New Column"},
        {"InsertColBtn", "&Undo Insert Column"},
        {"DelColBtn", "&Undo Delete Selected Column(s)"},
        {"EditHdrBtn", "&Undo Edit Column Header"},
        {"InsertPictureBtn", "&Undo Insert Picture"},
        {"InsertVideoBtn", "&Undo Insert Video"},
        {"InsertAudioBtn", "&Undo Insert Audio"},
        {"InsertWebPageBtn", "&Undo Insert Web Page File"},
        {"InsertFileBtn", "&Undo Insert File"},
        {"DeleteBinaryDataBtn", "&Undo Delete Binary Data"},
        {"ReplaceBtn", "&Undo Find and Replace"},
        {"SortBtn", "&Undo Sort"},
        {"ViewCellTextBtn", "&Undo View Cell Text Edit"},
        {"WizardBtn", "&Undo Wizard"},
        {"ConvertToUnicodeBtn", "&Undo Convert to Unicode"},
    };
    for (const auto &[name, caption] : undoCaptions)
        m_steps[QString::fromLatin1(name)].undoCaption = caption;

    // The pop-up items run what their main menu items run.
    for (const auto &[popupName, mainName] : popupTwins)
        m_steps[popupName] = m_steps[mainName];
}

QTEST_MAIN(CommandWalkTest)
#include "CommandWalkTest.moc"
