#include "appearance/core/ColorTable.h"
#include "appearance/core/GridCells.h"
#include "document/core/AttachmentRef.h"
#include "platform/core/AppConstants.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include <string>
#include <vector>

using namespace quorvex;

namespace {

constexpr ColorRef rgb(int r, int g, int b) { return static_cast<ColorRef>(r + 256 * g + 65536 * b); }

struct Op {
    enum Kind { Fill, Picture, Text, Focus } kind;
    PixelRect rect;  // fill, focus, text clip; picture: where it lands
    ColorRef color = 0;
    PixelRect source; // picture
    bool flag = false; // picture keyed / text italic
    int x = 0, y = 0;
    std::string text;
    std::vector<std::uint32_t> firstRow; // picture: the source row 0 as drawn
};

// Records what the painter asks for and fails on any read outside a picture.
class RecordingCanvas final : public CellCanvas {
public:
    std::vector<Op> ops;
    void fillRect(PixelRect r, ColorRef c) override { ops.push_back({Op::Fill, r, c, {}, false, 0, 0, {}, {}}); }
    void drawPicture(int x, int y, const RasterImage &p, PixelRect s, bool keyed) override
    {
        EXPECT_GE(s.left, 0);
        EXPECT_GE(s.top, 0);
        EXPECT_LE(s.left + s.width, p.width);
        EXPECT_LE(s.top + s.height, p.height);
        Op op{Op::Picture, {x, y, s.width, s.height}, 0, s, keyed, x, y, {}, {}};
        for (int i = 0; i < s.width; ++i)
            op.firstRow.push_back(p.pixel(s.left + i, s.top));
        ops.push_back(op);
    }
    void drawText(PixelRect clip, int x, int y, std::string_view t, ColorRef c, bool italic) override
    {
        ops.push_back({Op::Text, clip, c, {}, italic, x, y, std::string(t), {}});
    }
    void drawFocusRect(PixelRect r) override { ops.push_back({Op::Focus, r, 0, {}, false, 0, 0, {}, {}}); }

    std::vector<Op> of(Op::Kind k) const
    {
        std::vector<Op> out;
        for (const Op &op : ops)
            if (op.kind == k)
                out.push_back(op);
        return out;
    }
};

bool same(PixelRect a, PixelRect b)
{
    return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}

RasterImage stripes(int w, int h)
{
    RasterImage p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.setPixel(x, y, pixelFromRgb(x % 251, y, (x / 251) % 256));
    return p;
}

struct Painter {
    GridAppearance look;
    GridSkins skins;
    GridCells cells{look, skins};
    Painter()
    {
        // Each kind its own colour, with the key colour at (0, 0).
        for (int k = 0; k < 6; ++k) {
            RasterImage icon(32, 32, pixelFromRgb(10 * k, 0, 0));
            icon.setPixel(0, 0, pixelFromRgb(0, 255, 0));
            cells.setIcon(static_cast<IconKind>(k), icon);
        }
    }
};

} // namespace

TEST(GridCells, kindsColoursAndTextFollowTheRowAndState)
{
    const GridAppearance defaults;
    struct Case {
        int row;
        CellState state;
        bool drawFocusSelected;
        ColorRef fill, textColor;
        bool italic;
        int textY; // for a 17-pixel row and a 9-point font
    };
    const Case cases[] = {
        {1, {}, true, rgb(255, 255, 255), 0, false, 1},                  // row 1 takes the even colours
        {2, {}, true, rgb(255, 255, 225), 0, false, 1},                  // row 2 the odd ones
        {0, {true, true, true}, true, defaults.fixedColor.color, 0, false, 1}, // fixed wins; inner top + 0
        {3, {true, false, false}, true, rgb(32, 128, 192), rgb(255, 255, 255), true, 1},
        {3, {true, true, false}, true, rgb(32, 128, 192), rgb(255, 255, 255), true, 1},
        {4, {true, true, false}, false, rgb(255, 255, 225), 0, false, 1}, // focused, without the option
    };
    for (const Case &c : cases) {
        Painter p;
        GridMetrics m;
        m.drawFocusSelected = c.drawFocusSelected;
        p.cells.setMetrics(m);
        RecordingCanvas canvas;
        p.cells.paintCell(canvas, c.row, {10, 20, 60, 16}, c.state, "Alien", 10);
        SCOPED_TRACE(c.row);
        ASSERT_FALSE(canvas.ops.empty());
        EXPECT_TRUE(same(canvas.ops.front().rect, {10, 20, 60, 16}));
        EXPECT_EQ(canvas.ops.front().color, c.fill);
        const auto texts = canvas.of(Op::Text);
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0].color, c.textColor);
        EXPECT_EQ(texts[0].flag, c.italic);
        EXPECT_EQ(texts[0].y, 20 + c.textY);
        EXPECT_EQ(texts[0].x, c.state.fixed ? 14 : 13);
        EXPECT_EQ(canvas.of(Op::Focus).size(), c.state.focused ? 1u : 0u);
    }
}

