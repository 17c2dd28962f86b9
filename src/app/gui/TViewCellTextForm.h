#pragma once

#include "app/core/CellTextSession.h"
#include "document/core/FontChoice.h"

#include <QDialog>

#include <functional>
#include <initializer_list>

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;

namespace quorvex {
class CellTextBox;
}

namespace quorvex {

class Editor;

// The window that shows the current cell's whole text for reading and editing.
class TViewCellTextForm final : public QDialog {
    Q_OBJECT
public:
    TViewCellTextForm(Editor &editor, QWidget *parent = nullptr);

    QPlainTextEdit *richEdit() const;
    CellTextSession &session() { return m_session; }
    QString lengthPanelText() const;
    QString selectionPanelText() const;
    QAction *saveAction() const { return m_SaveBtn; }
    // Called after each save so the main window can refresh its menus and preview.
    std::function<void()> onSaved;

public slots:
    void SaveBtnClick();
    void CloseBtnClick();
    void FontBtnClick();
    void SaveFontBtnClick();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void reject() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormShow();
    void RichEditChange();
    void RichEditSelectionChange();
    void Edit1Click();
    void PopupMenu1Popup();
    void applyMenuState(QAction *paste, std::initializer_list<QAction *> selectionItems);
    void refreshPanels();
    void applyStates();
    std::string boxText() const;
    void loadBox(const std::string &cellText);
    void applyFont();
    QAction *addEditAction(QMenu *menu, const char *name, const char *caption, const std::function<void()> &run);
    // Cut, Copy, Paste, Delete and Select All, for the Edit menu or the pop-up menu.
    void addEditActions(QMenu *menu, bool popup);

    Editor &m_editor;
    CellTextSession m_session;
    FontChoice m_font;
    CellTextBox *m_RichEdit = nullptr;
    QLabel *m_panel0 = nullptr;
    QLabel *m_panel1 = nullptr;
    QMenu *m_Edit1 = nullptr;
    QMenu *m_PopupMenu1 = nullptr;
    QAction *m_SaveBtn = nullptr, *m_FontBtn = nullptr, *m_SaveFontBtn = nullptr, *m_CloseBtn = nullptr;
    QAction *m_UndoBtn = nullptr, *m_RedoBtn = nullptr, *m_CutBtn = nullptr, *m_CopyBtn = nullptr,
            *m_PasteBtn = nullptr, *m_DeleteBtn = nullptr, *m_SelectAllBtn = nullptr;
    QAction *m_Cut1 = nullptr, *m_Copy1 = nullptr, *m_Paste1 = nullptr, *m_Delete1 = nullptr,
            *m_SelectAll1 = nullptr, *m_Close1 = nullptr;
    bool m_loading = false;
    int m_boxLength = 0;
};

} // namespace quorvex
