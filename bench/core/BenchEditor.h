#pragma once

#include "document/core/Editor.h"
#include "platform/core/ClipboardService.h"
#include "platform/core/DesktopShell.h"
#include "platform/core/MessageService.h"
#include "platform/core/ProgressReporter.h"

#include <string>

namespace quorvex::bench {

// Services of an editor that shows, opens and copies nothing.
class QuietMessages final : public MessageService {
public:
    MessageAnswer show(MessageKind, const std::string &, MessageButtons) override { return MessageAnswer::Ok; }
    void showException(const std::string &) override {}
};
class NoShell final : public DesktopShell {
public:
    bool openPath(const std::string &) override { return false; }
    bool openUrl(const std::string &) override { return false; }
};
class NoClipboard final : public ClipboardService {
public:
    bool hasText() const override { return false; }
    std::string text() const override { return {}; }
    void setText(const std::string &) override {}
};

struct BenchEditor {
    QuietMessages messages;
    SilentProgress progress;
    NoShell shell;
    NoClipboard clipboard;
    Editor editor{UiServices{messages, progress, shell, clipboard}};
};

} // namespace quorvex::bench
