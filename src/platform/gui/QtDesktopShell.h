#pragma once

#include "platform/core/DesktopShell.h"

#include <functional>

namespace quorvex {

class QtDesktopShell final : public DesktopShell {
public:
    bool openPath(const std::string &path) override;
    bool openUrl(const std::string &url) override;
    // "play" has no desktop action of its own here: it opens like "open".
    int openDocument(const std::string &path, ShellVerb verb) override;
    // Into the desktop's recently-used.xbel, as GTK programs write it.
    void addRecentDocument(const std::string &path) override;

    // Window tests record what would be launched instead of launching it; every
    // request of every shell then goes to the responder.
    using Responder = std::function<int(const std::string &target, ShellVerb verb)>;
    static void setResponder(Responder responder);
};

} // namespace quorvex
