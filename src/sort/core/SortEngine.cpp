#include "SortEngine.h"

#include "PageColumn.h"
#include "RankedPlan.h"
#include "SortKeyText.h"
#include "document/core/ListDocument.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace quorvex {

using namespace sorting;

double SortEngine::runValue(const char *digits, std::size_t length)
{
    while (length > 0 && *digits == '0') {
        ++digits;
        --length;
    }
    if (length <= 19) {
        std::uint64_t v = 0;
        for (std::size_t i = 0; i < length; ++i)
            v = v * 10 + static_cast<std::uint64_t>(digits[i] - '0');
        // Both this and strtod round the exact value to the nearest double.
        return static_cast<double>(v);
    }
    if (length > 400)
        return std::numeric_limits<double>::infinity();
    const std::string text(digits, length);
    return std::strtod(text.c_str(), nullptr);
}

std::string SortEngine::BuildSortKey(const ListDocument &doc, const SortOptions &options, int row)
{
    SortOptions o = options;
    o.encoding = doc.textEncoding();
    std::string key;
    appendKey(key, doc, o, row, doc.cellView(0, row));
    return key;
}

bool SortEngine::CompareSortKeys(std::string_view best, std::string_view candidate, bool backwards)
{
    return CompareSortKeys(best, candidate, backwards, TextEncoding::Windows1252);
}

bool SortEngine::CompareSortKeys(std::string_view best, std::string_view candidate, bool backwards,
                                 TextEncoding encoding)
{
    const bool unsignedBytes = encoding == TextEncoding::Utf8;
    const std::size_t lb = best.size(), lc = candidate.size();
    std::size_t b = 0; // 0-based position
    bool digitTest = true;
    while (b < lb && b < lc) {
        const unsigned char x = static_cast<unsigned char>(best[b]);
        const unsigned char y = static_cast<unsigned char>(candidate[b]);
        if (digitTest && isDigit(x) && isDigit(y)) {
            std::size_t eb = b, ec = b;
            while (eb < lb && isDigit(static_cast<unsigned char>(best[eb])))
                ++eb;
            while (ec < lc && isDigit(static_cast<unsigned char>(candidate[ec])))
                ++ec;
            const double vb = runValue(best.data() + b, eb - b);
            const double vc = runValue(candidate.data() + b, ec - b);
            if (vc < vb)
                return !backwards;
            if (vc > vb)
                return backwards;
            b = eb;
            digitTest = false;
            continue;
        }
        digitTest = true;
        const int sx = unsignedBytes ? x : static_cast<signed char>(x);
        const int sy = unsignedBytes ? y : static_cast<signed char>(y);
        if (sx < sy)
            return backwards;
        if (sx > sy)
            return !backwards;
        ++b;
    }
    const bool bestEnded = b >= lb, candidateEnded = b >= lc;
    if (backwards)
        return bestEnded && !candidateEnded;
    return candidateEnded && !bestEnded;
}

void SortEngine::SwapGridRows(ListDocument &doc, int a, int b)
{
    if (a == b || a < 0 || b < 0 || a >= doc.RowCount() || b >= doc.RowCount())
        return;
    CellRow ra = doc.rowAt(a), rb = doc.rowAt(b);
    const std::string_view pa = ra.cell(0), pb = rb.cell(0);
    CellRow na = pa == pb ? rb : rb.withCell(0, pa);
    CellRow nb = pa == pb ? ra : ra.withCell(0, pb);
    doc.setRowAt(a, std::move(na));
    doc.setRowAt(b, std::move(nb));
}

bool SortEngine::SortGrid(ListDocument &doc, const SortOptions &givenOptions, int first, int end,
                          const ProgressPoint &progress, const Idle &idle)
{
    SortOptions options = givenOptions;
    options.encoding = doc.textEncoding();
    first = std::max(first, 0);
    end = std::min(end, doc.RowCount());
    if (end - first < 2) {
        return true;
    }
    const std::size_t n = static_cast<std::size_t>(end - first);
    std::vector<int> perm(n);
    for (std::size_t p = 0; p < n; ++p)
        perm[p] = static_cast<int>(p);

    // Keys move with the page column only when it is a key column and its
    // texts differ within the range.
    const PageColumn pages(doc, first, n);
    bool pageKey = std::find(options.keyColumns.begin(), options.keyColumns.end(), 0) != options.keyColumns.end();
    if (pageKey) {
        std::size_t p = 1;
        while (p < n && pages.at(p) == pages.at(0))
            ++p;
        pageKey = p < n;
    }
    const std::unique_ptr<Plan> plan = std::make_unique<RankedPlan>(doc, options, first, end, perm, pages, pageKey, idle);

    bool finished = true;
    try {
        for (int i = first; i < end - 1; ++i) {
            if (i % 5 == 0 && progress && !progress(i)) {
                finished = false;
                break;
            }
            plan->step(static_cast<std::size_t>(i - first));
        }
    } catch (...) {
        // The exchanges made before the failure stay, as they would row by row.
        try {
            applyPermutation(doc, first, perm, pages);
        } catch (...) {
        }
        throw;
    }
    applyPermutation(doc, first, perm, pages);
    return finished;
}

} // namespace quorvex
