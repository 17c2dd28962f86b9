#include "GuiSandbox.h"
#include "app/gui/TViewCellTextForm.h"
#include "document/gui/StringGrid.h"
#include "document/gui/THeaderTextForm.h"
#include "print/gui/PrintController.h"
#include "print/gui/QPrinterDevice.h"
#include "print/gui/QtPageRenderer.h"
#include "search/gui/TFindForm.h"
#include "sort/gui/TStatusForm.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

using namespace quorvex;

namespace {

QString u(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

// The five titles in UTF-8, as a Unicode list holds them.
const char *const Titles[] = {"\u4E03\u4EBA\u306E\u4F8D", "Toshir\u014D Mifune", "Ji\u0159\u00ED Menzel",
                              "\u0141\u00F3d\u017A Story", "\u0395\u03BB\u03AD\u03BD\u03B7"};

} // namespace

// A Unicode list in the main window, through every window that shows or takes its text.
class UnicodeListWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::GuiSandbox> m_sandbox;
    std::unique_ptr<TMainForm> m_form;

    ListDocument &doc() { return m_form->editor().document(); }
    StringGrid *grid() { return m_form->grid(); }
    template <class T> T *child(QObject *parent, const char *name)
    {
        T *w = parent->findChild<T *>(QString::fromLatin1(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    QAction *action(const char *name) { return child<QAction>(m_form.get(), name); }
    QString cellAt(int col, int row) { return QString::fromStdString(doc().GetCell(col, row)); }

    void selectCell(int col, int row)
    {
        grid()->setFocus();
        grid()->setCurrentIndex(grid()->model()->index(row - 1, col - 1));
        QCoreApplication::processEvents();
    }

    // Keys with any character go to the focused widget, as an input method sends them.
    void typeText(const QString &text)
    {
        for (const QChar ch : text) {
            QWidget *target = m_form->focusWidget() ? m_form->focusWidget() : grid();
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(target, &press);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(target, &release);
            QCoreApplication::processEvents();
        }
    }

    // One page of the list, printed to a PDF; the page image stays in `renderer`.
    void printFirstPage(QtPageRenderer &renderer)
    {
        PrintController *print = m_form->printing();
        QPrinter &printer = print->printer();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(m_sandbox->home() + "titles.pdf"));
        QPrinterDevice device(printer, renderer, nullptr, false);
        QCOMPARE(print->commands().PrintBtnClick(device, renderer), int(ResultOk));
        print->progressWindow()->hide();
    }

private slots:
    void init()
    {
        m_sandbox = std::make_unique<test::GuiSandbox>();
        m_form = m_sandbox->start();
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
        doc().SetRowCount(6);
        for (int r = 1; r <= 5; ++r)
            doc().SetCell(2, r, Titles[r - 1]);
        doc().SetCell(2, 0, "N\u00E1zev");
        doc().setTextEncoding(TextEncoding::Utf8);
        m_form->editor().undoHistory().reset(doc());
        m_form->documentChanged();
        for (const char *name : {"ChooseFromListBox", "QuickSearchBox"})
            child<QComboBox>(m_form.get(), name)->setEnabled(true);
        selectCell(2, 1);
    }

    void cleanup()
    {
        m_form->editor().listModified = false;
        m_form->ExitBtnClick();
        m_form.reset();
        m_sandbox.reset();
    }

    void unicodeList_everyWindowShowsAndTakesItsCharacters()
    {
        // The grid, its header, the preview and the cell text window show the characters.
        for (int r = 1; r <= 5; ++r) {
            QCOMPARE(grid()->model()->data(grid()->model()->index(r - 1, 1)).toString(), u(Titles[r - 1]));
            selectCell(2, r);
            QCOMPARE(m_form->cellRichEdit()->toPlainText(), u(Titles[r - 1]));
        }
        QCOMPARE(grid()->model()->headerData(1, Qt::Horizontal).toString(), u("N\u00E1zev"));
        selectCell(2, 5);
        TViewCellTextForm *cellText = m_form->cellTextForm();
        cellText->show();
        QCoreApplication::processEvents();
        QCOMPARE(cellText->richEdit()->toPlainText(), u(Titles[4]));
        cellText->richEdit()->moveCursor(QTextCursor::End);
        cellText->richEdit()->insertPlainText(u(" \u0398"));
        child<QAction>(cellText, "SaveBtn")->trigger();
        QCOMPARE(cellAt(2, 5), u("\u0395\u03BB\u03AD\u03BD\u03B7 \u0398"));
        cellText->close();

        // Typing in the grid and the header dialog.
        selectCell(3, 1);
        typeText(u("\u017Di\u017Ekov"));
        QTest::keyClick(m_form->focusWidget(), Qt::Key_Return);
        QCoreApplication::processEvents();
        QCOMPARE(doc().GetCell(3, 1), std::string("\u017Di\u017Ekov"));
        QTimer::singleShot(0, this, [this] {
            THeaderTextForm *dialog = m_form->headerTextForm();
            QCOMPARE(dialog->textEdit()->text(), u("N\u00E1zev"));
            dialog->textEdit()->setText(u("T\u00EDtul"));
            dialog->accept();
        });
        std::optional<std::string> header = m_form->headerTextForm()->ask(doc().GetCell(2, 0), TextEncoding::Utf8);
        QCOMPARE(header.value_or(""), std::string("T\u00EDtul"));

        // Copy puts the characters on the clipboard; paste takes them back whole.
        selectCell(2, 1);
        action("CopyBtn")->trigger();
        QCOMPARE(QApplication::clipboard()->text(), u("\u4E03\u4EBA\u306E\u4F8D\r\n"));
        QApplication::clipboard()->setText(u("\u00C9mile\t\u4F8D\n"));
        selectCell(3, 2);
        action("PasteBtn")->trigger();
        QCOMPARE(doc().GetCell(3, 2), std::string("\u00C9mile"));
        QCOMPARE(doc().GetCell(4, 2), std::string("\u4F8D"));

        // Find with case ignored, then Replace, in the find window.
        action("ReplaceBtn")->trigger();
        TFindForm *find = m_form->findForm();
        QVERIFY(find->isVisible());
        child<QLineEdit>(find, "TextToFindEdit")->setText(u("JI\u0158\u00CD"));
        child<QLineEdit>(find, "ReplaceEdit")->setText(u("Ji\u0159ina"));
        child<QPushButton>(find, "FindBtn")->click();
        QCOMPARE(doc().Row(), 3);
        QCOMPARE(doc().Col(), 2);
        m_sandbox->answers = {MessageAnswer::Yes};
        child<QPushButton>(find, "ReplaceBtn")->click();
        QCOMPARE(cellAt(2, 3), u("Ji\u0159ina Menzel"));
        child<QPushButton>(find, "CloseBtn")->click();

        // Quick search (column 2) folds case the same way.
        auto *quick = child<QComboBox>(m_form.get(), "QuickSearchBox");
        m_form->resize(1400, 600);
        quick->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        typeText(u("\u0142\u00D3D\u0179"));
        QCOMPARE(doc().Row(), 4);
        quick->lineEdit()->clear();
        typeText(u("\u03B5\u039B\u0388"));
        QCOMPARE(doc().Row(), 5);

        // The printed page shows the characters: not "?" and not their bytes
        // read as Windows-1252.
        QtPageRenderer renderer(grid()->font());
        printFirstPage(renderer);
        const QImage unicodePage = renderer.image().copy();
        doc().setTextEncoding(TextEncoding::Windows1252);
        printFirstPage(renderer);
        const QImage bytesPage = renderer.image().copy();
        doc().setTextEncoding(TextEncoding::Utf8);
        for (int r = 1; r <= 5; ++r)
            doc().SetCell(2, r, std::string(static_cast<std::size_t>(u(Titles[r - 1]).size()), '?'));
        printFirstPage(renderer);
        const QImage questionPage = renderer.image().copy();
        QVERIFY(unicodePage != bytesPage);
        QVERIFY(unicodePage != questionPage);
    }
};

QTEST_MAIN(UnicodeListWindowTest)
#include "UnicodeListWindowTest.moc"
