// The HTML catalogue: escaping, colours, paging, thumbnails made once, and
// references or planted links that would lead outside its folders.
#include "export/core/HtmlCatalogue.h"
#include "export/core/HtmlText.h"
#include "export/core/Thumbnailer.h"
#include "attachments/core/PictureDecoders.h"
#include "document/core/AttachmentRef.h"
#include "document/core/ListDocument.h"
#include "platform/core/FileSystem.h"
#include "PictureBytes.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

using namespace quorvex;
using quorvex::test::TempFolder;

namespace {

std::string picture(const std::string &name) { return AttachmentRef::make('\x01', name); }

std::size_t count(const std::string &text, const std::string &what)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size()))
        ++n;
    return n;
}

std::string page(const std::string &folder)
{
    return FileSystem::readFile(FileSystem::withTrailingSlash(folder) + HtmlCatalogue::IndexName).value_or("");
}

// The static table and the script's rows, each on its own.
std::string tableOf(const std::string &html)
{
    const std::size_t from = html.find("<tbody>"), to = html.find("</tbody>");
    return from == std::string::npos || to == std::string::npos ? std::string() : html.substr(from, to - from);
}
std::string dataOf(const std::string &html)
{
    const std::size_t from = html.find("window.QUORVEX_CATALOGUE");
    return from == std::string::npos ? std::string() : html.substr(from, html.find("</script>", from) - from);
}

} // namespace

TEST(HtmlCatalogue, htmlText_escapesMarkupForTextAttributesAndScript)
{
    const struct {
        std::string text;
        std::string escaped;
        std::string json;
    } cases[] = {
        {"plain", "plain", "\"plain\""},
        {"<b>&\"'", "&lt;b&gt;&amp;&quot;&#39;", "\"\\u003cb\\u003e\\u0026\\\"'\""},
        {"</script><script>alert(1)</script>", "&lt;/script&gt;&lt;script&gt;alert(1)&lt;/script&gt;",
         "\"\\u003c/script\\u003e\\u003cscript\\u003ealert(1)\\u003c/script\\u003e\""},
        {"back\\slash", "back\\slash", "\"back\\\\slash\""},
        {"tab\tline\nend\x01", "tab\tline\nend\x01", "\"tab\\u0009line\\u000aend\\u0001\""},
        // The line separators end a string in older script engines.
        {"a\xE2\x80\xA8z\xE2\x80\xA9", "a\xE2\x80\xA8z\xE2\x80\xA9", "\"a\\u2028z\\u2029\""},
        {"\xC3\xA9t\xC3\xA9", "\xC3\xA9t\xC3\xA9", "\"\xC3\xA9t\xC3\xA9\""},
    };
    for (const auto &c : cases) {
        std::string escaped, json;
        HtmlText::appendEscaped(escaped, c.text);
        HtmlText::appendJsonString(json, c.text);
        EXPECT_EQ(escaped, c.escaped) << c.text;
        EXPECT_EQ(json, c.json) << c.text;
    }
    EXPECT_EQ(HtmlText::urlSegment("my cover #1?.jpg"), "my%20cover%20%231%3F.jpg");
    EXPECT_EQ(HtmlText::urlSegment("\xC3\xA9.jpg"), "%C3%A9.jpg");
    EXPECT_EQ(HtmlText::cssColor(32 + 256 * 128 + 65536 * 192), "#2080c0");
}

