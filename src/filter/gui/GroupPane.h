#pragma once

#include "filter/gui/GroupListModel.h"

#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QListView;
class QModelIndex;

namespace quorvex {

class Editor;

// The pane beside the preview that groups the list by one column: its distinct
// texts with how many rows hold each. A click filters to an entry; Ctrl+click
// adds entries to (or takes them from) the same condition.
class GroupPane : public QWidget {
    Q_OBJECT
public:
    explicit GroupPane(Editor &editor, QWidget *parent = nullptr);

    int column() const { return m_column; }
    // Counts `column` again (and shows it in the column box).
    void setColumn(int column);
    void setOrder(GroupCounts::Order order);
    // The texts the user picked, as list text; empty when none.
    const std::vector<std::string> &picked() const { return m_picked; }
    void clearPicked();
    // A click on the entry at `row`: with `add` the entry joins the picked ones or leaves them.
    void pick(int row, bool add);

    // The list changed in any way: the counts follow (cheaply for a few changed cells).
    void follow();
    // Another list: count its column again, nothing picked.
    void listReplaced();

    GroupListModel &model() { return m_model; }
    QListView *listView() const { return m_list; }
    QComboBox *columnBox() const { return m_columnBox; }
    QComboBox *orderBox() const { return m_orderBox; }

    // The picked entries changed.
    std::function<void()> onPicked;

private:
    void fillColumnBox();
    void countAgain();

    Editor &m_editor;
    GroupListModel m_model;
    int m_column = 1;
    std::vector<std::string> m_picked;
    QComboBox *m_columnBox = nullptr;
    QComboBox *m_orderBox = nullptr;
    QListView *m_list = nullptr;
    CellRow m_headers;
    int m_colCount = 0;
    bool m_filling = false;
};

} // namespace quorvex
