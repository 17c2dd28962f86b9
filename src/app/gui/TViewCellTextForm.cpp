#include "TViewCellTextForm.h"

#include "platform/gui/ListText.h"
#include "CellTextBox.h"
#include "FontConvert.h"
#include "document/core/Editor.h"
#include "app/core/FontSettings.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include "TFontColorDialog.h"

#include <QFontDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QShowEvent>
#include <QTextDocument>
#include <QVBoxLayout>

namespace quorvex {

TViewCellTextForm::TViewCellTextForm(Editor &editor, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_editor(editor),
      m_session(editor)
{
    setObjectName(QStringLiteral("ViewCellTextForm"));
    QWidget::setWindowTitle(QString::fromLatin1(CellTextSession::Title));
    resize(620, 445);

    m_RichEdit = new CellTextBox(this);
    m_RichEdit->setObjectName(QStringLiteral("RichEdit"));
    m_RichEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_RichEdit->setContextMenuPolicy(Qt::CustomContextMenu);
    m_RichEdit->installEventFilter(this);
    // Moving the mouse over the box refreshes the length panel.
    m_RichEdit->viewport()->setMouseTracking(true);
    m_RichEdit->viewport()->installEventFilter(this);
    QFont design(QStringLiteral("MS Sans Serif"));
    design.setPixelSize(13);
    m_RichEdit->setFont(design);

    auto *bar = new QMenuBar(this);
    QMenu *options = bar->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("Options1"));
    m_SaveBtn = options->addAction(QStringLiteral("&Save Changes"), this, &TViewCellTextForm::SaveBtnClick);
    m_SaveBtn->setObjectName(QStringLiteral("SaveBtn"));
    m_SaveBtn->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    m_FontBtn = options->addAction(QStringLiteral("&Font..."), this, &TViewCellTextForm::FontBtnClick);
    m_FontBtn->setObjectName(QStringLiteral("FontBtn"));
    m_SaveFontBtn = options->addAction(QStringLiteral("Save Font Settings"), this, &TViewCellTextForm::SaveFontBtnClick);
    m_SaveFontBtn->setObjectName(QStringLiteral("SaveFontBtn"));
    m_SaveFontBtn->setEnabled(false);
    options->addSeparator();
    m_CloseBtn = options->addAction(QStringLiteral("&Close Window"), this, &TViewCellTextForm::CloseBtnClick);
    m_CloseBtn->setObjectName(QStringLiteral("CloseBtn"));

    m_Edit1 = bar->addMenu(QStringLiteral("&Edit"));
    m_Edit1->setObjectName(QStringLiteral("Edit1"));
    m_UndoBtn = m_Edit1->addAction(QStringLiteral("&Undo"), this, [this] {
        m_RichEdit->undo();
        m_session.undoClicked();
        applyStates();
    });
    m_UndoBtn->setObjectName(QStringLiteral("UndoBtn"));
    m_RedoBtn = m_Edit1->addAction(QStringLiteral("&Redo"), this, [this] {
        m_RichEdit->redo();
        m_session.redoClicked();
        applyStates();
    });
    m_RedoBtn->setObjectName(QStringLiteral("RedoBtn"));
    m_Edit1->addSeparator();
    addEditActions(m_Edit1, false);
    connect(m_Edit1, &QMenu::aboutToShow, this, &TViewCellTextForm::Edit1Click);

    m_PopupMenu1 = new QMenu(this);
    m_PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    // The same actions under their own names.
    addEditActions(m_PopupMenu1, true);
    m_PopupMenu1->addSeparator();
    m_Close1 = m_PopupMenu1->addAction(QStringLiteral("Close &Window"), this, &TViewCellTextForm::CloseBtnClick);
    m_Close1->setObjectName(QStringLiteral("Close1"));
    connect(m_PopupMenu1, &QMenu::aboutToShow, this, &TViewCellTextForm::PopupMenu1Popup);
    connect(m_RichEdit, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_PopupMenu1->popup(m_RichEdit->viewport()->mapToGlobal(pos)); });

