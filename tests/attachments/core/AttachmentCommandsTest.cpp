#include "FakeServices.h"
#include "TempFolder.h"
#include "platform/core/FileSystem.h"
#include "attachments/core/AttachmentCommands.h"
#include "document/core/AttachmentRef.h"
#include "attachments/core/AttachmentStore.h"
#include "attachments/core/FileFilter.h"
#include "document/core/ClipboardCommands.h"

#include <gtest/gtest.h>

using quorvex::AttachmentCommands;
using quorvex::AttachmentRef;
using quorvex::CursorShape;
using quorvex::DropDecision;
using quorvex::FileFilter;
using quorvex::FileSystem;
using quorvex::MessageAnswer;
using quorvex::MessageButtons;
using quorvex::MessageKind;
using quorvex::test::EditorFixture;
using quorvex::test::TempFolder;

namespace {

struct AttachFixture : EditorFixture {
    TempFolder root;
    AttachmentCommands commands{editor};
    std::string db = root.file("Database/");

    AttachFixture()
    {
        FileSystem::createFolders(db);
        FileSystem::createFolders(root.file("pics"));
        editor.paths().databaseFolder = db;
        editor.document().SetRowCount(5);
        editor.document().SetCurrentCell(1, 1);
        editor.cellSelected(1, 1);
    }
    std::string source(const std::string &name, const std::string &content)
    {
        const std::string path = root.file("pics/" + name);
        FileSystem::writeFileAtomic(path, content);
        return path;
    }
    std::string cell(int c, int r) const { return editor.document().GetCell(c, r); }
};

std::string ref(char type, const std::string &name)
{
    return AttachmentRef::make(type, name);
}

} // namespace

TEST(AttachmentRefs, onlyTheFirstCharacterMakesAReference)
{
    quorvex::ListDocument doc(3, 3);
    doc.SetCell(1, 1, std::string("\x01\x01") + "cover.jpg");
    doc.SetCell(2, 1, std::string("text \x01\x01 more"));
    doc.SetCell(1, 2, std::string("\x01"));
    EXPECT_TRUE(AttachmentRef::IsAttachmentCell(doc, 1, 1));
    EXPECT_FALSE(AttachmentRef::IsAttachmentCell(doc, 2, 1));
    EXPECT_FALSE(AttachmentRef::IsAttachmentCell(doc, 2, 2));
    EXPECT_TRUE(AttachmentRef::IsAttachmentCell(doc, 1, 2));
    EXPECT_EQ(AttachmentRef::AttachmentFileName(doc, 1, 2), "");
    EXPECT_EQ(AttachmentRef::AttachmentFileName(doc, 1, 1), "cover.jpg");
    EXPECT_FALSE(AttachmentRef::IsAttachmentCell(doc, 3, 1));
    EXPECT_FALSE(AttachmentRef::IsAttachmentCell(doc, 1, 3));
}

TEST(InsertFileToCell, putsReferenceIntoCurrentCellAndUndoesInOneStep)
{
    AttachFixture f;
    f.editor.document().SetCell(1, 1, "old text");
    f.editor.cellSelected(1, 1);
    f.commands.insertChosenFile(quorvex::AttachPicture, f.source("cover.jpg", "jpegdata"));

    EXPECT_EQ(f.cell(1, 1), std::string("\x01\x01") + "cover.jpg");
    EXPECT_EQ(FileSystem::readFile(f.db + "cover.jpg").value_or(""), "jpegdata");
    EXPECT_TRUE(f.editor.listModified);
    EXPECT_EQ(f.editor.undoHistory().caption(), "&Undo Insert Picture");
    EXPECT_TRUE(f.messages.shown.empty());
    ASSERT_EQ(f.view.previews.size(), 1u);
    EXPECT_EQ(f.view.previews[0], std::make_pair(1, 1));
    ASSERT_EQ(f.view.cursors.size(), 2u);
    EXPECT_EQ(f.view.cursors[0], CursorShape::Busy);
    EXPECT_EQ(f.view.cursors[1], CursorShape::Normal);

    f.editor.Undo();
    EXPECT_EQ(f.cell(1, 1), "old text");
    EXPECT_TRUE(FileSystem::exists(f.db + "cover.jpg")); // removing a reference keeps its file
}

