#include "FakeServices.h"
#include "TempFolder.h"
#include "platform/core/FileSystem.h"
#include "document/core/AttachmentRef.h"
#include "cli/core/NonInteractiveMessages.h"
#include "document/core/ListDocument.h"
#include "listfile/core/ListFileReader.h"
#include "listfile/core/ListFileWriter.h"
#include "listfile/core/TextListImport.h"
#include "document/core/PageSetup.h"
#include "sort/core/SortEngine.h"

#include <array>

#include <cstdint>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <initializer_list>
#include <string>
#include <csignal>
#include <cstdlib>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#ifndef QUORVEX_CLI_PATH
#error "QUORVEX_CLI_PATH must name the built quorvex-cli"
#endif

using quorvex::AttachmentRef;
using quorvex::FileSystem;
using quorvex::ListDocument;
using quorvex::ListFileReader;
using quorvex::ListFileSource;
using quorvex::ListFileTarget;
using quorvex::ListFileWriter;
using quorvex::MessageAnswer;
using quorvex::MessageButtons;
using quorvex::MessageKind;
using quorvex::NonInteractiveMessages;
using quorvex::PageSetup;
using quorvex::TextListImport;
using quorvex::SilentProgress;
using quorvex::test::TempFolder;

namespace {

struct CliRun {
    int code = -1;
    std::string out;
    std::string err;
};

// Runs the built tool with its output captured in files of `scratch`.
// `fileSizeLimit` bytes (RLIMIT_FSIZE) stand in for a nearly full disk.
CliRun runCli(const TempFolder &scratch, const std::vector<std::string> &args, long long fileSizeLimit = -1)
{
    const std::string outPath = scratch.file(".cli-out");
    const std::string errPath = scratch.file(".cli-err");
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int in = ::open("/dev/null", O_RDONLY);
        if (out < 0 || err < 0 || in < 0)
            ::_exit(127);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        if (fileSizeLimit >= 0) {
            ::signal(SIGXFSZ, SIG_IGN);
            rlimit limit{};
            ::getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = static_cast<rlim_t>(fileSizeLimit);
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        std::vector<char *> argv;
        std::string program = QUORVEX_CLI_PATH;
        argv.push_back(&program[0]);
        std::vector<std::string> copies(args);
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

std::string bytesOf(const std::string &path)
{
    return FileSystem::readFile(path).value_or("<missing>");
}

// Little-endian records as list files hold them.
struct Bytes {
    std::string data;
    Bytes &raw(const std::string &s)
    {
        data += s;
        return *this;
    }
    Bytes &i32(std::int32_t v)
    {
        for (int i = 0; i < 4; ++i)
            data += static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xFF);
        return *this;
    }
    Bytes &text(const std::string &s) { return i32(static_cast<std::int32_t>(s.size())).raw(s); }
};

// A small list with the page setup of the worked example.
struct SmallList {
    ListDocument doc{2, 2};
    PageSetup setup;
    std::string type = "dvdmovie";
    SmallList()
    {
        doc.SetColWidth(0, 16);
        doc.SetColWidth(1, 120);
        setup.maxWidths = {{5, 30, 10, 10, 15, 8, 4, 20}};
        setup.maxEntries = 54;
        setup.leftIndent = 10;
        setup.topIndent = 10;
        doc.SetCell(1, 0, "Tape#");
        doc.SetCell(0, 1, " 1");
    }
    ListFileSource source() const { return ListFileSource{doc, setup, type}; }
};

void save(const SmallList &list, const std::string &path, const std::string &database = std::string())
{
    quorvex::test::ScriptedMessages messages;
    SilentProgress progress;
    ListFileWriter writer(messages, progress);
    writer.setDatabaseFolder(database);
    ASSERT_EQ(writer.save(path, list.source()), 0) << (messages.shown.empty() ? "" : messages.shown[0].text);
}

struct Loaded {
    ListDocument doc;
    PageSetup setup;
    std::string type;
    int result = -1;
};

Loaded loadBack(const std::string &path)
{
    quorvex::test::ScriptedMessages messages;
    SilentProgress progress;
    ListFileReader reader(messages, progress);
    reader.setExtractAttachments(false);
    Loaded l;
    l.result = reader.readFile(path, ListFileTarget{l.doc, l.setup, l.type});
    return l;
}

bool isOneLine(const std::string &err)
{
    return !err.empty() && err.back() == '\n' && err.find('\n') == err.size() - 1 &&
           err.rfind("quorvex-cli: ", 0) == 0;
}

} // namespace

TEST(Cli, wrongArgumentsGiveUsageOnStderrAndExitTwo)
{
    TempFolder t;
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"frobnicate"},
        {"info"},
        {"info", "a.lst", "b.lst"},
        {"export", "a.lst"},
        {"convert", "a.lst", "b.lst", "--database"},
        {"convert", "a.lst", "b.lst", "--type", "cdmusic"},
        {"import", "a.txt", "b.lst", "--database"},
        {"info", "a.lst", "--strict"},
        {"extract", "a.lst", "dir", "--database", "dir"},
        {"replace", "a.lst", "b.lst", "--find", "caf\xE9", "--with", "x"},
        {"replace", "a.lst", "b.lst", "--find", "a", "--with", "\xC0\xAF"},
        {"replace", "a.lst", "b.lst", "--find", "\xED\xA0\x80", "--with", "x"},
        {"import", "a.txt", "b.lst", "--type", std::string(56, 't')},
        {"extract", "a.lst", "dir", "--verbose"},
        {"convert", "", "b.lst"},
    };
    for (const auto &args : cases) {
        const CliRun r = runCli(t, args);
        EXPECT_EQ(r.code, 2) << (args.empty() ? "" : args[0]);
        EXPECT_EQ(r.err.rfind("usage: quorvex-cli info LIST\n", 0), 0u);
        EXPECT_TRUE(r.out.empty());
    }
    EXPECT_FALSE(FileSystem::exists(t.file("b.lst")));
}

