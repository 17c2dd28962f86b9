#pragma once

#include "GridSearch.h"

#include <optional>
#include <string>
#include <string_view>

namespace quorvex {

class MessageService;

// find.mtr in the program folder: the three ticks of the find window as
// "0"/"1" separated by blanks, ended by CR LF.
class FindSettingsFile {
public:
    static constexpr const char *FileName = "find.mtr";
    // The file is three digits; anything much longer is not ours.
    static constexpr std::size_t MaxBytes = 4096;

    static std::string pathIn(const std::string &programFolder);
    // Three whitespace-separated decimal integers, non-zero meaning ticked;
    // nullopt when the text does not start with three of them.
    static std::optional<FindOptions> parse(std::string_view text);
    static std::string format(const FindOptions &options);

    // The options from the file, or `defaults` when it cannot be read; nothing is reported.
    static FindOptions read(const std::string &path, const FindOptions &defaults);
    // Replaces the file atomically; on failure shows the save error and returns false.
    static bool write(const std::string &path, const FindOptions &options, MessageService &messages);
};

} // namespace quorvex
