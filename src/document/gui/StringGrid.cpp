#include "StringGrid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <vector>

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
    horizontalHeader()->setMinimumSectionSize(DragLeastWidth);
    verticalHeader()->setSectionsMovable(true);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setHighlightSections(false);
    verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    // Sections may be narrower than a cell (negative line widths) or hold nothing but lines.
    verticalHeader()->setMinimumSectionSize(0);
    m_cellHeight = verticalHeader()->defaultSectionSize();
}

void StringGrid::setGridLineWidth(int width)
{
    if (width == m_lineWidth)
        return;
    QHeaderView *columns = horizontalHeader();
    std::vector<int> cells;
    cells.reserve(static_cast<std::size_t>(columns->count()));
    for (int c = 0; c < columns->count(); ++c)
        cells.push_back(cellWidth(c));
    m_lineWidth = width;
    for (int c = 0; c < columns->count(); ++c)
        setCellWidth(c, cells[static_cast<std::size_t>(c)]);
    setRowPitch(pitch(m_cellHeight));
    if (m_pageColumnWidth > 0)
        verticalHeader()->setFixedWidth(pitch(m_pageColumnWidth));
    // The header row is a row like the others.
    columns->updateGeometry();
    updateGeometries();
}

void StringGrid::setCellHeight(int height)
{
    m_cellHeight = height;
    if (verticalHeader()->defaultSectionSize() != pitch(height)) {
        setRowPitch(pitch(height));
        horizontalHeader()->updateGeometry();
        updateGeometries();
    }
}

void StringGrid::setRowPitch(int size)
{
    // The header tells the view of every row it resized, one signal per row
    // of a long list; the view is told once instead.
    QHeaderView *rows = verticalHeader();
    const bool blocked = rows->blockSignals(true);
    rows->setDefaultSectionSize(size);
    rows->blockSignals(blocked);
    rows->viewport()->update();
    viewport()->update();
}

void StringGrid::setCellWidth(int column, int width)
{
    if (column < 0)
        return;
    if (static_cast<std::size_t>(column) >= m_cellWidths.size())
        m_cellWidths.resize(static_cast<std::size_t>(column) + 1, -1);
    m_cellWidths[static_cast<std::size_t>(column)] = width;
    QHeaderView *columns = horizontalHeader();
    if (columns->sectionSize(column) == pitch(width))
        return;
    // The header's least size is for dragging, and the header holds every
    // section to it: a narrower width from the list lowers it, so that the
    // width is kept as it is.
    columns->setMinimumSectionSize(0);
    columns->resizeSection(column, pitch(width));
    int least = DragLeastWidth;
    for (int c = 0; c < columns->count(); ++c)
        least = std::min(least, columns->sectionSize(c));
    columns->setMinimumSectionSize(least);
}

int StringGrid::cellWidth(int column) const
{
    const int section = horizontalHeader()->sectionSize(column);
    // A cell narrower than a negative line width has an empty section; the
    // width it was given is still its width.
    if (column >= 0 && static_cast<std::size_t>(column) < m_cellWidths.size()) {
        const int known = m_cellWidths[static_cast<std::size_t>(column)];
        if (known >= 0 && pitch(known) == section)
            return known;
    }
    return section - m_lineWidth;
}

void StringGrid::setPageColumnWidth(int width)
{
    m_pageColumnWidth = width;
    verticalHeader()->setFixedWidth(pitch(width));
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