// A paste keeps the text saved for its snapshot; after an insert or a removal
// that text must be the cell's new content, or Undo of the paste would bring
// back what the cell held before the attachment command.
TEST(InsertFileToCell, undoOfALaterPasteIntoTheSameCellGivesTheReferenceBack)
{
    AttachFixture f;
    quorvex::ClipboardCommands clipboard(f.editor);
    f.editor.document().SetCell(1, 1, "old text");
    f.editor.cellSelected(1, 1);
    f.commands.insertChosenFile(quorvex::AttachPicture, f.source("cover.jpg", "jpegdata"));
    const std::string reference = f.cell(1, 1);
    f.clipboard.content = "pasted";
    clipboard.Paste();
    ASSERT_EQ(f.cell(1, 1), "pasted");
    f.editor.Undo();
    EXPECT_EQ(f.cell(1, 1), reference);

    f.messages.answers.push_back(MessageAnswer::Yes);
    f.commands.DeleteBinaryDataBtnClick();
    ASSERT_EQ(f.cell(1, 1), "");
    clipboard.Paste();
    f.editor.Undo();
    EXPECT_EQ(f.cell(1, 1), "");
}

TEST(InsertFileToCell, sameFileInTwoCellsSharesOneCopyDifferentFileIsNumbered)
{
    AttachFixture f;
    const std::string cover = f.source("cover.jpg", "one");
    ASSERT_EQ(f.commands.InsertFileToCell(cover, '\x01', quorvex::AttachPicture), 0);
    f.editor.document().SetCurrentCell(2, 1);
    ASSERT_EQ(f.commands.InsertFileToCell(cover, '\x01', quorvex::AttachPicture), 0);
    EXPECT_EQ(f.cell(2, 1), f.cell(1, 1));
    EXPECT_EQ(FileSystem::listFolder(f.db)->size(), 1u);

    FileSystem::createFolders(f.root.file("other"));
    const std::string other = f.root.file("other/cover.jpg");
    FileSystem::writeFileAtomic(other, "another picture");
    f.editor.document().SetCurrentCell(3, 1);
    ASSERT_EQ(f.commands.InsertFileToCell(other, '\x01', quorvex::AttachFile), 0);
    EXPECT_EQ(f.cell(3, 1), ref(quorvex::AttachFile, "cover1.jpg"));
    EXPECT_EQ(f.editor.undoHistory().caption(), "&Undo Insert File");
}

TEST(InsertFileToCell, copyFailureShowsMessageAndChangesNothing)
{
    AttachFixture f;
    f.editor.paths().databaseFolder = f.root.file("gone/");
    f.editor.document().SetCell(1, 1, "keep");
    f.editor.cellSelected(1, 1);
    EXPECT_EQ(f.commands.InsertFileToCell(f.source("a.wav", "x"), '\x01', quorvex::AttachAudio), 1);
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_EQ(f.messages.shown[0].kind, MessageKind::Error);
    EXPECT_EQ(f.messages.shown[0].text, "An error occured while copying source file to temp folder. Failed to "
                                        "insert data.\n\n - InsertFileToCell()");
    EXPECT_EQ(f.cell(1, 1), "keep");
    EXPECT_FALSE(f.editor.listModified);
    EXPECT_FALSE(f.editor.undoHistory().undoEnabled());
}

TEST(InsertCommands, cancelledDialogDoesNothing)
{
    AttachFixture f;
    f.commands.insertChosenFile(quorvex::AttachVideo, "");
    EXPECT_TRUE(f.view.cursors.empty());
    EXPECT_FALSE(f.editor.listModified);
    EXPECT_TRUE(FileSystem::listFolder(f.db)->empty());
}

