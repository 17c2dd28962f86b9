#pragma once

#include <QStringView>

namespace quorvex {

// Qt's text engine lays a paragraph out whole, so a paragraph of megabytes
// costs seconds at every change or repaint. Long lines are therefore shown in
// pieces of a few thousand characters, each ended after a blank.
namespace TextPieces {

// A piece is cut once it reaches this many characters.
constexpr qsizetype Length = 4096;

// Where the piece starting at `at` ends, when the line runs more than Length
// past `at`: after the last blank of the piece's final stretch, or at Length
// when that stretch has none.
qsizetype cutAfter(QStringView text, qsizetype at);

} } // namespace quorvex::TextPieces
