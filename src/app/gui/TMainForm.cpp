#include "TMainForm.h"

#include "export/gui/ExportController.h"
#include "attachments/gui/PreviewPane.h"
#include "attachments/gui/QtPictureReader.h"

#include "platform/gui/Cp1252.h"
#include "MenuIcons.h"
#include "StatusBarWidget.h"
#include "document/gui/StringGrid.h"
#include "appearance/gui/GridPainter.h"
#include "appearance/gui/TSettingsForm.h"
#include "TAboutBox.h"
#include "TLogoForm.h"
#include "TUpdateForm.h"
#include "FontConvert.h"
#include "TFontColorDialog.h"
#include "ToolTipDuration.h"
#include "TViewCellTextForm.h"
#include "app/core/FontSettings.h"
#include "print/gui/PrintController.h"
#include "document/gui/THeaderTextForm.h"
#include "listfile/gui/TImportTextForm.h"
#include "listfile/gui/UnicodeListActions.h"
#include "import/gui/TImportCsvForm.h"
#include "import/gui/TellicoImportHandler.h"
#include "sort/gui/SortController.h"
#include "sort/gui/TStatusForm.h"
#include "platform/core/FileSystem.h"
#include "document/core/AttachmentRef.h"
#include "document/core/LongOperationGuard.h"
#include "document/gui/ListTableModel.h"
#include "entry/gui/TNewListForm.h"
#include "entry/gui/TWizardForm.h"
#include "search/gui/QuickSearchBar.h"
#include "filter/gui/FilterBar.h"
#include "filter/gui/FilterController.h"
#include "filter/gui/GroupPane.h"
#include "search/gui/TFindForm.h"
#include "stats/gui/TStatisticsForm.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontDialog>
#include <QMimeData>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTextEdit>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <QToolTip>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace quorvex {

namespace {

const QColor windowBackground(255, 255, 225);

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

// Captions that show a key the grid handles itself get it after blanks, as a
// label only: the grid, not the menu, owns the key.
QString withKeyLabel(const char *caption, const char *key)
{
    return text(caption) + QLatin1Char('\t') + text(key);
}

} // namespace

TMainForm::TMainForm(QWidget *parent)
    : QMainWindow(parent),
      m_messages(this),
      m_dialogs(this),
      m_editor(UiServices{m_messages, m_progress, m_shell, m_clipboard}, this),
      m_files(m_editor, m_dialogs),
      m_gridCommands(m_editor),
      m_attachments(m_editor)
{
    m_clock.start();
    setObjectName(QStringLiteral("MainForm"));
    // Until a list is the user's, the title is the product and its version. Qt
    // would append a set application display name to every title; an empty one
    // keeps titles exactly as the program writes them.
    QGuiApplication::setApplicationDisplayName(QString());
    QWidget::setWindowTitle(QStringLiteral("Quorvex ") + QString::fromLatin1(programVersion));

    // 1. the window from its design
    createControls();
    createActions();
    createMenus();
    createGridPopupMenu();
    connectCommands();
    setAcceptDrops(true);
    m_headerForm = new THeaderTextForm(this);
    m_importForm = new TImportTextForm(this);
    m_importCsvForm = new TImportCsvForm(this);
    m_cellTextForm = new TViewCellTextForm(m_editor, this);
    m_wizardForm = new TWizardForm(m_editor, m_gridCommands, m_files, this);
    m_newListForm = new TNewListForm(m_editor, m_files, [this] { m_wizardForm->WizardBtnClick(); }, this);
    m_unicodeActions->settingChanged = [this](bool unicode) {
        m_newListForm->command().newListEncoding = unicode ? TextEncoding::Utf8 : TextEncoding::Windows1252;
    };
    connect(m_NewListBtn, &QAction::triggered, m_newListForm, [this] {
        if (!m_editor.longOperationRunning)
            m_newListForm->NewListBtnClick();
    });
    for (QAction *wizard : {m_WizardBtn, m_Wizard1})
        connect(wizard, &QAction::triggered, m_wizardForm, [this] {
            if (!m_editor.longOperationRunning)
                m_wizardForm->WizardBtnClick();
        });
    m_sort = new SortController(m_editor, m_messages, this);
    m_sort->statusForm()->setFocusReturn(m_grid);
    m_findForm = new TFindForm(m_editor, m_grid, this);
    m_quickSearchBar = new QuickSearchBar(m_editor, m_toolBar, m_ChooseFromListBox, m_QuickSearchBox,
                                          m_QuickSearchLbl, m_grid, this);
    // The Search keys work from the find window too.
    m_findForm->addActions({m_FindBtn, m_ReplaceBtn});
    for (QAction *find : {m_FindBtn, m_Find1})
        connect(find, &QAction::triggered, m_findForm, [this] { m_findForm->showFor(false); });
    for (QAction *replace : {m_ReplaceBtn, m_Replace2})
        connect(replace, &QAction::triggered, m_findForm, [this] { m_findForm->showFor(true); });
    // F3 searches even while the find window's buttons (and so the menu items)
    // are off for an empty text: that search finds nothing and says so.
    // One key item per window: an item shared by two windows misses keys.
    auto *findWindowKey = new QAction(m_FindNextKey->text(), m_findForm);
    findWindowKey->setShortcut(m_FindNextKey->shortcut());
    m_findForm->addAction(findWindowKey);
    for (QAction *key : {m_FindNextKey, findWindowKey})
        connect(key, &QAction::triggered, m_findForm, &TFindForm::FindNextBtnClick);
    for (QAction *next : {m_FindNextBtn, m_FindNext1}) {
        connect(next, &QAction::triggered, m_findForm, &TFindForm::FindNextBtnClick);
        connect(m_findForm, &TFindForm::findNextEnabledChanged, next, &QAction::setEnabled);
    }
    connect(m_Search1, &QMenu::aboutToShow, this, [this] { m_FindNextBtn->setEnabled(m_findForm->findNextEnabled()); });
    connect(m_PopupMenu, &QMenu::aboutToShow, this, [this] { m_FindNext1->setEnabled(m_findForm->findNextEnabled()); });
    m_cellTextForm->onSaved = [this] {
        updateUndoCaptions();
        applyDocumentToView();
        showCellPreview(m_editor.document().Col(), m_editor.document().Row());
    };

    // 2. The grid starts in its own font (Arial 9), not the desktop's.
    FontSettings::SetRowHeightFromFont(m_editor);
    applyGridFont();
    // 3.
    m_editor.trackCurrentFile = true;
    m_editor.listModified = false;
    m_editor.runCountRegistered = false;
    m_editor.runningCount = 0;

    // 5.-8. folders
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty() || !QDir(documents).exists())
        documents = QDir::homePath();
    m_editor.constructPaths(FileSystem::currentFolder(), Cp1252::toPath(documents), Cp1252::toPath(QDir::tempPath()));
    m_dialogs.setInitialFolder(m_editor.paths().documentsFolder);

    m_files.addToReopenMenu = [this](const std::string &path) {
        m_reopen.AddToReopenMenu(path, m_editor.trackCurrentFile);
        refreshReopenMenu();
        if (m_editor.trackCurrentFile)
            m_shell.addRecentDocument(path);
    };
    m_gridCommands.setActionEnabled([this](GridAction action) {
        switch (action) {
        case GridAction::Paste:
        case GridAction::SelectAll:
            // The keys follow the Edit menu's items, so give them the state the
            // menu would show now: a copy made a moment ago must paste at once.
            Edit1Click();
            return action == GridAction::Paste ? m_PasteBtn->isEnabled() : m_SelectAllBtn->isEnabled();
        case GridAction::Copy: return m_CopyBtn->isEnabled();
        case GridAction::Cut: return m_CutBtn->isEnabled();
        case GridAction::Undo: return m_UndoBtn->isEnabled();
        case GridAction::Delete: return m_DeleteBtn->isEnabled();
        default: return true;
        }
    });

    // The values are kept at once; the panel paints when the throttled event pump runs.
    m_progress.setSink([this](int percent, const std::string &progressText) {
        m_editor.statusBar().setProgress(percent, progressText);
        m_statusBar->update();
    });

    m_print = new PrintController(m_editor, this, *m_sort->statusForm(), [this] { return FontConvert::toQFont(m_editor.gridFont); });
    m_print->afterCommand = [this] {
        applyDocumentToView();
        updateUndoCaptions();
    };
    m_files.computeMaxEntries = [this] { m_print->computeMaxEntries(); };
    connect(m_ExportBtn, &QAction::triggered, m_print, &PrintController::ExportBtnClick);
    m_exporting = new ExportController(m_editor, this);
    m_exporting->afterCommand = [this] { m_statusBar->update(); };
    // Under a filter the CSV and the catalogue ask, as print does, which rows go out.
    m_exporting->shownRows = [this]() -> std::optional<std::vector<int>> {
        if (!m_print->chooseRows())
            return std::nullopt;
        if (!m_print->commands().shownRowsOnly)
            return std::vector<int>();
        return m_editor.shownRows().rowsIn(1, m_editor.document().RowCount() - 1);
    };
    connect(m_CsvExportBtn, &QAction::triggered, m_exporting, &ExportController::CsvExportBtnClick);
    connect(m_HtmlCatalogueBtn, &QAction::triggered, m_exporting, &ExportController::HtmlCatalogueBtnClick);
    connect(m_PageSetupBtn, &QAction::triggered, m_print, &PrintController::PageSetupBtnClick);
    connect(m_PrintBtn, &QAction::triggered, m_print, &PrintController::PrintBtnClick);
    connect(m_PrintPageNumsBtn, &QAction::triggered, m_print, &PrintController::PrintPageNumsBtnClick);
    connect(m_TestPrintBtn, &QAction::triggered, m_print, &PrintController::TestPrintBtnClick);
    connect(m_PrintPreviewBtn, &QAction::triggered, m_print, &PrintController::PrintPreviewBtnClick);

    m_settingsForm = new TSettingsForm(m_editor, m_grid, m_QuickSearchLbl, showSplash, [this](int width) {
        m_grid->setGridLineWidth(width);
        m_print->computeMaxEntries();
        m_editor.RenumberPages();
        m_editor.RefreshStatusBar();
    }, this);
    // The settings renumber the pages and hold the folder commands: not while
    // a long operation holds the list.
    connect(m_SettingsBtn, &QAction::triggered, m_settingsForm, [this] {
        if (!m_editor.longOperationRunning)
            m_settingsForm->SettingsBtnClick();
    });
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) { keysMoved(now); });
    // The window owns its update window like every other dialog, so Check for
    // Updates always says something, whoever built the window.
    m_updateForm = new TUpdateForm(this);

    m_editor.RenumberPages();
    applyDocumentToView();
    m_editor.setStartupStatusTexts();
    m_editor.RefreshStatusBar();
    updateUndoCaptions();
}