    m_panel0 = new QLabel(this);
    m_panel0->setObjectName(QStringLiteral("StatusPanel0"));
    m_panel0->setFixedWidth(200);
    m_panel0->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_panel1 = new QLabel(this);
    m_panel1->setObjectName(QStringLiteral("StatusPanel1"));
    m_panel1->setMinimumWidth(50);
    m_panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto *status = new QHBoxLayout;
    status->setSpacing(2);
    status->addWidget(m_panel0);
    status->addWidget(m_panel1, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setMenuBar(bar);
    layout->setContentsMargins(5, 5, 5, 2);
    layout->addWidget(m_RichEdit, 1);
    layout->addLayout(status);

    connect(m_RichEdit, &QPlainTextEdit::textChanged, this, &TViewCellTextForm::RichEditChange);
    connect(m_RichEdit, &QPlainTextEdit::selectionChanged, this, &TViewCellTextForm::RichEditSelectionChange);
    refreshPanels();
}

QAction *TViewCellTextForm::addEditAction(QMenu *menu, const char *name, const char *caption,
                                          const std::function<void()> &run)
{
    QAction *action = menu->addAction(QString::fromLatin1(caption), this, run);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

void TViewCellTextForm::addEditActions(QMenu *menu, bool popup)
{
    const auto cut = [this] { m_RichEdit->cut(); };
    const auto copy = [this] { m_RichEdit->copy(); };
    const auto paste = [this] {
        m_RichEdit->paste();
        m_session.lengthChanged(m_boxLength);
        refreshPanels();
    };
    const auto del = [this] { m_RichEdit->textCursor().removeSelectedText(); };
    const auto selectAll = [this] { m_RichEdit->selectAll(); };
    if (popup) {
        m_Cut1 = addEditAction(menu, "Cut1", "Cu&t", cut);
        m_Copy1 = addEditAction(menu, "Copy1", "&Copy", copy);
        m_Paste1 = addEditAction(menu, "Paste1", "&Paste", paste);
        m_Delete1 = addEditAction(menu, "Delete1", "&Delete", del);
        m_SelectAll1 = addEditAction(menu, "SelectAll1", "Se&lect All", selectAll);
    } else {
        m_CutBtn = addEditAction(menu, "CutBtn", "Cu&t", cut);
        m_CopyBtn = addEditAction(menu, "CopyBtn", "&Copy", copy);
        m_PasteBtn = addEditAction(menu, "PasteBtn", "&Paste", paste);
        m_DeleteBtn = addEditAction(menu, "DeleteBtn", "&Delete", del);
        m_SelectAllBtn = addEditAction(menu, "SelectAllBtn", "Se&lect All", selectAll);
    }
}

QPlainTextEdit *TViewCellTextForm::richEdit() const
{
    return m_RichEdit;
}

std::string TViewCellTextForm::boxText() const
{
    // The box's own text keeps a no-break space as it is; a line break there is
    // CR LF, as in the list's texts.
    return ListText::fromUnicode(m_RichEdit->cellText(), m_editor.document().textEncoding());
}

void TViewCellTextForm::loadBox(const std::string &cellText)
{
    m_loading = true;
    m_RichEdit->loadText(ListText::toUnicode(cellText, m_editor.document().textEncoding()));
    m_loading = false;
    m_boxLength = m_RichEdit->cellTextLength();
    m_session.lengthChanged(m_boxLength);
}

void TViewCellTextForm::applyFont()
{
    m_RichEdit->setFont(FontConvert::toQFont(m_font));
    QPalette pal = m_RichEdit->palette();
    pal.setColor(QPalette::Text, FontConvert::toQColor(m_font));
    m_RichEdit->setPalette(pal);
}

void TViewCellTextForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // A window restored from the task bar is no new showing: its edits stay.
    if (!event->spontaneous())
        FormShow();
}

void TViewCellTextForm::FormShow()
{
    if (QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    loadBox(m_session.show());
    if (FontSettings::LoadViewFont(m_editor, m_font) == 0)
        applyFont();
    m_RichEdit->setFocus();
    applyStates();
}

void TViewCellTextForm::RichEditChange()
{
    if (m_loading)
        return;
    // Counted, not built: this runs at every keystroke, also on a cell of megabytes.
    m_boxLength = m_RichEdit->cellTextLength();
    m_session.textChanged(m_boxLength);
    applyStates();
}

void TViewCellTextForm::RichEditSelectionChange()
{
    m_session.selectionChanged(m_RichEdit->selectedLength());
    refreshPanels();
}

void TViewCellTextForm::Edit1Click()
{
    applyMenuState(m_PasteBtn, {m_CutBtn, m_CopyBtn, m_DeleteBtn});
}

void TViewCellTextForm::PopupMenu1Popup()
{
    applyMenuState(m_Paste1, {m_Cut1, m_Copy1, m_Delete1});
}

// The Edit menu and the pop-up follow the same rules with their own items.
void TViewCellTextForm::applyMenuState(QAction *paste, std::initializer_list<QAction *> selectionItems)
{
    const QTextCursor cursor = m_RichEdit->textCursor();
    const bool withSelection = CellTextSession::selectionCommandsEnabled(cursor.selectionEnd() - cursor.selectionStart());
    paste->setEnabled(CellTextSession::pasteEnabled(m_editor.services().clipboard.hasText()));
    for (QAction *item : selectionItems)
        item->setEnabled(withSelection);
}

void TViewCellTextForm::refreshPanels()
{
    m_panel0->setText(lengthPanelText());
    m_panel1->setText(selectionPanelText());
}

void TViewCellTextForm::applyStates()
{
    m_SaveBtn->setEnabled(m_session.saveEnabled());
    m_UndoBtn->setEnabled(m_session.undoEnabled());
    m_RedoBtn->setEnabled(m_session.redoEnabled());
    refreshPanels();
}

QString TViewCellTextForm::lengthPanelText() const
{
    return QString::fromStdString(m_session.lengthPanel());
}

QString TViewCellTextForm::selectionPanelText() const
{
    return QString::fromStdString(m_session.selectionPanel());
}

void TViewCellTextForm::SaveBtnClick()
{
    if (!m_session.saveEnabled())
        return;
    bool ok = true;
    // The caret, the selection and the scrolling stay where they were: the saved
    // text has the same length (a line break became two blanks).
    const QTextCursor before = m_RichEdit->textCursor();
    const int anchor = m_RichEdit->textIndexOfPosition(before.anchor());
    const int caret = m_RichEdit->textIndexOfPosition(before.position());
    const int scrolled = m_RichEdit->verticalScrollBar()->value();
    const std::string typed = boxText();
    const std::string stored = m_session.save(typed, &ok);
    // Reloading also empties the box's own undo; a failed save keeps the edits in the box.
    // A text the cell took as it was (no line break, no tab) is in the box already:
    // only the box's undo goes, and a long text is not built anew.
    if (ok && stored == typed) {
        m_RichEdit->document()->clearUndoRedoStacks();
        m_boxLength = m_RichEdit->cellTextLength();
        m_session.lengthChanged(m_boxLength);
    } else if (ok) {
        loadBox(stored);
        QTextCursor after = m_RichEdit->textCursor();
        after.setPosition(m_RichEdit->positionOfTextIndex(anchor));
        after.setPosition(m_RichEdit->positionOfTextIndex(caret), QTextCursor::KeepAnchor);
        m_RichEdit->setTextCursor(after);
        m_RichEdit->verticalScrollBar()->setValue(scrolled);
    }
    applyStates();
    if (onSaved)
        onSaved();
}

void TViewCellTextForm::CloseBtnClick()
{
    if (m_session.closeWindow(boxText())) {
        if (onSaved)
            onSaved();
        QDialog::accept();
    } else {
        applyStates();
    }
}

void TViewCellTextForm::reject()
{
    // Escape and the frame's close button both ask first.
    if (m_session.frameClose(boxText())) {
        if (onSaved)
            onSaved();
        QDialog::reject();
    } else {
        applyStates();
    }
}

void TViewCellTextForm::closeEvent(QCloseEvent *event)
{
    if (m_session.closeMark() || !isVisible()) {
        event->accept();
        return;
    }
    event->ignore();
    reject();
}

void TViewCellTextForm::FontBtnClick()
{
    const std::optional<FontChoice> chosen = TFontColorDialog::choose(m_font, this);
    if (!chosen)
        return;
    m_font = *chosen;
    applyFont();
    m_SaveFontBtn->setEnabled(true);
}

void TViewCellTextForm::SaveFontBtnClick()
{
    if (FontSettings::SaveViewFont(m_editor, m_font) == 0)
        m_SaveFontBtn->setEnabled(false);
}

bool TViewCellTextForm::eventFilter(QObject *watched, QEvent *event)
{
    // The type first: the box is asked for its viewport only for a mouse move.
    if (event->type() == QEvent::MouseMove && watched == m_RichEdit->viewport()) {
        m_session.lengthChanged(m_boxLength);
        refreshPanels();
    }
    if (event->type() == QEvent::KeyPress && watched == m_RichEdit) {
        auto *key = static_cast<QKeyEvent *>(event);
        // The box takes no line breaks from the Enter key.
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace quorvex
