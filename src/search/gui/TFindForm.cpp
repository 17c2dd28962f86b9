#include "TFindForm.h"
#include "document/gui/ListTableModel.h"

#include "platform/gui/FontFit.h"
#include "document/core/Editor.h"
#include "platform/gui/ListText.h"
#include "search/core/FindSettingsFile.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QWindow>

namespace quorvex {

namespace {

constexpr int FindLayoutHeight = 112;
constexpr int ReplaceLayoutHeight = 137;
constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 25;

// While Replace All runs, window events are let through for painting only:
// keys, clicks and drops reach nothing but the run's own question, so no
// other command can change the list under the run.
class RunInputBlocker final : public QObject {
public:
    RunInputBlocker() { qApp->installEventFilter(this); }
    ~RunInputBlocker() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
            break;
        default:
            return false;
        }
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return true;
        if (auto *widget = qobject_cast<QWidget *>(watched))
            return !(widget == modal || modal->isAncestorOf(widget));
        if (auto *window = qobject_cast<QWindow *>(watched))
            return window != modal->window()->windowHandle();
        return true;
    }
};

QPushButton *makeButton(const char *caption, const char *name, const char *hint, QWidget *parent)
{
    auto *button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    if (hint)
        button->setToolTip(QString::fromUtf8(hint));
    button->resize(ButtonWidth, ButtonHeight);
    // The layout names the default button; focus does not move it.
    button->setAutoDefault(false);
    return button;
}

QCheckBox *makeCheck(const char *caption, const char *name, QWidget *parent)
{
    auto *box = new QCheckBox(QString::fromUtf8(caption), parent);
    box->setObjectName(QString::fromLatin1(name));
    box->resize(200, 17);
    return box;
}

} // namespace

