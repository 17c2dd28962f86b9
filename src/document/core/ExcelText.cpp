#include "ExcelText.h"

#include "ListDocument.h"
#include "platform/core/ProgressReporter.h"
#include "platform/core/UnicodeText.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace quorvex {

int ExcelText::progressPercent(int row, int rowCount)
{
    if (rowCount <= 0)
        return 0;
    // Whole numbers: in floating point 29 of 100 rows would show as 28%.
    return static_cast<int>(static_cast<long long>(row) * 100 / rowCount);
}

std::string ExcelText::formatExcelText(const ListDocument &doc, int firstRow, int lastRow, int firstCol, int lastCol,
                                       std::string_view lineEnd, const ExcelTextProgress *progress)
{
    return format(doc, firstRow, lastRow, firstCol, lastCol, lineEnd, false, progress);
}

std::string ExcelText::format(const ListDocument &doc, int firstRow, int lastRow, int firstCol, int lastCol,
                              std::string_view lineEnd, bool feedsAsCrLf, const ExcelTextProgress *progress)
{
    firstRow = std::max(firstRow, 0);
    lastRow = std::min(lastRow, doc.RowCount() - 1);
    firstCol = std::max(firstCol, 0);
    lastCol = std::min(lastCol, doc.ColCount() - 1);
    std::string text;
    if (firstRow > lastRow || firstCol > lastCol)
        return text;
    const int tabLimit = std::min(doc.ColCount() - 1, lastCol);
    const int rowCount = doc.RowCount();
    const std::size_t separators = static_cast<std::size_t>(std::max(tabLimit - firstCol, 0)) + lineEnd.size();

    // The progress report lets window events run, and a command run from one may
    // change the list: work on the rows as they are now. The blocks are shared and
    // never change, so this costs one reference per row. The same pass sizes the
    // text, while each row's block is at hand: one allocation, no regrowth.
    std::vector<CellRow> rows;
    rows.reserve(static_cast<std::size_t>(lastRow - firstRow + 1));
    std::size_t total = 0;
    for (int r = firstRow; r <= lastRow; ++r) {
        const CellRow &row = doc.rowAt(r);
        const int stored = std::min(row.storedCount(), lastCol + 1);
        for (int c = firstCol; c < stored; ++c) {
            const std::string_view cell = row.cell(c);
            total += cell.size();
            if (feedsAsCrLf)
                total += static_cast<std::size_t>(std::count(cell.begin(), cell.end(), '\n'));
        }
        total += separators;
        rows.push_back(row);
    }
    text.resize(total);

    char *out = text.data();
    const int every = progress ? std::max(progress->everyRows, 1) : 0;
    for (int r = firstRow; r <= lastRow; ++r) {
        const CellRow &row = rows[static_cast<std::size_t>(r - firstRow)];
        for (int c = firstCol; c <= lastCol; ++c) {
            const std::string_view cell = row.cell(c);
            if (feedsAsCrLf && cell.find('\n') != std::string_view::npos) {
                for (char ch : cell) {
                    if (ch == '\n')
                        *out++ = '\r';
                    *out++ = ch;
                }
            } else if (!cell.empty()) {
                std::memcpy(out, cell.data(), cell.size());
                out += cell.size();
            }
            if (c < tabLimit)
                *out++ = '\t';
        }
        std::memcpy(out, lineEnd.data(), lineEnd.size());
        out += lineEnd.size();
        if (progress && r != 0 && r % every == 0) {
            const int p = progressPercent(r, rowCount);
            progress->reporter.setProgress(p, std::to_string(p) + progress->suffix);
            progress->reporter.pumpEvents();
        }
    }
    return text;
}

std::string ExcelText::exportFileText(const ListDocument &doc, const ExcelTextProgress *progress)
{
    // The file is text: a line feed inside a cell is written as CR LF.
    return format(doc, 0, doc.RowCount() - 1, 1, doc.ColCount() - 1, ExportLineEnd, true, progress);
}

std::string ExcelText::exportUtf8Text(const ListDocument &doc, const ExcelTextProgress *progress)
{
    std::string text = format(doc, 0, doc.RowCount() - 1, 1, doc.ColCount() - 1, "\n", false, progress);
    // Tabs and line ends are the same byte in both encodings.
    if (doc.textEncoding() == TextEncoding::Windows1252)
        text = UnicodeText::fromCp1252(text);
    return text;
}

} // namespace quorvex