TMainForm::~TMainForm()
{
    // Focus changes while the child widgets are destroyed must not reach a
    // window that is no longer a TMainForm.
    disconnect(qApp, &QApplication::focusChanged, this, nullptr);
    m_editor.setView(nullptr);
}

void TMainForm::createControls()
{
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("ClientArea"));
    central->setAutoFillBackground(true);
    QPalette pal = central->palette();
    pal.setColor(QPalette::Window, windowBackground);
    central->setPalette(pal);

    m_grid = new StringGrid(central);
    m_model = new ListTableModel(m_editor.document(), this);
    m_model->setShownRows(&m_editor.shownRows());
    m_grid->setModel(m_model);
    // Every cell, headers and corner included, is drawn by the cell painter.
    m_gridPainter = new GridPainter(m_editor, this);
    m_gridPainter->install(m_grid);
    m_grid->onPaintedWithFocus = [this] { m_editor.RefreshStatusBar(); };
    m_model->setEditHandler([this](int col, int row, const std::string &cellText) { cellEdited(col, row, cellText); });
    m_model->setEditableTest([this](int col, int row) {
        return !m_editor.longOperationRunning && !AttachmentRef::IsAttachmentCell(m_editor.document(), col, row);
    });
    m_grid->setGridLineWidth(m_editor.gridAppearance.gridLineWidth);
    m_grid->setCellHeight(m_editor.document().RowHeight());
    m_grid->verticalHeader()->setMinimumWidth(24);
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_grid, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) { PopupMenuPopup(pos); });
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &, const QModelIndex &) { syncSelectionFromView(); });
    connect(m_grid->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection &, const QItemSelection &) { syncSelectionFromView(); });
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int logical, int, int) {
        if (!m_syncingView)
            m_editor.document().SetColWidth(logical + 1, m_grid->cellWidth(logical));
    });
    // Scrolling repaints the whole grid so that background pictures stay whole.
    for (QScrollBar *bar : {m_grid->horizontalScrollBar(), m_grid->verticalScrollBar()})
        connect(bar, &QScrollBar::valueChanged, m_grid->viewport(), [this] { m_grid->viewport()->update(); });
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionMoved, this,
            [this](int, int from, int to) { sectionDragged(Qt::Horizontal, from, to); });
    connect(m_grid->verticalHeader(), &QHeaderView::sectionMoved, this,
            [this](int, int from, int to) { sectionDragged(Qt::Vertical, from, to); });
    m_grid->onKeyDown = [this](QKeyEvent *event) { return gridKeyDown(event); };
    m_grid->onKeyUp = [this](QKeyEvent *event) {
        gridKeyUp(event);
        return false;
    };
    m_grid->onMouseMove = [this](QMouseEvent *) { applyDecision(GridKeyRules::mouseMove(m_editor.document())); };
    m_grid->onMouseDown = [this](QMouseEvent *) { applyDecision(GridKeyRules::mouseDown(m_editor.document())); };
    m_grid->onMouseUp = [this](QMouseEvent *) { applyDecision(GridKeyRules::mouseUp(m_editor.document())); };
    m_grid->onDoubleClick = [this] { applyDecision(GridKeyRules::doubleClick(m_editor.document())); };
    m_grid->onWheel = [this](bool down) { applyDecision(GridKeyRules::wheel(m_editor.document(), down)); };
    m_grid->currentCell = [this] {
        const ListDocument &doc = m_editor.document();
        return m_model->index(m_model->modelRow(doc.Row()), doc.Col() - 1);
    };
    m_grid->onTabPastEnd = [this] {
        if (m_editor.longOperationRunning)
            return;
        KeyInput tab;
        tab.key = GridKey::Tab;
        // keyDown runs the row growth itself; only the view follows here.
        m_gridCommands.keyDown(tab, false);
        const ListDocument &doc = m_editor.document();
        m_grid->setCurrentIndex(m_model->index(m_model->modelRow(doc.Row()), doc.Col() - 1));
        updateUndoCaptions();
    };

    // The preview pane: the picture over the read-only text box.
    m_preview = new PreviewPane(m_editor, central);
    m_preview->onExtract = [this] { ExtractDataFileFromCellBtnClick(); };

    // The filter bar over the grid, the group pane beside the preview; both hidden until asked for.
    m_filter = new FilterController(m_editor, central, central, this);
    auto *gridColumn = new QVBoxLayout();
    gridColumn->setContentsMargins(0, 0, 0, 0);
    gridColumn->setSpacing(2);
    gridColumn->addWidget(m_filter->bar());
    gridColumn->addWidget(m_grid, 1);

    auto *layout = new QHBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(gridColumn, 1);
    layout->addWidget(m_filter->pane());
    layout->addWidget(m_preview);
    setCentralWidget(central);

    // The tool bar at the bottom with the pre-entered text box and quick search.
    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("ToolBar"));
    m_toolBar->setMovable(false);
    m_ChooseFromListBox = new QComboBox(m_toolBar);
    m_ChooseFromListBox->setObjectName(QStringLiteral("ChooseFromListBox"));
    m_ChooseFromListBox->setMinimumWidth(200);
    m_ChooseFromListBox->setEnabled(false);
    m_QuickSearchLbl = new QLabel(text("&Quick search (Column 2): "), m_toolBar);
    m_QuickSearchLbl->setObjectName(QStringLiteral("QuickSearchLbl"));
    m_QuickSearchBox = new QComboBox(m_toolBar);
    m_QuickSearchBox->setObjectName(QStringLiteral("QuickSearchBox"));
    m_QuickSearchBox->setEditable(true);
    m_QuickSearchBox->setMinimumWidth(200);
    m_QuickSearchBox->setEnabled(false);
    m_QuickSearchLbl->setBuddy(m_QuickSearchBox);
    m_toolBar->addWidget(m_ChooseFromListBox);
    m_toolBar->addSeparator();
    m_toolBar->addWidget(m_QuickSearchLbl);
    m_toolBar->addWidget(m_QuickSearchBox);
    addToolBar(Qt::BottomToolBarArea, m_toolBar);

    m_ShowLogoLbl = new QLabel(QStringLiteral("show"), this);
    m_ShowLogoLbl->setObjectName(QStringLiteral("ShowLogoLbl"));
    m_ShowLogoLbl->hide();

    m_statusBar = new StatusBarWidget(m_editor.statusBar(), this);
    m_statusBar->setObjectName(QStringLiteral("StatusBar"));
    m_editor.statusBar().setTextWidthMeasure([this](const std::string &panelText) {
        return m_statusBar->fontMetrics().horizontalAdvance(QString::fromStdString(panelText));
    });
    // Below the tool bar, as the bottom-most strip of the window.
    auto *statusHolder = new QStatusBar(this);
    statusHolder->setSizeGripEnabled(false);
    statusHolder->setContentsMargins(0, 0, 0, 0);
    statusHolder->addWidget(m_statusBar, 1);
    statusHolder->addPermanentWidget(m_filter->statusLabel());
    setStatusBar(statusHolder);

    setMinimumSize(640, 470);
    resize(632, 416 + 60);
}

