#pragma once

#include <array>
#include <functional>
#include <string>

namespace quorvex {

class MessageService;

// The File menu's recent-files list: up to five paths in the items Reopen1
// (newest) to Reopen5, kept between runs in Reopen.mtr.
class ReopenList {
public:
    static constexpr int MaxEntries = 5;
    static constexpr std::size_t MaxCaptionLength = 9999;
    static constexpr const char *FileName = "Reopen.mtr";
    static constexpr const char *MenuCaption = "&Reopen";
    static constexpr const char *ClearCaption = "-- Clear Reopen History --";
    static constexpr const char *ClearQuestion = "Clear reopen history?";
    static constexpr const char *WriteFailedMessage = "Unable to save the Reopen menu to disk.";

    using FileExists = std::function<bool(const std::string &path)>;

    ReopenList() = default;

    // Entries 1..count() are shown; the submenu is enabled when count() > 0.
    int count() const { return m_count; }
    bool menuEnabled() const { return m_count > 0; }
    // index 0..4 for Reopen1..Reopen5.
    const std::string &caption(int index) const;
    bool visible(int index) const;
    // The path of item N (1..5) that the Reopen click opens; empty when hidden.
    std::string pathOf(int item) const;

    // Puts a path at the top unless it is already listed (case-sensitive) or
    // files are not tracked (a template load).
    void AddToReopenMenu(const std::string &path, bool trackCurrentFile);
    // Asks the question; on Yes empties the list. The file changes at the next exit.
    bool ClearReopenMenu(MessageService &messages);
    void clear();

    // The six lines of Reopen.mtr.
    std::string serialize() const;
    // Takes count and captions from the text; reading stops quietly where the
    // text is damaged, keeping what was read.
    void parse(const std::string &text);

    // At exit: false after the error message when the file cannot be written.
    bool WriteReopenFile(const std::string &path, MessageService &messages) const;
    // At start: reads the file when it exists and drops the entries whose file
    // is gone. `exists` defaults to a regular-file test.
    void ReadReopenFile(const std::string &path, const FileExists &exists = FileExists());

private:
    void dropMissing(const FileExists &exists);

    std::array<std::string, MaxEntries> m_captions;
    std::array<bool, MaxEntries> m_visible{};
    int m_count = 0;
};

} // namespace quorvex
