#pragma once

#include <string>
#include <sys/types.h>

namespace quorvex {

// Temporary files and scratch folders carry the id of the process that made
// them ("list.lst.tmp-4711-a8Zq3x", "quorvex-cli-4711-Kp2m9Q"), so the ones a
// killed process left behind can be told from those of a process still at
// work. Only entries of this user whose process no longer exists are removed.
class StaleFiles {
public:
    // `prefix` + this process's id + "-": where a new name starts.
    static std::string ownedPrefix(const std::string &prefix);
    // The process id in a name `prefix` + digits + "-" + six characters, or 0
    // when the name has another form.
    static pid_t ownerOf(const std::string &name, const std::string &prefix);
    // True unless the system says no such process exists (a process of
    // another user counts as running).
    static bool processRuns(pid_t pid);

    // Removes the regular files and links in `folder` named
    // `prefix`PID-XXXXXX whose process has ended; with an empty prefix, every
    // "NAME.tmp-PID-XXXXXX" there. Returns how many went.
    static int removeStaleTemporaries(const std::string &folder, const std::string &prefix = std::string());
    // Removes, with their content, the folders in `folder` named
    // `prefix`PID-XXXXXX whose process has ended. Returns how many went.
    static int removeStaleFolders(const std::string &folder, const std::string &prefix);
};

// A scratch folder of this process, `base`/`prefix`PID-XXXXXX/, removed with
// its content when the object goes. The program sweeps what killed runs left
// once, when it starts, with StaleFiles::removeStaleFolders.
//
//     ScratchFolder scratch("quorvex-cli-");   // in $TMPDIR, else /tmp
//     if (scratch.path().empty()) ...          // could not be made
//
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string &prefix, const std::string &base = std::string());
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;
    // Ends with "/"; empty when the folder could not be made.
    const std::string &path() const { return m_path; }
    // $TMPDIR when set, else /tmp; without a trailing "/".
    static std::string systemTempFolder();

private:
    std::string m_path;
};

} // namespace quorvex
