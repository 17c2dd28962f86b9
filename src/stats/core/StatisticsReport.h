#pragma once

#include "ListStatistics.h"
#include "platform/core/TextEncoding.h"

#include <ostream>
#include <string>
#include <string_view>

namespace quorvex {

// The figures of a list as the command line prints them, in UTF-8.
class StatisticsReport {
public:
    // How many of a column's most frequent texts the text form lists.
    static constexpr int TopCount = 20;

    // One object: {"items": N, "columns": [{"column": C, "header": "H",
    // "distinct": D, "values": [{"text": "T", "count": K}, ...]}, ...]}, every
    // distinct text by count (largest first), then by text. Sorts the values.
    static void writeJson(std::ostream &out, ListStatistics &stats, TextEncoding encoding);
    // Items, then per column its distinct count, what it holds with its sum
    // and average or its years, and its most frequent texts.
    static void writeText(std::ostream &out, ListStatistics &stats, TextEncoding encoding);

    // A cell's bytes as UTF-8: a Windows-1252 list's converted, a Unicode
    // list's as they are, except bytes that are no UTF-8, which become U+FFFD
    // so the output stays valid.
    static std::string utf8Text(std::string_view bytes, TextEncoding encoding);
    // A JSON string literal, quotes included, of UTF-8 text.
    static std::string jsonString(std::string_view utf8);
};

} // namespace quorvex
