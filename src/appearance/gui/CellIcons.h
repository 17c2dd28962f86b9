#pragma once

namespace quorvex {
class GridCells;
namespace CellIcons {
// Gives the cell painter the 32 x 32 icon of every attachment kind.
void install(GridCells &cells);
} }
