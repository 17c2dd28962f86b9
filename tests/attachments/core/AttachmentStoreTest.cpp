#include "TempFolder.h"
#include "platform/core/FileSystem.h"
#include "attachments/core/AttachmentStore.h"

#include <gtest/gtest.h>
#include <cerrno>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using quorvex::AttachmentStore;
using quorvex::FileSystem;
using quorvex::StoreOutcome;
using quorvex::test::TempFolder;

namespace {

constexpr std::uint64_t Second = 10000000ULL;
const std::uint64_t Stamp = FileSystem::ticksFromUnix(1600000000, 123456700);

void writeFile(const std::string &path, const std::string &content, std::uint64_t written = Stamp)
{
    ASSERT_TRUE(FileSystem::writeFileAtomic(path, content));
    ASSERT_TRUE(FileSystem::setTimes(path, written, written));
}

std::string content(const std::string &path)
{
    return FileSystem::readFile(path).value_or("<missing>");
}

mode_t modeOf(const std::string &path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

struct StoreFolders {
    TempFolder root;
    std::string db = root.file("db/");
    std::string src = root.file("src/");
    StoreFolders()
    {
        FileSystem::createFolders(db);
        FileSystem::createFolders(src + "one");
        FileSystem::createFolders(src + "two");
        FileSystem::createFolders(src + "three");
    }
};

} // namespace

TEST(AttachmentStore, splitSourceName_lastDotOfTheNameOnly)
{
    auto split = [](const std::string &p) {
        const auto parts = AttachmentStore::splitSourceName(p);
        return parts.base + "|" + parts.ext;
    };
    EXPECT_EQ(split("/pics/cover.jpg"), "cover|.jpg");
    EXPECT_EQ(split("/docs/README"), "README|");
    EXPECT_EQ(split("/my.docs/README"), "README|");
    EXPECT_EQ(split("/a/backup.tar.gz"), "backup.tar|.gz");
    EXPECT_EQ(split("cover.jpg"), "cover|.jpg");
    EXPECT_EQ(AttachmentStore::numberedName({"README", ""}, 2), "README2");
    EXPECT_EQ(AttachmentStore::numberedName({"photo", ".jpg"}, 0), "photo.jpg");
}

TEST(AttachmentStore, storeFile_sameFileReusedOthersOfTheSameNameNumbered)
{
    StoreFolders f;
    writeFile(f.src + "one/cover.jpg", "first");
    writeFile(f.src + "two/cover.jpg", "second", Stamp + Second);
    writeFile(f.src + "three/cover.jpg", "third", Stamp + 2 * Second);

    auto first = AttachmentStore::storeFile(f.src + "one/cover.jpg", f.db);
    EXPECT_EQ(first.outcome, StoreOutcome::Copied);
    EXPECT_EQ(first.name, "cover.jpg");
    EXPECT_EQ(content(f.db + "cover.jpg"), "first");
    EXPECT_EQ(FileSystem::times(f.db + "cover.jpg")->written, Stamp);

    auto again = AttachmentStore::storeFile(f.src + "one/cover.jpg", f.db);
    EXPECT_EQ(again.outcome, StoreOutcome::Reused);
    EXPECT_EQ(again.name, "cover.jpg");

    EXPECT_EQ(AttachmentStore::storeFile(f.src + "two/cover.jpg", f.db).name, "cover1.jpg");
    EXPECT_EQ(AttachmentStore::storeFile(f.src + "three/cover.jpg", f.db).name, "cover2.jpg");
    EXPECT_EQ(content(f.db + "cover1.jpg"), "second");
    EXPECT_EQ(content(f.db + "cover2.jpg"), "third");
    // The second file again finds its own copy, not the first free number.
    EXPECT_EQ(AttachmentStore::storeFile(f.src + "two/cover.jpg", f.db).name, "cover1.jpg");
    EXPECT_EQ(FileSystem::listFolder(f.db)->size(), 3u);
}

TEST(AttachmentStore, storeFile_timesCompareToTheMillisecondAndSizesMustAgree)
{
    StoreFolders f;
    writeFile(f.src + "one/README", "abc");
    ASSERT_EQ(AttachmentStore::storeFile(f.src + "one/README", f.db).name, "README");

    // Same millisecond, different sub-millisecond ticks: still the same file.
    writeFile(f.src + "two/README", "xyz", Stamp + 3);
    EXPECT_EQ(AttachmentStore::storeFile(f.src + "two/README", f.db).outcome, StoreOutcome::Reused);

    // Same stamp, other size: another file, so it must not be taken for the first.
    writeFile(f.src + "three/README", "a longer text");
    const auto other = AttachmentStore::storeFile(f.src + "three/README", f.db);
    EXPECT_EQ(other.outcome, StoreOutcome::Copied);
    EXPECT_EQ(other.name, "README1");
    EXPECT_EQ(content(f.db + "README"), "abc");
}

TEST(AttachmentStore, storeFile_copiesAreNeverExecutableAndNeverWriteThroughLinks)
{
    StoreFolders f;
    writeFile(f.src + "one/tool.sh", "#!/bin/sh\n");
    ASSERT_EQ(::chmod((f.src + "one/tool.sh").c_str(), 0755), 0);
    TempFolder outside;
    ASSERT_EQ(::symlink(outside.file("victim").c_str(), (f.db + "tool.sh").c_str()), 0);

    const auto r = AttachmentStore::storeFile(f.src + "one/tool.sh", f.db);
    EXPECT_EQ(r.outcome, StoreOutcome::Copied);
    EXPECT_EQ(r.name, "tool1.sh");
    EXPECT_FALSE(FileSystem::exists(outside.file("victim")));
    EXPECT_EQ(modeOf(f.db + "tool1.sh") & 0111, 0u);
}

TEST(AttachmentStore, storeFile_refusesWhatCannotBeAPlainCopy)
{
    StoreFolders f;
    EXPECT_EQ(AttachmentStore::storeFile(f.src + "one/", f.db).outcome, StoreOutcome::CopyFailed);
    EXPECT_EQ(AttachmentStore::storeFile(f.src + "one/..", f.db).outcome, StoreOutcome::CopyFailed);
    EXPECT_EQ(AttachmentStore::storeFile(f.src + "one", f.db).outcome, StoreOutcome::CopyFailed);
    EXPECT_EQ(AttachmentStore::storeFile(f.src + "missing.jpg", f.db).outcome, StoreOutcome::CopyFailed);
    writeFile(f.src + "one/back\\slash.jpg", "x");
    EXPECT_EQ(AttachmentStore::storeFile(f.src + "one/back\\slash.jpg", f.db).outcome, StoreOutcome::CopyFailed);
    // A FIFO would block the copy for ever.
    ASSERT_EQ(::mkfifo((f.src + "one/pipe.wav").c_str(), 0644), 0);
    EXPECT_EQ(AttachmentStore::storeFile(f.src + "one/pipe.wav", f.db).outcome, StoreOutcome::CopyFailed);
    EXPECT_TRUE(FileSystem::listFolder(f.db)->empty());

    writeFile(f.src + "one/cover.jpg", "data");
    EXPECT_EQ(AttachmentStore::storeFile(f.src + "one/cover.jpg", f.root.file("no-such-db/")).outcome,
              StoreOutcome::CopyFailed);
}

TEST(AttachmentStore, copyReplacing_replacesWholeFileKeepsTimesAndDropsExecBits)
{
    StoreFolders f;
    writeFile(f.db + "clip.avi", "new content");
    ASSERT_EQ(::chmod((f.db + "clip.avi").c_str(), 0755), 0);
    writeFile(f.root.file("out.avi"), "old and longer content", Stamp + Second);

    ASSERT_TRUE(AttachmentStore::copyReplacing(f.db + "clip.avi", f.root.file("out.avi")));
    EXPECT_EQ(content(f.root.file("out.avi")), "new content");
    EXPECT_EQ(FileSystem::times(f.root.file("out.avi"))->written, Stamp);
    EXPECT_EQ(modeOf(f.root.file("out.avi")) & 0111, 0u);
}

TEST(AttachmentStore, copyReplacing_failureLeavesDestinationAndNoTemporaryFile)
{
    StoreFolders f;
    writeFile(f.root.file("keep.txt"), "precious");
    EXPECT_FALSE(AttachmentStore::copyReplacing(f.db + "missing.txt", f.root.file("keep.txt")));
    EXPECT_EQ(content(f.root.file("keep.txt")), "precious");

    writeFile(f.db + "a.txt", "abc");
    EXPECT_FALSE(AttachmentStore::copyReplacing(f.db + "a.txt", f.src + "one"));
    EXPECT_TRUE(FileSystem::isDirectory(f.src + "one"));
    EXPECT_FALSE(AttachmentStore::copyReplacing(f.db + "a.txt", f.root.file("none/a.txt")));

    const auto names = FileSystem::listFolder(f.src);
    EXPECT_EQ(names->size(), 3u);
    EXPECT_EQ(FileSystem::listFolder(f.root.path())->size(), 3u); // db, src, keep.txt
}

TEST(AttachmentStore, copyReplacing_throughLinkOrOntoFullDiskOrKilledKeepsLinkAndOldFile)
{
    struct Case {
        const char *name;
        bool throughLink;
        std::uint64_t faultAfter; // UINT64_MAX: no fault
        int error;                // 0: the copy is killed
    };
    const Case cases[] = {
        {"through a link", true, UINT64_MAX, 0},
        {"disk full", false, 70000, ENOSPC},
        {"disk full through a link", true, 0, ENOSPC},
        {"killed", false, 70000, 0},
    };
    const std::string data(200000, 'd');
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        StoreFolders f;
        writeFile(f.db + "song.mp3", data);
        const std::string real = f.src + "two/old.mp3";
        writeFile(real, "older file");
        ASSERT_EQ(::chmod(real.c_str(), 0600), 0);
        const std::string destination = c.throughLink ? f.src + "one/link.mp3" : real;
        if (c.throughLink) {
            ASSERT_EQ(::symlink("../two/old.mp3", destination.c_str()), 0);
        }
        if (c.faultAfter != UINT64_MAX && c.error == 0) {
            const pid_t pid = ::fork();
            if (pid == 0) {
                FileSystem::setWriteFault(c.faultAfter, 0);
                AttachmentStore::copyReplacing(f.db + "song.mp3", destination);
                ::_exit(3);
            }
            int status = 0;
            ::waitpid(pid, &status, 0);
            EXPECT_TRUE(WIFSIGNALED(status));
            EXPECT_EQ(content(real), "older file");
            continue;
        }
        if (c.faultAfter != UINT64_MAX)
            FileSystem::setWriteFault(c.faultAfter, c.error);
        int error = 0;
        const bool ok = AttachmentStore::copyReplacing(f.db + "song.mp3", destination, &error);
        FileSystem::clearWriteFault();
        EXPECT_EQ(ok, c.faultAfter == UINT64_MAX);
        EXPECT_EQ(error, ok ? 0 : c.error);
        EXPECT_EQ(content(real), ok ? data : "older file");
        EXPECT_EQ(modeOf(real), 0600u);
        EXPECT_EQ(FileSystem::listFolder(f.src + "two")->size(), 1u);
        if (c.throughLink) {
            struct stat st;
            ASSERT_EQ(::lstat(destination.c_str(), &st), 0);
            EXPECT_TRUE(S_ISLNK(st.st_mode));
        }
    }
}

