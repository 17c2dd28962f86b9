#include "GuiSandbox.h"
#include "platform/core/AppConstants.h"
#include "platform/core/FileSystem.h"
#include "print/core/PdfFileCheck.h"
#include "print/core/PrintLayout.h"
#include "print/gui/OrientationPicture.h"
#include "print/gui/PrintController.h"
#include "print/gui/QPrinterDevice.h"
#include "print/gui/QtPageRenderer.h"
#include "print/gui/TPageSetupForm.h"
#include "print/gui/TPrintPageNumsForm.h"
#include "sort/gui/TStatusForm.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrinter>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace quorvex;

namespace {

// Runs `step` on the next modal window of type T once it shows.
template <typename T>
void whenModal(std::function<void(T *)> step)
{
    auto *timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, timer, [timer, step] {
        if (auto *w = qobject_cast<T *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            step(w);
        }
    });
    timer->start(20);
}

int pdfPages(const std::string &path)
{
    const QByteArray bytes = QByteArray::fromStdString(FileSystem::readFile(path).value_or(""));
    return static_cast<int>(QString::fromLatin1(bytes).count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))));
}

void fillRows(Editor &editor, int rows)
{
    ListDocument &doc = editor.document();
    doc.SetRowCount(rows + 1);
    for (int r = 1; r <= rows; ++r)
        doc.SetCell(1, r, std::to_string(r));
}

} // namespace

// The page dialogs, printing to PDF and the export as a user drives them.
class PrintWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::GuiSandbox> m_sandbox;

