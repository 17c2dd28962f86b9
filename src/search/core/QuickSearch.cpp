#include "QuickSearch.h"

#include "TextMatcher.h"
#include "document/core/AttachmentRef.h"
#include "document/core/Editor.h"

namespace quorvex {

int QuickSearch::column(int setting, int colCount)
{
    const int lastData = colCount - 1;
    if (setting >= 1 && setting <= lastData)
        return setting;
    return DefaultColumn <= lastData ? DefaultColumn : 1;
}

std::string QuickSearch::labelText(int setting, int colCount)
{
    return "&Quick search (Column " + std::to_string(column(setting, colCount)) + "): ";
}

int QuickSearch::findRow(const ListDocument &doc, int col, std::string_view typed, const ShownRows *shown)
{
    const TextMatcher matcher(typed, doc.textEncoding());
    if (matcher.empty() || col < 1 || col >= doc.ColCount())
        return 0;
    const int rows = doc.RowCount();
    const auto next = [shown](int r) { return shown ? shown->firstAtOrAfter(r) : r; };
    for (int r = next(1); r < rows; r = next(r + 1)) {
        const std::string_view text = doc.rowAt(r).cell(col);
        if (text.size() < matcher.minTextSize() || AttachmentRef::isReference(text))
            continue;
        if (matcher.findIn(text) != TextMatcher::npos)
            return r;
    }
    return 0;
}

int QuickSearch::run(Editor &editor, std::string_view typed)
{
    ListDocument &doc = editor.document();
    const int col = column(editor.quickSearchColumn, doc.ColCount());
    const int row = findRow(doc, col, typed, &editor.shownRows());
    if (row == 0)
        return 0;
    if (col != doc.Col() || row != doc.Row()) {
        editor.cellSelected(col, row);
        doc.SetCurrentCell(col, row);
    }
    editor.view().documentChanged();
    editor.RefreshStatusBar();
    editor.view().showCellPreview(col, row);
    return row;
}

} // namespace quorvex