TEST(FileFilters, splitIntoDescriptionsAndPatterns)
{
    const auto pic = FileFilter::parse(AttachmentCommands::insertCommands()[0].filter);
    ASSERT_EQ(pic.size(), 6u);
    EXPECT_EQ(pic[0].description, "All (*.bmp;*.jpg;*.gif,*.ico, *.wmf,*.emf)");
    EXPECT_EQ(pic[0].patterns.size(), 7u);
    EXPECT_EQ(pic[2].description, "JPEG Image Files (*.jpg;*.jpeg)");
    EXPECT_EQ(pic[2].patterns, (std::vector<std::string>{"*.jpg", "*.jpeg"}));
    const auto web = FileFilter::parse(AttachmentCommands::insertCommands()[3].filter);
    ASSERT_EQ(web.size(), 2u);
    EXPECT_EQ(web[0].patterns.back(), "*.mht");
    EXPECT_EQ(web[1].patterns, (std::vector<std::string>{"*.*"}));
    EXPECT_TRUE(FileFilter::parse("").empty());
}

TEST(DroppedFiles, listsOpenOtherKnownKindsInsertTheRestIsIgnored)
{
    using Action = DropDecision::Action;
    auto classify = [](std::vector<std::string> paths) { return AttachmentCommands::classifyDrop(paths); };
    EXPECT_EQ(classify({"/a/Movies.LSTD"}).action, Action::OpenList);
    EXPECT_EQ(classify({"/a/Movies.lst"}).path, "/a/Movies.lst");
    EXPECT_EQ(classify({"/a/notes.txt"}).action, Action::Ignore);
    EXPECT_EQ(classify({"/my.docs/README"}).action, Action::Ignore);
    EXPECT_EQ(classify({"/a/README"}).action, Action::Ignore);
    EXPECT_EQ(classify({}).action, Action::Ignore);
    EXPECT_EQ(classify({"/a/x.JPEG"}).typeCode, quorvex::AttachPicture);
    EXPECT_EQ(classify({"/a/x.wave"}).typeCode, quorvex::AttachAudio);
    EXPECT_EQ(classify({"/a/x.txt", "/a/y.jpg"}).action, Action::Ignore);
}

TEST(DroppedFiles, onlyTheFirstOfSeveralPicturesGoesIntoTheCurrentCell)
{
    AttachFixture f;
    f.editor.document().SetCurrentCell(2, 3);
    const auto d = f.commands.FilesDropped({f.source("a.gif", "1"), f.source("b.gif", "2"), f.source("c.gif", "3")});
    EXPECT_EQ(d.action, DropDecision::Action::Insert);
    EXPECT_EQ(d.result, 0);
    EXPECT_EQ(f.cell(2, 3), ref(quorvex::AttachPicture, "a.gif"));
    EXPECT_EQ(FileSystem::listFolder(f.db)->size(), 1u);
    EXPECT_EQ(f.view.previews.back(), std::make_pair(2, 3));

    const auto list = f.commands.FilesDropped({f.source("films.lst", "x")});
    EXPECT_EQ(list.action, DropDecision::Action::OpenList);
    EXPECT_EQ(FileSystem::listFolder(f.db)->size(), 1u);
}

TEST(ExtractDataFile, cellWithoutAttachmentIsRefusedBeforeTheDialog)
{
    AttachFixture f;
    f.editor.document().SetCell(2, 3, "plain");
    bool asked = false;
    const int r = f.commands.ExportDataFileFromCell(2, 3, [&](const std::string &) {
        asked = true;
        return std::optional<std::string>();
    });
    EXPECT_EQ(r, 1);
    EXPECT_FALSE(asked);
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_EQ(f.messages.shown[0].text, "Error, there is not a file contained in the cell coordinates (2,3). "
                                        "Please try a cell that is attached to data.\n\n - ExportDataFileFromCell()");
}