TEST(HtmlCatalogue, catalogue_pageIsEscapedColouredAndPaged)
{
    TempFolder dir;
    ListDocument doc(3, 6);
    doc.SetCell(1, 0, "Title <&>");
    doc.SetCell(2, 0, "Caf\xE9");
    doc.SetCell(1, 1, "<script>alert('x')</script>");
    doc.SetCell(2, 1, "Tom & \"Jerry\"");
    for (int r = 2; r < 6; ++r)
        doc.SetCell(1, r, "Row " + std::to_string(r));
    HtmlCatalogue::Options options;
    options.title = "My <List>";
    options.pageRows = 2;
    options.appearance.fixedColor.color = 0x102030;
    options.appearance.evenRowColor.color = 0xAABBCC;
    options.appearance.oddRowColor.color = 0x010203;
    const HtmlCatalogue::Result result = HtmlCatalogue::write(doc, dir.file("out"), options);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.rows, 5);

    const std::string html = page(dir.file("out"));
    EXPECT_EQ(html.find("<script>alert"), std::string::npos);
    EXPECT_EQ(html.find("My <List>"), std::string::npos);
    EXPECT_NE(html.find("<title>My &lt;List&gt;</title>"), std::string::npos);
    EXPECT_NE(html.find("<th scope=\"col\">Title &lt;&amp;&gt;</th><th scope=\"col\">Caf\xC3\xA9</th>"),
              std::string::npos);
    EXPECT_NE(html.find("<td>&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt;</td><td>Tom &amp; &quot;Jerry&quot;</td>"),
              std::string::npos);
    // The grid's colours: header, first data row (even colours), second (odd colours).
    EXPECT_NE(html.find("th{background:#302010"), std::string::npos);
    EXPECT_NE(html.find("nth-child(odd){background:#ccbbaa"), std::string::npos);
    EXPECT_NE(html.find("nth-child(even){background:#030201"), std::string::npos);
    // The first page stands in the page itself; every row is in the script's data.
    EXPECT_EQ(count(tableOf(html), "<tr>"), 2u);
    EXPECT_EQ(count(dataOf(html), "\n,["), 4u);
    EXPECT_NE(dataOf(html).find("\"Row 5\""), std::string::npos);
    EXPECT_NE(html.find("\"pageRows\":2"), std::string::npos);
    EXPECT_NE(html.find("<noscript>"), std::string::npos);
    EXPECT_EQ(html.find("\xE9"), std::string::npos) << "Windows-1252 bytes must be converted";

    EXPECT_FALSE(HtmlCatalogue::holdsForeignIndex(dir.file("out")));
    ASSERT_TRUE(FileSystem::createFolders(dir.file("site/")));
    ASSERT_TRUE(FileSystem::writeFileAtomic(dir.file("site/index.html"), "<html>mine</html>"));
    EXPECT_TRUE(HtmlCatalogue::holdsForeignIndex(dir.file("site")));
}

TEST(HtmlCatalogue, thumbnail_fitsWithinTheBoxAndAveragesColours)
{
    const struct {
        int w, h, tw, th;
    } sizes[] = {{400, 300, 160, 120}, {300, 400, 120, 160}, {160, 160, 160, 160}, {100, 50, 100, 50},
                 {1000, 10, 160, 2},   {10, 1000, 2, 160},   {5000, 1, 160, 1},     {1, 1, 1, 1}};
    for (const auto &s : sizes) {
        int tw = 0, th = 0;
        Thumbnailer::fittedSize(s.w, s.h, Thumbnailer::MaxSide, tw, th);
        EXPECT_EQ(tw, s.tw) << s.w << "x" << s.h;
        EXPECT_EQ(th, s.th) << s.w << "x" << s.h;
    }
    // Black and white columns average to grey, not to one of the two.
    RasterImage stripes(320, 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 320; ++x)
            stripes.setPixel(x, y, x % 2 ? pixelFromRgb(255, 255, 255) : pixelFromRgb(0, 0, 0));
    const RasterImage small = Thumbnailer::shrink(stripes, 160);
    ASSERT_EQ(small.width, 160);
    ASSERT_EQ(small.height, 5);
    EXPECT_EQ(small.pixel(17, 3) & 0xFFFFFF, 0x808080u);
}

