#pragma once

#include "appearance/core/CellCanvas.h"
#include "platform/core/RasterImage.h"
#include "document/core/GridAppearance.h"

#include <array>
#include <map>
#include <string_view>
#include <tuple>
#include <vector>

namespace quorvex {

struct CellState {
    bool selected = false; // inside the selection
    bool focused = false;  // the current cell while the grid has the keyboard focus
    bool fixed = false;    // row 0 or column 0
};

enum class CellKind { Fixed, Selected, Odd, Even };
enum class IconKind { Picture = 0, Audio, Video, WebPage, File, Unknown };

// What the painter needs to know about the grid it paints for.
struct GridMetrics {
    int defaultRowHeight = 17;
    // The grid font's height as the font stores it: negative for a character
    // height, as fonts chosen by point size have (9 points -> -12).
    int fontHeight = -12;
    // The main grid shows the selected look on the focused cell too.
    bool drawFocusSelected = true;
    ColorRef buttonHighlight = 0xFFFFFF;
    ColorRef buttonShadow = 0xA0A0A0;
};

// Paints the cells of a grid in the grid's look: the fixed, odd, even and
// selected kinds with their bevels, grid lines, background skins, attachment
// icons and text. Scaled skins and icons are kept between cells; they depend
// only on the pictures and the cell sizes, so the outcome is that of scaling
// anew for each cell.
class GridCells {
public:
    static constexpr std::size_t MaxPaintedChars = 3000;
    static constexpr int TextMargin = 3;
    static constexpr int SkinWidth = 2500;
    // Every row scales the skin to its own height, so a taller one only costs
    // memory: 2500 x 8192 pixels is 80 MB, a hostile 1-pixel-wide picture would be terabytes.
    static constexpr int MaxSkinHeight = 8192;
    static constexpr int BevelStep = 30;
    static constexpr int IconSize = 32;

    GridCells(const GridAppearance &appearance, const GridSkins &skins);

    void setMetrics(const GridMetrics &metrics) { m_metrics = metrics; }
    const GridMetrics &metrics() const { return m_metrics; }
    // The 32 x 32 artwork of one attachment kind; its pixel (0, 0) is the transparent colour.
    void setIcon(IconKind kind, RasterImage icon);

    // One cell of the screen grid. `rect` is the cell without its grid lines
    // (they lie in the line-width pixels right of and below it); `skinLeft`
    // is the rectangle's left edge in grid coordinates, which picks the part
    // of the background picture under the cell.
    void paintCell(CellCanvas &canvas, int row, PixelRect rect, CellState state, std::string_view text,
                   int skinLeft) const;
    // One cell of a printed page: row 0 is fixed, no selection or focus, and
    // every cell shows the left end of the background picture.
    void paintPageCell(CellCanvas &canvas, int row, PixelRect rect, std::string_view text) const;

    // Tiles a background picture across the skin width (cut at 2500 pixels).
    // Throws std::length_error for a picture taller than MaxSkinHeight.
    static RasterImage widenSkin(const RasterImage &picture);

    // The decisions, open for the window code and tests.
    static CellKind cellKind(CellState state, int row, bool drawFocusSelected);
    static int textOffset(int gridLineWidth, bool fixed);
    static int textTop(int top, int defaultRowHeight, int fontHeight, int offset);
    // Top-left and bottom-right colours of the selected cell's sunken bevel.
    static std::pair<ColorRef, ColorRef> selectedBevel(ColorRef selected);
    // The icon's size and place in a cell: fitted, keeping its proportions.
    static PixelRect iconPlace(PixelRect cell, int iconWidth, int iconHeight);
    static IconKind iconKind(char typeCode);
    // A font height as the font settings keep it: negative for a size in
    // points at 96 pixels per inch.
    static int fontHeightOf(int points) { return points > 0 ? -((points * 96 + 36) / 72) : points; }

private:
    struct ScaledSkin {
        unsigned version = 0;
        int height = 0;
        RasterImage picture;
    };

    void gridLines(CellCanvas &canvas, PixelRect rect, ColorRef color) const;
    void bevel(CellCanvas &canvas, PixelRect rect, ColorRef topLeft, ColorRef bottomRight) const;
    void skinSlice(CellCanvas &canvas, SkinKind kind, PixelRect rect, int skinLeft) const;
    void text(CellCanvas &canvas, PixelRect rect, std::string_view text, ColorRef color, int offset,
              bool italic) const;
    void icon(CellCanvas &canvas, PixelRect rect, char typeCode) const;
    void contents(CellCanvas &canvas, PixelRect rect, std::string_view text, ColorRef color, int offset,
                  bool italic) const;
    const RasterImage &scaledSkin(SkinKind kind, int height) const;
    const RasterImage &scaledIcon(IconKind kind, int width, int height) const;

    const GridAppearance &m_appearance;
    const GridSkins &m_skins;
    GridMetrics m_metrics;
    std::array<RasterImage, 6> m_icons;
    // A few heights per kind: header and data rows may differ.
    mutable std::array<std::vector<ScaledSkin>, 3> m_scaledSkins;
    mutable std::map<std::tuple<int, int, int>, RasterImage> m_scaledIcons;
};

} // namespace quorvex
