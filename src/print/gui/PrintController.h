#pragma once

#include "print/core/ExportCommand.h"
#include "print/core/PrintCommands.h"

#include <QFont>
#include <QObject>

#include <functional>
#include <memory>

class QPrinter;
class QWidget;

namespace quorvex {

class Editor;
class TPageSetupForm;
class TPrintPageNumsForm;
class TStatusForm;

// The File menu's page setup, print, preview and export commands, with their
// windows; the main window constructs one and connects its menu items.
class PrintController final : public QObject {
    Q_OBJECT
public:
    // Pages a preview shows at most: each keeps its picture in memory.
    static constexpr int MaxPreviewPages = 30;

    // `progress` is the progress window the sort shares.
    PrintController(Editor &editor, QWidget *window, TStatusForm &progress, std::function<QFont()> gridFont);
    ~PrintController() override;

    PrintCommands &commands() { return m_commands; }

    // The recommended entries per page after a load or a font or layout change.
    void computeMaxEntries();

    void PageSetupBtnClick();
    void PrintBtnClick();
    void PrintPageNumsBtnClick();
    void TestPrintBtnClick();
    void PrintPreviewBtnClick();
    void ExportBtnClick();

    // The PDF file the print dialog offers: the list's name in the documents folder.
    QString proposedPdfFile() const;
    // Under a filter asks whether the shown rows or the whole list are put out; false for Cancel.
    bool chooseRows();

    // The export file dialog: the chosen name, or nothing when cancelled.
    std::optional<std::string> chooseExportFile();

    // After a command: the page column, the status bar and the menus follow.
    std::function<void()> afterCommand;

    TPageSetupForm *pageSetupForm() const { return m_pageSetup; }
    TPrintPageNumsForm *pageNumsForm() const { return m_pageNums; }
    TStatusForm *progressWindow() const { return &m_progress; }
    QPrinter &printer() { return *m_printer; }

private:
    void done();

    Editor &m_editor;
    QWidget *m_window;
    std::function<QFont()> m_gridFont;
    TStatusForm &m_progress;
    PrintCommands m_commands;
    ExportCommand m_export;
    std::unique_ptr<QPrinter> m_printer;
    TPageSetupForm *m_pageSetup;
    TPrintPageNumsForm *m_pageNums;
    QString m_lastExport;
};

} // namespace quorvex
