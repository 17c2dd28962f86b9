#include "SettingsFile.h"

#include "platform/core/FileSystem.h"

#include <optional>

namespace quorvex {

namespace {

constexpr std::uint32_t MaxColour = 0xFFFFFF;
constexpr int MaxEntry = 19;

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// Reads the fields one by one from the file's bytes; never looks past the end.
class FieldReader {
public:
    explicit FieldReader(std::string_view bytes) : m_bytes(bytes) {}

    // A signed decimal after any white space. nullopt for text where a number
    // belongs, the end of the data, or more digits than any field can need.
    std::optional<long long> number()
    {
        while (m_pos < m_bytes.size() && isBlank(m_bytes[m_pos]))
            ++m_pos;
        bool negative = false;
        if (m_pos < m_bytes.size() && (m_bytes[m_pos] == '-' || m_bytes[m_pos] == '+'))
            negative = m_bytes[m_pos++] == '-';
        long long value = 0;
        int digits = 0;
        while (m_pos < m_bytes.size() && m_bytes[m_pos] >= '0' && m_bytes[m_pos] <= '9') {
            if (++digits > 15)
                return std::nullopt;
            value = value * 10 + (m_bytes[m_pos++] - '0');
        }
        if (digits == 0)
            return std::nullopt;
        return negative ? -value : value;
    }

