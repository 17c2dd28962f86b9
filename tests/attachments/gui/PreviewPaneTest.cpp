#include "FakeServices.h"
#include "GuiSandbox.h"
#include "PictureBytes.h"
#include "app/gui/TMainForm.h"
#include "document/core/AttachmentRef.h"
#include "attachments/gui/PreviewPane.h"
#include "document/gui/StringGrid.h"
#include "platform/core/FileSystem.h"
#include "platform/gui/QtDesktopShell.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <memory>

#include <unistd.h>

using namespace quorvex;

namespace {

QAction *action(QWidget *form, const char *name)
{
    return form->findChild<QAction *>(QString::fromLatin1(name));
}

// AddressSanitizer keeps freed memory in quarantine and maps its own heap, so
// the process's resident size says nothing about what the preview holds.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool ResidentMemoryIsTheHeaps = false;
#else
constexpr bool ResidentMemoryIsTheHeaps = true;
#endif

long residentMegabytes()
{
    long pages = 0, resident = 0;
    if (FILE *f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * (::sysconf(_SC_PAGESIZE) / 1024) / 1024;
}

} // namespace

class PreviewPaneTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::GuiSandbox> m_sandbox;
    std::vector<std::pair<std::string, ShellVerb>> m_launched;
    std::deque<int> m_shellAnswers;

