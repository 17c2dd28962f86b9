#include "FakeServices.h"
#include "TempFolder.h"
#include "cli/core/CliTool.h"
#include "document/core/AttachmentRef.h"
#include "document/core/ListDocument.h"
#include "document/core/PageSetup.h"
#include "listfile/core/ListFileWriter.h"
#include "stats/core/CellNumber.h"
#include "stats/core/ColumnProfile.h"
#include "stats/core/ListStatistics.h"
#include "stats/core/StatisticsReport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <vector>

using namespace quorvex;

namespace {

// A list of the given data rows under headers "H1".. in columns 1..; short
// rows leave their last cells unstored.
ListDocument listOf(const std::vector<std::vector<std::string>> &rows, int dataColumns)
{
    ListDocument doc(dataColumns + 1, static_cast<int>(rows.size()) + 1);
    for (int c = 1; c <= dataColumns; ++c)
        doc.SetCell(c, 0, "H" + std::to_string(c));
    for (std::size_t r = 0; r < rows.size(); ++r) {
        std::vector<std::string> cells{std::to_string(r + 1)};
        cells.insert(cells.end(), rows[r].begin(), rows[r].end());
        doc.setRowAt(static_cast<int>(r) + 1, CellRow::fromCells(cells));
    }
    return doc;
}

// One column's cells as a list, for the profile and chart cases.
ColumnCounts countsOf(const ListDocument &doc)
{
    ListStatistics stats = ListStatistics::compute(doc, 1);
    return stats.columns().at(0);
}

std::map<std::string, int> asMap(const ColumnCounts &c)
{
    std::map<std::string, int> m;
    for (const ValueCount &v : c.values)
        m[std::string(v.text)] += v.count;
    return m;
}

} // namespace

TEST(ListStatistics, countsEveryDistinctTextOfEachColumnTheEmptyOneIncluded)
{
    // Enough rows to make the table grow several times, with texts whose
    // hashes collide only by chance: "DVD 17" / "DVD 71" must stay apart.
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < 5000; ++i)
        rows.push_back({"DVD " + std::to_string(i % 97), i % 3 == 0 ? "" : "Drama", std::to_string(i)});
    rows.push_back({"DVD 1"}); // a short row: its other cells read as empty
    const ListDocument doc = listOf(rows, 3);

    const ListStatistics all = ListStatistics::compute(doc);
    EXPECT_EQ(all.items(), 5001);
    ASSERT_EQ(all.columns().size(), 3u);
    struct Case {
        int column;
        std::string header;
        int distinct;
        int empty;
        std::map<std::string, int> some;
    };
    const std::vector<Case> cases = {
        {1, "H1", 97, 0, {{"DVD 17", 52}, {"DVD 71", 51}, {"DVD 1", 53}}},
        {2, "H2", 2, 1667 + 1, {{"", 1668}, {"Drama", 3333}}},
        {3, "H3", 5001, 1, {{"", 1}, {"0", 1}, {"4999", 1}}},
    };
    for (const Case &c : cases) {
        const ColumnCounts &col = all.columns()[static_cast<std::size_t>(c.column - 1)];
        SCOPED_TRACE(c.column);
        EXPECT_EQ(col.column, c.column);
        EXPECT_EQ(col.header, c.header);
        EXPECT_EQ(col.distinct(), c.distinct);
        EXPECT_EQ(col.emptyCount, c.empty);
        const auto counts = asMap(col);
        long long total = 0;
        for (const auto &kv : counts)
            total += kv.second;
        EXPECT_EQ(total, all.items()) << "every row is counted once";
        for (const auto &kv : c.some)
            EXPECT_EQ(counts.count(kv.first) ? counts.at(kv.first) : -1, kv.second) << kv.first;
    }

    // One column only; a column that does not exist gives none.
    const ListStatistics only = ListStatistics::compute(doc, 2);
    ASSERT_EQ(only.columns().size(), 1u);
    EXPECT_EQ(only.columns()[0].column, 2);
    EXPECT_TRUE(ListStatistics::compute(doc, 4).columns().empty());
    // A new list's one empty row: the empty text is its one distinct text.
    const ListStatistics fresh = ListStatistics::compute(ListDocument(3, 2));
    EXPECT_EQ(fresh.items(), 1);
    ASSERT_EQ(fresh.columns().size(), 2u);
    EXPECT_EQ(fresh.columns()[0].distinct(), 1);
    EXPECT_EQ(fresh.columns()[0].emptyCount, 1);
}