TEST(GridCells, bevelsLinesAndTextOffsetsFollowTheLineWidth)
{
    // Selected bevel: 30 darker top-left, 30 lighter bottom-right, clamped.
    EXPECT_EQ(GridCells::selectedBevel(rgb(255, 255, 255)), std::make_pair(rgb(225, 225, 225), rgb(255, 255, 255)));
    EXPECT_EQ(GridCells::selectedBevel(0), std::make_pair(rgb(0, 0, 0), rgb(30, 30, 30)));
    EXPECT_EQ(GridCells::selectedBevel(rgb(32, 128, 192)), std::make_pair(rgb(2, 98, 162), rgb(62, 158, 222)));

    struct Case {
        int width;
        int offset, fixedOffset;
        bool lines;
    };
    for (const Case c : {Case{1, 2, 4, true}, Case{3, 2, 4, true}, Case{0, 2, 4, false}, Case{-2, 6, 8, false},
                         Case{19999, 2, 4, true}}) {
        SCOPED_TRACE(c.width);
        EXPECT_EQ(GridCells::textOffset(c.width, false), c.offset);
        EXPECT_EQ(GridCells::textOffset(c.width, true), c.fixedOffset);
        Painter p;
        p.look.gridLineWidth = c.width;
        p.look.gridLineColor = {15, rgb(1, 2, 3)};
        RecordingCanvas canvas;
        p.cells.paintCell(canvas, 1, {0, 0, 50, 16}, {}, "", 0);
        std::vector<Op> lines;
        for (const Op &op : canvas.of(Op::Fill))
            if (op.color == rgb(1, 2, 3))
                lines.push_back(op);
        if (!c.lines) {
            EXPECT_TRUE(lines.empty());
            continue;
        }
        // One fill per direction, however wide; the vertical runs past the bottom.
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_TRUE(same(lines[0].rect, {50, 0, c.width, 16 + c.width}));
        EXPECT_TRUE(same(lines[1].rect, {0, 16, 50, c.width}));
    }

    // Fixed cells: fixed line colour, then the raised 1-pixel bevel.
    Painter p;
    p.look.gridLineWidth = 1;
    RecordingCanvas canvas;
    GridMetrics m;
    m.buttonHighlight = rgb(250, 250, 250);
    m.buttonShadow = rgb(100, 100, 100);
    p.cells.setMetrics(m);
    p.cells.paintCell(canvas, 0, {0, 0, 40, 17}, {false, false, true}, "Title", 0);
    const auto fills = canvas.of(Op::Fill);
    ASSERT_EQ(fills.size(), 7u);
    EXPECT_EQ(fills[1].color, p.look.fixedLineColor.color);
    EXPECT_TRUE(same(fills[3].rect, {0, 0, 40, 1}) || same(fills[3].rect, {0, 0, 39, 1}));
    EXPECT_EQ(fills[3].color, rgb(250, 250, 250));
    EXPECT_EQ(fills[6].color, rgb(100, 100, 100));
    EXPECT_TRUE(same(fills[6].rect, {0, 16, 40, 1}));
    EXPECT_TRUE(same(canvas.of(Op::Text)[0].rect, {1, 1, 38, 15}));
}