    void select(TMainForm &form, int col, int row)
    {
        StringGrid *grid = form.grid();
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(row - 1, col - 1));
        QApplication::processEvents();
    }
    QString shown(TMainForm &form) { return form.cellRichEdit()->toPlainText(); }
    void clickDescription(TMainForm &form)
    {
        QTest::mouseClick(form.cellRichEdit()->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    }
    // The list of the finished task: a picture, an audio clip, a web page and a
    // file, inserted through the menu, saved and opened again.
    std::unique_ptr<TMainForm> openCollection()
    {
        const std::string src = m_sandbox->home();
        // 330 x 155 quadrants: fitted, 165 x 77 at top 39.
        FileSystem::writeFileAtomic(src + "cover.jpg", test::makeJpeg(330, 155));
        FileSystem::writeFileAtomic(src + "theme.mp3", "ID3 audio bytes");
        FileSystem::writeFileAtomic(src + "site.html", "<html></html>");
        FileSystem::writeFileAtomic(src + "notes.txt", "liner notes");
        auto form = m_sandbox->start();
        form->editor().document().SetRowCount(4);
        form->documentChanged();
        const std::pair<const char *, const char *> items[] = {{"InsertPictureBtn", "cover.jpg"},
                                                               {"InsertAudioBtn", "theme.mp3"},
                                                               {"InsertWebPageBtn", "site.html"},
                                                               {"InsertFileBtn", "notes.txt"}};
        int col = 2;
        for (const auto &[item, name] : items) {
            select(*form, col++, 1);
            m_sandbox->chosenFiles.push_back({src + name, 0});
            action(form.get(), item)->trigger();
        }
        form->editor().document().SetCell(2, 2, "cover.jpg");
        const std::string list = src + "collection.lst";
        m_sandbox->chosenFiles.push_back({list, 1});
        action(form.get(), "SaveListAsBtn")->trigger();
        select(*form, 1, 1);
        form->listFiles().openListFile(list);
        return form;
    }

private slots:
    void init()
    {
        m_sandbox = std::make_unique<test::GuiSandbox>();
        m_launched.clear();
        m_shellAnswers.clear();
        QtDesktopShell::setResponder([this](const std::string &path, ShellVerb verb) {
            m_launched.emplace_back(path, verb);
            if (m_shellAnswers.empty())
                return static_cast<int>(ShellSuccess);
            const int r = m_shellAnswers.front();
            m_shellAnswers.pop_front();
            return r;
        });
    }
    void cleanup()
    {
        QtDesktopShell::setResponder(nullptr);
        m_sandbox.reset();
    }

    void pane_startsEmptyWithItsLooks()
    {
        test::ScriptedMessages messages;
        test::RecordingProgress progress;
        test::FakeShell shell;
        test::FakeClipboard clipboard;
        Editor editor(UiServices{messages, progress, shell, clipboard});
        PreviewPane pane(editor);
        QCOMPARE(pane.cellRichEdit()->toPlainText(), QStringLiteral("(no cell text to display)"));
        QVERIFY(pane.cellImage()->isHidden());
        QCOMPARE(pane.cellImage()->size(), QSize(165, 155));
        QCOMPARE(pane.cellRichEdit()->font().family(), QStringLiteral("Arial"));
        QCOMPARE(pane.cellRichEdit()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(pane.cellRichEdit()->palette().color(QPalette::Base), QColor(255, 255, 225));
    }

    void pictureCell_showsTheFittedPictureAndOpensOnClick()
    {
        auto form = openCollection();
        const std::string db = form->editor().paths().databaseFolder;
        m_sandbox->boxes.clear();
        QTextEdit *text = form->cellRichEdit();
        QLabel *image = form->previewPane()->cellImage();

        select(*form, 2, 1);
        QCOMPARE(shown(*form), QStringLiteral("(cell contains a picture:\n\nCLICK HERE to view with default picture "
                                              "viewer)\n\nFile name: cover.jpg"));
        QVERIFY(image->isVisible());
        QCOMPARE(text->palette().color(QPalette::Text), QColor(0, 0, 255));
        QVERIFY(text->font().underline());
        QCOMPARE(text->viewport()->cursor().shape(), Qt::PointingHandCursor);
        const QImage box = image->pixmap().toImage();
        QCOMPARE(box.size(), QSize(165, 155));
        // Black bands above and below the picture, 165 x 77 at top 39.
        for (int y : {0, 38, 116, 154})
            QCOMPARE(box.pixel(10, y) & 0xFFFFFF, 0u);
        QVERIFY(qRed(box.pixel(120, 40)) > 200 && qBlue(box.pixel(20, 40)) > 150);
        QVERIFY(qGreen(box.pixel(20, 114)) > 200 && qBlue(box.pixel(120, 114)) > 150);
        QVERIFY(m_sandbox->boxes.empty());

        clickDescription(*form);
        QCOMPARE(m_launched.size(), size_t(1));
        QCOMPARE(m_launched[0].first, db + "cover.jpg");
        QVERIFY(m_launched[0].second == ShellVerb::Open);

        // A plain text that reads like the name is not the picture.
        select(*form, 2, 2);
        QCOMPARE(shown(*form), QStringLiteral("cover.jpg"));
        QVERIFY(image->isHidden());
        QCOMPARE(text->palette().color(QPalette::Text), QColor(0, 0, 0));
        clickDescription(*form);
        QCOMPARE(m_launched.size(), size_t(1));

        // A double click on the attachment cell opens it too.
        select(*form, 2, 1);
        StringGrid *grid = form->grid();
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->currentIndex()).center());
        QCOMPARE(m_launched.size(), size_t(2));
        QVERIFY(!grid->isEditing());
        form->ExitBtnClick();
    }

    void otherAttachments_playOpenOrExtract()
    {
        auto form = openCollection();
        const std::string db = form->editor().paths().databaseFolder;
        QLabel *image = form->previewPane()->cellImage();

        select(*form, 3, 1);
        QVERIFY2(shown(*form).startsWith(QStringLiteral("(cell contains audio:")), qPrintable(shown(*form)));
        QVERIFY(image->isVisible());
        m_shellAnswers = {ShellNoAssociation, ShellNoAssociation};
        m_sandbox->boxes.clear();
        clickDescription(*form);
        QCOMPARE(m_launched.size(), size_t(2));
        QVERIFY(m_launched[0].second == ShellVerb::Play && m_launched[1].second == ShellVerb::Open);
        QVERIFY(m_sandbox->sawBox("There is no default software\nassociated with this file type."));

        select(*form, 4, 1);
        QVERIFY(shown(*form).endsWith(QStringLiteral("File name: site.html")));
        clickDescription(*form);
        QCOMPARE(m_launched.back().first, db + "site.html");

        // Any other file is extracted instead of opened.
        select(*form, 5, 1);
        QVERIFY(shown(*form).startsWith(QStringLiteral("(cell contains a file:")));
        const std::string target = m_sandbox->home() + "extracted.txt";
        m_sandbox->chosenFiles.push_back({target, 0});
        const size_t launched = m_launched.size();
        clickDescription(*form);
        QCOMPARE(m_launched.size(), launched);
        QCOMPARE(FileSystem::readFile(target).value_or(""), std::string("liner notes"));

        // An empty cell: the empty text, and a click does nothing.
        select(*form, 6, 3);
        QCOMPARE(shown(*form), QStringLiteral("(no cell data to display)"));
        QVERIFY(image->isHidden());
        clickDescription(*form);
        QCOMPARE(m_launched.size(), launched);
        form->ExitBtnClick();
    }

    void missingPicture_reportedOncePerText()
    {
        auto form = m_sandbox->start();
        ListDocument &doc = form->editor().document();
        doc.SetRowCount(5);
        doc.SetCell(2, 1, AttachmentRef::make('\x01', "gone.jpg"));
        doc.SetCell(2, 2, AttachmentRef::make('\x01', "gone.jpg"));
        doc.SetCell(2, 3, AttachmentRef::make('\x01', "../outside.gif"));
        form->documentChanged();
        m_sandbox->boxes.clear();
        select(*form, 2, 1);
        select(*form, 2, 2); // same text: the pane is left alone
        QCOMPARE(m_sandbox->boxes.size(), size_t(1));
        QVERIFY(m_sandbox->sawBox("This file path does not exist or file size is zero."));
        QVERIFY(form->previewPane()->cellImage()->isHidden());
        QVERIFY(shown(*form).endsWith(QStringLiteral("File name: gone.jpg")));
        select(*form, 2, 3);
        QCOMPARE(m_sandbox->boxes.size(), size_t(2));
        m_sandbox->boxes.clear();
        clickDescription(*form);
        QVERIFY(m_launched.empty());
        QVERIFY(m_sandbox->sawBox("The following file was not found"));
        form->ExitBtnClick();
    }

    void loadImage_qtFormatsAndLimitsThroughTheSameErrorPath()
    {
        auto form = m_sandbox->start();
        const std::string dir = m_sandbox->home();
        QImage small(16, 16, QImage::Format_RGB32);
        small.fill(Qt::red);
        QVERIFY(small.save(QString::fromStdString(dir + "cover.png"), "PNG"));
        QVERIFY(small.save(QString::fromStdString(dir + "logo.ico"), "ICO"));
        QVERIFY(small.save(QString::fromStdString(dir + "plain.bmp"), "BMP"));
        FileSystem::writeFileAtomic(dir + "picture.bmp", test::makeGif(20, 10));
        // A bitmap header that claims 10000 x 10000 pixels over a few bytes.
        std::string huge("BM\x36\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\x10\x27\0\0\x10\x27\0\0\x01\0\x18\0", 30);
        huge.append(24, '\0');
        FileSystem::writeFileAtomic(dir + "huge.bmp", huge);
        FileSystem::writeFileAtomic(dir + "notes.png", "not a picture at all");
        const struct {
            const char *name;
            int result;
            QSize size;
        } cases[] = {
            {"cover.png", 0, {16, 16}}, {"logo.ico", 0, {16, 16}}, {"plain.bmp", 0, {16, 16}},
            {"picture.bmp", 0, {20, 10}}, {"huge.bmp", 1, {0, 0}}, {"notes.png", 1, {0, 0}},
        };
        for (const auto &c : cases) {
            m_sandbox->boxes.clear();
            RasterImage picture;
            QCOMPARE(form->previewPane()->LoadImage(picture, dir + c.name), c.result);
            QCOMPARE(QSize(picture.width, picture.height), c.size);
            // The toolkit's box with the reason, then the program's message.
            QCOMPARE(m_sandbox->boxes.size(), size_t(c.result * 2));
            if (c.result)
                QVERIFY(m_sandbox->sawBox("'\n\nLoadImage()"));
            else
                QCOMPARE(picture.pixel(1, 1) & 0xFFFFFF, c.size.width() == 20 ? 0u : 0xFF0000u);
        }
        form->ExitBtnClick();
    }

    // Camera panoramas and scans hold more pixels than a decoded picture may:
    // they are shown decoded smaller, and their memory goes back once the pane
    // shows another cell.
    void largePicture_shownReducedAndItsMemoryFreedAfterwards()
    {
        auto form = m_sandbox->start();
        const std::string db = form->editor().paths().databaseFolder;
        FileSystem::createFolders(db);
        FileSystem::writeFileAtomic(db + "panorama.jpg", test::makeJpeg(10000, 7000, test::JpegHeader::Exif, 75));
        QImage scan(9000, 8000, QImage::Format_RGB888);
        scan.fill(QColor(90, 90, 90));
        for (int y = 0; y < 4000; ++y)
            std::memset(scan.scanLine(y), 230, 9000 * 3);
        QVERIFY(scan.save(QString::fromStdString(db + "scan.png"), "PNG"));
        scan = QImage();
        ListDocument &doc = form->editor().document();
        doc.SetRowCount(4);
        doc.SetCell(2, 1, AttachmentRef::make('\x01', "panorama.jpg"));
        doc.SetCell(2, 2, AttachmentRef::make('\x01', "scan.png"));
        doc.SetCell(2, 3, "Comedy");
        form->documentChanged();
        QLabel *image = form->previewPane()->cellImage();
        select(*form, 2, 3);
        const long before = residentMegabytes();
        m_sandbox->boxes.clear();

        const struct {
            int row;
            QPoint top, bottom; // inside the fitted picture's upper and lower halves
        } cases[] = {{1, {150, 30}, {20, 125}}, {2, {82, 30}, {82, 125}}};
        for (const auto &c : cases) {
            select(*form, 2, c.row);
            QVERIFY2(m_sandbox->boxes.empty(), m_sandbox->boxes.empty() ? "" : m_sandbox->boxes.front().text.c_str());
            QVERIFY(image->isVisible());
            const QImage box = image->pixmap().toImage();
            if (c.row == 1) { // 165 x 115 at top 20 over black; the pattern's quadrants
                QCOMPARE(box.pixel(80, 10) & 0xFFFFFF, 0u);
                QVERIFY(qRed(box.pixel(c.top)) > 200 && qGreen(box.pixel(c.top)) < 60);
                QVERIFY(qGreen(box.pixel(c.bottom)) > 200 && qRed(box.pixel(c.bottom)) < 60);
            } else { // 165 x 146 at top 4: light above, dark below
                QVERIFY(qAbs(qGray(box.pixel(c.top)) - 230) < 12 && qAbs(qGray(box.pixel(c.bottom)) - 90) < 12);
            }
            const long shown = residentMegabytes();
            if (ResidentMemoryIsTheHeaps)
                QVERIFY2(shown - before > 150, qPrintable(QString::number(shown - before)));
            select(*form, 2, 3);
            QVERIFY(image->isHidden());
            if (ResidentMemoryIsTheHeaps)
                QVERIFY2(residentMegabytes() - before < 60, qPrintable(QString::number(residentMegabytes() - before)));
        }
        form->ExitBtnClick();
    }

    void insertPictureDialog_offersQtFormatsAfterItsOwnFilters()
    {
        auto form = m_sandbox->start();
        QtFileDialogService::setResponder(nullptr);
        QStringList filters;
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&filters] {
            if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
                filters = dialog->nameFilters();
                dialog->reject();
            }
        });
        poll.start(50);
        action(form.get(), "InsertPictureBtn")->trigger();
        QCOMPARE(filters.size(), 8);
        QVERIFY2(filters[0].startsWith(QStringLiteral("All (*.bmp *.jpg")), qPrintable(filters[0]));
        QVERIFY(filters[5].startsWith(QStringLiteral("Windows Meta Files")));
        QVERIFY(filters[6].startsWith(QStringLiteral("Pictures (")));
        QVERIFY(filters[6].contains(QStringLiteral("*.png")));
        QVERIFY(filters[7].startsWith(QStringLiteral("All Files")));
        form->ExitBtnClick();
    }
};

QTEST_MAIN(PreviewPaneTest)
#include "PreviewPaneTest.moc"
