#pragma once

#include "platform/core/RasterImage.h"

#include <array>
#include <string>

namespace quorvex {

// A colour of the grid's look: the colour in force and the colour-table
// entry it was chosen by (the entry only names it; the colour is what counts).
struct GridColor {
    int entry = 0;
    ColorRef color = 0;

    bool operator==(const GridColor &o) const { return entry == o.entry && color == o.color; }
};

// How the grid looks: read by the cell painter on every cell, edited by the
// settings. Colours are red + 256 x green + 65536 x blue.
struct GridAppearance {
    // Entries of the colour table the defaults name.
    static constexpr int BlackEntry = 2;
    static constexpr int BananaEntry = 1;
    static constexpr int WhiteEntry = 17;
    static constexpr int BluePaintEntry = 4;
    static constexpr int ButtonEntry = 5;
    static constexpr int SilverEntry = 15;
    // What "Button" stands for until the desktop's button face is known.
    static constexpr ColorRef DefaultButtonFace = 240 + 256 * 240 + 65536 * 240;

    GridColor fixedColor{ButtonEntry, DefaultButtonFace};
    GridColor fixedFontColor{BlackEntry, 0};
    // Odd colours belong to rows 2, 4, 6, ...; even colours to rows 1, 3, 5, ...
    GridColor oddRowColor{BananaEntry, 255 + 256 * 255 + 65536 * 225};
    GridColor oddFontColor{BlackEntry, 0};
    GridColor evenRowColor{WhiteEntry, 0xFFFFFF};
    GridColor evenFontColor{BlackEntry, 0};
    GridColor selectedColor{BluePaintEntry, 32 + 256 * 128 + 65536 * 192};
    GridColor selectedFontColor{WhiteEntry, 0xFFFFFF};
    GridColor fixedLineColor{BlackEntry, 0};
    GridColor gridLineColor{SilverEntry, 192 + 256 * 192 + 65536 * 192};
    std::string fixedBackground = "none";
    std::string oddBackground = "none";
    std::string evenBackground = "none";
    int gridLineWidth = 1;

    // Every colour chosen as "Button" takes the desktop's button face now.
    void applyButtonFace(ColorRef buttonFace)
    {
        for (GridColor *c : {&fixedColor, &fixedFontColor, &oddRowColor, &oddFontColor, &evenRowColor, &evenFontColor,
                             &selectedColor, &selectedFontColor, &fixedLineColor, &gridLineColor})
            if (c->entry == ButtonEntry)
                c->color = buttonFace;
    }
};

enum class SkinKind { Fixed = 0, Odd = 1, Even = 2 };

// The widened background pictures behind each row kind. The version changes
// with every new picture so that painters can keep scaled copies safely.
class GridSkins {
public:
    const RasterImage &skin(SkinKind kind) const { return m_skins[static_cast<int>(kind)]; }
    void setSkin(SkinKind kind, RasterImage skin)
    {
        m_skins[static_cast<int>(kind)] = std::move(skin);
        ++m_version;
    }
    unsigned version() const { return m_version; }

private:
    std::array<RasterImage, 3> m_skins;
    unsigned m_version = 0;
};

} // namespace quorvex