QAction *TMainForm::makeAction(const char *name, const QString &caption, const QKeySequence &key)
{
    auto *action = new QAction(caption, this);
    action->setObjectName(QString::fromLatin1(name));
    if (!key.isEmpty()) {
        action->setShortcut(key);
        action->setShortcutContext(Qt::WindowShortcut);
    }
    return action;
}

void TMainForm::createActions()
{
    // File
    m_NewListBtn = makeAction("NewListBtn", text("&New List..."), Qt::Key_F11);
    m_OpenListBtn = makeAction("OpenListBtn", text("&Open List..."), QKeySequence(Qt::CTRL | Qt::Key_F11));
    // The desktop's usual keys as second keys, where no key of ours has them.
    m_OpenListBtn->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_F11), QKeySequence(Qt::CTRL | Qt::Key_O)});
    m_ImportTextListBtn = makeAction("ImportTextListBtn", text("&Import Text List..."));
    m_unicodeActions = new UnicodeListActions(m_editor, this);
    m_ImportCsvBtn = makeAction("ImportCsvBtn", text("&CSV Text..."));
    m_ImportTellicoBtn = makeAction("ImportTellicoBtn", text("&Tellico Collection..."));
    m_ClearReopenMenu1 = makeAction("ClearReopenMenu1", text("-- Clear Reopen History --"));
    for (size_t i = 0; i < m_Reopen.size(); ++i) {
        m_Reopen[i] = makeAction(("Reopen" + std::to_string(i + 1)).c_str(), QString());
        m_Reopen[i]->setVisible(false);
    }
    m_SaveListAsBtn = makeAction("SaveListAsBtn", text("Sa&ve List As..."), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_S));
    m_SaveListAsBtn->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_S), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)});
    m_SaveListBtn = makeAction("SaveListBtn", text("&Save List"), QKeySequence(Qt::CTRL | Qt::Key_S));
    m_ExportBtn = makeAction("ExportBtn", text("&Export List..."));
    m_CsvExportBtn = makeAction("CsvExportBtn", text("CSV (spreadsheet)..."));
    m_HtmlCatalogueBtn = makeAction("HtmlCatalogueBtn", text("HTML Catalogue..."));
    m_PageSetupBtn = makeAction("PageSetupBtn", text("P&age Setup..."));
    m_PrintBtn = makeAction("PrintBtn", text("&Print..."), QKeySequence(Qt::CTRL | Qt::Key_P));
    m_PrintPageNumsBtn = makeAction("PrintPageNumsBtn", text("Print Page Num&bers..."),
                                    QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_P));
    m_TestPrintBtn = makeAction("TestPrintBtn", text("Test Print (invisible)"));
    m_TestPrintBtn->setVisible(false);
    m_PrintPreviewBtn = makeAction("PrintPreviewBtn", text("Print Previe&w..."));
    m_ExitBtn = makeAction("ExitBtn", text("E&xit"));
    connect(m_ExitBtn, &QAction::triggered, this, &TMainForm::ExitBtnClick);

    // Edit
    m_UndoBtn = makeAction("UndoBtn", withKeyLabel("&Undo", "Ctrl+Z"));
    m_RedoBtn = makeAction("RedoBtn", text("&Redo"), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Z));
    m_RedoBtn->setShortcuts({QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    m_CutBtn = makeAction("CutBtn", withKeyLabel("Cu&t", "Ctrl+X"));
    m_CopyBtn = makeAction("CopyBtn", withKeyLabel("&Copy", "Ctrl+C"));
    m_PasteBtn = makeAction("PasteBtn", withKeyLabel("&Paste", "Ctrl+V"));
    m_DeleteBtn = makeAction("DeleteBtn", text("&Delete"), QKeySequence(Qt::CTRL | Qt::Key_D));
    m_SelectColBtn = makeAction("SelectColBtn", text("Select Colum&n"), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_A));
    m_SelectAllBtn = makeAction("SelectAllBtn", withKeyLabel("Se&lect All", "Ctrl+A"));
    m_CopyAllBtn = makeAction("CopyAllBtn", text("&Export Entire List to Clipboard"));
    connect(m_UndoBtn, &QAction::triggered, this, &TMainForm::UndoBtnClick);
    connect(m_RedoBtn, &QAction::triggered, this, &TMainForm::RedoBtnClick);

    // Grid
    m_NewRowBtn = makeAction("NewRowBtn", text("New &Row"), QKeySequence(Qt::CTRL | Qt::Key_N));
    m_InsertRowBtn = makeAction("InsertRowBtn", text("&Insert Row"), QKeySequence(Qt::CTRL | Qt::Key_I));
    m_DeleteRowBtn = makeAction("DeleteRowBtn", text("Delete &Selected Row(s)"), QKeySequence(Qt::SHIFT | Qt::Key_Delete));
    m_NewColBtn = makeAction("NewColBtn", text("New &Column..."), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_N));
    m_InsertColBtn = makeAction("InsertColBtn", text("I&nsert Column..."), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_I));
    m_DelColBtn = makeAction("DelColBtn", text("Delete Se&lected Column(s)"), QKeySequence(Qt::CTRL | Qt::Key_Delete));
    m_EditHdrBtn = makeAction("EditHdrBtn", text("&Edit Column Header..."), QKeySequence(Qt::CTRL | Qt::Key_H));
    m_MoveColBtn = makeAction("MoveColBtn", text("&Move Column  <-- -->..."));
    m_InsertPictureBtn = makeAction("InsertPictureBtn", text("Insert &Picture..."));
    m_InsertVideoBtn = makeAction("InsertVideoBtn", text("Insert &Video Clip..."));
    m_InsertAudioBtn = makeAction("InsertAudioBtn", text("Insert &Audio Clip..."));
    m_InsertWebPageBtn = makeAction("InsertWebPageBtn", text("Insert &Web Page File..."));
    m_InsertFileBtn = makeAction("InsertFileBtn", text("Insert &File..."));
    m_ExtractDataFileFromCellBtn = makeAction("ExtractDataFileFromCellBtn", text("E&xtract Data File from Cell..."));
    m_DeleteBinaryDataBtn = makeAction("DeleteBinaryDataBtn", text("Delete &Binary Data from Selection"));
    m_FontBtn = makeAction("FontBtn", text("&Font..."));
    m_SaveFontBtn = makeAction("SaveFontBtn", text("S&ave Font Settings"));

    // Search
    m_FindBtn = makeAction("FindBtn", text("&Find..."), QKeySequence(Qt::CTRL | Qt::Key_F));
    m_ReplaceBtn = makeAction("ReplaceBtn", text("&Replace..."), QKeySequence(Qt::CTRL | Qt::Key_R));
    // F3 belongs to the key item below, which is never disabled; the menu item
    // shows it as a label.
    m_FindNextBtn = makeAction("FindNextBtn", withKeyLabel("Find &Next", "F3"));
    m_FindNextKey = makeAction("FindNextKey", text("Find &Next"), Qt::Key_F3);
    addAction(m_FindNextKey);

    // View
    m_StatisticsBtn = makeAction("StatisticsBtn", text("&Statistics"));
    connect(m_StatisticsBtn, &QAction::triggered, this,
            [this] { TStatisticsForm::showFor(this, m_editor.document(), m_dialogs, m_messages); });

    // Options
    m_FilterRowsBtn = makeAction("FilterRowsBtn", text("F&ilter Rows..."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
    m_GroupsBtn = makeAction("GroupsBtn", text("&Groups"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_G));
    m_GroupsBtn->setCheckable(true);
    connect(m_FilterRowsBtn, &QAction::triggered, this, [this] { m_filter->openBar(); });
    connect(m_GroupsBtn, &QAction::toggled, this, [this](bool on) { m_filter->setGroupsShown(on); });
    m_SortBtn = makeAction("SortBtn", text("&Sort..."), QKeySequence(Qt::CTRL | Qt::Key_Q));
    m_ViewCellTextBtn = makeAction("ViewCellTextBtn", text("&View / Edit Cell Text..."), Qt::Key_F8);
    m_SettingsBtn = makeAction("SettingsBtn", text("Se&ttings..."));
    m_SearchForMoviesOnline1 = makeAction("SearchForMoviesOnline1", text("Search for Movies &Online"), Qt::Key_F10);
    connect(m_SearchForMoviesOnline1, &QAction::triggered, this,
            [this] { m_shell.openUrl("https://www.themoviedb.org/"); });

    // Wizard
    m_WizardBtn = makeAction("WizardBtn", text("&Media Wizard..."), QKeySequence(Qt::CTRL | Qt::Key_W));

    // Help
    m_HelpBtn = makeAction("HelpBtn", text("&Help..."), Qt::Key_F1);
    m_VisitQuorvexBtn = makeAction("VisitQuorvexBtn", text("&Quorvex Home Page"));
    m_VisitMakerBtn = makeAction("VisitMakerBtn", text("&Maker's Home Page"));
    m_UpdatesBtn = makeAction("UpdatesBtn", text("Check for &Updates..."));
    m_About1 = makeAction("About1", text("&About..."));
    connect(m_HelpBtn, &QAction::triggered, this, &TMainForm::HelpBtnClick);
    connect(m_VisitQuorvexBtn, &QAction::triggered, this, [this] { m_shell.openUrl("https://quorvex.org/"); });
    connect(m_VisitMakerBtn, &QAction::triggered, this, [this] { m_shell.openUrl("https://quorvex.org/about/"); });
    connect(m_UpdatesBtn, &QAction::triggered, this, &TMainForm::UpdatesBtnClick);
    connect(m_About1, &QAction::triggered, this, &TMainForm::About1Click);

    // Pop-up menu items
    m_NewRow1 = makeAction("NewRow1", text("&New Row"));
    m_InsertRow1 = makeAction("InsertRow1", text("&Insert Row"));
    m_DeleteRow1 = makeAction("DeleteRow1", text("Delete &Selected Row(s)"));
    m_NewCol1 = makeAction("NewCol1", text("New &Column..."));
    m_InsertCol1 = makeAction("InsertCol1", text("I&nsert Column..."));
    m_DelCol1 = makeAction("DelCol1", text("Delete Se&lected Column(s)"));
    m_EditHdr1 = makeAction("EditHdr1", text("&Edit Column Header..."));
    m_MoveCol1 = makeAction("MoveCol1", text("&Move Column  <-- -->..."));
    m_Cut1 = makeAction("Cut1", withKeyLabel("Cu&t", "Ctrl+X"));
    m_Copy1 = makeAction("Copy1", withKeyLabel("&Copy", "Ctrl+C"));
    m_Paste1 = makeAction("Paste1", withKeyLabel("&Paste", "Ctrl+V"));
    m_Delete1 = makeAction("Delete1", text("&Delete"));
    m_SelectCol1 = makeAction("SelectCol1", text("Select Colu&mn"));
    m_SelectAll1 = makeAction("SelectAll1", withKeyLabel("Se&lect All", "Ctrl+A"));
    m_InsertPicture1 = makeAction("InsertPicture1", text("Insert &Picture..."));
    m_InsertVideo1 = makeAction("InsertVideo1", text("Insert &Video Clip..."));
    m_InsertAudio1 = makeAction("InsertAudio1", text("Insert &Audio Clip..."));
    m_InsertWebPage1 = makeAction("InsertWebPage1", text("Insert &Web Page File..."));
    m_InsertFile1 = makeAction("InsertFile1", text("Insert &File..."));
    // Ctrl+Q is the Options item's shortcut; a second one would make both dead.
    m_Sort1 = makeAction("Sort1", withKeyLabel("&Sort...", "Ctrl+Q"));
    m_Find1 = makeAction("Find1", text("&Find..."));
    m_Replace2 = makeAction("Replace2", text("Replace..."));
    m_FindNext1 = makeAction("FindNext1", text("Find &Next"));
    // F8 is the Options item's shortcut; a second one would make both dead.
    m_ViewCellText1 = makeAction("ViewCellText1", withKeyLabel("&View / Edit Cell Text...", "F8"));
    m_Wizard1 = makeAction("Wizard1", text("Media &Wizard..."));

    m_InsertNote1 = makeAction("InsertNote1", QString::fromLatin1(AttachmentCommands::DatabaseSizeNote));
    m_InsertNote2 = makeAction("InsertNote2", QString::fromLatin1(AttachmentCommands::LargeFileNote));
    m_InsertNote1->setEnabled(false);
    m_InsertNote2->setEnabled(false);
    m_SaveFontBtn->setEnabled(false);
    m_SaveListBtn->setEnabled(false);
    m_UndoBtn->setEnabled(false);
    m_RedoBtn->setEnabled(false);
}

void TMainForm::createMenus()
{
    QMenuBar *bar = menuBar();
    m_File1 = bar->addMenu(text("&File"));
    m_File1->setObjectName(QStringLiteral("File1"));
    m_File1->addAction(m_NewListBtn);
    m_File1->addAction(m_OpenListBtn);
    m_File1->addAction(m_ImportTextListBtn);
    m_ImportMenu = m_File1->addMenu(text("I&mport"));
    m_ImportMenu->setObjectName(QStringLiteral("ImportMenu"));
    m_ImportMenu->addAction(m_ImportCsvBtn);
    m_ImportMenu->addAction(m_ImportTellicoBtn);
    m_ReopenBtn = m_File1->addMenu(text("&Reopen"));
    m_ReopenBtn->setObjectName(QStringLiteral("ReopenBtn"));
    for (QAction *item : m_Reopen)
        m_ReopenBtn->addAction(item);
    m_ReopenBtn->addSeparator();
    m_ReopenBtn->addAction(m_ClearReopenMenu1);
    m_ReopenBtn->setEnabled(false);
    m_File1->addAction(m_SaveListAsBtn);
    m_File1->addAction(m_SaveListBtn);
    m_File1->addAction(m_unicodeActions->convertAction());
    m_File1->addSeparator();
    m_File1->addAction(m_ExportBtn);
    m_ExportMenu = m_File1->addMenu(text("Expor&t"));
    m_ExportMenu->setObjectName(QStringLiteral("ExportMenu"));
    m_ExportMenu->addAction(m_CsvExportBtn);
    m_ExportMenu->addAction(m_HtmlCatalogueBtn);
    m_File1->addSeparator();
    m_File1->addAction(m_PageSetupBtn);
    m_File1->addAction(m_PrintBtn);
    m_File1->addAction(m_PrintPageNumsBtn);
    m_File1->addAction(m_PrintPreviewBtn);
    m_File1->addAction(m_TestPrintBtn);
    m_File1->addSeparator();
    m_File1->addAction(m_ExitBtn);
    connect(m_File1, &QMenu::aboutToShow, this, &TMainForm::File1Click);

    m_Edit1 = bar->addMenu(text("&Edit"));
    m_Edit1->setObjectName(QStringLiteral("Edit1"));
    m_Edit1->addAction(m_UndoBtn);
    m_Edit1->addAction(m_RedoBtn);
    m_Edit1->addSeparator();
    m_Edit1->addAction(m_CutBtn);
    m_Edit1->addAction(m_CopyBtn);
    m_Edit1->addAction(m_PasteBtn);
    m_Edit1->addAction(m_DeleteBtn);
    m_Edit1->addSeparator();
    m_Edit1->addAction(m_SelectColBtn);
    m_Edit1->addAction(m_SelectAllBtn);
    m_Edit1->addSeparator();
    m_Edit1->addAction(m_CopyAllBtn);
    connect(m_Edit1, &QMenu::aboutToShow, this, &TMainForm::Edit1Click);

    m_Grid1 = bar->addMenu(text("&Grid"));
    m_Grid1->setObjectName(QStringLiteral("Grid1"));
    m_Grid1->addAction(m_NewRowBtn);
    m_Grid1->addAction(m_InsertRowBtn);
    m_Grid1->addAction(m_DeleteRowBtn);
    m_Grid1->addSeparator();
    m_Grid1->addAction(m_NewColBtn);
    m_Grid1->addAction(m_InsertColBtn);
    m_Grid1->addAction(m_DelColBtn);
    m_Grid1->addAction(m_EditHdrBtn);
    m_Grid1->addAction(m_MoveColBtn);
    m_Grid1->addSeparator();
    m_Insert1 = m_Grid1->addMenu(text("Inser&t Data in to Cell"));
    m_Insert1->setObjectName(QStringLiteral("Insert1"));
    m_Insert1->addAction(m_InsertNote1);
    m_Insert1->addAction(m_InsertNote2);
    m_Insert1->addSeparator();
    m_Insert1->addAction(m_InsertPictureBtn);
    m_Insert1->addAction(m_InsertVideoBtn);
    m_Insert1->addAction(m_InsertAudioBtn);
    m_Insert1->addAction(m_InsertWebPageBtn);
    m_Insert1->addAction(m_InsertFileBtn);
    m_Grid1->addAction(m_ExtractDataFileFromCellBtn);
    m_Grid1->addAction(m_DeleteBinaryDataBtn);
    m_Grid1->addSeparator();
    m_Grid1->addAction(m_FontBtn);
    m_Grid1->addAction(m_SaveFontBtn);
    connect(m_Grid1, &QMenu::aboutToShow, this, &TMainForm::Grid1Click);

    m_Search1 = bar->addMenu(text("&Search"));
    m_Search1->setObjectName(QStringLiteral("Search1"));
    m_Search1->addAction(m_FindBtn);
    m_Search1->addAction(m_ReplaceBtn);
    m_Search1->addAction(m_FindNextBtn);
    m_Search1->addSeparator();
    m_Search1->addAction(m_FilterRowsBtn);

    m_View1 = bar->addMenu(text("&View"));
    m_View1->setObjectName(QStringLiteral("View1"));
    m_View1->addAction(m_GroupsBtn);
    m_View1->addAction(m_StatisticsBtn);

    m_Options1 = bar->addMenu(text("&Options"));
    m_Options1->setObjectName(QStringLiteral("Options1"));
    m_Options1->addAction(m_SortBtn);
    m_Options1->addAction(m_ViewCellTextBtn);
    m_Options1->addSeparator();
    m_Options1->addAction(m_SettingsBtn);
    m_Options1->addAction(m_unicodeActions->newListsAction());
    m_Options1->addSeparator();
    m_Options1->addAction(m_SearchForMoviesOnline1);

    m_WizardMenu = bar->addMenu(text("&Wizard"));
    m_WizardMenu->setObjectName(QStringLiteral("WizardMenu"));
    m_WizardMenu->addAction(m_WizardBtn);

    m_Help1 = bar->addMenu(text("&Help"));
    m_Help1->setObjectName(QStringLiteral("Help1"));
    m_Help1->addAction(m_HelpBtn);
    m_Help1->addSeparator();
    m_Help1->addAction(m_VisitQuorvexBtn);
    m_Help1->addAction(m_VisitMakerBtn);
    m_Help1->addSeparator();
    m_Help1->addAction(m_UpdatesBtn);
    m_Help1->addAction(m_About1);
}

void TMainForm::createGridPopupMenu()
{
    m_PopupMenu = new QMenu(this);
    m_PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    QMenu *rows = m_PopupMenu->addMenu(text("&Row"));
    rows->addAction(m_NewRow1);
    rows->addAction(m_InsertRow1);
    rows->addAction(m_DeleteRow1);
    QMenu *cols = m_PopupMenu->addMenu(text("&Column"));
    cols->addAction(m_NewCol1);
    cols->addAction(m_InsertCol1);
    cols->addAction(m_DelCol1);
    cols->addAction(m_EditHdr1);
    cols->addAction(m_MoveCol1);
    m_PopupMenu->addSeparator();
    m_PopupMenu->addAction(m_Cut1);
    m_PopupMenu->addAction(m_Copy1);
    m_PopupMenu->addAction(m_Paste1);
    m_PopupMenu->addAction(m_Delete1);
    m_PopupMenu->addSeparator();
    m_PopupMenu->addAction(m_SelectCol1);
    m_PopupMenu->addAction(m_SelectAll1);
    m_PopupMenu->addSeparator();
    QMenu *insert = m_PopupMenu->addMenu(text("Inser&t Data in to Cell"));
    insert->setObjectName(QString::fromLatin1(AttachmentCommands::InsertPopupSubmenuItem));
    insert->addAction(m_InsertNote1);
    insert->addAction(m_InsertNote2);
    insert->addSeparator();
    insert->addAction(m_InsertPicture1);
    insert->addAction(m_InsertVideo1);
    insert->addAction(m_InsertAudio1);
    insert->addAction(m_InsertWebPage1);
    insert->addAction(m_InsertFile1);
    m_PopupMenu->addSeparator();
    m_PopupMenu->addAction(m_Sort1);
    m_PopupMenu->addAction(m_Find1);
    m_PopupMenu->addAction(m_Replace2);
    m_PopupMenu->addAction(m_FindNext1);
    m_PopupMenu->addSeparator();
    m_PopupMenu->addAction(m_ViewCellText1);
    m_PopupMenu->addAction(m_Wizard1);
}

// ---- menu state ----

void TMainForm::Edit1Click()
{
    const MenuState s = m_editor.menuState();
    m_PasteBtn->setEnabled(s.paste);
    m_PasteBtn->setIcon(MenuIcons::icon(MenuIcons::Paste, m_PasteBtn->isEnabled()));
    updateUndoCaptions();
    m_SelectColBtn->setEnabled(s.selectColumn);
    m_SelectAllBtn->setEnabled(s.selectAll);
}

void TMainForm::Grid1Click()
{
    const MenuState s = m_editor.menuState();
    m_DeleteRowBtn->setEnabled(s.deleteRow);
    m_DelColBtn->setEnabled(s.deleteColumn);
    m_ExtractDataFileFromCellBtn->setEnabled(s.extractDataFile);
}

void TMainForm::File1Click()
{
    m_SaveListBtn->setEnabled(m_editor.saveListEnabled);
    m_SaveListBtn->setIcon(MenuIcons::icon(MenuIcons::Save, m_SaveListBtn->isEnabled()));
}

void TMainForm::PopupMenuPopup(const QPoint &pos)
{
    const MenuState s = m_editor.menuState();
    m_Paste1->setEnabled(s.paste);
    m_Paste1->setIcon(MenuIcons::icon(MenuIcons::Paste, m_Paste1->isEnabled()));
    m_DeleteRow1->setEnabled(s.deleteRow);
    m_SelectCol1->setEnabled(s.selectColumn);
    m_DelCol1->setEnabled(s.deleteColumn);
    m_SelectAll1->setEnabled(s.selectAll);
    m_PopupMenu->popup(m_grid->viewport()->mapToGlobal(pos));
}

void TMainForm::updateUndoCaptions()
{
    const UndoHistory &undo = m_editor.undoHistory();
    m_UndoBtn->setText(withKeyLabel(undo.caption().c_str(), "Ctrl+Z"));
    m_UndoBtn->setEnabled(undo.undoEnabled());
    m_RedoBtn->setEnabled(undo.redoEnabled());
    m_UndoBtn->setIcon(MenuIcons::icon(MenuIcons::Undo, m_UndoBtn->isEnabled()));
    m_RedoBtn->setIcon(MenuIcons::icon(MenuIcons::Redo, m_RedoBtn->isEnabled()));
}

// ---- EditorView ----

void TMainForm::endCellEditing()
{
    m_grid->closeEditor();
}

void TMainForm::documentChanged()
{
    // Rows are not dragged under a filter: a hidden neighbour makes the drop place unclear.
    m_grid->verticalHeader()->setSectionsMovable(!m_editor.shownRows().active());
    applyDocumentToView();
    if (m_filter)
        m_filter->documentChanged();
}

void TMainForm::listReplaced()
{
    if (m_filter)
        m_filter->listReplaced();
}

void TMainForm::statusBarChanged()
{
    m_statusBar->update();
}

void TMainForm::menuStateChanged()
{
    updateUndoCaptions();
    File1Click();
}

void TMainForm::setCursorShape(CursorShape shape)
{
    switch (shape) {
    case CursorShape::Normal:
        while (m_cursorDepth > 0) {
            QGuiApplication::restoreOverrideCursor();
            --m_cursorDepth;
        }
        break;
    case CursorShape::Busy:
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        ++m_cursorDepth;
        break;
    case CursorShape::AppStarting:
        QGuiApplication::setOverrideCursor(Qt::BusyCursor);
        ++m_cursorDepth;
        break;
    }
}

void TMainForm::setWindowTitle(const char *utf8)
{
    QWidget::setWindowTitle(QString::fromUtf8(utf8));
}

// ---- view <-> document ----

void TMainForm::applyDocumentToView()
{
    m_syncingView = true;
    m_model->refresh();
    m_grid->setGridLineWidth(m_editor.gridAppearance.gridLineWidth);
    applyColumnWidths();
    const ListDocument &doc = m_editor.document();
    m_grid->setCellHeight(doc.RowHeight());
    const CellRect s = doc.Selection();
    QItemSelectionModel *sel = m_grid->selectionModel();
    const QModelIndex current = m_model->index(m_model->modelRow(doc.Row()), doc.Col() - 1);
    sel->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    // Under a filter the selection covers the shown rows between its corners.
    const int top = m_model->modelRow(s.Top);
    const int bottom = m_model->modelRowAtOrBefore(s.Bottom);
    if (top >= 0 && bottom >= top)
        sel->select(QItemSelection(m_model->index(top, s.Left - 1), m_model->index(bottom, s.Right - 1)),
                    QItemSelectionModel::ClearAndSelect);
    else
        sel->clearSelection();
    m_syncingView = false;
    m_grid->viewport()->update();
}

void TMainForm::applyColumnWidths()
{
    const ListDocument &doc = m_editor.document();
    for (int c = 1; c < doc.ColCount(); ++c)
        m_grid->setCellWidth(c - 1, doc.ColWidth(c));
    // The page column shows its widest page number whole; the stored width
    // (what the user or the file gave) stays as it is.
    const QString widest = QLatin1Char(' ') + QString::number(doc.CountPages(m_editor.pageSetup().entriesPerPage()));
    const int needed = m_grid->verticalHeader()->fontMetrics().horizontalAdvance(widest) + 8;
    m_grid->setPageColumnWidth(std::max({24, doc.ColWidth(0), needed}));
}

void TMainForm::syncSelectionFromView()
{
    if (m_syncingView)
        return;
    ListDocument &doc = m_editor.document();
    const QModelIndex current = m_grid->currentIndex();
    if (!current.isValid())
        return;
    const int col = current.column() + 1;
    const int row = m_model->documentRow(current.row());
    const bool moved = col != doc.Col() || row != doc.Row();
    CellRect rect{col, row, col, row};
    // Ranges, not indexes: a selected million-row list is one range but millions of indexes.
    const QItemSelection picked = m_grid->selectionModel()->selection();
    if (!picked.isEmpty()) {
        int left = picked.first().left(), right = picked.first().right();
        int top = picked.first().top(), bottom = picked.first().bottom();
        for (const QItemSelectionRange &range : picked) {
            left = std::min(left, range.left());
            right = std::max(right, range.right());
            top = std::min(top, range.top());
            bottom = std::max(bottom, range.bottom());
        }
        rect = CellRect{left + 1, m_model->documentRow(top), right + 1, m_model->documentRow(bottom)};
    }
    // Qt moves its current index with the far corner of a drag or a Shift+arrow
    // range; the list's current cell stays where the range was started.
    if (rect.Left != rect.Right || rect.Top != rect.Bottom) {
        if (col < rect.Left || col > rect.Right || row < rect.Top || row > rect.Bottom)
            return; // the selection follows in a moment; decide then
        const bool startCorner = (doc.Col() == rect.Left || doc.Col() == rect.Right) &&
                                 (doc.Row() == rect.Top || doc.Row() == rect.Bottom);
        if (startCorner && moved) {
            doc.SetSelectionRect(rect);
            m_editor.RefreshStatusBar();
            return;
        }
    } else if (col != rect.Left || row != rect.Top) {
        return; // the current index moved ahead of the selection
    }
    if (moved) {
        m_gridCommands.cellSelected(col, row);
        doc.SetCurrentCell(col, row);
        m_grid->setInPlaceEditing(!AttachmentRef::IsAttachmentCell(doc, col, row));
    }
    doc.SetSelectionRect(rect);
    if (moved)
        showCellPreview(col, row);
    m_editor.RefreshStatusBar();
}

void TMainForm::cellEdited(int col, int row, const std::string &cellText)
{
    // An editor opened before the operation began cannot write into the list.
    if (m_editor.longOperationRunning)
        return;
    UndoHistory &undo = m_editor.undoHistory();
    // Typing takes one snapshot per cell visit; its caption names the edit.
    if (!undo.snapshotCurrent()) {
        m_editor.backupCells();
        undo.setCaption("&Undo Cell Edit");
    }
    m_editor.MarkModified();
    m_editor.document().SetCell(col, row, cellText);
    // The group pane's counts follow the edit.
    if (m_filter)
        m_filter->documentChanged();
    updateUndoCaptions();
    showCellPreview(col, row);
}

// ---- commands ----

void TMainForm::UndoBtnClick()
{
    if (m_editor.longOperationRunning)
        return;
    m_grid->closeEditor();
    m_editor.Undo();
    m_editor.RefreshStatusBar();
    updateUndoCaptions();
}

void TMainForm::RedoBtnClick()
{
    if (m_editor.longOperationRunning)
        return;
    m_grid->closeEditor();
    m_editor.Redo();
    m_editor.RefreshStatusBar();
    updateUndoCaptions();
}

void TMainForm::HelpBtnClick()
{
    m_editor.openHelp();
}

void TMainForm::About1Click()
{
    // Made anew for every showing.
    TAboutBox about(this);
    about.exec();
}

void TMainForm::UpdatesBtnClick()
{
    if (m_updateForm)
        m_updateForm->exec();
}

// ---- start-up and exit ----

void TMainForm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_started && !m_starting)
        QTimer::singleShot(0, this, &TMainForm::FormActivate);
}

