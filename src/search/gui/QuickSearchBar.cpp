#include "QuickSearchBar.h"

#include "document/core/Editor.h"
#include "platform/gui/ListText.h"
#include "search/core/PreEnteredText.h"
#include "search/core/QuickSearch.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QToolBar>

#include <algorithm>

namespace quorvex {

QuickSearchBar::QuickSearchBar(Editor &editor, QToolBar *toolBar, QComboBox *chooseFromListBox,
                               QComboBox *quickSearchBox, QLabel *quickSearchLbl, QWidget *grid, QObject *parent)
    : QObject(parent),
      m_editor(editor),
      m_ChooseFromListBox(chooseFromListBox),
      m_QuickSearchBox(quickSearchBox),
      m_QuickSearchLbl(quickSearchLbl),
      m_grid(grid)
{
    for (QComboBox *box : {m_ChooseFromListBox, m_QuickSearchBox}) {
        box->setEditable(true);
        // Typed texts go into the cell or the search, never into the list.
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setMaxVisibleItems(DroppedLines);
        box->setFixedWidth(BoxWidth);
        box->setEnabled(true);
        // What is typed is what counts: no completion from the list.
        box->setCompleter(nullptr);
        box->installEventFilter(this);
        box->lineEdit()->installEventFilter(this);
    }
    m_chooseEdit = m_ChooseFromListBox->lineEdit();
    m_Label2 = new QLabel(QStringLiteral("  &Choose pre-entered text: "), toolBar);
    m_Label2->setObjectName(QStringLiteral("Label2"));
    m_Label2->setBuddy(m_ChooseFromListBox);
    for (QAction *action : toolBar->actions())
        if (toolBar->widgetForAction(action) == m_ChooseFromListBox) {
            toolBar->insertWidget(action, m_Label2);
            break;
        }
    m_QuickSearchLbl->setCursor(Qt::PointingHandCursor);
    m_QuickSearchLbl->setToolTip(QStringLiteral(
        "You can change the Quick Search Column in Options -> Settings -> Miscellaneous tab."));

    // Edits by the user only: setting a box's text from code is no change.
    connect(m_ChooseFromListBox->lineEdit(), &QLineEdit::textEdited, this,
            [this](const QString &text) { ChooseFromListBoxChange(text); });
    connect(m_ChooseFromListBox, qOverload<int>(&QComboBox::activated), this,
            [this](int index) { ChooseFromListBoxChange(m_ChooseFromListBox->itemText(index)); });
    connect(m_QuickSearchBox->lineEdit(), &QLineEdit::textEdited, this,
            [this](const QString &text) { QuickSearchBoxChange(text); });
    connect(m_QuickSearchBox, qOverload<int>(&QComboBox::activated), this,
            [this](int index) { QuickSearchBoxChange(m_QuickSearchBox->itemText(index)); });
    m_focusWatch =
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *now) { focusMoved(old, now); });
    // The tool bar may go before this object does: focus moves after that must not reach the boxes.
    for (QComboBox *box : {m_ChooseFromListBox, m_QuickSearchBox})
        connect(box, &QObject::destroyed, this, [this] { disconnect(m_focusWatch); });
    currentCellShown();
}

void QuickSearchBar::focusMoved(QWidget *old, QWidget *now)
{
    auto inside = [](QWidget *w, QComboBox *box) { return w && (w == box || box->isAncestorOf(w)); };
    for (QComboBox *box : {m_ChooseFromListBox, m_QuickSearchBox}) {
        if (!inside(now, box) || inside(old, box))
            continue;
        // Coming back from the box's own dropped list or from another window is no entry.
        if (!old || (box->view() && old->window() == box->view()->window()))
            continue;
        if (box == m_ChooseFromListBox)
            ChooseFromListBoxEnter();
        else
            QuickSearchBoxEnter();
    }
}

void QuickSearchBar::setBoxText(QComboBox *box, const QString &text)
{
    const QSignalBlocker block(box);
    const QSignalBlocker blockEdit(box->lineEdit());
    box->setEditText(text);
}

void QuickSearchBar::currentCellShown()
{
    const ListDocument &doc = m_editor.document();
    const std::string shown = PreEnteredText::shownText(doc);
    // While the user types, the cell already holds what the box shows.
    if (ListText::fromUnicode(m_ChooseFromListBox->currentText(), m_editor.document().textEncoding()) != shown)
        setBoxText(m_ChooseFromListBox, ListText::toUnicode(shown, m_editor.document().textEncoding()));
    const QString label = QString::fromStdString(QuickSearch::labelText(m_editor.quickSearchColumn, doc.ColCount()));
    if (m_QuickSearchLbl->text() != label)
        m_QuickSearchLbl->setText(label);
}

void QuickSearchBar::fill(QComboBox *box, int col, const char *loadingText)
{
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    StatusBarModel &status = m_editor.statusBar();
    status.setText(0, loadingText);
    m_editor.view().statusBarChanged();
    QCoreApplication::processEvents();
    const std::vector<std::string> texts =
        PreEnteredText::collect(m_editor.document(), col, [this] { m_editor.services().progress.pumpEvents(); });
    QStringList items;
    items.reserve(static_cast<qsizetype>(texts.size()));
    for (const std::string &t : texts)
        items.push_back(ListText::toUnicode(t, m_editor.document().textEncoding()));
    std::stable_sort(items.begin(), items.end(),
                     [](const QString &a, const QString &b) { return QString::localeAwareCompare(a, b) < 0; });
    const QString typed = box->currentText();
    {
        const QSignalBlocker block(box);
        const QSignalBlocker blockEdit(box->lineEdit());
        box->clear();
        box->addItems(items);
        box->setCurrentIndex(-1);
        box->setEditText(typed);
    }
    status.setText(0, "Ready.");
    m_editor.view().statusBarChanged();
    QGuiApplication::restoreOverrideCursor();
}

void QuickSearchBar::ChooseFromListBoxEnter()
{
    fill(m_ChooseFromListBox, m_editor.document().Col(), "Loading dropdown list...");
}

void QuickSearchBar::QuickSearchBoxEnter()
{
    const ListDocument &doc = m_editor.document();
    fill(m_QuickSearchBox, QuickSearch::column(m_editor.quickSearchColumn, doc.ColCount()),
         "Loading Quick Search text...");
}

void QuickSearchBar::ChooseFromListBoxChange(const QString &text)
{
    if (m_editor.longOperationRunning)
        return;
    if (!PreEnteredText::write(m_editor, ListText::fromUnicode(text, m_editor.document().textEncoding())))
        setBoxText(m_ChooseFromListBox, QString());
}

void QuickSearchBar::QuickSearchBoxChange(const QString &text)
{
    if (m_editor.longOperationRunning)
        return;
    QuickSearch::run(m_editor, ListText::fromUnicode(text, m_editor.document().textEncoding()));
}

bool QuickSearchBar::eventFilter(QObject *watched, QEvent *event)
{
    // The type first: the boxes' own events arrive here while they are being
    // destroyed too, when neither may be asked anything.
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    if (watched == m_ChooseFromListBox || watched == m_chooseEdit) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            m_grid->setFocus();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace quorvex