TEST(ExtractDataFile, copiesOverAConfirmedExistingFileCancelCopiesNothing)
{
    AttachFixture f;
    FileSystem::writeFileAtomic(f.db + "song.mp3", "music");
    f.editor.document().SetCell(1, 1, ref(quorvex::AttachAudio, "song.mp3"));
    const std::string out = f.root.file("out.mp3");
    FileSystem::writeFileAtomic(out, "older file");

    std::string preset;
    f.commands.ExtractDataFileFromCellBtnClick([&](const std::string &name) {
        preset = name;
        return std::optional<std::string>();
    });
    EXPECT_EQ(preset, "song.mp3");
    EXPECT_EQ(FileSystem::readFile(out).value_or(""), "older file");

    f.commands.ExtractDataFileFromCellBtnClick([&](const std::string &) { return std::optional<std::string>(out); });
    EXPECT_EQ(FileSystem::readFile(out).value_or(""), "music");
    EXPECT_TRUE(f.messages.shown.empty());
    EXPECT_EQ(f.view.cursors.front(), CursorShape::AppStarting);
    EXPECT_EQ(f.view.cursors.back(), CursorShape::Normal);
}

TEST(ExtractDataFile, missingOrUnsafeSourceReportsTheCopyError)
{
    AttachFixture f;
    const std::string expected = "An error occured while extracting the file. Unable\nto copy from temp folder to "
                                 "destination.\n\n - ExportDataFileFromCell()";
    const std::string out = f.root.file("out.bin");
    auto toOut = [&](const std::string &) { return std::optional<std::string>(out); };

    f.editor.document().SetCell(1, 1, ref(quorvex::AttachFile, "vanished.bin"));
    EXPECT_EQ(f.commands.ExportDataFileFromCell(1, 1, toOut), 0);
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_EQ(f.messages.shown[0].text, expected + "\n\nThe file or folder does not exist.");

    // A reference pasted or loaded from a foreign list must not read outside the folder.
    FileSystem::writeFileAtomic(f.root.file("secret"), "private");
    f.editor.document().SetCell(1, 2, ref(quorvex::AttachFile, "../secret"));
    EXPECT_EQ(f.commands.ExportDataFileFromCell(1, 2, toOut), 0);
    ASSERT_EQ(f.messages.shown.size(), 2u);
    EXPECT_EQ(f.messages.shown[1].text, expected);
    EXPECT_FALSE(FileSystem::exists(out));
}

