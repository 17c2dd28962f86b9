#include "FakeServices.h"
#include "TempFolder.h"
#include "appearance/core/FolderCommands.h"
#include "platform/core/FileSystem.h"
#include "platform/core/FolderLock.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>

#include <deque>
#include <string>
#include <vector>

using namespace quorvex;
using quorvex::test::FakeShell;
using quorvex::test::ScriptedMessages;
using quorvex::test::TempFolder;

namespace {

const char *const Cancelled = "Process cancelled.";
const char *const NotUpdated = "Database directory was not updated because\nthe path entered does not exist.";

void touch(const std::string &path, mode_t mode = 0644)
{
    ASSERT_TRUE(FileSystem::writeFileAtomic(path, "x"));
    ::chmod(path.c_str(), mode);
}

// A program layout inside a scratch folder: home, documents, program, temp.
struct Folders {
    TempFolder root;
    AppPaths paths;
    ScriptedMessages messages;
    FakeShell shell;
    FolderCommands commands{paths, messages, shell};
    Folders()
    {
        const std::string r = FileSystem::longForm(root.path()) + "/";
        for (const char *f : {"home/Documents", "home/.local/share/Quorvex/Database", "tmp/QuorvexTmp/3"})
            FileSystem::createFolders(r + f);
        commands.setHomeFolder(r + "home");
        paths.documentsFolder = r + "home/Documents/";
        paths.programFolder = r + "home/.local/share/Quorvex/";
        paths.databaseFolder = paths.programFolder + "Database/";
        paths.tempFolder = r + "tmp/QuorvexTmp/";
        paths.instanceTempFolder = paths.tempFolder + "3/";
    }
};

class ScriptedChooser final : public FolderChooser {
public:
    void preset(const std::string &folder) override { presets.push_back(folder); }
    std::optional<std::string> choose() override
    {
        ++shown;
        return result;
    }
    std::vector<std::string> presets;
    std::optional<std::string> result;
    int shown = 0;
};

} // namespace

