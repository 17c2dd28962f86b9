#include "FindSettingsFile.h"

#include "platform/core/FileSystem.h"
#include "platform/core/MessageService.h"

#include <cerrno>
#include <cstdlib>

namespace quorvex {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// Reads one decimal integer after white space; only its being zero or not matters,
// so a number too large for an int still counts as non-zero.
bool readFlag(std::string_view text, std::size_t &pos, bool &flag)
{
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
    std::size_t p = pos;
    if (p < text.size() && (text[p] == '+' || text[p] == '-'))
        ++p;
    const std::size_t digits = p;
    bool nonZero = false;
    while (p < text.size() && text[p] >= '0' && text[p] <= '9') {
        nonZero = nonZero || text[p] != '0';
        ++p;
    }
    if (p == digits)
        return false;
    flag = nonZero;
    pos = p;
    return true;
}

} // namespace

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
