#pragma once

#include "document/core/Editor.h"
#include "platform/core/DesktopShell.h"
#include "platform/core/MessageService.h"

#include <optional>
#include <string>
#include <vector>

namespace quorvex {

// The modal folder chooser, as the folder commands see it.
class FolderChooser {
public:
    virtual ~FolderChooser() = default;
    // Puts the folder into the path box and opens the tree there when it can.
    virtual void preset(const std::string &folder) = 0;
    // Shows the chooser; the path it ended with on OK (ending in "/"), nullopt otherwise.
    virtual std::optional<std::string> choose() = 0;
};

// The "Temporary Files" and "Database Location" commands of the settings.
class FolderCommands {
public:
    FolderCommands(AppPaths &paths, MessageService &messages, DesktopShell &shell);

    // The folders a database folder must never be; the home folder comes from $HOME.
    void setHomeFolder(const std::string &home) { m_home = home; }

    void openTempFolder();
    // Both return true when files were deleted without a failure.
    bool cleanTempFolder();
    bool cleanDatabaseFolder();
    // The "Change..." command, starting from the folder the settings show.
    // Returns the new database folder (already in the paths) when it changed.
    std::optional<std::string> changeDatabaseFolder(FolderChooser &chooser, const std::string &shownFolder);

    // What a database cleaning that left `left` (paths inside `folder`) says.
    static std::string notDeletedMessage(const std::string &folder, const std::vector<std::string> &left);

    // Why `folder` may not be emptied as the database folder, or nullopt when it may.
    std::optional<std::string> databaseCleanRefusal(const std::string &folder) const;

    // Empties the shared temporary folder without touching a live copy's
    // numbered folder; `ownFolder` is emptied but kept. Refuses any folder
    // that is not an absolute ".../QuorvexTmp/".
    static bool clearSharedTempFolder(const std::string &tempFolder, const std::string &ownFolder);

private:
    AppPaths &m_paths;
    MessageService &m_messages;
    DesktopShell &m_shell;
    std::string m_home;
};

} // namespace quorvex
