#pragma once

#include <optional>
#include <string>

namespace quorvex {

// The list file dialogs. Filters are given as "description|patterns|..." pairs;
// filter indexes count from 1. Paths are native (UTF-8).
class FileDialogService {
public:
    virtual ~FileDialogService() = default;
    // The chosen existing file, or nothing when cancelled.
    virtual std::optional<std::string> openFile(const std::string &filter, const std::string &initialPath) = 0;
    // The typed or chosen name and the filter in force when the user confirmed;
    // nothing when cancelled. A dialog that confirmsOverwrite() has already asked
    // before handing back the name of an existing file.
    virtual std::optional<std::string> saveFile(const std::string &filter, int &filterIndex,
                                                const std::string &initialPath) = 0;
    // True when saveFile itself asks before a chosen existing file is replaced,
    // so its caller need not ask the same question twice.
    virtual bool confirmsOverwrite() const { return false; }
};

} // namespace quorvex
