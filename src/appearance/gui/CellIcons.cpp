#include "CellIcons.h"

#include "appearance/core/GridCells.h"
#include "platform/core/RasterImage.h"
#include "platform/gui/AttachmentArt.h"

#include <utility>

namespace quorvex { namespace CellIcons {

void install(GridCells &cells)
{
    using AttachmentArt::Kind;
    const std::pair<IconKind, Kind> kinds[] = {{IconKind::Picture, Kind::Picture}, {IconKind::Audio, Kind::Audio},
                                               {IconKind::Video, Kind::Video},     {IconKind::WebPage, Kind::WebPage},
                                               {IconKind::File, Kind::File},       {IconKind::Unknown, Kind::Unknown}};
    for (const auto &[core, art] : kinds)
        cells.setIcon(core, AttachmentArt::rasterOf(AttachmentArt::icon(art, GridCells::IconSize, GridCells::IconSize)));
}

} } // namespace quorvex::CellIcons
