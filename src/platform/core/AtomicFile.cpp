#include "AtomicFile.h"

#include "FileSystem.h"
#include "StaleFiles.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>
#include <vector>

namespace quorvex {

namespace {

constexpr int MaxLinkHops = 40;

std::string folderOf(const std::string &path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string &path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool underProc(const std::string &path)
{
    return path.compare(0, 6, "/proc/") == 0 || path == "/proc";
}

void syncFolder(const std::string &path)
{
    const int dir = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

} // namespace

AtomicFile::AtomicFile(std::string target, LinkPolicy links) : m_target(std::move(target)), m_links(links) {}

AtomicFile::~AtomicFile()
{
    if (!m_committed)
        discard();
}

bool AtomicFile::resolveLinks(const std::string &path, std::string &resolved, bool &throughProc)
{
    throughProc = false;
    std::string p = path;
    for (int hop = 0; hop <= MaxLinkHops; ++hop) {
        if (underProc(p)) {
            throughProc = true;
            resolved = p;
            return true;
        }
        struct stat st;
        if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            resolved = p;
            return true;
        }
        std::vector<char> text(PATH_MAX + 1);
        const ssize_t n = ::readlink(p.c_str(), text.data(), text.size() - 1);
        if (n < 0)
            return false;
        const std::string link(text.data(), static_cast<std::size_t>(n));
        if (link.empty()) {
            errno = ENOENT;
            return false;
        }
        p = link[0] == '/' ? link : FileSystem::join(folderOf(p), link);
    }
    errno = ELOOP;
    return false;
}

bool AtomicFile::fail(int error)
{
    if (m_error == 0)
        m_error = error != 0 ? error : EIO;
    discard();
    return false;
}

bool AtomicFile::open()
{
    if (m_fd >= 0 || m_committed)
        return fail(EBADF);
    if (m_target.empty() || m_target.back() == '/')
        return fail(EISDIR);
    bool throughProc = false;
    if (m_links == LinkPolicy::Follow) {
        if (!resolveLinks(m_target, m_final, throughProc))
            return fail(errno);
    } else {
        struct stat st;
        if (::lstat(m_target.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
            return fail(ELOOP);
        m_final = m_target;
    }
    struct stat old;
    const bool exists = ::stat(m_final.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode))
        return fail(EISDIR);
    if (throughProc || (exists && !S_ISREG(old.st_mode))) {
        if (m_links == LinkPolicy::Refuse)
            return fail(EINVAL);
        // A pipe, a terminal or an open file of the caller: written as it is.
        // O_NONBLOCK keeps a FIFO without reader from waiting (ENXIO instead).
        m_direct = true;
        m_fd = ::open(m_final.c_str(), O_WRONLY | O_APPEND | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (m_fd < 0)
            return fail(errno);
        const int flags = ::fcntl(m_fd, F_GETFL);
        if (flags >= 0)
            ::fcntl(m_fd, F_SETFL, flags & ~O_NONBLOCK);
        return true;
    }
    const std::string folder = folderOf(m_final);
    if (m_removeStale)
        StaleFiles::removeStaleTemporaries(folder, nameOf(m_final) + ".tmp-");
    std::string tmpl = StaleFiles::ownedPrefix(m_final + ".tmp-") + "XXXXXX";
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    m_fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (m_fd < 0)
        return fail(errno);
    m_temp.assign(name.data());
    m_replaces = exists;
    const mode_t mode = exists ? (old.st_mode & 07777 & m_modeMask) | S_IWUSR : m_newMode;
    if (::fchmod(m_fd, mode) != 0)
        return fail(errno);
    // Saved by another account (root), the file stays its owner's.
    if (exists && (old.st_uid != ::geteuid() || old.st_gid != ::getegid()))
        (void)::fchown(m_fd, old.st_uid, old.st_gid);
    return true;
}

bool AtomicFile::write(const char *data, std::size_t size)
{
    if (m_fd < 0)
        return fail(m_error != 0 ? m_error : EBADF);
    if (!FileSystem::writeAll(m_fd, data, size))
        return fail(errno);
    m_bytes += size;
    return true;
}

bool AtomicFile::copyFrom(int fd)
{
    std::vector<char> buffer(1 << 16);
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return fail(errno);
        if (n == 0)
            return true;
        if (!write(buffer.data(), static_cast<std::size_t>(n)))
            return false;
    }
}

bool AtomicFile::setTimes(std::uint64_t accessed, std::uint64_t written)
{
    m_hasTimes = true;
    m_accessed = accessed;
    m_written = written;
    return true;
}

bool AtomicFile::finish(bool replace)
{
    if (m_fd < 0)
        return fail(m_error != 0 ? m_error : EBADF);
    if (m_direct) {
        const int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0 && errno != EINTR)
            return fail(errno);
        m_committed = true;
        return true;
    }
    struct stat st;
    if (::fstat(m_fd, &st) != 0)
        return fail(errno);
    if (!m_allowEmpty && st.st_size == 0)
        return fail(ENOSPC);
    if (m_hasTimes) {
        const struct timespec spec[2] = {FileSystem::timespecFromTicks(m_accessed), FileSystem::timespecFromTicks(m_written)};
        if (::futimens(m_fd, spec) != 0)
            return fail(errno);
    }
    const bool sync = m_replaces || m_syncNew || ::access(m_final.c_str(), F_OK) == 0;
    if (sync && ::fsync(m_fd) != 0)
        return fail(errno);
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0)
        return fail(errno);
    if (replace) {
        if (::rename(m_temp.c_str(), m_final.c_str()) != 0)
            return fail(errno);
    } else {
        int rc = ::renameat2(AT_FDCWD, m_temp.c_str(), AT_FDCWD, m_final.c_str(), RENAME_NOREPLACE);
        if (rc != 0 && (errno == EINVAL || errno == ENOSYS)) {
            // A file system without the flag: a hard link refuses to replace as well.
            rc = ::link(m_temp.c_str(), m_final.c_str());
            if (rc == 0)
                ::unlink(m_temp.c_str());
        }
        if (rc != 0)
            return fail(errno);
    }
    m_temp.clear();
    m_committed = true;
    // The rename itself reaches the disk only with the folder.
    if (sync)
        syncFolder(m_final);
    return true;
}

bool AtomicFile::commit()
{
    return finish(true);
}

bool AtomicFile::commitNoReplace()
{
    return finish(false);
}

void AtomicFile::discard()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (!m_temp.empty())
        ::unlink(m_temp.c_str());
    m_temp.clear();
}

std::string AtomicFile::errorText() const
{
    return FileSystem::errorCause(m_error);
}

} // namespace quorvex
