#include "TellicoSamples.h"
#include "TempFolder.h"

#include "document/core/ListDocument.h"
#include "import/core/ImportedPictures.h"
#include "import/core/TellicoImport.h"
#include "cli/core/CliTool.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace quorvex {
namespace {

using test::field;
using test::TempFolder;
using test::tellicoXml;
using test::writeZip;

// The spreadsheet form of a list: RFC 4180, CR LF, header row first.
std::string csvOf(const ListDocument &doc)
{
    std::string out;
    for (int r = 0; r < doc.RowCount(); ++r) {
        for (int c = 1; c < doc.ColCount(); ++c) {
            if (c > 1)
                out += ',';
            const std::string_view cell = doc.cellView(c, r);
            if (cell.find_first_of(",\"\r\n") == std::string_view::npos) {
                out += cell;
                continue;
            }
            out += '"';
            for (const char ch : cell)
                out += ch == '"' ? std::string("\"\"") : std::string(1, ch);
            out += '"';
        }
        out += "\r\n";
    }
    return out;
}

std::string ref(const std::string &name) { return std::string("\x01\x01") + name; }

std::vector<std::string> rowOf(const ListDocument &doc, int row)
{
    std::vector<std::string> cells;
    for (int c = 1; c < doc.ColCount(); ++c)
        cells.push_back(doc.GetCell(c, row));
    return cells;
}

TEST(TellicoImportTest, importTellico_mapsEachCollectionTypeToItsTemplate)
{
    struct Case {
        const char *name;
        int type;
        std::string fields;
        std::string entries;
        std::string listType;
        std::vector<std::string> header;
        std::vector<std::string> row;
    };
    const std::vector<Case> cases = {
        {"video",
         3,
         test::videoFields(),
         test::sevenSamurai(),
         "dvdmovie",
         {"DVD #", "Movie Title", "Genre", "Main Actor", "Duration", "Year", "Quality", "Description / Plot Summary",
          "Director", "Front Cover"},
         {"", "Seven Samurai", "Action; Drama", "Toshirō Mifune::Kikuchiyo; Takashi Shimura::Kambei Shimada", "207",
          "1954", "DVD", "Farmers hire seven rōnin.\r\nThey stay.", "Akira Kurosawa", std::string("\x01\x01", 2)}},
        {"music on vinyl, comments as the template's comment, an undeclared field kept",
         4,
         field("title", "Title") + field("artist", "Artist", 1, 7) + field("medium", "Medium", 3) +
             field("year", "Year", 6) + field("comments", "Comments", 2) + field("track", "Tracks", 8, 1) +
             field("label", "Label"),
         "<entry id=\"1\"><title>Kind of Blue</title><artists><artist>Miles Davis</artist></artists>"
         "<medium>Vinyl</medium><year>1959</year><comments>First press</comments>"
         "<tracks><track><column>So What</column><column>9:22</column></track></tracks><mood>calm</mood></entry>"
         "<entry id=\"2\"><title>Blue Train</title><medium>Compact Disc</medium></entry>"
         "<entry id=\"3\"><title>Somethin' Else</title><medium>Vinyl</medium></entry>",
         "recordmusic",
         {"Rec #", "Record Title", "Genre", "Artist / Group", "Duration", "Year", "Quality", "Comment", "Tracks",
          "mood"},
         {"", "Kind of Blue", "", "Miles Davis", "", "1959", "Vinyl", "First press", "So What::9:22", "calm"}},
        {"books: author and publishing year, VHS medium absent",
         2,
         field("title", "Title") + field("author", "Author", 1, 7) + field("pub_year", "Publication Year", 6) +
             field("binding", "Binding", 3) + field("isbn", "ISBN#") + field("unused", "Never Used"),
         "<entry id=\"1\"><title>Dune</title><authors><author>Frank Herbert</author></authors>"
         "<pub_year>1965</pub_year><binding>Paperback</binding><isbn>0-441-17271-7</isbn></entry>",
         "dvdmovie",
         {"DVD #", "Movie Title", "Genre", "Main Actor", "Duration", "Year", "Quality", "Description / Plot Summary",
          "ISBN#"},
         {"", "Dune", "", "Frank Herbert", "", "1965", "Paperback", "", "0-441-17271-7"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder dir;
        const std::string xml = tellicoXml(c.type, c.fields, c.entries);
        writeZip(dir.path() + "c.tc", {{"tellico.xml", xml}});
        ListDocument doc;
        // Without a database folder no picture is written and its cell stays empty.
        const auto result = TellicoImport::importFile(dir.path() + "c.tc", std::string(), doc);
        ASSERT_TRUE(result.ok) << result.error;
        EXPECT_EQ(result.listType, c.listType);
        EXPECT_EQ(doc.textEncoding(), TextEncoding::Utf8);
        EXPECT_EQ(rowOf(doc, 0), c.header);
        std::vector<std::string> expected = c.row;
        if (c.type == 3)
            expected.back().clear();
        EXPECT_EQ(rowOf(doc, 1), expected);
        // The XML alone, unpacked, reads the same.
        ListDocument plain;
        ASSERT_TRUE(TellicoImport::importMemory(xml, std::string(), plain).ok);
        EXPECT_TRUE(plain.sameCells(doc));
    }
}

TEST(TellicoImportTest, importTellico_picturesGoIntoTheDatabaseFolderNumberedLikeInsertedOnes)
{
    TempFolder dir;
    const std::string db = dir.path() + "Database/";
    ASSERT_TRUE(FileSystem::createFolders(db));
    // A different file already holds the cover's name; an identical one holds the poster's.
    ASSERT_TRUE(FileSystem::writeFileAtomic(db + "samurai.jpeg", "someone else's picture"));
    ASSERT_TRUE(FileSystem::writeFileAtomic(db + "poster.png", "POSTER"));
    const std::string entries =
        test::sevenSamurai("samurai.jpeg") +
        "<entry id=\"2\"><title>Ran</title><cover>poster.png</cover></entry>"
        "<entry id=\"3\"><title>Ikiru</title><cover>samurai.jpeg</cover></entry>"
        "<entry id=\"4\"><title>Kagemusha</title><cover>../../escape.gif</cover></entry>"
        "<entry id=\"5\"><title>Dersu Uzala</title><cover>nowhere.jpeg</cover></entry>";
    const std::string images = "<images><image id=\"../../escape.gif\" format=\"GIF\">R0lGODlh</image></images>";
    writeZip(dir.path() + "c.tc", {{"tellico.xml", tellicoXml(3, test::videoFields(), entries, images)},
                                   {"images/samurai.jpeg", "JPEG BYTES"},
                                   {"images/poster.png", "POSTER"}});
    ListDocument doc;
    const auto result = TellicoImport::importFile(dir.path() + "c.tc", db, doc);
    ASSERT_TRUE(result.ok) << result.error;
    const int cover = 10;
    EXPECT_EQ(result.pictureColumn, cover);
    const struct {
        int row;
        std::string cell;
        std::string file;
    } expected[] = {
        {1, ref("samurai1.jpeg"), "JPEG BYTES"},
        {2, ref("poster.png"), "POSTER"},
        {3, ref("samurai1.jpeg"), "JPEG BYTES"},
        // An embedded picture's hostile id becomes a plain name inside the folder.
        {4, ref(".._.._escape.gif"), "GIF89a"},
        {5, std::string(), std::string()},
    };
    for (const auto &e : expected) {
        SCOPED_TRACE(e.row);
        EXPECT_EQ(doc.GetCell(cover, e.row), e.cell);
        if (!e.file.empty()) {
            EXPECT_EQ(FileSystem::readFile(db + e.cell.substr(2)).value_or(""), e.file);
        }
    }
    EXPECT_EQ(FileSystem::readFile(db + "samurai.jpeg").value_or(""), "someone else's picture");
    EXPECT_EQ(result.picturesWritten, 2u);
    EXPECT_EQ(result.picturesReused, 1u);
    EXPECT_EQ(result.picturesMissing, 1u);
    EXPECT_FALSE(FileSystem::exists(dir.path() + "escape.gif"));
    EXPECT_FALSE(FileSystem::exists(db + "../../escape.gif"));

    // A link in a picture's place is passed over, never written through.
    TempFolder other;
    const std::string db2 = other.path() + "Database/";
    ASSERT_TRUE(FileSystem::createFolders(db2));
    ASSERT_EQ(::symlink((other.path() + "outside").c_str(), (db2 + "poster.png").c_str()), 0);
    ImportedPictures pictures(db2);
    EXPECT_EQ(pictures.store("poster.png", "POSTER"), "poster1.png");
    EXPECT_FALSE(FileSystem::exists(other.path() + "outside"));
}

TEST(TellicoImportTest, importTellico_refusesHostileFilesAndWritesNothing)
{
    const std::string good = tellicoXml(3, test::videoFields(), test::sevenSamurai());
    std::string deep = "<a>";
    for (int i = 0; i < 40; ++i)
        deep += "<a>";
    const struct {
        const char *name;
        std::vector<test::ZipMember> members;
        const char *says;
    } cases[] = {
        {"a name climbing out", {{"tellico.xml", good}, {"images/../../evil.jpeg", "x"}}, "outside"},
        {"an absolute name", {{"tellico.xml", good}, {"/tmp/evil.jpeg", "x"}}, "outside"},
        {"a link", {{"tellico.xml", good}, {"images/samurai.jpeg", "/etc/passwd", true}}, "link"},
        {"a zip bomb", {{"tellico.xml", good}, {"images/samurai.jpeg", std::string(8u << 20, '\0')}}, "zip bomb"},
        {"no collection XML", {{"readme.txt", "hello"}}, "no tellico.xml"},
        {"entities of its own",
         {{"tellico.xml", "<?xml version=\"1.0\"?><!DOCTYPE t [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;\">]>"
                          "<tellico><collection type=\"3\"><entry><title>&b;</title></entry></collection></tellico>"}},
         "entities"},
        {"nesting without end",
         {{"tellico.xml", "<tellico><collection type=\"3\"><entry><title>" + deep + "</title></entry></collection></tellico>"}},
         "nested"},
        {"broken XML", {{"tellico.xml", "<tellico><collection type=\"3\"><entry>"}}, "damaged"},
        {"XML of something else", {{"tellico.xml", "<html><body/></html>"}}, "not a Tellico collection"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder dir;
        const std::string db = dir.path() + "Database/";
        ASSERT_TRUE(FileSystem::createFolders(db));
        writeZip(dir.path() + "c.tc", c.members);
        ListDocument doc(2, 2);
        doc.SetCell(1, 1, "kept");
        TellicoImport::Limits limits;
        limits.archive.maxMemberBytes = 16u << 20;
        const auto result = TellicoImport::importFile(dir.path() + "c.tc", db, doc, nullptr, limits);
        EXPECT_FALSE(result.ok);
        EXPECT_NE(result.error.find(c.says), std::string::npos) << result.error;
        EXPECT_EQ(doc.GetCell(1, 1), "kept");
        EXPECT_EQ(FileSystem::listFolder(db).value_or(std::vector<std::string>{"?"}).size(), 0u);
        EXPECT_EQ(FileSystem::listFolder(dir.path()).value_or(std::vector<std::string>()).size(), 2u);
    }
    // Sizes past the caps and damaged archives, from memory as the fuzzer gives them.
    TempFolder dir;
    const std::string big = writeZip(dir.path() + "big.tc", {{"tellico.xml", good}, {"images/a.jpeg", std::string(5000, 'x')}});
    TellicoImport::Limits small;
    small.archive.maxMemberBytes = 4096;
    ListDocument doc;
    EXPECT_NE(TellicoImport::importMemory(big, "", doc, small).error.find("more than"), std::string::npos);
    EXPECT_FALSE(TellicoImport::importMemory(big.substr(0, big.size() / 2), "", doc).ok);
    EXPECT_FALSE(TellicoImport::importMemory(std::string("PK\x03\x04garbage", 11), "", doc).ok);
}

TEST(TellicoImportTest, importTellico_roundTripsThroughSpreadsheetText)
{
    TempFolder dir;
    const std::string xml = tellicoXml(
        3, test::videoFields(),
        test::sevenSamurai() +
            "<entry id=\"2\"><title>\"Ran\", the film</title><medium>Blu-ray</medium><medium>DVD</medium>"
            "<keywords><keyword>war</keyword><keyword>Lear</keyword></keywords></entry>"
            "<entry id=\"3\"><title>Ikiru</title><medium>Blu-ray</medium></entry>");
    writeZip(dir.path() + "c.tc", {{"tellico.xml", xml}});
    ListDocument doc;
    const auto result = TellicoImport::importFile(dir.path() + "c.tc", std::string(), doc);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.listType, "bdmovie");
    EXPECT_EQ(csvOf(doc),
              "BD #,Movie Title,Genre,Main Actor,Duration,Year,Quality,Description / Plot Summary,Director,Front "
              "Cover,Keywords\r\n"
              ",Seven Samurai,Action; Drama,Toshirō Mifune::Kikuchiyo; Takashi Shimura::Kambei Shimada,207,1954,DVD,"
              "\"Farmers hire seven rōnin.\r\nThey stay.\",Akira Kurosawa,,\r\n"
              ",\"\"\"Ran\"\", the film\",,,,,Blu-ray; DVD,,,,war; Lear\r\n"
              ",Ikiru,,,,,Blu-ray,,,,\r\n");
}

TEST(TellicoImportTest, cliImport_writesTheListAndKeepsPicturesWhereTheListFindsThem)
{
    TempFolder dir;
    writeZip(dir.path() + "c.tc", {{"tellico.xml", tellicoXml(3, test::videoFields(), test::sevenSamurai("s.jpeg"))},
                                   {"images/s.jpeg", "JPEG"}});
    const std::string db = dir.path() + "db";
    const struct {
        const char *name;
        std::vector<std::string> args;
        int code;
        const char *says;
    } cases[] = {
        {"a dependent list needs a database folder for its pictures",
         {"import", dir.path() + "c.tc", dir.path() + "a.lstd"}, CliTool::ExitFailed, "--database"},
        {"with one", {"import", dir.path() + "c.tc", dir.path() + "b.lstd", "--database", db}, CliTool::ExitOk, ""},
        {"an independent list carries them", {"import", dir.path() + "c.tc", dir.path() + "c.lst"}, CliTool::ExitOk, ""},
        {"a hostile collection", {"import", dir.path() + "bad.tc", dir.path() + "d.lst"}, CliTool::ExitFailed, "refused"},
    };
    writeZip(dir.path() + "bad.tc", {{"tellico.xml", "<tellico/>"}, {"../x", "x"}});
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        std::ostringstream out, err;
        EXPECT_EQ(CliTool(out, err).run(c.args), c.code) << err.str();
        EXPECT_NE(err.str().find(c.says), std::string::npos) << err.str();
        EXPECT_EQ(FileSystem::exists(c.args[2]), c.code == CliTool::ExitOk);
    }
    EXPECT_EQ(FileSystem::readFile(db + "/s.jpeg").value_or(""), "JPEG");
    std::ostringstream info, err;
    ASSERT_EQ(CliTool(info, err).run({"info", dir.path() + "c.lst"}), CliTool::ExitOk) << err.str();
    EXPECT_NE(info.str().find("list type: dvdmovie"), std::string::npos) << info.str();
    EXPECT_NE(info.str().find("columns: 11"), std::string::npos) << info.str();
    EXPECT_NE(info.str().find("rows: 2"), std::string::npos) << info.str();
}

} // namespace
} // namespace quorvex
