#pragma once

#include <string>
#include <string_view>

namespace quorvex {

class ListDocument;
class ProgressReporter;

// Progress shown while a large rectangle is turned into text: after every
// `everyRows`-th row the percentage and `suffix` go to the status bar.
struct ExcelTextProgress {
    ProgressReporter &reporter;
    int everyRows;
    std::string suffix;
};

// The tab-separated "MS Excel format" text of a rectangle of the list, shared by
// the text export (CR row ends) and the clipboard (CR LF row ends).
class ExcelText {
public:
    static constexpr std::string_view ClipboardLineEnd = "\r\n";
    static constexpr std::string_view ExportLineEnd = "\r";

    // Rows firstRow..lastRow and columns firstCol..lastCol, both in ascending order
    // and inside the list. A tab follows a cell unless it is in the list's last
    // column or in lastCol; every row, the last included, ends with lineEnd.
    static std::string formatExcelText(const ListDocument &doc, int firstRow, int lastRow, int firstCol, int lastCol,
                                       std::string_view lineEnd, const ExcelTextProgress *progress = nullptr);

    // The export file's bytes: the whole list but the page-number column, CR
    // after every row; the file is text, so a line feed in a cell becomes CR LF.
    static std::string exportFileText(const ListDocument &doc, const ExcelTextProgress *progress = nullptr);

    // The same cells as UTF-8 for Linux tools, from either kind of list: LF
    // after every row, a line feed in a cell written as it is.
    static std::string exportUtf8Text(const ListDocument &doc, const ExcelTextProgress *progress = nullptr);

    // The whole percentage shown after row r of a list of rowCount rows.
    static int progressPercent(int row, int rowCount);

private:
    static std::string format(const ListDocument &doc, int firstRow, int lastRow, int firstCol, int lastCol,
                              std::string_view lineEnd, bool feedsAsCrLf, const ExcelTextProgress *progress);
};

} // namespace quorvex
