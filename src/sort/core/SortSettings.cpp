#include "SortSettings.h"

#include "platform/core/FileSystem.h"
#include "platform/core/SettingsText.h"
#include "platform/core/MessageService.h"

namespace quorvex {

int SortSettings::parse(const std::string &text, SortFlags &flags)
{
    std::size_t pos = 0;
    int count = 0;
    bool flag = false;
    while (count < 2 && SettingsText::readFlag(text, pos, flag)) {
        (count == 0 ? flags.caseSensitive : flags.backwards) = flag;
        ++count;
    }
    return count;
}

std::string SortSettings::format(const SortFlags &flags)
{
    std::string text;
    text += flags.caseSensitive ? '1' : '0';
    text += ' ';
    text += flags.backwards ? '1' : '0';
    text += "\r\n";
    return text;
}

SortSettings::ReadOutcome SortSettings::read(const std::string &path, SortFlags &flags, MessageService &messages)
{
    if (!FileSystem::exists(path))
        return ReadOutcome::Missing;
    const std::optional<std::string> text = FileSystem::readFilePrefix(path, MaxFileBytes);
    if (!text) {
        messages.error(OpenFailedMessage);
        return ReadOutcome::Unreadable;
    }
    return parse(*text, flags) == 2 ? ReadOutcome::Read : ReadOutcome::Partial;
}

bool SortSettings::write(const std::string &path, const SortFlags &flags, MessageService &messages)
{
    bool reported = false;
    if (FileSystem::exists(path) && FileSystem::isReadOnly(path)) {
        if (messages.confirm(ReadOnlyQuestion, MessageButtons::YesNo) == MessageAnswer::Yes) {
            if (!FileSystem::makeWritable(path))
                messages.error(MakeWritableFailedMessage);
        } else {
            messages.information(NotSavedMessage);
            reported = true;
        }
    }
    // Replacing the file by a rename would pass over a read-only file the user
    // chose to keep, so a file still read-only is left alone.
    const bool written =
        !(FileSystem::exists(path) && FileSystem::isReadOnly(path)) && FileSystem::writeFileAtomic(path, format(flags));
    if (!written && !reported)
        messages.error(SaveFailedMessage);
    return written;
}

} // namespace quorvex
