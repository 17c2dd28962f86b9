#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorvex {

class ListDocument;
class ProgressReporter;

// Comma-separated text for spreadsheets: UTF-8 with a byte-order mark (so
// spreadsheets do not guess the encoding), the header row first, CR LF after
// every row, and a field quoted when it holds a comma, a quote, a line break,
// or starts or ends with a blank. Columns 1 to the last; an attachment cell
// gives its file name.
class CsvExport {
public:
    static constexpr const char *ByteOrderMark = "\xEF\xBB\xBF";
    static constexpr const char *ProgressSuffix = "% - Writing the list as CSV.";

    struct Result {
        bool ok = false;
        int rows = 0;         // data rows written
        std::string error;    // the cause when not ok
    };

    // Appends one field (UTF-8 already), quoted where it must be.
    static void appendField(std::string &out, std::string_view utf8);

    // The whole text. `rows`: the data rows to write, in order; empty for all.
    static std::string text(const ListDocument &doc, const std::vector<int> &rows = {});

    // Writes the text to `path` through the atomic write path, in pieces, so
    // the text is never held whole. A failure leaves a former file as it was.
    static Result writeFile(const ListDocument &doc, const std::vector<int> &rows, const std::string &path,
                            ProgressReporter *progress = nullptr);
};

} // namespace quorvex
