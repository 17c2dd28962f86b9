#pragma once

#include "platform/core/MessageService.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quorvex {

// A colour box's entry (index into the colour name table) and the colour in
// force, as red + 256 x green + 65536 x blue.
struct StoredColour {
    int entry = 0;
    std::uint32_t colour = 0;
    bool operator==(const StoredColour &o) const { return entry == o.entry && colour == o.colour; }
};

// The program-wide values "settings.mtr" keeps, in file order.
struct StoredSettings {
    enum Colour { Fixed, FixedFont, Odd, OddFont, Even, EvenFont, Selected, SelectedFont, FixedLine, GridLine };
    static constexpr int ColourCount = 10;
    static constexpr int MinLineWidth = -4;
    static constexpr int MaxLineWidth = 19999;
    static constexpr long long MaxQuickSearchColumn = 99999999;

    std::array<StoredColour, ColourCount> colours{};
    std::string fixedBackground = "none";
    std::string oddBackground = "none";
    std::string evenBackground = "none";
    int lineWidth = 1;
    int quickSearchColumn = 2;
    bool showSplash = true;
    std::string databaseFolder;

    // The values the settings hold when no file was read.
    static StoredSettings defaults(std::uint32_t buttonFace, const std::string &databaseFolder);
    static int clampLineWidth(long long width);
    bool operator==(const StoredSettings &o) const;
};

// Each stored value, for telling the caller which ones the file gave.
enum class SettingsField {
    ColourFirst = 0, // the ten colours in StoredSettings::Colour order
    FixedBackground = 10,
    OddBackground,
    EvenBackground,
    LineWidth,
    QuickSearchColumn,
    ShowSplash,
    DatabaseFolder,
    Count
};

struct SettingsReadResult {
    enum class Status { Missing, Unreadable, Read };
    Status status = Status::Missing;
    // Every field holds the file's value where valid, the default otherwise.
    StoredSettings values;
    std::array<bool, static_cast<std::size_t>(SettingsField::Count)> valid{};
    // Some field was missing or unusable (the notice was shown once by read()).
    bool damaged = false;

    bool isValid(SettingsField f) const { return valid[static_cast<std::size_t>(f)]; }
    bool isColourValid(int colour) const { return valid[static_cast<std::size_t>(colour)]; }
};

class SettingsFile {
public:
    static constexpr const char *FileName = "settings.mtr";
    // Far above any real file (three picture names and one folder path);
    // nothing beyond it is read.
    static constexpr std::size_t MaxBytes = 64 * 1024;
    static constexpr const char *DamagedText =
        "The settings file is damaged. Default settings will be used for the values that could not be read.";

    enum class WriteResult { Saved, NotSaved, Failed };

    // The two CR LF lines of the file.
    static std::string format(const StoredSettings &settings);
    // Reads the fields in order; a field that is out of range keeps its
    // default, and after a field that cannot be read at all (text where a
    // number belongs, a length past the end) every later field does too.
    static SettingsReadResult parse(std::string_view bytes, const StoredSettings &defaults);

    // The start-up read: a missing file keeps the defaults silently; one that
    // cannot be opened and one that is damaged each get one error message.
    static SettingsReadResult read(const std::string &path, const StoredSettings &defaults, MessageService &messages);
    // "Save Settings": asks before making a read-only file writable, writes
    // atomically and says how it went. Saved means the button may go grey.
    static WriteResult write(const std::string &path, const StoredSettings &settings, MessageService &messages);
};

} // namespace quorvex
