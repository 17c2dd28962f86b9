#include "FakeServices.h"
#include "TempFolder.h"
#include "platform/core/FileSystem.h"
#include "app/core/ProgramFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using quorvex::FileSystem;
using quorvex::test::EditorFixture;
using quorvex::test::TempFolder;

namespace {

struct StartedCopy : EditorFixture {
    explicit StartedCopy(const TempFolder &root)
    {
        FileSystem::createFolders(root.file("program"));
        FileSystem::createFolders(root.file("docs"));
        FileSystem::createFolders(root.file("tmp"));
        editor.constructPaths(root.file("program"), root.file("docs"), root.file("tmp"));
    }
    bool start()
    {
        if (!editor.ensureDatabaseFolder() || !editor.ensureTempFolder())
            return false;
        editor.IncrementRunCount();
        editor.makeInstanceTempFolder();
        return true;
    }
};

std::string readAll(const std::string &path)
{
    return FileSystem::readFile(path).value_or("<missing>");
}

} // namespace

TEST(Startup, pathsEndInSlashAndWorkingFolderIsTheProgramFolder)
{
    TempFolder root;
    StartedCopy copy(root);
    const auto &p = copy.editor.paths();
    EXPECT_EQ(p.programFolder, FileSystem::longForm(root.file("program")) + "/");
    EXPECT_EQ(p.databaseFolder, p.programFolder + "Database/");
    EXPECT_EQ(p.runCountFile, p.programFolder + "RunCount.mtr");
    EXPECT_EQ(p.helpFile, p.programFolder + "Quorvex_Documentation.pdf");
    EXPECT_EQ(p.tempFolder, FileSystem::longForm(root.file("tmp")) + "/QuorvexTmp/");
    EXPECT_EQ(FileSystem::currentFolder() + "/", p.programFolder);
}

TEST(Startup, rootProgramFolderGetsNoSecondSlash)
{
    EditorFixture f;
    const std::string before = FileSystem::currentFolder();
    f.editor.constructPaths("/", "/", "/tmp");
    EXPECT_EQ(f.editor.paths().programFolder, "/");
    FileSystem::setCurrentFolder(before);
}

TEST(Startup, withoutDocumentsFolderTheTempCheckEndsTheProgram)
{
    EditorFixture f;
    const std::string before = FileSystem::currentFolder();
    f.editor.constructPaths(before, "", "/tmp");
    EXPECT_TRUE(f.editor.paths().tempFolder.empty());
    EXPECT_FALSE(f.editor.ensureTempFolder());
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_NE(f.messages.shown[0].text.find("temporary folder in order to work.\nThe program will be closed."),
              std::string::npos);
}

TEST(RunCount, firstCopyCreatesCounterWithOneAndTakesFolderOne)
{
    TempFolder root;
    StartedCopy copy(root);
    ASSERT_TRUE(copy.start());
    EXPECT_EQ(readAll(copy.editor.paths().runCountFile),
              "1\n//This file keeps track of how many Quorvex programs are running.\n"
              "//Do not modify this value unless it is not correct due to a program crash.");
    EXPECT_EQ(copy.editor.paths().instanceTempFolder, copy.editor.paths().tempFolder + "1/");
    EXPECT_TRUE(FileSystem::isDirectory(copy.editor.paths().instanceTempFolder));
    EXPECT_TRUE(copy.editor.runCountRegistered);
    EXPECT_TRUE(FileSystem::isDirectory(copy.editor.paths().databaseFolder));
}

TEST(RunCount, secondCopySkipsALeftoverFolderAndBothExitsLeaveZero)
{
    TempFolder root;
    StartedCopy first(root);
    ASSERT_TRUE(first.start());
    FileSystem::createFolder(first.editor.paths().tempFolder + "2"); // left by a crash
    StartedCopy second(root);
    ASSERT_TRUE(second.start());
    EXPECT_EQ(second.editor.runningCount, 2);
    EXPECT_EQ(second.editor.paths().instanceTempFolder, second.editor.paths().tempFolder + "3/");
    first.editor.shutdown(true);
    second.editor.shutdown(true);
    EXPECT_EQ(readAll(first.editor.paths().runCountFile).substr(0, 2), "0\n");
    EXPECT_FALSE(FileSystem::exists(first.editor.paths().tempFolder + "1"));
    EXPECT_FALSE(FileSystem::exists(first.editor.paths().tempFolder + "3"));
    EXPECT_TRUE(first.messages.shown.empty());
}

