#pragma once

#include <cstddef>
#include <string>

namespace quorvex {

class MessageService;

// The two check boxes of the sort options dialog as sort.mtr keeps them.
struct SortFlags {
    bool caseSensitive = false;
    bool backwards = false;
    bool operator==(const SortFlags &o) const { return caseSensitive == o.caseSensitive && backwards == o.backwards; }
};

// Reader and writer of sort.mtr in the program folder: two decimal integers
// separated by a blank and ended by CR LF, non-zero meaning ticked.
class SortSettings {
public:
    static constexpr const char *FileName = "sort.mtr";
    // Two flags need a few bytes; a huge file in its place costs no more than this.
    static constexpr std::size_t MaxFileBytes = 4096;

    static constexpr const char *OpenFailedMessage =
        "Sort settings were not opened. Please make sure the disk is accessible.";
    static constexpr const char *ReadOnlyQuestion =
        "Unable to save \"sort.mtr\". The file is read-only. Do you want Quorvex.exe to make this file write able?";
    static constexpr const char *MakeWritableFailedMessage =
        "Quorvex.exe was unable to make \"sort.mtr\" write able. Please make sure it is not on a write protected "
        "disk. Sort settings were not saved.";
    static constexpr const char *NotSavedMessage = "Sort settings were not saved.";
    static constexpr const char *SaveFailedMessage =
        "Sort settings were not saved. Please make sure the disk is not write protected.";

    enum class ReadOutcome {
        Missing,    // no file: the flags stay as they are
        Read,       // both values read
        Partial,    // fewer than two integers: only those read were set
        Unreadable, // the error was shown; the caller resets the dialog to its defaults
    };

    // Sets the flags from the leading integers of `text`; returns how many (0 to 2)
    // were read. Reading stops at the first word that is not a decimal integer.
    static int parse(const std::string &text, SortFlags &flags);
    static std::string format(const SortFlags &flags);

    static ReadOutcome read(const std::string &path, SortFlags &flags, MessageService &messages);
    // Writes atomically after the read-only question; every failure is shown and
    // false returned, but the caller goes on (a failed save never stops the sort).
    static bool write(const std::string &path, const SortFlags &flags, MessageService &messages);
};

} // namespace quorvex
