#pragma once

#include <QHeaderView>

namespace quorvex {

class Editor;
class GridPainter;

// Row 0 (horizontal) or column 0 (vertical) of the main grid, painted as the
// grid's fixed cells. The header row is as high as the grid's rows.
class GridHeaderView final : public QHeaderView {
    Q_OBJECT
public:
    GridHeaderView(GridPainter &painter, Editor &editor, Qt::Orientation orientation, QWidget *parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;

private:
    GridPainter &m_painter;
    Editor &m_editor;
};

} // namespace quorvex
