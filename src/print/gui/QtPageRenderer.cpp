#include "QtPageRenderer.h"

#include "appearance/gui/CellIcons.h"
#include "document/core/ListDocument.h"
#include "platform/core/LargePages.h"

#include <QPainter>


namespace quorvex {

QtPageRenderer::QtPageRenderer(const QFont &gridFont, const GridAppearance *appearance, const GridSkins *skins)
    : m_font(gridFont), m_cells(appearance ? *appearance : m_defaultLook, skins ? *skins : m_noSkins)
{
    CellIcons::install(m_cells);
}

void QtPageRenderer::allocateImage(int width, int height)
{
    m_image = QImage();
    m_pixels.reset();
    // In 2 MB pages where the system offers them: the first clearing of a page
    // image of 4 KB pages takes thousands of page faults, which on a loaded
    // machine made the first page arrive a tenth of a second late.
    m_pixels.reset(static_cast<uchar *>(
        LargePages::allocate(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4)));
    if (!m_pixels)
        return;
    m_image = QImage(m_pixels.get(), width, height, static_cast<qsizetype>(width) * 4, QImage::Format_RGB32);
}

bool QtPageRenderer::render(const PageContent &page)
{
    const PageGeometry &g = page.geometry;
    if (g.imageWidth <= 0 || g.imageHeight <= 0)
        return false;
    // The image keeps its size from page to page; only its pixels are cleared.
    if (m_image.width() != g.imageWidth || m_image.height() != g.imageHeight)
        allocateImage(g.imageWidth, g.imageHeight);
    if (m_image.isNull())
        return false;
    m_image.fill(Qt::white);

    QFont font = m_font;
    font.setPointSize(g.fontSize > 0 ? g.fontSize : 1);
    QPainter painter(&m_image);
    if (m_advancesSize != font.pointSize()) {
        m_advances = QtCellCanvas::advancesOf(font);
        m_wideAdvances.clear();
        m_advancesSize = font.pointSize();
    }
    GridMetrics metrics = m_cells.metrics();
    metrics.defaultRowHeight = g.rowHeight;
    metrics.fontHeight = GridCells::fontHeightOf(g.fontSize);
    m_cells.setMetrics(metrics);
    const ListDocument &grid = page.printGrid;
    QtCellCanvas canvas(painter, font, m_advances, grid.textEncoding(), &m_wideAdvances);
    const int cols = std::min<int>(grid.ColCount(), static_cast<int>(g.colRight.size()));
    const int rows = std::min<int>(grid.RowCount(), static_cast<int>(g.rowBottom.size()));
    for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < cols; ++col) {
            const PageGeometry::Rect r = g.cellRect(col, row);
            m_cells.paintPageCell(canvas, row, PixelRect{r.left, r.top, r.width(), r.height()}, grid.cellView(col, row));
        }
    }

    // The 2-pixel bevel around the table: gray top and left, black bottom and right.
    const PageGeometry::Rect f = g.frameRect();
    const QColor gray(0x80, 0x80, 0x80);
    painter.fillRect(QRect(f.left, f.top, f.width(), 2), gray);
    painter.fillRect(QRect(f.left, f.top, 2, f.height()), gray);
    painter.fillRect(QRect(f.left, f.bottom - 2, f.width(), 2), Qt::black);
    painter.fillRect(QRect(f.right - 2, f.top, 2, f.height()), Qt::black);

    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(Qt::white);
    // The footer names the list by its file name, which is UTF-8 like every path.
    const QString footer = QString::fromUtf8(page.footer.data(), static_cast<qsizetype>(page.footer.size()));
    painter.drawText(QRect(g.leftIndent, g.footerY, g.imageWidth - g.leftIndent, g.imageHeight - g.footerY),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, footer);
    return painter.end();
}

} // namespace quorvex