TEST(GridCells, attachmentCellsShowFittedIconsExceptInFixedCells)
{
    struct Place {
        PixelRect cell;
        PixelRect icon;
    };
    for (const Place c : {Place{{0, 0, 50, 16}, {17, 0, 16, 16}}, Place{{10, 5, 32, 32}, {10, 5, 32, 32}},
                          Place{{0, 0, 64, 128}, {0, 32, 64, 64}}, Place{{-30, 0, 51, 16}, {-12, 0, 16, 16}},
                          Place{{0, 0, 0, 16}, {0, 0, 0, 0}}, Place{{0, 0, 20, 0}, {0, 0, 0, 0}}})
        EXPECT_TRUE(same(GridCells::iconPlace(c.cell, 32, 32), c.icon)) << c.cell.left << "," << c.cell.width;

    const std::string picture = AttachmentRef::make(AttachPicture, "cover.jpg");
    const std::string odd = AttachmentRef::make('\x09', "x.bin");
    struct Case {
        std::string text;
        CellState state;
        int expectedIconRed; // -1: the raw text is drawn instead
    };
    for (const Case &c : {Case{picture, {}, 0}, Case{AttachmentRef::make(AttachWebPage, "a.htm"), {true}, 3},
                          Case{AttachmentRef::make(AttachFile, "a"), {}, 4}, Case{odd, {}, 5},
                          Case{picture, {false, false, true}, -1}}) {
        Painter p;
        RecordingCanvas canvas;
        p.cells.paintCell(canvas, 1, {0, 0, 50, 16}, c.state, c.text, 0);
        const auto pictures = canvas.of(Op::Picture);
        if (c.expectedIconRed < 0) {
            EXPECT_TRUE(pictures.empty());
            ASSERT_EQ(canvas.of(Op::Text).size(), 1u);
            EXPECT_EQ(canvas.of(Op::Text)[0].text, c.text);
            continue;
        }
        EXPECT_TRUE(canvas.of(Op::Text).empty());
        ASSERT_EQ(pictures.size(), 1u);
        EXPECT_TRUE(pictures[0].flag);
        EXPECT_TRUE(same(pictures[0].rect, {17, 0, 16, 16}));
        // The key colour is see-through; the rest is the kind's artwork.
        EXPECT_EQ(pictures[0].firstRow[0], 0u);
        EXPECT_EQ(pictures[0].firstRow[1], pixelFromRgb(10 * c.expectedIconRed, 0, 0));
    }

    // Only the first 3000 characters reach the text drawing.
    Painter p;
    RecordingCanvas canvas;
    p.cells.paintCell(canvas, 1, {0, 0, 50, 16}, {}, std::string(5000, 'x'), 0);
    EXPECT_EQ(canvas.of(Op::Text)[0].text.size(), 3000u);
}

TEST(GridCells, skinsAreWidenedAndSlicedWithoutReadingOutside)
{
    struct Widen {
        int width;
        int resultWidth;
    };
    for (const Widen c : {Widen{100, 2500}, Widen{3000, 2500}, Widen{7, 2500}, Widen{0, 0}}) {
        const RasterImage picture = stripes(c.width, c.width ? 5 : 0);
        const RasterImage skin = GridCells::widenSkin(picture);
        EXPECT_EQ(skin.width, c.resultWidth);
        for (int x = 0; x < skin.width; x += 37)
            ASSERT_EQ(skin.pixel(x, 3), picture.pixel(x % c.width, 3)) << c.width << " at " << x;
    }
    // A thin, tall picture would make a skin of terabytes: refused before anything is allocated.
    EXPECT_THROW(GridCells::widenSkin(RasterImage(1, GridCells::MaxSkinHeight + 1)), std::length_error);

    // Cells left of the grid's edge, across and beyond the skin's right end.
    struct Slice {
        int skinLeft, width;
        int drawnFrom, drawnWidth; // in skin columns; width 0: nothing drawn
    };
    for (const Slice c : {Slice{100, 60, 100, 60}, Slice{-20, 50, 0, 30}, Slice{2480, 64, 2480, 20},
                          Slice{2600, 64, 0, 0}, Slice{-80, 50, 0, 0}}) {
        SCOPED_TRACE(c.skinLeft);
        Painter p;
        p.look.evenBackground = "Clouds.bmp";
        p.skins.setSkin(SkinKind::Even, GridCells::widenSkin(stripes(300, 40)));
        RecordingCanvas canvas;
        p.cells.paintCell(canvas, 1, {c.skinLeft + 7, 3, c.width, 20}, {}, "", c.skinLeft);
        const auto pictures = canvas.of(Op::Picture);
        if (c.drawnWidth == 0) {
            EXPECT_TRUE(pictures.empty());
            continue;
        }
        ASSERT_EQ(pictures.size(), 1u);
        EXPECT_EQ(pictures[0].source.left, c.drawnFrom);
        EXPECT_EQ(pictures[0].source.width, c.drawnWidth);
        EXPECT_EQ(pictures[0].x, c.drawnFrom + 7);
        // 1:1 across: the column under the cell, the skin's top row.
        EXPECT_EQ(pictures[0].firstRow[0], pixelFromRgb(c.drawnFrom % 300 % 251, 0, (c.drawnFrom % 300) / 251));
        // The black right and bottom edge follows the skin.
        const auto fills = canvas.of(Op::Fill);
        EXPECT_EQ(fills[1].color, 0u);
        EXPECT_EQ(fills[1].rect.left, c.skinLeft + 7 + c.width - 1);
    }

    // Printed cells take the left end of the skin; row 1 uses the even colours.
    Painter p;
    p.look.oddBackground = "Wood.bmp";
    p.skins.setSkin(SkinKind::Odd, GridCells::widenSkin(stripes(300, 40)));
    RecordingCanvas even, odd;
    p.cells.paintPageCell(even, 1, {500, 0, 60, 20}, "a");
    p.cells.paintPageCell(odd, 2, {500, 0, 60, 20}, "a");
    EXPECT_EQ(even.ops.front().color, p.look.evenRowColor.color);
    EXPECT_TRUE(even.of(Op::Picture).empty());
    EXPECT_EQ(odd.ops.front().color, p.look.oddRowColor.color);
    ASSERT_EQ(odd.of(Op::Picture).size(), 1u);
    EXPECT_EQ(odd.of(Op::Picture)[0].source.left, 0);
    EXPECT_EQ(odd.of(Op::Picture)[0].x, 500);
}

