#pragma once

#include <QObject>

class QComboBox;
class QLabel;
class QToolBar;
class QWidget;

namespace quorvex {

class Editor;

// The tool bar's two boxes: the pre-entered texts of the current column, which
// write into the current cell, and the quick search over the quick-search column.
class QuickSearchBar final : public QObject {
    Q_OBJECT
public:
    static constexpr int BoxWidth = 260;
    static constexpr int DroppedLines = 15;

    QuickSearchBar(Editor &editor, QToolBar *toolBar, QComboBox *chooseFromListBox, QComboBox *quickSearchBox,
                   QLabel *quickSearchLbl, QWidget *grid, QObject *parent = nullptr);

    // The current cell was shown anew: the pre-entered box shows its text and
    // the label names the column searched.
    void currentCellShown();

    void ChooseFromListBoxEnter();
    void ChooseFromListBoxChange(const QString &text);
    void QuickSearchBoxEnter();
    void QuickSearchBoxChange(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void focusMoved(QWidget *old, QWidget *now);
    void fill(QComboBox *box, int col, const char *loadingText);
    void setBoxText(QComboBox *box, const QString &text);

    Editor &m_editor;
    QComboBox *m_ChooseFromListBox;
    // Kept for the event filter, which compares but never calls.
    QObject *m_chooseEdit = nullptr;
    QComboBox *m_QuickSearchBox;
    QLabel *m_QuickSearchLbl;
    QLabel *m_Label2 = nullptr;
    QWidget *m_grid;
    QMetaObject::Connection m_focusWatch;
};

} // namespace quorvex
