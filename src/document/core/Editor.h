#pragma once

#include "platform/core/AppConstants.h"
#include "platform/core/ClipboardService.h"
#include "platform/core/DesktopShell.h"
#include "EditorView.h"
#include "FontChoice.h"
#include "GridAppearance.h"
#include "platform/core/MessageService.h"
#include "platform/core/ProgressReporter.h"
#include "StatusBarModel.h"
#include "document/core/ListDocument.h"
#include "document/core/UndoHistory.h"
#include "document/core/PageSetup.h"
#include "document/core/ShownRows.h"

#include <string>

namespace quorvex {

// The services the core talks to the user through.
struct UiServices {
    MessageService &messages;
    ProgressReporter &progress;
    DesktopShell &shell;
    ClipboardService &clipboard;
};

// Folder paths of a running copy; folders end in "/".
struct AppPaths {
    std::string programFolder;
    std::string documentsFolder;
    std::string tempFolder;
    std::string instanceTempFolder;
    std::string databaseFolder;
    std::string runCountFile;
    std::string helpFile;
};

// Enabled states the menus show when they open.
struct MenuState {
    bool paste = false;
    bool undo = false;
    bool redo = false;
    bool selectColumn = false;
    bool selectAll = false;
    bool deleteRow = false;
    bool deleteColumn = false;
    bool extractDataFile = false;
    bool saveList = false;
};

// The main window's document and state, with the commands that work on them.
// The window shows what this holds and forwards its controls' events here.
class Editor {
public:
    Editor(UiServices services, EditorView *view = nullptr);

    void setView(EditorView *view) { m_view = view ? view : &m_nullView; }
    UiServices &services() { return m_services; }

    ListDocument &document() { return m_document; }
    const ListDocument &document() const { return m_document; }
    UndoHistory &undoHistory() { return m_undo; }
    const UndoHistory &undoHistory() const { return m_undo; }
    // The rows the grid shows; every row unless a filter is on.
    ShownRows &shownRows() { return m_shown; }
    const ShownRows &shownRows() const { return m_shown; }
    // Chooses the shown rows again after a change of the whole list and keeps
    // the current cell on a shown row.
    void reapplyFilter();
    // Puts the current cell on the nearest shown row when it stands on a hidden one.
    void keepCurrentCellShown();
    // Another list was read into the document (open, new, import): every row is shown again.
    void listReplaced();
    PageSetup &pageSetup() { return m_pageSetup; }
    const PageSetup &pageSetup() const { return m_pageSetup; }
    StatusBarModel &statusBar() { return m_status; }
    AppPaths &paths() { return m_paths; }
    const AppPaths &paths() const { return m_paths; }

    // Shared state of the main window.
    std::string listType;
    bool listModified = false;
    bool trackCurrentFile = true;
    int runningCount = 0;
    bool runCountRegistered = false;
    std::string currentListFile;
    bool saveListEnabled = false;
    int clientWidth = 632;
    // The data column the quick-search box searches; the settings choose it.
    int quickSearchColumn = 2;
    // A long operation that lets window events run holds the list: the window
    // refuses every command that would change or replace it meanwhile. Set only
    // through LongOperationGuard.
    bool longOperationRunning = false;
    // The grid font as its font dialog holds it, the row-height factor derived
    // from its size and the print scale constants its change resets.
    FontChoice gridFont;
    double rowHeightFactor = 1.97;
    PrintScale printScale;
    // The grid's colours, lines and background pictures the cell painter reads.
    GridAppearance gridAppearance;
    GridSkins gridSkins;

    // --- construction and start-up ---
    // Computes every path from the working folder, the documents folder (empty
    // when the desktop gives none) and the system temporary folder, and makes
    // the program folder the working folder.
    void constructPaths(const std::string &workingFolder, const std::string &documents, const std::string &systemTemp);
    // Both end the program when they return false (the message was shown).
    bool ensureDatabaseFolder();
    bool ensureTempFolder();
    void IncrementRunCount();
    void DecrementRunCount();
    void makeInstanceTempFolder();
    // Exit steps after the save question: uncount and delete the temporary files.
    void shutdown(bool withMessages);

    // --- the change protocol ---
    void MarkModified() { listModified = true; }
    void StartUndoableChange(const std::string &caption);
    void backupCells();
    void cellSelected(int col, int row);
    void Undo();
    void Redo();
    void RenumberPages();
    void RefreshStatusBar();
    void resizeStatusBar(int width);
    void finishChange();
    // After a change has rewritten the current cell: the text saved for the next
    // snapshot must be what the cell holds now, or that snapshot (a paste keeps
    // the saved text) would write an old text back into the cell.
    void currentCellRewritten();

    // --- menus ---
    MenuState menuState() const;
    void openHelp();

    // The first texts start-up puts into the status bar before its first refresh.
    void setStartupStatusTexts();

    EditorView &view() { return *m_view; }

private:
    void afterUndoStep();
    bool readRunCount();
    bool writeRunCount();

    UiServices m_services;
    EditorView m_nullView;
    EditorView *m_view;
    ListDocument m_document;
    ShownRows m_shown{m_document};
    UndoHistory m_undo;
    PageSetup m_pageSetup;
    StatusBarModel m_status;
    AppPaths m_paths;
};

// Shows the busy cursor for the lifetime of the guard.
class BusyCursor {
public:
    explicit BusyCursor(EditorView &view, CursorShape shape = CursorShape::Busy) : m_view(view)
    {
        m_view.setCursorShape(shape);
    }
    ~BusyCursor() { m_view.setCursorShape(CursorShape::Normal); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;

private:
    EditorView &m_view;
};

} // namespace quorvex
