#pragma once

#include "PageSelection.h"
#include "PrintEngine.h"

#include <functional>
#include <string>

namespace quorvex {

class Editor;
class PageRenderer;
class PrintDevice;
class ProgressWindow;

// The File menu's print commands over the editor's list and page setup, and
// the recommended entries per page that the page setup shows.
class PrintCommands {
public:
    static constexpr const char *MaxEntriesError = "Error calculating max entries per page.";

    PrintCommands(Editor &editor, ProgressWindow &window);

    // The page selection dialog's values; they last for the whole run.
    PageSelection selection;
    // Under a filter: print only the shown rows, paged and numbered as a list of their own.
    bool shownRowsOnly = false;
    // The list the print commands put out: the document, or its shown rows.
    ListDocument printedList() const;
    // The last recommendation (unclamped) the page setup shows beside its box.
    int recommendedEntries = 54;
    // Today's date in the footer's form; tests fix it.
    std::function<std::string()> today;

    PrintEngine &engine() { return m_engine; }
    bool busy() const { return m_engine.busy(); }

    // Recomputes the recommendation from the grid font, line width, orientation
    // and top indent, puts it (within 1 to 150) into the entries per page and
    // renumbers the pages. False after the error message, nothing changed.
    bool computeMaxEntries();
    int totalPages() const;

    // The job the current page setup and `sel` describe.
    PrintJob job(const PageSelection &sel) const;

    // Print: every page. Undo and Redo stay disabled afterwards.
    int PrintBtnClick(PrintDevice &device, PageRenderer &renderer);
    // Before the page selection dialog shows: ends the cell edit and disables Undo and Redo.
    void beginPrintPageNums();
    // After it: prints the chosen pages (nothing when it ended with Cancel).
    int printSelection(PrintDevice &device, PageRenderer &renderer);
    // Page 1 only; Undo and Redo get back the states they had.
    int TestPrintBtnClick(PrintDevice &device, PageRenderer &renderer);

private:
    void beginCommand();
    int print(const PageSelection &sel, PrintDevice &device, PageRenderer &renderer);

    Editor &m_editor;
    PrintEngine m_engine;
};

} // namespace quorvex
