#include "GuiSandbox.h"
#include "PictureBytes.h"
#include "../core/TellicoSamples.h"

#include "document/core/AttachmentRef.h"
#include "import/gui/TImportCsvForm.h"
#include "platform/core/FileSystem.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

using namespace quorvex;

// File > Import: the CSV dialog and Tellico collections, through the window.
class ImportWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::GuiSandbox> m_sandbox;

    static void choose(QComboBox *box, const QString &text)
    {
        QVERIFY(box);
        const int i = box->findText(text);
        QVERIFY2(i >= 0, qPrintable(text));
        box->setCurrentIndex(i);
    }

private slots:
    void init() { m_sandbox = std::make_unique<test::GuiSandbox>(); }
    void cleanup() { m_sandbox.reset(); }

    void csvDialog_previewFollowsTheChoicesAndOkMakesWhatItShowed()
    {
        auto form = m_sandbox->start();
        QAction *item = form->findChild<QAction *>(QStringLiteral("ImportCsvBtn"));
        QVERIFY(item);
        const std::string csv = m_sandbox->home() + "films.csv";
        // Windows-1252 and semicolons, as a German spreadsheet saves them.
        FileSystem::writeFileAtomic(csv, "Titel;Notiz;Jahr\r\n\"Das Boot; Director's Cut\";egal;1981\r\n"
                                         "M\xFC" "nchhausen;\"zwei\r\nZeilen\";1943\r\n");
        TImportCsvForm *dialog = form->importCsvForm();
        std::vector<std::vector<QString>> shown;
        QTimer::singleShot(0, dialog, [&] {
            QVERIFY(dialog->isVisible());
            QCOMPARE(dialog->columnsTable()->rowCount(), 3);
            QVERIFY(dialog->findChild<QLabel *>(QStringLiteral("StatusLabel"))
                        ->text()
                        .contains(QStringLiteral("Windows-1252, separated by semicolon")));
            choose(dialog->destinationBox(0), QStringLiteral("Column 2: Movie Title"));
            choose(dialog->destinationBox(1), QStringLiteral("Skip"));
            choose(dialog->destinationBox(2), QStringLiteral("Column 6: Year"));
            QTableWidget *preview = dialog->previewTable();
            QCOMPARE(preview->rowCount(), 2);
            QCOMPARE(preview->columnCount(), 8);
            for (int r = 0; r < preview->rowCount(); ++r) {
                shown.emplace_back();
                for (int c = 0; c < preview->columnCount(); ++c)
                    shown.back().push_back(preview->item(r, c) ? preview->item(r, c)->text() : QString());
            }
            // No header row: the header line becomes a row of its own, at once.
            dialog->headerBox()->setChecked(false);
            QCOMPARE(preview->rowCount(), 3);
            dialog->headerBox()->setChecked(true);
            choose(dialog->destinationBox(0), QStringLiteral("Column 2: Movie Title"));
            choose(dialog->destinationBox(1), QStringLiteral("Skip"));
            choose(dialog->destinationBox(2), QStringLiteral("Column 6: Year"));
            dialog->accept();
        });
        m_sandbox->chosenFiles.push_back({csv, 0});
        item->trigger();
        const ListDocument &doc = form->editor().document();
        QCOMPARE(doc.textEncoding(), TextEncoding::Utf8);
        QCOMPARE(doc.ColCount(), 9);
        QCOMPARE(doc.RowCount(), 3);
        QCOMPARE(doc.GetCell(2, 1), std::string("Das Boot; Director's Cut"));
        QCOMPARE(doc.GetCell(2, 2), std::string("M\xC3\xBCnchhausen"));
        QCOMPARE(doc.GetCell(6, 2), std::string("1943"));
        QCOMPARE(shown.size(), std::size_t(2));
        for (int r = 1; r < doc.RowCount(); ++r)
            for (int c = 1; c < doc.ColCount(); ++c)
                QCOMPARE(shown[r - 1][c - 1].toStdString(), doc.GetCell(c, r));
        QCOMPARE(form->editor().undoHistory().caption(), std::string("&Undo Import"));
        form->UndoBtnClick();
        QVERIFY(form->editor().document().GetCell(2, 1) != "Das Boot; Director's Cut");
        m_sandbox->answers.push_back(MessageAnswer::No);
        form->ExitBtnClick();
    }

    void tellicoMenu_bringsTheCoversIntoTheDatabaseAndShowsTheFirst()
    {
        auto form = m_sandbox->start();
        QAction *item = form->findChild<QAction *>(QStringLiteral("ImportTellicoBtn"));
        QVERIFY(item);
        QCOMPARE(item->text(), QStringLiteral("&Tellico Collection..."));
        const std::string tc = m_sandbox->home() + "films.tc";
        const std::string jpeg = test::makeJpeg(40, 60);
        test::writeZip(tc, {{"tellico.xml", test::tellicoXml(3, test::videoFields(), test::sevenSamurai("s.jpeg"))},
                            {"images/s.jpeg", jpeg}});
        m_sandbox->chosenFiles.push_back({tc, 0});
        item->trigger();
        const ListDocument &doc = form->editor().document();
        QCOMPARE(doc.GetCell(2, 1), std::string("Seven Samurai"));
        QCOMPARE(doc.GetCell(4, 1), std::string("Toshirō Mifune::Kikuchiyo; Takashi Shimura::Kambei Shimada"));
        QCOMPARE(doc.GetCell(10, 1), std::string("\x01\x01s.jpeg"));
        QCOMPARE(FileSystem::readFile(form->editor().paths().databaseFolder + "s.jpeg").value_or(""), jpeg);
        // The cover is the current cell, so the preview shows it.
        QCOMPARE(doc.Col(), 10);
        QCOMPARE(form->editor().listType, std::string("dvdmovie"));

        // A hostile archive: a message, the list stays.
        test::writeZip(tc, {{"tellico.xml", "<tellico/>"}, {"images/../../x.jpeg", jpeg}});
        m_sandbox->chosenFiles.push_back({tc, 0});
        m_sandbox->answers.push_back(MessageAnswer::No);
        item->trigger();
        QVERIFY(m_sandbox->sawBox("points outside its own folder"));
        QCOMPARE(form->editor().document().GetCell(2, 1), std::string("Seven Samurai"));
        QVERIFY(!FileSystem::exists(m_sandbox->home() + "x.jpeg"));
        m_sandbox->answers.push_back(MessageAnswer::No);
        form->ExitBtnClick();
    }
};

QTEST_MAIN(ImportWindowTest)
#include "ImportWindowTest.moc"
