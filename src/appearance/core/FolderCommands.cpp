#include "FolderCommands.h"

#include "platform/core/FileSystem.h"
#include "platform/core/FolderLock.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvex {

namespace {

const char *const CancelledText = "Process cancelled.";

std::string stripSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

// Canonical form without the trailing "/", for comparing folders.
std::string canonical(const std::string &path)
{
    if (path.empty())
        return path;
    return stripSlashes(FileSystem::longForm(stripSlashes(path)));
}

bool isSameOrAncestor(const std::string &candidate, const std::string &folder)
{
    if (candidate.empty() || folder.empty())
        return false;
    if (candidate == folder || candidate == "/")
        return true;
    return folder.size() > candidate.size() && folder.compare(0, candidate.size(), candidate) == 0 &&
           folder[candidate.size()] == '/';
}

std::string lastComponent(const std::string &path)
{
    const std::string p = stripSlashes(path);
    const auto slash = p.rfind('/');
    return slash == std::string::npos ? p : p.substr(slash + 1);
}

} // namespace

FolderCommands::FolderCommands(AppPaths &paths, MessageService &messages, DesktopShell &shell)
    : m_paths(paths), m_messages(messages), m_shell(shell)
{
    if (const char *home = std::getenv("HOME"))
        m_home = home;
}

void FolderCommands::openTempFolder()
{
    m_shell.openPath(m_paths.tempFolder);
}

bool FolderCommands::cleanTempFolder()
{
    const MessageAnswer answer =
        m_messages.show(MessageKind::Warning,
                        "Delete all data in temp folder?\n\nWARNING! Any open Quorvex projects will be\ncorrupted. "
                        "Please save and close all projects\nbefore continuing.",
                        MessageButtons::OkCancel);
    if (answer != MessageAnswer::Ok) {
        m_messages.plain(CancelledText);
        return false;
    }
    const bool own = m_paths.instanceTempFolder != m_paths.tempFolder;
    const bool ok = clearSharedTempFolder(m_paths.tempFolder, own ? m_paths.instanceTempFolder : std::string());
    if (ok)
        m_messages.plain("All temporary files have been deleted.");
    if (own && !FileSystem::isDirectory(m_paths.instanceTempFolder)) {
        const std::string folder = stripSlashes(m_paths.instanceTempFolder);
        if (FileSystem::createFolder(folder)) {
            m_paths.instanceTempFolder = folder + "/";
            FolderLock::hold(m_paths.instanceTempFolder);
        } else {
            m_messages.error("Unable to create directory:\n\n" + folder +
                             "\n\nPlease make sure the disk is not write protected. Also,\nyou will have to manually "
                             "delete any files located in\nthe temp folder in this program directory when all "
                             "of\nthe instances of this program are closed.");
            m_paths.instanceTempFolder = m_paths.tempFolder;
        }
    }
    return ok;
}

bool FolderCommands::clearSharedTempFolder(const std::string &tempFolder, const std::string &ownFolder)
{
    if (tempFolder.empty() || tempFolder[0] != '/' || lastComponent(tempFolder) != "QuorvexTmp")
        return false;
    // A link put in its place would lead the cleaning elsewhere.
    struct stat self;
    if (::lstat(stripSlashes(tempFolder).c_str(), &self) != 0 || !S_ISDIR(self.st_mode))
        return false;
    const auto names = FileSystem::listFolder(tempFolder);
    if (!names)
        return false;
    const std::string own = ownFolder.empty() ? std::string() : canonical(ownFolder);
    for (const std::string &name : *names) {
        const std::string path = FileSystem::join(tempFolder, name);
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0)
            return false;
        if (!S_ISDIR(st.st_mode)) {
            if (!S_ISLNK(st.st_mode) && (st.st_mode & S_IWUSR) == 0 && !FileSystem::makeWritable(path))
                return false;
            if (::unlink(path.c_str()) != 0)
                return false;
            continue;
        }
        // Our own folder is emptied but kept, with the lock that marks it live.
        if (!own.empty() && canonical(path) == own) {
            if (!FileSystem::ClearFolder(path))
                return false;
            continue;
        }
        // A folder whose copy is still running is that copy's business. One
        // nobody holds was left by a copy that crashed: it is removed while
        // we hold its lock, so a copy starting now cannot adopt it half-gone.
        const FolderLock::Probe probe(path);
        if (probe.heldElsewhere())
            continue;
        if (!FileSystem::RemoveFolder(path))
            return false;
    }
    return true;
}