    // Length, one separator, then that many bytes; nullopt when the length is
    // negative or reaches past the end (nothing is allocated for it first).
    std::optional<std::string> text()
    {
        const auto length = number();
        if (!length || *length < 0)
            return std::nullopt;
        if (m_pos >= m_bytes.size())
            return std::nullopt;
        ++m_pos;
        if (static_cast<unsigned long long>(*length) > m_bytes.size() - m_pos)
            return std::nullopt;
        std::string t(m_bytes.substr(m_pos, static_cast<std::size_t>(*length)));
        m_pos += static_cast<std::size_t>(*length);
        return t;
    }

private:
    std::string_view m_bytes;
    std::size_t m_pos = 0;
};

void appendColour(std::string &out, const StoredColour &c)
{
    out += std::to_string(c.entry) + ' ' + std::to_string(c.colour) + ' ';
}

void appendText(std::string &out, const std::string &t)
{
    out += std::to_string(t.size()) + ' ' + t;
}

} // namespace

StoredSettings StoredSettings::defaults(std::uint32_t buttonFace, const std::string &databaseFolder)
{
    StoredSettings s;
    constexpr std::uint32_t black = 0, white = 0xFFFFFF;
    s.colours[Fixed] = {5, buttonFace & MaxColour};
    s.colours[FixedFont] = {2, black};
    s.colours[Odd] = {1, 255u + 255u * 256u + 225u * 65536u};
    s.colours[OddFont] = {2, black};
    s.colours[Even] = {17, white};
    s.colours[EvenFont] = {2, black};
    s.colours[Selected] = {4, 32u + 128u * 256u + 192u * 65536u};
    s.colours[SelectedFont] = {17, white};
    s.colours[FixedLine] = {2, black};
    s.colours[GridLine] = {15, 192u + 192u * 256u + 192u * 65536u};
    s.databaseFolder = databaseFolder;
    return s;
}

int StoredSettings::clampLineWidth(long long width)
{
    if (width < MinLineWidth)
        return MinLineWidth;
    if (width > MaxLineWidth)
        return MaxLineWidth;
    return static_cast<int>(width);
}

bool StoredSettings::operator==(const StoredSettings &o) const
{
    return colours == o.colours && fixedBackground == o.fixedBackground && oddBackground == o.oddBackground &&
           evenBackground == o.evenBackground && lineWidth == o.lineWidth &&
           quickSearchColumn == o.quickSearchColumn && showSplash == o.showSplash &&
           databaseFolder == o.databaseFolder;
}

std::string SettingsFile::format(const StoredSettings &s)
{
    std::string out;
    for (int c = StoredSettings::Fixed; c <= StoredSettings::SelectedFont; ++c)
        appendColour(out, s.colours[c]);
    appendText(out, s.fixedBackground);
    out += ' ';
    appendText(out, s.oddBackground);
    out += ' ';
    appendText(out, s.evenBackground);
    out += ' ' + std::to_string(StoredSettings::clampLineWidth(s.lineWidth)) + ' ';
    appendColour(out, s.colours[StoredSettings::FixedLine]);
    out += std::to_string(s.colours[StoredSettings::GridLine].entry) + ' ' +
           std::to_string(s.colours[StoredSettings::GridLine].colour) + "\r\n";
    out += std::to_string(s.quickSearchColumn) + ' ' + (s.showSplash ? "1" : "0") + ' ';
    appendText(out, s.databaseFolder);
    out += "\r\n";
    return out;
}

SettingsReadResult SettingsFile::parse(std::string_view bytes, const StoredSettings &defaults)
{
    SettingsReadResult result;
    result.status = SettingsReadResult::Status::Read;
    result.values = defaults;
    FieldReader in(bytes);
    bool readable = true;
    auto mark = [&](SettingsField f, bool ok) {
        result.valid[static_cast<std::size_t>(f)] = ok;
        if (!ok)
            result.damaged = true;
    };
    auto colour = [&](int index) {
        if (!readable) {
            mark(static_cast<SettingsField>(index), false);
            return;
        }
        const auto entry = in.number();
        const auto value = entry ? in.number() : std::nullopt;
        if (!entry || !value) {
            readable = false;
            mark(static_cast<SettingsField>(index), false);
            return;
        }
        const bool ok = *entry >= 0 && *entry <= MaxEntry && *value >= 0 && *value <= MaxColour;
        if (ok)
            result.values.colours[index] = {static_cast<int>(*entry), static_cast<std::uint32_t>(*value)};
        mark(static_cast<SettingsField>(index), ok);
    };
    auto text = [&](SettingsField f, std::string &target) {
        const auto t = readable ? in.text() : std::nullopt;
        if (!t)
            readable = false;
        else
            target = *t;
        mark(f, t.has_value());
    };
    auto number = [&](SettingsField f, long long low, long long high) -> std::optional<long long> {
        const auto n = readable ? in.number() : std::nullopt;
        if (!n)
            readable = false;
        const bool ok = n && *n >= low && *n <= high;
        mark(f, ok);
        return ok ? n : std::nullopt;
    };

    for (int c = StoredSettings::Fixed; c <= StoredSettings::SelectedFont; ++c)
        colour(c);
    text(SettingsField::FixedBackground, result.values.fixedBackground);
    text(SettingsField::OddBackground, result.values.oddBackground);
    text(SettingsField::EvenBackground, result.values.evenBackground);
    if (const auto w = number(SettingsField::LineWidth, StoredSettings::MinLineWidth, StoredSettings::MaxLineWidth))
        result.values.lineWidth = static_cast<int>(*w);
    colour(StoredSettings::FixedLine);
    colour(StoredSettings::GridLine);
    if (const auto q = number(SettingsField::QuickSearchColumn, 1, StoredSettings::MaxQuickSearchColumn))
        result.values.quickSearchColumn = static_cast<int>(*q);
    if (const auto s = number(SettingsField::ShowSplash, 0, 1))
        result.values.showSplash = *s == 1;
    text(SettingsField::DatabaseFolder, result.values.databaseFolder);
    return result;
}

SettingsReadResult SettingsFile::read(const std::string &path, const StoredSettings &defaults,
                                      MessageService &messages)
{
    SettingsReadResult result;
    result.values = defaults;
    if (!FileSystem::exists(path))
        return result;
    const auto bytes = FileSystem::readFilePrefix(path, MaxBytes);
    if (!bytes) {
        result.status = SettingsReadResult::Status::Unreadable;
        messages.error("Unable to open the settings file. Default settings will be used.");
        return result;
    }
    result = parse(*bytes, defaults);
    if (result.damaged)
        messages.error(DamagedText);
    return result;
}

SettingsFile::WriteResult SettingsFile::write(const std::string &path, const StoredSettings &settings,
                                              MessageService &messages)
{
    if (FileSystem::exists(path) && FileSystem::isReadOnly(path)) {
        const MessageAnswer answer = messages.confirm(
            "The settings file is read-only. Do you want Quorvex.exe to make this file write able?",
            MessageButtons::YesNo);
        if (answer != MessageAnswer::Yes) {
            messages.plain("Settings NOT saved.");
            return WriteResult::NotSaved;
        }
        if (!FileSystem::makeWritable(path)) {
            messages.error("Quorvex.exe was unable to make the settings file write able. Please make sure it is "
                           "not on a write protected disk.");
            return WriteResult::Failed;
        }
    }
    if (!FileSystem::writeFileAtomic(path, format(settings))) {
        messages.error("Settings were not saved. Please make sure the disk is not write protected.");
        return WriteResult::Failed;
    }
    messages.plain("Settings saved.");
    return WriteResult::Saved;
}

} // namespace quorvex
