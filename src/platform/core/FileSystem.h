#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace quorvex {

// File times as Windows FILETIME values: 100-nanosecond ticks since 1601-01-01 UTC.
struct FileTimes {
    std::uint64_t created = 0;
    std::uint64_t accessed = 0;
    std::uint64_t written = 0;
    bool operator==(const FileTimes &o) const
    {
        return created == o.created && accessed == o.accessed && written == o.written;
    }
};

// The file-system operations the program needs, on POSIX. Paths are native
// (UTF-8) byte strings; folders carry a trailing "/".
class FileSystem {
public:
    static constexpr std::uint64_t UnixEpochTicks = 116444736000000000ULL;

    static bool exists(const std::string &path);
    static bool isDirectory(const std::string &path);
    static bool isRegularFile(const std::string &path);
    static std::optional<std::uint64_t> fileSize(const std::string &path);

    // Read-only means the owner has no write permission.
    static bool isReadOnly(const std::string &path);
    static bool makeWritable(const std::string &path);

    static std::optional<FileTimes> times(const std::string &path);
    // The creation time cannot be set on this platform; access and write times are.
    static bool setTimes(const std::string &path, std::uint64_t accessed, std::uint64_t written);
    static std::uint64_t ticksFromUnix(std::int64_t seconds, std::int64_t nanoseconds);
    // The other way, for utimensat and futimens.
    static struct timespec timespecFromTicks(std::uint64_t ticks);

    // Refuses to overwrite: fails when `target` exists. The copy is never executable.
    static bool copyNoOverwrite(const std::string &source, const std::string &target);

    static bool createFolder(const std::string &path);
    static bool createFolders(const std::string &path);
    static bool removeFile(const std::string &path);
    // Entry names of a folder, without "." and "..", in the order the system lists them.
    static std::optional<std::vector<std::string>> listFolder(const std::string &path);

    // Empties a folder as clearFolderContents does; false for an empty path.
    static bool ClearFolder(const std::string &folder);
    static bool RemoveFolder(const std::string &folder);

    static std::string currentFolder();
    static bool setCurrentFolder(const std::string &path);
    // Absolute, canonical form; the path itself when it cannot be resolved.
    static std::string longForm(const std::string &path);
    static std::string withTrailingSlash(const std::string &path);
    // The root "/" keeps its slash.
    static std::string withoutTrailingSlash(const std::string &path);
    static std::string join(const std::string &folder, const std::string &name);

    static std::optional<std::string> readFile(const std::string &path);
    // The first `maxBytes` of a regular file, for the small settings files: a
    // folder or a pipe put in the file's place is refused instead of waited on,
    // and a huge file costs no more than the limit. nullopt when unreadable.
    static std::optional<std::string> readFilePrefix(const std::string &path, std::size_t maxBytes);
    // Writes `data` through AtomicFile: a temporary file beside the final
    // target (links followed), synced and renamed over it, so the old file
    // survives any failure. Mode 0644 for new files. Fails, writing nothing,
    // when `path` is a read-only file. AtomicFile tells the cause of a failure.
    static bool writeFileAtomic(const std::string &path, const std::string &data);
    // Writes every byte to an open descriptor, again after an interruption.
    // False with errno set on failure. Every file the program writes goes
    // through here, which is where tests inject their faults.
    static bool writeAll(int fd, const char *data, std::size_t size);

    // Opens a regular file for reading without ever blocking: a FIFO, device
    // or folder in its place is refused (errno EINVAL, or EISDIR for a folder)
    // before it is opened for real. The descriptor is blocking again; -1 on failure.
    static int openForReading(const std::string &path);

    // A short sentence naming the cause of a failed file operation, for the
    // end of a message: "The disk is full.", "Permission denied." ...
    static std::string errorCause(int error);

    // Removes everything inside `folder`: files, links (never followed) and
    // sub-folders with their content; read-only files and closed sub-folders
    // are opened up first. Goes on past a failure and lists, relative to
    // `folder`, what could not be removed. True when the folder is empty.
    static bool clearFolderContents(const std::string &folder, std::vector<std::string> *left = nullptr);

    // Test hook: after `afterBytes` more bytes, writeAll fails with `error`
    // (ENOSPC: a full disk), or with error 0 the process is killed with
    // SIGKILL in the middle of the write, as a crash or kill -9 would.
    static void setWriteFault(std::uint64_t afterBytes, int error);
    // Test hook: removing an entry of this name fails with `error`.
    static void setRemoveFault(const std::string &name, int error);
    static void clearWriteFault();
};

} // namespace quorvex
