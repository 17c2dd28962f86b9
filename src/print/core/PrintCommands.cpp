#include "PrintCommands.h"

#include "PrintLayout.h"
#include "document/core/Editor.h"
#include "platform/core/AppConstants.h"

#include <algorithm>

namespace quorvex {

PrintCommands::PrintCommands(Editor &editor, ProgressWindow &window)
    : today(&PrintLayout::today),
      m_editor(editor),
      m_engine(editor.services().messages, editor.services().progress, window)
{
}

bool PrintCommands::computeMaxEntries()
{
    PrintMetrics metrics;
    metrics.gridFontSize = m_editor.gridFont.size;
    metrics.rowHeightFactor = m_editor.rowHeightFactor;
    metrics.gridLineWidth = m_editor.gridAppearance.gridLineWidth;
    metrics.scale = m_editor.printScale;
    const PageSetup &setup = m_editor.pageSetup();
    const std::optional<int> m = PrintLayout::recommendedEntries(metrics, setup.landscape, setup.topIndent);
    if (!m) {
        m_editor.services().messages.error(MaxEntriesError);
        return false;
    }
    recommendedEntries = *m;
    m_editor.pageSetup().maxEntries = PrintLayout::clampEntries(*m);
    m_editor.RenumberPages();
    return true;
}

int PrintCommands::totalPages() const
{
    const ShownRows &shown = m_editor.shownRows();
    const int rows = shownRowsOnly && shown.active() ? std::max(shown.count(), 1) : m_editor.document().RowCount() - 1;
    return PrintLayout::totalPages(rows, m_editor.pageSetup().entriesPerPage());
}

ListDocument PrintCommands::printedList() const
{
    const ShownRows &shown = m_editor.shownRows();
    if (!shownRowsOnly || !shown.active())
        return m_editor.document();
    ListDocument list = shown.shownList();
    list.RenumberPages(m_editor.pageSetup().entriesPerPage());
    return list;
}

PrintJob PrintCommands::job(const PageSelection &sel) const
{
    PrintJob job;
    job.setup = m_editor.pageSetup();
    job.selection = sel;
    job.metrics.gridFontSize = m_editor.gridFont.size;
    job.metrics.rowHeightFactor = m_editor.rowHeightFactor;
    job.metrics.gridLineWidth = m_editor.gridAppearance.gridLineWidth;
    job.metrics.scale = m_editor.printScale;
    job.listName = PrintLayout::listName(m_editor.saveListEnabled, m_editor.currentListFile);
    job.date = today ? today() : PrintLayout::today();
    return job;
}

void PrintCommands::beginCommand()
{
    m_editor.view().endCellEditing();
    m_editor.undoHistory().disableBoth();
    m_editor.view().menuStateChanged();
}

int PrintCommands::print(const PageSelection &sel, PrintDevice &device, PageRenderer &renderer)
{
    m_editor.RenumberPages();
    if (shownRowsOnly && m_editor.shownRows().active())
        return m_engine.printList(printedList(), job(sel), device, renderer);
    return m_engine.printList(m_editor.document(), job(sel), device, renderer);
}

int PrintCommands::PrintBtnClick(PrintDevice &device, PageRenderer &renderer)
{
    if (busy())
        return ResultSkipped;
    beginCommand();
    selection.rangeMode = true;
    selection.oddsFirst = false;
    selection.startPage = 1;
    selection.endPage = totalPages();
    selection.accepted = true;
    return print(selection, device, renderer);
}

void PrintCommands::beginPrintPageNums()
{
    beginCommand();
}

int PrintCommands::printSelection(PrintDevice &device, PageRenderer &renderer)
{
    if (busy())
        return ResultSkipped;
    return print(selection, device, renderer);
}

int PrintCommands::TestPrintBtnClick(PrintDevice &device, PageRenderer &renderer)
{
    if (busy())
        return ResultSkipped;
    UndoHistory &undo = m_editor.undoHistory();
    const bool undoWas = undo.undoEnabled();
    const bool redoWas = undo.redoEnabled();
    beginCommand();
    selection.rangeMode = true;
    selection.startPage = 1;
    selection.endPage = 1;
    selection.accepted = true;
    const int result = print(selection, device, renderer);
    // Enabling Redo here would offer a redo copy that no longer matches the list.
    undo.setEnabled(undoWas, redoWas);
    m_editor.view().menuStateChanged();
    return result;
}

} // namespace quorvex
