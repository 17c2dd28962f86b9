#include "RowFilter.h"

#include "document/core/AttachmentRef.h"
#include "document/core/ListDocument.h"
#include "search/core/AsciiMatcher.h"

#include <algorithm>
#include <string_view>

namespace quorvex {

namespace {

bool usable(const FilterCondition &c)
{
    return c.test == FilterTest::IsEmpty || !c.text.empty();
}

// A cell's text as the grid shows it: an attachment by its file name.
std::string_view shownText(std::string_view cell)
{
    return AttachmentRef::isReference(cell) ? std::string_view(AttachmentRef::fileName(cell)) : cell;
}

// One condition, compiled once for every row.
class CompiledCondition {
public:
    explicit CompiledCondition(const FilterCondition &c) : m_cond(c), m_matcher(c.text) {}

    bool holds(const CellRow &cells, int colCount) const
    {
        const int stored = std::min(cells.storedCount(), colCount);
        if (m_cond.column > 0) {
            const std::string_view cell = m_cond.column < stored ? cells.cell(m_cond.column) : std::string_view();
            return holdsFor(cell);
        }
        switch (m_cond.test) {
        case FilterTest::Contains:
        case FilterTest::Equals:
            for (int c = 1; c < stored; ++c)
                if (holdsFor(cells.cell(c)))
                    return true;
            return false;
        case FilterTest::DoesNotContain:
        case FilterTest::IsEmpty:
            for (int c = 1; c < stored; ++c)
                if (!holdsFor(cells.cell(c)))
                    return false;
            return true;
        }
        return false;
    }

private:
    bool holdsFor(std::string_view cell) const
    {
        switch (m_cond.test) {
        case FilterTest::Contains: return contains(cell);
        case FilterTest::Equals: return m_matcher.equals(shownText(cell));
        case FilterTest::DoesNotContain: return !contains(cell);
        case FilterTest::IsEmpty: return cell.empty();
        }
        return false;
    }

    bool contains(std::string_view cell) const
    {
        if (cell.size() < m_matcher.size())
            return false;
        return m_matcher.findIn(shownText(cell)) != AsciiMatcher::npos;
    }

    FilterCondition m_cond;
    AsciiMatcher m_matcher;
};

struct CompiledFilter {
    std::vector<CompiledCondition> conditions;
    int groupColumn = 0;
    std::vector<std::string> groupTexts; // sorted

    explicit CompiledFilter(const RowFilter &f) : groupColumn(f.groupColumn), groupTexts(f.groupTexts)
    {
        for (const FilterCondition &c : f.conditions)
            if (usable(c))
                conditions.emplace_back(c);
        std::sort(groupTexts.begin(), groupTexts.end());
        if (groupTexts.empty())
            groupColumn = 0;
    }

    bool matches(const CellRow &cells, int colCount) const
    {
        if (groupColumn > 0) {
            const std::string_view cell = groupColumn < std::min(cells.storedCount(), colCount)
                                              ? cells.cell(groupColumn)
                                              : std::string_view();
            if (!std::binary_search(groupTexts.begin(), groupTexts.end(), cell,
                                    [](const auto &a, const auto &b) { return std::string_view(a) < std::string_view(b); }))
                return false;
        }
        for (const CompiledCondition &c : conditions)
            if (!c.holds(cells, colCount))
                return false;
        return true;
    }
};

} // namespace

bool RowFilter::narrows() const
{
    if (groupColumn > 0 && !groupTexts.empty())
        return true;
    return std::any_of(conditions.begin(), conditions.end(), usable);
}

std::vector<int> RowFilter::matchingRows(const ListDocument &doc) const
{
    const CompiledFilter compiled(*this);
    std::vector<int> rows;
    const int count = doc.RowCount();
    const int cols = doc.ColCount();
    for (int r = 1; r < count; ++r)
        if (compiled.matches(doc.rowAt(r), cols))
            rows.push_back(r);
    return rows;
}

bool RowFilter::matches(const ListDocument &doc, int row) const
{
    if (row < 1 || row >= doc.RowCount())
        return false;
    return CompiledFilter(*this).matches(doc.rowAt(row), doc.ColCount());
}

std::string RowFilter::groupedNumber(long long n)
{
    const bool negative = n < 0;
    std::string digits = std::to_string(negative ? -n : n);
    std::string out;
    const int len = static_cast<int>(digits.size());
    for (int i = 0; i < len; ++i) {
        if (i > 0 && (len - i) % 3 == 0)
            out += ',';
        out += digits[static_cast<std::size_t>(i)];
    }
    return negative ? "-" + out : out;
}

std::string RowFilter::statusText(long long shown, long long total)
{
    return "Showing " + groupedNumber(shown) + " of " + groupedNumber(total);
}

} // namespace quorvex
