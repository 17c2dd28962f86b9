#pragma once

#include "ClipboardCommands.h"
#include "GridKeyRules.h"

#include <functional>
#include <optional>
#include <string>

namespace quorvex {

class Editor;

// The row and column commands and the cell-level editing commands of the main
// grid, working on the editor's document with the usual change protocol.
class GridCommands {
public:
    // Shows the header text dialog with the given text; the entered text, or nullopt for Cancel.
    using HeaderTextDialog = std::function<std::optional<std::string>(const std::string &current)>;
    // Whether the menu item of an action is enabled; a disabled item's keys do nothing.
    using ActionEnabled = std::function<bool(GridAction)>;

    static constexpr const char *MoveColumnMessage =
        "To move a column, left-click your mouse over the header of the desired column and drag it to the desired "
        "position.";

    explicit GridCommands(Editor &editor);

    ClipboardCommands &clipboard() { return m_clipboard; }
    void setActionEnabled(ActionEnabled enabled) { m_actionEnabled = std::move(enabled); }

    // Grid > New Row (Ctrl+N): an empty last row becomes current at column 1. No snapshot while the wizard shows.
    void NewRow(bool wizardShowing = false);
    // Grid > Insert Row (Ctrl+I): an empty row before the current one; the current cell stays on it.
    void InsertRow();
    // Grid > Delete Selected Row(s) (Shift+Del). False, changing nothing, with one data row:
    // the main menu item must then be disabled.
    bool DeleteSelectedRows();
    // Grid > New Column... (Ctrl+Alt+N): an empty last column becomes current, then its header is asked.
    void NewColumn(const HeaderTextDialog &dialog);
    // Grid > Insert Column... (Ctrl+Alt+I): an empty column at the current one, with its left neighbour's width.
    void InsertColumn(const HeaderTextDialog &dialog);
    // Grid > Delete Selected Column(s) (Ctrl+Del). False, changing nothing, with one data column.
    bool DeleteSelectedColumns();
    // Grid > Edit Column Header... (Ctrl+H): asks for the current column's header text.
    void EditColumnHeader(const HeaderTextDialog &dialog);
    // The header dialog's answer for the current column; what EditColumnHeader does after the dialog.
    void applyHeaderText(const std::optional<std::string> &text);
    // Set by New and Insert Column while their header is asked: the header edit takes no snapshot.
    bool newColumnMode() const { return m_newColumnMode; }
    void setNewColumnMode(bool on) { m_newColumnMode = on; }
    // Grid > Move Column: how to drag a column.
    void MoveColumn();

    // A row or column header dragged from `from` to `to` (data indexes, 1..): moves it with its undo.
    void rowDragged(int from, int to);
    void columnDragged(int from, int to);

    // Edit > Delete (Ctrl+D, Del): empties the selected cells.
    void Delete();
    // Edit > Cut: Copy, then Delete. Nothing is deleted when the copy failed.
    void Cut();
    // Select Column (Ctrl+Alt+A) and Select All (Ctrl+A): no change, no snapshot.
    void SelectColumn();
    void SelectAll();
    bool cutMark() const { return m_cutMark; }

    // Moves the current cell as the user does: the cell-selected rule first.
    void selectCell(int col, int row);
    // The cell-selected rule alone, for moves the grid made itself.
    void cellSelected(int col, int row);
    // A change typed into the open cell editor, already written to the cell: the
    // first one after a cell selection takes the snapshot "&Undo Cell Edit".
    void cellEdited();

    // Runs the editor's part of a decision of GridKeyRules. OpenAttachment and OpenEditor are the window's.
    void apply(const GridEventDecision &decision);
    // Runs one action when its menu item is enabled; false when it is the window's or disabled.
    bool run(GridAction action);
    // Key pressed in the grid: the shortcut runs first, then the attachment and Tab rules are
    // decided on the state it left. The window applies swallow and inPlaceEditing.
    GridEventDecision keyDown(const KeyInput &key, bool editorOpen);
    // Key released; the window applies chooseBoxText.
    GridEventDecision keyUp(const KeyInput &key, bool editorOpen);
    // Character typed.
    void keyPress(char ch, bool editorOpen);

private:
    void record(const char *caption);
    // After a recorded change that moved or emptied texts under the current cell.
    void preview();

    Editor &m_editor;
    ClipboardCommands m_clipboard;
    ActionEnabled m_actionEnabled;
    bool m_newColumnMode = false;
    bool m_cutMark = false;
};

} // namespace quorvex
