#pragma once

#include <optional>
#include <string>
#include <utility>

namespace quorvex {

class ListDocument;

// The keys the grid's rules tell apart; every other key is Other.
enum class GridKey { Other, Enter, Tab, Up, Down, Left, Right, Delete, V, C, X, A, Z };

struct KeyInput {
    GridKey key = GridKey::Other;
    bool ctrl = false;
    bool shift = false;
    bool alt = false;
};

// What an event asks the editor to run.
enum class GridAction { None, Paste, Copy, Cut, SelectAll, Undo, Delete, NewRowFromTab, OpenAttachment, OpenEditor };

// The outcome of one grid event. The window applies swallow, inPlaceEditing and
// the pre-entered text box; GridCommands::apply runs the rest.
struct GridEventDecision {
    GridAction action = GridAction::None;
    bool swallow = false;                      // the grid must not handle the key itself
    std::optional<bool> inPlaceEditing;        // set when the rule switches in-place editing
    bool takeCellEditSnapshot = false;         // first key typed into an open editor
    bool markModified = false;
    bool refreshStatusBar = false;
    bool previewRefresh = false;               // preview of the current cell
    std::optional<std::pair<int, int>> previewCell; // preview of this (col, row) instead
    std::optional<std::string> chooseBoxText;  // new text of the pre-entered text box
};

// The grid's event rules as pure decisions on the document's state.
class GridKeyRules {
public:
    // Attachment cells are never edited in place.
    static bool canEditInPlace(const ListDocument &doc, int col, int row);
    // The current cell's text for the pre-entered text box; "" over an attachment.
    static std::string chooseBoxText(const ListDocument &doc);

    // Ctrl+V/C/X/A/Z while no editor is open (Shift or Alt do not matter); None otherwise.
    // Menu shortcuts such as Ctrl+Alt+A are the window's and reach the grid only when unhandled.
    static GridAction shortcutAction(const KeyInput &key, bool editorOpen);
    // Tab (without Shift, which moves back) on the last column of the last row.
    static bool isTabOnLastCell(const ListDocument &doc, const KeyInput &key);

    // Key pressed: shortcut action, status refresh, in-place editing and Enter over attachments, Tab growth.
    static GridEventDecision keyDown(const ListDocument &doc, const KeyInput &key, bool editorOpen);
    // Character typed: Tab and Enter are ignored; the first character typed into an open
    // editor takes the cell-edit snapshot.
    static GridEventDecision keyPress(char ch, bool editorOpen, bool snapshotCurrent);
    // Key released: pre-entered box text, modified mark for typing, plain Del runs Delete, preview.
    static GridEventDecision keyUp(const ListDocument &doc, const KeyInput &key, bool editorOpen);

    // Mouse moved over the grid: status refresh, in-place editing off, pre-entered box text.
    static GridEventDecision mouseMove(const ListDocument &doc);
    // Button pressed (after the grid moved the current cell).
    static GridEventDecision mouseDown(const ListDocument &doc);
    // Button released.
    static GridEventDecision mouseUp(const ListDocument &doc);
    // Double click: open the attachment, or switch editing on and open the editor.
    static GridEventDecision doubleClick(const ListDocument &doc);
    // Click: status refresh.
    static GridEventDecision click();
    // Wheel: preview of the cell the grid moves to, when there is one.
    static GridEventDecision wheel(const ListDocument &doc, bool down);
};

} // namespace quorvex
