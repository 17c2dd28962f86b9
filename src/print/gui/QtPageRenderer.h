#pragma once

#include "print/core/PageRenderer.h"

#include <QFont>
#include <QImage>

namespace quorvex {

// Paints each page into the page image, a white picture of a fixed size
// whatever the printer; the device then stretches it over the paper.
class QtPageRenderer final : public PageRenderer {
public:
    // `gridFont` is the screen grid's font; the page uses it at the print size.
    explicit QtPageRenderer(const QFont &gridFont) : m_font(gridFont) {}

    bool render(const PageContent &page) override;
    const QImage &image() const { return m_image; }

private:
    QFont m_font;
    QImage m_image;
};

} // namespace quorvex