std::string FolderCommands::notDeletedMessage(const std::string &folder, const std::vector<std::string> &left)
{
    constexpr std::size_t MaxListed = 10;
    std::string text = "Not everything in the database folder could be deleted.\n\n" + folder +
                       "\n\nThese items are still there:\n";
    if (left.empty() || (left.size() == 1 && left[0] == "."))
        text += "(the folder could not be read)\n";
    for (std::size_t i = 0; i < left.size() && i < MaxListed; ++i)
        if (left[i] != ".")
            text += left[i] + "\n";
    if (left.size() > MaxListed)
        text += "(and " + std::to_string(left.size() - MaxListed) + " more)\n";
    text += "\nThey may be in use, or you may not have the right to delete them.";
    return text;
}

std::optional<std::string> FolderCommands::databaseCleanRefusal(const std::string &folder) const
{
    const std::string notCleaned = "The folder\n\n" + folder +
                                   "\n\ncannot be cleaned as the database folder. Nothing was deleted.";
    if (folder.empty() || folder[0] != '/')
        return notCleaned;
    const std::string target = canonical(folder);
    if (target == "/" || target.empty())
        return notCleaned;
    // The home, documents and program folders (and anything above them) hold
    // far more than attachment files.
    for (const std::string &guarded : {m_home, m_paths.documentsFolder, m_paths.programFolder}) {
        if (guarded.empty())
            continue;
        if (isSameOrAncestor(target, canonical(guarded)) || isSameOrAncestor(target, stripSlashes(guarded)))
            return notCleaned;
    }
    return std::nullopt;
}

bool FolderCommands::cleanDatabaseFolder()
{
    const std::string folder = m_paths.databaseFolder;
    if (const auto refusal = databaseCleanRefusal(folder)) {
        m_messages.error(*refusal);
        return false;
    }
    const std::string first =
        "Delete all data in database folder?\n\nWARNING! Any unsaved Quorvex projects will be\ncorrupted. All "
        "'dependent' list files that use this\ndatabase will also be corrupted. Please save all\n'dependent' list "
        "files and current open projects as\n'independent' list files before performing this\naction. One more "
        "warning will follow.";
    const std::string second = "Are you absolutely sure that you wish to delete\nall data in database "
                               "folder?\n\nYou have been warned of the consequences.";
    if (m_messages.show(MessageKind::Warning, first, MessageButtons::YesCancel) != MessageAnswer::Yes ||
        m_messages.show(MessageKind::Warning, second, MessageButtons::YesCancel) != MessageAnswer::Yes) {
        m_messages.plain(CancelledText);
        return false;
    }
    // Files, links (not followed) and sub-folders all go; whatever stays is named.
    std::vector<std::string> left;
    if (!FileSystem::clearFolderContents(folder, &left)) {
        m_messages.error(notDeletedMessage(folder, left));
        return false;
    }
    m_messages.plain("All database files have been deleted.");
    return true;
}

std::optional<std::string> FolderCommands::changeDatabaseFolder(FolderChooser &chooser, const std::string &shownFolder)
{
    chooser.preset(shownFolder);
    const MessageAnswer answer = m_messages.show(
        MessageKind::Warning,
        "WARNING! Any unsaved Quorvex projects will be\ncorrupted. All 'dependent' list files that use this\ndatabase "
        "will also be corrupted. Please save all\n'dependent' list files and current open projects as\n'independent' "
        "list files before performing this\naction. Or, you can manually move the contents\nof the current database "
        "folder to the new one.\n\nContinue changing directory?",
        MessageButtons::YesCancel);
    if (answer != MessageAnswer::Yes)
        return std::nullopt;
    const std::optional<std::string> chosen = chooser.choose();
    if (!chosen)
        return std::nullopt;
    if (chosen->empty() || !FileSystem::isDirectory(*chosen)) {
        m_messages.plain("Database directory was not updated because\nthe path entered does not exist.");
        return std::nullopt;
    }
    // Absolute, so the folder does not move with the working folder.
    m_paths.databaseFolder = FileSystem::withTrailingSlash(FileSystem::longForm(stripSlashes(*chosen)));
    return m_paths.databaseFolder;
}

} // namespace quorvex