TEST(HtmlCatalogue, catalogue_thumbnailsAreMadeOnceAndKeptForTheNextExport)
{
    TempFolder dir;
    const std::string database = dir.file("db/");
    ASSERT_TRUE(FileSystem::createFolders(database));
    const std::string jpeg = test::makeJpeg(800, 600);
    ASSERT_TRUE(FileSystem::writeFileAtomic(database + "cover.jpg", jpeg));
    ASSERT_TRUE(FileSystem::writeFileAtomic(database + "anim.gif", test::makeGif(40, 300)));
    ASSERT_TRUE(FileSystem::writeFileAtomic(database + "caf\xC3\xA9 #1.jpg", test::makeJpeg(50, 50)));

    ListDocument doc(4, 5);
    doc.SetCell(1, 1, picture("cover.jpg"));
    doc.SetCell(2, 1, picture("anim.gif"));
    doc.SetCell(1, 2, picture("cover.jpg"));
    doc.SetCell(1, 3, picture("caf\xE9 #1.jpg"));
    doc.SetCell(2, 3, AttachmentRef::make('\x02', "song.mp3"));
    doc.SetCell(1, 4, picture("cover.jpg"));
    HtmlCatalogue::Options options;
    options.databaseFolder = database;
    const std::string out = dir.file("out");

    HtmlCatalogue::Result first = HtmlCatalogue::write(doc, out, options);
    ASSERT_TRUE(first.ok) << first.error;
    EXPECT_EQ(first.pictures, 3);
    EXPECT_EQ(first.thumbnailsWritten, 3);
    EXPECT_TRUE(first.missing.empty() && first.unreadable.empty() && first.refused.empty());
    const struct {
        std::string thumb;
        int w, h;
    } thumbs[] = {{"cover.jpg.jpg", 160, 120}, {"anim.gif.jpg", 21, 160}, {"caf\xC3\xA9 #1.jpg.jpg", 50, 50}};
    for (const auto &t : thumbs) {
        const auto bytes = FileSystem::readFile(out + "/thumbs/" + t.thumb);
        ASSERT_TRUE(bytes) << t.thumb;
        RasterImage decoded;
        std::string error;
        ASSERT_TRUE(PictureDecoders::decodeJpeg(reinterpret_cast<const unsigned char *>(bytes->data()),
                                                bytes->size(), decoded, error));
        EXPECT_EQ(decoded.width, t.w) << t.thumb;
        EXPECT_EQ(decoded.height, t.h) << t.thumb;
    }
    EXPECT_EQ(FileSystem::readFile(out + "/pictures/cover.jpg").value_or(""), jpeg);
    const std::string html = page(out);
    EXPECT_EQ(count(tableOf(html), "<img src=\"thumbs/cover.jpg.jpg\""), 3u);
    EXPECT_NE(tableOf(html).find("<a href=\"pictures/caf%C3%A9%20%231.jpg\"><img src=\"thumbs/caf%C3%A9%20%231.jpg.jpg\""),
              std::string::npos);
    EXPECT_NE(tableOf(html).find("<td class=\"file\">song.mp3</td>"), std::string::npos);
    EXPECT_NE(dataOf(html).find("{\"n\":\"cover.jpg\",\"t\":\"thumbs/cover.jpg.jpg\",\"h\":\"pictures/cover.jpg\"}"),
              std::string::npos);

    const HtmlCatalogue::Result again = HtmlCatalogue::write(doc, out, options);
    ASSERT_TRUE(again.ok);
    EXPECT_EQ(again.thumbnailsWritten, 0);
    EXPECT_EQ(again.thumbnailsKept, 3);
    // A changed picture gets a new thumbnail.
    ::usleep(20000);
    ASSERT_TRUE(FileSystem::writeFileAtomic(database + "cover.jpg", test::makeJpeg(100, 400)));
    const HtmlCatalogue::Result changed = HtmlCatalogue::write(doc, out, options);
    EXPECT_EQ(changed.thumbnailsWritten, 1);
    EXPECT_EQ(changed.thumbnailsKept, 2);
}