TEST(DeleteBinaryData, emptiesOnlyAttachmentCellsOfTheSelectionAndUndoesInOneStep)
{
    AttachFixture f;
    auto &doc = f.editor.document();
    doc.SetCell(1, 1, ref(quorvex::AttachPicture, "a.jpg"));
    doc.SetCell(2, 1, "text");
    doc.SetCell(3, 2, ref(quorvex::AttachVideo, "b.avi"));
    doc.SetCell(2, 2, std::string("x\x01"));
    doc.SetCell(4, 2, ref(quorvex::AttachFile, "outside.txt"));
    FileSystem::writeFileAtomic(f.db + "a.jpg", "kept");
    doc.SetCurrentCell(1, 1);
    f.editor.cellSelected(1, 1);
    doc.SelectRange(1, 1, 3, 2);

    f.commands.DeleteBinaryDataBtnClick();
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_EQ(f.messages.shown[0].text, "Delete all binary data from selection?");
    EXPECT_EQ(f.messages.shown[0].kind, MessageKind::Confirmation);
    EXPECT_EQ(f.messages.shown[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(f.cell(1, 1), "");
    EXPECT_EQ(f.cell(3, 2), "");
    EXPECT_EQ(f.cell(2, 1), "text");
    EXPECT_EQ(f.cell(2, 2), std::string("x\x01"));
    EXPECT_EQ(f.cell(4, 2), ref(quorvex::AttachFile, "outside.txt"));
    EXPECT_TRUE(FileSystem::exists(f.db + "a.jpg"));
    EXPECT_TRUE(f.editor.listModified);
    EXPECT_EQ(f.editor.undoHistory().caption(), "&Undo Delete Binary Data");

    f.editor.Undo();
    EXPECT_EQ(f.cell(1, 1), ref(quorvex::AttachPicture, "a.jpg"));
    EXPECT_EQ(f.cell(3, 2), ref(quorvex::AttachVideo, "b.avi"));
}

TEST(DeleteBinaryData, answeringNoChangesNothing)
{
    AttachFixture f;
    f.editor.document().SetCell(1, 1, ref(quorvex::AttachPicture, "a.jpg"));
    f.messages.answers.push_back(MessageAnswer::No);
    f.commands.DeleteBinaryDataBtnClick();
    EXPECT_EQ(f.cell(1, 1), ref(quorvex::AttachPicture, "a.jpg"));
    EXPECT_FALSE(f.editor.listModified);
    EXPECT_FALSE(f.editor.undoHistory().undoEnabled());
}

TEST(AttachmentNames, referencesAreWindows1252TextAndDiskNamesTheirUtf8Form)
{
    struct Case {
        std::string sourceName;    // as the file system spells it (UTF-8)
        std::string reference;     // the name part of the cell text
        std::string diskName;      // the file made in the database folder
    };
    const Case cases[] = {
        {"Am\xC3\xA9lie.txt", "Am\xE9lie.txt", "Am\xC3\xA9lie.txt"},
        {"\xE2\x82\xAC" "uro.jpg", "\x80uro.jpg", "\xE2\x82\xAC" "uro.jpg"},
        // Characters Windows-1252 cannot hold become "?", and the numbering keeps them apart.
        {"\xE6\x97\xA5\xE6\x9C\xAC.txt", "??.txt", "??.txt"},
        {"\xE4\xB8\xAD\xE5\x9B\xBD.txt", "??1.txt", "??1.txt"},
        // Bytes that are not UTF-8 are no characters either.
        {"bad\xE9.txt", "bad?.txt", "bad?.txt"},
    };
    AttachFixture f;
    int row = 1;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.reference);
        f.editor.document().SetCurrentCell(1, row);
        // Sizes differ, so files made within one millisecond are not taken for one another.
        const std::string content = "content of " + c.sourceName + std::string(static_cast<std::size_t>(row), '+');
        ASSERT_EQ(f.commands.InsertFileToCell(f.source(c.sourceName, content), '\x01', '\x04'), 0);
        EXPECT_EQ(f.cell(1, row), ref('\x04', c.reference));
        EXPECT_EQ(FileSystem::readFile(f.db + c.diskName).value_or("<missing>"), content);
        EXPECT_EQ(quorvex::AttachmentStore::diskName(c.reference), c.diskName);
        f.editor.document().SetRowCount(row + 2);
        ++row;
    }

    // Extract offers the file system's name and copies the UTF-8 named file; a
    // reference saved as UTF-8 bytes by an older build still finds its file.
    FileSystem::writeFileAtomic(f.db + "Z\xC3\xBCrich.txt", "old build");
    const std::pair<std::string, std::string> extracts[] = {
        {"Am\xE9lie.txt", "content of Am\xC3\xA9lie.txt+"},
        {"Z\xC3\xBCrich.txt", "old build"},
    };
    for (const auto &[reference, content] : extracts) {
        f.editor.document().SetCell(2, 1, ref('\x04', reference));
        std::string offered;
        const std::string target = f.root.file("out.txt");
        f.commands.ExportDataFileFromCell(2, 1, [&](const std::string &preset) {
            offered = preset;
            return std::optional<std::string>(target);
        });
        EXPECT_EQ(FileSystem::readFile(target).value_or("<missing>"), content) << reference;
        EXPECT_EQ(offered, quorvex::AttachmentStore::diskName(reference));
    }
    EXPECT_TRUE(f.messages.shown.empty());
}
