#include "ListFileTestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quorvex::test {
namespace {

std::string example135()
{
    Bytes b = exampleHead("_ListVersion1.1");
    b.i32(0).text("Tape#").text(" 1").i32(0).u8(0);
    return b.data;
}

TEST(ListFileWriter, saveV11_workedExampleIsExactly135Bytes)
{
    TempFolder tmp;
    ExampleList list;
    WriterFixture w;
    ASSERT_EQ(w.writer.SaveList_V11(tmp.file("ex.lst"), list.source()), 0);
    const std::string bytes = readBytes(tmp.file("ex.lst"));
    EXPECT_EQ(bytes.size(), 135u);
    EXPECT_EQ(bytes, example135());
    EXPECT_TRUE(w.messages.shown.empty());
}

TEST(ListFileWriter, saveV11_attachmentEmbedsFileWithTimesIn182Bytes)
{
    TempFolder tmp;
    const std::string db = tmp.path() + "db/";
    ASSERT_TRUE(FileSystem::createFolder(db));
    writeBytes(db + "a.txt", "abc");
    ExampleList list;
    list.doc.SetCell(1, 1, std::string("\x01\x04" "a.txt"));
    // Taken before the save: reading the file for it may move the access time.
    const FileTimes t = *FileSystem::times(db + "a.txt");
    WriterFixture w;
    w.writer.setDatabaseFolder(db);
    ASSERT_EQ(w.writer.SaveList_V11(tmp.file("ex.lst"), list.source()), 0);
    const std::string bytes = readBytes(tmp.file("ex.lst"));
    ASSERT_EQ(bytes.size(), 182u);
    EXPECT_EQ(bytes.substr(0, 130), example135().substr(0, 130));
    Bytes rec;
    rec.i32(-1).u8(1).u8(4).text("a.txt").u8(1).raw(std::string("\0\0\0\0\0\0\x08\x40", 8));
    EXPECT_EQ(bytes.substr(130, rec.data.size()), rec.data);
    Bytes times;
    for (std::uint64_t v : {t.created, t.accessed, t.written})
        times.i32(static_cast<std::int32_t>(v & 0xFFFFFFFF)).i32(static_cast<std::int32_t>(v >> 32));
    EXPECT_EQ(bytes.substr(130 + rec.data.size(), 24), times.data);
    EXPECT_EQ(bytes.substr(178), std::string("abc") + '\0');
}

TEST(ListFileWriter, saveV12_workedExampleIs146BytesAndNeedsNoDatabase)
{
    TempFolder tmp;
    ExampleList list;
    list.doc.SetCell(1, 1, std::string("\x01\x01" "cover.jpg"));
    WriterFixture w;
    w.writer.setDatabaseFolder(tmp.path() + "no-such-folder/");
    ASSERT_EQ(w.writer.SaveList_V12(tmp.file("ex.lstd"), list.source()), 0);
    Bytes b = exampleHead("_ListVers1.2Dep");
    b.i32(0).text("Tape#").text(" 1").text(std::string("\x01\x01" "cover.jpg")).u8(0);
    EXPECT_EQ(readBytes(tmp.file("ex.lstd")), b.data);
    EXPECT_EQ(b.data.size(), 146u);
    EXPECT_FALSE(FileSystem::exists(tmp.path() + "no-such-folder"));
}

TEST(ListFileWriter, saveBothVersions_identicalUpToTagWithoutAttachments)
{
    TempFolder tmp;
    ExampleList list;
    list.doc.SetRowCount(30);
    for (int r = 1; r < 30; ++r)
        list.doc.SetCell(1, r, "row " + std::to_string(r));
    WriterFixture w;
    ASSERT_EQ(w.writer.save(tmp.file("a.lst"), list.source()), 0);
    ASSERT_EQ(w.writer.save(tmp.file("a.LSTD"), list.source()), 0);
    std::string v11 = readBytes(tmp.file("a.lst"));
    const std::string v12 = readBytes(tmp.file("a.LSTD"));
    ASSERT_EQ(v11.size(), v12.size());
    EXPECT_EQ(v12.substr(15, 15), "_ListVers1.2Dep");
    v11.replace(15, 15, "_ListVers1.2Dep");
    EXPECT_EQ(v11, v12);
}

TEST(ListFileWriter, saveV11_sameAttachmentStoredOnceInFirstDataCell)
{
    TempFolder tmp;
    const std::string db = tmp.path();
    writeBytes(db + "p.jpg", "PICTURE");
    ExampleList list;
    list.doc.SetRowCount(3);
    const std::string ref("\x01\x01" "p.jpg");
    list.doc.SetCell(1, 0, ref); // header reference defers to the data cells
    list.doc.SetCell(1, 1, ref);
    list.doc.SetCell(1, 2, ref);
    WriterFixture w;
    w.writer.setDatabaseFolder(db);
    ASSERT_EQ(w.writer.SaveList_V11(tmp.file("l.lst"), list.source()), 0);
    const std::string bytes = readBytes(tmp.file("l.lst"));
    std::size_t count = 0;
    for (std::size_t p = bytes.find("PICTURE"); p != std::string::npos; p = bytes.find("PICTURE", p + 1))
        ++count;
    EXPECT_EQ(count, 1u);
    // Header record, then the page cell " 1" ... the data sits after the row-1 reference.
    const std::size_t headerRef = bytes.find("p.jpg");
    EXPECT_EQ(bytes[headerRef + 5], '\0');
    EXPECT_GT(bytes.find("PICTURE"), bytes.find("p.jpg", headerRef + 1));
}

TEST(ListFileWriter, saveV11_missingAttachmentOkSkipsCancelAbortsKeepingOldFile)
{
    TempFolder tmp;
    ExampleList list;
    list.doc.SetCell(1, 1, std::string("\x01\x04" "gone.txt"));
    const std::string target = tmp.file("l.lst");
    writeBytes(target, "OLD CONTENT");
    {
        WriterFixture w;
        w.writer.setDatabaseFolder(tmp.path());
        w.messages.answers = {MessageAnswer::Cancel};
        EXPECT_EQ(w.writer.SaveList_V11(target, list.source()), 10);
        ASSERT_EQ(w.messages.shown.size(), 2u);
        EXPECT_EQ(w.messages.shown[0].buttons, MessageButtons::OkCancel);
        EXPECT_NE(w.messages.shown[0].text.find("gone.txt"), std::string::npos);
        EXPECT_EQ(w.messages.shown[1].text, "File save has been aborted.");
        EXPECT_EQ(w.messages.shown[1].kind, MessageKind::Plain);
        EXPECT_EQ(readBytes(target), "OLD CONTENT");
        EXPECT_EQ(FileSystem::listFolder(tmp.path())->size(), 1u);
    }
    WriterFixture w;
    w.writer.setDatabaseFolder(tmp.path());
    EXPECT_EQ(w.writer.SaveList_V11(target, list.source()), 0);
    const std::string bytes = readBytes(target);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), std::string("\0\0", 2)); // present = 0, trailer
}

