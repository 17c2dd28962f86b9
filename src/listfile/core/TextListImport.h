#pragma once

#include "platform/core/TextEncoding.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace quorvex {

class ListDocument;
class ProgressReporter;

// Bounds of one import; the defaults fit the grid and memory.
struct TextImportLimits {
    // Spreadsheet programs stop at 16384 columns; far more than a list shows.
    std::size_t maxColumns = 16384;
    std::size_t maxRows = 10000000;
    // One cell; longer texts are not list data.
    std::size_t maxFieldBytes = 1u << 20;
    // The whole file: the list is held in memory.
    std::uint64_t maxFileBytes = 256ull << 20;
    // The encoding of the list made: Utf8 keeps every character of UTF-8 text
    // (Windows-1252 text is converted); Windows1252 turns what it cannot hold into "?".
    TextEncoding target = TextEncoding::Windows1252;
};

// Tab- or comma-separated text, as spreadsheet programs write it, into a list.
// The first line gives the headers of columns 1.., every further line a data
// row; column 0 is left for the page numbers.
//
// Tab-separated text is split at tabs and line ends (CR, LF or CR LF) with no
// quoting, exactly as the program's own export writes it, and an empty line is
// an empty row. Comma- (or semicolon-) separated text is parsed as CSV: quoted
// fields, doubled quotes, line breaks inside quotes; empty lines are skipped.
//
// The text is UTF-8 when it is valid UTF-8 and holds a byte of 0x80 or more,
// otherwise Windows-1252. For a Windows-1252 list (the default target) UTF-8
// characters Windows-1252 cannot hold become "?"; a Unicode list keeps them.
// The input is streamed in blocks: no line or field is held beyond the limits.
class TextListImport {
public:
    using Limits = TextImportLimits;

    enum class Encoding { Cp1252, Utf8 };

    struct Result {
        bool ok = false;
        // One or more sentences for the user when !ok.
        std::string error;
        Encoding encoding = Encoding::Cp1252;
        char delimiter = '\t';
        // Characters that became "?".
        std::size_t replaced = 0;
        // Characters Windows-1252 cannot hold, whatever the target, and the
        // first few different ones of them (UTF-8, a blank between two).
        std::size_t unstorable = 0;
        std::string unstorableSample;
        std::size_t rows = 0;
    };

    // Reads up to `size` bytes into `buffer`; returns the count, 0 at the end,
    // or -1 on a read failure.
    using BlockReader = std::function<long(char *buffer, std::size_t size)>;

    // The text of a file. `progress` may be null.
    static Result importFile(const std::string &path, ListDocument &doc, ProgressReporter *progress = nullptr,
                             const Limits &limits = Limits());
    static Result importText(std::string_view text, ListDocument &doc, const Limits &limits = Limits());

    // Columns wide enough for the texts at the top of an imported list.
    static void fitColumnWidths(ListDocument &doc);

    // The delimiter the first line asks for: tab when it holds one, otherwise
    // the more frequent of semicolon and comma (comma on a tie), tab when it holds neither.
    static char detectDelimiter(std::string_view firstLine);
    // Windows-1252 bytes of UTF-8 text; adds to `replaced` per "?" written.
    static std::string utf8ToCp1252(std::string_view utf8, std::size_t &replaced);
    // Well-formed UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
    static bool isValidUtf8(std::string_view text);

private:
    // `open` gives a reader from the input's first byte; it is called twice.
    static Result run(const std::function<BlockReader()> &open, std::uint64_t totalBytes, ListDocument &doc,
                      ProgressReporter *progress, const Limits &limits);
};

} // namespace quorvex
