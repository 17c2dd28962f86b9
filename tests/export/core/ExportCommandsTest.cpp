// File > Export > CSV and HTML catalogue as the window runs them, and the
// same exports from quorvex-cli.
#include "export/core/HtmlCatalogue.h"
#include "export/core/ListExportCommands.h"
#include "document/core/AttachmentRef.h"
#include "document/core/Editor.h"
#include "listfile/core/ListFileWriter.h"
#include "platform/core/FileSystem.h"
#include "FakeServices.h"
#include "PictureBytes.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#ifndef QUORVEX_CLI_PATH
#error "QUORVEX_CLI_PATH must name the built quorvex-cli"
#endif

using namespace quorvex;
using namespace quorvex::test;

namespace {

struct Window {
    ScriptedMessages messages;
    RecordingProgress progress;
    FakeShell shell;
    FakeClipboard clipboard;
    Editor editor{UiServices{messages, progress, shell, clipboard}};
    ListExportCommands commands{editor};

    explicit Window(const std::string &database)
    {
        editor.paths().databaseFolder = database;
        ListDocument &doc = editor.document();
        doc.SetColCount(3);
        doc.SetRowCount(3);
        doc.SetCell(1, 0, "Title");
        doc.SetCell(2, 0, "Cover");
        doc.SetCell(1, 1, "Heat");
        doc.SetCell(2, 1, AttachmentRef::make('\x01', "cover.jpg"));
        doc.SetCell(1, 2, "Ran");
        doc.SetCell(2, 2, AttachmentRef::make('\x01', "lost.jpg"));
    }
};

struct CliRun {
    int code = -1;
    std::string out, err;
};

CliRun runCli(const TempFolder &scratch, const std::vector<std::string> &args)
{
    const std::string outPath = scratch.file(".out"), errPath = scratch.file(".err");
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || err < 0)
            ::_exit(127);
        ::dup2(out, 1);
        ::dup2(err, 2);
        std::vector<std::string> copies(args);
        std::string program = QUORVEX_CLI_PATH;
        std::vector<char *> argv{&program[0]};
        for (std::string &a : copies)
            argv.push_back(&a[0]);
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    CliRun r;
    int status = 0;
    if (pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status))
        r.code = WEXITSTATUS(status);
    r.out = FileSystem::readFile(outPath).value_or("");
    r.err = FileSystem::readFile(errPath).value_or("");
    FileSystem::removeFile(outPath);
    FileSystem::removeFile(errPath);
    return r;
}

} // namespace

TEST(ListExportCommands, exportCsv_asksBeforeAReadOnlyFileAndKeepsItOnNo)
{
    TempFolder dir;
    const std::string path = dir.file("list.csv");
    const struct {
        bool readOnly;
        MessageAnswer answer;
        int result;
        bool replaced;
        std::vector<std::string> texts;
    } cases[] = {
        {false, MessageAnswer::Yes, ResultOk, true, {}},
        {true, MessageAnswer::No, ResultSkipped, false,
         {ListExportCommands::CsvReadOnlyQuestion, ListExportCommands::NotExported}},
        {true, MessageAnswer::Yes, ResultOk, true, {ListExportCommands::CsvReadOnlyQuestion}},
    };
    for (const auto &c : cases) {
        Window w(dir.file("db/"));
        ::chmod(path.c_str(), 0644);
        ASSERT_TRUE(FileSystem::writeFileAtomic(path, "former"));
        if (c.readOnly)
            ::chmod(path.c_str(), 0444);
        w.messages.answers.push_back(c.answer);
        EXPECT_EQ(w.commands.exportCsv(path, {}), c.result);
        EXPECT_EQ(w.messages.texts(), c.texts);
        const std::string now = FileSystem::readFile(path).value_or("");
        EXPECT_EQ(now != "former", c.replaced);
        if (c.replaced) {
            EXPECT_EQ(now, "\xEF\xBB\xBFTitle,Cover\r\nHeat,cover.jpg\r\nRan,lost.jpg\r\n");
        }
        EXPECT_EQ(w.editor.statusBar().progress(), 0);
    }
    Window cancelled(dir.file("db/"));
    EXPECT_EQ(cancelled.commands.exportCsv(std::nullopt, {}), ResultSkipped);
    EXPECT_TRUE(cancelled.messages.shown.empty());
}

