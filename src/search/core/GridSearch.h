#pragma once

#include "platform/core/MessageService.h"

#include "TextMatcher.h"

#include <string>

namespace quorvex {

class Editor;

// The three options of the find window that find.mtr keeps.
struct FindOptions {
    bool entireCell = false;
    bool prompt = true;
    bool follow = false;
    bool operator==(const FindOptions &o) const
    {
        return entireCell == o.entireCell && prompt == o.prompt && follow == o.follow;
    }
};

// What the search asks of the find window. Without one (the command-line tool)
// every replacement is answered Yes and nothing follows the hit.
class FindWindowHooks {
public:
    virtual ~FindWindowHooks() = default;
    // "Replace this occurence?" with Yes, No and Cancel.
    virtual MessageAnswer askReplace() = 0;
    // Moves the find window beside the cell of the hit.
    virtual void followFoundCell(int col, int row) = 0;
};

// Find, Find Next, Replace and Replace All over the list document. The state
// lives as long as the find window, so searches carry on from the last hit.
class GridSearch {
public:
    static constexpr const char *NotFoundText = "Text not found.";
    static constexpr const char *DoneText = "Done finding and replacing text.";
    static constexpr const char *ReplaceQuestion = "Replace this occurence?";
    static constexpr const char *UndoReplaceCaption = "&Undo Find and Replace";
    static constexpr const char *UndoReplaceAllCaption = "&Undo Find and Replace All";

    explicit GridSearch(Editor &editor, FindWindowHooks *hooks = nullptr) : m_editor(editor), m_hooks(hooks) {}
    void setHooks(FindWindowHooks *hooks) { m_hooks = hooks; }

    FindOptions options;
    // Both are list text, in the list's encoding.
    std::string textToFind;
    std::string replaceWith;

    // Searches from the start cell on, row by row, and moves the current cell to
    // the hit. Shows "Text not found." (outside a Replace All run) when there is none.
    void SearchGrid(int startCol, int startRow);
    // Find First: from the first data cell, forgetting the last hit.
    void FindFirst();
    // Find Next: from the current cell, after the last hit when it is there.
    void FindNext();
    // Replaces the occurrence at or after the current cell (asking first when
    // the prompt option is on).
    void Replace();
    // Replaces every occurrence from the current cell to the end of the list,
    // undone as one step; returns how many replacements were made.
    long long ReplaceAll();

    bool found() const { return m_found; }
    bool replaceAllRunning() const { return m_replaceAllRunning; }
    int lastFoundCol() const { return m_lastFoundCol; }
    int lastFoundRow() const { return m_lastFoundRow; }
    // 1-based positions of the last hit in its cell; 0 when there is none.
    long long matchStart() const { return m_matchStart; }
    long long matchEnd() const { return m_matchEnd; }

private:
    void hitFound(int col, int row, long long start, long long end);
    void replaceHit();
    void rewriteHitCell();
    void pumpDuringRun();
    void showCurrentCell();

    Editor &m_editor;
    FindWindowHooks *m_hooks;
    int m_lastFoundCol = 0;
    int m_lastFoundRow = 0;
    long long m_matchStart = 0;
    long long m_matchEnd = 0;
    int m_nextCol = 0;
    int m_nextRow = 0;
    bool m_found = false;
    bool m_replaceAllRunning = false;
    bool m_firstPass = false;
    bool m_undoTaken = false;
    long long m_replacements = 0;
    long long m_lastPumpNs = 0;
    TextMatcher m_matcher{std::string_view(), TextEncoding::Windows1252};
    std::string m_matcherText;
};

} // namespace quorvex
