#pragma once

#include <string>

namespace quorvex {

// The desktop's "open" action for files, folders and web addresses.
class DesktopShell {
public:
    virtual ~DesktopShell() = default;
    // False when the desktop has no program for it.
    virtual bool openPath(const std::string &path) = 0;
    virtual bool openUrl(const std::string &url) = 0;
};

} // namespace quorvex
