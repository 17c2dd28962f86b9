#pragma once

#include <string>
#include <string_view>

namespace quorvex {

class ListDocument;

// A cell text that starts with the marker byte refers to a file in the
// database folder: marker, one type byte, then the bare file name.
class AttachmentRef {
public:
    static bool isReference(std::string_view text);
    static bool IsAttachmentCell(const ListDocument &grid, int column, int row);
    // The name part of the cell's text, whatever the text is.
    static std::string AttachmentFileName(const ListDocument &grid, int column, int row);
    // The name part: from the third character on, empty when shorter.
    static std::string_view fileName(std::string_view text);
    static char typeCode(std::string_view text);
    static std::string make(char typeCode, std::string_view fileName);
    // A name that can safely be used as a file in the database folder:
    // not empty, not "." or "..", no "/", "\" or NUL.
    static bool isSafeFileName(std::string_view name);
    // One of the five type codes the insert commands write.
    static bool isKnownType(char typeCode);
};

} // namespace quorvex
