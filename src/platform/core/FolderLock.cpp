#include "FolderLock.h"

#include <cerrno>
#include <fcntl.h>
#include <map>
#include <sys/file.h>
#include <unistd.h>

namespace quorvex {

namespace {

std::string withoutTrailingSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

// Open lock descriptors of this process by folder.
std::map<std::string, int> &heldLocks()
{
    static std::map<std::string, int> locks;
    return locks;
}

int openFolder(const std::string &folder)
{
    return ::open(withoutTrailingSlash(folder).c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

} // namespace

bool FolderLock::hold(const std::string &folder)
{
    const std::string key = withoutTrailingSlash(folder);
    if (heldLocks().count(key))
        return true;
    const int fd = openFolder(key);
    if (fd < 0)
        return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    heldLocks()[key] = fd;
    return true;
}

void FolderLock::release(const std::string &folder)
{
    const auto it = heldLocks().find(withoutTrailingSlash(folder));
    if (it == heldLocks().end())
        return;
    ::close(it->second);
    heldLocks().erase(it);
}

FolderLock::Probe::Probe(const std::string &folder)
{
    const int fd = openFolder(folder);
    if (fd < 0)
        return;
    int rc;
    do
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    while (rc != 0 && errno == EINTR);
    if (rc == 0) {
        m_fd = fd;
        return;
    }
    m_heldElsewhere = errno == EWOULDBLOCK;
    ::close(fd);
}

FolderLock::Probe::~Probe()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

} // namespace quorvex
