#include "ProgramFolder.h"

#include "platform/core/FileSystem.h"

#include <cstdio>

namespace quorvex {

namespace {

constexpr const char *HelpDocument = "Quorvex_Documentation.pdf";

// The help document is the program's, not the user's: a copy left by an older
// build is replaced, or Help would show pages and pictures of the old windows.
bool helpIsStale(const std::string &source, const std::string &target)
{
    const auto sourceSize = FileSystem::fileSize(source);
    const auto targetSize = FileSystem::fileSize(target);
    const auto sourceTimes = FileSystem::times(source);
    const auto targetTimes = FileSystem::times(target);
    if (!sourceSize || !sourceTimes)
        return false;
    return !targetSize || !targetTimes || *sourceSize != *targetSize || sourceTimes->written > targetTimes->written;
}

void refreshHelp(const std::string &source, const std::string &target)
{
    const std::string part = target + ".part";
    FileSystem::removeFile(part);
    if (FileSystem::copyNoOverwrite(source, part) && std::rename(part.c_str(), target.c_str()) != 0)
        FileSystem::removeFile(part);
}

// Shipped data is small and shallow; the depth limit guards against loops.
void copyMissing(const std::string &from, const std::string &to, int depth)
{
    if (depth > 4)
        return;
    const auto entries = FileSystem::listFolder(from);
    if (!entries)
        return;
    for (const std::string &name : *entries) {
        if (name == "." || name == "..")
            continue;
        // Only what the program folder holds; the desktop file and icon belong elsewhere.
        if (depth == 0 && name != "Templates" && name != "Backgrounds" && name != HelpDocument)
            continue;
        const std::string source = FileSystem::join(from, name);
        const std::string target = FileSystem::join(to, name);
        if (FileSystem::isDirectory(source)) {
            if (FileSystem::isDirectory(target) || FileSystem::createFolder(target))
                copyMissing(source, target, depth + 1);
        } else if (FileSystem::isRegularFile(source) && !FileSystem::exists(target)) {
            FileSystem::copyNoOverwrite(source, target);
        } else if (depth == 0 && name == HelpDocument && FileSystem::isRegularFile(target) &&
                   helpIsStale(source, target)) {
            refreshHelp(source, target);
        }
    }
}

} // namespace

std::string ProgramFolder::location(const char *xdgDataHome, const char *home)
{
    std::string base;
    if (xdgDataHome && xdgDataHome[0] == '/')
        base = xdgDataHome;
    else if (home && home[0])
        base = std::string(home) + "/.local/share";
    else
        base = "/tmp";
    return FileSystem::withTrailingSlash(base) + "Quorvex/";
}

bool ProgramFolder::seed(const std::string &folder, const std::vector<std::string> &sources)
{
    if (!FileSystem::isDirectory(folder) && !FileSystem::createFolders(folder))
        return false;
    FileSystem::createFolders(FileSystem::join(folder, "Templates"));
    FileSystem::createFolders(FileSystem::join(folder, "Backgrounds/Rows"));
    for (const std::string &source : sources)
        if (FileSystem::isDirectory(source))
            copyMissing(source, folder, 0);
    return true;
}

} // namespace quorvex
