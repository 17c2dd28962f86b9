#include "ExcelText.h"

#include "ListDocument.h"
#include "app/core/ProgressReporter.h"

#include <algorithm>
#include <cstring>

namespace quorvex {

int ExcelText::progressPercent(int row, int rowCount)
{
    if (rowCount <= 0)
        return 0;
    return static_cast<int>(static_cast<double>(row) / static_cast<double>(rowCount) * 100.0);
}

std::string ExcelText::formatExcelText(const ListDocument &doc, int firstRow, int lastRow, int firstCol, int lastCol,
                                       std::string_view lineEnd, const ExcelTextProgress *progress)
{
    firstRow = std::max(firstRow, 0);
    lastRow = std::min(lastRow, doc.RowCount() - 1);
    firstCol = std::max(firstCol, 0);
    lastCol = std::min(lastCol, doc.ColCount() - 1);
    std::string text;
    if (firstRow > lastRow || firstCol > lastCol)
        return text;
    const int tabLimit = std::min(doc.ColCount() - 1, lastCol);

    // Size it first: a million-row list would otherwise be copied many times while growing.
    std::size_t total = 0;
    for (int r = firstRow; r <= lastRow; ++r) {
        const CellRow &row = doc.rowAt(r);
        const int stored = std::min(row.storedCount(), lastCol + 1);
        for (int c = firstCol; c < stored; ++c)
            total += row.cell(c).size();
        total += static_cast<std::size_t>(std::max(tabLimit - firstCol, 0)) + lineEnd.size();
    }
    text.resize(total);

    char *out = text.data();
    const int every = progress ? std::max(progress->everyRows, 1) : 0;
    for (int r = firstRow; r <= lastRow; ++r) {
        const CellRow &row = doc.rowAt(r);
        for (int c = firstCol; c <= lastCol; ++c) {
            const std::string_view cell = row.cell(c);
            if (!cell.empty()) {
                std::memcpy(out, cell.data(), cell.size());
                out += cell.size();
            }
            if (c < tabLimit)
                *out++ = '\t';
        }
        std::memcpy(out, lineEnd.data(), lineEnd.size());
        out += lineEnd.size();
        if (progress && r != 0 && r % every == 0) {
            const int p = progressPercent(r, doc.RowCount());
            progress->reporter.setProgress(p, std::to_string(p) + progress->suffix);
            progress->reporter.pumpEvents();
        }
    }
    return text;
}

} // namespace quorvex
