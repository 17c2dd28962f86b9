#pragma once

#include "platform/core/DesktopShell.h"
#include "platform/core/TextEncoding.h"

#include <functional>
#include <string>

namespace quorvex {

class Editor;

// Opens what the preview pane describes with the desktop's program, or hands
// an any-file attachment to the extract command.
class AttachmentOpener {
public:
    // The message for a desktop result; empty on success.
    static std::string shellResultMessage(int result, const std::string &path);

    explicit AttachmentOpener(Editor &editor) : m_editor(editor) {}

    // `extract` runs the extract command for the current cell (type 4).
    void OpenCellAttachment(char previewType, const std::string &previewFileName,
                            const std::function<void()> &extract);

    // The path handed to the desktop: only a safe name of a regular file in the
    // database folder; empty otherwise.
    static std::string attachmentPath(const std::string &databaseFolder, const std::string &fileName,
                                      TextEncoding encoding = TextEncoding::Windows1252);

private:
    Editor &m_editor;
};

} // namespace quorvex
