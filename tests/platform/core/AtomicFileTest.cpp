#include "platform/core/AtomicFile.h"
#include "platform/core/FileSystem.h"
#include "platform/core/StaleFiles.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace quorvex {
namespace {

using test::TempFolder;

void put(const std::string &path, const std::string &text, mode_t mode = 0644)
{
    ASSERT_TRUE(FileSystem::writeFileAtomic(path, text));
    ::chmod(path.c_str(), mode);
}

std::vector<std::string> namesIn(const std::string &folder)
{
    auto names = FileSystem::listFolder(folder).value_or(std::vector<std::string>());
    std::sort(names.begin(), names.end());
    return names;
}

// The process id of a process that has ended (its id is free again).
pid_t endedProcess()
{
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(0);
    ::waitpid(pid, nullptr, 0);
    return pid;
}

// Writes `data` to `path` in a child that the fault hook kills after `after`
// bytes; returns how the child ended.
int killedWriter(const std::string &path, const std::string &data, std::uint64_t after)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        FileSystem::setWriteFault(after, 0);
        AtomicFile file(path);
        if (file.open())
            file.write(data);
        file.commit();
        ::_exit(3);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

TEST(AtomicFileTest, atomicFile_failedOrKilledWriteKeepsOldFileWhole)
{
    const std::string big(300000, 'n');
    struct Case {
        const char *name;
        bool existing;
        bool throughLink;
        std::uint64_t faultAfter; // UINT64_MAX: no fault
        int error;                // 0: the writer is killed
    };
    const Case cases[] = {
        {"written", true, false, UINT64_MAX, 0},
        {"new file written", false, false, UINT64_MAX, 0},
        {"disk full at once", true, false, 0, ENOSPC},
        {"disk full midway", true, false, 100000, ENOSPC},
        {"disk full through a link", true, true, 5, ENOSPC},
        {"disk full, new file", false, false, 10, ENOSPC},
        {"quota", true, false, 10, EDQUOT},
        {"killed midway", true, false, 150000, 0},
        {"killed through a link", true, true, 150000, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder dir;
        const std::string real = dir.file("real.lst");
        const std::string path = c.throughLink ? dir.file("link.lst") : real;
        if (c.existing)
            put(real, "old list");
        if (c.throughLink) {
            ASSERT_EQ(::symlink("real.lst", path.c_str()), 0);
        }
        if (c.faultAfter != UINT64_MAX && c.error == 0) {
            const int status = killedWriter(path, big, c.faultAfter);
            ASSERT_TRUE(WIFSIGNALED(status));
            EXPECT_EQ(WTERMSIG(status), SIGKILL);
            EXPECT_EQ(FileSystem::readFile(real).value_or("?"), "old list");
            // The dead writer's half file stays until the next save of that target.
            EXPECT_EQ(namesIn(dir.path()).size(), c.throughLink ? 3u : 2u);
            AtomicFile next(path);
            ASSERT_TRUE(next.open() && next.write("new") && next.commit());
            EXPECT_EQ(FileSystem::readFile(real).value_or("?"), "new");
            EXPECT_EQ(namesIn(dir.path()).size(), c.throughLink ? 2u : 1u);
            continue;
        }
        if (c.faultAfter != UINT64_MAX)
            FileSystem::setWriteFault(c.faultAfter, c.error);
        AtomicFile file(path);
        const bool ok = file.open() && file.write(big) && file.commit();
        FileSystem::clearWriteFault();
        if (c.faultAfter == UINT64_MAX) {
            EXPECT_TRUE(ok);
            EXPECT_EQ(FileSystem::readFile(real).value_or("?"), big);
        } else {
            EXPECT_FALSE(ok);
            EXPECT_EQ(file.error(), c.error);
            EXPECT_EQ(file.errorText(), FileSystem::errorCause(c.error));
            EXPECT_EQ(FileSystem::exists(real), c.existing);
            if (c.existing) {
                EXPECT_EQ(FileSystem::readFile(real).value_or("?"), "old list");
            }
        }
        // No temporary file is left, and a link stays a link.
        EXPECT_EQ(namesIn(dir.path()).size(), (c.existing || ok ? 1u : 0u) + (c.throughLink ? 1u : 0u));
        if (c.throughLink) {
            struct stat st;
            ASSERT_EQ(::lstat(path.c_str(), &st), 0);
            EXPECT_TRUE(S_ISLNK(st.st_mode));
        }
    }
    EXPECT_EQ(FileSystem::errorCause(ENOSPC), "The disk is full.");
    EXPECT_EQ(FileSystem::errorCause(EACCES), "Permission denied.");
}

TEST(AtomicFileTest, atomicFile_writesToTheLinksFinalTargetOrInPlace)
{
    TempFolder dir;
    ASSERT_TRUE(FileSystem::createFolder(dir.file("real")));
    ASSERT_TRUE(FileSystem::createFolder(dir.file("links")));
    put(dir.file("real/target.lstd"), "old", 0640);
    // A chain: links/a -> ../links/b -> (absolute) real/target.lstd.
    ASSERT_EQ(::symlink(dir.file("real/target.lstd").c_str(), dir.file("links/b").c_str()), 0);
    ASSERT_EQ(::symlink("../links/b", dir.file("links/a").c_str()), 0);
    ASSERT_EQ(::symlink("nowhere/new.lst", dir.file("dangling").c_str()), 0);
    ASSERT_TRUE(FileSystem::createFolder(dir.file("nowhere")));
    ASSERT_EQ(::symlink("loop2", dir.file("loop1").c_str()), 0);
    ASSERT_EQ(::symlink("loop1", dir.file("loop2").c_str()), 0);
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0644), 0);