TEST(RasterImage, resampleBilinearInterpolatesAndStaysInside)
{
    RasterImage src(2, 2);
    src.setPixel(0, 0, pixelFromRgb(0, 0, 0));
    src.setPixel(1, 0, pixelFromRgb(100, 10, 255));
    src.setPixel(0, 1, pixelFromRgb(200, 20, 0));
    src.setPixel(1, 1, pixelFromRgb(255, 255, 255));
    struct Case {
        PixelRect dst, srcRect;
        int x, y;
        std::uint32_t expected;
    };
    const ColorRef none = 0;
    const Case cases[] = {
        {{0, 0, 2, 2}, {0, 0, 2, 2}, 1, 1, pixelFromRgb(255, 255, 255)}, // same size: a copy
        {{0, 0, 4, 4}, {0, 0, 2, 2}, 1, 0, pixelFromRgb(50, 5, 127)},    // half-way along x, truncated
        {{0, 0, 4, 4}, {0, 0, 2, 2}, 1, 1, pixelFromRgb(138, 71, 127)},  // both ways
        {{0, 0, 4, 4}, {0, 0, 2, 2}, 3, 0, pixelFromRgb(100, 10, 255)},  // right edge repeats
        {{0, 0, 4, 4}, {1, 1, 5, 5}, 2, 2, pixelFromRgb(255, 255, 255)}, // source past the picture: edge pixel
        {{-2, -2, 4, 4}, {0, 0, 2, 2}, 0, 0, pixelFromRgb(255, 255, 255)}, // off-picture part skipped
        {{0, 0, 0, 4}, {0, 0, 2, 2}, 0, 0, pixelFromRgb(9, 9, 9)},       // empty: nothing written
    };
    for (const Case &c : cases) {
        RasterImage dst(4, 4, pixelFromRgb(9, 9, 9));
        resampleBilinear(src, dst, c.dst, c.srcRect);
        EXPECT_EQ(dst.pixel(c.x, c.y) & 0xFFFFFFu, c.expected & 0xFFFFFFu) << c.x << "," << c.y;
    }
    RasterImage dst(2, 2, pixelFromRgb(9, 9, 9));
    resampleBilinear(src, dst, {0, 0, 2, 2}, {0, 0, 2, 2}, &none);
    EXPECT_EQ(dst.pixel(0, 0) & 0xFFFFFFu, pixelFromRgb(9, 9, 9) & 0xFFFFFFu); // the transparent colour is skipped
    EXPECT_EQ(dst.pixel(1, 0) & 0xFFFFFFu, pixelFromRgb(100, 10, 255) & 0xFFFFFFu);
}

TEST(ColorTable, entriesButtonAndOutOfRange)
{
    const ColorRef button = rgb(240, 240, 240);
    struct Case {
        int index;
        ColorRef color;
        const char *name;
    };
    for (const Case c : {Case{0, rgb(0, 255, 255), "Aqua"}, Case{1, rgb(255, 255, 225), "Banana"},
                         Case{4, rgb(32, 128, 192), "Blue Paint"}, Case{5, button, "Button"},
                         Case{15, rgb(192, 192, 192), "Silver"}, Case{18, rgb(255, 255, 0), "Yellow"},
                         Case{19, rgb(0, 255, 0), "Custom..."}, Case{20, rgb(0, 255, 0), ""},
                         Case{-1, rgb(0, 255, 0), ""}}) {
        EXPECT_EQ(ColorTable::colorOfEntry(c.index, button), c.color) << c.index;
        EXPECT_EQ(ColorTable::entryName(c.index), c.name);
    }
    // The defaults are the table's colours; "Button" follows the desktop when applied.
    GridAppearance look;
    look.applyButtonFace(rgb(1, 2, 3));
    EXPECT_EQ(look.fixedColor.color, rgb(1, 2, 3));
    for (const GridColor &c : {look.fixedFontColor, look.oddRowColor, look.oddFontColor, look.evenRowColor,
                               look.evenFontColor, look.selectedColor, look.selectedFontColor, look.fixedLineColor,
                               look.gridLineColor})
        EXPECT_EQ(c.color, ColorTable::colorOfEntry(c.entry, 0)) << c.entry;
    EXPECT_EQ(look.gridLineWidth, 1);
    EXPECT_EQ(look.fixedBackground, "none");
}