TEST(AttachmentStore, unicodeList_namesAreTheFileNamesOnDiskAsTheyAre)
{
    using quorvex::TextEncoding;
    const std::string lodz = "\xC5\x81\xC3\xB3\x64\xC5\xBA.jpg"; // Łódź.jpg
    const struct {
        std::string disk;
        TextEncoding encoding;
        std::string reference;
    } cases[] = {
        {lodz, TextEncoding::Utf8, lodz},
        {lodz, TextEncoding::Windows1252, "?\xF3" "d?.jpg"},
        {"caf\xC3\xA9.png", TextEncoding::Utf8, "caf\xC3\xA9.png"},
        {"caf\xC3\xA9.png", TextEncoding::Windows1252, "caf\xE9.png"},
        // Bytes that are not UTF-8 cannot be a Unicode list's text.
        {"bad\xFF.txt", TextEncoding::Utf8, "bad?.txt"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(AttachmentStore::referenceName(c.disk, c.encoding), c.reference) << c.disk;
        if (c.disk.find('\xFF') == std::string::npos && c.reference.find('?') == std::string::npos) {
            EXPECT_EQ(AttachmentStore::diskName(c.reference, c.encoding), c.disk) << c.disk;
        }
    }

    StoreFolders f;
    writeFile(f.src + "one/" + lodz, "P");
    const auto stored = AttachmentStore::storeFile(f.src + "one/" + lodz, f.db, TextEncoding::Utf8);
    ASSERT_EQ(stored.outcome, StoreOutcome::Copied);
    EXPECT_EQ(stored.name, lodz);
    EXPECT_EQ(AttachmentStore::pathOf(f.db, lodz, TextEncoding::Utf8), f.db + lodz);
    EXPECT_EQ(content(AttachmentStore::pathOf(f.db, lodz, TextEncoding::Utf8)), "P");
}
