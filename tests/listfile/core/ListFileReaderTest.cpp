#include "ListFileTestSupport.h"
#include "attachments/core/PictureLoader.h"
#include "listfile/core/TextListImport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quorvex::test {
namespace {

const char *const NotLoadedV11 =
    "An error occured while loading the list. List not\ncompletely loaded.\n\n - LoadList_V11()";

std::string saveExample(const TempFolder &tmp, ExampleList &list, const std::string &name, const std::string &db)
{
    WriterFixture w;
    w.writer.setDatabaseFolder(db);
    EXPECT_EQ(w.writer.save(tmp.file(name), list.source()), 0);
    return tmp.file(name);
}

// A version 1.1 list "l.lst" of three rows whose middle row carries `data` as
// the attachment "a.txt".
std::string saveListCarrying(const TempFolder &tmp, const std::string &data)
{
    writeBytes(tmp.file("a.txt"), data);
    ExampleList list;
    list.doc.SetRowCount(4);
    list.doc.SetCell(1, 1, "before");
    list.doc.SetCell(1, 2, std::string("\x01\x04" "a.txt"));
    list.doc.SetCell(1, 3, "after");
    return saveExample(tmp, list, "l.lst", tmp.path());
}

TEST(ListFileReader, readV11_workedExampleRoundTrips)
{
    TempFolder tmp;
    ExampleList list;
    const std::string path = saveExample(tmp, list, "ex.lst", tmp.path());
    ReaderFixture r;
    r.doc.SetRowCount(50);
    r.doc.SetCell(3, 20, "old");
    ListFileVersion version;
    ASSERT_EQ(r.read(path, &version), 0);
    EXPECT_EQ(version, ListFileVersion::V11);
    EXPECT_TRUE(r.doc.sameCells(list.doc));
    EXPECT_EQ(r.type, "dvdmovie");
    EXPECT_EQ(r.setup, list.setup);
    EXPECT_TRUE(r.messages.shown.empty());
    EXPECT_EQ(r.progress.reports.at(0).second, "0% - complete. Reading in row 0 of 1");
}

TEST(ListFileReader, readV11_attachmentsExtractedOnceAndSkippedWhenIdentical)
{
    TempFolder tmp;
    const std::string db = tmp.path() + "db/";
    FileSystem::createFolder(db);
    writeBytes(db + "a.txt", "abc");
    ExampleList list;
    list.doc.SetRowCount(4);
    const std::string ref("\x01\x04" "a.txt");
    for (int r = 1; r <= 3; ++r)
        list.doc.SetCell(1, r, ref);
    const std::string path = saveExample(tmp, list, "l.lst", db);
    const FileTimes original = *FileSystem::times(db + "a.txt");
    ASSERT_TRUE(FileSystem::removeFile(db + "a.txt"));

    ReaderFixture r;
    r.reader.setDatabaseFolder(db);
    ASSERT_EQ(r.read(path), 0);
    EXPECT_EQ(readBytes(db + "a.txt"), "abc");
    EXPECT_EQ(FileSystem::times(db + "a.txt")->written, original.written);
    for (int row = 1; row <= 3; ++row)
        EXPECT_EQ(r.doc.GetCell(1, row), ref);
    ASSERT_EQ(r.reader.embeddedFiles().size(), 3u);
    EXPECT_TRUE(r.reader.embeddedFiles()[0].present);
    EXPECT_EQ(r.reader.embeddedFiles()[0].size, 3u);
    EXPECT_FALSE(r.reader.embeddedFiles()[1].present);

    // Same size and write time: taken as the very file and not rewritten.
    writeBytes(db + "a.txt", "xyz");
    FileSystem::setTimes(db + "a.txt", original.accessed, original.written);
    ReaderFixture again;
    again.reader.setDatabaseFolder(db);
    ASSERT_EQ(again.read(path), 0);
    EXPECT_EQ(readBytes(db + "a.txt"), "xyz");

    // Other times: the list's copy wins.
    FileSystem::setTimes(db + "a.txt", original.accessed, original.written + 10000000);
    ASSERT_EQ(again.read(path), 0);
    EXPECT_EQ(readBytes(db + "a.txt"), "abc");
}

TEST(ListFileReader, readV11_extractedFilesAreNeverExecutableNorFollowLinks)
{
    TempFolder tmp;
    const std::string db = tmp.path() + "db/";
    FileSystem::createFolder(db);
    writeBytes(db + "run.sh", "#!/bin/sh\n");
    ::chmod((db + "run.sh").c_str(), 0755);
    ExampleList list;
    list.doc.SetRowCount(3);
    list.doc.SetCell(1, 1, std::string("\x01\x04" "run.sh"));
    list.doc.SetCell(1, 2, std::string("\x01\x04" "link.txt"));
    writeBytes(db + "link.txt", "data");
    const std::string path = saveExample(tmp, list, "l.lst", db);

    ::unlink((db + "run.sh").c_str());
    writeBytes(db + "run.sh", "other content");
    ::chmod((db + "run.sh").c_str(), 0755);
    ::unlink((db + "link.txt").c_str());
    writeBytes(tmp.file("outside.txt"), "untouched");
    ASSERT_EQ(::symlink(tmp.file("outside.txt").c_str(), (db + "link.txt").c_str()), 0);

    ReaderFixture r;
    r.reader.setDatabaseFolder(db);
    EXPECT_EQ(r.read(path), 0);
    struct stat st;
    ASSERT_EQ(::stat((db + "run.sh").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0111, 0u);
    EXPECT_EQ(readBytes(db + "run.sh"), "#!/bin/sh\n");
    EXPECT_EQ(readBytes(tmp.file("outside.txt")), "untouched");
    // The link could not be written: the skip-or-abort question was asked.
    ASSERT_EQ(r.messages.shown.size(), 1u);
    EXPECT_EQ(r.messages.shown[0].buttons, MessageButtons::OkCancel);
}

TEST(ListFileReader, readV11_unsafeNamesNeverUsedAsPathsAndListedOnce)
{
    TempFolder tmp;
    const std::string db = tmp.path() + "db/";
    FileSystem::createFolder(db);
    Bytes b = exampleHead("_ListVersion1.1");
    b.data.replace(b.data.find("\x02\0\0\0\x02\0\0\0", 0, 8) + 4, 4, std::string("\x05\0\0\0", 4)); // 5 rows
    b.i32(0).text("Tape#");
    const std::string names[] = {"../evil.txt", "sub/x", "..", "a\\b"};
    for (const std::string &name : names) {
        b.text("");
        b.i32(-1).u8(1).u8(4).text(name).u8(1).raw(std::string("\0\0\0\0\0\0\x08\x40", 8)).raw(std::string(24, '\0'));
        b.raw("EVL");
    }
    b.u8(0);
    writeBytes(tmp.file("evil.lst"), b.data);
    ReaderFixture r;
    r.reader.setDatabaseFolder(db);
    EXPECT_EQ(r.read(tmp.file("evil.lst")), 0);
    EXPECT_FALSE(FileSystem::exists(tmp.file("evil.txt")));
    EXPECT_TRUE(FileSystem::listFolder(db)->empty());
    for (int row = 1; row <= 4; ++row)
        EXPECT_EQ(r.doc.GetCell(1, row), std::string("\x01\x04") + names[row - 1]);
    ASSERT_EQ(r.messages.shown.size(), 1u);
    EXPECT_EQ(r.messages.shown[0].kind, MessageKind::Error);
    for (const std::string &name : names)
        EXPECT_NE(r.messages.shown[0].text.find('"' + name + '"'), std::string::npos) << name;
}

TEST(ListFileReader, readBinary_extraDataOfLaterVersionLoadsWithNotice)
{
    TempFolder tmp;
    struct Case {
        int headerExtra, pageExtra, trailer;
        bool notice;
    };
    for (const Case &c : {Case{4, 0, 0, true}, Case{0, 4, 0, true}, Case{0, 0, 1, true}, Case{0, 0, 0x80, false}}) {
        for (const char *tag : {"_ListVersion1.1", "_ListVers1.2Dep"}) {
            Bytes b = exampleHead(tag, c.headerExtra, c.pageExtra);
            b.i32(0).text("Tape#").text(" 1").i32(0).u8(c.trailer).raw("later data");
            writeBytes(tmp.file("x.lst"), b.data);
            ReaderFixture r;
            EXPECT_EQ(r.read(tmp.file("x.lst")), 0);
            EXPECT_EQ(r.doc.GetCell(1, 0), "Tape#");
            EXPECT_EQ(r.doc.GetCell(0, 1), " 1");
            EXPECT_EQ(r.setup.maxEntries, 54);
            EXPECT_EQ(r.messages.shown.size(), c.notice ? 1u : 0u) << c.headerExtra << c.pageExtra << c.trailer;
            if (c.notice) {
                EXPECT_EQ(r.messages.shown[0].kind, MessageKind::Information);
                EXPECT_EQ(r.progress.reports.back().second, "100% - complete. Reading in row 1 of 1");
            }
        }
    }
}

TEST(ListFileReader, readV12_minusOneRecordIsEmptyCellAndNothingExtracted)
{
    TempFolder tmp;
    Bytes b = exampleHead("_ListVers1.2Dep");
    b.i32(-1).text("Tape#").text(std::string("\x01\x01" "cover.jpg")).i32(-7).u8(0);
    writeBytes(tmp.file("x.lstd"), b.data);
    ReaderFixture r;
    r.reader.setDatabaseFolder(tmp.path() + "db/");
    EXPECT_EQ(r.read(tmp.file("x.lstd")), 0);
    EXPECT_EQ(r.doc.GetCell(0, 0), "");
    EXPECT_EQ(r.doc.GetCell(1, 0), "Tape#");
    EXPECT_EQ(r.doc.GetCell(0, 1), std::string("\x01\x01" "cover.jpg"));
    EXPECT_FALSE(FileSystem::exists(tmp.path() + "db"));
}

TEST(ListFileReader, readBinary_truncatedAtAnyByteKeepsCellsReadSoFar)
{
    TempFolder tmp;
    writeBytes(tmp.file("a.txt"), "abcdef");
    ExampleList list;
    list.doc.SetRowCount(4);
    list.doc.SetCell(1, 1, "first");
    list.doc.SetCell(1, 2, std::string("\x01\x04" "a.txt"));
    list.doc.SetCell(1, 3, "last");
    const std::string full = readBytes(saveExample(tmp, list, "full.lst", tmp.path()));
    const std::string db = tmp.path() + "db/";
    FileSystem::createFolder(db);
    for (std::size_t len = 30; len < full.size(); ++len) {
        writeBytes(tmp.file("cut.lst"), full.substr(0, len));
        ReaderFixture r;
        r.reader.setDatabaseFolder(db);
        ASSERT_EQ(r.read(tmp.file("cut.lst")), 1) << len;
        ASSERT_FALSE(r.messages.shown.empty());
        EXPECT_EQ(r.messages.shown.back().text, NotLoadedV11) << len;
        if (len > full.find("first") + 5) {
            EXPECT_EQ(r.doc.GetCell(1, 1), "first") << len;
        }
    }
}

TEST(ListFileReader, readBinary_impossibleCountsEndLoadWithoutHugeAllocation)
{
    TempFolder tmp;
    struct Case {
        const char *what;
        std::string bytes;
    };
    std::vector<Case> cases;
    {
        Bytes b;
        b.raw("QuorvexListFile_ListVersion1.1").i32(28).i32(-5);
        cases.push_back({"negative typeLen", b.data});
    }
    {
        Bytes b;
        b.raw("QuorvexListFile_ListVersion1.1").i32(28).i32(0x7FFFFFF0);
        cases.push_back({"huge typeLen", b.data});
    }
    {
        Bytes b;
        b.raw("QuorvexListFile_ListVers1.2Dep").i32(28).text("dvdmovie").i32(9).i32(0x7FFFFFFF);
        b.data.append(200, '\0');
        cases.push_back({"huge rowCount", b.data});
    }
    {
        Bytes b;
        b.raw("QuorvexListFile_ListVers1.2Dep").i32(28).text("dvdmovie").i32(0).i32(0x7FFFFFFF);
        b.data.append(200, '\0');
        cases.push_back({"rows without columns", b.data});
    }
    {
        Bytes b;
        b.raw("QuorvexListFile_ListVers1.2Dep").i32(28).text("dvdmovie").i32(-2).i32(2);
        b.data.append(200, '\0');
        cases.push_back({"negative colCount", b.data});
    }
    {
        Bytes b = exampleHead("_ListVers1.2Dep");
        b.i32(0).i32(0x70000000).raw("short");
        cases.push_back({"cell longer than file", b.data});
    }
    {
        Bytes b = exampleHead("_ListVersion1.1");
        b.i32(0).text("Tape#").text(" 1").i32(-1).u8(1).u8(4).text("big.bin").u8(1);
        b.raw(std::string("\0\0\0\0\0\0\xF0\x43", 8)).raw(std::string(24, '\0')).raw("tiny").u8(0);
        cases.push_back({"embedded size beyond file", b.data});
    }
    {
        Bytes b = exampleHead("_ListVersion1.1");
        b.i32(0).text("Tape#").text(" 1").i32(-1).u8(1).u8(4).i32(-3).u8(0);
        cases.push_back({"negative nameLen", b.data});
    }
    {
        Bytes b;
        b.raw("QuorvexListFile_ListVers1.2Dep").i32(0x7FFFFFFF).text("dvdmovie").i32(2).i32(2).i32(1).i32(1);
        b.data.append(100, '\0');
        cases.push_back({"header size beyond file", b.data});
    }
    for (const Case &c : cases) {
        writeBytes(tmp.file("bad.lst"), c.bytes);
        ReaderFixture r;
        r.reader.setDatabaseFolder(tmp.path());
        EXPECT_EQ(r.read(tmp.file("bad.lst")), 1) << c.what;
        ASSERT_EQ(r.messages.shown.size(), 1u) << c.what;
        EXPECT_NE(r.messages.shown[0].text.find("List not\ncompletely loaded."), std::string::npos) << c.what;
        EXPECT_LT(r.doc.heapBytes(), 1u << 20) << c.what;
        EXPECT_GE(r.doc.RowCount(), 2);
        EXPECT_GE(r.doc.ColCount(), 2);
    }
}

TEST(ListFileReader, readBinary_longListTypeCutAndRowCountOneFinishes)
{
    TempFolder tmp;
    Bytes b;
    const std::string longType(80, 't');
    b.raw("QuorvexListFile_ListVers1.2Dep").i32(12 + 80 + 8).text(longType).i32(2).i32(1).i32(16).i32(120).i32(45);
    for (int v : {5, 30, 10, 10, 15, 8, 4, 20, 54, 10, 10})
        b.i32(v);
    b.u8(1).text("").text("Head").u8(0);
    writeBytes(tmp.file("x.lstd"), b.data);
    ReaderFixture r;
    EXPECT_EQ(r.read(tmp.file("x.lstd")), 0);
    EXPECT_EQ(r.type, std::string(55, 't'));
    EXPECT_TRUE(r.setup.landscape);
    EXPECT_EQ(r.doc.GetCell(1, 0), "Head");
    EXPECT_EQ(r.progress.reports.at(0).second, "100% - complete. Reading in row 0 of 0");
}

TEST(ListFileReader, detect_signaturesAndTheirMessages)
{
    TempFolder tmp;
    struct Case {
        std::string bytes;
        std::string message;
    };
    const Case cases[] = {
        {"QuorvexListFile_List", "This list file is _List This release of Quorvex can only read version 1.0, 1.1 "
                                 "and 1.2. File not opened."},
        {"QuorvexListFil", "This file is not a valid Quorvex list file. File not opened."},
        {"quorvexListFile_ListVersion1.1", "This file is not a valid Quorvex list file. File not opened."},
        {std::string("QuorvexListFile_ListVers\0abcdef", 30),
         "This list file is _ListVers This release of Quorvex can only read version 1.0, 1.1 and 1.2. File not "
         "opened."},
    };
    for (const Case &c : cases) {
        writeBytes(tmp.file("x.lst"), c.bytes);
        ReaderFixture r;
        r.doc.SetCell(1, 1, "kept");
        ListFileVersion version;
        EXPECT_EQ(r.read(tmp.file("x.lst"), &version), 1);
        EXPECT_EQ(version, ListFileVersion::Unknown);
        ASSERT_EQ(r.messages.shown.size(), 1u);
        EXPECT_EQ(r.messages.shown[0].text, c.message);
        EXPECT_EQ(r.doc.GetCell(1, 1), "kept");
    }
    ReaderFixture r;
    EXPECT_EQ(r.read(tmp.file("none.lst")), 1);
    EXPECT_EQ(r.messages.texts().at(0), "Unable to open list file. Please make sure the disk is accessible.");
}

TEST(ListFileReader, readV10_helloExampleAndSeparatorRules)
{
    TempFolder tmp;
    // Binary bytes after the signature do not matter: the signature decides.
    writeBytes(tmp.file("v10.lst"), "version1.0\n2 2\n16 120\n5 30 10 10 15 8 4 20 54 10 10 0\n0 0 0 5 Hello");
    ReaderFixture r;
    ListFileVersion version;
    ASSERT_EQ(r.read(tmp.file("v10.lst"), &version), 0);
    EXPECT_EQ(version, ListFileVersion::V10);
    EXPECT_EQ(r.doc.GetCell(1, 1), "Hello");
    EXPECT_EQ(r.doc.GetCell(0, 0), "");
    EXPECT_EQ(r.doc.ColWidth(1), 120);
    EXPECT_EQ(r.setup.topIndent, 10);
    EXPECT_EQ(r.type, "");

    // The separator is consumed even when it is a line break; the text keeps blanks and breaks.
    writeBytes(tmp.file("v10b.lst"), "version1.0 2 2 1 1 0 0 0 0 0 0 0 0 0 0 0 1 0 2  1 8\ndvdmovie 3 a\nb");
    ReaderFixture r2;
    ASSERT_EQ(r2.read(tmp.file("v10b.lst")), 0);
    EXPECT_EQ(r2.doc.GetCell(1, 0), " 1");
    EXPECT_EQ(r2.doc.GetCell(0, 1), "dvdmovie");
    EXPECT_EQ(r2.doc.GetCell(1, 1), "a\nb");
    EXPECT_EQ(r2.doc.GetCell(0, 0), "");
    EXPECT_EQ(r2.type, "dvdmovie");
    EXPECT_TRUE(r2.setup.landscape);
}

TEST(ListFileReader, readV10_crLfCountsAsOneLineFeedLikeTextMode)
{
    TempFolder tmp;
    struct Case {
        std::string cells; // the four cells of a 2 x 2 list after the header numbers
        std::string c11;   // what column 1 of row 1 holds
        std::string c01;
    };
    const Case cases[] = {
        // "a\r\nb" is three characters in text mode, and the next cell still parses.
        {"0 0 0 3 a\r\nb", "a\nb", ""},
        {"0 0 2 x\r\n 3 \r\n\r\nz", "\n\nz", "x\n"},
        // A CR LF pair as the one separator character, and a pair across cells.
        {"0 0 0\r\n2 \r\n\r\n", "\n\n", ""},
        // A lone CR stays a CR.
        {"0 0 0 3 a\rb", "a\rb", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.cells);
        writeBytes(tmp.file("v10.lst"), "version1.0 2 2 16 120 5 30 10 10 15 8 4 20 54 10 10 0 " + c.cells);
        ReaderFixture r;
        EXPECT_EQ(r.read(tmp.file("v10.lst")), 0);
        EXPECT_TRUE(r.messages.shown.empty());
        EXPECT_EQ(r.doc.GetCell(1, 1), c.c11);
        EXPECT_EQ(r.doc.GetCell(0, 1), c.c01);
    }
}

TEST(ListFileReader, readV10_listTypeFromFirstPageCellAndProgressEvery55Rows)
{
    TempFolder tmp;
    std::string body = "version1.0 2 111 16 120 5 30 10 10 15 8 4 20 54 10 10 0 0  0 \n";
    body += "2  1 0 \n";
    for (int r = 2; r < 111; ++r)
        body += "0  0 \n";
    writeBytes(tmp.file("v10.lst"), body);
    ReaderFixture r;
    ASSERT_EQ(r.read(tmp.file("v10.lst")), 0);
    EXPECT_EQ(r.type, "vhsmovie");
    ASSERT_EQ(r.progress.reports.size(), 3u);
    EXPECT_EQ(r.progress.reports[0].second, "0% - complete. Reading in row 0 of 110");
    EXPECT_EQ(r.progress.reports[1].second, "50% - complete. Reading in row 55 of 110");
    EXPECT_EQ(r.progress.reports[2], std::make_pair(100, std::string("100% - complete. Reading in row 110 of 110")));
}

TEST(ListFileReader, readV10_damagedFileEndsWithOwnMessageKeepingCells)
{
    TempFolder tmp;
    const std::string cases[] = {
        "version1.0 2 2 16 120 5 30 10 10 15 8 4 20 54 10 10 0 0  5 Tape# 2  1 9 Hel",
        "version1.0 2 999999999 16 120",
        "version1.0 -3 2",
        "version1.0 2 2 16 x",
        "version1.0 2 2 16 120 5 30 10 10 15 8 4 20 54 10 10 0 0  5 Tape# -4 ",
    };
    for (const std::string &c : cases) {
        writeBytes(tmp.file("v10.lst"), c);
        ReaderFixture r;
        EXPECT_EQ(r.read(tmp.file("v10.lst")), 1) << c;
        ASSERT_EQ(r.messages.shown.size(), 1u) << c;
        EXPECT_NE(r.messages.shown[0].text.find("LoadList_V10()"), std::string::npos);
        EXPECT_LT(r.doc.heapBytes(), 1u << 20);
    }
    writeBytes(tmp.file("v10.lst"), cases[0]);
    ReaderFixture r;
    r.read(tmp.file("v10.lst"));
    EXPECT_EQ(r.doc.GetCell(1, 0), "Tape#");
    EXPECT_EQ(r.doc.GetCell(0, 1), " 1");
    EXPECT_EQ(r.type, "vhsmovie");
}

TEST(ListFileReader, readV11_unwritableAttachmentOkSkipsCancelAbortsWithRowsSoFar)
{
    TempFolder tmp;
    const std::string path = saveListCarrying(tmp, "abc");
    const std::string missingDb = tmp.path() + "no-such-db/";

    ReaderFixture skip;
    skip.reader.setDatabaseFolder(missingDb);
    EXPECT_EQ(skip.read(path), 0);
    EXPECT_EQ(skip.doc.GetCell(1, 3), "after");
    ASSERT_EQ(skip.messages.shown.size(), 1u);
    EXPECT_EQ(skip.messages.shown[0].text.rfind("Error extracting the following destination file to the list:\n" +
                                                missingDb + "a.txt\n", 0),
              0u);

    ReaderFixture abort;
    abort.reader.setDatabaseFolder(missingDb);
    abort.messages.answers = {MessageAnswer::Cancel};
    EXPECT_EQ(abort.read(path), 10);
    EXPECT_EQ(abort.messages.texts().back(), "File read has been aborted.");
    EXPECT_EQ(abort.doc.GetCell(1, 1), "before");
    EXPECT_EQ(abort.doc.GetCell(1, 2), std::string("\x01\x04" "a.txt"));
    EXPECT_EQ(abort.doc.GetCell(1, 3), "");
}

TEST(ListFileReader, readV11_failedOrKilledExtractionKeepsTheDatabaseFile)
{
    // Another list's a.txt of the same name (other times) waits in the database folder.
    struct Case {
        const char *name;
        std::uint64_t faultAfter;
        int error; // 0: the reader is killed
        const char *fifoOrLinkName; // a FIFO or a link put where the list's file goes
    };
    const Case cases[] = {
        {"disk full at once", 0, ENOSPC, nullptr},
        {"disk full midway", 700000, ENOSPC, nullptr},
        {"quota midway", 700000, EDQUOT, nullptr},
        {"killed midway", 700000, 0, nullptr},
        {"a link in its place", UINT64_MAX, 0, "link"},
        {"a FIFO in its place", UINT64_MAX, 0, "fifo"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder tmp;
        const std::string data(1200000, 'n');
        const std::string path = saveListCarrying(tmp, data);
        const std::string db = tmp.path() + "db/";
        ASSERT_TRUE(FileSystem::createFolder(db));
        const std::string existing = db + "a.txt";
        if (c.fifoOrLinkName && std::string(c.fifoOrLinkName) == "fifo") {
            ASSERT_EQ(::mkfifo(existing.c_str(), 0644), 0);
        } else if (c.fifoOrLinkName) {
            writeBytes(tmp.file("elsewhere"), "other list's file");
            ASSERT_EQ(::symlink(tmp.file("elsewhere").c_str(), existing.c_str()), 0);
        } else {
            writeBytes(existing, "other list's file");
        }
        ReaderFixture r;
        r.reader.setDatabaseFolder(db);
        if (c.faultAfter != UINT64_MAX && c.error == 0) {
            const pid_t pid = ::fork();
            if (pid == 0) {
                FileSystem::setWriteFault(c.faultAfter, 0);
                r.read(path);
                ::_exit(3);
            }
            int status = 0;
            ::waitpid(pid, &status, 0);
            EXPECT_TRUE(WIFSIGNALED(status));
            EXPECT_EQ(readBytes(existing), "other list's file");
            // The next load sweeps the killed one's half copy away and replaces the file whole.
            EXPECT_EQ(FileSystem::listFolder(db)->size(), 2u);
            EXPECT_EQ(r.read(path), 0);
            EXPECT_EQ(readBytes(existing), data);
            EXPECT_EQ(FileSystem::listFolder(db)->size(), 1u);
            continue;
        }
        if (c.faultAfter != UINT64_MAX)
            FileSystem::setWriteFault(c.faultAfter, c.error);
        const int result = r.read(path);
        FileSystem::clearWriteFault();
        // OK skips the file; the cells after it are read.
        EXPECT_EQ(result, 0);
        EXPECT_EQ(r.doc.GetCell(1, 3), "after");
        ASSERT_EQ(r.messages.shown.size(), 1u);
        const std::string &text = r.messages.shown[0].text;
        EXPECT_EQ(text.rfind("Error extracting the following destination file to the list:\n" + existing, 0), 0u);
        const std::string cause = c.fifoOrLinkName ? FileSystem::errorCause(c.fifoOrLinkName[0] == 'l' ? ELOOP : EINVAL)
                                                   : FileSystem::errorCause(c.error);
        EXPECT_NE(text.find("GetFileFromFStreamBin()\n\n" + cause + " The existing file was kept."), std::string::npos)
            << text;
        if (!c.fifoOrLinkName) {
            EXPECT_EQ(readBytes(existing), "other list's file");
        }
        EXPECT_EQ(FileSystem::listFolder(db)->size(), 1u);
    }
}

TEST(ListFileReader, readersOfOutsideFiles_refuseFifoDeviceOrFolderWithoutBlocking)
{
    TempFolder tmp;
    ASSERT_EQ(::mkfifo(tmp.file("f.lst").c_str(), 0644), 0);
    ASSERT_EQ(::mkfifo(tmp.file("pic.bmp").c_str(), 0644), 0);
    ASSERT_EQ(::mkfifo(tmp.file("notes.txt").c_str(), 0644), 0);
    ASSERT_EQ(::mkfifo(tmp.file("gone.txt").c_str(), 0644), 0); // an attachment being saved
    ASSERT_TRUE(FileSystem::createFolder(tmp.file("folder.lst")));
    for (const std::string &path : {tmp.file("f.lst"), tmp.file("folder.lst"), std::string("/dev/zero")}) {
        SCOPED_TRACE(path);
        ReaderFixture r;
        EXPECT_EQ(r.read(path), 1);
        EXPECT_EQ(r.messages.texts(),
                  std::vector<std::string>{"Unable to open list file. Please make sure the disk is accessible."});
        ListDocument doc;
        const TextListImport::Result text = TextListImport::importFile(path, doc);
        EXPECT_FALSE(text.ok);
        EXPECT_EQ(text.error.rfind("Unable to open the text file", 0), 0u) << text.error;
        EXPECT_FALSE(FileSystem::readFilePrefix(path, 100).has_value());
        EXPECT_FALSE(FileSystem::readFile(path).has_value());
    }
    ScriptedMessages messages;
    bool foreignCalled = false;
    PictureLoader pictures(messages, [&](const std::string &, const std::string &, RasterImage &, std::string &) {
        foreignCalled = true;
        return false;
    });
    RasterImage picture;
    EXPECT_EQ(pictures.LoadImage(picture, tmp.file("pic.bmp")), 1);
    EXPECT_FALSE(foreignCalled);

    // Saving an independent list whose attachment is a FIFO asks about it instead of waiting.
    ExampleList list;
    list.doc.SetCell(1, 1, std::string("\x01\x04" "gone.txt"));
    WriterFixture w;
    w.writer.setDatabaseFolder(tmp.path());
    EXPECT_EQ(w.writer.SaveList_V11(tmp.file("out.lst"), list.source()), 0);
    ASSERT_EQ(w.messages.shown.size(), 1u);
    EXPECT_EQ(w.messages.shown[0].text.rfind("Error saving the following source file to the list:", 0), 0u);
}

TEST(ListFileFormat, versionFromExtensionAndMessageText)
{
    EXPECT_EQ(ListFileFormat::versionForPath("/x/my.films.LSTD"), ListFileVersion::V12);
    EXPECT_EQ(ListFileFormat::versionForPath("/x/films.lstd.txt"), ListFileVersion::V11);
    EXPECT_EQ(ListFileFormat::versionForPath("/x.lstd/films"), ListFileVersion::V11);
    EXPECT_EQ(ListFileFormat::extension("/a/b"), "");
    EXPECT_EQ(ListFileFormat::toUtf8("Caf\xE9 \x80\x01"), "Caf\xC3\xA9 \xE2\x82\xAC?");
}

TEST(ListFileReader, readV11_attachmentNamesGoToDiskAsUtf8AndBackIntoTheList)
{
    TempFolder tmp;
    const std::string db = tmp.path() + "db/";
    FileSystem::createFolder(db);
    // The reference is Windows-1252 text; its file on disk is named in UTF-8.
    writeBytes(db + "Am\xC3\xA9lie.jpg", "picture");
    ExampleList list;
    const std::string ref("\x01\x01" "Am\xE9lie.jpg");
    list.doc.SetCell(1, 1, ref);
    const std::string path = saveExample(tmp, list, "l.lst", db);
    ASSERT_TRUE(FileSystem::removeFile(db + "Am\xC3\xA9lie.jpg"));

    ReaderFixture r;
    r.reader.setDatabaseFolder(db);
    ASSERT_EQ(r.read(path), 0);
    EXPECT_EQ(r.doc.GetCell(1, 1), ref);
    EXPECT_EQ(readBytes(db + "Am\xC3\xA9lie.jpg"), "picture");
    EXPECT_FALSE(FileSystem::exists(db + "Am\xE9lie.jpg"));
}

} // namespace
} // namespace quorvex::test

namespace quorvex::test {
namespace {

// Everything a read leaves behind, to compare two reads of the same bytes.
struct ReadOutcome {
    int result = 0;
    std::vector<std::string> messages;
    std::vector<std::vector<std::string>> cells;
    std::string type;
    bool extra = false;
};

ReadOutcome readWithThreshold(const std::string &path, const std::string &db, int threshold)
{
    ReaderFixture r;
    r.reader.setDatabaseFolder(db);
    r.reader.setParallelRowThreshold(threshold);
    ReadOutcome out;
    out.result = r.read(path);
    for (const auto &s : r.messages.shown)
        out.messages.push_back(s.text);
    for (int row = 0; row < r.doc.RowCount(); ++row) {
        std::vector<std::string> line;
        for (int c = 0; c < r.doc.ColCount(); ++c)
            line.emplace_back(r.doc.GetCell(c, row));
        line.push_back(std::to_string(r.doc.rowAt(row).storedCount()));
        out.cells.push_back(std::move(line));
    }
    out.type = r.type;
    out.extra = r.reader.hadExtraData();
    return out;
}

TEST(ListFileReader, readBinary_twoThreadDecodingMatchesRowByRowOnWholeCutAndDamagedFiles)
{
    TempFolder tmp;
    const std::string db = tmp.path() + "db/";
    FileSystem::createFolder(db);
    constexpr int Threshold = 5000;
    for (const char *ext : {".lstd", ".lst"}) {
        for (int rows : {Threshold - 2, Threshold - 1, 9001}) {
            ListDocument doc(4, rows);
            for (int r = 1; r < rows; ++r) {
                doc.SetCell(0, r, r % 50 == 1 ? " " + std::to_string(r / 50 + 1) : std::string());
                doc.SetCell(1, r, std::to_string((r * 7919) % 1000));
                // Empty and trailing empty cells, and every byte value.
                doc.SetCell(2, r, r % 3 ? std::string(static_cast<std::size_t>(r % 40), static_cast<char>(r & 0xFF)) : "");
                doc.SetCell(3, r, r % 5 ? std::string() : std::string("x\0y", 3));
            }
            doc.SetCell(2, rows / 2, "MARK");
            doc.SetCell(1, rows - 3, std::string(300000, 'L')); // beyond what a shared piece takes
            WriterFixture w;
            const std::string name = tmp.file(std::string("base") + ext);
            ASSERT_EQ(w.writer.save(name, ListFileSource{doc, PageSetup{}, "dvdmovie"}), 0);
            const std::string full = readBytes(name);
            const std::size_t mark = full.find("MARK") - 4;
            auto patched = [&](std::int32_t len) {
                std::string b = full;
                for (int i = 0; i < 4; ++i)
                    b[mark + static_cast<std::size_t>(i)] = static_cast<char>((static_cast<std::uint32_t>(len) >> (8 * i)) & 0xFF);
                return b;
            };
            const std::vector<std::pair<std::string, std::string>> variants = {
                {"whole", full},
                {"trailer of a later version", full.substr(0, full.size() - 1) + "\x05"},
                {"no trailer", full.substr(0, full.size() - 1)},
                {"cut in the last row", full.substr(0, full.size() - 20)},
                {"cut in the long cell", full.substr(0, full.find(std::string(1000, 'L')) + 500)},
                {"cut in the middle", full.substr(0, mark + 2)},
                {"length past the end", patched(0x7FFFFFFF)},
                {"length minus one", patched(-1)},
                {"length off by one", patched(5)},
                {"negative length", patched(-7)},
            };
            for (const auto &[what, bytes] : variants) {
                const std::string path = tmp.file(std::string("v") + ext);
                writeBytes(path, bytes);
                const ReadOutcome plain = readWithThreshold(path, db, 1 << 30);
                const ReadOutcome threaded = readWithThreshold(path, db, Threshold);
                SCOPED_TRACE(std::string(ext) + " " + std::to_string(rows) + " rows, " + what);
                EXPECT_EQ(threaded.result, plain.result);
                EXPECT_EQ(threaded.messages, plain.messages);
                EXPECT_EQ(threaded.type, plain.type);
                EXPECT_EQ(threaded.extra, plain.extra);
                ASSERT_EQ(threaded.cells.size(), plain.cells.size());
                EXPECT_TRUE(threaded.cells == plain.cells);
                if (what == std::string("whole")) {
                    EXPECT_EQ(plain.result, 0);
                    EXPECT_EQ(plain.cells[static_cast<std::size_t>(rows / 2)][2], "MARK");
                }
            }
        }
    }
}

} // namespace
} // namespace quorvex::test