void TMainForm::paintEvent(QPaintEvent *event)
{
    QMainWindow::paintEvent(event);
    if (m_firstPaintMs < 0)
        m_firstPaintMs = m_clock.elapsed();
}

void TMainForm::FormActivate()
{
    if (m_started || m_starting)
        return;
    m_starting = true;
    // 1.
    showMaximized();
    QCoreApplication::processEvents();
    // Without a window manager nobody maximises; fill the screen ourselves.
    if (screen() && !m_keepSize && width() < screen()->availableGeometry().width() * 9 / 10)
        setGeometry(screen()->availableGeometry());
    QCoreApplication::processEvents();
    // 2. the starting list
    m_editor.trackCurrentFile = false;
    loadStartingList();
    m_editor.trackCurrentFile = true;
    // 3.
    m_editor.setStartupStatusTexts();
    m_statusBar->update();
    ToolTipDuration::install();
    m_editor.RefreshStatusBar();
    // 4.-6.
    readSettingsFiles();
    // 7.
    QCoreApplication::processEvents();
    // 8.
    if (showSplash && m_logoForm)
        runSplash();
    // 9. the new-list dialog shows here only when its show-on-start option is set
    m_newListForm->NewListBtnClick();
    // 10. the file dialogs' starting folder comes with their dialogs.
    // 11.
    if (!m_editor.ensureDatabaseFolder()) {
        endProgram();
        return;
    }
    // 13.
    if (!m_editor.ensureTempFolder()) {
        endProgram();
        return;
    }
    // 14., 15.
    m_editor.IncrementRunCount();
    m_editor.makeInstanceTempFolder();
    m_starting = false;
    m_started = true;
    m_grid->setFocus();
    if (m_exitAfterStartup) {
        // The count and the folder made just now go with the exit.
        m_exitAfterStartup = false;
        ExitBtnClick();
        if (m_exiting)
            return;
    }
    emit startupFinished();
}

