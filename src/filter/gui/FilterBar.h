#pragma once

#include "filter/core/RowFilter.h"

#include <QWidget>

#include <functional>
#include <vector>

class QComboBox;
class QLineEdit;
class QToolButton;
class QVBoxLayout;

namespace quorvex {

class Editor;

// The bar over the grid that holds the filter's conditions, one line each:
// a column (or any column), a test and a text. Every change is applied at once.
class FilterBar : public QWidget {
    Q_OBJECT
public:
    explicit FilterBar(Editor &editor, QWidget *parent = nullptr);

    // The conditions as the lines show them now.
    std::vector<FilterCondition> conditions() const;
    // Lines for the given conditions (one empty line when there are none).
    void setConditions(const std::vector<FilterCondition> &conditions);
    // The column boxes name the list's columns by their headers.
    void refreshColumns();
    // Opens the bar with its first text box ready for typing.
    void open();
    int lineCount() const { return static_cast<int>(m_lines.size()); }
    QLineEdit *textBox(int line) const;
    QComboBox *columnBox(int line) const;
    QComboBox *testBox(int line) const;
    QToolButton *clearButton() const { return m_clear; }
    QToolButton *addButton() const { return m_add; }

    // A condition changed; the conditions() are the new ones.
    std::function<void()> onChanged;
    // Clear pressed: every condition goes, the filter with them.
    std::function<void()> onCleared;
    // The bar was closed: the filter ends.
    std::function<void()> onClosed;

private:
    struct Line {
        QWidget *row = nullptr;
        QComboBox *column = nullptr;
        QComboBox *test = nullptr;
        QLineEdit *text = nullptr;
    };
    void addLine(const FilterCondition &condition);
    void removeLine(QWidget *row);
    void fillColumns(QComboBox *box, int column) const;
    void changed();

    Editor &m_editor;
    QVBoxLayout *m_linesLayout = nullptr;
    std::vector<Line> m_lines;
    QToolButton *m_add = nullptr;
    QToolButton *m_clear = nullptr;
    QToolButton *m_close = nullptr;
    bool m_filling = false;
};

} // namespace quorvex
