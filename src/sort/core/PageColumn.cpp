#include "PageColumn.h"

#include "SortEngine.h"
#include "SortKeyText.h"
#include "document/core/ListDocument.h"

#include <algorithm>
#include <utility>

namespace quorvex::sorting {

PageColumn::PageColumn(const ListDocument &doc, int first, std::size_t n) : index(n, 0)
{
    for (std::size_t p = 0; p < n; ++p) {
        const std::string_view t = doc.cellView(0, first + static_cast<int>(p));
        if (!t.empty()) {
            index[p] = static_cast<std::uint32_t>(texts.size());
            texts.emplace_back(t);
        }
    }
}

bool PageColumn::numbered() const
{
    double last = -1;
    for (std::size_t p = 0; p < index.size(); ++p) {
        const std::string_view t = at(p);
        if (t.empty())
            continue;
        if (t.size() < 2 || t.size() > 16 || t[0] != ' ' || t[1] == '0' ||
            !std::all_of(t.begin() + 1, t.end(), [](char ch) { return isDigit(static_cast<unsigned char>(ch)); }))
            return false;
        const double v = SortEngine::runValue(t.data() + 1, t.size() - 1);
        if (v <= last)
            return false;
        last = v;
    }
    return true;
}

void applyPermutation(ListDocument &doc, int first, const std::vector<int> &perm, const PageColumn &pages)
{
    // Rows whose page cell must change are built first, so that a failure
    // leaves the document as it was.
    std::vector<std::pair<int, CellRow>> repaged;
    for (std::size_t p = 0; p < perm.size(); ++p) {
        const std::size_t from = static_cast<std::size_t>(perm[p]);
        if (pages.index[p] != pages.index[from] && pages.at(p) != pages.at(from))
            repaged.emplace_back(first + static_cast<int>(p),
                                 doc.rowAt(first + perm[p]).withCell(0, pages.at(p)));
    }
    doc.permuteRows(first, perm);
    for (auto &[row, cells] : repaged)
        doc.setRowAt(row, std::move(cells));
}

} // namespace quorvex::sorting
