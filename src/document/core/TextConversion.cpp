#include "TextConversion.h"

#include "Editor.h"
#include "ListDocument.h"
#include "platform/core/UnicodeText.h"

#include <vector>

namespace quorvex {

namespace {

bool isAscii(std::string_view text)
{
    for (const char ch : text)
        if (static_cast<unsigned char>(ch) >= 0x80)
            return false;
    return true;
}

} // namespace

std::string TextConversion::convertText(std::string_view text, TextEncoding from, TextEncoding to,
                                        std::size_t &replaced)
{
    if (from == to || isAscii(text))
        return std::string(text);
    return to == TextEncoding::Utf8 ? UnicodeText::fromCp1252(text) : UnicodeText::toCp1252(text, replaced);
}

std::size_t TextConversion::convertDocument(ListDocument &doc, TextEncoding to)
{
    const TextEncoding from = doc.textEncoding();
    std::size_t replaced = 0;
    if (from != to) {
        std::vector<std::string> cells;
        for (int r = 0; r < doc.RowCount(); ++r) {
            const CellRow &row = doc.rowAt(r);
            bool plain = true;
            for (int c = 0; c < row.storedCount() && plain; ++c)
                plain = isAscii(row.cell(c));
            if (plain)
                continue;
            cells.resize(static_cast<std::size_t>(row.storedCount()));
            for (int c = 0; c < row.storedCount(); ++c)
                cells[static_cast<std::size_t>(c)] = convertText(row.cell(c), from, to, replaced);
            doc.setRowAt(r, CellRow::fromCells(cells));
        }
    }
    doc.setTextEncoding(to);
    return replaced;
}

bool TextConversion::convertToUnicode(Editor &editor)
{
    if (editor.document().textEncoding() == TextEncoding::Utf8)
        return false;
    editor.view().endCellEditing();
    editor.StartUndoableChange(UndoCaption);
    editor.MarkModified();
    convertDocument(editor.document(), TextEncoding::Utf8);
    std::size_t replaced = 0;
    editor.listType = convertText(editor.listType, TextEncoding::Windows1252, TextEncoding::Utf8, replaced);
    editor.currentCellRewritten();
    editor.finishChange();
    editor.view().documentChanged();
    editor.view().menuStateChanged();
    return true;
}

} // namespace quorvex
