#pragma once

#include "platform/core/RasterImage.h"

#include <string>

namespace quorvex {

// The named colours every colour box of the settings lists, in their order;
// the index is what the settings file stores.
class ColorTable {
public:
    static constexpr int EntryCount = 20;
    static constexpr int ButtonEntry = 5;
    static constexpr int CustomEntry = 19;
    static constexpr ColorRef Lime = 0x00FF00;

    // The colour of a fixed entry; "Button" is the button face passed in.
    // "Custom..." and any index outside the table give lime: the custom colour
    // comes from the colour dialog, not from the table.
    static ColorRef colorOfEntry(int index, ColorRef buttonFace);
    // "Aqua" ... "Custom..."; empty outside the table.
    static std::string entryName(int index);
};

} // namespace quorvex
