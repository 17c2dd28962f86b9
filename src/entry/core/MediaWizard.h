#pragma once

#include "DropDownList.h"

#include <array>
#include <functional>
#include <string>

namespace quorvex {

class Editor;
class GridCommands;
class ListFileCommands;

// The media input wizard's logic: eight fields over grid columns 1 to 8 that
// enter rows at the end of the list, step through the rows, correct, delete
// and save. It works on the editor's document directly; everything it changes
// in one opening is undone by one "&Undo Wizard".
class MediaWizard {
public:
    static constexpr int FieldCount = 8;
    // The drop-down scan stops before this row.
    static constexpr int ScanLimit = 2000;
    // Fields 7 and 8 take at most this many characters from the keyboard.
    static constexpr std::size_t LongTextLimit = 500;
    static constexpr const char *UndoCaption = "&Undo Wizard";
    static constexpr const char *FillError = "Error loading drop down box list.";

    struct Field {
        std::string text;
        bool enabled = true;
        bool listLoaded = false;
        DropDownList list;
    };

    MediaWizard(Editor &editor, GridCommands &grid, ListFileCommands &files);

    // The Media Wizard command's steps before the window shows.
    void prepare();
    // The work of the first paint after the window showed.
    void openingWork();
    // Close: the drop-down lists are emptied, the typed texts stay.
    void close();
    bool refreshOnPaint() const { return m_refreshOnPaint; }

    // The buttons. Each one does nothing while the drop-down lists are being
    // filled, since that lets window events (these clicks among them) run.
    void applyChanges();
    void addToList();
    void back();
    void forward();
    void deleteCurrent();
    void saveList();

    // Field i (0..7) is grid column i + 1.
    Field &field(int i) { return m_fields[static_cast<std::size_t>(i)]; }
    const Field &field(int i) const { return m_fields[static_cast<std::size_t>(i)]; }
    const std::string &label(int i) const { return m_labels[static_cast<std::size_t>(i)]; }
    int currentIndex() const;
    int itemCount() const;
    bool backEnabled() const { return m_backEnabled; }
    bool forwardEnabled() const { return m_forwardEnabled; }
    bool deleteEnabled() const { return m_deleteEnabled; }
    const std::string &status(int panel) const { return m_status[static_cast<std::size_t>(panel)]; }
    bool filling() const { return m_filling > 0; }
    bool openingUndoTaken() const { return m_openingUndoTaken; }

    // Whether typing may change a field's text from `before` to `after`
    // characters: the long fields refuse to grow past the limit, but a longer
    // text that came from the list stays whole and may shrink.
    static bool acceptsTyping(int field, std::size_t before, std::size_t after);

    // Called when the status texts changed, before window events are let run.
    std::function<void()> onStatusChanged;

    // The drop-down fill of one field from column `col`, scanning from `startRow`.
    void FillDropDownList(int fieldIndex, int col, int startRow);
    void LoadRowIntoFields(int row);
    void StoreFieldsIntoRow(int row);

private:
    void applyOrAdd(bool adding);
    void fillAll(int startRow);
    void moveToRow(int row);
    void setStatus(int panel, std::string text);
    void markListsNotLoaded();
    void pump();

    Editor &m_editor;
    GridCommands &m_grid;
    ListFileCommands &m_files;
    std::array<Field, FieldCount> m_fields;
    std::array<std::string, FieldCount> m_labels;
    std::array<std::string, 3> m_status{{"Ready.", "", ""}};
    bool m_refreshOnPaint = true;
    bool m_openingUndoTaken = false;
    bool m_backEnabled = false;
    bool m_forwardEnabled = false;
    bool m_deleteEnabled = false;
    int m_filling = 0;
};

} // namespace quorvex
