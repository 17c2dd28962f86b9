#include "AttachmentStore.h"

#include "document/core/AttachmentRef.h"

#include "platform/core/AtomicFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace quorvex {

namespace {

constexpr std::uint64_t TicksPerMillisecond = 10000;

// Code points of the bytes 0x80..0x9F; the five bytes Windows-1252 leaves
// undefined keep their C1 code points, so every byte has one character.
constexpr char32_t HighBytes[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void appendUtf8(std::string &out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The next code point of a UTF-8 text; false (one byte taken) when the bytes
// there are not UTF-8.
bool nextCodePoint(std::string_view text, std::size_t &i, char32_t &cp)
{
    const auto b = static_cast<unsigned char>(text[i]);
    int extra = 0;
    char32_t least = 0;
    if (b < 0x80) {
        cp = b;
        ++i;
        return true;
    } else if ((b & 0xE0) == 0xC0) {
        extra = 1;
        cp = b & 0x1F;
        least = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
        extra = 2;
        cp = b & 0x0F;
        least = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
        extra = 3;
        cp = b & 0x07;
        least = 0x10000;
    } else {
        ++i;
        return false;
    }
    if (i + static_cast<std::size_t>(extra) >= text.size()) {
        ++i;
        return false;
    }
    for (int k = 1; k <= extra; ++k) {
        const auto c = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
        if ((c & 0xC0) != 0x80) {
            ++i;
            return false;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return false;
    }
    i += static_cast<std::size_t>(extra) + 1;
    return true;
}

bool isUtf8(std::string_view text)
{
    char32_t cp = 0;
    for (std::size_t i = 0; i < text.size();)
        if (!nextCodePoint(text, i, cp))
            return false;
    return true;
}


} // namespace

std::string AttachmentStore::diskName(std::string_view referenceName, TextEncoding encoding)
{
    if (encoding == TextEncoding::Utf8)
        return std::string(referenceName);
    std::string out;
    out.reserve(referenceName.size() + referenceName.size() / 2);
    for (const char c : referenceName) {
        const auto b = static_cast<unsigned char>(c);
        appendUtf8(out, b >= 0x80 && b < 0xA0 ? HighBytes[b - 0x80] : b);
    }
    return out;
}

std::string AttachmentStore::referenceName(std::string_view diskName, TextEncoding encoding)
{
    std::string out;
    out.reserve(diskName.size());
    for (std::size_t i = 0; i < diskName.size();) {
        const std::size_t from = i;
        char32_t cp = 0;
        if (!nextCodePoint(diskName, i, cp)) {
            out += '?';
            continue;
        }
        if (encoding == TextEncoding::Utf8) {
            out.append(diskName.data() + from, i - from);
            continue;
        }
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
            out += static_cast<char>(cp);
            continue;
        }
        char byte = '?';
        for (int k = 0; k < 32; ++k)
            if (HighBytes[k] == cp)
                byte = static_cast<char>(0x80 + k);
        out += byte;
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
    if (converted != asItIs && isUtf8(referenceName) && FileSystem::exists(asItIs) && !FileSystem::exists(converted))
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