TEST(FolderCommands, databaseCleaningRefusesFoldersThatAreNotAStore)
{
    Folders f;
    const std::string r = FileSystem::longForm(f.root.path()) + "/";
    ::symlink((r + "home").c_str(), (r + "linkToHome").c_str());
    struct Case {
        std::string folder;
        bool refused;
    } cases[] = {
        {"", true},
        {"Database/", true},
        {"/", true},
        {"//", true},
        {r + "home/", true},
        {r + "home", true},
        {r + "home/Documents/", true},
        {r + "home/.local/share/Quorvex/", true},
        {r + "home/.local/", true},         // above the program folder
        {r + "linkToHome/", true},          // the home folder by another name
        {r + "home/Documents/../", true},
        {r + "home/.local/share/Quorvex/Database/", false},
        {r + "home/Documents/Attachments/", false},
        {r + "tmp/", false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(f.commands.databaseCleanRefusal(c.folder).has_value(), c.refused) << c.folder;

    // A refused folder is never touched, and no question is asked about it.
    touch(r + "home/notes.txt");
    f.paths.databaseFolder = r + "home/";
    EXPECT_FALSE(f.commands.cleanDatabaseFolder());
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_EQ(f.messages.shown[0].kind, MessageKind::Error);
    EXPECT_TRUE(FileSystem::exists(r + "home/notes.txt"));
}

TEST(FolderCommands, databaseCleaningAsksTwiceAndDeletesEverythingInsideOrSaysWhatIsLeft)
{
    struct Case {
        std::deque<MessageAnswer> answers;
        const char *unremovable;
        std::size_t boxes;
        std::string last;
        bool deleted;
    } cases[] = {
        {{MessageAnswer::Cancel}, nullptr, 2, Cancelled, false},
        {{MessageAnswer::Yes, MessageAnswer::Cancel}, nullptr, 3, Cancelled, false},
        {{MessageAnswer::Yes, MessageAnswer::Yes}, nullptr, 3, "All database files have been deleted.", true},
        {{MessageAnswer::Yes, MessageAnswer::Yes}, "keep.txt", 3, "sub/keep.txt\n", false},
        {{MessageAnswer::Yes, MessageAnswer::Yes}, "link", 3, "\nlink\n", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.last);
        Folders f;
        const std::string db = f.paths.databaseFolder;
        touch(db + "a.jpg");
        touch(db + "locked.mp3", 0444);
        FileSystem::createFolders(db + "sub/deeper");
        touch(db + "sub/keep.txt");
        touch(f.paths.programFolder + "settings.mtr");
        ::symlink((f.paths.programFolder + "settings.mtr").c_str(), (db + "link").c_str());
        ::symlink(f.paths.programFolder.c_str(), (db + "sub/folderlink").c_str());
        f.messages.answers = c.answers;
        if (c.unremovable)
            FileSystem::setRemoveFault(c.unremovable, EBUSY);
        const bool cleaned = f.commands.cleanDatabaseFolder();
        FileSystem::clearWriteFault();

        const bool asked = c.answers.size() == 2 && c.answers[1] == MessageAnswer::Yes;
        EXPECT_EQ(cleaned, c.deleted);
        ASSERT_EQ(f.messages.shown.size(), c.boxes);
        EXPECT_EQ(f.messages.shown[0].kind, MessageKind::Warning);
        EXPECT_EQ(f.messages.shown[0].buttons, MessageButtons::YesCancel);
        if (asked && c.unremovable) {
            // No success claimed: the box names what is left.
            EXPECT_EQ(f.messages.shown.back().kind, MessageKind::Error);
            EXPECT_EQ(f.messages.shown.back().text.rfind("Not everything in the database folder could be deleted.", 0),
                      0u);
            EXPECT_NE(f.messages.shown.back().text.find(c.last), std::string::npos) << f.messages.shown.back().text;
            EXPECT_EQ(f.messages.shown.back().text.find("a.jpg"), std::string::npos);
        } else {
            EXPECT_EQ(f.messages.shown.back().text, c.last);
            EXPECT_EQ(f.messages.shown.back().kind, MessageKind::Plain);
        }
        EXPECT_EQ(FileSystem::exists(db + "a.jpg"), !asked);
        EXPECT_EQ(FileSystem::exists(db + "locked.mp3"), !asked);
        EXPECT_EQ(FileSystem::isDirectory(db + "sub/deeper"), !asked);
        EXPECT_EQ(FileSystem::exists(db + "sub/keep.txt"), !c.deleted && (!asked || std::string(c.unremovable) == "keep.txt"));
        if (c.deleted) {
            EXPECT_TRUE(FileSystem::listFolder(db)->empty());
        }
        // The folder itself stays; nothing a link leads to is touched.
        EXPECT_TRUE(FileSystem::isDirectory(db));
        EXPECT_TRUE(FileSystem::exists(f.paths.programFolder + "settings.mtr"));
    }
}

TEST(FolderCommands, tempCleaningKeepsLiveCopiesFoldersAndRecreatesOurs)
{
    Folders f;
    const std::string tmp = f.paths.tempFolder;
    for (const char *d : {"1", "2", "7"})
        FileSystem::createFolders(tmp + d);
    touch(tmp + "1/work.tmp");
    touch(tmp + "2/work.tmp");
    touch(tmp + "3/mine.tmp");
    touch(tmp + "stray.tmp", 0444);
    touch(tmp + "7/old.tmp");
    // Copies 1 and our own (3) are running; 2 and 7 were left by crashed copies.
    ASSERT_TRUE(FolderLock::hold(tmp + "1"));
    ASSERT_TRUE(FolderLock::hold(f.paths.instanceTempFolder));

    EXPECT_TRUE(f.commands.cleanTempFolder());
    ASSERT_EQ(f.messages.shown.size(), 2u);
    EXPECT_EQ(f.messages.shown[0].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(f.messages.shown[1].text, "All temporary files have been deleted.");
    EXPECT_TRUE(FileSystem::exists(tmp + "1/work.tmp"));
    EXPECT_FALSE(FileSystem::exists(tmp + "2"));
    EXPECT_FALSE(FileSystem::exists(tmp + "7"));
    EXPECT_FALSE(FileSystem::exists(tmp + "stray.tmp"));
    EXPECT_TRUE(FileSystem::isDirectory(tmp + "3"));
    EXPECT_FALSE(FileSystem::exists(tmp + "3/mine.tmp"));
    EXPECT_EQ(f.paths.instanceTempFolder, tmp + "3/");
    FolderLock::release(tmp + "1");
    FolderLock::release(tmp + "3");

    // Cancel deletes nothing; our folder removed behind our back comes back on OK.
    FileSystem::RemoveFolder(tmp + "3");
    touch(tmp + "other.tmp");
    f.messages.shown.clear();
    f.messages.answers = {MessageAnswer::Cancel, MessageAnswer::Ok};
    EXPECT_FALSE(f.commands.cleanTempFolder());
    EXPECT_EQ(f.messages.texts().back(), Cancelled);
    EXPECT_TRUE(FileSystem::exists(tmp + "other.tmp"));
    EXPECT_TRUE(f.commands.cleanTempFolder());
    EXPECT_FALSE(FileSystem::exists(tmp + "other.tmp"));
    EXPECT_TRUE(FileSystem::isDirectory(tmp + "3"));
    EXPECT_EQ(f.paths.instanceTempFolder, tmp + "3/");
    FolderLock::release(tmp + "3");

    // Anything but a real ".../QuorvexTmp/" folder is refused untouched.
    const std::string r = FileSystem::longForm(f.root.path()) + "/";
    touch(r + "home/Documents/letter.txt");
    ::symlink((r + "home/Documents").c_str(), (r + "tmp/Fake").c_str());
    FileSystem::createFolders(r + "tmp/link");
    ::symlink((r + "home/Documents").c_str(), (r + "tmp/link/QuorvexTmp").c_str());
    for (const std::string &bad : {r + "home/Documents/", std::string("QuorvexTmp/"), r + "tmp/link/QuorvexTmp/"})
        EXPECT_FALSE(FolderCommands::clearSharedTempFolder(bad, "")) << bad;
    EXPECT_TRUE(FileSystem::exists(r + "home/Documents/letter.txt"));
}

TEST(FolderCommands, changingTheDatabaseFolderFollowsWarningChooserAndExistence)
{
    struct Case {
        MessageAnswer warning;
        std::optional<std::string> chosen; // relative to the scratch root
        int choosersShown;
        bool changed;
        std::vector<std::string> plainTexts;
    } cases[] = {
        {MessageAnswer::Cancel, std::string("home/Documents/"), 0, false, {}},
        {MessageAnswer::Yes, std::nullopt, 1, false, {}},
        {MessageAnswer::Yes, std::string("home/missing/"), 1, false, {NotUpdated}},
        {MessageAnswer::Yes, std::string("home/Documents/../Documents/"), 1, true, {}},
    };
    for (const Case &c : cases) {
        Folders f;
        const std::string r = FileSystem::longForm(f.root.path()) + "/";
        const std::string before = f.paths.databaseFolder;
        ScriptedChooser chooser;
        if (c.chosen)
            chooser.result = r + *c.chosen;
        f.messages.answers = {c.warning};
        const auto changed = f.commands.changeDatabaseFolder(chooser, "/shown/folder/");
        EXPECT_EQ(chooser.presets, std::vector<std::string>{"/shown/folder/"});
        EXPECT_EQ(chooser.shown, c.choosersShown);
        EXPECT_EQ(f.messages.shown.at(0).buttons, MessageButtons::YesCancel);
        const std::vector<std::string> texts = f.messages.texts();
        const std::vector<std::string> rest(texts.begin() + 1, texts.end());
        EXPECT_EQ(rest, c.plainTexts);
        EXPECT_EQ(changed.has_value(), c.changed);
        EXPECT_EQ(f.paths.databaseFolder, c.changed ? r + "home/Documents/" : before);
    }
}
