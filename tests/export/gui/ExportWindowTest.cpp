#include "GuiSandbox.h"
#include "document/core/AttachmentRef.h"
#include "export/gui/ExportController.h"
#include "platform/core/FileSystem.h"
#include "platform/gui/QtDesktopShell.h"

#include <QAction>
#include <QImage>
#include <QMenu>
#include <QTest>

using namespace quorvex;

// File > Export's two commands as a user meets them in the main window.
class ExportWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::GuiSandbox> m_sandbox;
    std::vector<std::string> m_opened;

    QAction *exportItem(TMainForm &form, const QString &text)
    {
        auto *menu = form.findChild<QMenu *>(QStringLiteral("ExportMenu"));
        if (!menu)
            return nullptr;
        for (QAction *a : menu->actions())
            if (a->text() == text)
                return a;
        return nullptr;
    }

private slots:
    void init()
    {
        m_sandbox = std::make_unique<test::GuiSandbox>();
        m_opened.clear();
        QtDesktopShell::setResponder([this](const std::string &target, ShellVerb) {
            m_opened.push_back(target);
            return static_cast<int>(ShellSuccess);
        });
    }
    void cleanup()
    {
        QtDesktopShell::setResponder(nullptr);
        m_sandbox.reset();
    }

    void exportMenu_writesCsvAndCatalogueOfTheShownRows()
    {
        auto form = m_sandbox->start();
        QVERIFY(form->started());
        QAction *csv = exportItem(*form, QStringLiteral("CSV (spreadsheet)..."));
        QAction *html = exportItem(*form, QStringLiteral("HTML Catalogue..."));
        QVERIFY(csv && html);

        // A bitmap goes through the toolkit's reader, a JPEG through the core's.
        const std::string database = form->editor().paths().databaseFolder;
        QImage bitmap(320, 200, QImage::Format_RGB32);
        bitmap.fill(Qt::darkGreen);
        QVERIFY(bitmap.save(QString::fromStdString(database + "poster.bmp"), "BMP"));
        ListDocument &doc = form->editor().document();
        doc.SetColCount(3);
        doc.SetRowCount(4);
        doc.SetCell(1, 0, "Title");
        doc.SetCell(2, 0, "Cover");
        doc.SetCell(1, 1, "Caf\xE9, Paris");
        doc.SetCell(2, 1, AttachmentRef::make('\x01', "poster.bmp"));
        doc.SetCell(1, 2, "Heat");
        doc.SetCell(1, 3, "Ran");

        const std::string out = m_sandbox->home() + "out/";
        FileSystem::createFolders(out);
        form->exporting()->shownRows = [] { return std::vector<int>{3, 1}; };
        form->exporting()->chooseCsvFile = [&] { return std::optional<std::string>(out + "list.csv"); };
        form->exporting()->chooseCatalogueFolder = [&] { return std::optional<std::string>(out + "site"); };

        csv->trigger();
        QCOMPARE(FileSystem::readFile(out + "list.csv").value_or(""),
                 std::string("\xEF\xBB\xBFTitle,Cover\r\nRan,\r\n\"Caf\xC3\xA9, Paris\",poster.bmp\r\n"));
        html->trigger();
        QCOMPARE(m_opened, std::vector<std::string>{out + "site/index.html"});
        QVERIFY(FileSystem::exists(out + "site/thumbs/poster.bmp.jpg"));
        const std::string page = FileSystem::readFile(out + "site/index.html").value_or("");
        QVERIFY(page.find("<title>Quorvex list</title>") != std::string::npos);
        QVERIFY(page.find("\"Heat\"") == std::string::npos);
        QVERIFY(m_sandbox->boxes.empty());
        QCOMPARE(form->editor().longOperationRunning, false);

        // Cancelled dialogs write nothing and say nothing.
        form->exporting()->chooseCsvFile = [] { return std::optional<std::string>(); };
        form->exporting()->chooseCatalogueFolder = [] { return std::optional<std::string>(); };
        csv->trigger();
        html->trigger();
        QCOMPARE(m_opened.size(), std::size_t(1));
        QVERIFY(m_sandbox->boxes.empty());
    }
};

QTEST_MAIN(ExportWindowTest)
#include "ExportWindowTest.moc"