private slots:
    void init()
    {
        // The previous sandbox's temporary folder is gone; start from the system's.
        qunsetenv("TMPDIR");
        m_sandbox = std::make_unique<test::GuiSandbox>();
    }
    void cleanup() { m_sandbox.reset(); }

    void pageSetup_asksAboutTooManyEntriesAndCancelPutsBackWhatItOpenedWith()
    {
        auto form = m_sandbox->start();
        fillRows(form->editor(), 120);
        PrintController *print = form->printing();
        TPageSetupForm *setup = print->pageSetupForm();
        QCOMPARE(setup->windowTitle(), QStringLiteral("Page Setup"));
        QCOMPARE(form->editor().pageSetup().maxEntries, 53);
        QCOMPARE(setup->MaxEntriesLbl->text(), QStringLiteral("53"));
        QCOMPARE(setup->MaxEntriesEdit->maximum(), 150);
        QCOMPARE(setup->TopIndentEdit->maximum(), 8888);

        // More than recommended: No keeps the dialog open, Yes keeps the larger value.
        bool stayedOpen = false;
        whenModal<TPageSetupForm>([&](TPageSetupForm *d) {
            // The focus test below needs the dialog active, which may come a little after it shows.
            QTest::qWaitForWindowActive(d, 30000);
            d->MaxEntriesEdit->setValue(60);
            m_sandbox->answers = {MessageAnswer::No};
            d->OKBtn->click();
            stayedOpen = d->isVisible() && d->MaxEntriesEdit->hasFocus();
            m_sandbox->answers = {MessageAnswer::Yes};
            d->OKBtn->click();
        });
        form->findChild<QAction *>(QStringLiteral("PageSetupBtn"))->trigger();
        QVERIFY(stayedOpen);
        QVERIFY(m_sandbox->sawBox(TPageSetupForm::TooManyQuestion));
        QCOMPARE(form->editor().pageSetup().maxEntries, 60);
        QVERIFY(form->editor().listModified);
        QCOMPARE(form->editor().document().GetCell(0, 61), std::string(" 2"));

        // Landscape recommends 38; F12 shows the widths; Cancel puts everything back,
        // and the orientation put back recommends again.
        whenModal<TPageSetupForm>([&](TPageSetupForm *d) {
            // The pictures: an upright and a lying page; clicking one selects its button.
            QVERIFY(d->Image1->isVisible() && d->Image2->isVisible());
            QVERIFY(d->Image1->height() > d->Image1->width() && d->Image2->width() > d->Image2->height());
            const QImage portrait = d->Image1->picture();
            QCOMPARE(portrait.pixelColor(portrait.width() / 2, portrait.height() - 1).alpha(), 0);
            QCOMPARE(portrait.pixelColor(3, portrait.height() / 2), QColor(Qt::white));
            QTest::mouseClick(d->Image2, Qt::LeftButton);
            QVERIFY(d->LandRdioBtn->isChecked());
            QCOMPARE(d->MaxEntriesEdit->value(), 38);
            QCOMPARE(d->MaxEntriesLbl->text(), QStringLiteral("38"));
            // F12 shows the widths at the left and moves the other groups right.
            // The widths group is 257 pixels wide, wider when its title or
            // the headers need it in the system font; none is cut short but
            // a header too long for any window, shown whole in its tip.
            QVERIFY(!d->GroupBox1->isVisible());
            QCOMPARE(d->GroupBox2->geometry(), QRect(8, 8, 257, 73));
            QTest::keyRelease(d->TopIndentEdit, Qt::Key_F12);
            QVERIFY(d->GroupBox1->isVisible());
            QCOMPARE(d->height(), 350);
            const QRect widths = d->GroupBox1->geometry();
            QVERIFY(widths.left() == 8 && widths.width() >= 257);
            QVERIFY(d->GroupBox1->fontMetrics().horizontalAdvance(d->GroupBox1->title()) + 16 <= widths.width());
            for (std::size_t i = 0; i < 8; ++i) {
                const QLabel *label = d->widthLabels[i];
                QVERIFY2(label->sizeHint().width() <= label->width(), qPrintable(label->text()));
                QVERIFY(!label->geometry().intersects(d->widthEdits[i]->geometry()));
                QVERIFY(d->widthEdits[i]->geometry().right() < widths.width());
            }
            QCOMPARE(d->widthLabels[7]->toolTip(), QString(200, QLatin1Char('W')) + QLatin1Char(':'));
            QVERIFY(d->widthLabels[7]->text().contains(QChar(0x2026)));
            const int x = widths.right() + 8;
            QCOMPARE(d->GroupBox2->geometry(), QRect(x, 8, 169, 73));
            QCOMPARE(d->GroupBox3->geometry(), QRect(x, 88, 169, 81));
            QCOMPARE(d->GroupBox4->geometry(), QRect(x, 176, 169, 89));
            QCOMPARE(d->MaxEntriesEdit->x(), 30);
            const QLabel *maxLabel = nullptr;
            for (const QLabel *l : d->GroupBox2->findChildren<QLabel *>())
                if (l->text() == QStringLiteral("Max. entries per page:"))
                    maxLabel = l;
            QVERIFY(maxLabel);
            QCOMPARE(maxLabel->x(), 15);
            QVERIFY(d->MaxEntriesLbl->x() == maxLabel->geometry().right() + 1 + 3 ||
                    d->MaxEntriesLbl->x() > d->MaxEntriesEdit->geometry().right());
            QVERIFY(d->MaxEntriesLbl->geometry().right() < d->GroupBox2->width());
            QVERIFY(!d->MaxEntriesLbl->geometry().intersects(maxLabel->geometry()));
            QVERIFY(!d->MaxEntriesLbl->geometry().intersects(d->MaxEntriesEdit->geometry()));
            QVERIFY(d->OKBtn->geometry().left() > d->GroupBox2->geometry().right());
            QVERIFY(d->TestPrintBtn->geometry().bottom() < d->height());
            QVERIFY(d->widthLabels[1]->text().endsWith(QLatin1Char(':')));
            d->widthEdits[1]->setValue(77);
            d->LeftIndentEdit->setValue(200);
            d->CancelBtn->click();
        });
        form->editor().document().SetCell(8, 0, std::string(200, 'W'));
        setup->run();
        const PageSetup &ps = form->editor().pageSetup();
        QVERIFY(!ps.landscape);
        QCOMPARE(ps.leftIndent, 90);
        QCOMPARE(ps.maxWidths[1], 40);
        QCOMPARE(ps.maxEntries, 53);
        form->ExitBtnClick();
    }

    // The arrangement F12 chose holds when the dialog opens again; in every
    // number box a letter is dropped and Enter presses the default OK.
    void pageDialogs_keepTheWidthsLayoutAndEnterInANumberBoxPressesOk()
    {
        auto form = m_sandbox->start();
        fillRows(form->editor(), 120);
        TPageSetupForm *setup = form->printing()->pageSetupForm();
        TPrintPageNumsForm *pages = form->printing()->pageNumsForm();
        whenModal<TPageSetupForm>([](TPageSetupForm *d) {
            QTest::keyRelease(d, Qt::Key_F12);
            d->CancelBtn->click();
        });
        setup->run();
        for (int round = 0; round < 2; ++round) {
            QSize size;
            bool apart = false;
            whenModal<TPageSetupForm>([&](TPageSetupForm *d) {
                QTest::keyRelease(d, Qt::Key_F12);
                size = d->size();
                apart = d->GroupBox1->isVisible() &&
                        !d->GroupBox1->geometry().intersects(d->GroupBox2->geometry()) &&
                        !d->GroupBox1->geometry().intersects(d->GroupBox4->geometry()) &&
                        d->GroupBox2->width() >= 169;
                d->CancelBtn->click();
            });
            setup->run();
            QCOMPARE(size.height(), 350);
            QVERIFY(apart);
        }

        struct Box {
            QDialog *dialog;
            const char *name;
            const char *typed;
            int value;
        };
        const Box boxes[] = {
            {setup, "MaxEntriesEdit", "4x0", 40},   {setup, "LeftIndentEdit", "1+2.0", 120},
            {setup, "TopIndentEdit", "9 5", 95},    {pages, "EndEdit", "3-", 3},
            {pages, "StartEdit", "a2", 2},
        };
        for (const Box &b : boxes) {
            int value = -1;
            whenModal<QDialog>([&](QDialog *d) {
                auto *box = d->findChild<QSpinBox *>(QString::fromLatin1(b.name));
                box->setFocus();
                box->selectAll();
                QTest::keyClicks(box, QString::fromLatin1(b.typed));
                value = box->value();
                QTest::keyClick(box, Qt::Key_Return);
                // Nothing pressed OK: leave by Cancel so the run ends.
                if (d->isVisible())
                    d->reject();
            });
            const int result = b.dialog == setup ? setup->run() : pages->run();
            QCOMPARE(value, b.value);
            QVERIFY2(result == QDialog::Accepted, b.name);
        }
        QCOMPARE(form->printing()->commands().selection.startPage, 2);
        QCOMPARE(form->printing()->commands().selection.endPage, 3);
        form->ExitBtnClick();
    }

    void pageSelection_staysOpenAfterEveryMessage()
    {
        auto form = m_sandbox->start();
        fillRows(form->editor(), 120);
        TPrintPageNumsForm *pages = form->printing()->pageNumsForm();
        QCOMPARE(pages->windowTitle(), QStringLiteral("Print Page Numbers"));
        QStringList openAfter;
        whenModal<TPrintPageNumsForm>([&](TPrintPageNumsForm *d) {
            // The focus test below needs the dialog active, which may come a little after it shows.
            QTest::qWaitForWindowActive(d, 30000);
            d->PageNumRdioBtn->click();
            QVERIFY(!d->StartEdit->isEnabled());
            for (const char *text : {"1,x", "0,2", "1,9", "1,2,,"}) {
                d->PageNumsEdit->setText(QString::fromLatin1(text));
                d->OkBtn->click();
                if (d->isVisible() && d->PageNumsEdit->hasFocus())
                    openAfter << QString::fromLatin1(text);
            }
            d->PageNumsEdit->setText(QStringLiteral("3,,1"));
            d->OkBtn->click();
        });
        QCOMPARE(pages->run(), int(QDialog::Accepted));
        QCOMPARE(openAfter, (QStringList{QStringLiteral("1,x"), QStringLiteral("0,2"), QStringLiteral("1,9"),
                                         QStringLiteral("1,2,,")}));
        QVERIFY(m_sandbox->sawBox("Text must be a number or a comma!"));
        QVERIFY(m_sandbox->sawBox("One or more of the page numbers are less than 1!"));
        QVERIFY(m_sandbox->sawBox("One or more of the page numbers are greater than the total number of pages!"));
        QVERIFY(m_sandbox->sawBox("There are no pages to print! Enter at least one page!"));
        QVERIFY(form->printing()->commands().selection.accepted);
        QCOMPARE(form->printing()->commands().selection.pageNums, std::string("3,,1"));
        form->ExitBtnClick();
    }

    // The preview plays its recorded pages after the job and its page image are
    // gone: each page must hold a picture of its own, not the reused image.
    void printPreview_showsEveryPageAfterTheJobHasEnded()
    {
        auto form = m_sandbox->start();
        fillRows(form->editor(), 120);
        int pages = 0;
        whenModal<QDialog>([&pages](QDialog *dialog) {
            auto *view = dialog->findChild<QPrintPreviewWidget *>();
            if (view) {
                view->setViewMode(QPrintPreviewWidget::AllPagesView);
                QApplication::processEvents();
                dialog->grab(); // paints every recorded page
                pages = view->pageCount();
            }
            dialog->reject();
        });
        form->findChild<QAction *>(QStringLiteral("PrintPreviewBtn"))->trigger();
        QCOMPARE(pages, 3);
    }

    void printToPdf_writesEveryPageAndACancelledOrFailedJobLeavesNoFile()
    {
        auto form = m_sandbox->start();
        fillRows(form->editor(), 120);
        PrintController *print = form->printing();
        const std::string pdf = m_sandbox->home() + "catalogue.pdf";
        QPrinter &printer = print->printer();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
        QtPageRenderer renderer(form->font());
        {
            QPrinterDevice device(printer, renderer, nullptr, false);
            QCOMPARE(print->commands().PrintBtnClick(device, renderer), int(ResultOk));
        }
        QCOMPARE(pdfPages(pdf), 3);
        QCOMPARE(renderer.image().size(), QSize(1646, 2198));
        QCOMPARE(renderer.image().pixelColor(5, 5), QColor(Qt::white));
        TStatusForm *window = print->progressWindow();
        QVERIFY(window->okBtn()->isVisibleTo(window));
        QVERIFY(!window->pauseBtn()->isEnabled());
        window->okBtn()->click();

        // A page list; then a cancel already pressed: nothing at the path, nothing beside it.
        print->commands().selection.rangeMode = false;
        print->commands().selection.pageNums = "2,3";
        const std::string listPdf = m_sandbox->home() + "two.pdf";
        printer.setOutputFileName(QString::fromStdString(listPdf));
        {
            QPrinterDevice device(printer, renderer, nullptr, false);
            QCOMPARE(print->commands().printSelection(device, renderer), int(ResultOk));
        }
        QCOMPARE(pdfPages(listPdf), 2);

        // Odd pages first into a file: the pause to turn the paper, yet one file
        // with every page; only a printer queue gets the evens as a job of its own.
        print->commands().selection.rangeMode = true;
        print->commands().selection.startPage = 1;
        print->commands().selection.endPage = 3;
        print->commands().selection.oddsFirst = true;
        const std::string oddsPdf = m_sandbox->home() + "odds.pdf";
        printer.setOutputFileName(QString::fromStdString(oddsPdf));
        int waits = 0;
        print->commands().engine().waitForEvents = [&] {
            ++waits;
            window->resume();
        };
        {
            QPrinterDevice device(printer, renderer, nullptr, false);
            QVERIFY(!device.splitsJobAtPause());
            QCOMPARE(print->commands().printSelection(device, renderer), int(ResultOk));
        }
        QCOMPARE(waits, 1);
        QCOMPARE(pdfPages(oddsPdf), 3);
        const auto oddsFiles = FileSystem::listFolder(m_sandbox->home()).value_or(std::vector<std::string>{});
        QCOMPARE(std::count_if(oddsFiles.begin(), oddsFiles.end(),
                               [](const std::string &f) { return f.find("odds") != std::string::npos; }),
                 std::ptrdiff_t(1));
        window->okBtn()->click();
        print->commands().selection.oddsFirst = false;
        const std::string cancelled = m_sandbox->home() + "cancelled.pdf";
        printer.setOutputFileName(QString::fromStdString(cancelled));
        window->setResult(ProgressWindow::Result::Cancel);
        {
            QPrinterDevice device(printer, renderer, nullptr, false);
            QCOMPARE(print->commands().PrintBtnClick(device, renderer), int(ResultAborted));
        }
        QVERIFY(!FileSystem::exists(cancelled));
        QVERIFY(m_sandbox->sawBox("Printing cancelled."));
        // An unwritable path shows an error about the file, not the job as sent.
        printer.setOutputFileName(QString::fromStdString(m_sandbox->home() + "missing/out.pdf"));
        {
            QPrinterDevice device(printer, renderer, nullptr, false);
            QCOMPARE(print->commands().PrintBtnClick(device, renderer), int(ResultFailed));
        }
        QVERIFY(m_sandbox->sawBox("Error writing the PDF file " + m_sandbox->home() + "missing/out.pdf"));
        QVERIFY(!m_sandbox->sawBox(PrintEngine::SendError));
        QVERIFY(form->editor().statusBar().text(0) != PrintEngine::JobSent);
        const auto files = FileSystem::listFolder(m_sandbox->home()).value_or(std::vector<std::string>{});
        for (const std::string &f : files)
            QVERIFY2(f.find(".pdf.") == std::string::npos, f.c_str());
        form->ExitBtnClick();
    }

    // A PDF replaces a file only whole: a write the disk refuses (a file size
    // limit stands in for a full disk) fails with a message about the file
    // and leaves the former PDF as it was; a read-only PDF is asked about.
    void printToPdf_replacesAFileOnlyWithAWholePdf()
    {
        auto form = m_sandbox->start();
        fillRows(form->editor(), 120);
        PrintController *print = form->printing();
        const std::string pdf = m_sandbox->home() + "kept.pdf";
        QPrinter &printer = print->printer();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
        QtPageRenderer renderer(form->font());
        const auto printOnce = [&] {
            QPrinterDevice device(printer, renderer, nullptr, false);
            const int result = print->commands().PrintBtnClick(device, renderer);
            print->progressWindow()->okBtn()->click();
            return result;
        };
        QCOMPARE(printOnce(), int(ResultOk));
        std::string good = FileSystem::readFile(pdf).value_or("");
        QVERIFY(good.size() > 100000);
        QVERIFY(PdfFileCheck::isComplete(pdf));

        struct Case {
            const char *name;
            rlim_t limit;          // RLIM_INFINITY: no write fault
            bool readOnly;
            MessageAnswer answer;
            int result;
            const char *box;
        };
        const Case cases[] = {
            {"read-only, No", RLIM_INFINITY, true, MessageAnswer::No, ResultSkipped, PrintEngine::NotPrinted},
            {"read-only, Yes", RLIM_INFINITY, true, MessageAnswer::Yes, ResultOk, PrintEngine::ReadOnlyQuestion},
            {"nearly full", 60000, false, MessageAnswer::Ok, ResultFailed, "Error writing the PDF file"},
            {"no space", 0, false, MessageAnswer::Ok, ResultFailed, "Error writing the PDF file"},
            // Room again: the same printer writes a whole PDF.
            {"read-only again, Yes", RLIM_INFINITY, true, MessageAnswer::Yes, ResultOk, PrintEngine::ReadOnlyQuestion},
        };
        ::signal(SIGXFSZ, SIG_IGN);
        for (const Case &c : cases) {
            m_sandbox->boxes.clear();
            m_sandbox->answers = {c.answer};
            if (c.readOnly)
                ::chmod(pdf.c_str(), 0444);
            rlimit old{};
            ::getrlimit(RLIMIT_FSIZE, &old);
            rlimit limited = old;
            limited.rlim_cur = c.limit;
            ::setrlimit(RLIMIT_FSIZE, &limited);
            const int result = printOnce();
            ::setrlimit(RLIMIT_FSIZE, &old);
            QVERIFY2(result == c.result, c.name);
            QVERIFY2(m_sandbox->sawBox(c.box), c.name);
            QVERIFY2(!m_sandbox->sawBox("printer is installed"), c.name);
            // A new PDF differs from the old one at least in its creation time.
            if (c.result == ResultOk)
                good = FileSystem::readFile(pdf).value_or("");
            QVERIFY2(FileSystem::readFile(pdf).value_or("") == good, c.name);
            QVERIFY2(PdfFileCheck::isComplete(pdf), c.name);
            QCOMPARE(FileSystem::isReadOnly(pdf), c.readOnly && c.answer != MessageAnswer::Yes);
            ::chmod(pdf.c_str(), 0644);
            for (const std::string &f : FileSystem::listFolder(m_sandbox->home()).value_or(std::vector<std::string>{}))
                QVERIFY2(f.find(".pdf.") == std::string::npos, f.c_str());
        }
        form->ExitBtnClick();
    }

    // The print dialog's file box offers the list's name in the documents
    // folder, and keeps a file the user chose before.
    void printDialog_proposesAPdfNamedAfterTheList()
    {
        auto form = m_sandbox->start();
        fillRows(form->editor(), 3);
        Editor &editor = form->editor();
        const QString documents = QString::fromStdString(editor.paths().documentsFolder);
        struct Case {
            std::string list;
            QString printerFile;
            QString offered;
        };
        const Case cases[] = {
            {m_sandbox->home() + "lists/Movies.lstd", QString(), documents + QStringLiteral("Movies.pdf")},
            {m_sandbox->home() + "lists/tv.shows.lst", QString(), documents + QStringLiteral("tv.shows.pdf")},
            {std::string(), QString(), documents + QStringLiteral("My List.pdf")},
            {m_sandbox->home() + "Movies.lstd", QStringLiteral("/tmp/chosen.pdf"), QStringLiteral("/tmp/chosen.pdf")},
        };
        for (const Case &c : cases) {
            editor.currentListFile = c.list;
            editor.saveListEnabled = !c.list.empty();
            form->printing()->printer().setOutputFileName(c.printerFile);
            QString offered;
            whenModal<QDialog>([&](QDialog *d) {
                if (auto *file = d->findChild<QLineEdit *>(QStringLiteral("filename")))
                    offered = file->text();
                d->reject();
            });
            form->findChild<QAction *>(QStringLiteral("PrintBtn"))->trigger();
            QCOMPARE(offered, c.offered);
        }
        form->printing()->printer().setOutputFileName(QString());
        form->ExitBtnClick();
    }

    void export_goesThroughTheSaveDialogAndAsksBeforeReplacing()
    {
        auto form = m_sandbox->start();
        ListDocument &doc = form->editor().document();
        doc.SetColCount(4);
        doc.SetRowCount(2);
        doc.SetCell(1, 0, "Tape#");
        doc.SetCell(2, 0, "Movie Title");
        doc.SetCell(3, 0, "Year");
        doc.SetCell(1, 1, "12");
        doc.SetCell(2, 1, "Alien");
        doc.SetCell(3, 1, "1979");
        const std::string out = m_sandbox->home() + "list.txt";
        FileSystem::writeFileAtomic(out, "old");
        bool asked = false;
        whenModal<QFileDialog>([&](QFileDialog *d) {
            QVERIFY(d->nameFilters().first().startsWith(QStringLiteral("MS Excel Text File")));
            QCOMPARE(d->defaultSuffix(), QStringLiteral("txt"));
            whenModal<QMessageBox>([&](QMessageBox *box) {
                asked = true;
                box->button(QMessageBox::Yes)->click();
            });
            // Typed into the name box: the dialog matches it against the folder listing
            // that Qt fills on a thread of its own, and may turn it into a bare name
            // in the starting folder after it asked about this file.
            d->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(QString::fromStdString(out));
            static_cast<QDialog *>(d)->accept();
        });
        form->findChild<QAction *>(QStringLiteral("ExportBtn"))->trigger();
        QVERIFY(asked);
        QCOMPARE(FileSystem::readFile(out).value_or(""), std::string("Tape#\tMovie Title\tYear\r12\tAlien\t1979\r"));
        QCOMPARE(form->editor().statusBar().progress(), 0);
        form->ExitBtnClick();
    }
};

QTEST_MAIN(PrintWindowTest)
#include "PrintWindowTest.moc"
