#include "AttachmentStore.h"

#include "AttachmentRef.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace quorvex {

namespace {

constexpr std::uint64_t TicksPerMillisecond = 10000;

bool writeAll(int fd, const char *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool copyContent(int in, int out)
{
    std::vector<char> buffer(1 << 16);
    for (;;) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        if (!writeAll(out, buffer.data(), static_cast<std::size_t>(n)))
            return false;
    }
}

std::string folderOf(const std::string &path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

} // namespace

SourceNameParts AttachmentStore::splitSourceName(const std::string &sourcePath)
{
    const std::size_t slash = sourcePath.find_last_of('/');
    const std::string name = slash == std::string::npos ? sourcePath : sourcePath.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos)
        return {name, std::string()};
    return {name.substr(0, dot), name.substr(dot)};
}

std::string AttachmentStore::numberedName(const SourceNameParts &parts, int n)
{
    return n == 0 ? parts.base + parts.ext : parts.base + std::to_string(n) + parts.ext;
}

bool AttachmentStore::isSameFile(const std::string &source, const std::string &existing)
{
    if (!FileSystem::isRegularFile(existing))
        return false;
    const auto a = FileSystem::times(source);
    const auto b = FileSystem::times(existing);
    if (!a || !b || a->written / TicksPerMillisecond != b->written / TicksPerMillisecond)
        return false;
    // Equal times alone would take a different file restored with the same
    // stamp (archives keep whole seconds) for this one.
    return FileSystem::fileSize(source) == FileSystem::fileSize(existing);
}

StoreResult AttachmentStore::storeFile(const std::string &sourcePath, const std::string &databaseFolder)
{
    StoreResult result;
    const SourceNameParts parts = splitSourceName(sourcePath);
    // The name becomes a path in the database folder and travels in list files;
    // a FIFO or device would block the copy.
    if (!AttachmentRef::isSafeFileName(parts.base + parts.ext) || !FileSystem::isRegularFile(sourcePath))
        return result;
    for (int n = 0; n < MaxNumberedNames; ++n) {
        const std::string name = numberedName(parts, n);
        const std::string target = FileSystem::join(databaseFolder, name);
        struct stat st;
        if (::lstat(target.c_str(), &st) == 0) {
            if (isSameFile(sourcePath, target)) {
                result.outcome = StoreOutcome::Reused;
                result.name = name;
                return result;
            }
            continue;
        }
        result.name = name;
        if (!FileSystem::copyNoOverwrite(sourcePath, target))
            return result;
        if (const auto t = FileSystem::times(sourcePath))
            FileSystem::setTimes(target, t->accessed, t->written);
        result.outcome = FileSystem::exists(target) ? StoreOutcome::Copied : StoreOutcome::TargetMissing;
        return result;
    }
    return result;
}

bool AttachmentStore::copyReplacing(const std::string &source, const std::string &destination)
{
    if (destination.empty() || destination.back() == '/' || !FileSystem::isRegularFile(source))
        return false;
    const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return false;
    std::string tmpl = folderOf(destination) + ".quorvex-XXXXXX";
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    const int out = ::mkstemp(name.data());
    if (out < 0) {
        ::close(in);
        return false;
    }
    const std::string tmp(name.data());
    bool ok = copyContent(in, out) && ::fchmod(out, 0644) == 0 && ::fsync(out) == 0;
    ::close(in);
    if (::close(out) != 0)
        ok = false;
    if (ok) {
        if (const auto t = FileSystem::times(source))
            FileSystem::setTimes(tmp, t->accessed, t->written);
        ok = ::rename(tmp.c_str(), destination.c_str()) == 0;
    }
    if (!ok)
        ::unlink(tmp.c_str());
    return ok;
}

} // namespace quorvex
