#include "GuiSandbox.h"
#include "entry/gui/TNewListForm.h"
#include "platform/core/FileSystem.h"

#include <QAction>
#include <QMenu>
#include <QTest>

using namespace quorvex;

// Convert to Unicode List, the new-lists setting and saving a Unicode list in
// an older version, through the main window.
class UnicodeListFileWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::GuiSandbox> m_sandbox;

private slots:
    void init() { m_sandbox = std::make_unique<test::GuiSandbox>(); }
    void cleanup() { m_sandbox.reset(); }

    void unicodeCommands_convertUndoSettingFileAndOlderVersionQuestion()
    {
        auto form = m_sandbox->start();
        ListDocument &doc = form->editor().document();
        QAction *convert = form->findChild<QAction *>(QStringLiteral("ConvertToUnicodeBtn"));
        QAction *setting = form->findChild<QAction *>(QStringLiteral("UnicodeNewListsBtn"));
        QVERIFY(convert && setting);
        QCOMPARE(convert->text(), QStringLiteral("Convert to &Unicode List"));
        QVERIFY(setting->isCheckable());
        QVERIFY(!setting->isChecked()); // off on a first start
        QCOMPARE(doc.textEncoding(), TextEncoding::Windows1252);

        doc.SetCell(1, 1, "Caf\xE9");
        form->documentChanged();
        form->editor().listModified = false;
        convert->trigger();
        QCOMPARE(doc.textEncoding(), TextEncoding::Utf8);
        QCOMPARE(doc.GetCell(1, 1), std::string("Caf\xC3\xA9"));
        QVERIFY(form->editor().listModified);
        form->UndoBtnClick();
        QCOMPARE(doc.textEncoding(), TextEncoding::Windows1252);
        QCOMPARE(doc.GetCell(1, 1), std::string("Caf\xE9"));
        convert->trigger();

        // Saved as version 1.2 through the dependent filter: asked, No writes nothing.
        doc.SetCell(2, 1, "\xCE\x95\xCE\xBB\xCE\xAD\xCE\xBD\xCE\xB7");
        const std::string list = m_sandbox->home() + "films.lstd";
        m_sandbox->chosenFiles.push_back({list, 2});
        m_sandbox->answers.push_back(MessageAnswer::No);
        form->findChild<QAction *>(QStringLiteral("SaveListAsBtn"))->trigger();
        QVERIFY(m_sandbox->sawBox(
            "5 characters cannot be stored in a version 1.2 list and will be saved as '?'. Save anyway?"));
        QVERIFY(!FileSystem::exists(list));
        m_sandbox->chosenFiles.push_back({list, 4});
        form->findChild<QAction *>(QStringLiteral("SaveListAsBtn"))->trigger();
        QCOMPARE(FileSystem::readFilePrefix(list, 30).value_or(std::string()).substr(15),
                 std::string("_ListVers1.4UDp"));

        // The setting goes to unicode.mtr, and settings.mtr stays as it was.
        const std::string settings = form->editor().paths().programFolder + "settings.mtr";
        const auto before = FileSystem::readFile(settings);
        setting->trigger();
        QVERIFY(setting->isChecked());
        QCOMPARE(FileSystem::readFile(form->editor().paths().programFolder + "unicode.mtr").value_or(std::string()),
                 std::string("UnicodeNewLists=1\n"));
        QCOMPARE(FileSystem::readFile(settings), before);
        // A new list from a template is then a Unicode list.
        form->editor().listModified = false;
        form->newListForm()->command().createList();
        QCOMPARE(doc.textEncoding(), TextEncoding::Utf8);
        setting->trigger();
        form->newListForm()->command().createList();
        QCOMPARE(doc.textEncoding(), TextEncoding::Windows1252);
        form->editor().listModified = false;
        form->ExitBtnClick();
    }
};

QTEST_MAIN(UnicodeListFileWindowTest)
#include "UnicodeListFileWindowTest.moc"
