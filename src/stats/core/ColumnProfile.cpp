#include "ColumnProfile.h"

#include "StatisticsReport.h"
#include "document/core/AttachmentRef.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace quorvex {

namespace {

bool reaches(long long part, long long whole) { return part > 0 && part >= ColumnProfile::Share * whole; }

} // namespace

ColumnProfile ColumnProfile::of(const ColumnCounts &column)
{
    ColumnProfile p;
    long long cells = 0;
    for (const ValueCount &v : column.values)
        if (!v.text.empty())
            cells += v.count;
    p.cells = static_cast<int>(cells);
    if (cells == 0)
        return p;

    // First reading: which kind, stopping as soon as none can reach its share.
    const long long allowedMisses = cells - static_cast<long long>(std::ceil(Share * static_cast<double>(cells)));
    long long years = 0, numbers = 0, durations = 0;
    long long notYear = 0, notNumber = 0, notEither = 0;
    bool longColonFirst = false;
    std::vector<int> perYear(CellNumber::LastYear - CellNumber::FirstYear + 1, 0);
    for (const ValueCount &v : column.values) {
        if (v.text.empty())
            continue;
        if (const auto y = CellNumber::year(v.text)) {
            years += v.count;
            perYear[static_cast<std::size_t>(*y - CellNumber::FirstYear)] += v.count;
        } else {
            notYear += v.count;
        }
        const bool isNumber = CellNumber::number(v.text).has_value();
        const auto d = isNumber ? std::nullopt : CellNumber::duration(v.text);
        if (isNumber)
            numbers += v.count;
        else
            notNumber += v.count;
        if (d) {
            durations += v.count;
            if (d->twoPartColon && d->colonFirst >= 10)
                longColonFirst = true;
        }
        if (!isNumber && !d)
            notEither += v.count;
        if (notYear > allowedMisses && notNumber > allowedMisses && notEither > allowedMisses)
            return p;
    }

    if (reaches(years, cells)) {
        p.kind = ColumnKind::Years;
        p.counted = static_cast<int>(years);
        p.notCounted = p.cells - p.counted;
        int first = 0;
        while (perYear[static_cast<std::size_t>(first)] == 0)
            ++first;
        int last = static_cast<int>(perYear.size()) - 1;
        while (perYear[static_cast<std::size_t>(last)] == 0)
            --last;
        p.firstYear = CellNumber::FirstYear + first;
        p.lastYear = CellNumber::FirstYear + last;
        p.perYear.assign(perYear.begin() + first, perYear.begin() + last + 1);
        return p;
    }
    if (durations > 0 && durations >= numbers && reaches(durations + numbers, cells))
        p.kind = ColumnKind::Durations;
    else if (reaches(numbers, cells))
        p.kind = ColumnKind::Numbers;
    else
        return p;
    p.colonHoursMinutes = !longColonFirst;

    // Second reading: the figures, now that the reading of each form is known.
    bool any = false;
    long long counted = 0;
    for (const ValueCount &v : column.values) {
        if (v.text.empty())
            continue;
        const auto value = p.valueOf(v.text);
        if (!value)
            continue;
        counted += v.count;
        p.sum += *value * v.count;
        p.minimum = any ? std::min(p.minimum, *value) : *value;
        p.maximum = any ? std::max(p.maximum, *value) : *value;
        any = true;
    }
    p.counted = static_cast<int>(counted);
    p.notCounted = p.cells - p.counted;
    return p;
}

std::optional<double> ColumnProfile::valueOf(std::string_view text) const
{
    if (kind == ColumnKind::Numbers)
        return CellNumber::number(text);
    if (kind != ColumnKind::Durations)
        return std::nullopt;
    if (const auto n = CellNumber::number(text))
        return *n;
    if (const auto d = CellNumber::duration(text))
        return CellNumber::colonMinutes(*d, colonHoursMinutes);
    return std::nullopt;
}

