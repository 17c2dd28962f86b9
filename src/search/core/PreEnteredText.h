#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex {

class Editor;
class ListDocument;

// The pre-entered text box: the distinct texts of a column, and writing the
// box's text into the current cell.
class PreEnteredText {
public:
    // Rows from this one on are not scanned for further texts.
    static constexpr int ScanRowLimit = 10000;
    static constexpr const char *UndoCaption = "&Undo Cell Edit";

    // The items of the drop-down list for column `col`, unsorted: the lines of
    // the first non-empty text of the column, then every further distinct
    // (exact comparison) non-empty text of rows 1 to 9999. Attachments are
    // skipped. `pump` runs every fifth row.
    static std::vector<std::string> collect(const ListDocument &doc, int col,
                                            const std::function<void()> &pump = {});
    // Splits at CR, LF or CR LF; a line end at the very end gives no empty line.
    static std::vector<std::string> splitLines(std::string_view text);

    // The box's text changed by the user: the current cell takes it, with the
    // cell-edit undo step. Over an attachment nothing changes (false).
    static bool write(Editor &editor, std::string_view text);
    // What the box shows for the current cell: its text, or nothing for an attachment.
    static std::string shownText(const ListDocument &doc);
};

} // namespace quorvex
