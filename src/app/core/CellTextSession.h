#pragma once

#include <string>

namespace quorvex {

class Editor;

// The logic of the cell text window: one showing on the main grid's current
// cell, its menu states, status panels, save rule and close questions. The
// window owns the text box and calls these as its events arrive.
class CellTextSession {
public:
    explicit CellTextSession(Editor &editor) : m_editor(editor) {}

    // The window is shown: the current cell's text as stored, for the box. Resets every mark.
    std::string show();

    // The box's text changed: Save Changes and the box's Undo on, Redo off.
    void textChanged(int length);
    // The selection in the box changed (also on mouse moves for the length panel).
    void selectionChanged(int selectedLength);
    void lengthChanged(int length);
    // Edit > Undo and Redo of the box's single undo step.
    void undoClicked();
    void redoClicked();

    // Options > Save Changes: writes `boxText` into the cell with line breaks and tabs as
    // blanks; the first save of a showing takes the main window's snapshot. Returns the
    // cell's text for the box to reload; false in `ok` after the error box.
    std::string save(const std::string &boxText, bool *ok = nullptr);
    // Options > Close Window: asks "Save changes?" while unsaved edits exist. True when the
    // window closes (after saving on Yes); false on Cancel and when the save on Yes failed,
    // so the edits stay in the box.
    bool closeWindow(const std::string &boxText);
    // Closing by the window frame: runs Close Window unless it already decided to close.
    bool frameClose(const std::string &boxText);

    // CR, LF and tab become blanks: a cell holds one line.
    static std::string flattenForCell(std::string text);
    static std::string lengthText(int length) { return "Text length: " + std::to_string(length); }
    static std::string selectedLengthText(int length) { return "Selected text length: " + std::to_string(length); }

    // Menu states: Paste with text on the clipboard; Cut, Copy and Delete with a selection.
    static bool pasteEnabled(bool clipboardHasText) { return clipboardHasText; }
    static bool selectionCommandsEnabled(int selectedLength) { return selectedLength > 0; }

    bool saveEnabled() const { return m_saveEnabled; }
    bool undoEnabled() const { return m_undoEnabled; }
    bool redoEnabled() const { return m_redoEnabled; }
    bool closeMark() const { return m_closeMark; }
    bool snapshotTaken() const { return m_snapshotTaken; }
    // Status panels 0 and 1.
    const std::string &lengthPanel() const { return m_lengthPanel; }
    const std::string &selectionPanel() const { return m_selectionPanel; }

    static constexpr const char *Title = "View / Edit Cell Text";
    static constexpr const char *UndoCaption = "&Undo View Cell Text Edit";

private:
    Editor &m_editor;
    bool m_saveEnabled = false;
    bool m_undoEnabled = false;
    bool m_redoEnabled = false;
    bool m_closeMark = false;
    bool m_snapshotTaken = false;
    std::string m_lengthPanel = lengthText(0);
    std::string m_selectionPanel = selectedLengthText(0);
};

} // namespace quorvex
