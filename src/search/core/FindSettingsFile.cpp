#include "FindSettingsFile.h"

#include "platform/core/SettingsText.h"

#include "platform/core/FileSystem.h"
#include "platform/core/MessageService.h"

#include <cerrno>
#include <cstdlib>

namespace quorvex {

std::string FindSettingsFile::pathIn(const std::string &programFolder)
{
    if (!programFolder.empty() && (programFolder.back() == '/' || programFolder.back() == '\\'))
        return programFolder + FileName;
    return programFolder + "/" + FileName;
}

std::optional<FindOptions> FindSettingsFile::parse(std::string_view text)
{
    FindOptions o;
    std::size_t pos = 0;
    using SettingsText::readFlag;
    if (!readFlag(text, pos, o.entireCell) || !readFlag(text, pos, o.prompt) || !readFlag(text, pos, o.follow))
        return std::nullopt;
    return o;
}

std::string FindSettingsFile::format(const FindOptions &o)
{
    std::string s;
    s += o.entireCell ? '1' : '0';
    s += ' ';
    s += o.prompt ? '1' : '0';
    s += ' ';
    s += o.follow ? '1' : '0';
    s += "\r\n";
    return s;
}

FindOptions FindSettingsFile::read(const std::string &path, const FindOptions &defaults)
{
    const std::optional<std::string> text = FileSystem::readFilePrefix(path, MaxBytes);
    if (!text)
        return defaults;
    return parse(*text).value_or(defaults);
}

bool FindSettingsFile::write(const std::string &path, const FindOptions &options, MessageService &messages)
{
    // A read-only file is one that cannot be opened for writing: it stays as it is.
    const bool refused = FileSystem::exists(path) && FileSystem::isReadOnly(path);
    if (refused || !FileSystem::writeFileAtomic(path, format(options))) {
        messages.error("Unable to save 'Find Window' settings to file:\n\n" + path +
                       "\n\nPlease make sure the disk is not write protected.");
        return false;
    }
    return true;
}

} // namespace quorvex
