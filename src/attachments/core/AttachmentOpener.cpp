#include "AttachmentOpener.h"

#include "document/core/AttachmentRef.h"
#include "document/core/Editor.h"
#include "attachments/core/AttachmentStore.h"
#include "platform/core/AppConstants.h"
#include "platform/core/FileSystem.h"

namespace quorvex {

std::string AttachmentOpener::shellResultMessage(int result, const std::string &path)
{
    static const char *const Routine = "\n\n - CellRichEditMouseUp()";
    static const char *const ExtractHint = "You may have to\nextract the file and execute it manually. You may\n"
                                           "extract the file from the 'Grid' menu by clicking\n"
                                           "'Export Data File from Cell'.";
    if (result > 32)
        return std::string();
    switch (result) {
    case ShellOutOfResources:
        return std::string("Unable to execute file. The operating system\nis out of memory or resources.") + Routine;
    case ShellFileNotFound:
    case ShellPathNotFound:
        return "Unable to execute file. The following file was not found:\n\n" + path + Routine;
    case ShellAccessDenied:
        return std::string("Unable to execute file. The operating system\ndenied access to the specified file.") +
               Routine;
    case ShellOutOfMemory:
        return std::string("Unable to execute file. The operating system reported\nnot enough memory to complete "
                           "the operation.") +
               Routine;
    case ShellBadFormat:
        return std::string("Unable to execute file. The exe file is corrupt.") + Routine;
    case ShellSharingViolation:
        return std::string("Unable to execute file. Another program is already\naccessing the file. A sharing "
                           "violation occurred.") +
               Routine;
    case ShellAssociationIncomplete:
        return std::string("Unable to execute file. The error code returned by windows was \"File association "
                           "incomplete\".\nYou may have to extract the file and execute it manually. You may\n"
                           "extract the file from the 'Grid' menu by clicking\n'Export Data File from Cell'.") +
               Routine;
    case ShellNoAssociation:
        return std::string("Unable to execute file. There is no default software\nassociated with this file "
                           "type. ") +
               ExtractHint + Routine;
    default:
        return std::string("Unable to execute file. Reason unknown.") + Routine;
    }
}

std::string AttachmentOpener::attachmentPath(const std::string &databaseFolder, const std::string &fileName,
                                             TextEncoding encoding)
{
    if (!AttachmentRef::isSafeFileName(fileName))
        return std::string();
    const std::string path = AttachmentStore::pathOf(databaseFolder, fileName, encoding);
    return FileSystem::isRegularFile(path) ? path : std::string();
}

void AttachmentOpener::OpenCellAttachment(char previewType, const std::string &previewFileName,
                                          const std::function<void()> &extract)
{
    if (previewType == 0)
        return;
    if (previewType == AttachFile) {
        if (extract)
            extract();
        return;
    }
    BusyCursor busy(m_editor.view(), CursorShape::AppStarting);
    const TextEncoding encoding = m_editor.document().textEncoding();
    const std::string shown = AttachmentStore::pathOf(m_editor.paths().databaseFolder, previewFileName, encoding);
    const std::string path = attachmentPath(m_editor.paths().databaseFolder, previewFileName, encoding);
    int result = ShellFileNotFound;
    if (!path.empty()) {
        DesktopShell &shell = m_editor.services().shell;
        if (previewType == AttachAudio || previewType == AttachVideo) {
            result = shell.openDocument(path, ShellVerb::Play);
            if (result <= 32)
                result = shell.openDocument(path, ShellVerb::Open);
        } else {
            result = shell.openDocument(path, ShellVerb::Open);
        }
    }
    const std::string message = shellResultMessage(result, shown);
    if (!message.empty())
        m_editor.services().messages.error(message);
}

} // namespace quorvex
