#pragma once

#include "platform/core/DesktopShell.h"

namespace quorvex {

class QtDesktopShell final : public DesktopShell {
public:
    bool openPath(const std::string &path) override;
    bool openUrl(const std::string &url) override;
};

} // namespace quorvex
