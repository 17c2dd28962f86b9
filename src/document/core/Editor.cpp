#include "Editor.h"

#include "platform/core/FileSystem.h"
#include "platform/core/FolderLock.h"
#include "document/core/AttachmentRef.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <exception>

namespace quorvex {

namespace {

const char *const RunCountLine2 = "//This file keeps track of how many Quorvex programs are running.";
const char *const RunCountLine3 = "//Do not modify this value unless it is not correct due to a program crash.";

// Reads the leading integer after white space; false when there is none.
bool parseLeadingInt(const std::string &text, int &value)
{
    const char *p = text.c_str();
    while (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n' || *p == '\v' || *p == '\f')
        ++p;
    char *end = nullptr;
    errno = 0;
    const long v = std::strtol(p, &end, 10);
    if (end == p || errno == ERANGE || v > INT_MAX || v < INT_MIN)
        return false;
    value = static_cast<int>(v);
    return true;
}

} // namespace

Editor::Editor(UiServices services, EditorView *view) : m_services(services), m_view(view ? view : &m_nullView) {}

void Editor::constructPaths(const std::string &workingFolder, const std::string &documents,
                            const std::string &systemTemp)
{
    const std::string program = FileSystem::longForm(workingFolder);
    FileSystem::setCurrentFolder(program);
    m_paths.programFolder = FileSystem::withTrailingSlash(program);
    m_paths.documentsFolder.clear();
    m_paths.tempFolder.clear();
    if (!documents.empty()) {
        m_paths.documentsFolder = FileSystem::withTrailingSlash(FileSystem::longForm(documents));
        m_paths.tempFolder = FileSystem::withTrailingSlash(FileSystem::longForm(systemTemp)) + "QuorvexTmp/";
    }
    m_paths.instanceTempFolder.clear();
    m_paths.runCountFile = m_paths.programFolder + "RunCount.mtr";
    m_paths.databaseFolder = m_paths.programFolder + "Database/";
    m_paths.helpFile = m_paths.programFolder + "Quorvex_Documentation.pdf";
}

bool Editor::ensureDatabaseFolder()
{
    if (FileSystem::isDirectory(m_paths.databaseFolder) || FileSystem::createFolders(m_paths.databaseFolder))
        return true;
    m_services.messages.error("Unable to create directory:\n\n" + m_paths.databaseFolder +
                              "\n\nPlease make sure the disk is not write protected. This\nprogram must have this "
                              "database folder in order to work.\nThe program will be closed.");
    return false;
}

bool Editor::ensureTempFolder()
{
    if (!m_paths.tempFolder.empty() &&
        (FileSystem::isDirectory(m_paths.tempFolder) || FileSystem::createFolders(m_paths.tempFolder)))
        return true;
    m_services.messages.error("Unable to create directory:\n\n" + m_paths.tempFolder +
                              "\n\nPlease make sure the disk is not write protected. This\nprogram must have this "
                              "temporary folder in order to work.\nThe program will be closed.");
    return false;
}

bool Editor::readRunCount()
{
    if (!FileSystem::exists(m_paths.runCountFile))
        return true;
    // The counter is one short line; a large or special file in its place is no reason to wait.
    const auto text = FileSystem::readFilePrefix(m_paths.runCountFile, 4096);
    if (!text) {
        m_services.messages.error("Unable to open file:\n\n" + m_paths.runCountFile +
                                  "\n\nPlease make sure the file is accessible. Also,\nyou will have to manually "
                                  "delete this file when all of\nthe instances of this program are closed.");
        runCountRegistered = false;
        return false;
    }
    int value = runningCount;
    if (parseLeadingInt(*text, value))
        runningCount = value < 0 ? 0 : value; // a hand-edited negative count is treated as none
    return true;
}

bool Editor::writeRunCount()
{
    const std::string content = std::to_string(runningCount) + "\n" + RunCountLine2 + "\n" + RunCountLine3;
    if (FileSystem::writeFileAtomic(m_paths.runCountFile, content))
        return true;
    m_services.messages.error("Unable to save file:\n\n" + m_paths.runCountFile +
                              "\n\nPlease make sure the file is not write protected. Also,\nyou will have to "
                              "manually delete this file when all of\nthe instances of this program are closed.");
    runCountRegistered = false;
    return false;
}

void Editor::IncrementRunCount()
{
    if (!readRunCount())
        return;
    if (runningCount < INT_MAX)
        ++runningCount;
    runCountRegistered = writeRunCount();
}

void Editor::DecrementRunCount()
{
    if (!readRunCount())
        return;
    runningCount = runningCount > 0 ? runningCount - 1 : 0;
    writeRunCount();
}

void Editor::makeInstanceTempFolder()
{
    long long n = runningCount;
    // Bounded, so a folder crowded by crashed copies cannot hang the start.
    for (int tries = 0; tries < 100000; ++tries) {
        m_paths.instanceTempFolder = m_paths.tempFolder + std::to_string(n);
        ++n;
        if (!FileSystem::exists(m_paths.instanceTempFolder))
            break;
    }
    if (FileSystem::createFolder(m_paths.instanceTempFolder)) {
        m_paths.instanceTempFolder += "/";
        // Marks the folder as a live copy's, so "Clean Now" leaves it to us.
        FolderLock::hold(m_paths.instanceTempFolder);
        return;
    }
    m_services.messages.error("Unable to create directory:\n\n" + m_paths.instanceTempFolder +
                              "\n\nPlease make sure the disk is not write protected. Also,\nyou will have to "
                              "manually delete any files located in\nthe temp folder in this program directory "
                              "when all of\nthe instances of this program are closed.");
    m_paths.instanceTempFolder = m_paths.tempFolder;
}

void Editor::shutdown(bool withMessages)
{
    if (runCountRegistered)
        DecrementRunCount();
    runCountRegistered = false;
    const std::string folder = m_paths.instanceTempFolder;
    if (folder.empty())
        return;
    const bool ok = folder != m_paths.tempFolder ? FileSystem::RemoveFolder(folder) : FileSystem::ClearFolder(folder);
    FolderLock::release(folder);
    if (!ok && withMessages)
        m_services.messages.error(
            "Unable to delete temporary files. This error may have\noccured due to limited access rights. Please "
            "contact\nyour computer administrator to correct this problem.\nThis error could have also occured if "
            "one of the files\nin use. The files located in the following directory will\nhave to be removed "
            "manually:\n\n" +
            folder);
    m_paths.instanceTempFolder.clear();
}

void Editor::backupCells()
{
    try {
        m_undo.backupCells(m_document);
    } catch (const std::exception &e) {
        m_services.messages.showException(e.what());
        m_services.messages.error("An error occured while creating an 'Undo' backup.\n\n - backupCells()");
    }
    m_view->menuStateChanged();
}

void Editor::StartUndoableChange(const std::string &caption)
{
    m_undo.setSavedCellText(m_document.GetCell(m_document.Col(), m_document.Row()));
    m_undo.setSnapshotCurrent(false);
    backupCells();
    m_undo.setCaption(caption);
    m_view->menuStateChanged();
}

void Editor::cellSelected(int col, int row)
{
    m_undo.cellSelected(m_document, col, row);
}

void Editor::Undo()
{
    if (!m_undo.undoEnabled())
        return;
    BusyCursor busy(*m_view);
    MarkModified();
    m_undo.undo(m_document);
    afterUndoStep();
}

void Editor::Redo()
{
    if (!m_undo.redoEnabled())
        return;
    BusyCursor busy(*m_view);
    MarkModified();
    m_undo.redo(m_document);
    afterUndoStep();
}

// The grids were swapped: the view, the page column and a current cell that
// now stands past the last row follow.
void Editor::afterUndoStep()
{
    m_view->endCellEditing();
    RenumberPages();
    if (m_document.RowCount() == m_document.Row() + 2) {
        m_document.SetCurrentCell(m_document.Col(), m_document.RowCount() - 1);
        cellSelected(m_document.Col(), m_document.Row());
    }
    reapplyFilter();
    m_view->documentChanged();
    m_view->menuStateChanged();
    m_view->showCellPreview(m_document.Col(), m_document.Row());
}

void Editor::reapplyFilter()
{
    if (!m_shown.active())
        return;
    m_shown.reapply();
    keepCurrentCellShown();
}

void Editor::listReplaced()
{
    m_shown.clear();
    m_view->listReplaced();
}

void Editor::keepCurrentCellShown()
{
    if (!m_shown.active() || m_shown.isShown(m_document.Row()))
        return;
    const int row = m_shown.nearest(m_document.Row());
    if (row < 1)
        return; // nothing shown: the commands find no row to act on
    cellSelected(m_document.Col(), row);
    m_document.SetCurrentCell(m_document.Col(), row);
}

void Editor::RenumberPages()
{
    m_document.RenumberPages(m_pageSetup.entriesPerPage());
}

void Editor::RefreshStatusBar()
{
    m_status.refresh(m_document, listType, m_pageSetup.entriesPerPage(), clientWidth);
    m_view->statusBarChanged();
}

void Editor::resizeStatusBar(int width)
{
    clientWidth = width;
    m_status.resize(width);
    m_view->statusBarChanged();
}

void Editor::finishChange()
{
    RenumberPages();
    RefreshStatusBar();
    m_view->documentChanged();
    m_view->showCellPreview(m_document.Col(), m_document.Row());
}

void Editor::currentCellRewritten()
{
    m_undo.setSavedCellText(m_document.GetCell(m_document.Col(), m_document.Row()));
}

void Editor::setStartupStatusTexts()
{
    m_status.setText(2, "Total pages: " + std::to_string(m_document.CountPages(m_pageSetup.entriesPerPage())));
    m_status.setText(0, "Total movies: " + std::to_string(m_document.RowCount() - 1));
    m_status.setText(1, "Selected row: " + std::to_string(m_document.Row()));
}

MenuState Editor::menuState() const
{
    const ListDocument &d = m_document;
    const CellRect s = d.Selection();
    // Under a filter "every row" is every row the grid shows.
    const bool allRows = m_shown.active() ? m_shown.count() > 0 && m_shown.firstAtOrAfter(s.Top) == m_shown.documentRow(0) &&
                                                m_shown.lastAtOrBefore(s.Bottom) == m_shown.documentRow(m_shown.count() - 1)
                                          : s.Top == 1 && s.Bottom == d.RowCount() - 1;
    const bool allCols = s.Left == 1 && s.Right == d.ColCount() - 1;
    MenuState m;
    m.paste = m_services.clipboard.hasText();
    m.undo = m_undo.undoEnabled();
    m.redo = m_undo.redoEnabled();
    m.selectColumn = !allRows;
    m.selectAll = !(allRows && allCols);
    m.deleteRow = d.RowCount() >= 3 && !allRows;
    m.deleteColumn = d.ColCount() >= 3 && !allCols;
    m.extractDataFile = AttachmentRef::IsAttachmentCell(d, d.Col(), d.Row());
    m.saveList = saveListEnabled;
    return m;
}

void Editor::openHelp()
{
    const std::string &help = m_paths.helpFile;
    if (!FileSystem::isRegularFile(help)) {
        m_services.messages.error("Unable to open help file:\n\n" + help +
                                  "\n\nThe file does not exist at the specified location.");
        return;
    }
    if (!m_services.shell.openPath(help))
        m_services.messages.error("Unable to open help file:\n\n" + help +
                                  "\n\nThere is no program on this desktop that opens PDF documents.");
}

} // namespace quorvex
