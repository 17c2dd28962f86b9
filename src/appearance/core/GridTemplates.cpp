#include "GridTemplates.h"

#include "ColorTable.h"

namespace quorvex {

namespace {

// Entries of the colour table.
enum : int {
    Aqua = 0, Banana = 1, Black = 2, BluePaint = 4, Button = 5, Maroon = 10, Navy = 11, Silver = 15, White = 17
};

struct Template {
    const char *name;
    // fixed, fixed font, odd, odd font, even, even font, selected, selected font
    std::array<int, 8> colours;
    std::array<const char *, 3> backgrounds;
    int lineWidth;
};

constexpr const char *None = "none";

const std::array<Template, GridTemplates::Count - 1> Templates{{
    {"Odds Highlighted", {Button, Black, Banana, Black, White, Black, BluePaint, White}, {None, None, None}, 1},
    {"None Highlighted", {Button, Black, White, Black, White, Black, BluePaint, White}, {None, None, None}, 1},
    {"Text Only", {White, Black, White, Black, White, Black, BluePaint, White}, {None, None, None}, -3},
    {"Odds Aqua", {Button, Black, Aqua, Black, White, Black, BluePaint, White}, {None, None, None}, 1},
    {"Fixed Clouds", {Button, Black, Banana, Black, White, Black, BluePaint, White}, {"Clouds001.jpg", None, None}, 1},
    {"All Clouds 1", {Button, Black, Banana, Black, White, Black, BluePaint, White},
     {"Clouds001.jpg", "Clouds001.jpg", "Clouds001.jpg"}, 1},
    {"All Clouds 2", {Button, Black, Banana, Black, White, Black, BluePaint, White},
     {"Clouds002.bmp", "Clouds002.bmp", "Clouds002.bmp"}, 1},
    {"All Clouds 3", {Button, Black, Banana, Black, Aqua, White, BluePaint, Aqua},
     {"Clouds001.jpg", "Clouds002.bmp", "Clouds003.bmp"}, 1},
    {"Fixed Wood", {Button, White, Banana, Black, White, Black, Maroon, White}, {"Wood001.bmp", None, None}, 1},
    {"All Wood 1", {Button, White, Banana, White, White, White, Maroon, White},
     {"Wood001.bmp", "Wood002.bmp", "Wood003.bmp"}, 1},
    {"All Wood 2", {Button, White, Banana, White, White, White, Maroon, White},
     {"Wood001.bmp", "Wood001.bmp", "Wood002.bmp"}, 1},
    {"All Stone", {Button, White, Banana, White, White, Black, Silver, Navy},
     {"Stone001.bmp", "Stone002.bmp", "Stone003.bmp"}, 1},
}};

} // namespace

std::string GridTemplates::name(int index)
{
    if (index == 0)
        return "Choose One";
    if (index < 1 || index >= Count)
        return {};
    return Templates[static_cast<std::size_t>(index - 1)].name;
}

bool GridTemplates::apply(int index, GridAppearance &a, ColorRef buttonFace)
{
    if (index < 1 || index >= Count)
        return false;
    const Template &t = Templates[static_cast<std::size_t>(index - 1)];
    GridColor *targets[8] = {&a.fixedColor, &a.fixedFontColor, &a.oddRowColor,   &a.oddFontColor,
                             &a.evenRowColor, &a.evenFontColor, &a.selectedColor, &a.selectedFontColor};
    for (std::size_t i = 0; i < 8; ++i)
        *targets[i] = {t.colours[i], ColorTable::colorOfEntry(t.colours[i], buttonFace)};
    a.fixedLineColor = {Black, ColorTable::colorOfEntry(Black, buttonFace)};
    a.gridLineColor = {Silver, ColorTable::colorOfEntry(Silver, buttonFace)};
    a.fixedBackground = t.backgrounds[0];
    a.oddBackground = t.backgrounds[1];
    a.evenBackground = t.backgrounds[2];
    a.gridLineWidth = t.lineWidth;
    return true;
}

} // namespace quorvex