TEST(ListStatistics, aLongListCountedByTwoThreadsAgreesWithOneColumnAtATime)
{
    // Past the sample that sizes the tables and past the cells that bring in
    // the second thread: unique titles, a few formats, short rows, empties.
    std::vector<std::vector<std::string>> rows;
    const int count = 80000;
    for (int i = 0; i < count; ++i) {
        if (i % 1000 == 7) {
            rows.push_back({"short " + std::to_string(i)});
            continue;
        }
        rows.push_back({"Title " + std::to_string(i), "DVD " + std::to_string(i % 13), i % 5 ? "x" : "",
                        std::to_string(1950 + i % 70), "", std::to_string(i / 2)});
    }
    const ListDocument doc = listOf(rows, 6);
    const ListStatistics all = ListStatistics::compute(doc);
    ASSERT_EQ(all.columns().size(), 6u);
    for (int c = 1; c <= 6; ++c) {
        SCOPED_TRACE(c);
        const ListStatistics one = ListStatistics::compute(doc, c);
        ASSERT_EQ(one.columns().size(), 1u);
        const ColumnCounts &a = all.columns()[static_cast<std::size_t>(c - 1)];
        EXPECT_EQ(a.column, c);
        EXPECT_EQ(a.emptyCount, one.columns()[0].emptyCount);
        EXPECT_EQ(asMap(a), asMap(one.columns()[0]));
    }
    EXPECT_EQ(all.columns()[0].distinct(), count);
    EXPECT_EQ(all.columns()[5].distinct(), count / 2 + 1);
}

TEST(ListStatistics, topValuesAreByCountThenTextWithTheRestTogether)
{
    std::vector<ValueCount> values = {{"b", 3}, {"a", 3}, {"", 5}, {"c", 1}, {"d", 9}, {"e", 1}};
    struct Case {
        int n;
        bool skipEmpty;
        std::string top; // texts in order, "_" for the empty one
        int restCount;
        int restDistinct;
    };
    const std::vector<Case> cases = {
        {3, false, "d_a", 5, 3}, {3, true, "dab", 2, 2}, {0, false, "", 22, 6},
        {20, false, "d_abce", 0, 0}, {20, true, "dabce", 0, 0},
    };
    for (const Case &c : cases) {
        const TopValues top = ListStatistics::topValues(values, c.n, c.skipEmpty);
        std::string texts;
        for (const ValueCount &v : top.top)
            texts += v.text.empty() ? std::string("_") : std::string(v.text);
        EXPECT_EQ(texts, c.top) << c.n << c.skipEmpty;
        EXPECT_EQ(top.restCount, c.restCount) << c.n << c.skipEmpty;
        EXPECT_EQ(top.restDistinct, c.restDistinct) << c.n << c.skipEmpty;
    }
    ListStatistics::sortValues(values);
    std::string order;
    for (const ValueCount &v : values)
        order += v.text.empty() ? std::string("_") : std::string(v.text);
    EXPECT_EQ(order, "d_abce");
}

