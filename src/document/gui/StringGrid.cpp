#include "StringGrid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

namespace quorvex {

StringGrid::StringGrid(QWidget *parent) : QTableView(parent)
{
    setObjectName(QStringLiteral("StringGrid"));
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setTabKeyNavigation(true);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    horizontalHeader()->setSectionsMovable(true);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setMinimumSectionSize(4);
    verticalHeader()->setSectionsMovable(true);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setHighlightSections(false);
    verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
}

void StringGrid::closeEditor()
{
    if (!isEditing())
        return;
    QWidget *focus = focusWidget();
    if (focus && focus != this && isAncestorOf(focus)) {
        commitData(focus);
        QTableView::closeEditor(focus, QAbstractItemDelegate::NoHint);
    }
}

void StringGrid::setInPlaceEditing(bool on)
{
    m_inPlaceEditing = on;
}

bool StringGrid::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    if (!m_inPlaceEditing && trigger != QAbstractItemView::AllEditTriggers && trigger != NoEditTriggers)
        return false;
    QModelIndex target = index;
    if ((trigger == AnyKeyPressed || trigger == EditKeyPressed) && currentCell) {
        const QModelIndex own = currentCell();
        if (own.isValid())
            target = own;
    }
    const bool opened = QTableView::edit(target, trigger, event);
    if (opened && isEditing()) {
        if (QWidget *editor = indexWidget(target))
            editor->installEventFilter(this);
    }
    return opened;
}

bool StringGrid::eventFilter(QObject *watched, QEvent *event)
{
    // The line editor takes Shift+Del as Cut and Ctrl+Del as deleting the end of
    // the word; in the grid they delete the selected rows and columns, editor
    // open or not, like the other row and column keys.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Delete &&
            (key->modifiers() == Qt::ShiftModifier || key->modifiers() == Qt::ControlModifier)) {
            event->ignore();
            return true;
        }
    }
    return QTableView::eventFilter(watched, event);
}

bool StringGrid::atLastCell() const
{
    const QModelIndex current = currentIndex();
    return model() && current.isValid() && current.row() == model()->rowCount() - 1 &&
           current.column() == model()->columnCount() - 1;
}

bool StringGrid::event(QEvent *event)
{
    // Tab never reaches keyPressEvent: the widget turns it into focus moves first.
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) && onKeyDown && onKeyDown(key))
            return true;
    }
    return QTableView::event(event);
}

bool StringGrid::viewportEvent(QEvent *event)
{
    const bool handled = QTableView::viewportEvent(event);
    if (event->type() == QEvent::Paint && hasFocus() && onPaintedWithFocus)
        onPaintedWithFocus();
    return handled;
}

void StringGrid::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    const bool tabPastEnd = hint == QAbstractItemDelegate::EditNextItem && atLastCell();
    QTableView::closeEditor(editor, tabPastEnd ? QAbstractItemDelegate::NoHint : hint);
    if (tabPastEnd && onTabPastEnd)
        onTabPastEnd();
}

void StringGrid::keyPressEvent(QKeyEvent *event)
{
    if (onKeyDown && onKeyDown(event))
        return;
    QTableView::keyPressEvent(event);
}

void StringGrid::keyReleaseEvent(QKeyEvent *event)
{
    QTableView::keyReleaseEvent(event);
    if (onKeyUp)
        onKeyUp(event);
}

void StringGrid::mouseMoveEvent(QMouseEvent *event)
{
    if (onMouseMove)
        onMouseMove(event);
    QTableView::mouseMoveEvent(event);
}

void StringGrid::mousePressEvent(QMouseEvent *event)
{
    QTableView::mousePressEvent(event);
    if (onMouseDown)
        onMouseDown(event);
}

void StringGrid::mouseReleaseEvent(QMouseEvent *event)
{
    QTableView::mouseReleaseEvent(event);
    if (onMouseUp)
        onMouseUp(event);
}

void StringGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (onDoubleClick) {
        onDoubleClick();
        return;
    }
    QTableView::mouseDoubleClickEvent(event);
}

void StringGrid::wheelEvent(QWheelEvent *event)
{
    if (onWheel)
        onWheel(event->angleDelta().y() < 0);
    QTableView::wheelEvent(event);
}

} // namespace quorvex