TEST(HtmlCatalogue, catalogue_neverReadsOrWritesOutsideItsFolders)
{
    TempFolder dir;
    const std::string database = dir.file("db/");
    ASSERT_TRUE(FileSystem::createFolders(database));
    ASSERT_TRUE(FileSystem::createFolders(dir.file("elsewhere/")));
    const std::string secret = test::makeJpeg(30, 30);
    ASSERT_TRUE(FileSystem::writeFileAtomic(dir.file("secret.jpg"), secret));
    ASSERT_EQ(::symlink(dir.file("secret.jpg").c_str(), (database + "link.jpg").c_str()), 0);
    ASSERT_TRUE(FileSystem::writeFileAtomic(database + "notes.jpg", "not a picture"));

    enum Outcome { Refused, Missing, Unreadable };
    const struct {
        std::string reference;
        Outcome outcome;
    } cases[] = {
        {"../secret.jpg", Refused}, {"/etc/passwd", Refused}, {"sub/../../secret.jpg", Refused},
        {"..", Refused},            {"a\\b.jpg", Refused},    {"link.jpg", Refused},
        {"gone.jpg", Missing},      {"notes.jpg", Unreadable},
    };
    ListDocument doc(2, static_cast<int>(std::size(cases)) + 1);
    for (std::size_t i = 0; i < std::size(cases); ++i)
        doc.SetCell(1, static_cast<int>(i) + 1, picture(cases[i].reference));
    HtmlCatalogue::Options options;
    options.databaseFolder = database;
    const HtmlCatalogue::Result result = HtmlCatalogue::write(doc, dir.file("out"), options);
    ASSERT_TRUE(result.ok) << result.error;
    for (const auto &c : cases) {
        const auto &list = c.outcome == Refused   ? result.refused
                           : c.outcome == Missing ? result.missing
                                                  : result.unreadable;
        EXPECT_NE(std::find(list.begin(), list.end(), c.reference), list.end()) << c.reference;
    }
    EXPECT_EQ(result.thumbnailsWritten, 0);
    EXPECT_EQ(FileSystem::listFolder(dir.file("out/thumbs"))->size(), 0u);
    // Only the readable file was copied; nothing was made beside the folders.
    EXPECT_EQ(*FileSystem::listFolder(dir.file("out/pictures")), std::vector<std::string>{"notes.jpg"});
    EXPECT_EQ(FileSystem::listFolder(dir.path())->size(), 4u); // db, elsewhere, secret.jpg, out
    EXPECT_EQ(FileSystem::readFile(dir.file("secret.jpg")).value_or(""), secret);

    // Links planted where the catalogue writes are refused, never written through.
    ASSERT_TRUE(FileSystem::writeFileAtomic(database + "cover.jpg", test::makeJpeg(20, 20)));
    ListDocument one(2, 2);
    one.SetCell(1, 1, picture("cover.jpg"));
    ASSERT_EQ(::symlink(dir.file("secret.jpg").c_str(), dir.file("out/thumbs/cover.jpg.jpg").c_str()), 0);
    ASSERT_EQ(::symlink(dir.file("secret.jpg").c_str(), dir.file("out/pictures/cover.jpg").c_str()), 0);
    EXPECT_TRUE(HtmlCatalogue::write(one, dir.file("out"), options).ok);
    EXPECT_EQ(FileSystem::readFile(dir.file("secret.jpg")).value_or(""), secret);
    ASSERT_TRUE(FileSystem::createFolders(dir.file("linked/")));
    ASSERT_EQ(::symlink(dir.file("elsewhere").c_str(), dir.file("linked/thumbs").c_str()), 0);
    EXPECT_FALSE(HtmlCatalogue::write(one, dir.file("linked"), options).ok);
    ASSERT_TRUE(FileSystem::createFolders(dir.file("page/")));
    ASSERT_EQ(::symlink(dir.file("secret.jpg").c_str(), dir.file("page/index.html").c_str()), 0);
    EXPECT_FALSE(HtmlCatalogue::write(one, dir.file("page"), options).ok);
    EXPECT_EQ(FileSystem::listFolder(dir.file("elsewhere"))->size(), 0u);
    EXPECT_EQ(FileSystem::readFile(dir.file("secret.jpg")).value_or(""), secret);
}

// A real browser runs the page: the script renders the rows and the count.
TEST(HtmlCatalogue, catalogue_rendersInHeadlessChromium)
{
    if (std::system("command -v chromium >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "chromium is not installed";
    TempFolder dir;
    const std::string database = dir.file("db/");
    ASSERT_TRUE(FileSystem::createFolders(database));
    ASSERT_TRUE(FileSystem::writeFileAtomic(database + "cover.jpg", test::makeJpeg(300, 400)));
    ListDocument doc(4, 2501);
    doc.SetCell(1, 0, "Title");
    doc.SetCell(2, 0, "Year");
    doc.SetCell(3, 0, "Cover");
    for (int r = 1; r < doc.RowCount(); ++r) {
        doc.SetCell(1, r, "Film " + std::to_string(r));
        doc.SetCell(2, r, std::to_string(1950 + r % 70));
    }
    doc.SetCell(3, 1, picture("cover.jpg"));
    HtmlCatalogue::Options options;
    options.databaseFolder = database;
    options.title = "Films";
    ASSERT_TRUE(HtmlCatalogue::write(doc, dir.file("out"), options).ok);
    const std::string run = "cd '" + dir.path() +
                            "' && chromium --headless --no-sandbox --disable-gpu --user-data-dir=profile "
                            "--window-size=1000,700 --screenshot=shot.png --dump-dom out/index.html "
                            "> dom.html 2>/dev/null";
    ASSERT_EQ(std::system(run.c_str()), 0);
    const std::string dom = FileSystem::readFile(dir.file("dom.html")).value_or("");
    EXPECT_NE(dom.find("2500 of 2500 items"), std::string::npos);
    EXPECT_NE(dom.find("Page 1 of 3"), std::string::npos);
    EXPECT_GT(FileSystem::fileSize(dir.file("shot.png")).value_or(0), 1000u);
    if (const char *keep = std::getenv("QUORVEX_KEEP_SCREENSHOT"))
        FileSystem::writeFileAtomic(keep, FileSystem::readFile(dir.file("shot.png")).value_or(""));
}
