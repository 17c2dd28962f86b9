#include "FileSystem.h"

#include "AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace quorvex {

namespace {

struct WriteFault {
    bool armed = false;
    std::uint64_t left = 0;
    int error = 0;
    std::string unremovable;
    int removeError = 0;
};
WriteFault writeFault;

int removeAt(int dirFd, const std::string &name, int flags)
{
    if (!writeFault.unremovable.empty() && name == writeFault.unremovable) {
        errno = writeFault.removeError;
        return -1;
    }
    return ::unlinkat(dirFd, name.c_str(), flags);
}

} // namespace

bool FileSystem::exists(const std::string &path)
{
    struct stat st;
    return !path.empty() && ::stat(withoutTrailingSlash(path).c_str(), &st) == 0;
}

bool FileSystem::isDirectory(const std::string &path)
{
    struct stat st;
    return !path.empty() && ::stat(withoutTrailingSlash(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool FileSystem::isRegularFile(const std::string &path)
{
    struct stat st;
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::optional<std::uint64_t> FileSystem::fileSize(const std::string &path)
{
    struct stat st;
    if (path.empty() || ::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(st.st_size);
}

bool FileSystem::isReadOnly(const std::string &path)
{
    struct stat st;
    if (path.empty() || ::stat(withoutTrailingSlash(path).c_str(), &st) != 0)
        return false;
    return (st.st_mode & S_IWUSR) == 0;
}

bool FileSystem::makeWritable(const std::string &path)
{
    struct stat st;
    const std::string p = withoutTrailingSlash(path);
    if (p.empty() || ::stat(p.c_str(), &st) != 0)
        return false;
    return ::chmod(p.c_str(), (st.st_mode & 07777) | S_IWUSR) == 0;
}

std::uint64_t FileSystem::ticksFromUnix(std::int64_t seconds, std::int64_t nanoseconds)
{
    const std::int64_t ticks = seconds * 10000000LL + nanoseconds / 100;
    return static_cast<std::uint64_t>(ticks + static_cast<std::int64_t>(UnixEpochTicks));
}

std::optional<FileTimes> FileSystem::times(const std::string &path)
{
    if (path.empty())
        return std::nullopt;
    struct statx sx;
    if (::statx(AT_FDCWD, path.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &sx) != 0)
        return std::nullopt;
    FileTimes t;
    t.written = ticksFromUnix(sx.stx_mtime.tv_sec, sx.stx_mtime.tv_nsec);
    t.accessed = ticksFromUnix(sx.stx_atime.tv_sec, sx.stx_atime.tv_nsec);
    t.created = (sx.stx_mask & STATX_BTIME) ? ticksFromUnix(sx.stx_btime.tv_sec, sx.stx_btime.tv_nsec) : t.written;
    return t;
}

struct timespec FileSystem::timespecFromTicks(std::uint64_t ticks)
{
    const std::int64_t rel = static_cast<std::int64_t>(ticks - UnixEpochTicks);
    std::int64_t sec = rel / 10000000LL;
    std::int64_t rem = rel % 10000000LL;
    if (rem < 0) {
        rem += 10000000LL;
        --sec;
    }
    struct timespec ts;
    ts.tv_sec = static_cast<time_t>(sec);
    ts.tv_nsec = static_cast<long>(rem * 100);
    return ts;
}

bool FileSystem::setTimes(const std::string &path, std::uint64_t accessed, std::uint64_t written)
{
    struct timespec spec[2] = {timespecFromTicks(accessed), timespecFromTicks(written)};
    return !path.empty() && ::utimensat(AT_FDCWD, path.c_str(), spec, 0) == 0;
}

bool FileSystem::copyNoOverwrite(const std::string &source, const std::string &target)
{
    struct stat st;
    if (target.empty() || ::lstat(target.c_str(), &st) == 0) {
        errno = EEXIST;
        return false;
    }
    const int in = openForReading(source);
    if (in < 0)
        return false;
    // Copied whole beside the target and only then given its name, so a
    // killed copy never leaves a short file under the real name.
    AtomicFile out(target, AtomicFile::LinkPolicy::Refuse);
    const bool ok = out.open() && out.copyFrom(in);
    ::close(in);
    if (ok && out.commitNoReplace())
        return true;
    errno = out.error();
    return false;
}

bool FileSystem::createFolder(const std::string &path)
{
    const std::string p = withoutTrailingSlash(path);
    return !p.empty() && ::mkdir(p.c_str(), 0755) == 0;
}

bool FileSystem::createFolders(const std::string &path)
{
    const std::string p = withoutTrailingSlash(path);
    if (p.empty())
        return false;
    if (isDirectory(p))
        return true;
    const std::size_t slash = p.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !createFolders(p.substr(0, slash)))
        return false;
    return ::mkdir(p.c_str(), 0755) == 0 || (errno == EEXIST && isDirectory(p));
}

bool FileSystem::removeFile(const std::string &path)
{
    return !path.empty() && ::unlink(path.c_str()) == 0;
}

std::optional<std::vector<std::string>> FileSystem::listFolder(const std::string &path)
{
    DIR *dir = ::opendir(withoutTrailingSlash(path).c_str());
    if (!dir)
        return std::nullopt;
    std::vector<std::string> names;
    while (struct dirent *entry = ::readdir(dir)) {
        const char *name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        names.emplace_back(name);
    }
    ::closedir(dir);
    return names;
}

bool FileSystem::ClearFolder(const std::string &folder)
{
    return !folder.empty() && clearFolderContents(folder);
}

bool FileSystem::RemoveFolder(const std::string &folder)
{
    if (!ClearFolder(folder))
        return false;
    return ::rmdir(withoutTrailingSlash(folder).c_str()) == 0;
}

std::string FileSystem::currentFolder()
{
    char buffer[PATH_MAX];
    if (!::getcwd(buffer, sizeof buffer))
        return std::string();
    return buffer;
}

bool FileSystem::setCurrentFolder(const std::string &path)
{
    return !path.empty() && ::chdir(path.c_str()) == 0;
}

std::string FileSystem::longForm(const std::string &path)
{
    if (path.empty())
        return path;
    char *resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved)
        return path;
    std::string result(resolved);
    std::free(resolved);
    return result;
}

std::string FileSystem::withoutTrailingSlash(const std::string &path)
{
    std::string p = path;
    while (p.size() > 1 && p.back() == '/')
        p.pop_back();
    return p;
}

std::string FileSystem::withTrailingSlash(const std::string &path)
{
    if (path.empty() || path.back() == '/')
        return path;
    return path + '/';
}

std::string FileSystem::join(const std::string &folder, const std::string &name)
{
    if (folder.empty() || folder.back() == '/' || folder.back() == '\\')
        return folder + name;
    return folder + '/' + name;
}

std::optional<std::string> FileSystem::readFile(const std::string &path)
{
    const int fd = openForReading(path);
    if (fd < 0)
        return std::nullopt;
    std::string data;
    char buffer[65536];
    bool failed = false;
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            failed = true;
        if (n <= 0)
            break;
        data.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    if (failed)
        return std::nullopt;
    return data;
}

int FileSystem::openForReading(const std::string &path)
{
    // stat first: merely opening some devices has effects, and a FIFO's open
    // would wait for a writer.
    struct stat st;
    if (path.empty() || ::stat(path.c_str(), &st) != 0)
        return -1;
    if (!S_ISREG(st.st_mode)) {
        errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return -1;
    }
    // The name may have been swapped since: O_NONBLOCK keeps that open from
    // waiting, and fstat tells what was opened.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return -1;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}

std::string FileSystem::errorCause(int error)
{
    switch (error) {
    case ENOSPC:
        return "The disk is full.";
    case EDQUOT:
        return "The disk quota is used up.";
    case EACCES:
    case EPERM:
        return "Permission denied.";
    case EROFS:
        return "The disk is write protected (read-only file system).";
    case ENOENT:
        return "The file or folder does not exist.";
    case ENOTDIR:
        return "A part of the path is not a folder.";
    case EISDIR:
        return "A folder has that name.";
    case ELOOP:
        return "The name is a symbolic link, or too many links lead to it.";
    case ENAMETOOLONG:
        return "The file name is too long.";
    case EEXIST:
        return "A file of that name already exists.";
    case EINVAL:
        return "The name does not belong to a regular file.";
    case ENXIO:
        return "No program is reading from the pipe.";
    case EIO:
        return "The disk reported an input/output error.";
    case EFBIG:
        return "The file is too large for the disk.";
    case EMFILE:
    case ENFILE:
        return "Too many files are open.";
    default:
        return error != 0 ? std::string(std::strerror(error)) + "." : std::string("Unknown error.");
    }
}

namespace {

// Empties the folder open as `dirFd`, never leaving it through a link.
bool clearAt(int dirFd, const std::string &relative, std::vector<std::string> *left)
{
    DIR *dir = ::fdopendir(dirFd);
    if (!dir) {
        ::close(dirFd);
        if (left)
            left->push_back(relative.empty() ? std::string(".") : relative);
        return false;
    }
    std::vector<std::string> names;
    while (struct dirent *entry = ::readdir(dir)) {
        const char *name = entry->d_name;
        if (std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0)
            names.emplace_back(name);
    }
    bool ok = true;
    const int fd = ::dirfd(dir);
    for (const std::string &name : names) {
        const std::string shown = relative.empty() ? name : relative + "/" + name;
        struct stat st;
        if (::fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno == ENOENT)
                continue;
            ok = false;
            if (left)
                left->push_back(shown);
            continue;
        }
        if (S_ISDIR(st.st_mode)) {
            if ((st.st_mode & (S_IRUSR | S_IWUSR | S_IXUSR)) != (S_IRUSR | S_IWUSR | S_IXUSR))
                ::fchmodat(fd, name.c_str(), (st.st_mode & 07777) | S_IRUSR | S_IWUSR | S_IXUSR, 0);
            const int sub = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            const std::size_t before = left ? left->size() : 0;
            const bool emptied = sub >= 0 ? clearAt(sub, shown, left) : false;
            if (removeAt(fd, name, AT_REMOVEDIR) != 0 && errno != ENOENT) {
                ok = false;
                // The folder itself is named only when nothing inside it was.
                if (left && (emptied || left->size() == before))
                    left->push_back(shown + "/");
            }
            continue;
        }
        if (removeAt(fd, name, 0) == 0 || errno == ENOENT)
            continue;
        // Only a file's folder governs its removal on this system; a
        // read-only mark is cleared anyway in case the file system cares.
        if (!S_ISLNK(st.st_mode) && (st.st_mode & S_IWUSR) == 0 &&
            ::fchmodat(fd, name.c_str(), (st.st_mode & 07777) | S_IWUSR, 0) == 0 &&
            removeAt(fd, name, 0) == 0)
            continue;
        ok = false;
        if (left)
            left->push_back(shown);
    }
    ::closedir(dir);
    return ok;
}

} // namespace

bool FileSystem::clearFolderContents(const std::string &folder, std::vector<std::string> *left)
{
    const int fd = ::open(withoutTrailingSlash(folder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        if (left)
            left->push_back(".");
        return false;
    }
    return clearAt(fd, std::string(), left);
}

void FileSystem::setWriteFault(std::uint64_t afterBytes, int error)
{
    writeFault.armed = true;
    writeFault.left = afterBytes;
    writeFault.error = error;
}

void FileSystem::setRemoveFault(const std::string &name, int error)
{
    writeFault.unremovable = name;
    writeFault.removeError = error;
}

void FileSystem::clearWriteFault()
{
    writeFault = WriteFault();
}

std::optional<std::string> FileSystem::readFilePrefix(const std::string &path, std::size_t maxBytes)
{
    // Non-blocking open: a FIFO put in the file's place must not hang the start.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    std::string data(maxBytes, '\0');
    std::size_t got = 0;
    bool failed = false;
    while (got < data.size()) {
        const ssize_t n = ::read(fd, &data[got], data.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            failed = true;
            break;
        }
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (failed)
        return std::nullopt;
    data.resize(got);
    return data;
}

bool FileSystem::writeFileAtomic(const std::string &path, const std::string &data)
{
    if (path.empty() || path.back() == '/')
        return false;
    // A rename replaces a read-only file as easily as any other; the callers
    // that may replace one ask first and make it writable.
    if (isReadOnly(path))
        return false;
    AtomicFile file(path);
    return file.open() && file.write(data) && file.commit();
}

bool FileSystem::writeAll(int fd, const char *data, std::size_t size)
{
    while (size > 0) {
        std::size_t piece = size;
        if (writeFault.armed) {
            if (writeFault.left == 0) {
                if (writeFault.error == 0)
                    ::raise(SIGKILL);
                errno = writeFault.error;
                return false;
            }
            piece = static_cast<std::size_t>(std::min<std::uint64_t>(piece, writeFault.left));
        }
        const ssize_t n = ::write(fd, data, piece);
        if (n > 0 && writeFault.armed)
            writeFault.left -= static_cast<std::uint64_t>(n);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) {
            errno = EIO;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace quorvex