TEST(CellNumber, readsYearsNumbersAndDurationsAndNothingElse)
{
    const double none = -12345;
    struct Case {
        std::string text;
        int year;        // 0: none
        double number;   // none: none
        double minutes;  // none: none
    };
    const std::vector<Case> cases = {
        {"1999", 1999, 1999, none},
        {" 2024 ", 2024, 2024, none},
        {"1799", 0, 1799, none},
        {"2200", 0, 2200, none},
        {"199", 0, 199, none},
        {"19999", 0, 19999, none},
        {"1999-05", 1999, none, none},
        {"1999-05-12", 1999, none, none},
        {"1999-13-12", 0, none, none},
        {"12.05.1999", 1999, none, none},
        {"5/12/1999", 1999, none, none},
        {"12-05-1999", 1999, none, none},
        {"12.05/1999", 0, none, none},
        {"31.31.1999", 0, none, none},
        {"c. 1999", 0, none, none},
        {"-3", 0, -3, none},
        {"+2.5", 0, 2.5, none},
        {"12,5", 0, 12.5, none},
        {"1,234", 0, none, none},
        {"1.234", 0, 1.234, none},
        {"1.", 0, none, none},
        {".5", 0, none, none},
        {"1234567890123456", 0, none, none},
        {"95 min", 0, none, 95},
        {"95min", 0, none, 95},
        {"95 Mins.", 0, none, 95},
        {"95'", 0, none, 95},
        {"1 h 35 min", 0, none, 95},
        {"1h35m", 0, none, 95},
        {"1h 35", 0, none, 95},
        {"2 hours", 0, none, 120},
        {"1.5 h", 0, none, 90},
        {"90 sec", 0, none, 1.5},
        {"1:35", 0, none, 95},
        {"1:35:30", 0, none, 95.5},
        {"1:5", 0, none, none},
        {"1:75", 0, none, none},
        {"35 min 1 h", 0, none, none},
        {"5 min 5 min", 0, none, none},
        {"95 minutes of fun", 0, none, none},
        {"95", 0, 95, none},
        {"", 0, none, none},
        {"Drama", 0, none, none},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(CellNumber::year(c.text).value_or(0), c.year);
        EXPECT_DOUBLE_EQ(CellNumber::number(c.text).value_or(none), c.number);
        const auto d = CellNumber::duration(c.text);
        EXPECT_NEAR(d ? d->minutes : none, c.minutes, 1e-9);
    }
}

