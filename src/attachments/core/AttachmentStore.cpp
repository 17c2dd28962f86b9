#include "AttachmentStore.h"

#include "document/core/AttachmentRef.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/UnicodeText.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace quorvex {

namespace {

constexpr std::uint64_t TicksPerMillisecond = 10000;

} // namespace

std::string AttachmentStore::diskName(std::string_view referenceName, TextEncoding encoding)
{
    if (encoding == TextEncoding::Utf8)
        return std::string(referenceName);
    return UnicodeText::fromCp1252(referenceName);
}

std::string AttachmentStore::referenceName(std::string_view diskName, TextEncoding encoding)
{
    std::string out;
    out.reserve(diskName.size());
    for (std::size_t i = 0; i < diskName.size();) {
        const std::size_t from = i;
        const char32_t cp = UnicodeText::decode(diskName, i);
        // A byte that starts no UTF-8 character is taken alone.
        if (i - from == 1 && static_cast<unsigned char>(diskName[from]) >= 0x80) {
            out += '?';
            continue;
        }
        if (encoding == TextEncoding::Utf8) {
            out.append(diskName.data() + from, i - from);
            continue;
        }
        const int byte = UnicodeText::cp1252Byte(cp);
        out += byte < 0 ? '?' : static_cast<char>(byte);
    }
    return out;
}

std::string AttachmentStore::pathOf(const std::string &databaseFolder, std::string_view referenceName,
                                    TextEncoding encoding)
{
    if (encoding == TextEncoding::Utf8)
        return FileSystem::join(databaseFolder, std::string(referenceName));
    const std::string converted = FileSystem::join(databaseFolder, diskName(referenceName));
    const std::string asItIs = FileSystem::join(databaseFolder, std::string(referenceName));
    if (converted != asItIs && UnicodeText::isValidUtf8(referenceName) && FileSystem::exists(asItIs) && !FileSystem::exists(converted))
        return asItIs;
    return converted;
}

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

StoreResult AttachmentStore::storeFile(const std::string &sourcePath, const std::string &databaseFolder,
                                       TextEncoding encoding)
{
    StoreResult result;
    SourceNameParts parts = splitSourceName(sourcePath);
    // The name on disk is the one its reference text gives back, so a character
    // a reference cannot hold turns into "?" in both, and the numbering below
    // keeps such names apart.
    parts.base = diskName(referenceName(parts.base, encoding), encoding);
    parts.ext = diskName(referenceName(parts.ext, encoding), encoding);
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

bool AttachmentStore::copyReplacing(const std::string &source, const std::string &destination, int *error)
{
    auto failed = [error](int code) {
        if (error)
            *error = code != 0 ? code : EIO;
        return false;
    };
    if (destination.empty() || destination.back() == '/')
        return failed(EISDIR);
    const int in = FileSystem::openForReading(source);
    if (in < 0)
        return failed(errno);
    // Through a link the copy goes to the link's target; a pipe or terminal
    // chosen as the destination is written directly.
    AtomicFile out(destination);
    const bool ok = out.open() && out.copyFrom(in);
    ::close(in);
    if (ok && !out.isDirect())
        if (const auto t = FileSystem::times(source))
            out.setTimes(t->accessed, t->written);
    if (!ok || !out.commit())
        return failed(out.error());
    return true;
}

} // namespace quorvex
