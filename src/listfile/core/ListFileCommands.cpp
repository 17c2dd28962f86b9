#include "ListFileCommands.h"

#include "BinaryInStream.h"
#include "ListFileReader.h"
#include "ListFileWriter.h"
#include "document/core/Editor.h"
#include "platform/core/FileDialogService.h"
#include "platform/core/FileSystem.h"

#include <exception>

namespace quorvex {

namespace {

const char *const IndependentInformation =
    "INFORMATION: \n\nThe file was saved as an independent list. All project data was saved inside the file. "
    "This file can be sent to another computer and opened with all data in tact. This file does not rely on the "
    "database folder. The independent list is, however, slower with large data files.\n\n";
const char *const DependentInformation =
    "INFORMATION: \n\nThe file was saved as a dependent list. Only cell text and data pointers were saved inside "
    "the file. This means that if the contents of the database folder are deleted, then this list will cease to "
    "work correctly. It will still open, but only the text portion of each cell will be available. The pointers "
    "will be there, but the data they point to will not exist. The same thing will occur if the file is opened "
    "on a computer with a different database. The advantage of a dependent list is greater speed with large data "
    "files.\n\n";

} // namespace

ListFileCommands::ListFileCommands(Editor &editor, FileDialogService &dialogs) : m_editor(editor), m_dialogs(dialogs)
{
}

std::string ListFileCommands::saveInformationText(ListFileVersion version, const std::string &databaseFolder)
{
    return std::string(ListFileFormat::isDependent(version) ? DependentInformation : IndependentInformation) +
           "NOTE: The database folder location is " + databaseFolder +
           "\n\nThis location can be changed in the 'Settings' window.";
}

ListFileVersion ListFileCommands::saveVersionFor(const std::string &path) const
{
    const ListDocument &doc = m_editor.document();
    if (!m_chosenVersionFile.empty() && path == m_chosenVersionFile)
        return m_chosenVersion;
    return ListFileFormat::versionForPath(path, doc.textEncoding());
}

std::string ListFileCommands::unstorableQuestion(std::size_t count, ListFileVersion version)
{
    return std::to_string(count) + (count == 1 ? " character cannot" : " characters cannot") +
           " be stored in a version " + ListFileFormat::versionName(version) +
           " list and will be saved as '?'. Save anyway?";
}

void ListFileCommands::lockWindow(bool locked)
{
    m_editor.view().setFileOperationLock(locked);
}

void ListFileCommands::OpenListBtnClick()
{
    BusyCursor busy(m_editor.view());
    if (m_editor.trackCurrentFile && !ConfirmSaveChanges())
        return;
    if (openWithoutDialog != 1) {
        const auto chosen = m_dialogs.openFile(OpenFilter, openDialogFileName);
        if (!chosen) {
            m_editor.services().messages.plain("List not opened.");
            if (afterOpen)
                afterOpen();
            return;
        }
        openDialogFileName = *chosen;
    }
    openSequence();
}

void ListFileCommands::openSequence()
{
    Editor &ed = m_editor;
    EditorView &view = ed.view();
    ListDocument &doc = ed.document();
    UiServices &ui = ed.services();
    const std::string path = openDialogFileName;

    ListFileReader reader(ui.messages, ui.progress);
    reader.setDatabaseFolder(ed.paths().databaseFolder);
    BinaryInStream in;
    m_lastOpenResult = -1;
    const ListFileVersion version = reader.openAndDetect(path, in);
    if (version == ListFileVersion::Unknown)
        return;

    view.endCellEditing();
    const bool binary = version != ListFileVersion::V10;
    if (binary)
        lockWindow(true);
    const int result = reader.readBody(version, in, path, ListFileTarget{doc, ed.pageSetup(), ed.listType});
    if (binary)
        lockWindow(false);
    ed.listReplaced();
    m_lastOpenResult = result;
    if (ed.trackCurrentFile) {
        m_saveNeedsName = result != ResultOk;
        m_chosenVersionFile.clear();
        ed.saveListEnabled = true;
        ed.currentListFile = path;
        view.setWindowTitle(("Quorvex - " + path).c_str());
    }

    doc.SetCurrentCell(1, 1);
    if (computeMaxEntries)
        computeMaxEntries();
    else
        ed.RenumberPages();
    ed.RefreshStatusBar();
    UndoHistory &undo = ed.undoHistory();
    undo.setSavedCellText(doc.GetCell(1, 1));
    undo.setSnapshotCurrent(false);
    if (result == ResultOk) {
        ed.statusBar().setText(0, "File loaded. - Creating 'Undo' backup.");
        view.statusBarChanged();
    }
    try {
        undo.reset(doc);
    } catch (const std::exception &e) {
        ui.messages.showException(e.what());
        ui.messages.error("An error occured while creating an 'Undo' backup.\n\n - backupCells()");
    }
    undo.setSnapshotCurrent(false);
    if (ed.trackCurrentFile && addToReopenMenu)
        addToReopenMenu(path);
    view.documentChanged();
    view.menuStateChanged();
    view.showCellPreview(doc.Col(), doc.Row());
    ed.statusBar().setProgress(0, "100% - complete.");
    view.statusBarChanged();
    if (afterOpen)
        afterOpen();
}

void ListFileCommands::openListFile(const std::string &path)
{
    openDialogFileName = path;
    openWithoutDialog = 1;
    OpenListBtnClick();
    openWithoutDialog = 0;
}

void ListFileCommands::loadTemplateSilently(const std::string &path)
{
    const std::string remembered = openDialogFileName;
    m_editor.trackCurrentFile = false;
    openListFile(path);
    m_editor.trackCurrentFile = true;
    openDialogFileName = remembered;
}

void ListFileCommands::loadStartupList()
{
    loadTemplateSilently(m_editor.paths().programFolder + "Templates/DVD.lst");
}

bool ListFileCommands::ConfirmSaveChanges()
{
    if (!m_editor.listModified)
        return true;
    const MessageAnswer answer =
        m_editor.services().messages.confirm("Save changes to list?", MessageButtons::YesNoCancel);
    if (answer == MessageAnswer::Yes) {
        if (m_editor.saveListEnabled)
            SaveListBtnClick();
        else
            SaveListAsBtnClick();
        return false;
    }
    return answer == MessageAnswer::No;
}

void ListFileCommands::SaveListBtnClick()
{
    if (m_saveNeedsName) {
        SaveListAsBtnClick();
        return;
    }
    saveToCurrentFile();
}

void ListFileCommands::saveToCurrentFile()
{
    Editor &ed = m_editor;
    EditorView &view = ed.view();
    MessageService &messages = ed.services().messages;
    BusyCursor busy(view);
    ed.RenumberPages();
    view.endCellEditing();
    const std::string path = ed.currentListFile;
    m_lastSaveResult = ResultFailed;
    if (FileSystem::exists(path) && FileSystem::isReadOnly(path)) {
        if (messages.confirm("The list file being saved is read-only. Do you want Quorvex.exe to make this file "
                             "write able?") != MessageAnswer::Yes) {
            messages.plain("List NOT saved.");
            return;
        }
        if (!FileSystem::makeWritable(path)) {
            messages.error("Quorvex.exe was unable to make list file write able. Please make sure it is not on a "
                           "write protected disk.");
            return;
        }
    }
    const ListFileVersion version = saveVersionFor(path);
    saveFilterIndex = static_cast<int>(version) - static_cast<int>(ListFileVersion::V10);
    const ListFileSource source{ed.document(), ed.pageSetup(), ed.listType};
    if (!ListFileFormat::isUnicode(version)) {
        // A Unicode list in an older version: nothing is lost without a Yes.
        const std::size_t unstorable = ListFileWriter::unstorableCharacters(source);
        if (unstorable > 0 && messages.confirm(unstorableQuestion(unstorable, version)) != MessageAnswer::Yes)
            return;
    }

    ListFileWriter writer(messages, ed.services().progress);
    writer.setDatabaseFolder(ed.paths().databaseFolder);
    lockWindow(true);
    const int result = writer.saveAs(path, source, version);
    lockWindow(false);
    m_lastSaveResult = result;
    StatusBarModel &status = ed.statusBar();
    if (result == ResultAborted) {
        status.setText(0, status.text(0) + " - Aborted (missing/corrupt file).");
    } else if (result != ResultOk) {
        status.setText(0, status.text(0) + " - Error.");
        if (writer.tooLongCol() >= 0) {
            ed.document().SetCurrentCell(std::max(1, writer.tooLongCol()), std::max(1, writer.tooLongRow()));
            view.documentChanged();
        }
    } else {
        view.setWindowTitle(("Quorvex - " + path).c_str());
        ed.RenumberPages();
        status.setProgress(0, "100% - complete. Saving finished.");
        m_lastInformation = saveInformationText(version, ed.paths().databaseFolder);
        view.showSaveInformation(m_lastInformation);
        ed.listModified = false;
        m_saveNeedsName = false;
        view.documentChanged();
    }
    view.statusBarChanged();
    view.menuStateChanged();
}

void ListFileCommands::SaveListAsBtnClick()
{
    Editor &ed = m_editor;
    MessageService &messages = ed.services().messages;
    std::string name;
    const bool unicode = ed.document().textEncoding() == TextEncoding::Utf8;
    for (;;) {
        saveFilterIndex = ListFileFormat::asciiLower(ListFileFormat::extension(ed.currentListFile)) == ".lst" ? 1 : 2;
        // A Unicode list is offered the Unicode versions first.
        if (unicode)
            saveFilterIndex += 2;
        const auto chosen = m_dialogs.saveFile(SaveFilterWithUnicode, saveFilterIndex, ed.currentListFile);
        if (!chosen) {
            messages.plain("List not saved.");
            m_lastSaveResult = ResultFailed;
            return;
        }
        name = *chosen;
        const bool dependentFilter = saveFilterIndex == 2 || saveFilterIndex == 4;
        const std::string wanted = dependentFilter ? ".lstd" : ".lst";
        const std::string ext = ListFileFormat::asciiLower(ListFileFormat::extension(name));
        if (ext != wanted) {
            if (ext == ".lst" || ext == ".lstd") {
                if (messages.confirm("The file extension does not match the type of\nfile you selected. Would you "
                                     "like Quorvex to\ncorrect this?") == MessageAnswer::Yes)
                    name = name.substr(0, name.find_last_of('.')) + wanted;
            } else {
                name += wanted;
            }
        }
        // The dialog may have asked already about the very name it handed back.
        if (!FileSystem::exists(name) || (name == *chosen && m_dialogs.confirmsOverwrite()) ||
            messages.confirm("File already exists. Overwrite?") == MessageAnswer::Yes)
            break;
    }
    // A failed save must leave the list bound to the file it had: otherwise the
    // next Save would write to the failed path while the title shows the old one.
    const std::string previousFile = ed.currentListFile;
    const bool previousSaveEnabled = ed.saveListEnabled;
    const std::string previousChosenFile = m_chosenVersionFile;
    const ListFileVersion previousChosen = m_chosenVersion;
    // The filter says Unicode or not; the name's extension, independent or
    // dependent (it may have been kept against the filter). A version other
    // than the one Save would pick stays with this file.
    const bool dependent = ListFileFormat::versionForPath(name) == ListFileVersion::V12;
    const bool unicodeFilter = saveFilterIndex == 3 || saveFilterIndex == 4;
    const ListFileVersion chosenVersion = unicodeFilter ? (dependent ? ListFileVersion::V14 : ListFileVersion::V13)
                                                        : (dependent ? ListFileVersion::V12 : ListFileVersion::V11);
    m_chosenVersionFile.clear();
    if (chosenVersion != ListFileFormat::versionForPath(name, ed.document().textEncoding())) {
        m_chosenVersionFile = name;
        m_chosenVersion = chosenVersion;
    }
    ed.currentListFile = name;
    ed.saveListEnabled = true;
    saveToCurrentFile();
    ed.trackCurrentFile = true;
    if (m_lastSaveResult != ResultOk) {
        ed.currentListFile = previousFile;
        ed.saveListEnabled = previousSaveEnabled;
        m_chosenVersionFile = previousChosenFile;
        m_chosenVersion = previousChosen;
        m_editor.view().menuStateChanged();
        return;
    }
    if (addToReopenMenu)
        addToReopenMenu(name);
}

} // namespace quorvex