TEST(ListFileWriter, saveFailures_leaveOldFileAndNoTemporaryFile)
{
    TempFolder tmp;
    ExampleList list;
    list.doc.SetCell(1, 1, "a rather long text");
    const std::string target = tmp.file("l.lstd");
    writeBytes(target, "OLD");
    WriterFixture w;
    w.writer.setCellLengthLimit(10);
    EXPECT_EQ(w.writer.SaveList_V12(target, list.source()), 1);
    ASSERT_EQ(w.messages.shown.size(), 1u);
    EXPECT_EQ(w.messages.shown[0].text,
              "The cell at coordinate 1,1 contains data that exceeds\nthe cell text limit of 2GB. The Save process "
              "was\ncancelled. Please adjust the cell contents.\n\n - SaveList_V12()");
    EXPECT_EQ(w.writer.tooLongCol(), 1);
    EXPECT_EQ(w.writer.tooLongRow(), 1);
    EXPECT_EQ(readBytes(target), "OLD");
    EXPECT_EQ(FileSystem::listFolder(tmp.path())->size(), 1u);

    WriterFixture w2;
    EXPECT_EQ(w2.writer.SaveList_V11(tmp.path() + "missing/l.lst", list.source()), 1);
    EXPECT_EQ(w2.messages.texts().at(0), "Unable to open file for writing. List was not saved. Please\n make sure "
                                          "the disk is not write protected.\n\n - SaveList_V11()\n\n"
                                          "The file or folder does not exist.");
}

