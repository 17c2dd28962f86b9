#include "StatisticsReport.h"

#include "ColumnProfile.h"
#include "platform/core/UnicodeText.h"

#include <cstdio>

namespace quorvex {

std::string StatisticsReport::utf8Text(std::string_view bytes, TextEncoding encoding)
{
    if (encoding == TextEncoding::Windows1252)
        return UnicodeText::fromCp1252(bytes);
    if (UnicodeText::isValidUtf8(bytes))
        return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() + 8);
    for (std::size_t pos = 0; pos < bytes.size();)
        UnicodeText::append(out, UnicodeText::decode(bytes, pos));
    return out;
}

std::string StatisticsReport::jsonString(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size() + 2);
    out += '"';
    for (const char ch : utf8) {
        const unsigned char c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20 || c == 0x7F) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out += escaped;
            } else {
                out += ch;
            }
        }
    }
    out += '"';
    return out;
}

void StatisticsReport::writeJson(std::ostream &out, ListStatistics &stats, TextEncoding encoding)
{
    out << "{\"items\": " << stats.items() << ", \"columns\": [";
    bool firstColumn = true;
    std::string line;
    for (ColumnCounts &column : stats.columns()) {
        ListStatistics::sortValues(column.values);
        out << (firstColumn ? "" : ", ") << "{\"column\": " << column.column
            << ", \"header\": " << jsonString(utf8Text(column.header, encoding))
            << ", \"distinct\": " << column.distinct() << ", \"values\": [";
        firstColumn = false;
        bool firstValue = true;
        for (const ValueCount &v : column.values) {
            line.clear();
            if (!firstValue)
                line += ", ";
            line += "{\"text\": ";
            line += jsonString(utf8Text(v.text, encoding));
            line += ", \"count\": ";
            line += std::to_string(v.count);
            line += '}';
            out.write(line.data(), static_cast<std::streamsize>(line.size()));
            firstValue = false;
        }
        out << "]}";
    }
    out << "]}\n";
}

void StatisticsReport::writeText(std::ostream &out, ListStatistics &stats, TextEncoding encoding)
{
    out << "items: " << stats.items() << '\n';
    for (ColumnCounts &column : stats.columns()) {
        const ColumnProfile profile = ColumnProfile::of(column);
        out << "column " << column.column << ": " << utf8Text(column.header, encoding) << '\n';
        out << "  distinct: " << column.distinct() << '\n';
        out << "  empty: " << column.emptyCount << '\n';
        out << "  holds: " << ColumnProfile::kindName(profile.kind) << '\n';
        if (profile.kind == ColumnKind::Years) {
            out << "  years: " << profile.firstYear << " to " << profile.lastYear << ", " << profile.counted
                << " cells, " << profile.notCounted << " not a year\n";
        } else if (profile.kind != ColumnKind::Text) {
            out << "  sum: " << profile.valueText(profile.sum) << '\n';
            out << "  average: " << profile.valueText(profile.average()) << '\n';
            out << "  minimum: " << profile.valueText(profile.minimum) << '\n';
            out << "  maximum: " << profile.valueText(profile.maximum) << '\n';
            out << "  counted: " << profile.counted << " cells, " << profile.notCounted << " not counted\n";
        }
        const TopValues top = ListStatistics::topValues(column.values, TopCount);
        for (const ValueCount &v : top.top) {
            const std::string text = v.text.empty() ? std::string("(empty)") : utf8Text(v.text, encoding);
            // A line break inside a cell would split the listing.
            std::string shown;
            for (const char ch : text)
                shown += (ch == '\n' || ch == '\r') ? ' ' : ch;
            out << "  " << v.count << '\t' << shown << '\n';
        }
        if (top.restDistinct > 0)
            out << "  " << top.restCount << "\t(" << top.restDistinct
                << (top.restDistinct == 1 ? " other value)" : " other values)") << '\n';
    }
}

} // namespace quorvex
