#pragma once

#include "platform/core/TextEncoding.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace quorvex {

class Editor;
class ListDocument;

// Moves a whole list between Windows-1252 and UTF-8.
class TextConversion {
public:
    static constexpr const char *UndoCaption = "&Undo Convert to Unicode";

    // Converts every cell (headers and page numbers too) to `to` and sets the
    // document's encoding. Returns the characters that became "?" (only
    // towards Windows-1252). Rows without a byte of 0x80 or more are kept as
    // they are, shared with any undo copy.
    static std::size_t convertDocument(ListDocument &doc, TextEncoding to);
    // One text from `from` to `to`; adds to `replaced` per "?".
    static std::string convertText(std::string_view text, TextEncoding from, TextEncoding to, std::size_t &replaced);

    // "Convert to Unicode List": one undoable step that marks the list
    // modified. False (nothing done) when the list is Unicode already.
    static bool convertToUnicode(Editor &editor);
};

} // namespace quorvex
