#include "GridPainter.h"

#include "appearance/gui/CellIcons.h"
#include "appearance/gui/GridCellDelegate.h"
#include "appearance/gui/GridHeaderView.h"
#include "document/core/Editor.h"
#include "document/gui/StringGrid.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>

namespace quorvex {

namespace {

ColorRef colorRef(const QColor &c)
{
    return static_cast<ColorRef>(c.red() + 256 * c.green() + 65536 * c.blue());
}

} // namespace

GridPainter::GridPainter(Editor &editor, QObject *parent)
    : QObject(parent), m_editor(editor), m_cells(editor.gridAppearance, editor.gridSkins)
{
    CellIcons::install(m_cells);
}

void GridPainter::install(StringGrid *grid)
{
    m_grid = grid;
    grid->setShowGrid(false);
    grid->setItemDelegate(new GridCellDelegate(*this, grid));
    // The painted headers take over the behaviour the grid gave its own.
    const auto adopt = [&](QHeaderView *old, QHeaderView *painted) {
        painted->setSectionsMovable(old->sectionsMovable());
        painted->setSectionResizeMode(old->sectionResizeMode(0 < old->count() ? 0 : 0));
        painted->setHighlightSections(old->highlightSections());
        painted->setMinimumSectionSize(old->minimumSectionSize());
        painted->setDefaultSectionSize(old->defaultSectionSize());
        painted->setDefaultAlignment(old->defaultAlignment());
        painted->setSectionsClickable(old->sectionsClickable());
        return painted;
    };
    const QHeaderView::ResizeMode hMode = grid->horizontalHeader()->count() > 0
                                              ? grid->horizontalHeader()->sectionResizeMode(0)
                                              : QHeaderView::Interactive;
    const QHeaderView::ResizeMode vMode = grid->verticalHeader()->count() > 0
                                              ? grid->verticalHeader()->sectionResizeMode(0)
                                              : QHeaderView::Fixed;
    auto *columns = adopt(grid->horizontalHeader(), new GridHeaderView(*this, m_editor, Qt::Horizontal, grid));
    auto *rows = adopt(grid->verticalHeader(), new GridHeaderView(*this, m_editor, Qt::Vertical, grid));
    grid->setHorizontalHeader(columns);
    grid->setVerticalHeader(rows);
    columns->setSectionResizeMode(hMode);
    rows->setSectionResizeMode(vMode);
    m_corner = grid->findChild<QAbstractButton *>();
    if (m_corner)
        m_corner->installEventFilter(this);
    applyDesktopColours(grid->palette());
}

void GridPainter::applyDesktopColours(const QPalette &palette)
{
    m_editor.gridAppearance.applyButtonFace(colorRef(palette.color(QPalette::Button)));
    GridMetrics m = m_cells.metrics();
    m.buttonHighlight = colorRef(palette.color(QPalette::Light));
    m.buttonShadow = colorRef(palette.color(QPalette::Dark));
    m_cells.setMetrics(m);
}

int GridPainter::dataOriginX() const
{
    return m_grid && m_grid->verticalHeader()->isVisible() ? m_grid->verticalHeader()->width() : 0;
}

PixelRect GridPainter::cellRect(const QRect &section) const
{
    // A section is the cell and the line-width pixels right of and below it;
    // with a negative width the cell reaches into its neighbours, which are
    // painted after it.
    const int line = m_grid ? m_grid->gridLineWidth() : std::max(0, m_editor.gridAppearance.gridLineWidth);
    return {section.x(), section.y(), std::max(0, section.width() - line), std::max(0, section.height() - line)};
}

QtCellCanvas GridPainter::canvasFor(QPainter &painter)
{
    const QFont font = m_grid ? m_grid->font() : painter.font();
    const QString key = font.key();
    if (key != m_fontKey) {
        m_advances = QtCellCanvas::advancesOf(font);
        m_wideAdvances.clear();
        m_fontKey = key;
    }
    GridMetrics m = m_cells.metrics();
    m.defaultRowHeight = m_editor.document().RowHeight();
    m.fontHeight = GridCells::fontHeightOf(m_editor.gridFont.size);
    m_cells.setMetrics(m);
    return QtCellCanvas(painter, font, m_advances, m_editor.document().textEncoding(), &m_wideAdvances);
}

int GridPainter::documentRow(int gridRow) const
{
    return m_editor.shownRows().documentRow(gridRow);
}

void GridPainter::paintDataCell(QPainter *painter, const QRect &section, int col, int row, bool selected,
                                bool focused)
{
    QtCellCanvas canvas = canvasFor(*painter);
    const PixelRect rect = cellRect(section);
    CellState state;
    state.selected = selected;
    state.focused = focused;
    m_cells.paintCell(canvas, row, rect, state, m_editor.document().cellView(col, row), rect.left + dataOriginX());
}

void GridPainter::paintFixedCell(QPainter *painter, const QRect &section, int col, int row, int skinLeft)
{
    QtCellCanvas canvas = canvasFor(*painter);
    CellState state;
    state.fixed = true;
    m_cells.paintCell(canvas, row, cellRect(section), state, m_editor.document().cellView(col, row), skinLeft);
}

bool GridPainter::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_corner && event->type() == QEvent::Paint) {
        QPainter painter(m_corner);
        paintFixedCell(&painter, m_corner->rect(), 0, 0, 0);
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace quorvex