TEST(ListExportCommands, exportCatalogue_asksBeforeReplacingThenOpensTheBrowser)
{
    TempFolder dir;
    ASSERT_TRUE(FileSystem::createFolders(dir.file("db/")));
    ASSERT_TRUE(FileSystem::writeFileAtomic(dir.file("db/cover.jpg"), makeJpeg(200, 200)));
    const std::string out = dir.file("site");
    const std::string index = out + "/index.html";

    Window w(dir.file("db/"));
    EXPECT_EQ(w.commands.exportCatalogue(out, {}, "Films"), ResultOk);
    ASSERT_EQ(w.messages.shown.size(), 1u);
    EXPECT_EQ(w.messages.shown[0].kind, MessageKind::Warning);
    EXPECT_NE(w.messages.shown[0].text.find("1 picture is not in the database folder:\nlost.jpg"), std::string::npos);
    EXPECT_EQ(w.shell.opened, std::vector<std::string>{index});
    EXPECT_TRUE(FileSystem::exists(out + "/thumbs/cover.jpg.jpg"));

    const struct {
        bool foreign;
        MessageAnswer answer;
        int result;
    } cases[] = {
        {false, MessageAnswer::No, ResultSkipped},
        {false, MessageAnswer::Yes, ResultOk},
        {true, MessageAnswer::No, ResultSkipped},
        {true, MessageAnswer::Yes, ResultOk},
    };
    for (const auto &c : cases) {
        if (c.foreign) {
            ASSERT_TRUE(FileSystem::writeFileAtomic(index, "<html>my own page</html>"));
        }
        const std::string before = FileSystem::readFile(index).value_or("");
        Window again(dir.file("db/"));
        again.messages.answers.push_back(c.answer);
        EXPECT_EQ(again.commands.exportCatalogue(out, {2}, "Films"), c.result);
        EXPECT_EQ(again.messages.shown.at(0).text, ListExportCommands::replaceCatalogueQuestion(out, c.foreign));
        EXPECT_EQ(FileSystem::readFile(index).value_or("") == before, c.result == ResultSkipped);
        EXPECT_EQ(again.shell.opened.size(), c.result == ResultOk ? 1u : 0u);
    }

    // A folder that cannot be made is an error, and nothing is opened.
    ASSERT_TRUE(FileSystem::writeFileAtomic(dir.file("plain"), "x"));
    Window failing(dir.file("db/"));
    EXPECT_EQ(failing.commands.exportCatalogue(dir.file("plain/sub"), {}, "Films"), ResultFailed);
    EXPECT_EQ(failing.messages.shown.at(0).kind, MessageKind::Error);
    EXPECT_TRUE(failing.shell.opened.empty());
}

TEST(ListExportCommands, cli_exportsCsvAndCatalogueAndRefusesAForeignPage)
{
    TempFolder dir;
    ASSERT_TRUE(FileSystem::createFolders(dir.file("db/")));
    ASSERT_TRUE(FileSystem::writeFileAtomic(dir.file("db/cover.jpg"), makeJpeg(320, 240)));
    Window w(dir.file("db/"));
    ScriptedMessages messages;
    SilentProgress progress;
    ListFileWriter writer(messages, progress);
    writer.setDatabaseFolder(dir.file("db/"));
    PageSetup setup;
    const std::string list = dir.file("films.lstd");
    ASSERT_EQ(writer.SaveList_V12(list, ListFileSource{w.editor.document(), setup, "dvdmovie"}), ResultOk);

    CliRun csv = runCli(dir, {"export", list, dir.file("films.csv"), "--csv"});
    EXPECT_EQ(csv.code, 0) << csv.err;
    EXPECT_EQ(FileSystem::readFile(dir.file("films.csv")).value_or(""),
              "\xEF\xBB\xBFTitle,Cover\r\nHeat,cover.jpg\r\nRan,lost.jpg\r\n");
    CliRun stdoutCsv = runCli(dir, {"export", list, "-", "--csv"});
    EXPECT_EQ(stdoutCsv.out, FileSystem::readFile(dir.file("films.csv")).value_or("?"));

    const std::string out = dir.file("site");
    CliRun html = runCli(dir, {"html", list, out, "--database", dir.file("db"), "--template", "all wood 1"});
    EXPECT_EQ(html.code, 0) << html.err;
    EXPECT_EQ(html.out, "rows: 2\npictures: 2\nthumbnails written: 1\nthumbnails kept: 0\n");
    EXPECT_NE(html.err.find("warning: lost.jpg is not in the database folder"), std::string::npos) << html.err;
    const std::string page = FileSystem::readFile(out + "/index.html").value_or("");
    EXPECT_NE(page.find("<title>films</title>"), std::string::npos);
    // "All Wood 1" paints the selected rows maroon.
    EXPECT_NE(page.find("tr:hover{background:#800000"), std::string::npos);

    ASSERT_TRUE(FileSystem::writeFileAtomic(out + "/index.html", "<html>my own page</html>"));
    CliRun refused = runCli(dir, {"html", list, out, "--database", dir.file("db")});
    EXPECT_EQ(refused.code, 1);
    EXPECT_EQ(FileSystem::readFile(out + "/index.html").value_or(""), "<html>my own page</html>");
    CliRun replaced = runCli(dir, {"html", list, out, "--database", dir.file("db"), "--replace"});
    EXPECT_EQ(replaced.code, 0) << replaced.err;
    EXPECT_NE(replaced.out.find("thumbnails kept: 1"), std::string::npos);

    for (const std::vector<std::string> &bad : std::vector<std::vector<std::string>>{
             {"html", list}, {"html", list, out, "--template", "Plaid"}, {"export", list, "x.csv", "--csv", "--csv"}})
        EXPECT_EQ(runCli(dir, bad).code, 2) << bad.back();
}
