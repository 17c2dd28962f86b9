#include "GridCells.h"

#include "document/core/AttachmentRef.h"
#include "platform/core/AppConstants.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>

namespace quorvex {

namespace {

constexpr ColorRef Black = 0;
constexpr std::size_t MaxScaledSkinsPerKind = 4;
constexpr std::size_t MaxScaledIcons = 64;

int right(PixelRect r) { return r.left + r.width; }
int bottom(PixelRect r) { return r.top + r.height; }

ColorRef shifted(ColorRef c, int step)
{
    auto channel = [&](int shift) {
        return static_cast<ColorRef>(std::clamp(static_cast<int>((c >> shift) & 0xFF) + step, 0, 255)) << shift;
    };
    return channel(0) | channel(8) | channel(16);
}

} // namespace

GridCells::GridCells(const GridAppearance &appearance, const GridSkins &skins)
    : m_appearance(appearance), m_skins(skins)
{
}

void GridCells::setIcon(IconKind kind, RasterImage icon)
{
    m_icons[static_cast<std::size_t>(kind)] = std::move(icon);
    for (auto it = m_scaledIcons.begin(); it != m_scaledIcons.end();)
        it = std::get<0>(it->first) == static_cast<int>(kind) ? m_scaledIcons.erase(it) : std::next(it);
}

CellKind GridCells::cellKind(CellState state, int row, bool drawFocusSelected)
{
    if (state.fixed)
        return CellKind::Fixed;
    if (state.selected && (drawFocusSelected || !state.focused))
        return CellKind::Selected;
    return row % 2 != 0 ? CellKind::Even : CellKind::Odd;
}

int GridCells::textOffset(int gridLineWidth, bool fixed)
{
    const int offset = gridLineWidth < 0 ? 4 - gridLineWidth : 2;
    return fixed ? offset + 2 : offset;
}

int GridCells::textTop(int top, int defaultRowHeight, int fontHeight, int offset)
{
    // Integer division cuts toward zero, as the formula wants.
    return top + (defaultRowHeight + fontHeight - offset) / 2;
}

std::pair<ColorRef, ColorRef> GridCells::selectedBevel(ColorRef selected)
{
    return {shifted(selected, -BevelStep), shifted(selected, BevelStep)};
}

PixelRect GridCells::iconPlace(PixelRect cell, int iconWidth, int iconHeight)
{
    // A cell or icon without area has no place; nothing may divide by zero.
    if (cell.width <= 0 || cell.height <= 0 || iconWidth <= 0 || iconHeight <= 0)
        return {cell.left, cell.top, 0, 0};
    const double rx = static_cast<double>(iconWidth) / cell.width;
    const double ry = static_cast<double>(iconHeight) / cell.height;
    int w = cell.width, h = cell.height;
    if (rx != ry) {
        const double s = std::max(rx, ry);
        w = static_cast<int>(iconWidth / s);
        h = static_cast<int>(iconHeight / s);
    }
    const int x = static_cast<int>(cell.left + cell.width / 2.0 - w / 2.0);
    const int y = static_cast<int>(cell.top + cell.height / 2.0 - h / 2.0);
    return {x, y, w, h};
}

IconKind GridCells::iconKind(char typeCode)
{
    switch (typeCode) {
    case AttachPicture: return IconKind::Picture;
    case AttachAudio: return IconKind::Audio;
    case AttachVideo: return IconKind::Video;
    case AttachWebPage: return IconKind::WebPage;
    case AttachFile: return IconKind::File;
    default: return IconKind::Unknown;
    }
}

RasterImage GridCells::widenSkin(const RasterImage &picture)
{
    if (picture.empty())
        return {};
    if (picture.height > MaxSkinHeight)
        throw std::length_error("The picture is " + std::to_string(picture.height) +
                                " pixels high; a row background may be at most " + std::to_string(MaxSkinHeight) + ".");
    RasterImage skin(SkinWidth, picture.height);
    for (int y = 0; y < picture.height; ++y) {
        const std::uint32_t *from = picture.row(y);
        std::uint32_t *to = skin.row(y);
        for (int x = 0; x < SkinWidth; x += picture.width) {
            const int n = std::min(picture.width, SkinWidth - x);
            for (int i = 0; i < n; ++i)
                to[x + i] = from[i] | 0xFF000000u;
        }
    }
    return skin;
}

void GridCells::gridLines(CellCanvas &canvas, PixelRect rect, ColorRef color) const
{
    // Wide lines are one fill per direction: the width may reach tens of thousands.
    const int w = m_appearance.gridLineWidth;
    if (w <= 0)
        return;
    canvas.fillRect({right(rect), rect.top, w, rect.height + w}, color);
    if (rect.width > 0)
        canvas.fillRect({rect.left, bottom(rect), rect.width, w}, color);
}

void GridCells::bevel(CellCanvas &canvas, PixelRect r, ColorRef topLeft, ColorRef bottomRight) const
{
    if (r.width <= 0 || r.height <= 0)
        return;
    canvas.fillRect({r.left, r.top, r.width - 1, 1}, topLeft);
    canvas.fillRect({r.left, r.top, 1, r.height - 1}, topLeft);
    canvas.fillRect({right(r) - 1, r.top, 1, r.height - 1}, bottomRight);
    canvas.fillRect({r.left, bottom(r) - 1, r.width, 1}, bottomRight);
}

const RasterImage &GridCells::scaledSkin(SkinKind kind, int height) const
{
    std::vector<ScaledSkin> &cache = m_scaledSkins[static_cast<std::size_t>(kind)];
    const unsigned version = m_skins.version();
    cache.erase(std::remove_if(cache.begin(), cache.end(), [&](const ScaledSkin &s) { return s.version != version; }),
                cache.end());
    for (const ScaledSkin &s : cache)
        if (s.height == height)
            return s.picture;
    if (cache.size() >= MaxScaledSkinsPerKind)
        cache.erase(cache.begin());
    // Horizontally 1:1, vertically the whole picture into the cell height:
    // every slice of this is what scaling the cell's own part would give.
    const RasterImage &skin = m_skins.skin(kind);
    ScaledSkin scaled{version, height, RasterImage(skin.width, height)};
    resampleBilinear(skin, scaled.picture, {0, 0, skin.width, height}, {0, 0, skin.width, skin.height});
    cache.push_back(std::move(scaled));
    return cache.back().picture;
}

void GridCells::skinSlice(CellCanvas &canvas, SkinKind kind, PixelRect rect, int skinLeft) const
{
    const RasterImage &skin = m_skins.skin(kind);
    if (skin.empty() || rect.width <= 0 || rect.height <= 0)
        return;
    // Only the columns under the skin are copied: a cell partly left of the
    // grid's edge or beyond the skin's width keeps its row colour there.
    const int from = std::max(skinLeft, 0);
    const int to = std::min(skinLeft + rect.width, skin.width);
    if (from >= to)
        return;
    const RasterImage &scaled = scaledSkin(kind, rect.height);
    canvas.drawPicture(rect.left + (from - skinLeft), rect.top, scaled, {from, 0, to - from, rect.height}, false);
}

const RasterImage &GridCells::scaledIcon(IconKind kind, int width, int height) const
{
    const auto key = std::make_tuple(static_cast<int>(kind), width, height);
    auto found = m_scaledIcons.find(key);
    if (found != m_scaledIcons.end())
        return found->second;
    if (m_scaledIcons.size() >= MaxScaledIcons)
        m_scaledIcons.clear();
    const RasterImage &art = m_icons[static_cast<std::size_t>(kind)];
    RasterImage scaled(width, height);
    resampleBilinear(art, scaled, {0, 0, width, height}, {0, 0, art.width, art.height});
    // The colour of the scaled icon's first pixel is see-through.
    const std::uint32_t key0 = scaled.pixel(0, 0) & 0xFFFFFFu;
    for (std::uint32_t &p : scaled.pixels)
        if ((p & 0xFFFFFFu) == key0)
            p = 0;
    return m_scaledIcons.emplace(key, std::move(scaled)).first->second;
}

void GridCells::icon(CellCanvas &canvas, PixelRect rect, char typeCode) const
{
    const IconKind kind = iconKind(typeCode);
    const RasterImage &art = m_icons[static_cast<std::size_t>(kind)];
    if (art.empty())
        return;
    const PixelRect place = iconPlace(rect, art.width, art.height);
    if (place.width <= 0 || place.height <= 0)
        return;
    canvas.drawPicture(place.left, place.top, scaledIcon(kind, place.width, place.height),
                       {0, 0, place.width, place.height}, true);
}

void GridCells::text(CellCanvas &canvas, PixelRect rect, std::string_view cellText, ColorRef color, int offset,
                     bool italic) const
{
    if (cellText.empty() || rect.width <= 0 || rect.height <= 0)
        return;
    canvas.drawText(rect, rect.left + TextMargin,
                    textTop(rect.top, m_metrics.defaultRowHeight, m_metrics.fontHeight, offset),
                    cellText.substr(0, MaxPaintedChars), color, italic);
}

void GridCells::contents(CellCanvas &canvas, PixelRect rect, std::string_view cellText, ColorRef color, int offset,
                         bool italic) const
{
    if (AttachmentRef::isReference(cellText))
        icon(canvas, rect, AttachmentRef::typeCode(cellText));
    else
        text(canvas, rect, cellText, color, offset, italic);
}

void GridCells::paintCell(CellCanvas &canvas, int row, PixelRect rect, CellState state, std::string_view cellText,
                          int skinLeft) const
{
    const GridAppearance &a = m_appearance;
    int offset = textOffset(a.gridLineWidth, false);
    PixelRect focusRect = rect;
    switch (cellKind(state, row, m_metrics.drawFocusSelected)) {
    case CellKind::Fixed: {
        canvas.fillRect(rect, a.fixedColor.color);
        gridLines(canvas, rect, a.fixedLineColor.color);
        bevel(canvas, rect, m_metrics.buttonHighlight, m_metrics.buttonShadow);
        const PixelRect inner{rect.left + 1, rect.top + 1, std::max(0, rect.width - 2), std::max(0, rect.height - 2)};
        offset += 2;
        if (a.fixedBackground != "none")
            skinSlice(canvas, SkinKind::Fixed, inner, skinLeft + 1);
        // Header and page cells show their raw text, attachment or not.
        text(canvas, inner, cellText, a.fixedFontColor.color, offset, false);
        focusRect = inner;
        break;
    }
    case CellKind::Selected: {
        canvas.fillRect(rect, a.selectedColor.color);
        contents(canvas, rect, cellText, a.selectedFontColor.color, offset, true);
        gridLines(canvas, rect, a.gridLineColor.color);
        const auto [dark, light] = selectedBevel(a.selectedColor.color);
        bevel(canvas, rect, dark, light);
        break;
    }
    case CellKind::Odd:
    case CellKind::Even: {
        const bool even = row % 2 != 0;
        canvas.fillRect(rect, even ? a.evenRowColor.color : a.oddRowColor.color);
        if ((even ? a.evenBackground : a.oddBackground) != "none" && rect.width > 0 && rect.height > 0) {
            skinSlice(canvas, even ? SkinKind::Even : SkinKind::Odd, rect, skinLeft);
            canvas.fillRect({right(rect) - 1, rect.top, 1, rect.height}, Black);
            canvas.fillRect({rect.left, bottom(rect) - 1, rect.width, 1}, Black);
        }
        contents(canvas, rect, cellText, even ? a.evenFontColor.color : a.oddFontColor.color, offset, false);
        gridLines(canvas, rect, a.gridLineColor.color);
        break;
    }
    }
    if (state.focused) {
        if (focusRect.width > 0 && focusRect.height > 0)
            canvas.drawFocusRect(focusRect);
        gridLines(canvas, rect, a.gridLineColor.color);
    }
}

void GridCells::paintPageCell(CellCanvas &canvas, int row, PixelRect rect, std::string_view cellText) const
{
    const GridAppearance &a = m_appearance;
    if (row == 0) {
        gridLines(canvas, rect, a.fixedLineColor.color);
        bevel(canvas, rect, m_metrics.buttonHighlight, m_metrics.buttonShadow);
        const PixelRect inner{rect.left + 1, rect.top + 1, std::max(0, rect.width - 2), std::max(0, rect.height - 2)};
        if (inner.width <= 0 || inner.height <= 0)
            return;
        canvas.fillRect(inner, a.fixedColor.color);
        if (a.fixedBackground != "none")
            skinSlice(canvas, SkinKind::Fixed, inner, 0);
        text(canvas, inner, cellText, a.fixedFontColor.color, textOffset(a.gridLineWidth, true), false);
        return;
    }
    const bool even = row % 2 != 0;
    if (rect.width > 0 && rect.height > 0) {
        canvas.fillRect(rect, even ? a.evenRowColor.color : a.oddRowColor.color);
        if ((even ? a.evenBackground : a.oddBackground) != "none") {
            skinSlice(canvas, even ? SkinKind::Even : SkinKind::Odd, rect, 0);
            canvas.fillRect({right(rect) - 1, rect.top, 1, rect.height}, Black);
            canvas.fillRect({rect.left, bottom(rect) - 1, rect.width, 1}, Black);
        }
        contents(canvas, rect, cellText, even ? a.evenFontColor.color : a.oddFontColor.color,
                 textOffset(a.gridLineWidth, false), false);
    }
    gridLines(canvas, rect, a.gridLineColor.color);
}

} // namespace quorvex
