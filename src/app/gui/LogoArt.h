#pragma once

#include <QPixmap>

namespace quorvex {

// The program's logo: a disc in front of a strip of film, drawn by the program
// so that no picture file has to ship with it.
class LogoArt {
public:
    static QPixmap logo(const QSize &size);
    static QIcon appIcon();
};

} // namespace quorvex
