#pragma once

#include "Editor.h"

namespace quorvex {

// Held for the whole run of an operation that lets window events run while it
// works on the list: sort, printing, Replace All, export, clipboard copy, list
// load and save, pauses included. While one is held the window refuses every
// command that would change or replace the list, and refuses to close.
// Guards nest: the outer one still holds when an inner one ends.
class LongOperationGuard {
public:
    explicit LongOperationGuard(Editor &editor)
        : m_flag(editor.longOperationRunning), m_wasHeld(editor.longOperationRunning)
    {
        m_flag = true;
    }
    ~LongOperationGuard() { m_flag = m_wasHeld; }
    LongOperationGuard(const LongOperationGuard &) = delete;
    LongOperationGuard &operator=(const LongOperationGuard &) = delete;

private:
    bool &m_flag;
    const bool m_wasHeld;
};

} // namespace quorvex
