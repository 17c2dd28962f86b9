#pragma once

#include "appearance/core/GridCells.h"
#include "appearance/gui/QtCellCanvas.h"
#include "platform/core/LargePages.h"
#include "print/core/PageRenderer.h"

#include <QFont>
#include <QImage>


namespace quorvex {

// Paints each page into the page image, a white picture of a fixed size
// whatever the printer; the device then stretches it over the paper. The
// cells are painted by the grid's own cell painter in the grid's look.
class QtPageRenderer final : public PageRenderer {
public:
    // `gridFont` is the screen grid's font; the page uses it at the print size.
    // Without a look of its own (the command-line tool) the default look is used.
    explicit QtPageRenderer(const QFont &gridFont, const GridAppearance *appearance = nullptr,
                            const GridSkins *skins = nullptr);

    bool render(const PageContent &page) override;
    const QImage &image() const { return m_image; }

private:
    void allocateImage(int width, int height);

    QFont m_font;
    // The page image's pixels, declared before the image that paints on them.
    LargePages::Array<uchar> m_pixels;
    QImage m_image;
    GridAppearance m_defaultLook;
    GridSkins m_noSkins;
    GridCells m_cells;
    int m_advancesSize = -1;
    QtCellCanvas::Advances m_advances{};
    QtCellCanvas::WideAdvances m_wideAdvances;
};

} // namespace quorvex
