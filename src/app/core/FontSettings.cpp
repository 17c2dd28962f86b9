#include "FontSettings.h"

#include "AppConstants.h"
#include "Editor.h"
#include "FileSystem.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <exception>
#include <limits>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvex {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view skipBlanks(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size() && isBlank(s[i]))
        ++i;
    return s.substr(i);
}

// Reads a decimal integer after blanks; `rest` gets what follows it.
bool readInt(std::string_view s, long long &value, std::string_view &rest)
{
    s = skipBlanks(s);
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    const auto r = std::from_chars(s.data(), s.data() + s.size(), value);
    if (r.ec != std::errc())
        return false;
    rest = s.substr(static_cast<std::size_t>(r.ptr - s.data()));
    return true;
}

bool readInt(std::string_view s, long long &value)
{
    std::string_view rest;
    return readInt(s, value, rest);
}

// Reads a decimal number, a fraction allowed, truncated toward zero.
bool readTruncated(std::string_view s, long long &value)
{
    s = skipBlanks(s);
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    double d = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), d);
    if (r.ec != std::errc() || !std::isfinite(d))
        return false;
    d = std::trunc(d);
    if (d < static_cast<double>(std::numeric_limits<std::int32_t>::min()) ||
        d > static_cast<double>(std::numeric_limits<std::uint32_t>::max()))
        return false;
    value = static_cast<long long>(d);
    return true;
}

std::vector<std::string_view> splitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    while (!text.empty() && lines.size() < 5) {
        const std::size_t nl = text.find('\n');
        std::string_view line = text.substr(0, nl);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        if (nl == std::string_view::npos)
            break;
        text.remove_prefix(nl + 1);
    }
    return lines;
}

const char *loadError(FontFile which)
{
    return which == FontFile::Grid ? "Error loading the grid font settings file."
                                   : "Error loading the font settings file.";
}

} // namespace

std::string FontSettings::filePath(const std::string &programFolder, FontFile which)
{
    return programFolder + (which == FontFile::Grid ? GridFontFileName : ViewFontFileName);
}

std::string FontSettings::format(const FontChoice &font)
{
    std::string text;
    text += std::to_string(font.color) + "\n";
    text += std::to_string(font.size) + "\n";
    text += std::to_string(font.name.size()) + " " + font.name + "\n";
    text += std::to_string(font.pitch) + "\n";
    text += std::string(font.bold ? "1" : "0") + " " + (font.italic ? "1" : "0") + " " + (font.underline ? "1" : "0") +
            " " + (font.strikeout ? "1" : "0") + "\n";
    return text;
}

std::optional<FontChoice> FontSettings::parse(std::string_view text)
{
    const std::vector<std::string_view> lines = splitLines(text);
    if (lines.size() < 5)
        return std::nullopt;
    FontChoice font;
    long long v = 0;
    if (!readTruncated(lines[0], v))
        return std::nullopt;
    font.color = static_cast<std::int32_t>(static_cast<std::uint32_t>(v & 0xFFFFFFFFLL));
    if (!readInt(lines[1], v) || v < 1 || v > MaxFontSize)
        return std::nullopt;
    font.size = static_cast<int>(v);

    std::string_view rest;
    if (!readInt(lines[2], v, rest))
        return std::nullopt;
    if (!rest.empty())
        rest.remove_prefix(1); // the one blank between length and name
    const std::size_t length =
        v <= 0 ? 0 : static_cast<std::size_t>(std::min<long long>(v, MaxNameLength));
    font.name = std::string(rest.substr(0, length));

    if (!readInt(lines[3], v))
        return std::nullopt;
    font.pitch = v >= 0 && v <= 2 ? static_cast<int>(v) : 0;

    bool *flags[] = {&font.bold, &font.italic, &font.underline, &font.strikeout};
    std::string_view line = lines[4];
    for (bool *flag : flags) {
        if (!readInt(line, v, rest))
            return std::nullopt;
        *flag = v == 1;
        line = rest;
    }
    return font;
}

double FontSettings::rowHeightFactor(int size)
{
    if (size > 14)
        return 1.8;
    if (size >= 11)
        return 1.9;
    if (size >= 9)
        return 1.97;
    return 2.0;
}

