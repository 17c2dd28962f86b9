#pragma once

#include "export/core/ListExportCommands.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace quorvex {

class Editor;

// The handlers of File > Export > "CSV (spreadsheet)..." and "HTML Catalogue...":
// they ask for the file or folder, then hand the work to the core.
class ExportController final : public QObject {
    Q_OBJECT
public:
    ExportController(Editor &editor, QWidget *window);

    ListExportCommands &commands() { return m_commands; }

    // The data rows to put out, in order; empty for all, nothing when the
    // user cancelled. Unset, every row goes out.
    std::function<std::optional<std::vector<int>>()> shownRows;
    // After an export: the status bar follows.
    std::function<void()> afterCommand;
    // Tests choose instead of the dialogs; nothing means cancelled.
    std::function<std::optional<std::string>()> chooseCsvFile;
    std::function<std::optional<std::string>()> chooseCatalogueFolder;

    // The catalogue's title: the list file's name without its extension.
    QString catalogueTitle() const;

public slots:
    void CsvExportBtnClick();
    void HtmlCatalogueBtnClick();

private:
    std::optional<std::string> askCsvFile();
    std::optional<std::string> askCatalogueFolder();
    std::optional<std::vector<int>> rows() const
    {
        return shownRows ? shownRows() : std::optional<std::vector<int>>(std::vector<int>());
    }

    Editor &m_editor;
    QWidget *m_window;
    ListExportCommands m_commands;
    QString m_lastCsv;
    QString m_lastFolder;
};

} // namespace quorvex
