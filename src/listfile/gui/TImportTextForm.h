#pragma once

#include <QDialog>

#include <string>

class QComboBox;

namespace quorvex {

class Editor;
class FileDialogService;
class ListFileCommands;

// File > "Import Text List...": the save question, the text file, then the
// list type the new list gets.
class TImportTextForm : public QDialog {
    Q_OBJECT
public:
    explicit TImportTextForm(QWidget *parent = nullptr);

    // The whole command; returns 0 after an import, 1 after an error, 10 when cancelled.
    int ImportTextListBtnClick(Editor &editor, ListFileCommands &files, FileDialogService &dialogs);

    QComboBox *listTypeBox() const { return m_ListTypeBox; }
    std::string chosenListType() const;

private:
    QComboBox *m_ListTypeBox = nullptr;
};

} // namespace quorvex