TEST(ListFileWriter, saveThroughLinkOrOntoFullDisk_writesTheTargetOrKeepsTheOldFile)
{
    struct Case {
        const char *name;
        bool throughLink;
        std::uint64_t faultAfter; // UINT64_MAX: no fault
        int error;                // 0: the writer is killed
    };
    const Case cases[] = {
        {"through a link", true, UINT64_MAX, 0},
        {"disk full in the header", false, 10, ENOSPC},
        {"disk full in the attachment", true, 200, ENOSPC},
        {"killed in the attachment", true, 200, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder tmp;
        writeBytes(tmp.file("a.txt"), std::string(5000, 'a'));
        ExampleList list;
        list.doc.SetCell(1, 1, std::string("\x01\x04" "a.txt"));
        ASSERT_TRUE(FileSystem::createFolder(tmp.file("real")));
        const std::string real = tmp.file("real/target.lst");
        writeBytes(real, "OLD");
        ::chmod(real.c_str(), 0640);
        const std::string path = c.throughLink ? tmp.file("link.lst") : real;
        if (c.throughLink) {
            ASSERT_EQ(::symlink("real/target.lst", path.c_str()), 0);
        }
        WriterFixture w;
        w.writer.setDatabaseFolder(tmp.path());
        if (c.faultAfter != UINT64_MAX && c.error == 0) {
            const pid_t pid = ::fork();
            if (pid == 0) {
                FileSystem::setWriteFault(c.faultAfter, 0);
                w.writer.SaveList_V11(path, list.source());
                ::_exit(3);
            }
            int status = 0;
            ::waitpid(pid, &status, 0);
            EXPECT_TRUE(WIFSIGNALED(status));
            EXPECT_EQ(readBytes(real), "OLD");
            // The next save removes what the killed one left.
            EXPECT_EQ(FileSystem::listFolder(tmp.file("real"))->size(), 2u);
            EXPECT_EQ(w.writer.SaveList_V11(path, list.source()), 0);
            EXPECT_EQ(FileSystem::listFolder(tmp.file("real"))->size(), 1u);
            continue;
        }
        if (c.faultAfter != UINT64_MAX)
            FileSystem::setWriteFault(c.faultAfter, c.error);
        const int result = w.writer.SaveList_V11(path, list.source());
        FileSystem::clearWriteFault();
        EXPECT_EQ(result, c.faultAfter == UINT64_MAX ? 0 : 1);
        if (result == 0) {
            EXPECT_GT(readBytes(real).size(), 5000u);
        } else {
            EXPECT_EQ(readBytes(real), "OLD");
            ASSERT_EQ(w.messages.shown.size(), 1u);
            EXPECT_EQ(w.messages.shown[0].text, "An error occured while saving the list. List not saved.\n\n - "
                                                "SaveList_V11()\n\nThe disk is full.");
        }
        struct stat st;
        ASSERT_EQ(::stat(real.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0640u);
        EXPECT_EQ(FileSystem::listFolder(tmp.file("real"))->size(), 1u);
        if (c.throughLink) {
            ASSERT_EQ(::lstat(path.c_str(), &st), 0);
            EXPECT_TRUE(S_ISLNK(st.st_mode));
        }
    }
}

TEST(ListFileWriter, saveOverExisting_keepsItsPermissions)
{
    TempFolder tmp;
    ExampleList list;
    const std::string target = tmp.file("l.lst");
    writeBytes(target, "OLD");
    ::chmod(target.c_str(), 0600);
    WriterFixture w;
    ASSERT_EQ(w.writer.SaveList_V11(target, list.source()), 0);
    struct stat st;
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(readBytes(target).size(), 135u);
}

TEST(ListFileWriter, saveProgress_everyFiveRowsWithRowCounts)
{
    TempFolder tmp;
    ExampleList list;
    list.doc.SetRowCount(11);
    WriterFixture w;
    ASSERT_EQ(w.writer.SaveList_V12(tmp.file("p.lstd"), list.source()), 0);
    ASSERT_EQ(w.progress.reports.size(), 3u);
    EXPECT_EQ(w.progress.reports[0].second, "0% - complete. Saving row 0 of 10");
    EXPECT_EQ(w.progress.reports[1].second, "50% - complete. Saving row 5 of 10");
    EXPECT_EQ(w.progress.reports[2], std::make_pair(100, std::string("100% - complete. Saving row 10 of 10")));
}

TEST(ListFileWriter, saveV11_loneMarkerAndEmptyAttachmentFile)
{
    TempFolder tmp;
    writeBytes(tmp.file("empty.bin"), "");
    ExampleList list;
    list.doc.SetRowCount(3);
    list.doc.SetCell(1, 1, "\x01");
    list.doc.SetCell(1, 2, std::string("\x01\x04" "empty.bin"));
    WriterFixture w;
    w.writer.setDatabaseFolder(tmp.path());
    ASSERT_EQ(w.writer.SaveList_V11(tmp.file("l.lst"), list.source()), 0);
    const std::string bytes = readBytes(tmp.file("l.lst"));
    Bytes lone;
    lone.i32(-1).u8(1).u8(0).i32(0).u8(0);
    EXPECT_NE(bytes.find(lone.data), std::string::npos);
    Bytes empty;
    empty.i32(-1).u8(1).u8(4).text("empty.bin").u8(1).raw(std::string(8, '\0'));
    const std::size_t at = bytes.find(empty.data);
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(bytes.size(), at + empty.data.size() + 24 + 1);
}

} // namespace
} // namespace quorvex::test