void TMainForm::runSplash()
{
    setEnabled(false);
    m_logoForm->adjustSize();
    m_logoForm->show();
    m_logoForm->raise();
    for (int pass = 0; pass < TLogoForm::MaxPasses && m_ShowLogoLbl->text() == QLatin1String("show"); ++pass) {
        QCoreApplication::processEvents();
        QThread::msleep(1);
    }
    m_logoForm->hide();
    setEnabled(true);
}

void TMainForm::stopSplash()
{
    m_ShowLogoLbl->setText(QStringLiteral("stop"));
}

QString TMainForm::splashFlag() const
{
    return m_ShowLogoLbl->text();
}

void TMainForm::endProgram()
{
    m_starting = false;
    m_exiting = true;
    close();
    QCoreApplication::exit(1);
}

void TMainForm::ExitBtnClick()
{
    // A long operation runs on this thread: it ends by its own OK or Cancel first.
    if (m_exiting || m_editor.longOperationRunning)
        return;
    // A close during start-up (say while one of its boxes is up) waits for the
    // sequence to end: exiting now would let it count this copy afterwards.
    if (m_starting) {
        m_exitAfterStartup = true;
        return;
    }
    m_grid->closeEditor();
    if (!confirmSaveChanges())
        return;
    writeReopenFile();
    m_editor.shutdown(true);
    m_exiting = true;
    close();
    QCoreApplication::quit();
}

