#pragma once

#include "document/core/GridAppearance.h"

#include <array>
#include <string>

namespace quorvex {

// The ready-made looks of the template box. Index 0 ("Choose One") is no
// template; it is what the box shows whenever the look is not one just applied.
class GridTemplates {
public:
    static constexpr int Count = 13;
    static constexpr int OddsHighlighted = 1;
    static constexpr int TextOnly = 3;

    static std::string name(int index);
    // Sets every colour (entry and colour), the three backgrounds and the line
    // width of template 1 to 12; false, and nothing changed, for any other index.
    static bool apply(int index, GridAppearance &appearance, ColorRef buttonFace);
};

} // namespace quorvex
