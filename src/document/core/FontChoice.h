#pragma once

#include <cstdint>
#include <string>

namespace quorvex {

// A font as the font dialogs hand it over and the font settings files keep it.
struct FontChoice {
    // Red + 256 * green + 65536 * blue; negative values name desktop colours.
    std::int32_t color = 0;
    int size = 9; // points
    std::string name = "Arial";
    int pitch = 0; // 0 default, 1 variable, 2 fixed
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;

    bool operator==(const FontChoice &o) const
    {
        return color == o.color && size == o.size && name == o.name && pitch == o.pitch && bold == o.bold &&
               italic == o.italic && underline == o.underline && strikeout == o.strikeout;
    }
    bool operator!=(const FontChoice &o) const { return !(*this == o); }
};

} // namespace quorvex
