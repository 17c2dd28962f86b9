#pragma once

#include <string>
#include <vector>

namespace quorvex {

// The per-user program folder and the shipped data it is seeded from.
class ProgramFolder {
public:
    // $XDG_DATA_HOME/Quorvex, or ~/.local/share/Quorvex when it is unset or relative.
    static std::string location(const char *xdgDataHome, const char *home);
    // Creates the folder with Templates/, Backgrounds/Rows/ and copies every
    // shipped file that is missing from the first source that has it. A file
    // the user already has is never touched. Returns false when the folder
    // itself cannot be made.
    static bool seed(const std::string &folder, const std::vector<std::string> &sources);
};

} // namespace quorvex
