#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quorvex {

// The desktop's list of recently used files, recently-used.xbel in the user's
// data folder, which file choosers and file managers read. Entries of other
// programs are kept byte for byte; a file this cannot read as such a list is
// never rewritten.
class RecentlyUsedList {
public:
    static constexpr const char *FileName = "recently-used.xbel";
    // A longer file is left alone rather than read whole.
    static constexpr std::size_t MaxFileBytes = 8 * 1024 * 1024;
    // Past this many bookmarks the oldest go.
    static constexpr std::size_t MaxBookmarks = 1000;
    static constexpr std::size_t MaxDepth = 64;

    struct Use {
        std::string path; // absolute
        std::string mimeType;
        std::string appName;
        std::string appExec; // as the desktop runs it, "%f" standing for the file
        std::string time;    // ISO 8601 in UTC, as timestamp() writes it
    };

    enum class Result { Written, Damaged, NotAFile, TooLarge, WriteFailed };

    // $XDG_DATA_HOME/recently-used.xbel, else ~/.local/share/recently-used.xbel;
    // empty when neither is known.
    static std::string location(const char *xdgDataHome, const char *home);
    static std::string fileUri(const std::string &absolutePath);
    static std::string timestamp(long long unixSeconds, int microseconds);

    // The list with `use` added or its entry brought up to date; nullopt when
    // `existing` is not a list this can edit.
    static std::optional<std::string> merge(std::string_view existing, const Use &use);

    // Reads, merges and replaces the file at `xbelPath` through a temporary
    // file beside it. A missing file or folder is made (the file readable by
    // its owner only).
    static Result add(const std::string &xbelPath, const Use &use);
};

} // namespace quorvex
