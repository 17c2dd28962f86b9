// The CSV export: quoting, both text encodings, attachment cells, the rows
// chosen, the atomic write, and a round trip through LibreOffice Calc.
#include "export/core/CsvExport.h"
#include "document/core/AttachmentRef.h"
#include "document/core/ListDocument.h"
#include "platform/core/FileSystem.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

using namespace quorvex;
using quorvex::test::TempFolder;

namespace {

const std::string Bom = "\xEF\xBB\xBF";

ListDocument listOf(const std::vector<std::vector<std::string>> &rows, TextEncoding encoding)
{
    ListDocument doc(static_cast<int>(rows.front().size()) + 1, static_cast<int>(rows.size()));
    doc.setTextEncoding(encoding);
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c)
            doc.SetCell(static_cast<int>(c) + 1, static_cast<int>(r), rows[r][c]);
    return doc;
}

bool haveProgram(const char *name)
{
    return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

} // namespace

TEST(CsvExport, csvField_quotesWhatSpreadsheetsWouldSplitOrTrim)
{
    const struct {
        const char *cell;
        const char *field;
    } cases[] = {
        {"Alien", "Alien"},
        {"", ""},
        {"two words", "two words"},
        {"Paris, Texas", "\"Paris, Texas\""},
        {"The \"Duke\"", "\"The \"\"Duke\"\"\""},
        {"\"", "\"\"\"\""},
        {"line\nbreak", "\"line\nbreak\""},
        {"cr\r\nlf", "\"cr\r\nlf\""},
        {"lone\rcr", "\"lone\rcr\""},
        {" leading", "\" leading\""},
        {"trailing ", "\"trailing \""},
        {"\ttab", "\"\ttab\""},
        {"semi;colon", "semi;colon"},
    };
    for (const auto &c : cases) {
        std::string out;
        CsvExport::appendField(out, c.cell);
        EXPECT_EQ(out, c.field) << c.cell;
    }
}

TEST(CsvExport, csvText_convertsEitherEncodingAndGivesAttachmentNames)
{
    const struct {
        TextEncoding encoding;
        std::string cell;
        std::string field;
    } cases[] = {
        {TextEncoding::Windows1252, "Caf\xE9", "Caf\xC3\xA9"},
        {TextEncoding::Windows1252, "\x80 9,99", "\"\xE2\x82\xAC 9,99\""},
        {TextEncoding::Windows1252, "\x93quoted\x94", "\xE2\x80\x9Cquoted\xE2\x80\x9D"},
        {TextEncoding::Windows1252, AttachmentRef::make('\x01', "caf\xE9.jpg"), "caf\xC3\xA9.jpg"},
        {TextEncoding::Windows1252, AttachmentRef::make('\x02', "a, b.mp3"), "\"a, b.mp3\""},
        {TextEncoding::Utf8, "\xC5\x81\xC3\xB3""d\xC5\xBA", "\xC5\x81\xC3\xB3""d\xC5\xBA"},
        {TextEncoding::Utf8, AttachmentRef::make('\x01', "\xC5\x81.jpg"), "\xC5\x81.jpg"},
        // Bytes that are not UTF-8 must not make the whole file unreadable.
        {TextEncoding::Utf8, "bad\xFF", "bad\xEF\xBF\xBD"},
        // Only the first byte makes an attachment.
        {TextEncoding::Windows1252, "a\x01\x01" "b", "a\x01\x01" "b"},
    };
    for (const auto &c : cases) {
        const ListDocument doc = listOf({{"Title", "Year"}, {c.cell, "1979"}}, c.encoding);
        EXPECT_EQ(CsvExport::text(doc), Bom + "Title,Year\r\n" + c.field + ",1979\r\n") << c.cell;
    }
}

