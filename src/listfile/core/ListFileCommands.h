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
    // What the save dialog offers: the two filters above with their numbers,
    // then the Unicode lists as filters 3 (version 1.3) and 4 (version 1.4).
    static constexpr const char *SaveFilterWithUnicode =
        "Independent List File - Version 1.1 (*.LST)|*.lst|Dependent List File - Version 1.2 (*.LSTD)|*.lstd|"
        "Unicode Independent List File - Version 1.3 (*.LST)|*.lst|Unicode Dependent List File - Version 1.4 "
        "(*.LSTD)|*.lstd";

    ListFileCommands(Editor &editor, FileDialogService &dialogs);

    // The open dialog's file name and the open command's silent mode: with
    // openWithoutDialog = 1 the command opens openDialogFileName directly.
    std::string openDialogFileName;
    int openWithoutDialog = 0;
    // The save dialog's filter: 1 version 1.1, 2 version 1.2, 3 version 1.3, 4 version 1.4.
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
    // The version Save writes to `path`: the one Save As chose for it, else
    // the one the extension and the list's encoding give.
    ListFileVersion saveVersionFor(const std::string &path) const;
    // The question asked before a Unicode list is saved as version 1.1 or 1.2.
    static std::string unstorableQuestion(std::size_t count, ListFileVersion version);

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
    // Save As chose a version other than the one the name and the list's
    // encoding give (a Unicode list as 1.2, say): that file keeps it.
    std::string m_chosenVersionFile;
    ListFileVersion m_chosenVersion = ListFileVersion::Unknown;
};

} // namespace quorvex
