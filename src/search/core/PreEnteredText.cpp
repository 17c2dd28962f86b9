#include "PreEnteredText.h"

#include "document/core/AttachmentRef.h"
#include "document/core/Editor.h"

#include <unordered_set>

namespace quorvex {

std::vector<std::string> PreEnteredText::splitLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < n && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.emplace_back(text.substr(start));
    return lines;
}

std::vector<std::string> PreEnteredText::collect(const ListDocument &doc, int col,
                                                 const std::function<void()> &pump)
{
    std::vector<std::string> items;
    if (col < 1 || col >= doc.ColCount())
        return items;
    const int rows = doc.RowCount();
    int first = 1;
    std::string_view firstText;
    for (; first < rows; ++first) {
        const std::string_view text = doc.rowAt(first).cell(col);
        if (!text.empty() && !AttachmentRef::isReference(text)) {
            firstText = text;
            break;
        }
    }
    if (first >= rows)
        return items;
    std::unordered_set<std::string_view> seen;
    for (std::string &line : splitLines(firstText))
        items.push_back(std::move(line));
    // Views into `items` stay valid: the vector is not grown while they are in the set.
    items.reserve(items.size() + static_cast<std::size_t>(std::min(rows, ScanRowLimit)));
    for (const std::string &item : items)
        seen.insert(item);
    // The first text is in the list already, as its lines.
    seen.insert(firstText);
    for (int r = 1; r < rows && r < ScanRowLimit; ++r) {
        if (pump && r % 5 == 0)
            pump();
        const std::string_view text = doc.rowAt(r).cell(col);
        if (text.empty() || AttachmentRef::isReference(text))
            continue;
        if (seen.insert(text).second)
            items.emplace_back(text);
    }
    return items;
}

bool PreEnteredText::write(Editor &editor, std::string_view text)
{
    ListDocument &doc = editor.document();
    const int col = doc.Col();
    const int row = doc.Row();
    // In-place editing is off over an attachment; the box must not replace it either.
    if (AttachmentRef::IsAttachmentCell(doc, col, row))
        return false;
    UndoHistory &undo = editor.undoHistory();
    if (!undo.snapshotCurrent()) {
        editor.backupCells();
        undo.setCaption(UndoCaption);
    }
    editor.MarkModified();
    doc.SetCell(col, row, text);
    undo.setEnabled(true, false);
    editor.currentCellRewritten();
    editor.view().documentChanged();
    editor.view().menuStateChanged();
    editor.view().showCellPreview(col, row);
    return true;
}

std::string PreEnteredText::shownText(const ListDocument &doc)
{
    const std::string_view text = doc.cellView(doc.Col(), doc.Row());
    return AttachmentRef::isReference(text) ? std::string() : std::string(text);
}

} // namespace quorvex