void TMainForm::emergencyShutdown()
{
    m_exiting = true;
    m_editor.shutdown(false);
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    if (m_exiting) {
        event->accept();
        return;
    }
    event->ignore();
    if (!m_editor.longOperationRunning)
        ExitBtnClick();
}

void TMainForm::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    m_editor.resizeStatusBar(width());
}

void TMainForm::showCellPreview(int col, int row)
{
    if (m_quickSearchBar)
        m_quickSearchBar->currentCellShown();
    m_preview->ShowCellPreview(col, row);
}

QTextEdit *TMainForm::cellRichEdit() const
{
    return m_preview->cellRichEdit();
}

void TMainForm::showSaveInformation(const std::string &utf8)
{
    m_preview->showSaveInformation(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

void TMainForm::setFileOperationLock(bool locked)
{
    // A load or save holds the list until the last unlock.
    if (locked) {
        if (m_lockDepth++ == 0)
            m_fileGuard.emplace(m_editor);
    } else if (m_lockDepth > 0 && --m_lockDepth == 0) {
        m_fileGuard.reset();
    }
    // The named menus, the update item, the grid and the two tool-bar boxes;
    // Help stays usable. Unlock enables the very same controls again.
    for (QMenu *menu : {m_File1, m_Edit1, m_Grid1, m_Search1, m_View1, m_Options1, m_WizardMenu})
        menu->menuAction()->setEnabled(!locked);
    m_UpdatesBtn->setEnabled(!locked);
    m_grid->setEnabled(!locked);
    if (m_filter) {
        m_filter->bar()->setEnabled(!locked);
        m_filter->pane()->setEnabled(!locked);
    }
    m_ChooseFromListBox->setEnabled(!locked);
    m_QuickSearchBox->setEnabled(!locked);
    // Disabling moved the keys off the grid; they come back with the unlock.
    if (!locked)
        returnKeysToGrid();
}

void TMainForm::keysMoved(QWidget *now)
{
    // Only the user's own moves inside this window count: a lock or a closing
    // cell editor moves the keys without asking, and other windows are theirs.
    if (!now || m_lockDepth > 0 || now->window() != this || !isActiveWindow())
        return;
    m_gridHadKeys = now == m_grid || m_grid->isAncestorOf(now);
}

void TMainForm::returnKeysToGrid()
{
    if (!m_gridHadKeys || !m_grid->isEnabled() || !m_grid->isVisible())
        return;
    QWidget *keys = focusWidget();
    if (keys != m_grid && !(keys && m_grid->isAncestorOf(keys)))
        m_grid->setFocus(Qt::ActiveWindowFocusReason);
}

bool TMainForm::event(QEvent *event)
{
    // Sent before the window hands the keys to its focus widget: a dialog, the
    // progress window or a message box closing gives them back to the grid.
    if (event->type() == QEvent::WindowActivate)
        returnKeysToGrid();
    return QMainWindow::event(event);
}

void TMainForm::refreshReopenMenu()
{
    for (int i = 0; i < ReopenList::MaxEntries; ++i) {
        QAction *item = m_Reopen[static_cast<size_t>(i)];
        // A path's "&" is a letter, not a mnemonic mark.
        item->setText(Cp1252::fromPath(m_reopen.caption(i)).replace(QLatin1Char('&'), QStringLiteral("&&")));
        item->setVisible(m_reopen.visible(i));
    }
    m_ReopenBtn->setEnabled(m_reopen.menuEnabled());
    m_ReopenBtn->menuAction()->setEnabled(m_reopen.menuEnabled());
}

void TMainForm::sectionDragged(Qt::Orientation orientation, int fromVisual, int toVisual)
{
    if (m_syncingView)
        return;
    QHeaderView *header = orientation == Qt::Horizontal ? m_grid->horizontalHeader() : m_grid->verticalHeader();
    // The header only reorders its looks; put it back and move the data instead.
    m_syncingView = true;
    header->moveSection(toVisual, fromVisual);
    m_syncingView = false;
    if (m_editor.longOperationRunning)
        return;
    if (orientation == Qt::Horizontal)
        m_gridCommands.columnDragged(fromVisual + 1, toVisual + 1);
    else
        m_gridCommands.rowDragged(fromVisual + 1, toVisual + 1);
    m_editor.RefreshStatusBar();
    updateUndoCaptions();
}

namespace {

KeyInput keyInput(const QKeyEvent *event)
{
    KeyInput key;
    key.ctrl = event->modifiers() & Qt::ControlModifier;
    key.shift = event->modifiers() & Qt::ShiftModifier;
    key.alt = event->modifiers() & Qt::AltModifier;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: key.key = GridKey::Enter; break;
    case Qt::Key_Tab: key.key = GridKey::Tab; break;
    case Qt::Key_Backtab: key.key = GridKey::Tab; key.shift = true; break;
    case Qt::Key_Up: key.key = GridKey::Up; break;
    case Qt::Key_Down: key.key = GridKey::Down; break;
    case Qt::Key_Left: key.key = GridKey::Left; break;
    case Qt::Key_Right: key.key = GridKey::Right; break;
    case Qt::Key_Delete: key.key = GridKey::Delete; break;
    case Qt::Key_V: key.key = GridKey::V; break;
    case Qt::Key_C: key.key = GridKey::C; break;
    case Qt::Key_X: key.key = GridKey::X; break;
    case Qt::Key_A: key.key = GridKey::A; break;
    case Qt::Key_Z: key.key = GridKey::Z; break;
    default: key.key = GridKey::Other; break;
    }
    return key;
}

} // namespace

void TMainForm::applyDecision(const GridEventDecision &decision)
{
    if (decision.inPlaceEditing)
        m_grid->setInPlaceEditing(*decision.inPlaceEditing);
    if (decision.action == GridAction::OpenEditor) {
        m_grid->setInPlaceEditing(true);
        m_grid->edit(m_grid->currentIndex());
    }
    if (decision.action == GridAction::OpenAttachment)
        m_preview->OpenCellAttachment();
    if (decision.action != GridAction::OpenEditor && decision.action != GridAction::OpenAttachment)
        m_gridCommands.apply(decision);
    else if (decision.refreshStatusBar)
        m_editor.RefreshStatusBar();
    updateUndoCaptions();
}

bool TMainForm::gridKeyDown(QKeyEvent *event)
{
    if (m_editor.longOperationRunning) {
        // The arrows and page keys still move around; no key edits.
        switch (event->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End: return false;
        default: return true;
        }
    }
    const bool editing = m_grid->isEditing();
    const ListDocument &doc = m_editor.document();
    const int rows = doc.RowCount();
    if (event->key() == Qt::Key_Delete)
        m_plainDelPressed = !editing && (event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier)) == 0;
    // Ctrl+C on a large selection lets events run while it copies.
    const GridEventDecision d = [&] {
        LongOperationGuard guard(m_editor);
        return m_gridCommands.keyDown(keyInput(event), editing);
    }();
    if (d.inPlaceEditing)
        m_grid->setInPlaceEditing(*d.inPlaceEditing);
    if (d.action == GridAction::NewRowFromTab && doc.RowCount() != rows) {
        m_grid->setCurrentIndex(m_model->index(m_model->modelRow(doc.Row()), doc.Col() - 1));
        return true;
    }
    updateUndoCaptions();
    return d.swallow || d.action != GridAction::None;
}