std::vector<ChartBar> ColumnProfile::yearBars(bool decades) const
{
    std::vector<ChartBar> bars;
    if (kind != ColumnKind::Years || perYear.empty())
        return bars;
    if (!decades) {
        for (int y = firstYear; y <= lastYear; ++y)
            bars.push_back(ChartBar{std::to_string(y), perYear[static_cast<std::size_t>(y - firstYear)]});
        return bars;
    }
    for (int d = firstYear / 10 * 10; d <= lastYear; d += 10) {
        ChartBar bar{std::to_string(d) + "s", 0};
        for (int y = std::max(d, firstYear); y <= std::min(d + 9, lastYear); ++y)
            bar.count += perYear[static_cast<std::size_t>(y - firstYear)];
        bars.push_back(std::move(bar));
    }
    return bars;
}

std::vector<ChartBar> ColumnProfile::rangeBars(const ColumnCounts &column, int binCount) const
{
    std::vector<ChartBar> bars;
    if ((kind != ColumnKind::Numbers && kind != ColumnKind::Durations) || counted == 0 || binCount < 1)
        return bars;
    // One bar when every value is the same.
    if (!(maximum > minimum))
        binCount = 1;
    const double width = binCount == 1 ? 0 : (maximum - minimum) / binCount;
    std::vector<long long> counts(static_cast<std::size_t>(binCount), 0);
    for (const ValueCount &v : column.values) {
        if (v.text.empty())
            continue;
        const auto value = valueOf(v.text);
        if (!value)
            continue;
        int bin = width > 0 ? static_cast<int>((*value - minimum) / width) : 0;
        bin = std::clamp(bin, 0, binCount - 1);
        counts[static_cast<std::size_t>(bin)] += v.count;
    }
    for (int b = 0; b < binCount; ++b) {
        const double low = minimum + width * b;
        const double high = b + 1 == binCount ? maximum : minimum + width * (b + 1);
        std::string label = valueText(low);
        if (high > low)
            label += " - " + valueText(high);
        bars.push_back(ChartBar{std::move(label), counts[static_cast<std::size_t>(b)]});
    }
    return bars;
}

std::vector<ChartBar> ColumnProfile::topValueBars(const ColumnCounts &column, int n, TextEncoding encoding)
{
    const TopValues top = ListStatistics::topValues(column.values, n, true);
    std::vector<ChartBar> bars;
    bars.reserve(top.top.size() + 1);
    for (const ValueCount &v : top.top) {
        const std::string_view shown = AttachmentRef::isReference(v.text) ? AttachmentRef::fileName(v.text) : v.text;
        bars.push_back(ChartBar{StatisticsReport::utf8Text(shown, encoding), v.count});
    }
    if (top.restDistinct > 0)
        bars.push_back(ChartBar{"(" + groupedCount(top.restDistinct) +
                                    (top.restDistinct == 1 ? " other value)" : " other values)"),
                                top.restCount});
    return bars;
}

std::string ColumnProfile::durationText(double minutes)
{
    const bool negative = minutes < 0;
    const double m = std::fabs(minutes);
    std::string text;
    if (m > 0 && m < 1) {
        text = std::to_string(static_cast<long long>(std::llround(m * 60))) + " s";
    } else {
        const long long whole = std::llround(m);
        if (whole < 60) {
            text = std::to_string(whole) + " min";
        } else {
            char tail[16];
            std::snprintf(tail, sizeof tail, " h %02lld min", whole % 60);
            text = groupedCount(whole / 60) + tail;
        }
    }
    return negative ? "-" + text : text;
}

std::string ColumnProfile::numberText(double value)
{
    if (!std::isfinite(value))
        return "0";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.2f", value);
    std::string text = buffer;
    while (!text.empty() && text.back() == '0')
        text.pop_back();
    if (!text.empty() && text.back() == '.')
        text.pop_back();
    return text == "-0" ? "0" : text;
}

std::string ColumnProfile::groupedCount(long long n)
{
    std::string digits = std::to_string(n < 0 ? -n : n);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += ',';
        out += digits[i];
    }
    return n < 0 ? "-" + out : out;
}

const char *ColumnProfile::kindName(ColumnKind kind)
{
    switch (kind) {
    case ColumnKind::Years:
        return "years";
    case ColumnKind::Numbers:
        return "numbers";
    case ColumnKind::Durations:
        return "durations";
    case ColumnKind::Text:
        break;
    }
    return "text";
}

} // namespace quorvex