TEST(RunCount, counterAtZeroStaysZeroAndGarbageCountsFromHeldValue)
{
    TempFolder root;
    StartedCopy copy(root);
    const std::string file = copy.editor.paths().runCountFile;
    ASSERT_TRUE(FileSystem::writeFileAtomic(file, "0\n"));
    copy.editor.runCountRegistered = true;
    copy.editor.DecrementRunCount();
    EXPECT_EQ(readAll(file).substr(0, 2), "0\n");

    ASSERT_TRUE(FileSystem::writeFileAtomic(file, "seven\n"));
    copy.editor.runningCount = 0;
    copy.editor.IncrementRunCount();
    EXPECT_EQ(copy.editor.runningCount, 1);

    ASSERT_TRUE(FileSystem::writeFileAtomic(file, "  \n\t 41 copies"));
    copy.editor.IncrementRunCount();
    EXPECT_EQ(copy.editor.runningCount, 42);
}

TEST(RunCount, unreadableCounterIsReportedAndNotUncountedAtExit)
{
    TempFolder root;
    StartedCopy copy(root);
    // A folder in place of the file cannot be read as one.
    FileSystem::createFolder(copy.editor.paths().runCountFile);
    copy.editor.IncrementRunCount();
    EXPECT_FALSE(copy.editor.runCountRegistered);
    ASSERT_EQ(copy.messages.shown.size(), 1u);
    EXPECT_EQ(copy.messages.shown[0].text.rfind("Unable to open file:\n\n" + copy.editor.paths().runCountFile, 0),
              0u);
    copy.editor.shutdown(true);
    EXPECT_EQ(copy.messages.shown.size(), 1u);

    // A pipe in its place is reported at once rather than waited on.
    ASSERT_TRUE(FileSystem::RemoveFolder(copy.editor.paths().runCountFile));
    ASSERT_EQ(::mkfifo(copy.editor.paths().runCountFile.c_str(), 0644), 0);
    copy.editor.IncrementRunCount();
    EXPECT_FALSE(copy.editor.runCountRegistered);
    EXPECT_EQ(copy.messages.shown.size(), 2u);
}

TEST(FolderDeletion, removesNestedFoldersAndReadOnlyFilesButNotLinkTargets)
{
    TempFolder root;
    const std::string victim = root.file("outside/");
    FileSystem::createFolders(victim);
    FileSystem::writeFileAtomic(victim + "keep.txt", "keep");
    const std::string folder = root.file("inst/");
    FileSystem::createFolders(folder + "sub/deeper");
    FileSystem::writeFileAtomic(folder + "ro.txt", "x");
    FileSystem::writeFileAtomic(folder + "sub/deeper/ro2.txt", "y");
    ::chmod((folder + "ro.txt").c_str(), 0444);
    ::chmod((folder + "sub/deeper/ro2.txt").c_str(), 0400);
    ASSERT_EQ(::symlink(victim.c_str(), (folder + "link").c_str()), 0);

    EXPECT_TRUE(FileSystem::RemoveFolder(folder));
    EXPECT_FALSE(FileSystem::exists(folder));
    EXPECT_EQ(readAll(victim + "keep.txt"), "keep");
}

TEST(FolderDeletion, clearKeepsTheFolderAndMissingFolderFails)
{
    TempFolder root;
    const std::string folder = root.file("t/");
    FileSystem::createFolders(folder);
    FileSystem::writeFileAtomic(folder + "a", "1");
    EXPECT_TRUE(FileSystem::ClearFolder(folder));
    EXPECT_TRUE(FileSystem::isDirectory(folder));
    EXPECT_TRUE(FileSystem::listFolder(folder)->empty());
    EXPECT_FALSE(FileSystem::ClearFolder(root.file("missing/")));
    EXPECT_FALSE(FileSystem::RemoveFolder(root.file("missing/")));
}

