#include "FontSettings.h"

#include "platform/core/AppConstants.h"
#include "document/core/Editor.h"
#include "platform/core/FileSystem.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <exception>
#include <initializer_list>
#include <limits>


namespace quorvex {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// Reads the file's values in order. Numbers may stand after any white space,
// blank lines included, as the file's other readers allow.
class Reader {
public:
    explicit Reader(std::string_view text) : m_text(text) {}

    bool readInt(long long &value)
    {
        const std::string_view s = number();
        const auto r = std::from_chars(s.data(), s.data() + s.size(), value);
        return advance(s, r.ec == std::errc(), r.ptr);
    }

    // A decimal number, a fraction allowed, truncated toward zero; within 32 bits.
    bool readTruncated(long long &value)
    {
        const std::string_view s = number();
        double d = 0;
        const auto r = std::from_chars(s.data(), s.data() + s.size(), d);
        if (!advance(s, r.ec == std::errc() && std::isfinite(d), r.ptr))
            return false;
        d = std::trunc(d);
        if (d < static_cast<double>(std::numeric_limits<std::int32_t>::min()) ||
            d > static_cast<double>(std::numeric_limits<std::uint32_t>::max()))
            return false;
        value = static_cast<long long>(d);
        return true;
    }

    // After the length: one character (the blank) unless the line ends, then up to `length`
    // characters, never past the end of the line; the rest of a cut line is skipped.
    std::string readName(std::size_t length)
    {
        if (m_pos < m_text.size() && m_text[m_pos] != '\n' && m_text[m_pos] != '\r')
            ++m_pos;
        const std::size_t begin = m_pos;
        while (m_pos < m_text.size() && m_pos - begin < length && m_text[m_pos] != '\n' && m_text[m_pos] != '\r')
            ++m_pos;
        std::string name(m_text.substr(begin, m_pos - begin));
        while (m_pos < m_text.size() && m_text[m_pos] != '\n')
            ++m_pos;
        return name;
    }

private:
    // What follows the white space, without a leading "+".
    std::string_view number()
    {
        while (m_pos < m_text.size() && isSpace(m_text[m_pos]))
            ++m_pos;
        std::string_view s = m_text.substr(m_pos);
        if (!s.empty() && s.front() == '+') {
            s.remove_prefix(1);
            ++m_pos;
        }
        return s;
    }

    bool advance(std::string_view s, bool ok, const char *end)
    {
        if (!ok)
            return false;
        m_pos += static_cast<std::size_t>(end - s.data());
        return true;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

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
    Reader in(text);
    FontChoice font;
    long long v = 0;
    if (!in.readTruncated(v))
        return std::nullopt;
    font.color = static_cast<std::int32_t>(static_cast<std::uint32_t>(v & 0xFFFFFFFFLL));
    if (!in.readInt(v) || v < 1 || v > MaxFontSize)
        return std::nullopt;
    font.size = static_cast<int>(v);

    if (!in.readInt(v))
        return std::nullopt;
    font.name = in.readName(v <= 0 ? 0 : static_cast<std::size_t>(std::min<long long>(v, MaxNameLength)));

    if (!in.readInt(v))
        return std::nullopt;
    font.pitch = v >= 0 && v <= 2 ? static_cast<int>(v) : 0;

    for (bool *flag : {&font.bold, &font.italic, &font.underline, &font.strikeout}) {
        if (!in.readInt(v))
            return std::nullopt;
        *flag = v == 1;
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


int FontSettings::load(const std::string &path, FontFile which, FontChoice &font, MessageService &messages)
{
    if (!FileSystem::exists(path))
        return ResultSkipped;
    const std::optional<std::string> text = FileSystem::readFilePrefix(path, MaxFileBytes);
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

void FontSettings::gridFontChosen(Editor &editor, const FontChoice &font,
                                  const std::function<void()> &computeMaxEntries)
{
    editor.gridFont = font;
    SetRowHeightFromFont(editor);
    if (computeMaxEntries)
        computeMaxEntries();
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