TEST(ColumnProfile, judgesWhatAColumnHoldsAndSumsWhatItCounts)
{
    struct Case {
        std::string name;
        std::vector<std::string> cells;
        ColumnKind kind;
        int counted;
        int notCounted;
        double sum;
        double average;
    };
    const std::vector<Case> cases = {
        {"years with a slip", {"1999", "2001", "2001", "199", "", "1985"}, ColumnKind::Years, 4, 1, 0, 0},
        {"too few years", {"1999", "2001", "?", "-", "1985"}, ColumnKind::Text, 0, 0, 0, 0},
        {"durations with a bare number", {"95 min", "1:30", "100", "2 h", "n/a"}, ColumnKind::Durations, 4, 1,
         405, 101.25},
        {"album lengths read as minutes", {"45:30", "40:00", "9:30"}, ColumnKind::Durations, 3, 0, 95, 95.0 / 3},
        {"numbers", {"1", "2.5", "-0.5", "", "4"}, ColumnKind::Numbers, 4, 0, 7, 1.75},
        {"mostly numbers, some durations", {"1", "2", "3", "4", "95 min"}, ColumnKind::Numbers, 4, 1, 10, 2.5},
        {"three of four numbers is too few", {"1", "2", "3", "95 min"}, ColumnKind::Text, 0, 0, 0, 0},
        {"text", {"Drama", "Comedy", "1999"}, ColumnKind::Text, 0, 0, 0, 0},
        {"empty", {"", ""}, ColumnKind::Text, 0, 0, 0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::vector<std::string>> rows;
        for (const std::string &cell : c.cells)
            rows.push_back({cell});
        const ListDocument doc = listOf(rows, 1);
        const ColumnProfile p = ColumnProfile::of(countsOf(doc));
        EXPECT_EQ(p.kind, c.kind);
        EXPECT_EQ(p.counted, c.counted);
        EXPECT_EQ(p.notCounted, c.notCounted);
        EXPECT_NEAR(p.sum, c.sum, 1e-9);
        EXPECT_NEAR(p.average(), c.average, 1e-9);
    }
}

TEST(ChartBars, topTwentyWithTheRestYearsAndDecadesAndRanges)
{
    // 25 values: "v00" once .. "v24" 25 times, plus empties and an attachment.
    std::vector<std::vector<std::string>> rows;
    for (int v = 0; v < 25; ++v)
        for (int k = 0; k <= v; ++k)
            rows.push_back({std::string("v") + (v < 10 ? "0" : "") + std::to_string(v)});
    for (int k = 0; k < 100; ++k)
        rows.push_back({""});
    rows.push_back({AttachmentRef::make(AttachPicture, "cover.jpg")});
    const ListDocument doc = listOf(rows, 1);
    const auto bars = ColumnProfile::topValueBars(countsOf(doc), 20, TextEncoding::Windows1252);
    ASSERT_EQ(bars.size(), 21u);
    EXPECT_EQ(bars[0].label, "v24");
    EXPECT_EQ(bars[0].count, 25);
    EXPECT_EQ(bars[19].label, "v05");
    EXPECT_EQ(bars[20].label, "(6 other values)") << "v00..v04 and the attachment; the empty cells are no value";
    EXPECT_EQ(bars[20].count, 1 + 2 + 3 + 4 + 5 + 1);
    const auto few = ColumnProfile::topValueBars(countsOf(listOf({{"x"}, {AttachmentRef::make(AttachPicture, "cover.jpg")}}, 1)), 20,
                                                 TextEncoding::Windows1252);
    ASSERT_EQ(few.size(), 2u);
    EXPECT_EQ(few[0].label, "cover.jpg");

    // Years: a gap year gets an empty bar; decades sum their years.
    const ListDocument years = listOf({{"1968"}, {"1971"}, {"1971"}, {"1979"}, {"1980"}, {"nope"}}, 1);
    const ColumnProfile yp = ColumnProfile::of(countsOf(years));
    ASSERT_EQ(yp.kind, ColumnKind::Years);
    struct Case {
        bool decades;
        std::vector<std::pair<std::string, long long>> bars;
    };
    const std::vector<Case> cases = {
        {false, {{"1968", 1}, {"1969", 0}, {"1970", 0}, {"1971", 2}, {"1972", 0}, {"1973", 0}, {"1974", 0},
                 {"1975", 0}, {"1976", 0}, {"1977", 0}, {"1978", 0}, {"1979", 1}, {"1980", 1}}},
        {true, {{"1960s", 1}, {"1970s", 3}, {"1980s", 1}}},
    };
    for (const Case &c : cases) {
        std::vector<std::pair<std::string, long long>> got;
        for (const ChartBar &b : yp.yearBars(c.decades))
            got.emplace_back(b.label, b.count);
        EXPECT_EQ(got, c.bars) << c.decades;
    }
    EXPECT_FALSE(yp.prefersDecades());

    // Ranges of a duration column: equal widths, the maximum in the last.
    const ListDocument lengths = listOf({{"60 min"}, {"90 min"}, {"95 min"}, {"2 h"}, {"180 min"}}, 1);
    const ColumnProfile lp = ColumnProfile::of(countsOf(lengths));
    std::vector<std::pair<std::string, long long>> got;
    for (const ChartBar &b : lp.rangeBars(countsOf(lengths), 4))
        got.emplace_back(b.label, b.count);
    const std::vector<std::pair<std::string, long long>> want = {{"1 h 00 min - 1 h 30 min", 1},
                                                                  {"1 h 30 min - 2 h 00 min", 2},
                                                                  {"2 h 00 min - 2 h 30 min", 1},
                                                                  {"2 h 30 min - 3 h 00 min", 1}};
    EXPECT_EQ(got, want);
    const ListDocument same = listOf({{"7"}, {"7"}}, 1);
    const auto one = ColumnProfile::of(countsOf(same)).rangeBars(countsOf(same), 10);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].label, "7");
    EXPECT_EQ(one[0].count, 2);
}