TFindForm::TFindForm(Editor &editor, QTableView *grid, QWidget *mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_editor(editor),
      m_grid(grid),
      m_search(editor, this),
      m_messages(this)
{
    setObjectName(QStringLiteral("FindForm"));
    // Grows past its pixel sizes where the desktop font needs it.
    FontFit::install(this);
    setModal(false);
    setWindowTitle(QStringLiteral("Find Text"));

    m_Label1 = new QLabel(QStringLiteral("&Text to find:"), this);
    m_Label1->setObjectName(QStringLiteral("Label1"));
    m_Label1->setGeometry(8, 11, 86, 17);
    m_TextToFindEdit = new QLineEdit(this);
    m_TextToFindEdit->setObjectName(QStringLiteral("TextToFindEdit"));
    m_TextToFindEdit->setGeometry(96, 8, 306, 22);
    m_Label1->setBuddy(m_TextToFindEdit);
    m_ReplaceLbl = new QLabel(QStringLiteral("Replace &with:"), this);
    m_ReplaceLbl->setObjectName(QStringLiteral("ReplaceLbl"));
    m_ReplaceLbl->setGeometry(8, 36, 86, 17);
    m_ReplaceEdit = new QLineEdit(this);
    m_ReplaceEdit->setObjectName(QStringLiteral("ReplaceEdit"));
    m_ReplaceEdit->setGeometry(96, 33, 306, 22);
    m_ReplaceLbl->setBuddy(m_ReplaceEdit);

    m_EntireCellChkBox = makeCheck("&Match entire cell text", "EntireCellChkBox", this);
    m_PromptChkBox = makeCheck("&Prompt before replace", "PromptChkBox", this);
    m_PromptChkBox->setChecked(true);
    m_FollowChkBox = makeCheck("&Search window follows text", "FollowChkBox", this);

    m_FindBtn = makeButton("&Find First", "FindBtn", "Starts from first cell.", this);
    m_FindNextBtn = makeButton("Find &Next", "FindNextBtn", "Starts from next occurance from last find", this);
    m_ReplaceBtn = makeButton("&Replace", "ReplaceBtn", "Starts from selected cell.", this);
    m_ReplaceAllBtn = makeButton("Replace &All", "ReplaceAllBtn", "Starts from selected cell.", this);
    m_CloseBtn = makeButton("&Close", "CloseBtn", nullptr, this);
    for (QPushButton *b : {m_FindBtn, m_FindNextBtn, m_ReplaceBtn, m_ReplaceAllBtn})
        b->setEnabled(false);

    connect(m_TextToFindEdit, &QLineEdit::textChanged, this, &TFindForm::TextToFindEditChange);
    connect(m_FindBtn, &QPushButton::clicked, this, &TFindForm::FindBtnClick);
    connect(m_FindNextBtn, &QPushButton::clicked, this, &TFindForm::FindNextBtnClick);
    connect(m_ReplaceBtn, &QPushButton::clicked, this, &TFindForm::ReplaceBtnClick);
    connect(m_ReplaceAllBtn, &QPushButton::clicked, this, &TFindForm::ReplaceAllBtnClick);
    connect(m_CloseBtn, &QPushButton::clicked, this, &TFindForm::CloseBtnClick);

    FormShow();
    // Opens centred on the desktop.
    if (QScreen *screen = mainWindow ? mainWindow->screen() : QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

TFindForm::~TFindForm() = default;

std::string TFindForm::settingsPath() const
{
    return FindSettingsFile::pathIn(m_editor.paths().programFolder);
}

void TFindForm::readSettings()
{
    const FindOptions current{m_EntireCellChkBox->isChecked(), m_PromptChkBox->isChecked(),
                              m_FollowChkBox->isChecked()};
    const FindOptions read = FindSettingsFile::read(settingsPath(), current);
    m_EntireCellChkBox->setChecked(read.entireCell);
    m_PromptChkBox->setChecked(read.prompt);
    m_FollowChkBox->setChecked(read.follow);
}

void TFindForm::takeControls()
{
    m_search.options.entireCell = m_EntireCellChkBox->isChecked();
    m_search.options.prompt = m_PromptChkBox->isChecked();
    m_search.options.follow = m_FollowChkBox->isChecked();
    m_search.textToFind = ListText::fromUnicode(m_TextToFindEdit->text(), m_editor.document().textEncoding());
    m_search.replaceWith = ListText::fromUnicode(m_ReplaceEdit->text(), m_editor.document().textEncoding());
}

bool TFindForm::busy() const
{
    return m_editor.longOperationRunning;
}

bool TFindForm::findNextEnabled() const
{
    return m_FindNextBtn->isEnabled();
}

void TFindForm::showFor(bool replaceMode)
{
    if (busy())
        return;
    CloseBtnClick();
    m_replaceMode = replaceMode;
    show();
    raise();
    activateWindow();
    m_TextToFindEdit->setFocus();
    TextToFindEditChange();
    m_editor.RefreshStatusBar();
}

void TFindForm::TextToFindEditChange()
{
    const bool any = !m_TextToFindEdit->text().isEmpty();
    for (QPushButton *b : {m_FindBtn, m_FindNextBtn, m_ReplaceBtn, m_ReplaceAllBtn})
        b->setEnabled(any);
    emit findNextEnabledChanged(any);
}

void TFindForm::showEvent(QShowEvent *event)
{
    FormShow();
    QDialog::showEvent(event);
}

void TFindForm::FormShow()
{
    const bool r = m_replaceMode;
    setWindowTitle(r ? QStringLiteral("Find and Replace Text") : QStringLiteral("Find Text"));
    setFixedSize(ClientWidth, r ? ReplaceLayoutHeight : FindLayoutHeight);
    const int buttonsTop = r ? 104 : 80;
    m_FindBtn->move(r ? 7 : 83, buttonsTop);
    m_FindNextBtn->move(r ? 87 : 163, buttonsTop);
    m_ReplaceBtn->move(167, buttonsTop);
    m_ReplaceAllBtn->move(247, buttonsTop);
    m_CloseBtn->move(r ? 327 : 243, buttonsTop);
    m_EntireCellChkBox->move(8, r ? 64 : 40);
    m_FollowChkBox->move(8, r ? 81 : 57);
    m_PromptChkBox->move(214, 64);
    for (QWidget *w : std::initializer_list<QWidget *>{m_ReplaceEdit, m_ReplaceLbl, m_ReplaceBtn, m_ReplaceAllBtn,
                                                        m_PromptChkBox})
        w->setVisible(r);
    m_FindNextBtn->setDefault(!r);
    m_ReplaceBtn->setDefault(r);
}

void TFindForm::FindBtnClick()
{
    if (busy())
        return;
    takeControls();
    m_search.FindFirst();
    if (isVisible() && m_FindNextBtn->isEnabled())
        m_FindNextBtn->setFocus();
}

void TFindForm::FindNextBtnClick()
{
    if (busy())
        return;
    takeControls();
    m_search.FindNext();
}

void TFindForm::ReplaceBtnClick()
{
    if (busy())
        return;
    takeControls();
    m_search.Replace();
}

void TFindForm::ReplaceAllBtnClick()
{
    if (busy())
        return;
    takeControls();
    RunInputBlocker blocker;
    m_search.ReplaceAll();
}

void TFindForm::CloseBtnClick()
{
    hide();
    takeControls();
    FindSettingsFile::write(settingsPath(), m_search.options, m_editor.services().messages);
}

void TFindForm::closeEvent(QCloseEvent *event)
{
    // The close box only hides the window; Close also saves the options.
    event->accept();
    hide();
}

void TFindForm::reject()
{
    hide();
}

MessageAnswer TFindForm::askReplace()
{
    return m_messages.showAt(frameGeometry().topLeft(), MessageKind::Confirmation, GridSearch::ReplaceQuestion,
                             MessageButtons::YesNoCancel);
}

void TFindForm::followFoundCell(int col, int row)
{
    if (!m_grid || !m_grid->model() || !isVisible())
        return;
    // Under a filter the grid's rows are the shown rows only.
    const auto *list = qobject_cast<const ListTableModel *>(m_grid->model());
    const QModelIndex index = m_grid->model()->index(list ? list->modelRow(row) : row - 1, col - 1);
    m_grid->scrollTo(index);
    const QRect local = m_grid->visualRect(index);
    if (!local.isValid())
        return;
    const QRect cell(m_grid->viewport()->mapToGlobal(local.topLeft()), local.size());
    const QRect gridArea(m_grid->mapToGlobal(QPoint(0, 0)), m_grid->size());
    const QRect frame = frameGeometry();
    // Above the cell when the window fits there within the grid, else just below it;
    // left-aligned with the cell unless that runs past the grid's right edge.
    const int top = cell.top() - frame.height() < gridArea.top() ? cell.bottom() + 1 : cell.top() - frame.height();
    const int left = cell.left() + frame.width() > gridArea.right() ? cell.right() + 1 - frame.width() : cell.left();
    move(left, top);
}

} // namespace quorvex
