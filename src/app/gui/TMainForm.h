#pragma once

#include "platform/gui/QtClipboardService.h"
#include "platform/gui/QtDesktopShell.h"
#include "platform/gui/QtFileDialogService.h"
#include "platform/gui/QtMessageService.h"
#include "platform/gui/QtProgressReporter.h"
#include "document/core/Editor.h"
#include "document/core/LongOperationGuard.h"
#include "document/core/EditorView.h"
#include "attachments/core/AttachmentCommands.h"
#include "document/core/GridCommands.h"
#include "listfile/core/ListFileCommands.h"
#include "listfile/core/ReopenList.h"

#include <QElapsedTimer>
#include <QMainWindow>

#include <array>
#include <optional>

class QAction;
class QComboBox;
class QDialog;
class QLabel;
class QMenu;
class QTextEdit;
class QToolBar;

namespace quorvex {

class GridPainter;
class ListTableModel;
class SortController;
class QuickSearchBar;
class TFindForm;
class StatusBarWidget;
class StringGrid;
class TLogoForm;
class THeaderTextForm;
class TSettingsForm;
class PrintController;
class ExportController;
class TViewCellTextForm;
class TNewListForm;
class UnicodeListActions;
class TWizardForm;
class PreviewPane;
class FilterController;

// The main window: the grid over the list document, the preview pane, the
// tool bar of the two text boxes, the status bar and every menu.
class TMainForm final : public QMainWindow, public EditorView {
    Q_OBJECT
public:
    // Construct with the process's working folder already set to the program folder.
    explicit TMainForm(QWidget *parent = nullptr);
    ~TMainForm() override;

    Editor &editor() { return m_editor; }
    StringGrid *grid() const { return m_grid; }
    GridPainter *gridPainter() const { return m_gridPainter; }
    StatusBarWidget *statusBarWidget() const { return m_statusBar; }
    QtProgressReporter &progress() { return m_progress; }
    void setLogoForm(TLogoForm *logo) { m_logoForm = logo; }

    // Whether start-up shows the splash window (the settings file decides later).
    bool showSplash = true;
    // Tests keep the window at its design size.
    void setKeepSize(bool keep) { m_keepSize = keep; }
    bool started() const { return m_started; }
    // Milliseconds from construction to the first paint, for the start-up benchmark.
    qint64 firstPaintMs() const { return m_firstPaintMs; }

    // EditorView
    void endCellEditing() override;
    void documentChanged() override;
    void statusBarChanged() override;
    void showCellPreview(int col, int row) override;
    void menuStateChanged() override;
    void setCursorShape(CursorShape shape) override;
    void setWindowTitle(const char *utf8) override;
    void setFileOperationLock(bool locked) override;
    void showSaveInformation(const std::string &utf8) override;
    void listReplaced() override;

    ListFileCommands &listFiles() { return m_files; }
    GridCommands &gridCommands() { return m_gridCommands; }
    AttachmentCommands &attachments() { return m_attachments; }
    ReopenList &reopenList() { return m_reopen; }
    QtFileDialogService &fileDialogs() { return m_dialogs; }
    THeaderTextForm *headerTextForm() const { return m_headerForm; }
    class TImportTextForm *importTextForm() const { return m_importForm; }
    class TImportCsvForm *importCsvForm() const { return m_importCsvForm; }
    TViewCellTextForm *cellTextForm() const { return m_cellTextForm; }
    TNewListForm *newListForm() const { return m_newListForm; }
    TWizardForm *wizardForm() const { return m_wizardForm; }
    PrintController *printing() const { return m_print; }
    ExportController *exporting() const { return m_exporting; }
    TSettingsForm *settingsForm() const { return m_settingsForm; }
    SortController *sortController() const { return m_sort; }
    TFindForm *findForm() const { return m_findForm; }
    QTextEdit *cellRichEdit() const;
    PreviewPane *previewPane() const { return m_preview; }
    FilterController *filter() const { return m_filter; }
    // The Reopen submenu's items as they show now.
    void refreshReopenMenu();

