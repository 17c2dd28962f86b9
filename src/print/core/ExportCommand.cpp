#include "ExportCommand.h"

#include "document/core/Editor.h"
#include "document/core/ExcelText.h"
#include "platform/core/AppConstants.h"
#include "platform/core/FileSystem.h"

namespace quorvex {

int ExportCommand::exportList(const std::optional<std::string> &path)
{
    int result = ResultSkipped;
    if (path) {
        BusyCursor busy(m_editor.view(), CursorShape::AppStarting);
        result = write(*path);
    }
    m_editor.statusBar().setProgress(0, m_editor.statusBar().text(0));
    m_editor.RefreshStatusBar();
    return result;
}

int ExportCommand::write(const std::string &path)
{
    UiServices &ui = m_editor.services();
    ExcelTextProgress progress{ui.progress, m_editor.pageSetup().entriesPerPage(), ProgressSuffix};
    const ShownRows &shown = m_editor.shownRows();
    const std::string text = shownRowsOnly && shown.active() ? ExcelText::exportFileText(shown.shownList(), &progress)
                                                             : ExcelText::exportFileText(m_editor.document(), &progress);

    if (FileSystem::exists(path) && FileSystem::isReadOnly(path)) {
        if (ui.messages.confirm(ReadOnlyQuestion) != MessageAnswer::Yes) {
            ui.messages.plain(NotExported);
            return ResultSkipped;
        }
        if (!FileSystem::makeWritable(path)) {
            ui.messages.error(MakeWritableFailed);
            return ResultFailed;
        }
    }
    // Written beside the file and renamed over it: a full disk leaves the old export whole.
    if (!FileSystem::writeFileAtomic(path, text)) {
        ui.messages.error(WriteFailed);
        return ResultFailed;
    }
    return ResultOk;
}

} // namespace quorvex
