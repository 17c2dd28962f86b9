#include "ProgramFolder.h"

#include "platform/core/FileSystem.h"

namespace quorvex {

namespace {

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
        if (depth == 0 && name != "Templates" && name != "Backgrounds" && name != "Quorvex_Documentation.pdf")
            continue;
        const std::string source = FileSystem::join(from, name);
        const std::string target = FileSystem::join(to, name);
        if (FileSystem::isDirectory(source)) {
            if (FileSystem::isDirectory(target) || FileSystem::createFolder(target))
                copyMissing(source, target, depth + 1);
        } else if (FileSystem::isRegularFile(source) && !FileSystem::exists(target)) {
            FileSystem::copyNoOverwrite(source, target);
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
