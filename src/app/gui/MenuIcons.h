#pragma once

#include <QIcon>

namespace quorvex {

// The menu pictures in their enabled and disabled looks, drawn by the program.
class MenuIcons {
public:
    enum Kind { Undo, Redo, Save, Paste };
    static QIcon icon(Kind kind, bool enabled);
};

} // namespace quorvex
