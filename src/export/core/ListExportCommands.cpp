#include "ListExportCommands.h"

#include "CsvExport.h"
#include "HtmlCatalogue.h"
#include "document/core/Editor.h"
#include "platform/core/AppConstants.h"
#include "platform/core/FileSystem.h"

namespace quorvex {

namespace {

std::string plural(std::size_t n, const char *one, const char *many)
{
    return n == 1 ? one : many;
}

} // namespace

void ListExportCommands::finish()
{
    m_editor.statusBar().setProgress(0, m_editor.statusBar().text(0));
    m_editor.RefreshStatusBar();
}

int ListExportCommands::exportCsv(const std::optional<std::string> &path, const std::vector<int> &rows)
{
    if (!path)
        return ResultSkipped;
    UiServices &ui = m_editor.services();
    int result = ResultOk;
    {
        BusyCursor busy(m_editor.view(), CursorShape::AppStarting);
        if (FileSystem::exists(*path) && FileSystem::isReadOnly(*path)) {
            if (ui.messages.confirm(CsvReadOnlyQuestion) != MessageAnswer::Yes) {
                ui.messages.plain(NotExported);
                result = ResultSkipped;
            } else if (!FileSystem::makeWritable(*path)) {
                ui.messages.error(MakeWritableFailed);
                result = ResultFailed;
            }
        }
        if (result == ResultOk) {
            const CsvExport::Result written = CsvExport::writeFile(m_editor.document(), rows, *path, &ui.progress);
            if (!written.ok) {
                ui.messages.error("The list was not exported. " + written.error);
                result = ResultFailed;
            }
        }
    }
    finish();
    return result;
}

std::string ListExportCommands::replaceCatalogueQuestion(const std::string &folder, bool foreign)
{
    return foreign ? "The folder\n\n" + folder +
                         "\n\nalready holds a web page (index.html) that Quorvex did not write. Replace it with "
                         "the catalogue?"
                   : "The folder\n\n" + folder + "\n\nalready holds an HTML catalogue. Replace it?";
}

std::string ListExportCommands::leftOutMessage(const std::vector<std::string> &missing,
                                               const std::vector<std::string> &unreadable,
                                               const std::vector<std::string> &refused, std::size_t limit)
{
    std::string text;
    auto part = [&](const std::vector<std::string> &names, const std::string &what) {
        if (names.empty())
            return;
        text += (text.empty() ? "" : "\n\n") + std::to_string(names.size()) + what;
        for (std::size_t i = 0; i < names.size() && i < limit; ++i)
            text += "\n" + names[i];
        if (names.size() > limit)
            text += "\n...";
    };
    part(missing, plural(missing.size(), " picture is", " pictures are") + " not in the database folder:");
    part(unreadable, plural(unreadable.size(), " picture", " pictures") + " could not be read:");
    part(refused, plural(refused.size(), " attachment name points", " attachment names point") +
                      " outside the database folder:");
    return text.empty() ? text : "The catalogue was written; its cells show these names without a picture.\n\n" + text;
}

int ListExportCommands::exportCatalogue(const std::optional<std::string> &folder, const std::vector<int> &rows,
                                        const std::string &title)
{
    if (!folder)
        return ResultSkipped;
    UiServices &ui = m_editor.services();
    if (HtmlCatalogue::holdsIndex(*folder) &&
        ui.messages.confirm(replaceCatalogueQuestion(*folder, HtmlCatalogue::holdsForeignIndex(*folder))) !=
            MessageAnswer::Yes) {
        ui.messages.plain(NotExported);
        finish();
        return ResultSkipped;
    }
    HtmlCatalogue::Result written;
    {
        BusyCursor busy(m_editor.view(), CursorShape::AppStarting);
        HtmlCatalogue::Options options;
        options.rows = rows;
        options.databaseFolder = m_editor.paths().databaseFolder;
        options.title = title;
        options.appearance = m_editor.gridAppearance;
        options.foreignReader = m_foreign;
        options.progress = &ui.progress;
        written = HtmlCatalogue::write(m_editor.document(), *folder, options);
    }
    finish();
    if (!written.ok) {
        ui.messages.error("The HTML catalogue was not written.\n\n" + written.error);
        return ResultFailed;
    }
    const std::string leftOut = leftOutMessage(written.missing, written.unreadable, written.refused);
    if (!leftOut.empty())
        ui.messages.warning(leftOut);
    const std::string index = FileSystem::withTrailingSlash(*folder) + HtmlCatalogue::IndexName;
    if (!ui.shell.openPath(index))
        ui.messages.information("The catalogue was written to\n\n" + index +
                                "\n\nbut no web browser could be started to show it.");
    return ResultOk;
}

} // namespace quorvex
