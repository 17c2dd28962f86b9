#include "GuiSandbox.h"
#include "platform/core/FileSystem.h"

#include "document/core/AttachmentRef.h"

#include <QAction>
#include <QTextEdit>
#include <QTest>

using namespace quorvex;

namespace {

QAction *action(QWidget *form, const char *name)
{
    return form->findChild<QAction *>(QString::fromLatin1(name));
}

} // namespace

// Lists saved and reopened through the window's menus, with their attachments.
class ListFileWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::GuiSandbox> m_sandbox;

    // A list with a picture, an audio clip and a file in the first row.
    void attachThree(TMainForm &form)
    {
        const std::string src = m_sandbox->home();
        FileSystem::writeFileAtomic(src + "cover.jpg", std::string("\xFF\xD8\xFF\xE0 picture bytes", 19));
        FileSystem::writeFileAtomic(src + "theme.mp3", "ID3 audio bytes");
        FileSystem::writeFileAtomic(src + "notes.txt", "liner notes");
        const std::pair<int, std::pair<const char *, const char *>> cells[] = {
            {2, {"InsertPictureBtn", "cover.jpg"}}, {3, {"InsertAudioBtn", "theme.mp3"}},
            {4, {"InsertFileBtn", "notes.txt"}}};
        for (const auto &[col, item] : cells) {
            form.editor().document().SetCurrentCell(col, 1);
            form.documentChanged();
            m_sandbox->chosenFiles.push_back({src + item.second, 0});
            action(&form, item.first)->trigger();
        }
    }

private slots:
    void init() { m_sandbox = std::make_unique<test::GuiSandbox>(); }
    void cleanup() { m_sandbox.reset(); }

    void independentList_bringsItsFilesBackIntoAnEmptiedDatabase()
    {
        auto form = m_sandbox->start();
        attachThree(*form);
        const std::string db = form->editor().paths().databaseFolder;
        QVERIFY(FileSystem::isRegularFile(db + "cover.jpg"));
        QVERIFY(FileSystem::isRegularFile(db + "theme.mp3"));
        QVERIFY(FileSystem::isRegularFile(db + "notes.txt"));

        const std::string list = m_sandbox->home() + "collection.lst";
        m_sandbox->chosenFiles.push_back({list, 1});
        action(form.get(), "SaveListAsBtn")->trigger();
        QVERIFY(FileSystem::isRegularFile(list));
        QVERIFY(!form->editor().listModified);
        QVERIFY(form->cellRichEdit()->toPlainText().startsWith(QStringLiteral("INFORMATION:")));

        QVERIFY(FileSystem::ClearFolder(db));
        QVERIFY(!FileSystem::exists(db + "cover.jpg"));
        form->listFiles().openListFile(list);
        QCOMPARE(FileSystem::readFile(db + "cover.jpg").value_or(""), std::string("\xFF\xD8\xFF\xE0 picture bytes", 19));
        QCOMPARE(FileSystem::readFile(db + "theme.mp3").value_or(""), std::string("ID3 audio bytes"));
        QCOMPARE(FileSystem::readFile(db + "notes.txt").value_or(""), std::string("liner notes"));
        QVERIFY(AttachmentRef::IsAttachmentCell(form->editor().document(), 2, 1));
        form->ExitBtnClick();
    }

    void dependentList_keepsOnlyTheReferences()
    {
        auto form = m_sandbox->start();
        attachThree(*form);
        const std::string list = m_sandbox->home() + "collection.lstd";
        m_sandbox->chosenFiles.push_back({list, 2});
        action(form.get(), "SaveListAsBtn")->trigger();
        const std::string bytes = FileSystem::readFile(list).value_or("");
        QVERIFY(bytes.find("cover.jpg") != std::string::npos);
        QVERIFY(bytes.find("picture bytes") == std::string::npos);
        QVERIFY(bytes.find("liner notes") == std::string::npos);

        const std::string db = form->editor().paths().databaseFolder;
        QVERIFY(FileSystem::ClearFolder(db));
        form->listFiles().openListFile(list);
        QVERIFY(!FileSystem::exists(db + "cover.jpg"));
        // The reference stays even though its file is gone.
        QVERIFY(AttachmentRef::IsAttachmentCell(form->editor().document(), 2, 1));
        form->ExitBtnClick();
    }
};

QTEST_MAIN(ListFileWindowTest)
#include "ListFileWindowTest.moc"
