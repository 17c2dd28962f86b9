#include "UnicodeListSetting.h"

#include "platform/core/FileSystem.h"

#include <cstring>

namespace quorvex {

namespace {

// Far more than the one line; a larger file is not ours.
constexpr std::size_t MaxFileBytes = 256;

} // namespace

bool UnicodeListSetting::parse(std::string_view text)
{
    const std::size_t keyLength = std::strlen(Key);
    if (text.size() < keyLength + 1 || text.substr(0, keyLength) != Key || text[keyLength] != '1')
        return false;
    const std::string_view rest = text.substr(keyLength + 1);
    return rest.empty() || rest == "\n" || rest == "\r\n";
}

std::string UnicodeListSetting::format() const
{
    return std::string(Key) + (newListsUnicode ? "1" : "0") + "\n";
}

void UnicodeListSetting::read(const std::string &programFolder)
{
    const auto text = FileSystem::readFilePrefix(FileSystem::join(programFolder, FileName), MaxFileBytes);
    newListsUnicode = text && parse(*text);
}

bool UnicodeListSetting::write(const std::string &programFolder) const
{
    return FileSystem::writeFileAtomic(FileSystem::join(programFolder, FileName), format());
}

} // namespace quorvex
