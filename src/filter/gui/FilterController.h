#pragma once

#include "filter/core/FilterSession.h"

#include <QObject>

class QLabel;
class QWidget;

namespace quorvex {

class Editor;
class FilterBar;
class GroupPane;

// Puts the filter bar and the group pane together on the one filter of the
// main window, and shows "Showing N of M" while it is on.
class FilterController : public QObject {
    Q_OBJECT
public:
    FilterController(Editor &editor, QWidget *barParent, QWidget *paneParent, QWidget *statusParent);

    FilterSession &session() { return m_session; }
    FilterBar *bar() const { return m_bar; }
    GroupPane *pane() const { return m_pane; }
    QLabel *statusLabel() const { return m_status; }

    // Search > Filter Rows...: opens the bar with its text ready.
    void openBar();
    // View > Groups: shows or hides the group pane; hiding it drops what it picked.
    void setGroupsShown(bool shown);
    // After every change of the list or of the current cell.
    void documentChanged();
    // Another list: the filter ends and the bar empties.
    void listReplaced();
    // Applies the bar's conditions and the pane's picked texts now.
    void apply();
    // Ends the filter: the bar and the pane forget their conditions.
    void clear();

private:
    void showStatus();

    Editor &m_editor;
    FilterSession m_session;
    FilterBar *m_bar = nullptr;
    GroupPane *m_pane = nullptr;
    QLabel *m_status = nullptr;
};

} // namespace quorvex
