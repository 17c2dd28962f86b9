#pragma once

#include <string>

namespace quorvex {

enum class ShellVerb { Open, Play };

// What the desktop answered when asked to act on a file, numbered like the
// shell-execute results the program's messages are written for: above 32 is
// success, the rest name the reason of a failure.
enum ShellResult : int {
    ShellOutOfResources = 0,
    ShellFileNotFound = 2,
    ShellPathNotFound = 3,
    ShellAccessDenied = 5,
    ShellOutOfMemory = 8,
    ShellBadFormat = 11,
    ShellSharingViolation = 26,
    ShellAssociationIncomplete = 27,
    ShellNoAssociation = 31,
    ShellSuccess = 42,
};

// The desktop's "open" action for files, folders and web addresses.
class DesktopShell {
public:
    virtual ~DesktopShell() = default;
    // False when the desktop has no program for it.
    virtual bool openPath(const std::string &path) = 0;
    virtual bool openUrl(const std::string &url) = 0;
    // Hands a document to its program with a verb; the desktop's reason when it
    // cannot. Shells that know no reasons report a missing program.
    virtual int openDocument(const std::string &path, ShellVerb /*verb*/)
    {
        return openPath(path) ? ShellSuccess : ShellNoAssociation;
    }
    // Tells the desktop that a list was opened or saved, so its file choosers
    // offer it again. Nothing comes back: the desktop's list is a convenience.
    virtual void addRecentDocument(const std::string & /*path*/) {}
};

} // namespace quorvex
