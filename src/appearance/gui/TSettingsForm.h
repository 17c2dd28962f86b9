#pragma once

#include "appearance/core/FolderCommands.h"
#include "appearance/core/SettingsFile.h"
#include "appearance/core/SettingsModel.h"
#include "attachments/core/PictureLoader.h"

#include <QDialog>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableView;

namespace quorvex {

class Editor;
class FolderGroups;
class TOpenDirForm;

// Options > Settings...: the list's column headers, the grid's look, the
// quick-search column, the splash option and the folders. Every change shows
// at once; Cancel puts back what the window opened with.
class TSettingsForm final : public QDialog {
    Q_OBJECT
public:
    enum Tab { HeaderTab = 0, GridTab = 1, MiscTab = 2 };

    // `lineWidthChanged` recomputes what depends on the line width (entries
    // per page, page numbers, status bar); `showSplash` is the start-up option.
    TSettingsForm(Editor &editor, QTableView *grid, QLabel *quickSearchLbl, bool &showSplash,
                  std::function<void(int)> lineWidthChanged, QWidget *parent = nullptr);
    ~TSettingsForm() override;

    void SettingsBtnClick();
    void openOnTab(int tab);
    // Start-up: takes the valid values of "settings.mtr" from the working folder.
    void readSettingsFile();
    void writeSettingsFile();

    void applyTemplate(int index);
    void setColourEntry(int colour, int entry);
    void setBackground(SkinKind kind, int index);
    void setLineWidth(int width);

    // For the window tests.
    QTabWidget *pages() const { return m_pages; }
    QLineEdit *headerEdit(int k) const { return m_colEdits[static_cast<std::size_t>(k - 1)]; }
    QComboBox *colourBox(int colour) const { return m_colourBoxes[static_cast<std::size_t>(colour)]; }
    QLabel *swatch(int colour) const { return m_swatches[static_cast<std::size_t>(colour)]; }
    QComboBox *backgroundBox(SkinKind kind) const { return m_backBoxes[static_cast<std::size_t>(kind)]; }
    QComboBox *templateBox() const { return m_GridTemplateBox; }
    QSpinBox *lineWidthEdit() const { return m_GridLineWidthEdit; }
    QSpinBox *quickSearchEdit() const { return m_QuickSearchColEdit; }
    QCheckBox *splashBox() const { return m_ShowSplashChkBox; }
    QPushButton *okButton() const { return m_OkBtn; }
    QPushButton *cancelButton() const { return m_CancelBtn; }
    QPushButton *saveButton() const { return m_SaveBtn; }
    FolderGroups *folderGroups() const { return m_folders; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QWidget *buildHeaderTab();
    QWidget *buildGridTab();
    QWidget *buildMiscTab();

    ColorRef buttonFace() const;
    void FillColorImage(int colour);
    void showAppearance();
    void applyBackground(SkinKind kind);
    void afterSettingChange();
    void enableChangeButtons();
    void headerEdited(int k, const QString &text);
    void writeHeader(int k, const std::string &text);
    void repaintHeader(int k);
    void setQuickSearchColumn(int column);
    void DefaultBtn2Click();
    void DefaultBtn3Click();
    void CancelBtnClick();

    Editor &m_editor;
    QTableView *m_grid;
    QLabel *m_quickSearchLbl;
    bool &m_showSplash;
    std::function<void(int)> m_lineWidthChanged;
    PictureLoader m_loader;
    FolderCommands m_folderCommands;
    std::unique_ptr<TOpenDirForm> m_chooser;
    std::vector<std::string> m_backgrounds;
    SettingsSnapshot m_remembered;
    bool m_quiet = false;
    bool m_templateBusy = false;
    bool m_okUsed = false;
    bool m_opened = false;

    QTabWidget *m_pages = nullptr;
    std::array<QLineEdit *, 8> m_colEdits{};
    QPushButton *m_DefaultBtn2 = nullptr;
    std::array<QComboBox *, StoredSettings::ColourCount> m_colourBoxes{};
    std::array<QLabel *, StoredSettings::ColourCount> m_swatches{};
    std::array<QComboBox *, 3> m_backBoxes{};
    QSpinBox *m_GridLineWidthEdit = nullptr;
    QComboBox *m_GridTemplateBox = nullptr;
    QPushButton *m_DefaultBtn4 = nullptr;
    QSpinBox *m_QuickSearchColEdit = nullptr;
    QCheckBox *m_ShowSplashChkBox = nullptr;
    QPushButton *m_DefaultBtn3 = nullptr;
    FolderGroups *m_folders = nullptr;
    QPushButton *m_OkBtn = nullptr;
    QPushButton *m_CancelBtn = nullptr;
    QPushButton *m_SaveBtn = nullptr;
};

} // namespace quorvex
