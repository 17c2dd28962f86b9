#include "ColorTable.h"

#include <array>

namespace quorvex {

namespace {

struct Entry {
    const char *name;
    int r, g, b;
};

constexpr std::array<Entry, ColorTable::EntryCount> entries{{
    {"Aqua", 0, 255, 255},    {"Banana", 255, 255, 225}, {"Black", 0, 0, 0},      {"Blue", 0, 0, 255},
    {"Blue Paint", 32, 128, 192}, {"Button", 0, 0, 0},   {"Fuchsia", 255, 0, 255}, {"Gray", 128, 128, 128},
    {"Green", 0, 128, 0},     {"Lime", 0, 255, 0},       {"Maroon", 128, 0, 0},    {"Navy", 0, 0, 128},
    {"Olive", 128, 128, 0},   {"Purple", 128, 0, 128},   {"Red", 255, 0, 0},       {"Silver", 192, 192, 192},
    {"Teal", 0, 128, 128},    {"White", 255, 255, 255},  {"Yellow", 255, 255, 0},  {"Custom...", 0, 255, 0},
}};

} // namespace

ColorRef ColorTable::colorOfEntry(int index, ColorRef buttonFace)
{
    if (index == ButtonEntry)
        return buttonFace & 0xFFFFFFu;
    if (index < 0 || index >= EntryCount)
        return Lime;
    const Entry &e = entries[static_cast<std::size_t>(index)];
    return static_cast<ColorRef>(e.r + 256 * e.g + 65536 * e.b);
}

std::string ColorTable::entryName(int index)
{
    if (index < 0 || index >= EntryCount)
        return {};
    return entries[static_cast<std::size_t>(index)].name;
}

} // namespace quorvex
