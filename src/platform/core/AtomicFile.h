#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace quorvex {

// The one way the program replaces a file it writes (lists, exports, PDFs,
// extracted attachments, settings): the data goes to a temporary file in the
// target's own folder, is synced and checked, and only then renamed over the
// target. An existing file therefore survives any failure: a full disk, a
// refused permission, a killed process.
//
//     AtomicFile file(path);              // a symbolic link is followed to its final target
//     if (!file.open())
//         return fail(file.errorText());  // "The disk is full." etc., from errno
//     file.write(header);                 // or ::write(file.fd(), ...) via FileSystem::writeAll
//     ...                                 // on any failure just return: the destructor discards
//     if (!file.commit())                 // fsync, close, rename, sync the folder
//         return fail(file.errorText());
//
// A writer that fills the file through its own code (a PDF engine, a stream)
// writes to tempPath() or fd() and then calls commit(). A caller may check the
// temporary file's content itself before committing; with allowEmpty(false)
// commit() refuses an empty result (ENOSPC: what a full disk leaves).
//
// Targets:
// - A symbolic link (or a chain of them) is resolved to its final target; the
//   temporary file goes into that folder, the link stays a link. With
//   LinkPolicy::Refuse (the database folder) a link in the target's place
//   fails with ELOOP instead.
// - A target that exists and is not a regular file (a pipe, a terminal,
//   /dev/stdout and the like, anything reached through /proc) is written
//   directly and never renamed over: isDirect() is true, commit() only closes.
//   A folder fails with EISDIR.
// - An existing file keeps its permissions (and owner where allowed);
//   a new file gets newFileMode (0644 unless set).
//
// A read-only target is not refused here: callers that must ask first test
// FileSystem::isReadOnly(target) (which follows links) before open().
// Standard output ("-") needs no AtomicFile: write to descriptor 1 directly,
// or give "/dev/stdout", which is written in place.
//
// Temporary files are named TARGET.tmp-PID-XXXXXX. open() removes the ones
// beside the same target whose process no longer runs (see StaleFiles), and
// never one whose process still does.
class AtomicFile {
public:
    enum class LinkPolicy { Follow, Refuse };

    explicit AtomicFile(std::string target, LinkPolicy links = LinkPolicy::Follow);
    ~AtomicFile();
    AtomicFile(const AtomicFile &) = delete;
    AtomicFile &operator=(const AtomicFile &) = delete;

    // Before open(): the mode of a file that does not exist yet (default 0644),
    // and the bits an existing file's mode is limited to (default 0666, so
    // nothing written becomes executable).
    void setNewFileMode(mode_t mode) { m_newMode = mode; }
    void setModeMask(mode_t mask) { m_modeMask = mask; }
    // Before open(): whether stale temporary files of this target are removed
    // (default true). A caller writing many files to one folder sweeps it once
    // with StaleFiles::removeStaleTemporaries(folder) and turns this off.
    void setRemoveStale(bool remove) { m_removeStale = remove; }
    // Before commit(): whether a new file (nothing replaced) is synced too.
    // Default true; a caller writing many new files (a list's attachments)
    // turns it off, as a new file lost to a power cut replaces nothing.
    void setSyncNewFiles(bool sync) { m_syncNew = sync; }
    // Before commit(): an empty result is a failure unless allowed (default:
    // allowed, as an empty export or attachment is a valid file).
    void allowEmpty(bool allow) { m_allowEmpty = allow; }

    bool open();
    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    // Writes every byte; false (with error() set) on the first failure.
    bool write(const char *data, std::size_t size);
    bool write(std::string_view bytes) { return write(bytes.data(), bytes.size()); }
    // Writes everything that can be read from `fd` until its end; a read
    // failure fails too, with that errno, and discards the temporary file.
    bool copyFrom(int fd);
    // Sets the access and write times the file will have (FILETIME ticks).
    bool setTimes(std::uint64_t accessed, std::uint64_t written);
    // Syncs, closes and renames the temporary file over the target. After a
    // false the target is untouched and the temporary file removed.
    bool commit();
    // Like commit(), but fails with EEXIST instead of replacing a file that
    // appeared at the target meanwhile (a copy that must not overwrite).
    bool commitNoReplace();
    // Removes the temporary file; the target stays as it was. Idempotent.
    void discard();

    // The path given, the final target the links lead to, and the temporary file.
    const std::string &target() const { return m_target; }
    const std::string &finalPath() const { return m_final; }
    const std::string &tempPath() const { return m_temp; }
    // True when the target is written in place (not a regular file).
    bool isDirect() const { return m_direct; }
    bool committed() const { return m_committed; }

    // errno of the first failure, and a sentence naming its cause.
    int error() const { return m_error; }
    std::string errorText() const;

    // Follows a chain of symbolic links to the path that is not a link (which
    // may not exist). Relative links are taken from their own folder. Stops at
    // links into /proc (magic links to open files), and fails after 40 hops.
    static bool resolveLinks(const std::string &path, std::string &resolved, bool &throughProc);

private:
    bool fail(int error);
    bool finish(bool replace);

    std::string m_target;
    std::string m_final;
    std::string m_temp;
    LinkPolicy m_links;
    mode_t m_newMode = 0644;
    mode_t m_modeMask = 0666;
    bool m_removeStale = true;
    bool m_allowEmpty = true;
    bool m_syncNew = true;
    bool m_replaces = false;
    bool m_direct = false;
    bool m_committed = false;
    bool m_hasTimes = false;
    std::uint64_t m_accessed = 0;
    std::uint64_t m_written = 0;
    std::uint64_t m_bytes = 0;
    int m_fd = -1;
    int m_error = 0;
};

} // namespace quorvex