    // The unexpected-failure path: no questions, uncount, delete temporary files.
    void emergencyShutdown();
    void setUpdateForm(QDialog *form) { m_updateForm = form; }
    // A list named on the command line: the open sequence of a dropped list file.
    void openListFromCommandLine(const QString &path);
    // The splash flag label: "show" until a click or key on the splash says "stop".
    void stopSplash();
    QString splashFlag() const;

signals:
    void startupFinished();

public slots:
    void FormActivate();
    void ExitBtnClick();
    void UndoBtnClick();
    void RedoBtnClick();
    void HelpBtnClick();
    void About1Click();
    void UpdatesBtnClick();
    void OpenListBtnClick();
    void SaveListBtnClick();
    void SaveListAsBtnClick();
    void ReopenClick(int item);
    void ClearReopenMenu1Click();
    void ViewCellTextBtnClick();
    void FontBtnClick();
    void SaveFontBtnClick();
    void ExtractDataFileFromCellBtnClick();

protected:
    void paintEvent(QPaintEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool event(QEvent *event) override;

private:
    void createActions();
    void createMenus();
    void createGridPopupMenu();
    void createControls();
    QAction *makeAction(const char *name, const QString &caption, const QKeySequence &key = QKeySequence());
    void Edit1Click();
    void Grid1Click();
    void File1Click();
    void PopupMenuPopup(const QPoint &pos);
    void applyDocumentToView();
    void applyColumnWidths();
    void syncSelectionFromView();
    void cellEdited(int col, int row, const std::string &text);
    bool gridKeyDown(QKeyEvent *event);
    void gridKeyUp(QKeyEvent *event);
    void applyDecision(const GridEventDecision &decision);
    void runGridCommand(const std::function<void()> &command);
    void connectCommands();
    void applyGridFont();
    void insertFile(char typeCode);
    void runSplash();
    void endProgram();
    void sectionDragged(Qt::Orientation orientation, int fromVisual, int toVisual);
    void loadStartingList();
    void readSettingsFiles();
    bool confirmSaveChanges();
    void writeReopenFile();
    void updateUndoCaptions();
    void keysMoved(QWidget *now);
    void returnKeysToGrid();

    QtMessageService m_messages;
    QtProgressReporter m_progress;
    QtDesktopShell m_shell;
    QtClipboardService m_clipboard;
    QtFileDialogService m_dialogs;
    Editor m_editor;
    ListFileCommands m_files;
    GridCommands m_gridCommands;
    AttachmentCommands m_attachments;
    ReopenList m_reopen;
    THeaderTextForm *m_headerForm = nullptr;
    class TImportTextForm *m_importForm = nullptr;
    QAction *m_ImportTextListBtn = nullptr;
    class QMenu *m_ImportMenu = nullptr;
    QAction *m_ImportCsvBtn = nullptr;
    QAction *m_ImportTellicoBtn = nullptr;
    class TImportCsvForm *m_importCsvForm = nullptr;
    TSettingsForm *m_settingsForm = nullptr;
    TViewCellTextForm *m_cellTextForm = nullptr;
    TNewListForm *m_newListForm = nullptr;
    UnicodeListActions *m_unicodeActions = nullptr;
    TWizardForm *m_wizardForm = nullptr;
    PrintController *m_print = nullptr;
    ExportController *m_exporting = nullptr;
    QMenu *m_ExportMenu = nullptr;
    QAction *m_CsvExportBtn = nullptr, *m_HtmlCatalogueBtn = nullptr;
    QAction *m_PrintPreviewBtn = nullptr;
    SortController *m_sort = nullptr;
    TFindForm *m_findForm = nullptr;
    QuickSearchBar *m_quickSearchBar = nullptr;
    bool m_plainDelPressed = false;
    // Whether the grid (or its cell editor) had the keys when this window last
    // had them by the user's choice; they go back there when the window gets
    // them again.
    bool m_gridHadKeys = true;
    int m_lockDepth = 0;
    std::optional<LongOperationGuard> m_fileGuard;

    StringGrid *m_grid = nullptr;
    GridPainter *m_gridPainter = nullptr;
    ListTableModel *m_model = nullptr;
    StatusBarWidget *m_statusBar = nullptr;
    PreviewPane *m_preview = nullptr;
    FilterController *m_filter = nullptr;
    QToolBar *m_toolBar = nullptr;
    QComboBox *m_ChooseFromListBox = nullptr;
    QComboBox *m_QuickSearchBox = nullptr;
    QLabel *m_QuickSearchLbl = nullptr;
    QLabel *m_ShowLogoLbl = nullptr;
    TLogoForm *m_logoForm = nullptr;
    QDialog *m_updateForm = nullptr;
    QMenu *m_PopupMenu = nullptr;

    // Main menu
    QMenu *m_File1 = nullptr, *m_Edit1 = nullptr, *m_Grid1 = nullptr, *m_Search1 = nullptr, *m_Options1 = nullptr,
          *m_WizardMenu = nullptr, *m_Help1 = nullptr, *m_View1 = nullptr, *m_ReopenBtn = nullptr, *m_Insert1 = nullptr;
    QAction *m_StatisticsBtn = nullptr;
    QAction *m_InsertNote1 = nullptr, *m_InsertNote2 = nullptr;
    QAction *m_NewListBtn = nullptr, *m_OpenListBtn = nullptr, *m_SaveListAsBtn = nullptr, *m_SaveListBtn = nullptr,
            *m_ClearReopenMenu1 = nullptr, *m_ExportBtn = nullptr, *m_PageSetupBtn = nullptr, *m_PrintBtn = nullptr,
            *m_PrintPageNumsBtn = nullptr, *m_TestPrintBtn = nullptr, *m_ExitBtn = nullptr;
    std::array<QAction *, 5> m_Reopen{};
    QAction *m_UndoBtn = nullptr, *m_RedoBtn = nullptr, *m_CutBtn = nullptr, *m_CopyBtn = nullptr,
            *m_PasteBtn = nullptr, *m_DeleteBtn = nullptr, *m_SelectColBtn = nullptr, *m_SelectAllBtn = nullptr,
            *m_CopyAllBtn = nullptr;
    QAction *m_NewRowBtn = nullptr, *m_InsertRowBtn = nullptr, *m_DeleteRowBtn = nullptr, *m_NewColBtn = nullptr,
            *m_InsertColBtn = nullptr, *m_DelColBtn = nullptr, *m_EditHdrBtn = nullptr, *m_MoveColBtn = nullptr,
            *m_InsertPictureBtn = nullptr, *m_InsertVideoBtn = nullptr, *m_InsertAudioBtn = nullptr,
            *m_InsertWebPageBtn = nullptr, *m_InsertFileBtn = nullptr, *m_ExtractDataFileFromCellBtn = nullptr,
            *m_DeleteBinaryDataBtn = nullptr, *m_FontBtn = nullptr, *m_SaveFontBtn = nullptr;
    QAction *m_FindBtn = nullptr, *m_ReplaceBtn = nullptr, *m_FindNextBtn = nullptr, *m_FindNextKey = nullptr;
    QAction *m_FilterRowsBtn = nullptr, *m_GroupsBtn = nullptr;
    QAction *m_SortBtn = nullptr, *m_ViewCellTextBtn = nullptr, *m_SettingsBtn = nullptr,
            *m_SearchForMoviesOnline1 = nullptr;
    QAction *m_WizardBtn = nullptr;
    QAction *m_HelpBtn = nullptr, *m_VisitQuorvexBtn = nullptr, *m_VisitMakerBtn = nullptr, *m_UpdatesBtn = nullptr,
            *m_About1 = nullptr;
    // Pop-up menu items
    QAction *m_NewRow1 = nullptr, *m_InsertRow1 = nullptr, *m_DeleteRow1 = nullptr, *m_NewCol1 = nullptr,
            *m_InsertCol1 = nullptr, *m_DelCol1 = nullptr, *m_EditHdr1 = nullptr, *m_MoveCol1 = nullptr,
            *m_Cut1 = nullptr, *m_Copy1 = nullptr, *m_Paste1 = nullptr, *m_Delete1 = nullptr,
            *m_SelectCol1 = nullptr, *m_SelectAll1 = nullptr, *m_InsertPicture1 = nullptr,
            *m_InsertVideo1 = nullptr, *m_InsertAudio1 = nullptr, *m_InsertWebPage1 = nullptr,
            *m_InsertFile1 = nullptr, *m_Sort1 = nullptr, *m_Find1 = nullptr, *m_Replace2 = nullptr,
            *m_FindNext1 = nullptr, *m_ViewCellText1 = nullptr, *m_Wizard1 = nullptr;

    bool m_started = false;
    bool m_starting = false;
    // Exit asked for while the start-up sequence ran; carried out once it is done.
    bool m_exitAfterStartup = false;
    bool m_syncingView = false;
    bool m_exiting = false;
    bool m_keepSize = false;
    int m_cursorDepth = 0;
    qint64 m_firstPaintMs = -1;
    QElapsedTimer m_clock;
};

} // namespace quorvex
