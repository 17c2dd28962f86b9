#pragma once

#include "appearance/core/GridCells.h"
#include "appearance/gui/QtCellCanvas.h"

#include <QObject>
#include <QRect>

class QAbstractButton;
class QPainter;
class QPalette;

namespace quorvex {

class Editor;
class StringGrid;

// Draws every cell of the main grid through the cell painter: the data cells
// through a delegate, row 0 and column 0 through the two header views, and
// the corner cell. Reads the editor's grid appearance, skins and font anew
// for every cell.
class GridPainter final : public QObject {
    Q_OBJECT
public:
    GridPainter(Editor &editor, QObject *parent = nullptr);

    // Puts the delegate, the painted headers and the corner onto the grid.
    void install(StringGrid *grid);
    // Fills the "Button" colours and the bevel colours from the desktop.
    void applyDesktopColours(const QPalette &palette);

    // `section` is the cell with its grid lines, in the painter's coordinates;
    // col and row are document coordinates.
    void paintDataCell(QPainter *painter, const QRect &section, int col, int row, bool selected, bool focused);
    // The document row a grid row shows (the grid shows only the shown rows under a filter).
    int documentRow(int gridRow) const;
    void paintFixedCell(QPainter *painter, const QRect &section, int col, int row, int skinLeft);
    // Where the data area starts in grid coordinates (the page-number column's width).
    int dataOriginX() const;

    GridCells &cells() { return m_cells; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    PixelRect cellRect(const QRect &section) const;
    QtCellCanvas canvasFor(QPainter &painter);

    Editor &m_editor;
    GridCells m_cells;
    StringGrid *m_grid = nullptr;
    QAbstractButton *m_corner = nullptr;
    QString m_fontKey;
    QtCellCanvas::Advances m_advances{};
    QtCellCanvas::WideAdvances m_wideAdvances;
};

} // namespace quorvex
