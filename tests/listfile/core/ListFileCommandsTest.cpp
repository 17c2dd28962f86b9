#include "ListFileTestSupport.h"
#include "platform/core/FileDialogService.h"
#include "listfile/core/ListFileCommands.h"

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <sys/stat.h>

namespace quorvex::test {
namespace {

// Answers the file dialogs from queues; records what they were shown with.
class FakeDialogs final : public FileDialogService {
public:
    struct SaveAnswer {
        std::string path;
        int filter;
    };
    std::optional<std::string> openFile(const std::string &, const std::string &) override
    {
        ++opens;
        if (openAnswers.empty())
            return std::nullopt;
        std::string p = openAnswers.front();
        openAnswers.pop_front();
        return p;
    }
    std::optional<std::string> saveFile(const std::string &, int &filterIndex, const std::string &) override
    {
        presetFilters.push_back(filterIndex);
        if (saveAnswers.empty())
            return std::nullopt;
        const SaveAnswer a = saveAnswers.front();
        saveAnswers.pop_front();
        filterIndex = a.filter;
        return a.path;
    }
    std::deque<std::string> openAnswers;
    std::deque<SaveAnswer> saveAnswers;
    std::vector<int> presetFilters;
    int opens = 0;
};

class TitleView final : public EditorView {
public:
    void setWindowTitle(const char *utf8) override { titles.emplace_back(utf8); }
    void setFileOperationLock(bool locked) override { locks.push_back(locked); }
    void showSaveInformation(const std::string &text) override { information.push_back(text); }
    std::vector<std::string> titles;
    std::vector<bool> locks;
    std::vector<std::string> information;
};

struct CommandsFixture : EditorFixture {
    TempFolder tmp;
    FakeDialogs dialogs;
    TitleView titleView;
    ListFileCommands commands{editor, dialogs};
    std::vector<std::string> reopened;
    CommandsFixture()
    {
        editor.setView(&titleView);
        editor.paths().programFolder = tmp.path();
        editor.paths().databaseFolder = tmp.path() + "Database/";
        FileSystem::createFolder(editor.paths().databaseFolder);
        commands.addToReopenMenu = [this](const std::string &p) { reopened.push_back(p); };
        editor.listType = "dvdmovie";
        editor.document().SetCell(1, 0, "Tape#");
        editor.document().SetCell(1, 1, "Casablanca");
    }
    ListFileVersion versionOf(const std::string &path)
    {
        const std::string b = readBytes(path);
        if (b.size() < 30)
            return ListFileVersion::Unknown;
        return b.substr(15, 15) == "_ListVers1.2Dep" ? ListFileVersion::V12 : ListFileVersion::V11;
    }
};

TEST(ListFileCommands, saveAs_extensionRulesAndCorrectionQuestion)
{
    CommandsFixture f;
    // Dependent filter, typed movies.lst: Yes corrects to .lstd.
    f.dialogs.saveAnswers = {{f.tmp.file("movies.lst"), 2}};
    f.messages.answers = {MessageAnswer::Yes};
    f.commands.SaveListAsBtnClick();
    EXPECT_EQ(f.editor.currentListFile, f.tmp.file("movies.lstd"));
    EXPECT_EQ(f.versionOf(f.tmp.file("movies.lstd")), ListFileVersion::V12);
    EXPECT_FALSE(FileSystem::exists(f.tmp.file("movies.lst")));
    EXPECT_EQ(f.messages.shown.at(0).text, "The file extension does not match the type of\nfile you selected. Would "
                                           "you like Quorvex to\ncorrect this?");
    EXPECT_EQ(f.reopened, std::vector<std::string>{f.tmp.file("movies.lstd")});

    // No keeps the name; the name's own extension picks version 1.1.
    f.dialogs.saveAnswers = {{f.tmp.file("movies.lst"), 2}};
    f.messages.answers = {MessageAnswer::No};
    f.commands.SaveListAsBtnClick();
    EXPECT_EQ(f.versionOf(f.tmp.file("movies.lst")), ListFileVersion::V11);
    EXPECT_EQ(f.dialogs.presetFilters.back(), 2); // preset from the .lstd name before

    // Independent filter, no extension or another one: appended.
    f.dialogs.saveAnswers = {{f.tmp.file("list"), 1}, {f.tmp.file("list.txt"), 1}};
    f.commands.SaveListAsBtnClick();
    f.commands.SaveListAsBtnClick();
    EXPECT_EQ(f.versionOf(f.tmp.file("list.lst")), ListFileVersion::V11);
    EXPECT_EQ(f.versionOf(f.tmp.file("list.txt.lst")), ListFileVersion::V11);
    EXPECT_EQ(f.dialogs.presetFilters.back(), 1);
}

TEST(ListFileCommands, saveAs_declinedOverwriteShowsDialogAgainCancelSaysNotSaved)
{
    CommandsFixture f;
    writeBytes(f.tmp.file("a.lst"), "OLD");
    f.dialogs.saveAnswers = {{f.tmp.file("a.lst"), 1}};
    f.messages.answers = {MessageAnswer::No};
    f.commands.SaveListAsBtnClick();
    EXPECT_EQ(f.dialogs.presetFilters.size(), 2u);
    EXPECT_EQ(readBytes(f.tmp.file("a.lst")), "OLD");
    ASSERT_EQ(f.messages.shown.size(), 2u);
    EXPECT_EQ(f.messages.shown[0].text, "File already exists. Overwrite?");
    EXPECT_EQ(f.messages.shown[1].text, "List not saved.");
    EXPECT_EQ(f.messages.shown[1].kind, MessageKind::Plain);
}

TEST(ListFileCommands, save_versionFromLastDotLoweredAndInformationText)
{
    CommandsFixture f;
    f.editor.currentListFile = f.tmp.file("my.films.LSTD");
    f.editor.listModified = true;
    f.commands.SaveListBtnClick();
    EXPECT_EQ(f.commands.lastSaveResult(), 0);
    EXPECT_EQ(f.versionOf(f.tmp.file("my.films.LSTD")), ListFileVersion::V12);
    EXPECT_EQ(f.commands.saveFilterIndex, 2);
    EXPECT_FALSE(f.editor.listModified);
    EXPECT_EQ(f.titleView.titles.back(), "Quorvex - " + f.tmp.file("my.films.LSTD"));
    EXPECT_EQ(f.titleView.locks, (std::vector<bool>{true, false}));
    EXPECT_EQ(f.editor.statusBar().text(0), "100% - complete. Saving finished.");
    ASSERT_EQ(f.titleView.information.size(), 1u);
    const std::string &info = f.titleView.information[0];
    EXPECT_EQ(info.rfind("INFORMATION: \n\nThe file was saved as a dependent list.", 0), 0u);
    EXPECT_NE(info.find("NOTE: The database folder location is " + f.editor.paths().databaseFolder +
                        "\n\nThis location can be changed in the 'Settings' window."),
              std::string::npos);

    f.editor.currentListFile = f.tmp.file("x.lst");
    f.commands.SaveListBtnClick();
    EXPECT_EQ(f.commands.lastSaveInformation().rfind("INFORMATION: \n\nThe file was saved as an independent list.", 0),
              0u);
}

TEST(ListFileCommands, save_readOnlyQuestionAndFailureKeepsModified)
{
    CommandsFixture f;
    const std::string path = f.tmp.file("ro.lst");
    writeBytes(path, "OLD");
    ::chmod(path.c_str(), 0444);
    f.editor.currentListFile = path;
    f.editor.listModified = true;
    f.messages.answers = {MessageAnswer::No};
    f.commands.SaveListBtnClick();
    EXPECT_EQ(f.messages.texts(), (std::vector<std::string>{"The list file being saved is read-only. Do you want "
                                                            "Quorvex.exe to make this file write able?",
                                                            "List NOT saved."}));
    EXPECT_EQ(readBytes(path), "OLD");
    EXPECT_TRUE(f.editor.listModified);

    f.commands.SaveListBtnClick(); // Yes by default
    EXPECT_EQ(f.commands.lastSaveResult(), 0);
    EXPECT_FALSE(FileSystem::isReadOnly(path));
    EXPECT_EQ(readBytes(path).size() > 30, true);

    // A missing attachment, aborted: status says so, the flag stays.
    f.editor.listModified = true;
    f.editor.document().SetCell(1, 1, std::string("\x01\x01" "gone.jpg"));
    f.messages.answers = {MessageAnswer::Cancel};
    const std::string before = readBytes(path);
    f.commands.SaveListBtnClick();
    EXPECT_EQ(f.commands.lastSaveResult(), 10);
    EXPECT_TRUE(f.editor.listModified);
    EXPECT_EQ(readBytes(path), before);
    const std::string status = f.editor.statusBar().text(0);
    EXPECT_EQ(status.substr(status.size() - 34), " - Aborted (missing/corrupt file).");
}

TEST(ListFileCommands, confirmSaveChanges_yesWithoutSaveCommandRunsSaveAsAndStops)
{
    CommandsFixture f;
    EXPECT_TRUE(f.commands.ConfirmSaveChanges()); // not modified: no question
    EXPECT_TRUE(f.messages.shown.empty());
    f.editor.listModified = true;
    f.dialogs.saveAnswers = {{f.tmp.file("new.lst"), 1}};
    EXPECT_FALSE(f.commands.ConfirmSaveChanges());
    EXPECT_EQ(f.messages.shown.at(0).text, "Save changes to list?");
    EXPECT_EQ(f.messages.shown.at(0).buttons, MessageButtons::YesNoCancel);
    EXPECT_TRUE(FileSystem::exists(f.tmp.file("new.lst")));
    EXPECT_FALSE(f.editor.listModified);
    f.editor.listModified = true;
    f.messages.answers = {MessageAnswer::No};
    EXPECT_TRUE(f.commands.ConfirmSaveChanges());
    f.messages.answers = {MessageAnswer::Cancel};
    EXPECT_FALSE(f.commands.ConfirmSaveChanges());
}

TEST(ListFileCommands, open_loadsAndResetsWindowState)
{
    CommandsFixture f;
    f.editor.document().SetRowCount(5);
    f.editor.currentListFile = f.tmp.file("l.lst");
    f.commands.SaveListBtnClick();
    f.editor.document().SetRowCount(2);
    f.editor.document().SetCell(1, 1, "changed");
    f.editor.listType = "cdmusic";
    f.editor.undoHistory().setEnabled(true, true);
    f.editor.currentListFile.clear();
    f.editor.saveListEnabled = false;

    f.dialogs.openAnswers = {f.tmp.file("l.lst")};
    f.commands.OpenListBtnClick();
    EXPECT_EQ(f.commands.lastOpenResult(), 0);
    EXPECT_EQ(f.editor.document().RowCount(), 5);
    EXPECT_EQ(f.editor.document().GetCell(1, 1), "Casablanca");
    EXPECT_EQ(f.editor.listType, "dvdmovie");
    EXPECT_EQ(f.editor.currentListFile, f.tmp.file("l.lst"));
    EXPECT_TRUE(f.editor.saveListEnabled);
    EXPECT_FALSE(f.editor.undoHistory().undoEnabled());
    EXPECT_FALSE(f.editor.undoHistory().redoEnabled());
    EXPECT_EQ(f.editor.statusBar().text(0), "100% - complete.");
    EXPECT_EQ(f.editor.statusBar().progress(), 0);
    EXPECT_EQ(f.titleView.titles.back(), "Quorvex - " + f.tmp.file("l.lst"));
    EXPECT_EQ(f.reopened.back(), f.tmp.file("l.lst"));
    EXPECT_EQ(f.editor.document().Col(), 1);
    EXPECT_EQ(f.editor.document().Row(), 1);

    // Cancelled dialog: plain message, nothing changes.
    f.commands.OpenListBtnClick();
    EXPECT_EQ(f.messages.texts().back(), "List not opened.");
    // A refused file leaves the grid as it was.
    writeBytes(f.tmp.file("junk.lst"), "not a list at all, really");
    f.dialogs.openAnswers = {f.tmp.file("junk.lst")};
    f.commands.OpenListBtnClick();
    EXPECT_EQ(f.messages.texts().back(), "This file is not a valid Quorvex list file. File not opened.");
    EXPECT_EQ(f.editor.document().RowCount(), 5);
}

TEST(ListFileCommands, templateLoad_silentWithoutTitleQuestionOrRecentEntry)
{
    CommandsFixture f;
    FileSystem::createFolder(f.tmp.path() + "Templates");
    {
        ListDocument doc;
        doc.SetCell(1, 0, "DVD #");
        PageSetup setup;
        const std::string type = "dvdmovie";
        WriterFixture w;
        ASSERT_EQ(w.writer.SaveList_V11(f.tmp.path() + "Templates/DVD.lst", ListFileSource{doc, setup, type}), 0);
    }
    f.editor.listModified = true;
    f.editor.listType = "";
    f.commands.openDialogFileName = "/somewhere/else.lst";
    f.commands.loadStartupList();
    EXPECT_TRUE(f.messages.shown.empty());
    EXPECT_TRUE(f.titleView.titles.empty());
    EXPECT_TRUE(f.reopened.empty());
    EXPECT_EQ(f.editor.listType, "dvdmovie");
    EXPECT_EQ(f.editor.document().GetCell(1, 0), "DVD #");
    EXPECT_TRUE(f.editor.currentListFile.empty());
    EXPECT_TRUE(f.editor.trackCurrentFile);
    EXPECT_EQ(f.commands.openDialogFileName, "/somewhere/else.lst");
    EXPECT_EQ(f.commands.openWithoutDialog, 0);
    EXPECT_EQ(f.dialogs.opens, 0);
}

TEST(ListFileCommands, failedSaveAsAndPartLoadedList_neverWriteWhereTheUserDidNotAgree)
{
    CommandsFixture f;
    const std::string good = f.tmp.file("good.lst");
    f.editor.currentListFile = good;
    f.editor.saveListEnabled = true;
    f.commands.SaveListBtnClick();
    ASSERT_EQ(f.commands.lastSaveResult(), 0);

    // Save As into a folder that is not there, and over a folder: both fail and
    // the list stays bound to good.lst; the failure is one box with its reason.
    FileSystem::createFolder(f.tmp.file("taken.lst"));
    struct Case {
        std::string target;
        std::deque<MessageAnswer> answers;
        std::string lastBoxStart;
    };
    const Case cases[] = {
        {f.tmp.file("missing/x.lst"), {}, "Unable to open file for writing."},
        {f.tmp.file("taken.lst"), {MessageAnswer::Yes}, "Unable to open file for writing."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.target);
        f.messages.shown.clear();
        f.messages.answers = c.answers;
        f.editor.listModified = true;
        f.dialogs.saveAnswers = {{c.target, 1}};
        f.commands.SaveListAsBtnClick();
        EXPECT_NE(f.commands.lastSaveResult(), 0);
        EXPECT_EQ(f.editor.currentListFile, good);
        EXPECT_TRUE(f.editor.saveListEnabled);
        EXPECT_TRUE(f.editor.listModified);
        EXPECT_TRUE(f.messages.exceptions.empty());
        ASSERT_FALSE(f.messages.shown.empty());
        EXPECT_EQ(f.messages.shown.back().text.rfind(c.lastBoxStart, 0), 0u) << f.messages.shown.back().text;
        EXPECT_EQ(f.reopened, std::vector<std::string>{}); // a failed target is not offered for reopening
    }
    EXPECT_NE(f.messages.shown.back().text.find("\n\nA folder has that name."), std::string::npos);
    f.commands.SaveListBtnClick(); // Ctrl+S writes the old file, nothing else
    EXPECT_EQ(f.commands.lastSaveResult(), 0);
    EXPECT_EQ(f.editor.currentListFile, good);
    EXPECT_FALSE(FileSystem::exists(f.tmp.file("missing")));

    // A list that loaded only partly: Save asks for a name first.
    f.editor.document().SetRowCount(40);
    f.commands.SaveListBtnClick();
    const std::string whole = readBytes(good);
    writeBytes(good, whole.substr(0, whole.size() - 20));
    const std::string damaged = readBytes(good);
    f.dialogs.openAnswers = {good};
    f.messages.answers = {MessageAnswer::No}; // nothing to save first
    f.editor.listModified = false;
    f.commands.OpenListBtnClick();
    ASSERT_NE(f.commands.lastOpenResult(), 0);
    const std::size_t dialogsBefore = f.dialogs.presetFilters.size();
    f.messages.shown.clear();
    f.commands.SaveListBtnClick(); // cancelled dialog: the damaged file stays
    EXPECT_EQ(f.dialogs.presetFilters.size(), dialogsBefore + 1);
    EXPECT_EQ(f.messages.texts(), std::vector<std::string>{"List not saved."});
    EXPECT_EQ(readBytes(good), damaged);
    f.dialogs.saveAnswers = {{good, 1}};
    f.messages.answers = {MessageAnswer::No}; // keep the original: asked for another name
    f.dialogs.saveAnswers.push_back({f.tmp.file("rescued.lst"), 1});
    f.commands.SaveListBtnClick();
    EXPECT_EQ(readBytes(good), damaged);
    EXPECT_EQ(f.commands.lastSaveResult(), 0);
    EXPECT_EQ(f.editor.currentListFile, f.tmp.file("rescued.lst"));
    // Once saved whole, Save writes without asking again.
    const std::size_t dialogsAfter = f.dialogs.presetFilters.size();
    f.commands.SaveListBtnClick();
    EXPECT_EQ(f.dialogs.presetFilters.size(), dialogsAfter);
    EXPECT_EQ(f.commands.lastSaveResult(), 0);
}

} // namespace
} // namespace quorvex::test
