#pragma once

#include "NewListSettings.h"
#include "platform/core/TextEncoding.h"

#include <string>

namespace quorvex {

class Editor;
class ListFileCommands;

// File > New List: starts a new list from one of the nine template lists.
// The dialog around it shows `settings()` and calls back on OK.
class NewListCommand {
public:
    static constexpr const char *NewListTitle = "Quorvex - New List";

    NewListCommand(Editor &editor, ListFileCommands &files);

    NewListSettings &settings() { return m_settings; }
    const NewListSettings &settings() const { return m_settings; }
    std::string settingsPath() const;
    // Where the template of a kind lives in the program folder.
    std::string templatePath(int kind) const;
    bool firstCall() const { return m_firstCall; }
    // The kind of text a new list holds ("New lists hold Unicode text").
    TextEncoding newListEncoding = TextEncoding::Windows1252;

    // The steps before the dialog: the save question, new.mtr and, on the first
    // call of the run, the show-on-start option. True when the dialog is to show.
    bool prepare();
    // OK: an emptied grid filled from the chosen template, new.mtr written and
    // the new list's own state (no file, Save disabled, fresh undo base). All of
    // it happens before the wizard may open, so nothing the wizard saves can go
    // to the list that was open before.
    void createList();

private:
    void makeNewListState();

    Editor &m_editor;
    ListFileCommands &m_files;
    NewListSettings m_settings;
    bool m_firstCall = true;
};

} // namespace quorvex
