#include "StaleFiles.h"

#include "FileSystem.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace quorvex {

namespace {

constexpr std::size_t RandomPart = 6;

bool isNamePart(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The owner named in `name`, for the entries this user may remove.
pid_t staleOwner(const std::string &folder, const std::string &name, const std::string &prefix, bool wantFolder)
{
    const pid_t pid = StaleFiles::ownerOf(name, prefix);
    if (pid <= 0 || pid == ::getpid() || StaleFiles::processRuns(pid))
        return 0;
    struct stat st;
    if (::lstat(FileSystem::join(folder, name).c_str(), &st) != 0 || st.st_uid != ::geteuid())
        return 0;
    const bool isFolder = S_ISDIR(st.st_mode);
    if (wantFolder != isFolder || (!isFolder && !S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)))
        return 0;
    return pid;
}

} // namespace

std::string StaleFiles::ownedPrefix(const std::string &prefix)
{
    return prefix + std::to_string(static_cast<long long>(::getpid())) + "-";
}

pid_t StaleFiles::ownerOf(const std::string &name, const std::string &prefix)
{
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0)
        return 0;
    std::size_t i = prefix.size();
    long long pid = 0;
    const std::size_t digitsFrom = i;
    while (i < name.size() && name[i] >= '0' && name[i] <= '9' && i - digitsFrom < 10)
        pid = pid * 10 + (name[i++] - '0');
    if (i == digitsFrom || i >= name.size() || name[i] != '-' || name.size() - i - 1 != RandomPart)
        return 0;
    for (std::size_t k = i + 1; k < name.size(); ++k)
        if (!isNamePart(name[k]))
            return 0;
    if (pid <= 0 || pid > 0x7FFFFFFF)
        return 0;
    return static_cast<pid_t>(pid);
}

bool StaleFiles::processRuns(pid_t pid)
{
    if (pid <= 0)
        return true;
    return ::kill(pid, 0) == 0 || errno != ESRCH;
}

int StaleFiles::removeStaleTemporaries(const std::string &folder, const std::string &prefix)
{
    const auto names = FileSystem::listFolder(folder.empty() ? std::string(".") : folder);
    if (!names)
        return 0;
    const std::string dir = folder.empty() ? std::string(".") : folder;
    int removed = 0;
    for (const std::string &name : *names) {
        std::string own = prefix;
        if (own.empty()) {
            // "NAME.tmp-PID-XXXXXX": the last ".tmp-" starts the owned part.
            const std::size_t at = name.rfind(".tmp-");
            if (at == std::string::npos || at == 0)
                continue;
            own = name.substr(0, at + 5);
        }
        if (staleOwner(dir, name, own, false) && ::unlink(FileSystem::join(dir, name).c_str()) == 0)
            ++removed;
    }
    return removed;
}

int StaleFiles::removeStaleFolders(const std::string &folder, const std::string &prefix)
{
    if (prefix.empty())
        return 0;
    const auto names = FileSystem::listFolder(folder);
    if (!names)
        return 0;
    int removed = 0;
    for (const std::string &name : *names) {
        if (!staleOwner(folder, name, prefix, true))
            continue;
        const std::string path = FileSystem::join(folder, name);
        if (FileSystem::clearFolderContents(path) && ::rmdir(path.c_str()) == 0)
            ++removed;
    }
    return removed;
}

std::string ScratchFolder::systemTempFolder()
{
    const char *base = std::getenv("TMPDIR");
    return FileSystem::withoutTrailingSlash(base && *base ? base : "/tmp");
}

ScratchFolder::ScratchFolder(const std::string &prefix, const std::string &base)
{
    const std::string folder = base.empty() ? systemTempFolder() : FileSystem::withoutTrailingSlash(base);
    std::string tmpl = FileSystem::join(folder, StaleFiles::ownedPrefix(prefix) + "XXXXXX");
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    if (::mkdtemp(name.data()))
        m_path = std::string(name.data()) + "/";
}

ScratchFolder::~ScratchFolder()
{
    if (m_path.empty())
        return;
    FileSystem::clearFolderContents(m_path);
    ::rmdir(FileSystem::withoutTrailingSlash(m_path).c_str());
}

} // namespace quorvex
