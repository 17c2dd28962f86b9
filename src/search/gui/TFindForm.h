#pragma once

#include "platform/gui/QtMessageService.h"
#include "search/core/GridSearch.h"

#include <QDialog>

#include <functional>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace quorvex {

class Editor;

// The find and replace window: not modal, kept above the main window, in the
// "Find Text" or the "Find and Replace Text" layout.
class TFindForm final : public QDialog, public FindWindowHooks {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 410;

    TFindForm(Editor &editor, QTableView *grid, QWidget *mainWindow);
    ~TFindForm() override;

    GridSearch &search() { return m_search; }
    bool replaceMode() const { return m_replaceMode; }
    // find.mtr from the program folder at start-up; silent when unreadable.
    void readSettings();
    std::string settingsPath() const;
    // The main window's Find (false) and Replace (true) commands.
    void showFor(bool replaceMode);
    // Whether the main window's Find Next item is enabled: as the window's button.
    bool findNextEnabled() const;

    // FindWindowHooks
    MessageAnswer askReplace() override;
    void followFoundCell(int col, int row) override;

public slots:
    void FindBtnClick();
    void FindNextBtnClick();
    void ReplaceBtnClick();
    void ReplaceAllBtnClick();
    void CloseBtnClick();
    void TextToFindEditChange();

signals:
    void findNextEnabledChanged(bool enabled);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void FormShow();
    void takeControls();
    bool busy() const;

    Editor &m_editor;
    QTableView *m_grid;
    GridSearch m_search;
    QtMessageService m_messages;
    bool m_replaceMode = false;

    QLabel *m_Label1 = nullptr;
    QLineEdit *m_TextToFindEdit = nullptr;
    QLabel *m_ReplaceLbl = nullptr;
    QLineEdit *m_ReplaceEdit = nullptr;
    QCheckBox *m_EntireCellChkBox = nullptr;
    QCheckBox *m_PromptChkBox = nullptr;
    QCheckBox *m_FollowChkBox = nullptr;
    QPushButton *m_FindBtn = nullptr;
    QPushButton *m_FindNextBtn = nullptr;
    QPushButton *m_ReplaceBtn = nullptr;
    QPushButton *m_ReplaceAllBtn = nullptr;
    QPushButton *m_CloseBtn = nullptr;
};

} // namespace quorvex
