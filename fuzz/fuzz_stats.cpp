// libFuzzer target: the statistics of hostile cell texts. Lines are rows and
// tabs separate cells; the first byte picks the text encoding. The counts must
// add up to the items, and the JSON must be valid UTF-8.
#include "FuzzSupport.h"
#include "platform/core/UnicodeText.h"
#include "stats/core/ColumnProfile.h"
#include "stats/core/ListStatistics.h"
#include "stats/core/StatisticsReport.h"

#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace quorvex;
    if (size == 0)
        return 0;
    const TextEncoding encoding = (data[0] & 1) ? TextEncoding::Utf8 : TextEncoding::Windows1252;
    const std::string text(reinterpret_cast<const char *>(data) + 1, size - 1);
    std::vector<std::vector<std::string>> rows(1);
    std::size_t widest = 0;
    std::string cell;
    for (const char ch : text) {
        if (ch == '\n') {
            rows.back().push_back(cell);
            cell.clear();
            widest = std::max(widest, rows.back().size());
            rows.emplace_back();
        } else if (ch == '\t') {
            rows.back().push_back(cell);
            cell.clear();
        } else {
            cell += ch;
        }
    }
    rows.back().push_back(cell);
    widest = std::max(widest, rows.back().size());
    ListDocument doc(static_cast<int>(widest) + 1, static_cast<int>(rows.size()) + 1);
    doc.setTextEncoding(encoding);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        std::vector<std::string> cells{std::string()};
        cells.insert(cells.end(), rows[r].begin(), rows[r].end());
        doc.setRowAt(static_cast<int>(r) + 1, CellRow::fromCells(cells));
    }

    ListStatistics stats = ListStatistics::compute(doc);
    for (const ColumnCounts &column : stats.columns()) {
        long long total = 0;
        for (const ValueCount &v : column.values)
            total += v.count;
        if (total != stats.items())
            std::abort();
        const ColumnProfile profile = ColumnProfile::of(column);
        if (profile.counted + profile.notCounted != (profile.kind == ColumnKind::Text ? 0 : profile.cells))
            std::abort();
        profile.yearBars(true);
        profile.yearBars(false);
        profile.rangeBars(column, 12);
        ColumnProfile::topValueBars(column, 20, encoding);
    }
    std::ostringstream json, plain;
    StatisticsReport::writeText(plain, stats, encoding);
    StatisticsReport::writeJson(json, stats, encoding);
    if (!UnicodeText::isValidUtf8(json.str()))
        std::abort();
    return 0;
}