void TMainForm::gridKeyUp(QKeyEvent *event)
{
    if (m_editor.longOperationRunning) {
        m_plainDelPressed = false;
        return;
    }
    // Keys the editor consumed never reach the grid; these are the grid's own.
    KeyInput key = keyInput(event);
    // People often let go of Shift or Ctrl before Del after deleting rows or
    // columns; that release must not clear the cells that moved into the
    // selection, so only the release of a plain Del press clears.
    if (key.key == GridKey::Delete && !std::exchange(m_plainDelPressed, false))
        key.key = GridKey::Other;
    const GridEventDecision d = m_gridCommands.keyUp(key, m_grid->isEditing());
    if (d.inPlaceEditing)
        m_grid->setInPlaceEditing(*d.inPlaceEditing);
    updateUndoCaptions();
}

void TMainForm::runGridCommand(const std::function<void()> &command)
{
    if (m_editor.longOperationRunning)
        return;
    m_grid->closeEditor();
    {
        // Copying a large selection lets events run.
        LongOperationGuard guard(m_editor);
        command();
    }
    m_editor.RefreshStatusBar();
    updateUndoCaptions();
}

void TMainForm::connectCommands()
{
    auto bind = [this](std::initializer_list<QAction *> actions, std::function<void()> command) {
        for (QAction *action : actions)
            connect(action, &QAction::triggered, this, [this, command] { runGridCommand(command); });
    };
    const GridCommands::HeaderTextDialog askHeader = [this](const std::string &current) {
        return m_headerForm->ask(current, m_editor.document().textEncoding());
    };
    bind({m_NewRowBtn, m_NewRow1}, [this] { m_gridCommands.NewRow(); });
    bind({m_InsertRowBtn, m_InsertRow1}, [this] { m_gridCommands.InsertRow(); });
    // A refused deletion (one data row or column left) disables its main menu
    // item until the Grid menu opens again.
    bind({m_DeleteRowBtn, m_DeleteRow1}, [this] {
        if (!m_gridCommands.DeleteSelectedRows())
            m_DeleteRowBtn->setEnabled(false);
    });
    bind({m_NewColBtn, m_NewCol1}, [this, askHeader] { m_gridCommands.NewColumn(askHeader); });
    bind({m_InsertColBtn, m_InsertCol1}, [this, askHeader] { m_gridCommands.InsertColumn(askHeader); });
    bind({m_DelColBtn, m_DelCol1}, [this] {
        if (!m_gridCommands.DeleteSelectedColumns())
            m_DelColBtn->setEnabled(false);
    });
    bind({m_EditHdrBtn, m_EditHdr1}, [this, askHeader] { m_gridCommands.EditColumnHeader(askHeader); });
    bind({m_MoveColBtn, m_MoveCol1}, [this] { m_gridCommands.MoveColumn(); });
    bind({m_DeleteBtn, m_Delete1}, [this] { m_gridCommands.Delete(); });
    bind({m_CutBtn, m_Cut1}, [this] { m_gridCommands.Cut(); });
    bind({m_CopyBtn, m_Copy1}, [this] { m_gridCommands.clipboard().Copy(); });
    bind({m_PasteBtn, m_Paste1}, [this] {
        m_gridCommands.clipboard().Paste();
        // A paste that found no text disables the Paste items until the Edit
        // menu or the pop-up opens again, or Ctrl+V asks for the state anew.
        if (!m_clipboard.hasText()) {
            for (QAction *paste : {m_PasteBtn, m_Paste1}) {
                paste->setEnabled(false);
                paste->setIcon(MenuIcons::icon(MenuIcons::Paste, false));
            }
        }
    });
    bind({m_CopyAllBtn}, [this] { m_gridCommands.clipboard().CopyAll(); });
    bind({m_SelectColBtn, m_SelectCol1}, [this] { m_gridCommands.SelectColumn(); });
    bind({m_SelectAllBtn, m_SelectAll1}, [this] { m_gridCommands.SelectAll(); });
    bind({m_DeleteBinaryDataBtn}, [this] { m_attachments.DeleteBinaryDataBtnClick(); });

    connect(m_OpenListBtn, &QAction::triggered, this, &TMainForm::OpenListBtnClick);
    connect(m_ImportTextListBtn, &QAction::triggered, this, [this] {
        if (m_editor.longOperationRunning)
            return;
        m_grid->closeEditor();
        m_importForm->ImportTextListBtnClick(m_editor, m_files, m_dialogs);
        updateUndoCaptions();
    });
    connect(m_ImportCsvBtn, &QAction::triggered, this, [this] {
        if (m_editor.longOperationRunning)
            return;
        m_grid->closeEditor();
        m_importCsvForm->ImportCsvBtnClick(m_editor, m_files, m_dialogs);
        updateUndoCaptions();
        showCellPreview(m_editor.document().Col(), m_editor.document().Row());
    });
    connect(m_ImportTellicoBtn, &QAction::triggered, this, [this] {
        if (m_editor.longOperationRunning)
            return;
        m_grid->closeEditor();
        TellicoImportHandler::ImportTellicoBtnClick(m_editor, m_files, m_dialogs);
        updateUndoCaptions();
        showCellPreview(m_editor.document().Col(), m_editor.document().Row());
    });
    connect(m_SaveListBtn, &QAction::triggered, this, &TMainForm::SaveListBtnClick);
    connect(m_SaveListAsBtn, &QAction::triggered, this, &TMainForm::SaveListAsBtnClick);
    for (int i = 0; i < ReopenList::MaxEntries; ++i)
        connect(m_Reopen[static_cast<size_t>(i)], &QAction::triggered, this, [this, i] { ReopenClick(i + 1); });
    connect(m_ClearReopenMenu1, &QAction::triggered, this, &TMainForm::ClearReopenMenu1Click);
    connect(m_ViewCellTextBtn, &QAction::triggered, this, &TMainForm::ViewCellTextBtnClick);
    for (QAction *sort : {m_SortBtn, m_Sort1})
        connect(sort, &QAction::triggered, this, [this] {
            m_sort->SortBtnClick();
            updateUndoCaptions();
        });
    connect(m_ViewCellText1, &QAction::triggered, this, &TMainForm::ViewCellTextBtnClick);
    connect(m_FontBtn, &QAction::triggered, this, &TMainForm::FontBtnClick);
    connect(m_SaveFontBtn, &QAction::triggered, this, &TMainForm::SaveFontBtnClick);
    connect(m_ExtractDataFileFromCellBtn, &QAction::triggered, this, &TMainForm::ExtractDataFileFromCellBtnClick);
    const std::pair<QAction *, QAction *> inserts[] = {{m_InsertPictureBtn, m_InsertPicture1},
                                                       {m_InsertVideoBtn, m_InsertVideo1},
                                                       {m_InsertAudioBtn, m_InsertAudio1},
                                                       {m_InsertWebPageBtn, m_InsertWebPage1},
                                                       {m_InsertFileBtn, m_InsertFile1}};
    const auto &commands = AttachmentCommands::insertCommands();
    for (size_t i = 0; i < commands.size(); ++i) {
        const char code = commands[i].typeCode;
        for (QAction *action : {inserts[i].first, inserts[i].second})
            connect(action, &QAction::triggered, this, [this, code] { insertFile(code); });
    }
}

