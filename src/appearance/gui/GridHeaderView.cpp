#include "GridHeaderView.h"

#include "appearance/gui/GridPainter.h"
#include "document/core/Editor.h"

#include <QTableView>

#include <algorithm>

namespace quorvex {

GridHeaderView::GridHeaderView(GridPainter &painter, Editor &editor, Qt::Orientation orientation, QWidget *parent)
    : QHeaderView(orientation, parent), m_painter(painter), m_editor(editor)
{
}

QSize GridHeaderView::sizeHint() const
{
    // Sizes come from the grid, never from measuring the model's texts: the
    // window sets the page-number column's width, and the header row is as
    // high as the rows.
    if (orientation() == Qt::Vertical)
        return QSize(std::max(width(), minimumWidth()), defaultSectionSize());
    const auto *view = qobject_cast<const QTableView *>(parentWidget());
    const int height = view ? view->verticalHeader()->defaultSectionSize() : defaultSectionSize();
    return QSize(length(), height);
}

void GridHeaderView::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    if (!rect.isValid())
        return;
    // Section s of the column header is document cell (s + 1, 0); of the row header (0, the row it shows).
    if (orientation() == Qt::Horizontal)
        m_painter.paintFixedCell(painter, rect, logicalIndex + 1, 0, rect.x() + m_painter.dataOriginX());
    else
        m_painter.paintFixedCell(painter, rect, 0, m_painter.documentRow(logicalIndex), rect.x());
}

} // namespace quorvex
