#pragma once

#include <string>
#include <vector>

namespace quorvex {

// One choice of a file dialog's filter: "JPEG Image Files (*.jpg;*.jpeg)" with
// the patterns {"*.jpg", "*.jpeg"}.
struct FileFilterEntry {
    std::string description;
    std::vector<std::string> patterns;
};

// Dialog filters are kept as "description|patterns|description|patterns", the
// patterns of one choice separated by ";".
class FileFilter {
public:
    static std::vector<FileFilterEntry> parse(const std::string &filter);
};

} // namespace quorvex
