#pragma once

#include "ListFileFormat.h"

#include <functional>
#include <string>

namespace quorvex {

class Editor;
class FileDialogService;

// The File menu's Open, Save and Save As commands and the save-changes
// question, working on the editor's document and state.
class ListFileCommands {
public:
    static constexpr const char *OpenFilter =
        "List File - Version 1.0, 1.1 or 1.2 (*.LST,*.LSTD)|*.lst;*.lstd|Independent List File - 1.0 or 1.1 "
        "(*.LST)|*.lst|Dependent List File - 1.2 (*.LSTD)|*.lstd|All Files|*.*";
    static constexpr const char *SaveFilter =
        "Independent List File - Version 1.1 (*.LST)|*.lst|Dependent List File - Version 1.2 (*.LSTD)|*.lstd";

    ListFileCommands(Editor &editor, FileDialogService &dialogs);

    // The open dialog's file name and the open command's silent mode: with
    // openWithoutDialog = 1 the command opens openDialogFileName directly.
    std::string openDialogFileName;
    int openWithoutDialog = 0;
    // The save dialog's filter: 1 version 1.1, 2 version 1.2.
    int saveFilterIndex = 1;

    // Called where the window's other parts join the sequences; each may stay empty.
    std::function<void(const std::string &path)> addToReopenMenu;
    // The recommended entries per page after a load; renumbers the pages when empty.
    std::function<void()> computeMaxEntries;
    // After an open: the current cell's text into the pre-entered text box.
    std::function<void()> afterOpen;

    // The open command.
    void OpenListBtnClick();
    // The silent mode: opens `path` without the dialog.
    void openListFile(const std::string &path);
    // Opens a template without question, title, current file or recent-files entry.
    void loadTemplateSilently(const std::string &path);
    // The start-up list: the DVD template of the program folder, silently.
    void loadStartupList();

    // True: the caller goes on; false: it stops.
    bool ConfirmSaveChanges();
    void SaveListBtnClick();
    void SaveListAsBtnClick();

    // Result of the last Save: 0 saved, 1 failed or refused, 10 aborted, -1 none yet.
    int lastSaveResult() const { return m_lastSaveResult; }
    // The information text the last successful save showed (UTF-8).
    const std::string &lastSaveInformation() const { return m_lastInformation; }
    // Result of the last reader run (-1 when the file was refused before reading).
    int lastOpenResult() const { return m_lastOpenResult; }

    static std::string saveInformationText(ListFileVersion version, const std::string &databaseFolder);

private:
    void openSequence();
    void lockWindow(bool locked);
    // Writes the list to currentListFile.
    void saveToCurrentFile();

    Editor &m_editor;
    FileDialogService &m_dialogs;
    int m_lastSaveResult = -1;
    int m_lastOpenResult = -1;
    std::string m_lastInformation;
    // The list came from a file its reader could not read to the end: a plain
    // Save would replace the damaged original and the rows still in it.
    bool m_saveNeedsName = false;
};

} // namespace quorvex