    struct Case {
        const char *path;
        AtomicFile::LinkPolicy links;
        int error; // 0: written
        const char *writtenAt;
        bool direct;
    };
    const Case cases[] = {
        {"links/a", AtomicFile::LinkPolicy::Follow, 0, "real/target.lstd", false},
        {"dangling", AtomicFile::LinkPolicy::Follow, 0, "nowhere/new.lst", false},
        {"links/b", AtomicFile::LinkPolicy::Refuse, ELOOP, nullptr, false},
        {"loop1", AtomicFile::LinkPolicy::Follow, ELOOP, nullptr, false},
        {"real", AtomicFile::LinkPolicy::Follow, EISDIR, nullptr, false},
        {"fifo", AtomicFile::LinkPolicy::Follow, ENXIO, nullptr, true}, // nobody reads: refused, not waited on
        {"/dev/null", AtomicFile::LinkPolicy::Follow, 0, nullptr, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path);
        const std::string path = c.path[0] == '/' ? c.path : dir.file(c.path);
        AtomicFile file(path, c.links);
        const bool ok = file.open() && file.write("new") && file.commit();
        EXPECT_EQ(ok, c.error == 0);
        EXPECT_EQ(file.error(), c.error);
        EXPECT_EQ(file.isDirect(), c.direct);
        if (c.writtenAt) {
            EXPECT_EQ(FileSystem::readFile(dir.file(c.writtenAt)).value_or("?"), "new");
        }
    }
    struct stat st;
    ASSERT_EQ(::stat(dir.file("real/target.lstd").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    ASSERT_EQ(::lstat(dir.file("links/a").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(FileSystem::readFile(dir.file("links/b")).value_or("?"), "new");
    // Exports and settings files take the same path.
    ASSERT_TRUE(FileSystem::writeFileAtomic(dir.file("links/a"), "exported"));
    EXPECT_EQ(FileSystem::readFile(dir.file("real/target.lstd")).value_or("?"), "exported");
    ASSERT_EQ(::lstat(dir.file("links/a").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(namesIn(dir.file("real")), std::vector<std::string>{"target.lstd"});

    // A FIFO with a reader is written in place, never renamed over.
    std::string received;
    std::thread reader([&] {
        const int fd = ::open(dir.file("fifo").c_str(), O_RDONLY);
        char buffer[64];
        ssize_t n;
        while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
            received.append(buffer, static_cast<std::size_t>(n));
        ::close(fd);
    });
    bool written = false;
    for (int tries = 0; tries < 500 && !written; ++tries) {
        AtomicFile file(dir.file("fifo"));
        written = file.open() && file.write("through the pipe") && file.commit();
        if (!written)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    reader.join();
    EXPECT_TRUE(written);
    EXPECT_EQ(received, "through the pipe");
    ASSERT_EQ(::lstat(dir.file("fifo").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));

    // A copy that must not overwrite fails when the name is taken.
    AtomicFile copy(dir.file("real/target.lstd"));
    ASSERT_TRUE(copy.open() && copy.write("other"));
    EXPECT_FALSE(copy.commitNoReplace());
    EXPECT_EQ(copy.error(), EEXIST);
    EXPECT_EQ(FileSystem::readFile(dir.file("real/target.lstd")).value_or("?"), "exported");
}

TEST(AtomicFileTest, staleFiles_removedOnlyWhenTheirProcessEnded)
{
    TempFolder dir;
    const pid_t ended = endedProcess();
    const std::string dead = std::to_string(ended);
    const std::string live = std::to_string(::getpid());
    const std::string parent = std::to_string(::getppid());
    struct Case {
        std::string name;
        bool removedBySave;
    };
    const std::vector<Case> cases = {
        {"list.lst.tmp-" + dead + "-a8Zq3x", true},
        {"list.lst.tmp-" + live + "-a8Zq3x", false},   // this process still works on it
        {"list.lst.tmp-" + parent + "-a8Zq3x", false}, // another live process
        {"list.lst.tmp-a8Zq3x", false},                // no owner in the name
        {"list.lst.tmp-" + dead + "-a8Zq3", false},    // not a name of ours
        {"other.lst.tmp-" + dead + "-a8Zq3x", false},  // another target's
        {"list.lst", false},
    };
    for (const Case &c : cases)
        put(dir.file(c.name), "x");
    AtomicFile file(dir.file("list.lst"));
    ASSERT_TRUE(file.open() && file.write("saved") && file.commit());
    for (const Case &c : cases)
        EXPECT_EQ(FileSystem::exists(dir.file(c.name)), !c.removedBySave) << c.name;
    // A folder-wide sweep takes every target's.
    EXPECT_EQ(StaleFiles::removeStaleTemporaries(dir.path()), 1);
    EXPECT_FALSE(FileSystem::exists(dir.file("other.lst.tmp-" + dead + "-a8Zq3x")));

    // Scratch folders: a dead one goes with its content, a link inside it is
    // not followed, a live one stays.
    TempFolder base;
    put(dir.file("outside"), "keep");
    const std::string deadFolder = base.file("quorvex-cli-" + dead + "-Kp2m9Q");
    ASSERT_TRUE(FileSystem::createFolders(deadFolder + "/sub"));
    put(deadFolder + "/sub/a.jpg", "x");
    ASSERT_EQ(::symlink(dir.file("outside").c_str(), (deadFolder + "/link").c_str()), 0);
    const std::string liveFolder = base.file("quorvex-cli-" + parent + "-Kp2m9Q");
    ASSERT_TRUE(FileSystem::createFolder(liveFolder));
    EXPECT_EQ(StaleFiles::removeStaleFolders(base.path(), "quorvex-cli-"), 1);
    {
        ScratchFolder scratch("quorvex-cli-", base.path());
        ASSERT_FALSE(scratch.path().empty());
        EXPECT_EQ(scratch.path().find(base.file("quorvex-cli-" + live + "-")), 0u);
        EXPECT_FALSE(FileSystem::exists(deadFolder));
        EXPECT_TRUE(FileSystem::isDirectory(liveFolder));
        EXPECT_EQ(FileSystem::readFile(dir.file("outside")).value_or("?"), "keep");
        put(scratch.path() + "x.lst", "x");
    }
    EXPECT_EQ(namesIn(base.path()), std::vector<std::string>{"quorvex-cli-" + parent + "-Kp2m9Q"});
}

TEST(AtomicFileTest, clearFolderContents_removesEverythingWithoutFollowingLinks)
{
    TempFolder outside;
    put(outside.file("precious"), "keep");
    struct Case {
        const char *name;
        const char *unremovable; // nullptr: everything goes
        std::vector<std::string> left;
    };
    const Case cases[] = {
        {"all removed", nullptr, {}},
        {"file left", "b.jpg", {"b.jpg"}},
        {"file deep inside", "deep.jpg", {"sub/inner/deep.jpg"}},
        {"folder left", "inner", {"sub/inner/"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder dir;
        put(dir.file("a.jpg"), "a");
        put(dir.file("b.jpg"), "b", 0444);
        ASSERT_TRUE(FileSystem::createFolders(dir.file("sub/inner")));
        put(dir.file("sub/inner/deep.jpg"), "d");
        ASSERT_EQ(::symlink(outside.file("precious").c_str(), dir.file("link.jpg").c_str()), 0);
        ASSERT_EQ(::symlink(outside.path().c_str(), dir.file("sub/folderlink").c_str()), 0);
        ASSERT_TRUE(FileSystem::createFolder(dir.file("closed")));
        put(dir.file("closed/x"), "x");
        ::chmod(dir.file("closed").c_str(), 0);
        if (c.unremovable)
            FileSystem::setRemoveFault(c.unremovable, EACCES);
        std::vector<std::string> left;
        const bool ok = FileSystem::clearFolderContents(dir.path(), &left);
        FileSystem::clearWriteFault();
        EXPECT_EQ(ok, c.left.empty());
        EXPECT_EQ(left, c.left);
        if (c.left.empty()) {
            EXPECT_TRUE(namesIn(dir.path()).empty());
        }
        EXPECT_TRUE(FileSystem::isDirectory(dir.path()));
        EXPECT_EQ(FileSystem::readFile(outside.file("precious")).value_or("?"), "keep");
    }
}

TEST(AtomicFileTest, openForReading_refusesWhatIsNotARegularFile)
{
    TempFolder dir;
    put(dir.file("plain"), "text");
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0644), 0);
    ASSERT_EQ(::symlink("fifo", dir.file("fifolink").c_str()), 0);
    const struct {
        std::string path;
        int error; // 0: opened
    } cases[] = {{dir.file("plain"), 0},      {dir.file("fifo"), EINVAL}, {dir.file("fifolink"), EINVAL},
                 {dir.path(), EISDIR},        {"/dev/zero", EINVAL},      {dir.file("missing"), ENOENT}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path);
        errno = 0;
        const int fd = FileSystem::openForReading(c.path);
        EXPECT_EQ(fd >= 0, c.error == 0);
        if (fd >= 0) {
            EXPECT_EQ(::fcntl(fd, F_GETFL) & O_NONBLOCK, 0);
            ::close(fd);
        } else {
            EXPECT_EQ(errno, c.error);
        }
        EXPECT_EQ(FileSystem::readFile(c.path).has_value(), c.error == 0);
    }
}

} // namespace
} // namespace quorvex
