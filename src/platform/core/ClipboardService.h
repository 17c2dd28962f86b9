#pragma once

#include "platform/core/TextEncoding.h"
#include "platform/core/UnicodeText.h"

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

    // The same in a list's own encoding. The desktop's implementation reads
    // and writes UTF-8 directly; this one goes through the Windows-1252 text.
    virtual std::string listText(TextEncoding encoding) const
    {
        return encoding == TextEncoding::Utf8 ? UnicodeText::fromCp1252(text()) : text();
    }
    virtual void setListText(const std::string &text, TextEncoding encoding)
    {
        std::size_t replaced = 0;
        setText(encoding == TextEncoding::Utf8 ? UnicodeText::toCp1252(text, replaced) : text);
    }
};

} // namespace quorvex
