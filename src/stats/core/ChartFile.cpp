#include "ChartFile.h"

#include "platform/core/AtomicFile.h"
#include "platform/core/FileDialogService.h"
#include "platform/core/FileSystem.h"
#include "platform/core/MessageService.h"

#include <cctype>

namespace quorvex {

namespace {

bool endsWithNoCase(const std::string &text, const std::string &tail)
{
    if (text.size() < tail.size())
        return false;
    for (std::size_t i = 0; i < tail.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[text.size() - tail.size() + i])) != tail[i])
            return false;
    return true;
}

} // namespace

ChartFile::Format ChartFile::formatFor(const std::string &path, int filterIndex)
{
    if (endsWithNoCase(path, ".png"))
        return Format::Png;
    if (endsWithNoCase(path, ".svg"))
        return Format::Svg;
    return filterIndex == 2 ? Format::Svg : Format::Png;
}

std::string ChartFile::withExtension(const std::string &path, Format format)
{
    const std::string ext = format == Format::Svg ? ".svg" : ".png";
    return endsWithNoCase(path, ext) ? path : path + ext;
}

std::string ChartFile::choosePath(FileDialogService &dialogs, MessageService &messages,
                                  const std::string &initialName, Format &format)
{
    int filterIndex = format == Format::Svg ? 2 : 1;
    const auto chosen = dialogs.saveFile(Filter, filterIndex, initialName);
    if (!chosen || chosen->empty())
        return {};
    format = formatFor(*chosen, filterIndex);
    const std::string path = withExtension(*chosen, format);
    // A name the dialog did not hand back itself (an extension was added) was
    // never asked about.
    if (FileSystem::exists(path) && (!dialogs.confirmsOverwrite() || path != *chosen) &&
        messages.confirm(path + " already exists.\nDo you want to replace it?") != MessageAnswer::Yes)
        return {};
    return path;
}

bool ChartFile::write(const std::string &path, const std::string &bytes, MessageService &messages)
{
    if (FileSystem::exists(path) && FileSystem::isReadOnly(path)) {
        messages.error(path + " is read-only. The chart was NOT saved.");
        return false;
    }
    AtomicFile file(path);
    file.allowEmpty(false);
    if (bytes.empty() || !file.open() || !file.write(bytes) || !file.commit()) {
        const std::string cause = bytes.empty() ? std::string("The chart could not be drawn.") : file.errorText();
        messages.error("The chart was NOT saved to " + path + ".\n" + cause);
        return false;
    }
    return true;
}

} // namespace quorvex
