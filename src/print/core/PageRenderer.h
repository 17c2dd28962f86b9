#pragma once

#include "PrintLayout.h"

#include <string>

namespace quorvex {

class ListDocument;

// One page as it is painted: the print grid (the header row and M entry rows
// of the taken columns), where everything goes and the footer text.
struct PageContent {
    long long pageNumber = 0;
    const ListDocument &printGrid;
    const PageGeometry &geometry;
    const std::string &footer;
};

// Paints a page image from its content; the device then sends that image.
class PageRenderer {
public:
    virtual ~PageRenderer() = default;
    virtual bool render(const PageContent &page) = 0;
};

} // namespace quorvex