TEST(FileSystem, timesRoundTripAtHundredNanosecondsAndCopyRefusesToOverwrite)
{
    TempFolder root;
    const std::string a = root.file("a.bin");
    ASSERT_TRUE(FileSystem::writeFileAtomic(a, "abc"));
    const std::uint64_t written = 132000000001234567ULL;
    const std::uint64_t accessed = 132000000009876543ULL;
    ASSERT_TRUE(FileSystem::setTimes(a, accessed, written));
    const auto t = FileSystem::times(a);
    ASSERT_TRUE(t.has_value());
    EXPECT_EQ(t->written, written);
    EXPECT_EQ(t->accessed, accessed);

    const std::string b = root.file("b.bin");
    EXPECT_TRUE(FileSystem::copyNoOverwrite(a, b));
    EXPECT_FALSE(FileSystem::copyNoOverwrite(a, b));
    struct stat st;
    ASSERT_EQ(::stat(b.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0111, 0u);
    ::chmod(b.c_str(), 0444);
    EXPECT_TRUE(FileSystem::isReadOnly(b));
    EXPECT_TRUE(FileSystem::makeWritable(b));
    EXPECT_FALSE(FileSystem::isReadOnly(b));
}

TEST(Exit, fallbackToSharedTempFolderOnlyEmptiesIt)
{
    TempFolder root;
    StartedCopy copy(root);
    ASSERT_TRUE(copy.start());
    copy.editor.shutdown(true);
    copy.editor.paths().instanceTempFolder = copy.editor.paths().tempFolder;
    FileSystem::writeFileAtomic(copy.editor.paths().tempFolder + "junk", "j");
    copy.editor.shutdown(true);
    EXPECT_TRUE(FileSystem::isDirectory(copy.editor.paths().tempFolder));
    EXPECT_FALSE(FileSystem::exists(copy.editor.paths().tempFolder + "junk"));
}

TEST(Help, missingHelpFileIsReportedAndPresentOneIsOpened)
{
    TempFolder root;
    StartedCopy copy(root);
    copy.editor.openHelp();
    ASSERT_EQ(copy.messages.shown.size(), 1u);
    EXPECT_EQ(copy.messages.shown[0].text, "Unable to open help file:\n\n" + copy.editor.paths().helpFile +
                                               "\n\nThe file does not exist at the specified location.");
    FileSystem::writeFileAtomic(copy.editor.paths().helpFile, "%PDF");
    copy.editor.openHelp();
    ASSERT_EQ(copy.shell.opened.size(), 1u);
    EXPECT_EQ(copy.shell.opened[0], copy.editor.paths().helpFile);
}

TEST(RunCount, readOnlyCounterIsReportedLeftAsItIsAndNotUncounted)
{
    TempFolder root;
    StartedCopy copy(root);
    const std::string file = copy.editor.paths().runCountFile;
    ASSERT_TRUE(FileSystem::writeFileAtomic(file, "3\n"));
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    copy.editor.IncrementRunCount();
    EXPECT_FALSE(copy.editor.runCountRegistered);
    ASSERT_EQ(copy.messages.shown.size(), 1u);
    EXPECT_EQ(copy.messages.shown[0].text.rfind("Unable to save file:\n\n" + file, 0), 0u);
    EXPECT_EQ(readAll(file), "3\n");
    EXPECT_TRUE(FileSystem::isReadOnly(file));
    copy.editor.shutdown(true);
    EXPECT_EQ(readAll(file), "3\n");
}

// A person's edited template survives a new start; the help document, which
// belongs to the program, follows the installed one so Help never shows old pages.
TEST(Startup, seedKeepsUserFilesButRefreshesAStaleHelpDocument)
{
    TempFolder root;
    const std::string shipped = root.file("shipped/");
    const std::string program = root.file("program/");
    FileSystem::createFolders(shipped + "Templates");
    ASSERT_TRUE(FileSystem::writeFileAtomic(shipped + "Templates/DVD.lst", "shipped template"));
    ASSERT_TRUE(FileSystem::writeFileAtomic(shipped + "Quorvex_Documentation.pdf", "new manual, longer"));
    ASSERT_TRUE(FileSystem::writeFileAtomic(shipped + "quorvex.desktop", "not for the program folder"));
    FileSystem::createFolders(program + "Templates");
    ASSERT_TRUE(FileSystem::writeFileAtomic(program + "Templates/DVD.lst", "edited template"));
    ASSERT_TRUE(FileSystem::writeFileAtomic(program + "Quorvex_Documentation.pdf", "old manual"));

    ASSERT_TRUE(quorvex::ProgramFolder::seed(program, {shipped}));
    EXPECT_EQ(readAll(program + "Templates/DVD.lst"), "edited template");
    EXPECT_EQ(readAll(program + "Quorvex_Documentation.pdf"), "new manual, longer");
    EXPECT_FALSE(FileSystem::exists(program + "Quorvex_Documentation.pdf.part"));
    EXPECT_FALSE(FileSystem::exists(program + "quorvex.desktop"));

    // Same size, older shipped copy: the program folder's copy stays.
    ASSERT_TRUE(FileSystem::writeFileAtomic(program + "Quorvex_Documentation.pdf", "new manual, LONGER"));
    const auto stamp = FileSystem::times(program + "Quorvex_Documentation.pdf");
    ASSERT_TRUE(stamp);
    ASSERT_TRUE(FileSystem::setTimes(shipped + "Quorvex_Documentation.pdf", stamp->accessed, stamp->written - 10000000));
    ASSERT_TRUE(quorvex::ProgramFolder::seed(program, {shipped}));
    EXPECT_EQ(readAll(program + "Quorvex_Documentation.pdf"), "new manual, LONGER");
}
