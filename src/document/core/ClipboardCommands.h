#pragma once

#include "ListDocument.h"

#include <string>
#include <string_view>

namespace quorvex {

class Editor;

// Copy, Paste and Export Entire List to Clipboard of the main window, in the
// tab-separated layout spreadsheet programs read (CR LF row ends).
class ClipboardCommands {
public:
    explicit ClipboardCommands(Editor &editor) : m_editor(editor) {}

    // Puts the rectangle's text on the clipboard; either corner order works. 0 ok, 1 failed after a message.
    int CopyCellsToClipboard(int left, int right, int bottom, int top);
    // Edit > Copy and Ctrl+C: the selection.
    int Copy();
    // Edit > Export Entire List to Clipboard: header row and every data row, no page column.
    int CopyAll();
    // Edit > Paste and Ctrl+V: at the current cell, or into the selection when it is larger than one cell.
    // 0 ok, 1 failed after a message (no text on the clipboard: the Paste items must then be disabled).
    int Paste();

    // The two paste walks on an already recorded change; `text` is the clipboard text.
    // PasteAtCell grows the list to hold the text; PasteIntoRange writes only inside the rectangle.
    void PasteAtCell(std::string_view text, int col, int row);
    void PasteIntoRange(std::string_view text, int left, int right, int bottom, int top);

    // A command moved the current cell by selecting a range, which runs no cell-selected
    // rule: when it moved from (fromCol, fromRow), the text saved for undo is taken from
    // the new current cell.
    void rangeSelected(int fromCol, int fromRow);

    static constexpr const char *UndoPasteCaption = "&Undo Paste";

private:
    void pasteWalk(std::string_view text, int col, int row, const CellRect *clip);

    Editor &m_editor;
};

} // namespace quorvex
