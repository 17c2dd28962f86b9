#pragma once

#include "document/core/FontChoice.h"

#include <QColor>
#include <QFont>

namespace quorvex {

// Between the font settings' plain record and Qt's font and colour.
class FontConvert {
public:
    static QFont toQFont(const FontChoice &choice);
    static QColor toQColor(const FontChoice &choice);
    // Keeps `base`'s colour, which Qt's font dialog does not offer; the pitch follows the family.
    static FontChoice fromQFont(const QFont &font, const QColor &color, const FontChoice &base);
};

} // namespace quorvex