TEST(StatisticsReport, jsonIsEscapedUtf8AndSortedByCountThenText)
{
    // Windows-1252: "é" is E9, the euro sign 80; a quote, a backslash, a line
    // break and the attachment marker 01 must be escaped.
    ListDocument doc = listOf({{"Caf\xE9", "a\"b"}, {"\x80 5", "back\\slash"}, {"Caf\xE9", "two\r\nlines"},
                               {"", "\x01\x01x.jpg"}},
                              2);
    doc.SetCell(1, 0, "Titl\xE9");
    ListStatistics stats = ListStatistics::compute(doc);
    std::ostringstream out;
    StatisticsReport::writeJson(out, stats, TextEncoding::Windows1252);
    EXPECT_EQ(out.str(),
              "{\"items\": 4, \"columns\": ["
              "{\"column\": 1, \"header\": \"Titl\xC3\xA9\", \"distinct\": 3, \"values\": ["
              "{\"text\": \"Caf\xC3\xA9\", \"count\": 2}, {\"text\": \"\", \"count\": 1}, "
              "{\"text\": \"\xE2\x82\xAC 5\", \"count\": 1}]}, "
              "{\"column\": 2, \"header\": \"H2\", \"distinct\": 4, \"values\": ["
              "{\"text\": \"\\u0001\\u0001x.jpg\", \"count\": 1}, {\"text\": \"a\\\"b\", \"count\": 1}, "
              "{\"text\": \"back\\\\slash\", \"count\": 1}, {\"text\": \"two\\r\\nlines\", \"count\": 1}]}]}\n");

    // A Unicode list's bytes stay, except those that are no UTF-8.
    struct Case {
        std::string bytes;
        TextEncoding encoding;
        std::string json;
    };
    const std::vector<Case> cases = {
        {"Caf\xC3\xA9", TextEncoding::Utf8, "\"Caf\xC3\xA9\""},
        {"Caf\xC3\xA9", TextEncoding::Windows1252, "\"Caf\xC3\x83\xC2\xA9\""},
        {"bad \xFF end", TextEncoding::Utf8, "\"bad \xEF\xBF\xBD end\""},
        {"cut \xE2\x82", TextEncoding::Utf8, "\"cut \xEF\xBF\xBD\xEF\xBF\xBD\""},
        {"tab\there\x1F\x7F", TextEncoding::Utf8, "\"tab\\there\\u001f\\u007f\""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(StatisticsReport::jsonString(StatisticsReport::utf8Text(c.bytes, c.encoding)), c.json) << c.bytes;
}

TEST(StatsCommand, printsTheFiguresOfAListFileAndRefusesBadArguments)
{
    test::TempFolder scratch;
    ListDocument doc = listOf({{"Heat", "1995", "170 min"}, {"Heat", "1995", "2 h 50 min"}, {"Vertigo", "1958", ""}},
                              3);
    PageSetup setup;
    const std::string path = scratch.file("films.lstd");
    {
        test::ScriptedMessages messages;
        SilentProgress progress;
        ListFileWriter writer(messages, progress);
        ASSERT_EQ(writer.save(path, ListFileSource{doc, setup, "dvdmovie"}), 0);
    }
    struct Case {
        std::vector<std::string> args;
        int code;
        std::string out; // exact, or a part of it when `part`
        bool part;
    };
    const std::vector<Case> cases = {
        {{"stats", path, "--json", "--column", "1"},
         0,
         "{\"items\": 3, \"columns\": [{\"column\": 1, \"header\": \"H1\", \"distinct\": 2, \"values\": ["
         "{\"text\": \"Heat\", \"count\": 2}, {\"text\": \"Vertigo\", \"count\": 1}]}]}\n",
         false},
        {{"stats", path, "--column=2"},
         0,
         "items: 3\ncolumn 2: H2\n  distinct: 2\n  empty: 0\n  holds: years\n"
         "  years: 1958 to 1995, 3 cells, 0 not a year\n  2\t1995\n  1\t1958\n",
         false},
        {{"stats", path}, 0, "column 3: H3\n  distinct: 3\n  empty: 1\n  holds: durations\n  sum: 5 h 40 min\n"
                             "  average: 2 h 50 min\n", true},
        {{"stats", path, "--column", "4"}, 1, "", false},
        {{"stats", path, "--column", "0"}, 2, "", false},
        {{"stats", path, "--column", "2x"}, 2, "", false},
        {{"stats", path, "--column", "-1"}, 2, "", false},
        {{"stats", path, "--colour"}, 2, "", false},
        {{"stats"}, 2, "", false},
        {{"stats", scratch.file("missing.lstd")}, 1, "", false},
    };
    for (const Case &c : cases) {
        std::ostringstream out, err;
        const int code = CliTool(out, err).run(c.args);
        std::string joined;
        for (const std::string &a : c.args)
            joined += a + " ";
        EXPECT_EQ(code, c.code) << joined << err.str();
        if (c.part) {
            EXPECT_NE(out.str().find(c.out), std::string::npos) << out.str();
        } else {
            EXPECT_EQ(out.str(), c.out) << joined;
        }
        if (code != 0) {
            EXPECT_FALSE(err.str().empty()) << joined;
        }
    }
}
