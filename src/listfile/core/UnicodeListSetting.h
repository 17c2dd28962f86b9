#pragma once

#include <string>
#include <string_view>

namespace quorvex {

// "New lists hold Unicode text": off unless the user turns it on. Kept in a
// file of its own in the program folder, so the main settings file stays as
// it always was. The file is one line: "UnicodeNewLists=1" or "=0".
class UnicodeListSetting {
public:
    static constexpr const char *FileName = "unicode.mtr";
    static constexpr const char *Key = "UnicodeNewLists=";

    bool newListsUnicode = false;

    // The setting a file's text gives: off for anything but the line "=1".
    static bool parse(std::string_view text);
    std::string format() const;

    // Reads programFolder + FileName; a missing or unreadable file is off.
    void read(const std::string &programFolder);
    // Writes it atomically; false when it could not be written.
    bool write(const std::string &programFolder) const;
};

} // namespace quorvex
