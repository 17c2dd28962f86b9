#pragma once

#include <string>

namespace quorvex {

// The desktop clipboard, seen in the list's 8-bit (Windows-1252) text; the
// implementation converts to and from the clipboard's Unicode text.
class ClipboardService {
public:
    virtual ~ClipboardService() = default;
    virtual bool hasText() const = 0;
    virtual std::string text() const = 0;
    virtual void setText(const std::string &text) = 0;
};

} // namespace quorvex
