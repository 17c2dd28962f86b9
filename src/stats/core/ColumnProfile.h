#pragma once

#include "CellNumber.h"
#include "ListStatistics.h"
#include "platform/core/TextEncoding.h"

#include <string>
#include <vector>

namespace quorvex {

enum class ColumnKind { Text, Years, Numbers, Durations };

// One bar of a chart: its label and the rows it stands for.
struct ChartBar {
    std::string label; // UTF-8
    long long count = 0;
};

// What a column holds, judged on its non-empty cells:
// - years when at least 80% of them read as a year (CellNumber::year), so a
//   few typing slips or "unknown" entries do not hide a Year column;
// - durations when at least 80% read as a duration or a plain number and the
//   durations ("95 min", "1:35") are at least as many as the plain numbers; a
//   plain number among them is taken as minutes;
// - numbers when at least 80% read as a number;
// - text otherwise, and always when the column has no non-empty cell.
// Years win over numbers: summing years means nothing. A two-part colon form
// reads as hours:minutes ("1:35", a film) unless one of the column's has 10 or
// more before the colon ("45:33", an album), which makes them minutes:seconds.
// The cells that do not read so are counted in `notCounted`, never guessed.
struct ColumnProfile {
    static constexpr double Share = 0.8;

    ColumnKind kind = ColumnKind::Text;
    int cells = 0;      // non-empty cells
    int counted = 0;    // of these, the ones that read as the kind
    int notCounted = 0; // the other non-empty ones (of a kind other than text)
    // Numbers and durations (in minutes).
    double sum = 0;
    double minimum = 0;
    double maximum = 0;
    double average() const { return counted > 0 ? sum / counted : 0; }
    bool colonHoursMinutes = true;
    // Years: rows per year from firstYear to lastYear.
    int firstYear = 0;
    int lastYear = 0;
    std::vector<int> perYear;

    // Reads the column's distinct values, each once, weighted by its count.
    static ColumnProfile of(const ColumnCounts &column);

    // Bars of every year (or decade: "1990s") from the first to the last, the
    // empty ones included so the time line has no gaps.
    std::vector<ChartBar> yearBars(bool decades) const;
    // Decades read better once the years span more than this.
    static constexpr int DecadesAfterYears = 40;
    bool prefersDecades() const { return lastYear - firstYear + 1 > DecadesAfterYears; }

    // The counted values of a number or duration column in `binCount` ranges
    // of equal width between the minimum and the maximum.
    std::vector<ChartBar> rangeBars(const ColumnCounts &column, int binCount) const;
    // The value of one cell under this profile's reading, or nothing.
    std::optional<double> valueOf(std::string_view text) const;

    // "95 min", "1 h 35 min", "12,345 h 05 min", "45 s".
    static std::string durationText(double minutes);
    // Up to two decimals, no trailing zeros: "12.5", "-3", "1234567".
    static std::string numberText(double value);
    // Thousands grouped with commas: "1,000,000".
    static std::string groupedCount(long long n);
    // The figure as this kind shows it.
    std::string valueText(double value) const
    {
        return kind == ColumnKind::Durations ? durationText(value) : numberText(value);
    }
    static const char *kindName(ColumnKind kind);

    // The bars of a column's most frequent texts, the rest together in one
    // bar "(N other values)". The empty text is left out: it is no value. An
    // attached file's bar is labelled with the file's name.
    static std::vector<ChartBar> topValueBars(const ColumnCounts &column, int n, TextEncoding encoding);
};

} // namespace quorvex