void TMainForm::insertFile(char typeCode)
{
    if (m_editor.longOperationRunning)
        return;
    const InsertCommandInfo *info = AttachmentCommands::insertCommand(typeCode);
    if (!info)
        return;
    m_grid->closeEditor();
    const std::optional<std::string> chosen =
        info->picturePreview ? m_dialogs.openPicture(QtPictureReader::insertPictureFilter(info->filter), {})
                             : m_dialogs.openFile(info->filter, std::string());
    m_attachments.insertChosenFile(typeCode, chosen.value_or(std::string()));
    m_editor.RefreshStatusBar();
    updateUndoCaptions();
}

void TMainForm::ExtractDataFileFromCellBtnClick()
{
    if (m_editor.longOperationRunning)
        return;
    m_grid->closeEditor();
    m_attachments.ExtractDataFileFromCellBtnClick([this](const std::string &presetName) {
        int filter = 1;
        return m_dialogs.saveFile(AttachmentCommands::ExportCellFileFilter, filter,
                                  FileSystem::join(m_editor.paths().documentsFolder, presetName));
    });
}

void TMainForm::OpenListBtnClick()
{
    if (m_editor.longOperationRunning)
        return;
    m_grid->closeEditor();
    m_files.OpenListBtnClick();
    updateUndoCaptions();
}

void TMainForm::SaveListBtnClick()
{
    if (m_editor.longOperationRunning)
        return;
    m_grid->closeEditor();
    m_files.SaveListBtnClick();
    File1Click();
}

void TMainForm::SaveListAsBtnClick()
{
    if (m_editor.longOperationRunning)
        return;
    m_grid->closeEditor();
    m_files.SaveListAsBtnClick();
    File1Click();
}

void TMainForm::ReopenClick(int item)
{
    const std::string path = m_reopen.pathOf(item);
    if (path.empty() || m_editor.longOperationRunning)
        return;
    m_grid->closeEditor();
    m_files.openListFile(path);
    updateUndoCaptions();
}

void TMainForm::ClearReopenMenu1Click()
{
    m_reopen.ClearReopenMenu(m_messages);
    refreshReopenMenu();
}

void TMainForm::ViewCellTextBtnClick()
{
    if (m_editor.longOperationRunning)
        return;
    m_grid->closeEditor();
    m_cellTextForm->exec();
    applyDocumentToView();
    updateUndoCaptions();
    showCellPreview(m_editor.document().Col(), m_editor.document().Row());
}

void TMainForm::applyGridFont()
{
    const QFont font = FontConvert::toQFont(m_editor.gridFont);
    m_grid->setFont(font);
    QPalette pal = m_grid->palette();
    pal.setColor(QPalette::Text, FontConvert::toQColor(m_editor.gridFont));
    m_grid->setPalette(pal);
    m_grid->setCellHeight(m_editor.document().RowHeight());
}

void TMainForm::FontBtnClick()
{
    if (m_editor.longOperationRunning)
        return;
    const std::optional<FontChoice> chosen = TFontColorDialog::choose(m_editor.gridFont, this);
    if (!chosen)
        return;
    FontSettings::gridFontChosen(m_editor, *chosen, [this] { m_print->computeMaxEntries(); });
    applyGridFont();
    m_SaveFontBtn->setEnabled(true);
}

void TMainForm::SaveFontBtnClick()
{
    if (FontSettings::SaveGridFont(m_editor) == 0)
        m_SaveFontBtn->setEnabled(false);
}

void TMainForm::dragEnterEvent(QDragEnterEvent *event)
{
    // Never as the move a Shift-drag proposes: the source would delete its file.
    if (event->mimeData()->hasUrls() && (event->possibleActions() & Qt::CopyAction)) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    }
}

void TMainForm::dropEvent(QDropEvent *event)
{
    std::vector<std::string> paths;
    for (const QUrl &url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths.push_back(Cp1252::toPath(url.toLocalFile()));
    // Ignored until a file was taken: the source hears only of what was inserted or opened.
    event->ignore();
    if (paths.empty() || m_editor.longOperationRunning)
        return;
    if (!(event->possibleActions() & Qt::CopyAction))
        return;
    // The drop came from another window; bring this one to the front.
    raise();
    activateWindow();
    m_grid->closeEditor();
    const DropDecision decision = m_attachments.FilesDropped(paths);
    bool taken = decision.action == DropDecision::Action::Insert && decision.result == 0;
    if (decision.action == DropDecision::Action::OpenList) {
        m_files.openListFile(decision.path);
        taken = true;
    }
    if (taken) {
        // The file was read, never moved: its source keeps it.
        event->setDropAction(Qt::CopyAction);
        event->accept();
    }
    m_editor.RefreshStatusBar();
    updateUndoCaptions();
}

void TMainForm::openListFromCommandLine(const QString &path)
{
    if (m_editor.longOperationRunning)
        return;
    m_grid->closeEditor();
    m_files.openListFile(Cp1252::toPath(path));
    m_editor.RefreshStatusBar();
    updateUndoCaptions();
}

void TMainForm::loadStartingList()
{
    m_files.loadStartupList();
}

void TMainForm::readSettingsFiles()
{
    m_settingsForm->readSettingsFile();
    // Read by its bare name from the working folder.
    m_reopen.ReadReopenFile(ReopenList::FileName);
    refreshReopenMenu();
    if (FontSettings::LoadGridFont(m_editor) == 0) {
        applyGridFont();
        m_print->computeMaxEntries();
    }
    m_findForm->readSettings();
    m_unicodeActions->readSetting();
}

bool TMainForm::confirmSaveChanges()
{
    return m_files.ConfirmSaveChanges();
}

void TMainForm::writeReopenFile()
{
    m_reopen.WriteReopenFile(m_editor.paths().programFolder + ReopenList::FileName, m_messages);
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    return QMainWindow::eventFilter(watched, event);
}

} // namespace quorvex
