#include "TempFolder.h"
#include "document/core/ListDocument.h"
#include "listfile/core/TextListImport.h"
#include "platform/core/FileSystem.h"
#include "platform/core/ProgressReporter.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

using quorvex::FileSystem;
using quorvex::ListDocument;
using quorvex::TextListImport;
using quorvex::test::TempFolder;

namespace {

using Rows = std::vector<std::vector<std::string>>;

// The data cells (columns 1..) of every row, trailing empty cells dropped.
Rows cellsOf(const ListDocument &doc)
{
    Rows rows;
    for (int r = 0; r < doc.RowCount(); ++r) {
        std::vector<std::string> row;
        for (int c = 1; c < doc.ColCount(); ++c)
            row.emplace_back(doc.GetCell(c, r));
        while (!row.empty() && row.back().empty())
            row.pop_back();
        rows.push_back(row);
    }
    return rows;
}

class CountingProgress final : public quorvex::ProgressReporter {
public:
    void setProgress(int percent, const std::string &) override { last = percent; ++calls; }
    void pumpEvents() override {}
    int last = -1;
    int calls = 0;
};

} // namespace

TEST(TextListImport, readsTabAndCommaTextInEitherEncoding)
{
    struct Case {
        const char *name;
        std::string text;
        char delimiter;
        TextListImport::Encoding encoding;
        std::size_t replaced;
        Rows rows;
        int colCount;
    };
    using E = TextListImport::Encoding;
    const std::vector<Case> cases = {
        // Tab text keeps empty lines as rows, ends lines at CR, LF or CR LF and knows no quotes.
        {"tsv", "Artist\tAlbum\r\nQueen\tJazz\n\nABBA\t\"Arrival\"\tbonus\r", '\t', E::Cp1252, 0,
         {{"Artist", "Album"}, {"Queen", "Jazz"}, {}, {"ABBA", "\"Arrival\"", "bonus"}}, 4},
        {"one column is tab text", "Title\nAlien\n", '\t', E::Cp1252, 0, {{"Title"}, {"Alien"}}, 2},
        {"empty", "", '\t', E::Cp1252, 0, {{}, {}}, 2},
        // Spreadsheet CSV: quotes around delimiters, doubled quotes, line breaks in quotes,
        // spaces kept, a last line without its line end, empty lines skipped.
        {"csv", "Title,Year,Note\r\n\"Heat, the film\",1995,\"said \"\"hi\"\"\r\nthen left\"\r\n\r\n a ,,\nlast,1",
         ',', E::Cp1252, 0,
         {{"Title", "Year", "Note"}, {"Heat, the film", "1995", "said \"hi\"\r\nthen left"}, {" a "}, {"last", "1"}},
         4},
        {"semicolon csv", "A;B;C\nx;\"y;z\";\n", ';', E::Cp1252, 0, {{"A", "B", "C"}, {"x", "y;z"}}, 4},
        {"commas win a tie with semicolons", "a,b;c\n", ',', E::Cp1252, 0, {{"a", "b;c"}, {}}, 3},
        // Valid UTF-8 is converted; what Windows-1252 lacks becomes "?" and is counted.
        {"utf8", "\xEF\xBB\xBFName,Price\nCaf\xC3\xA9,\xE2\x82\xAC" "5\n\xE4\xB8\xAD\xF0\x9F\x98\x80,x\n", ',', E::Utf8,
         2, {{"Name", "Price"}, {"Caf\xE9", "\x80" "5"}, {"??", "x"}}, 3},
        // Bytes that are not UTF-8 are Windows-1252, kept as they are.
        {"cp1252", "Caf\xE9\t\x80" "5\n\xC3\n", '\t', E::Cp1252, 0, {{"Caf\xE9", "\x80" "5"}, {"\xC3"}}, 3},
        {"overlong UTF-8 is not UTF-8", "\xC0\xAF\n", '\t', E::Cp1252, 0, {{"\xC0\xAF"}, {}}, 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ListDocument doc(2, 2);
        const auto r = TextListImport::importText(c.text, doc);
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_EQ(r.delimiter, c.delimiter);
        EXPECT_EQ(r.encoding, c.encoding);
        EXPECT_EQ(r.replaced, c.replaced);
        EXPECT_EQ(cellsOf(doc), c.rows);
        EXPECT_EQ(doc.ColCount(), c.colCount);
    }
}

TEST(TextListImport, hostileTextGetsAMessageWithinItsLimits)
{
    TextListImport::Limits small;
    small.maxFieldBytes = 1000;
    small.maxRows = 3;
    struct Case {
        const char *name;
        std::string text;
        TextListImport::Limits limits;
        const char *message;
    };
    const std::vector<Case> cases = {
        {"unterminated quote", "A,B\n1,\"never closed\n2,3\n", {}, "a quote in line 2 is never closed"},
        {"million columns", std::string(2000000, ','), {}, "more than 16384 fields"},
        {"million tab columns", std::string(2000000, '\t'), {}, "more than 16384 fields"},
        {"long tab field", std::string(5000, 'x'), small, "longer than 1000 bytes"},
        {"long csv field", "a,b\n\"" + std::string(300000, 'x'), small, "longer than 1000 bytes"},
        {"too many rows", "a\nb\nc\nd\n", small, "more than 3 lines"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ListDocument doc(2, 2);
        doc.SetCell(1, 1, "kept");
        const auto r = TextListImport::importText(c.text, doc, c.limits);
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.error.find(c.message), std::string::npos) << r.error;
        EXPECT_EQ(doc.GetCell(1, 1), "kept");
    }
}

TEST(TextListImport, filesAreStreamedWithProgressAndBoundedBySize)
{
    TempFolder t;
    // Lines across many read blocks, one CR LF split between two blocks.
    std::string text = "Title\tYear\r\n";
    for (int i = 0; i < 20000; ++i)
        text += "Movie " + std::to_string(i) + "\t19" + std::to_string(i % 100) + "\r\n";
    FileSystem::writeFileAtomic(t.file("big.txt"), text);
    ListDocument doc(2, 2);
    CountingProgress progress;
    auto r = TextListImport::importFile(t.file("big.txt"), doc, &progress);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(doc.RowCount(), 20001);
    EXPECT_EQ(doc.GetCell(1, 20000), "Movie 19999");
    EXPECT_EQ(doc.GetCell(2, 20000), "1999");
    EXPECT_EQ(progress.last, 100);
    EXPECT_GT(progress.calls, 1);

    // A 2 GB file (sparse, nothing on disk) is refused before it is read.
    const int fd = ::open(t.file("huge.csv").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, 2LL << 30), 0);
    ::close(fd);
    r = TextListImport::importFile(t.file("huge.csv"), doc);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("too large to import"), std::string::npos) << r.error;

    for (const std::string &bad : {t.file("missing.txt"), t.path()}) {
        r = TextListImport::importFile(bad, doc);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error.rfind("Unable to open the text file:", 0), 0u) << r.error;
    }
    EXPECT_EQ(doc.RowCount(), 20001);
}
