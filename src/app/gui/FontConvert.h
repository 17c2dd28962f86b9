#pragma once

#include "app/core/FontSpec.h"

#include <QColor>
#include <QFont>

namespace quorvex {

// Between the font settings' plain record and Qt's font and colour.
class FontConvert {
public:
    static QFont toQFont(const FontSpec &spec);
    static QColor toQColor(const FontSpec &spec);
    // Keeps `base`'s colour and pitch where Qt has no say in them.
    static FontSpec fromQFont(const QFont &font, const QColor &color, const FontSpec &base);
};

} // namespace quorvex
