#include "document/core/ListDocument.h"
#include "import/core/CsvImportPlan.h"
#include "platform/core/ProgressReporter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorvex {
namespace {

using Kind = CsvDestination::Kind;

std::vector<std::string> rowOf(const ListDocument &doc, int row)
{
    std::vector<std::string> cells;
    for (int c = 1; c < doc.ColCount(); ++c)
        cells.push_back(doc.GetCell(c, row));
    return cells;
}

std::string utf16(const std::u16string &text, bool big)
{
    std::string out = big ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t u : text) {
        const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
        out += big ? std::string{hi, lo} : std::string{lo, hi};
    }
    return out;
}

// Every text sends its two columns to new columns (no template header matches).
TEST(CsvImportPlanTest, csvImport_readsSpreadsheetTextInEachEncodingAndSeparator)
{
    const struct {
        const char *name;
        std::string bytes;
        CsvEncoding encoding;
        CsvSeparator separator;
        CsvEncoding detected;
        char separatorUsed;
        std::vector<std::string> row1, row2;
    } cases[] = {
        {"UTF-8 with a byte order mark, quotes and a line break inside them",
         "\xEF\xBB\xBFName,Note\r\n\"Smith, J\",\"two\r\nlines\"\r\n\"say \"\"hi\"\"\",  spaced  \r\n",
         CsvEncoding::Detect, CsvSeparator::Detect, CsvEncoding::Utf8, ',',
         {"Smith, J", "two\r\nlines"}, {"say \"hi\"", "  spaced  "}},
        {"Windows-1252 with semicolons, as a German spreadsheet saves it",
         "Name;Note\r\nM\xFCller;5\x80\r\nZo\xEB;\"a;b\"\r\n", CsvEncoding::Detect, CsvSeparator::Detect,
         CsvEncoding::Windows1252, ';', {"Müller", "5€"}, {"Zoë", "a;b"}},
        {"the same bytes read as ISO-8859-1", "Name;Note\r\nM\xFCller;5\x80\r\nZo\xEB;x\r\n", CsvEncoding::Latin1,
         CsvSeparator::Semicolon, CsvEncoding::Windows1252, ';', {"Müller", "5\xC2\x80"}, {"Zoë", "x"}},
        {"UTF-16 little-endian with tabs", utf16(u"Name\tNote\nЖ\t1\n\U0001F600\t\"q\tq\"\n", false),
         CsvEncoding::Detect, CsvSeparator::Detect, CsvEncoding::Utf16, '\t', {"Ж", "1"}, {"😀", "q\tq"}},
        {"UTF-16 big-endian", utf16(u"Name,Note\r\nß,2\r\nx,y\r\n", true), CsvEncoding::Detect, CsvSeparator::Detect,
         CsvEncoding::Utf16, ',', {"ß", "2"}, {"x", "y"}},
        {"LF line ends, last line without one, separator chosen", "Name,Note\nA,B\nC,D", CsvEncoding::Utf8,
         CsvSeparator::Comma, CsvEncoding::Utf8, ',', {"A", "B"}, {"C", "D"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        CsvImportPlan plan;
        plan.setBytes(c.bytes);
        EXPECT_EQ(plan.detectedEncoding(), c.detected);
        CsvImportOptions options;
        options.encoding = c.encoding;
        options.separator = c.separator;
        EXPECT_EQ(plan.separatorOf(options), c.separatorUsed);
        ListDocument doc;
        const auto result = plan.build(options, doc);
        ASSERT_TRUE(result.ok) << result.error;
        EXPECT_EQ(result.rows, 2u);
        EXPECT_EQ(doc.textEncoding(), TextEncoding::Utf8);
        ASSERT_EQ(doc.ColCount(), 11);
        EXPECT_EQ(doc.GetCell(9, 0), "Name");
        EXPECT_EQ(doc.GetCell(10, 0), "Note");
        EXPECT_EQ(doc.GetCell(9, 1), c.row1[0]);
        EXPECT_EQ(doc.GetCell(10, 1), c.row1[1]);
        EXPECT_EQ(doc.GetCell(9, 2), c.row2[0]);
        EXPECT_EQ(doc.GetCell(10, 2), c.row2[1]);
    }
}

TEST(CsvImportPlanTest, csvImport_destinationsShapeTheListAndThePreviewIsItsStart)
{
    const std::string text = "Title,Year,Junk,Where\r\nAlien,1979,x,shelf 2\r\nHeat,1995,y,box\r\nRan,1985,z,,extra\r\n";
    CsvImportPlan plan;
    plan.setBytes(text);
    CsvImportOptions options;
    const auto headers = plan.sourceRows(options, 1);
    ASSERT_EQ(headers.size(), 1u);
    // "Year" matches the template's header; "Title" is not "Movie Title" and comes as a new column.
    EXPECT_EQ(CsvImportPlan::defaultDestinations(headers[0], "dvdmovie"),
              (std::vector<CsvDestination>{{Kind::NewColumn, 0}, {Kind::TemplateColumn, 6}, {Kind::NewColumn, 0},
                                           {Kind::NewColumn, 0}}));
    const struct {
        const char *name;
        bool headerRow;
        std::vector<CsvDestination> destinations;
        std::vector<std::string> header, first, last;
        std::size_t rows;
    } cases[] = {
        {"two mapped, one skipped, one new; a wider row adds a column",
         true,
         {{Kind::TemplateColumn, 2}, {Kind::TemplateColumn, 6}, {Kind::Skip, 0}, {Kind::NewColumn, 0}},
         {"DVD #", "Movie Title", "Genre", "Main Actor", "Duration", "Year", "Quality", "Description / Plot Summary",
          "Where", "Column 5"},
         {"", "Alien", "", "", "", "1979", "", "", "shelf 2", ""},
         {"", "Ran", "", "", "", "1985", "", "", "", "extra"},
         3},
        {"no header row: the first line is data and new columns are numbered; two sent to one keep both",
         false,
         {{Kind::TemplateColumn, 2}, {Kind::TemplateColumn, 2}, {Kind::Skip, 0}, {Kind::Skip, 0}, {Kind::Skip, 0}},
         {"DVD #", "Movie Title", "Genre", "Main Actor", "Duration", "Year", "Quality", "Description / Plot Summary"},
         {"", "Title; Year", "", "", "", "", "", ""},
         {"", "Ran; 1985", "", "", "", "", "", ""},
         4},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        options.headerRow = c.headerRow;
        options.destinations = c.destinations;
        ListDocument doc;
        const auto result = plan.build(options, doc);
        ASSERT_TRUE(result.ok) << result.error;
        EXPECT_EQ(result.rows, c.rows);
        EXPECT_EQ(rowOf(doc, 0), c.header);
        EXPECT_EQ(rowOf(doc, 1), c.first);
        EXPECT_EQ(rowOf(doc, doc.RowCount() - 1), c.last);
        // The preview is the same list, cut.
        ListDocument preview;
        ASSERT_TRUE(plan.build(options, preview, 2).ok);
        ASSERT_EQ(preview.RowCount(), 3);
        for (int r = 0; r < 3; ++r) {
            std::vector<std::string> full = rowOf(doc, r);
            full.resize(static_cast<std::size_t>(preview.ColCount() - 1));
            EXPECT_EQ(rowOf(preview, r), full);
        }
    }
}

// The spreadsheet form of a list: RFC 4180, CR LF, header row first.
std::string csvOf(const ListDocument &doc)
{
    std::string out;
    for (int r = 0; r < doc.RowCount(); ++r) {
        for (int c = 1; c < doc.ColCount(); ++c) {
            if (c > 1)
                out += ',';
            const std::string_view cell = doc.cellView(c, r);
            const bool quote = cell.find_first_of(",\"\r\n") != std::string_view::npos;
            out += quote ? "\"" : "";
            for (const char ch : cell)
                out += ch == '"' ? std::string("\"\"") : std::string(1, ch);
            out += quote ? "\"" : "";
        }
        out += "\r\n";
    }
    return out;
}

// Semicolon text in Windows-1252 with two columns mapped and one skipped comes
// back as the spreadsheet text of the list; read again, that text gives the same list.
TEST(CsvImportPlanTest, csvImport_roundTripsThroughTheDialogsChoices)
{
    CsvImportPlan plan;
    plan.setBytes("Titel;Notiz;Jahr\r\n\"Das Boot; Director's Cut\";egal;1981\r\nM\xFCnchhausen;\"zwei\r\nZeilen\";1943\r\n");
    CsvImportOptions options;
    options.destinations = {{Kind::TemplateColumn, 2}, {Kind::Skip, 0}, {Kind::TemplateColumn, 6}};
    ListDocument doc;
    ASSERT_TRUE(plan.build(options, doc).ok);
    const std::string csv = csvOf(doc);
    EXPECT_EQ(csv, "DVD #,Movie Title,Genre,Main Actor,Duration,Year,Quality,Description / Plot Summary\r\n"
                   ",Das Boot; Director's Cut,,,,1981,,\r\n"
                   ",M\xC3\xBCnchhausen,,,,1943,,\r\n");
    CsvImportPlan again;
    again.setBytes(csv);
    CsvImportOptions same;
    same.destinations = CsvImportPlan::defaultDestinations(again.sourceRows(same, 1)[0], "dvdmovie");
    ListDocument back;
    ASSERT_TRUE(again.build(same, back).ok);
    EXPECT_TRUE(back.sameCells(doc));
}

class CancelAt final : public ProgressReporter {
public:
    void setProgress(int percent, const std::string &) override { m_last = percent; }
    void pumpEvents() override {}
    bool isCancelled() const override { return m_last >= 50; }

private:
    int m_last = 0;
};

TEST(CsvImportPlanTest, csvImport_refusesWhatIsNoListAndStopsOnCancel)
{
    CsvImportLimits limits;
    limits.maxColumns = 4;
    limits.maxFieldBytes = 64;
    const struct {
        const char *name;
        std::string text;
        const char *says;
    } cases[] = {
        {"a quote never closed", "a,b\r\n\"open,c\r\n", "never closed"},
        {"too many columns", "a,b,c,d,e\r\n", "more than 4 fields"},
        {"a field past the limit", "a,b\r\n" + std::string(200, 'x') + ",c\r\n", "longer than 64"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        CsvImportPlan plan(limits);
        plan.setBytes(c.text);
        ListDocument doc(2, 2);
        doc.SetCell(1, 1, "kept");
        const auto result = plan.build(CsvImportOptions(), doc);
        EXPECT_FALSE(result.ok);
        EXPECT_NE(result.error.find(c.says), std::string::npos) << result.error;
        EXPECT_EQ(doc.GetCell(1, 1), "kept");
    }
    std::string big = "a,b\r\n";
    for (int i = 0; i < 100000; ++i)
        big += "row,\"" + std::to_string(i) + "\"\r\n";
    CsvImportPlan plan;
    plan.setBytes(big);
    CancelAt cancel;
    ListDocument doc(2, 2);
    const auto result = plan.build(CsvImportOptions(), doc, SIZE_MAX, &cancel);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(doc.RowCount(), 2);
    // Bytes that are not UTF-8 under a UTF-8 choice become U+FFFD and are counted.
    CsvImportPlan bad;
    bad.setBytes("a\r\nx\xFFy\r\n");
    CsvImportOptions utf8;
    utf8.encoding = CsvEncoding::Utf8;
    const auto replaced = bad.build(utf8, doc);
    ASSERT_TRUE(replaced.ok);
    EXPECT_EQ(replaced.replaced, 1u);
    EXPECT_EQ(doc.GetCell(9, 1), "x\xEF\xBF\xBDy");
}

} // namespace
} // namespace quorvex
