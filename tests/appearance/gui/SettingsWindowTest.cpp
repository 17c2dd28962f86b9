#include "GuiSandbox.h"
#include "appearance/core/SettingsFile.h"
#include "appearance/gui/TSettingsForm.h"
#include "document/gui/StringGrid.h"
#include "platform/core/FileSystem.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>

#include <cstdint>
#include <functional>
#include <memory>

using namespace quorvex;

namespace {

// Runs `act` once a modal window of type W is showing.
template <typename W>
void whenShowing(std::function<void(W &)> act)
{
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [act, poll] {
        if (auto *w = qobject_cast<W *>(QApplication::activeModalWidget())) {
            act(*w);
            // A failed check returns early: never leave the window open.
            if (w->isVisible())
                static_cast<QDialog *>(w)->done(0);
            return;
        }
        QTimer::singleShot(10, *poll);
    };
    QTimer::singleShot(0, *poll);
}

QColor swatchColour(QLabel *swatch)
{
    // The middle, inside the black and white frames.
    return swatch->pixmap().toImage().pixelColor(24, 8);
}

QColor headerColour(StringGrid *grid, int col)
{
    QCoreApplication::processEvents();
    const QImage image = grid->grab().toImage();
    QHeaderView *h = grid->horizontalHeader();
    const QPoint at = h->geometry().topLeft() + QPoint(h->sectionViewportPosition(col - 1) + 30, 8);
    return image.pixelColor(at * image.devicePixelRatio());
}

std::string readAll(const std::string &path)
{
    return FileSystem::readFilePrefix(path, 1 << 16).value_or(std::string());
}

// A valid 24-bit bitmap, one blue pixel wide.
std::string bitmap(int width, int height)
{
    const int rowBytes = (width * 3 + 3) / 4 * 4;
    const int size = 54 + rowBytes * height;
    std::string b(static_cast<std::size_t>(size), '\0');
    auto put = [&b](std::size_t at, std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            b[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    b[0] = 'B';
    b[1] = 'M';
    put(2, static_cast<std::uint32_t>(size), 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<std::uint32_t>(width), 4);
    put(22, static_cast<std::uint32_t>(height), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            b[54 + static_cast<std::size_t>(y * rowBytes + x * 3)] = char(0xFF);
    return b;
}

} // namespace

class SettingsWindowTest : public QObject {
    Q_OBJECT

private slots:
    void settings_headersAndColoursShowAtOnceAndCancelPutsThemBack_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Cancel button") << false;
        QTest::newRow("Escape key") << true;
    }

    void settings_headersAndColoursShowAtOnceAndCancelPutsThemBack()
    {
        QFETCH(bool, escape);
        test::GuiSandbox sandbox;
        auto form = sandbox.start();
        QVERIFY(form->started());
        ListDocument &doc = form->editor().document();
        doc.SetColCount(5); // four data columns
        doc.SetCell(1, 0, "One");
        doc.SetCell(2, 0, "Two");
        form->documentChanged();
        form->editor().listModified = false;
        StringGrid *grid = form->grid();
        TSettingsForm *settings = form->settingsForm();
        const QColor face = grid->palette().color(QPalette::Button);
        bool checked = false;
        whenShowing<TSettingsForm>([&](TSettingsForm &f) {
            QCOMPARE(f.windowTitle(), QStringLiteral("Settings"));
            QVERIFY(f.windowFlags() & Qt::WindowStaysOnTopHint);
            QCOMPARE(f.pages()->currentIndex(), int(TSettingsForm::GridTab));
            QCOMPARE(f.pages()->tabText(0), QStringLiteral("&Header Text"));
            QVERIFY(!f.cancelButton()->isEnabled());
            QVERIFY(!f.saveButton()->isEnabled());
            for (int k = 1; k <= 8; ++k) {
                QCOMPARE(f.headerEdit(k)->isEnabled(), k <= 4);
                if (k > 4)
                    QVERIFY(f.headerEdit(k)->text().isEmpty());
            }
            QCOMPARE(f.headerEdit(2)->text(), QStringLiteral("Two"));

            // Typing writes the header and marks the list changed.
            f.pages()->setCurrentIndex(TSettingsForm::HeaderTab);
            QTest::mouseClick(f.headerEdit(2), Qt::LeftButton);
            QVERIFY(f.cancelButton()->isEnabled());
            f.headerEdit(2)->end(false);
            QTest::keyClicks(f.headerEdit(2), QStringLiteral("!"));
            QCOMPARE(QString::fromStdString(doc.GetCell(2, 0)), QStringLiteral("Two!"));
            QVERIFY(form->editor().listModified);
            QVERIFY(f.cancelButton()->isEnabled());

            // A fixed colour shows on the swatch and on the grid's headers.
            f.colourBox(StoredSettings::Fixed)->setCurrentIndex(14); // "Red"
            QCOMPARE(swatchColour(f.swatch(StoredSettings::Fixed)), QColor(255, 0, 0));
            QCOMPARE(headerColour(grid, 3), QColor(255, 0, 0));
            QCOMPARE(f.templateBox()->currentIndex(), 0);
            f.lineWidthEdit()->setValue(5);
            QCOMPARE(form->editor().gridAppearance.gridLineWidth, 5);

            if (escape)
                QTest::keyClick(f.headerEdit(2), Qt::Key_Escape);
            else
                QTest::mouseClick(f.cancelButton(), Qt::LeftButton);
            checked = true;
        });
        settings->SettingsBtnClick();
        QVERIFY(checked);
        QVERIFY(!settings->isVisible());
        QCOMPARE(settings->colourBox(StoredSettings::Fixed)->currentIndex(), 5);
        QCOMPARE(swatchColour(settings->swatch(StoredSettings::Fixed)), face);
        QCOMPARE(headerColour(grid, 3), face);
        QCOMPARE(form->editor().gridAppearance.gridLineWidth, 1);
        QCOMPARE(settings->lineWidthEdit()->value(), 1);
        QCOMPARE(QString::fromStdString(doc.GetCell(2, 0)), QStringLiteral("Two"));
    }

    void settings_saveWritesTheFileAndStartUpReadsItBack()
    {
        test::GuiSandbox sandbox;
        const std::string file = sandbox.program() + SettingsFile::FileName;
        std::string databaseFolder;
        {
            auto form = sandbox.start();
            QVERIFY(form->started());
            TSettingsForm *settings = form->settingsForm();
            const QColor face = form->grid()->palette().color(QPalette::Button);
            databaseFolder = form->editor().paths().databaseFolder;
            const std::string defaults = SettingsFile::format(StoredSettings::defaults(
                ColorRef(face.red() + 256 * face.green() + 65536 * face.blue()), databaseFolder));
            bool checked = false;
            whenShowing<TSettingsForm>([&](TSettingsForm &f) {
                // A fresh start saves exactly the defaults.
                QVERIFY(!f.saveButton()->isEnabled());
                f.writeSettingsFile();
                QCOMPARE(readAll(file), defaults);
                QVERIFY(sandbox.sawBox("Settings saved."));

                // "Text Only" takes the line width to -3 and is saved so.
                f.templateBox()->setCurrentIndex(3);
                QCOMPARE(f.lineWidthEdit()->value(), -3);
                QCOMPARE(form->editor().gridAppearance.gridLineWidth, -3);
                QCOMPARE(f.templateBox()->currentText(), QStringLiteral("Text Only"));
                // Typed widths stay inside the range.
                f.lineWidthEdit()->selectAll();
                QTest::keyClicks(f.lineWidthEdit(), QStringLiteral("99999"));
                QVERIFY(form->editor().gridAppearance.gridLineWidth <= StoredSettings::MaxLineWidth);
                f.lineWidthEdit()->setValue(-3);

                // A custom colour through the colour dialog, and a background for odd rows.
                whenShowing<QColorDialog>([](QColorDialog &d) {
                    d.setCurrentColor(QColor(10, 20, 30));
                    d.accept();
                });
                f.colourBox(StoredSettings::GridLine)->setCurrentIndex(19);
                QCOMPARE(swatchColour(f.swatch(StoredSettings::GridLine)), QColor(10, 20, 30));
                const int clouds = f.backgroundBox(SkinKind::Odd)->findText(QStringLiteral("Clouds002.bmp"));
                QVERIFY(clouds > 0);
                f.backgroundBox(SkinKind::Odd)->setCurrentIndex(clouds);
                QVERIFY(!form->editor().gridSkins.skin(SkinKind::Odd).empty());
                f.quickSearchEdit()->setValue(12);
                f.splashBox()->setChecked(false);
                QVERIFY(f.saveButton()->isEnabled());
                f.writeSettingsFile();
                QVERIFY(!f.saveButton()->isEnabled());
                QTest::mouseClick(f.okButton(), Qt::LeftButton);
                checked = true;
            });
            settings->SettingsBtnClick();
            QVERIFY(checked);
            const std::string saved = readAll(file);
            QVERIFY(saved.find(" 13 Clouds002.bmp 4 none -3 2 0 19 1971210\r\n12 0 ") != std::string::npos);
        }
        {
            // The next start takes every saved value; 12 is past this list's columns.
            auto form = sandbox.start();
            QVERIFY(form->started());
            const GridAppearance &a = form->editor().gridAppearance;
            QCOMPARE(a.gridLineWidth, -3);
            QCOMPARE(a.gridLineColor.entry, 19);
            QCOMPARE(a.gridLineColor.color, ColorRef(1971210));
            QCOMPARE(QString::fromStdString(a.oddBackground), QStringLiteral("Clouds002.bmp"));
            QVERIFY(!form->editor().gridSkins.skin(SkinKind::Odd).empty());
            QCOMPARE(form->settingsForm()->colourBox(StoredSettings::GridLine)->currentIndex(), 19);
            QCOMPARE(form->editor().quickSearchColumn, 2);
            QVERIFY(!form->settingsForm()->splashBox()->isChecked());
            QVERIFY(!form->showSplash);

            // A read-only file and No: nothing written.
            const std::string before = readAll(file);
            ::chmod(file.c_str(), 0444);
            sandbox.answers.push_back(MessageAnswer::No);
            bool checked = false;
            whenShowing<TSettingsForm>([&](TSettingsForm &f) {
                f.lineWidthEdit()->setValue(7);
                f.writeSettingsFile();
                QTest::mouseClick(f.okButton(), Qt::LeftButton);
                checked = true;
            });
            form->settingsForm()->SettingsBtnClick();
            QVERIFY(checked);
            QCOMPARE(readAll(file), before);
            QVERIFY(sandbox.sawBox("Settings NOT saved."));
            ::chmod(file.c_str(), 0644);
        }
    }

    void settings_backgroundThatCannotBeAppliedIsReportedAndFallsBackToNone()
    {
        test::GuiSandbox sandbox;
        const std::string rows = sandbox.program() + "Backgrounds/Rows/";
        // Decodes, but is far too tall to become a row background.
        QVERIFY(FileSystem::writeFileAtomic(rows + "Tall.bmp", bitmap(1, 9000)));
        QVERIFY(FileSystem::writeFileAtomic(rows + "Broken.jpg", std::string("\xFF\xD8\xFF\xE0 cut short", 15)));
        QVERIFY(FileSystem::writeFileAtomic(rows + "Fine.bmp", bitmap(4, 4)));
        auto form = sandbox.start();
        QVERIFY(form->started());
        const GridAppearance &a = form->editor().gridAppearance;
        bool checked = false;
        whenShowing<TSettingsForm>([&](TSettingsForm &f) {
            struct Case {
                SkinKind kind;
                const char *file, *routine;
                bool ownMessage;
                const char *kept;
            };
            const Case cases[] = {
                {SkinKind::Odd, "Tall.bmp", "OddBackBoxChange()", true, "none"},
                {SkinKind::Fixed, "Tall.bmp", "FixedBackBoxChange()", true, "none"},
                {SkinKind::Even, "Tall.bmp", "EvenBackBoxChange()", true, "none"},
                // Undecodable: the loader's own message, the name stays, no picture.
                {SkinKind::Even, "Broken.jpg", "", false, "Broken.jpg"},
            };
            for (const Case &c : cases) {
                QComboBox *box = f.backgroundBox(c.kind);
                // A working picture first, so a failure must also drop it.
                box->setCurrentIndex(box->findText(QStringLiteral("Fine.bmp")));
                QVERIFY(!form->editor().gridSkins.skin(c.kind).empty());
                sandbox.boxes.clear();
                box->setCurrentIndex(box->findText(QString::fromLatin1(c.file)));
                QCOMPARE(box->currentText(), QString::fromLatin1(c.kept));
                const std::string &stored = c.kind == SkinKind::Fixed ? a.fixedBackground
                                            : c.kind == SkinKind::Odd ? a.oddBackground
                                                                      : a.evenBackground;
                QCOMPARE(stored, std::string(c.kept));
                if (c.ownMessage) {
                    // The toolkit's box first, then the program's.
                    QCOMPARE(sandbox.boxes.size(), size_t(2));
                    QVERIFY(sandbox.boxes[0].text.find("9000") != std::string::npos);
                    QCOMPARE(sandbox.boxes[1].kind, MessageKind::Error);
                    QCOMPARE(sandbox.boxes[1].text,
                             "Error loading background picture '" + rows + c.file +
                                 "'. Please make sure file exists and is not damaged. - " + c.routine +
                                 ", SettingsForm.");
                } else {
                    QVERIFY(sandbox.sawBox("Error loading image file"));
                    QVERIFY(!sandbox.sawBox("Error loading background picture"));
                    QVERIFY(form->editor().gridSkins.skin(c.kind).empty());
                }
                QCOMPARE(f.templateBox()->currentIndex(), 0);
                QVERIFY(f.cancelButton()->isEnabled());
            }
            // Nothing of a refused picture reaches the painter: the grid still paints.
            form->grid()->grab();
            QTest::mouseClick(f.okButton(), Qt::LeftButton);
            checked = true;
        });
        form->settingsForm()->SettingsBtnClick();
        QVERIFY(checked);
    }
};

QTEST_MAIN(SettingsWindowTest)
#include "SettingsWindowTest.moc"