int FontSettings::rowHeightFor(int size)
{
    const double h = static_cast<double>(size) * rowHeightFactor(size);
    if (h < 1.0)
        return 1;
    if (h > 100000.0)
        return 100000;
    return static_cast<int>(h);
}

std::optional<std::string> FontSettings::readPrefix(const std::string &path)
{
    // Non-blocking open: a FIFO put in the file's place must not hang the start.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    std::string data(MaxFileBytes, '\0');
    std::size_t got = 0;
    bool failed = false;
    while (got < data.size()) {
        const ssize_t n = ::read(fd, &data[got], data.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            failed = true;
            break;
        }
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (failed)
        return std::nullopt;
    data.resize(got);
    return data;
}

int FontSettings::load(const std::string &path, FontFile which, FontChoice &font, MessageService &messages)
{
    if (!FileSystem::exists(path))
        return ResultSkipped;
    const std::optional<std::string> text = readPrefix(path);
    // A damaged file is reported like an unreadable one and the font stays.
    const std::optional<FontChoice> read = text ? parse(*text) : std::nullopt;
    if (!read) {
        messages.error(loadError(which));
        return ResultFailed;
    }
    font = *read;
    return ResultOk;
}

int FontSettings::save(const std::string &path, FontFile which, const FontChoice &font, MessageService &messages,
                       EditorView *busyView)
{
    const bool busy = which == FontFile::View && busyView;
    if (busy)
        busyView->setCursorShape(CursorShape::Busy);
    int result = ResultOk;
    try {
        if (FileSystem::exists(path) && FileSystem::isReadOnly(path)) {
            if (messages.confirm("The font settings file is read-only. Do you want Quorvex.exe to make this file "
                                 "write able?",
                                 MessageButtons::YesNo) != MessageAnswer::Yes) {
                messages.plain("Font settings NOT saved.");
                result = ResultSkipped;
            } else if (!FileSystem::makeWritable(path)) {
                messages.error("Quorvex.exe was unable to make the file write able. Please make sure it is not on a "
                               "write protected disk.");
                result = ResultFailed;
            }
        }
        if (result == ResultOk) {
            if (!FileSystem::writeFileAtomic(path, format(font))) {
                messages.error("Font settings were not saved. Please make sure the disk is not write protected.");
                result = ResultFailed;
            } else {
                messages.plain("Font settings saved.");
            }
        }
    } catch (const std::exception &e) {
        if (busy)
            busyView->setCursorShape(CursorShape::Normal);
        messages.showException(e.what());
        if (which == FontFile::View)
            messages.error("Error saving font settings.");
        result = ResultFailed;
    }
    if (busy)
        busyView->setCursorShape(CursorShape::Normal);
    return result;
}

void FontSettings::SetRowHeightFromFont(Editor &editor)
{
    editor.printScale.reset();
    editor.rowHeightFactor = rowHeightFactor(editor.gridFont.size);
    editor.document().SetRowHeight(rowHeightFor(editor.gridFont.size));
}

int FontSettings::LoadGridFont(Editor &editor)
{
    const int result = load(filePath(editor.paths().programFolder, FontFile::Grid), FontFile::Grid, editor.gridFont,
                            editor.services().messages);
    if (result == ResultOk) {
        SetRowHeightFromFont(editor);
        editor.view().documentChanged();
    }
    return result;
}

void FontSettings::gridFontChosen(Editor &editor, const FontChoice &font)
{
    editor.gridFont = font;
    SetRowHeightFromFont(editor);
    editor.view().documentChanged();
    editor.RefreshStatusBar();
}

int FontSettings::SaveGridFont(Editor &editor)
{
    return save(filePath(editor.paths().programFolder, FontFile::Grid), FontFile::Grid, editor.gridFont,
                editor.services().messages, &editor.view());
}

int FontSettings::LoadViewFont(Editor &editor, FontChoice &font)
{
    return load(filePath(editor.paths().programFolder, FontFile::View), FontFile::View, font,
                editor.services().messages);
}

int FontSettings::SaveViewFont(Editor &editor, const FontChoice &font)
{
    return save(filePath(editor.paths().programFolder, FontFile::View), FontFile::View, font,
                editor.services().messages, &editor.view());
}

} // namespace quorvex
