#pragma once

#include "import/core/CsvImportPlan.h"

#include <QDialog>

#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QTableWidget;

namespace quorvex {

class Editor;
class FileDialogService;
class ListFileCommands;

// File > Import > "CSV Text...": encoding, separator, header row, list type and
// each column's destination, with a live preview of the list's first rows.
// The preview is built by the same plan as the import, so it shows what OK makes.
class TImportCsvForm : public QDialog {
    Q_OBJECT
public:
    static constexpr std::size_t PreviewRows = 50;

    explicit TImportCsvForm(QWidget *parent = nullptr);

    // The whole command; 0 after an import, 1 after an error, 10 when cancelled.
    int ImportCsvBtnClick(Editor &editor, ListFileCommands &files, FileDialogService &dialogs);

    // Starts the dialog over for a text (the command calls it after reading the file).
    void setBytes(std::string bytes);
    CsvImportOptions options() const;
    const CsvImportPlan &plan() const { return m_plan; }

    QComboBox *encodingBox() const { return m_EncodingBox; }
    QComboBox *separatorBox() const { return m_SeparatorBox; }
    QCheckBox *headerBox() const { return m_HeaderChkBox; }
    QComboBox *listTypeBox() const { return m_ListTypeBox; }
    QTableWidget *columnsTable() const { return m_ColumnsGrid; }
    QTableWidget *previewTable() const { return m_PreviewGrid; }
    // The destination box of a source column.
    QComboBox *destinationBox(int sourceColumn) const;

private:
    // The source columns and their default destinations, then the preview.
    void rebuildColumns();
    void refreshPreview();

    CsvImportPlan m_plan;
    QComboBox *m_EncodingBox = nullptr;
    QComboBox *m_SeparatorBox = nullptr;
    QCheckBox *m_HeaderChkBox = nullptr;
    QComboBox *m_ListTypeBox = nullptr;
    QTableWidget *m_ColumnsGrid = nullptr;
    QTableWidget *m_PreviewGrid = nullptr;
    QLabel *m_StatusLabel = nullptr;
    bool m_building = false;
};

} // namespace quorvex