TEST(CsvExport, csvText_writesTheChosenRowsInOrderWithEveryColumn)
{
    const ListDocument doc =
        listOf({{"A", "B", "C"}, {"1", "", ""}, {"", "2", ""}, {"", "", "3"}}, TextEncoding::Windows1252);
    const struct {
        std::vector<int> rows;
        std::string body;
    } cases[] = {
        {{}, "1,,\r\n,2,\r\n,,3\r\n"},
        {{3, 1}, ",,3\r\n1,,\r\n"},
        // Rows outside the list (the header included) are no data rows.
        {{0, 2, 99, -1}, ",2,\r\n"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(CsvExport::text(doc, c.rows), Bom + "A,B,C\r\n" + c.body);

    // One column: an empty cell would be an empty line, which readers drop.
    const ListDocument single = listOf({{"Title"}, {""}, {"x"}}, TextEncoding::Windows1252);
    EXPECT_EQ(CsvExport::text(single), Bom + "Title\r\n\"\"\r\nx\r\n");
}

TEST(CsvExport, csvWriteFile_replacesWholeOrLeavesTheFormerFile)
{
    TempFolder dir;
    const std::string path = dir.file("list.csv");
    ListDocument doc = listOf({{"Title"}, {"Heat"}}, TextEncoding::Windows1252);
    doc.SetRowCount(20001);
    for (int r = 1; r < doc.RowCount(); ++r)
        doc.SetCell(1, r, "Row " + std::to_string(r) + ", a title long enough to fill pieces of the file");
    ASSERT_TRUE(FileSystem::writeFileAtomic(path, "former"));

    FileSystem::setWriteFault(100000, ENOSPC);
    const CsvExport::Result full = CsvExport::writeFile(doc, {}, path);
    FileSystem::clearWriteFault();
    EXPECT_FALSE(full.ok);
    EXPECT_NE(full.error.find("full"), std::string::npos) << full.error;
    EXPECT_EQ(FileSystem::readFile(path).value_or(""), "former");

    const CsvExport::Result written = CsvExport::writeFile(doc, {}, path);
    ASSERT_TRUE(written.ok) << written.error;
    EXPECT_EQ(written.rows, 20000);
    EXPECT_EQ(FileSystem::readFile(path).value_or(""), CsvExport::text(doc));
    EXPECT_EQ(FileSystem::listFolder(dir.path())->size(), 1u) << "no temporary file left";
}

// Calc reads the file back: the cells it holds are the list's cells. The
// import is told UTF-8, as its text import dialog is (the byte-order mark
// then stays out of the first cell).
TEST(CsvExport, csvFile_readsBackFromLibreOfficeCalc)
{
    if (!haveProgram("soffice") || !haveProgram("unzip"))
        GTEST_SKIP() << "soffice or unzip is not installed";
    TempFolder dir;
    const ListDocument doc = listOf({{"Title", "Note", "Year"},
                                     {"Caf\xE9 \x80", "Paris, Texas", "1984"},
                                     {"The \"Duke\"", "two\nlines", "x"}},
                                    TextEncoding::Windows1252);
    ASSERT_TRUE(CsvExport::writeFile(doc, {}, dir.file("list.csv")).ok);
    const std::string toOds = "cd '" + dir.path() + "' && soffice '-env:UserInstallation=file://" +
                              dir.file("profile") +
                              "' --headless '--infilter=Text - txt - csv (StarCalc):44,34,76' --convert-to ods "
                              "list.csv >/dev/null 2>&1 && unzip -p list.ods content.xml > content.xml";
    ASSERT_EQ(std::system(toOds.c_str()), 0);
    const std::string xml = FileSystem::readFile(dir.file("content.xml")).value_or("");
    std::vector<std::string> cells;
    for (std::size_t at = xml.find("<text:p>"); at != std::string::npos; at = xml.find("<text:p>", at + 1))
        cells.push_back(xml.substr(at + 8, xml.find("</text:p>", at) - at - 8));
    const std::vector<std::string> expected = {"Title", "Note", "Year", "Caf\xC3\xA9 \xE2\x82\xAC", "Paris, Texas",
                                               "1984", "The &quot;Duke&quot;", "two", "lines", "x"};
    EXPECT_EQ(cells, expected);
}
