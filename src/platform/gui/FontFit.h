#pragma once

#include <QSize>

class QWidget;

namespace quorvex {

// The windows are laid out in pixels for the usual desktop font. Those sizes
// are the least ones: with a larger or different font a control grows until
// its text shows whole, and the controls right of or below it, and the window,
// move and grow with it. Where every text fits, nothing moves.
namespace FontFit {

// How much wider and higher `control` must be to show its text whole in its
// own font (0, 0 when it fits or shows no text).
QSize shortfall(const QWidget *control);

// Grows the controls of `window` and the window itself as said above. The
// sizes the window's own code gave are kept as the starting point, so fitting
// again after the window arranged itself anew starts from its arrangement.
void fit(QWidget *window);

// Fits `window` each time it is shown, after its own show handling.
void install(QWidget *window);

} // namespace FontFit

} // namespace quorvex
