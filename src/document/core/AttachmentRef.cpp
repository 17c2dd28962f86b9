#include "AttachmentRef.h"

#include "platform/core/AppConstants.h"
#include "document/core/ListDocument.h"

namespace quorvex {

bool AttachmentRef::isReference(std::string_view text)
{
    return !text.empty() && text.front() == attachmentMarker;
}

bool AttachmentRef::IsAttachmentCell(const ListDocument &grid, int column, int row)
{
    if (column < 0 || row < 0 || column >= grid.ColCount() || row >= grid.RowCount())
        return false;
    return isReference(grid.cellView(column, row));
}

std::string AttachmentRef::AttachmentFileName(const ListDocument &grid, int column, int row)
{
    return std::string(fileName(grid.cellView(column, row)));
}

std::string_view AttachmentRef::fileName(std::string_view text)
{
    return text.size() > 2 ? text.substr(2) : std::string_view();
}

char AttachmentRef::typeCode(std::string_view text)
{
    return text.size() > 1 ? text[1] : '\0';
}

std::string AttachmentRef::make(char code, std::string_view name)
{
    std::string text;
    text.reserve(name.size() + 2);
    text += attachmentMarker;
    text += code;
    text.append(name);
    return text;
}

bool AttachmentRef::isSafeFileName(std::string_view name)
{
    if (name.empty() || name == "." || name == "..")
        return false;
    for (char c : name)
        if (c == '/' || c == '\\' || c == '\0')
            return false;
    return true;
}

bool AttachmentRef::isKnownType(char code)
{
    return code >= AttachPicture && code <= AttachWebPage;
}

} // namespace quorvex
