#include "TextPieces.h"

namespace quorvex { namespace TextPieces {

namespace {
// How far back from a full piece a cut looks for a blank.
constexpr qsizetype BlankSearch = 512;
}

qsizetype cutAfter(QStringView text, qsizetype at)
{
    const qsizetype full = at + Length;
    for (qsizetype back = full; back > full - BlankSearch; --back)
        if (text.at(back - 1) == QLatin1Char(' '))
            return back;
    return full;
}

} } // namespace quorvex::TextPieces