TEST(Cli, failuresExitOneWithTheReadersMessageOnOneLine)
{
    TempFolder t;
    FileSystem::writeFileAtomic(t.file("notes.lst"), "just some text, not a list");
    CliRun r = runCli(t, {"info", t.file("notes.lst")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "quorvex-cli: This file is not a valid Quorvex list file. File not opened.\n");

    r = runCli(t, {"export", t.file("missing.lst"), t.file("out.txt")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "quorvex-cli: Unable to open list file. Please make sure the disk is accessible.\n");
    EXPECT_FALSE(FileSystem::exists(t.file("out.txt")));

    SmallList list;
    save(list, t.file("good.lst"));
    const std::string whole = bytesOf(t.file("good.lst"));
    FileSystem::writeFileAtomic(t.file("cut.lst"), whole.substr(0, whole.size() - 7));
    r = runCli(t, {"convert", t.file("cut.lst"), t.file("out.lstd")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(isOneLine(r.err)) << r.err;
    EXPECT_NE(r.err.find("List not completely loaded."), std::string::npos) << r.err;
    EXPECT_FALSE(FileSystem::exists(t.file("out.lstd")));
}

TEST(Cli, convertCarriesEveryVersionByteForByte)
{
    TempFolder t;
    SmallList list;
    list.doc.SetCell(1, 1, "Alien \x85 1979"); // a Windows-1252 byte stays a byte
    save(list, t.file("a.lst"));
    save(list, t.file("a.lstd"));

    CliRun r = runCli(t, {"convert", t.file("a.lst"), t.file("b.LSTD")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(r.err.empty());
    EXPECT_EQ(bytesOf(t.file("b.LSTD")), bytesOf(t.file("a.lstd")));
    r = runCli(t, {"convert", t.file("b.LSTD"), t.file("c.lst")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(bytesOf(t.file("c.lst")), bytesOf(t.file("a.lst")));

    // Page setup values are carried as stored, never recomputed: 7 entries
    // per page would renumber row 1 if anything recomputed it.
    list.setup.maxEntries = 7;
    list.doc.SetCell(0, 1, "");
    save(list, t.file("odd.lst"));
    ASSERT_EQ(runCli(t, {"convert", t.file("odd.lst"), t.file("odd2.lst")}).code, 0);
    EXPECT_EQ(bytesOf(t.file("odd2.lst")), bytesOf(t.file("odd.lst")));
}

TEST(Cli, convertReadsVersionOneZeroIntoTheExampleLayout)
{
    TempFolder t;
    FileSystem::writeFileAtomic(t.file("old.lst"), "version1.0\n2\n2\n16\n120\n5\n30\n10\n10\n15\n8\n4\n20\n54\n10\n10\n0\n"
                                                   "0 \n5 Tape#\n2  1\n0 \n");
    const CliRun r = runCli(t, {"convert", t.file("old.lst"), t.file("new.lst")});
    ASSERT_EQ(r.code, 0) << r.err;
    Bytes expected;
    expected.raw("QuorvexListFile").raw("_ListVersion1.1").i32(28).text("vhsmovie").i32(2).i32(2).i32(16).i32(120);
    expected.i32(45);
    for (int v : {5, 30, 10, 10, 15, 8, 4, 20, 54, 10, 10})
        expected.i32(v);
    expected.raw(std::string(1, '\0'));
    expected.text("").text("Tape#").text(" 1").text("").raw(std::string(1, '\0'));
    EXPECT_EQ(bytesOf(t.file("new.lst")), expected.data);
}

TEST(Cli, convertThroughTheDatabaseFolderBringsAttachmentsBack)
{
    TempFolder t;
    const std::string db = t.file("db/");
    FileSystem::createFolders(db);
    FileSystem::writeFileAtomic(db + "a.txt", "abc");
    const std::uint64_t stamp = FileSystem::ticksFromUnix(1500000000, 0);
    FileSystem::setTimes(db + "a.txt", stamp, stamp);
    SmallList list;
    list.doc.SetCell(1, 1, AttachmentRef::make(quorvex::AttachFile, "a.txt"));
    save(list, t.file("with.lst"), db);

    // Without a database folder the references survive as text in version 1.2 ...
    CliRun r = runCli(t, {"convert", t.file("with.lst"), t.file("refs.lstd")});
    ASSERT_EQ(r.code, 0) << r.err;
    Loaded refs = loadBack(t.file("refs.lstd"));
    EXPECT_EQ(refs.doc.GetCell(1, 1), AttachmentRef::make(quorvex::AttachFile, "a.txt"));

    // ... but with --strict a version 1.1 list is not written without the
    // files: the missing-file question is answered Cancel and nothing is written.
    r = runCli(t, {"convert", t.file("refs.lstd"), t.file("lost.lst"), "--strict"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(isOneLine(r.err)) << r.err;
    EXPECT_NE(r.err.find("Error saving the following source file to the list:"), std::string::npos) << r.err;
    EXPECT_FALSE(FileSystem::exists(t.file("lost.lst")));

    const std::string other = t.file("other/");
    r = runCli(t, {"convert", t.file("with.lst"), t.file("refs2.lstd"), "--database", other});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(bytesOf(other + "a.txt"), "abc");
    EXPECT_EQ(FileSystem::times(other + "a.txt")->written, stamp);
    r = runCli(t, {"convert", t.file("refs2.lstd"), t.file("back.lst"), "--database=" + other});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(bytesOf(t.file("back.lst")).size(), bytesOf(t.file("with.lst")).size());
    EXPECT_EQ(bytesOf(t.file("back.lst")).substr(bytesOf(t.file("back.lst")).size() - 4), std::string("abc\0", 4));
}

TEST(Cli, exportWritesTheExportFileBytes)
{
    TempFolder t;
    ListDocument doc(4, 3);
    doc.SetCell(1, 0, "Tape#");
    doc.SetCell(2, 0, "Movie Title");
    doc.SetCell(3, 0, "Year");
    doc.SetCell(0, 1, " 1");
    doc.SetCell(1, 1, "12");
    doc.SetCell(2, 1, "two\nlines");
    doc.SetCell(3, 1, AttachmentRef::make(quorvex::AttachPicture, "c.jpg"));
    SmallList list;
    list.doc = doc;
    save(list, t.file("films.lstd"));

    const CliRun r = runCli(t, {"export", t.file("films.lstd"), t.file("films.txt")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(r.out.empty());
    EXPECT_EQ(bytesOf(t.file("films.txt")),
              std::string("Tape#\tMovie Title\tYear\r12\ttwo\r\nlines\t\x01\x01"
                          "c.jpg\r\t\t\r"));
}

TEST(Cli, exportNeverReplacesAReadOnlyFile)
{
    TempFolder t;
    SmallList list;
    save(list, t.file("a.lst"));
    FileSystem::writeFileAtomic(t.file("kept.txt"), "mine");
    ASSERT_EQ(::chmod(t.file("kept.txt").c_str(), 0444), 0);
    const CliRun r = runCli(t, {"export", t.file("a.lst"), t.file("kept.txt")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(isOneLine(r.err)) << r.err;
    EXPECT_EQ(bytesOf(t.file("kept.txt")), "mine");
}

TEST(Cli, importMakesANewListWithPageNumbersAndDefaultPageSetup)
{
    TempFolder t;
    FileSystem::writeFileAtomic(t.file("in.txt"), "Artist\tAlbum\r\nQueen\tJazz\n\nABBA\tArrival\tbonus\r");
    CliRun r = runCli(t, {"import", t.file("in.txt"), t.file("music.lst"), "--type", "cdmusic"});
    ASSERT_EQ(r.code, 0) << r.err;
    Loaded l = loadBack(t.file("music.lst"));
    ASSERT_EQ(l.result, 0);
    EXPECT_EQ(l.type, "cdmusic");
    EXPECT_EQ(l.doc.ColCount(), 4);
    EXPECT_EQ(l.doc.RowCount(), 4);
    EXPECT_EQ(l.doc.GetCell(1, 0), "Artist");
    EXPECT_EQ(l.doc.GetCell(2, 1), "Jazz");
    EXPECT_EQ(l.doc.GetCell(1, 2), "");
    EXPECT_EQ(l.doc.GetCell(3, 3), "bonus");
    EXPECT_EQ(l.doc.GetCell(0, 1), " 1");
    EXPECT_EQ(l.doc.GetCell(0, 2), "");
    EXPECT_EQ(l.setup, PageSetup{});
    // Columns as wide as the window's import makes them.
    ListDocument fitted = l.doc;
    TextListImport::fitColumnWidths(fitted);
    for (int c = 0; c < l.doc.ColCount(); ++c)
        EXPECT_EQ(l.doc.ColWidth(c), fitted.ColWidth(c)) << c;
    EXPECT_GT(l.doc.ColWidth(2), ListDocument::DefaultColWidth) << "\"Arrival\" is measured";

    // Exporting it again gives the text back, with CR line ends.
    r = runCli(t, {"export", t.file("music.lst"), t.file("out.txt")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(bytesOf(t.file("out.txt")), "Artist\tAlbum\t\rQueen\tJazz\t\r\t\t\rABBA\tArrival\tbonus\r");

    FileSystem::writeFileAtomic(t.file("empty.txt"), "");
    r = runCli(t, {"import", t.file("empty.txt"), t.file("empty.lstd")});
    ASSERT_EQ(r.code, 0) << r.err;
    l = loadBack(t.file("empty.lstd"));
    EXPECT_EQ(l.type, "dvdmovie");
    EXPECT_EQ(l.doc.RowCount(), 2);
    EXPECT_EQ(l.doc.ColCount(), 2);

    r = runCli(t, {"import", t.file("no-such.txt"), t.file("x.lst")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(isOneLine(r.err)) << r.err;
}

TEST(Cli, importReadsSpreadsheetCsvAndSaysWhatBecameQuestionMarks)
{
    TempFolder t;
    FileSystem::writeFileAtomic(t.file("in.csv"),
                                "Title,Note\r\n\"Heat, 1995\",\"two\r\nlines\"\r\nCaf\xC3\xA9 \xE4\xB8\xAD,x\r\n");
    CliRun r = runCli(t, {"import", t.file("in.csv"), t.file("out.lst")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.err.find("1 character Windows-1252 cannot hold became \"?\""), std::string::npos) << r.err;
    Loaded l = loadBack(t.file("out.lst"));
    ASSERT_EQ(l.result, 0);
    EXPECT_EQ(l.doc.ColCount(), 3);
    EXPECT_EQ(l.doc.GetCell(1, 1), "Heat, 1995");
    EXPECT_EQ(l.doc.GetCell(2, 1), "two\r\nlines");
    EXPECT_EQ(l.doc.GetCell(1, 2), "Caf\xE9 ?");

    // Hostile text: one line, nothing written.
    FileSystem::writeFileAtomic(t.file("open.csv"), "a,b\n\"never closed\n");
    r = runCli(t, {"import", t.file("open.csv"), t.file("bad.lst")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(isOneLine(r.err)) << r.err;
    EXPECT_FALSE(FileSystem::exists(t.file("bad.lst")));

    r = runCli(t, {"--version"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "quorvex-cli 1.6.0\n");
}

TEST(Cli, infoListsSizesPageSetupReferencesAndEmbeddedFiles)
{
    TempFolder t;
    const std::string db = t.file("db/");
    FileSystem::createFolders(db);
    FileSystem::writeFileAtomic(db + "a.txt", "abc");
    SmallList list;
    list.doc.SetCell(1, 1, AttachmentRef::make(quorvex::AttachFile, "a.txt"));
    list.doc.SetCell(0, 0, AttachmentRef::make(quorvex::AttachFile, "a.txt"));
    save(list, t.file("a.lst"), db);

    const CliRun r = runCli(t, {"info", t.file("a.lst")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "version: 1.1\ntext: Windows-1252\nlist type: dvdmovie\ncolumns: 2\nrows: 2\ncolumn widths: 16 120\n"
                     "maximum widths: 5 30 10 10 15 8 4 20\nentries per page: 54\nleft indent: 10\ntop indent: "
                     "10\norientation: portrait\nattachment references: 2\n  column 0, row 0: file a.txt\n"
                     "  column 1, row 1: file a.txt\nembedded files: 1\n  a.txt: 3 bytes\n");
    // Reading for information writes nothing anywhere.
    FileSystem::ClearFolder(db);
    EXPECT_EQ(runCli(t, {"info", t.file("a.lst")}).code, 0);
    EXPECT_TRUE(FileSystem::listFolder(db)->empty());
}

TEST(Cli, extractWritesEmbeddedFilesOnlyInsideTheFolder)
{
    TempFolder t;
    const std::string db = t.file("db/sub/");
    FileSystem::createFolders(db);
    FileSystem::writeFileAtomic(db + "song.mp3", "music");
    ASSERT_EQ(::chmod((db + "song.mp3").c_str(), 0755), 0);
    FileSystem::writeFileAtomic(t.file("db/evil"), "escaped");
    SmallList list;
    list.doc.SetCell(1, 1, AttachmentRef::make(quorvex::AttachAudio, "song.mp3"));
    save(list, t.file("good.lst"), db);
    // A hostile list embeds data under "../evil" before the good file.
    const std::string good = bytesOf(t.file("good.lst"));
    const std::size_t cells = good.size() - 1 - (4 + 2 + 4 + 8 + 1 + 8 + 24 + 5); // before cell (1, 1)
    Bytes bad;
    bad.raw(good.substr(0, cells - 6)); // in place of cell (0, 1), " 1"
    bad.i32(-1).raw("\x01\x04").text("../evil").raw(std::string(1, '\1'));
    const double size = 7;
    bad.raw(std::string(reinterpret_cast<const char *>(&size), 8)).raw(std::string(24, '\0')).raw("escaped");
    bad.raw(good.substr(cells));
    FileSystem::writeFileAtomic(t.file("bad.lst"), bad.data);

    CliRun r = runCli(t, {"extract", t.file("good.lst"), t.file("out/x")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(bytesOf(t.file("out/x/song.mp3")), "music");
    struct stat st;
    ASSERT_EQ(::stat(t.file("out/x/song.mp3").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0111, 0u);

    r = runCli(t, {"extract", t.file("bad.lst"), t.file("out2/x")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(isOneLine(r.err)) << r.err;
    EXPECT_FALSE(FileSystem::exists(t.file("out2/evil")));
    EXPECT_EQ(bytesOf(t.file("out2/x/song.mp3")), "music");

    save(list, t.file("refs.lstd"));
    r = runCli(t, {"extract", t.file("refs.lstd"), t.file("out3")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "quorvex-cli: This list file is version 1.2, which holds no embedded files.\n");
    EXPECT_FALSE(FileSystem::exists(t.file("out3")));
}

TEST(CliMessages, questionsAreAnsweredTheSafeWayAndTheFirstErrorIsTheLine)
{
    NonInteractiveMessages m;
    EXPECT_EQ(m.confirm("Overwrite?"), MessageAnswer::No);
    EXPECT_EQ(m.show(MessageKind::Error, "skip?", MessageButtons::OkCancel), MessageAnswer::Cancel);
    EXPECT_EQ(m.confirm("Save?", MessageButtons::YesNoCancel), MessageAnswer::Cancel);
    m.plain("File read has been aborted.");
    m.error("second");
    EXPECT_TRUE(m.hasError());
    EXPECT_EQ(m.firstErrorLine(), "skip?");
    EXPECT_EQ(NonInteractiveMessages::oneLine("Unable to open file for writing. List was not saved. Please\n make "
                                              "sure the disk is not write protected.\n\n - SaveList_V11()"),
              "Unable to open file for writing. List was not saved. Please make sure the disk is not write "
              "protected. - SaveList_V11()");
    NonInteractiveMessages quiet;
    quiet.information("extra data");
    EXPECT_FALSE(quiet.hasError());
    EXPECT_EQ(quiet.firstErrorLine(), "");
}

namespace quorvex {
namespace {

int pdfPageCount(const std::string &path)
{
    const std::string bytes = FileSystem::readFile(path).value_or("");
    int pages = 0;
    for (std::size_t at = bytes.find("/Type /Page"); at != std::string::npos; at = bytes.find("/Type /Page", at + 1))
        pages += bytes.compare(at, 12, "/Type /Pages") != 0;
    return pages;
}

TEST(Cli, printWritesTheChosenPagesAsPdfAndRefusesBadPageLists)
{
    test::TempFolder t;
    std::string text = "Tape#\tTitle\n";
    for (int i = 1; i <= 120; ++i)
        text += std::to_string(i) + "\tMovie " + std::to_string(i) + "\n";
    ASSERT_TRUE(FileSystem::writeFileAtomic(t.file("in.txt"), text));
    ASSERT_EQ(runCli(t, {"import", t.file("in.txt"), t.file("l.lst")}).code, 0);
    if (runCli(t, {"print", t.file("l.lst"), t.file("probe.pdf")}).err.find("not available") != std::string::npos)
        GTEST_SKIP() << "built without the windowing toolkit";
    struct Case {
        std::vector<std::string> extra;
        int code;
        int pages;
        std::string err;
    } cases[] = {
        {{}, 0, 3, ""},
        {{"--range", "2-9"}, 0, 2, ""},
        {{"--pages", "3,,1"}, 0, 2, ""},
        {{"--range", "1-3", "--odd-first"}, 0, 3, ""},
        {{"--pages", "0,2"}, 1, -1, "less than 1"},
        {{"--pages", "1,4"}, 1, -1, "greater than the total"},
        {{"--pages", "1,x"}, 1, -1, "Text must be a number or a comma!"},
        {{"--range", "x"}, 2, -1, "usage"},
    };
    for (const Case &c : cases) {
        const std::string out = t.file("out.pdf");
        FileSystem::removeFile(out);
        std::vector<std::string> args{"print", t.file("l.lst"), out};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const CliRun r = runCli(t, args);
        EXPECT_EQ(r.code, c.code) << r.err;
        if (c.pages >= 0) {
            EXPECT_EQ(pdfPageCount(out), c.pages);
        } else {
            EXPECT_FALSE(FileSystem::exists(out));
        }
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
        if (c.code == 0) {
            EXPECT_EQ(r.err, "");
        }
    }
}

} // namespace
} // namespace quorvex
TEST(CliSort, sortsWithTheNamedKeysAfterRenumberingAndRefusesBadKeyLists)
{
    TempFolder t;
    SmallList list;
    list.doc = ListDocument(4, 8);
    list.setup.maxEntries = 3;
    const char *rows[][3] = {{"Tape 10", "b", "2"}, {"Tape 9", "B", "1"}, {"tape 9", "a", "3"}, {"007", "c", "1"},
                             {"7", "C", "2"},       {"", "a", "9"},      {"\xE9t\xE9", "b", "1"}};
    for (int r = 0; r < 7; ++r) {
        list.doc.SetCell(0, r + 1, "stale"); // the page column is renumbered before sorting
        for (int c = 0; c < 3; ++c)
            list.doc.SetCell(c + 1, r + 1, rows[r][c]);
    }
    save(list, t.file("in.lst"));

    struct Case {
        std::vector<std::string> flags;
        std::array<int, 8> keys;
        bool caseSensitive;
        bool backwards;
        const char *out;
    };
    const Case cases[] = {
        {{}, {{1, 2, 3, 0, 0, 0, 0, 0}}, false, false, "a.lstd"},
        {{"--keys", "3,1", "--case-sensitive"}, {{3, 1, 2, 0, 0, 0, 0, 0}}, true, false, "b.lst"},
        {{"--backwards", "--keys=2"}, {{2, 1, 3, 0, 0, 0, 0, 0}}, false, true, "c.lstd"},
    };
    for (const Case &c : cases) {
        std::vector<std::string> args{"sort", t.file("in.lst"), t.file(c.out)};
        args.insert(args.end(), c.flags.begin(), c.flags.end());
        const CliRun r = runCli(t, args);
        ASSERT_EQ(r.code, 0) << r.err;
        ListDocument expected = list.doc;
        expected.RenumberPages(3);
        quorvex::SortOptions o;
        o.keyColumns = c.keys;
        o.caseSensitive = c.caseSensitive;
        o.backwards = c.backwards;
        quorvex::SortEngine::SortGrid(expected, o, 1, expected.RowCount());
        const Loaded l = loadBack(t.file(c.out));
        ASSERT_EQ(l.result, 0) << c.out;
        EXPECT_TRUE(l.doc.sameCells(expected)) << c.out;
        EXPECT_EQ(l.doc.GetCell(0, 4), " 2");
    }
    const Loaded first = loadBack(t.file("a.lstd"));
    EXPECT_EQ(first.doc.GetCell(1, 1), "\xE9t\xE9");
    EXPECT_EQ(first.doc.GetCell(1, 7), "Tape 10");

    const std::vector<std::vector<std::string>> usage = {
        {"--keys", "4"}, {"--keys", "0"}, {"--keys", "1,1"}, {"--keys", ""}, {"--keys", "1,,2"},
        {"--keys", "-1"}, {"--keys", "1,2,3,1,2,3,1,2,3"}, {"--keys"}, {"--reverse"}, {"--backwards", "--backwards"}};
    for (const auto &flags : usage) {
        std::vector<std::string> args{"sort", t.file("in.lst"), t.file("bad.lst")};
        args.insert(args.end(), flags.begin(), flags.end());
        const CliRun r = runCli(t, args);
        EXPECT_EQ(r.code, 2) << flags[0] << (flags.size() > 1 ? " " + flags[1] : "");
        EXPECT_NE(r.err.find("quorvex-cli sort IN OUT"), std::string::npos);
    }
    EXPECT_EQ(runCli(t, {"sort", t.file("in.lst")}).code, 2);
    EXPECT_FALSE(FileSystem::exists(t.file("bad.lst")));
    const CliRun missing = runCli(t, {"sort", t.file("none.lst"), t.file("bad.lst")});
    EXPECT_EQ(missing.code, 1);
    EXPECT_TRUE(isOneLine(missing.err)) << missing.err;
}

// The program's own lists may hold references whose file was skipped: they
// sort, replace and convert as the window's OK saves them, or end with --strict.
TEST(CliAttachments, missingFilesAreSkippedWithOneWarningEachUnlessStrict)
{
    TempFolder t;
    SmallList list;
    list.doc = ListDocument(3, 4);
    list.doc.SetCell(1, 1, AttachmentRef::make(quorvex::AttachFile, "a.txt"));
    list.doc.SetCell(1, 2, AttachmentRef::make(quorvex::AttachPicture, "b.jpg"));
    list.doc.SetCell(2, 3, AttachmentRef::make(quorvex::AttachPicture, "b.jpg"));
    save(list, t.file("refs.lstd"));
    const std::string db = t.file("db/");
    FileSystem::createFolders(db);
    FileSystem::writeFileAtomic(db + "a.txt", "abc");
    FileSystem::writeFileAtomic(db + "b.jpg", "jpeg");

    struct Case {
        std::vector<std::string> args;
        int code;
        int warnings;
        bool embedded;
    };
    const std::vector<std::string> replace{"replace", t.file("refs.lstd"), t.file("out.lst"), "--find", "zz",
                                           "--with", "y"};
    const auto with = [](std::vector<std::string> a, std::initializer_list<std::string> more) {
        a.insert(a.end(), more);
        return a;
    };
    const Case cases[] = {
        {{"convert", t.file("refs.lstd"), t.file("out.lst")}, 0, 2, false},
        {{"sort", t.file("refs.lstd"), t.file("out.lst")}, 0, 2, false},
        {replace, 0, 2, false},
        {{"convert", t.file("refs.lstd"), t.file("out.lst"), "--strict"}, 1, 0, false},
        {{"sort", t.file("refs.lstd"), t.file("out.lst"), "--strict"}, 1, 0, false},
        {with(replace, {"--strict"}), 1, 0, false},
        {{"sort", t.file("refs.lstd"), t.file("out.lst"), "--database", db, "--strict"}, 0, 0, true},
        {with(replace, {"--database=" + db}), 0, 0, true},
    };
    for (const Case &c : cases) {
        FileSystem::removeFile(t.file("out.lst"));
        const CliRun r = runCli(t, c.args);
        const std::string what = c.args[0] + (c.args.size() > 3 ? " " + c.args.back() : "");
        ASSERT_EQ(r.code, c.code) << what << ": " << r.err;
        if (c.code != 0) {
            EXPECT_TRUE(isOneLine(r.err)) << r.err;
            EXPECT_FALSE(FileSystem::exists(t.file("out.lst")));
            continue;
        }
        std::size_t lines = 0;
        for (std::size_t at = r.err.find("warning: "); at != std::string::npos; at = r.err.find("warning: ", at + 1))
            ++lines;
        EXPECT_EQ(lines, static_cast<std::size_t>(c.warnings)) << what << ": " << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), c.warnings) << r.err;
        if (c.warnings > 0) {
            EXPECT_NE(r.err.find("a.txt is missing"), std::string::npos) << r.err;
        }
        const Loaded l = loadBack(t.file("out.lst"));
        ASSERT_EQ(l.result, 0) << what;
        EXPECT_EQ(l.doc.GetCell(2, 3), AttachmentRef::make(quorvex::AttachPicture, "b.jpg")) << what;
        const std::string bytes = bytesOf(t.file("out.lst"));
        EXPECT_EQ(bytes.find("jpeg") != std::string::npos, c.embedded) << what;
    }
    // Reading verbs take the folder too, and write nothing into it.
    FileSystem::ClearFolder(db);
    for (const std::vector<std::string> &args :
         {std::vector<std::string>{"info", t.file("refs.lstd"), "--database", db},
          std::vector<std::string>{"export", t.file("refs.lstd"), t.file("x.txt"), "--database", db}})
        EXPECT_EQ(runCli(t, args).code, 0) << args[0];
    EXPECT_TRUE(FileSystem::listFolder(db)->empty());
}

// Outputs go where their names lead: standard output, a link's target, a
// pipe written in place; a list is never saved over something that is not a
// file. A scratch folder whose run was killed goes at the next run.
TEST(CliOutputs, writeThroughLinksAndStreamsAndStaleScratchFoldersGo)
{
    TempFolder t;
    SmallList list;
    list.doc = ListDocument(2, 4);
    for (int r = 1; r <= 3; ++r)
        list.doc.SetCell(1, r, std::string(1, static_cast<char>('d' - r)));
    save(list, t.file("a.lst"));
    CliRun r = runCli(t, {"export", t.file("a.lst"), "-"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "\rc\rb\ra\r");

    // A link to the standard output (as /dev/stdout is) is written through, and stays.
    ASSERT_EQ(::symlink("/proc/self/fd/1", t.file("out").c_str()), 0);
    r = runCli(t, {"export", t.file("a.lst"), t.file("out")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "\rc\rb\ra\r");
    struct stat st;
    ASSERT_EQ(::lstat(t.file("out").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    r = runCli(t, {"convert", t.file("a.lst"), t.file("out")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(isOneLine(r.err)) << r.err;
    ASSERT_EQ(::lstat(t.file("out").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));

    // Sorting a list onto itself through a link: the target is sorted, the link stays.
    FileSystem::createFolders(t.file("real/"));
    save(list, t.file("real/target.lstd"));
    ASSERT_EQ(::symlink("real/target.lstd", t.file("link.lstd").c_str()), 0);
    r = runCli(t, {"sort", t.file("link.lstd"), t.file("link.lstd")});
    ASSERT_EQ(r.code, 0) << r.err;
    ASSERT_EQ(::lstat(t.file("link.lstd").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(loadBack(t.file("real/target.lstd")).doc.GetCell(1, 1), "a");
    EXPECT_EQ(FileSystem::listFolder(t.file("real/"))->size(), 1u);

    // Scratch folders: a dead run's goes, a running one's stays.
    const std::string tmp = t.file("tmp/");
    FileSystem::createFolders(tmp + "quorvex-cli-999999999-AbCdEf/x");
    const std::string live = "quorvex-cli-" + std::to_string(::getpid()) + "-GhIjKl";
    FileSystem::createFolders(tmp + live);
    const char *old = std::getenv("TMPDIR");
    const std::string saved = old ? old : "";
    ::setenv("TMPDIR", tmp.c_str(), 1);
    r = runCli(t, {"info", t.file("a.lst")});
    old ? ::setenv("TMPDIR", saved.c_str(), 1) : ::unsetenv("TMPDIR");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(*FileSystem::listFolder(tmp), std::vector<std::string>{live});
}

namespace quorvex {
namespace {

// A PDF replaces a file only whole: a refused write (a file size limit stands
// in for a nearly full and a full disk) fails on one line about the file, and
// a read-only PDF is left alone.
TEST(CliPrint, replacesAPdfOnlyWithAWholeOne)
{
    test::TempFolder t;
    std::string text = "Tape#\tTitle\n";
    for (int i = 1; i <= 400; ++i)
        text += std::to_string(i) + "\tMovie " + std::to_string(i) + "\n";
    ASSERT_TRUE(FileSystem::writeFileAtomic(t.file("in.txt"), text));
    ASSERT_EQ(runCli(t, {"import", t.file("in.txt"), t.file("big.lstd")}).code, 0);
    const std::string pdf = t.file("T.pdf");
    CliRun r = runCli(t, {"print", t.file("big.lstd"), pdf, "--range", "1-5"});
    if (r.err.find("not available") != std::string::npos)
        GTEST_SKIP() << "built without the windowing toolkit";
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string good = bytesOf(pdf);
    ASSERT_GT(good.size(), 200000u);
    struct Case {
        const char *name;
        long long limit;
        bool readOnly;
        const char *err;
    } cases[] = {
        {"nearly full", 150000, false, "Error writing the PDF file"},
        // Room for the one line on standard error, a file too, but no more.
        {"no space", 400, false, "Error writing the PDF file"},
        {"read-only", -1, true, "read-only"},
    };
    for (const Case &c : cases) {
        if (c.readOnly)
            ASSERT_EQ(::chmod(pdf.c_str(), 0444), 0);
        r = runCli(t, {"print", t.file("big.lstd"), pdf, "--range", "1-5"}, c.limit);
        EXPECT_EQ(r.code, 1) << c.name;
        EXPECT_TRUE(isOneLine(r.err)) << r.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find("printer is installed"), std::string::npos) << r.err;
        EXPECT_TRUE(bytesOf(pdf) == good) << c.name;
        EXPECT_EQ(FileSystem::isReadOnly(pdf), c.readOnly) << c.name;
        ::chmod(pdf.c_str(), 0644);
        EXPECT_EQ(FileSystem::listFolder(t.path())->size(), 3u) << c.name; // in.txt, big.lstd, T.pdf
    }
}

} // namespace
} // namespace quorvex

namespace {

const std::string FiveNames[] = {
    "\xE4\xB8\x83\xE4\xBA\xBA\xE3\x81\xAE\xE4\xBE\x8D", // seven samurai in Japanese
    "Toshir\xC5\x8D Mifune",
    "Ji\xC5\x99\xC3\xAD Menzel",
    "\xC5\x81\xC3\xB3\x64\xC5\xBA Story",
    "\xCE\x95\xCE\xBB\xCE\xAD\xCE\xBD\xCE\xB7",
};

std::string tagOf(const std::string &path)
{
    const std::string b = bytesOf(path);
    return b.size() < 30 ? std::string() : b.substr(15, 15);
}

} // namespace

TEST(Cli, unicode_csvToUnicodeListAndBackGivesEveryCharacter)
{
    TempFolder t;
    std::string csv = "Title,Year\n";
    std::string expected = "Title\tYear\n";
    for (const std::string &name : FiveNames) {
        csv += name + ",1954\n";
        expected += name + "\t1954\n";
    }
    FileSystem::writeFileAtomic(t.file("in.csv"), csv);

    CliRun r = runCli(t, {"import", t.file("in.csv"), t.file("u.lstd"), "--unicode"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(tagOf(t.file("u.lstd")), "_ListVers1.4UDp");
    r = runCli(t, {"info", t.file("u.lstd")});
    EXPECT_NE(r.out.find("version: 1.4\ntext: UTF-8\n"), std::string::npos) << r.out;
    r = runCli(t, {"export", t.file("u.lstd"), "-", "--utf8"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, expected);
    // Without --utf8 a Unicode list still exports its UTF-8, with the CR row ends.
    r = runCli(t, {"export", t.file("u.lstd"), t.file("out.txt")});
    ASSERT_EQ(r.code, 0) << r.err;
    std::string crEnds = expected;
    for (char &c : crEnds)
        if (c == '\n')
            c = '\r';
    EXPECT_EQ(bytesOf(t.file("out.txt")), crEnds);

    // Without --unicode: the characters that became "?" are named, exit 0.
    r = runCli(t, {"import", t.file("in.csv"), t.file("w.lst")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.err.find("13 characters Windows-1252 cannot hold became \"?\": \xE4\xB8\x83 \xE4\xBA\xBA"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("\xCE\xB7. --unicode keeps them.\n"), std::string::npos) << r.err;
    r = runCli(t, {"info", t.file("w.lst")});
    EXPECT_NE(r.out.find("version: 1.1\ntext: Windows-1252\n"), std::string::npos) << r.out;
    // A Windows-1252 list exports UTF-8 with --utf8 too.
    r = runCli(t, {"export", t.file("w.lst"), "-", "--utf8"});
    EXPECT_NE(r.out.find("Ji?\xC3\xAD Menzel\t1954\n"), std::string::npos) << r.out;
}

TEST(Cli, unicode_convertBothWaysSortAndReplaceKeepTheKind)
{
    TempFolder t;
    SmallList list;
    list.doc.SetRowCount(3);
    list.doc.SetCell(1, 1, "Caf\xE9");
    list.doc.SetCell(1, 2, "Abc");
    save(list, t.file("w.lst"));

    CliRun r = runCli(t, {"convert", t.file("w.lst"), t.file("u.lst"), "--unicode"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(tagOf(t.file("u.lst")), "_ListVers1.3Uni");
    Loaded u = loadBack(t.file("u.lst"));
    EXPECT_EQ(u.doc.GetCell(1, 1), "Caf\xC3\xA9");

    // Replace takes UTF-8 texts and writes them as the list holds them.
    r = runCli(t, {"replace", t.file("u.lst"), t.file("r.lst"), "--find", "Caf\xC3\xA9", "--with", FiveNames[2]});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "replacements: 1\n");
    EXPECT_EQ(tagOf(t.file("r.lst")), "_ListVers1.3Uni");
    EXPECT_EQ(loadBack(t.file("r.lst")).doc.GetCell(1, 1), FiveNames[2]);

    r = runCli(t, {"sort", t.file("r.lst"), t.file("s.lstd")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(tagOf(t.file("s.lstd")), "_ListVers1.4UDp");
    EXPECT_EQ(loadBack(t.file("s.lstd")).doc.GetCell(1, 1), "Abc");

    // Back to Windows-1252: the count of "?" on standard error.
    r = runCli(t, {"convert", t.file("s.lstd"), t.file("back.lst"), "--windows-1252"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "quorvex-cli: 1 character Windows-1252 cannot hold became \"?\".\n");
    EXPECT_EQ(tagOf(t.file("back.lst")), "_ListVersion1.1");
    EXPECT_EQ(loadBack(t.file("back.lst")).doc.GetCell(1, 2), "Ji?\xED Menzel");
    // Without an option convert keeps the kind; both options at once are a usage error.
    r = runCli(t, {"convert", t.file("u.lst"), t.file("same.lstd")});
    EXPECT_EQ(tagOf(t.file("same.lstd")), "_ListVers1.4UDp");
    EXPECT_EQ(runCli(t, {"convert", t.file("u.lst"), t.file("x.lst"), "--unicode", "--windows-1252"}).code, 2);
    EXPECT_EQ(runCli(t, {"export", t.file("u.lst"), "-", "--unicode"}).code, 2);
}
