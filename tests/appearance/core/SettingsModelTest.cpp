#include "TempFolder.h"
#include "appearance/core/GridTemplates.h"
#include "appearance/core/SettingsFile.h"
#include "appearance/core/SettingsModel.h"
#include "platform/core/FileSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace quorvex;
using quorvex::test::TempFolder;

namespace {

constexpr ColorRef Face = 212 + 208 * 256 + 200 * 65536;

std::vector<int> entriesOf(const GridAppearance &a)
{
    std::vector<int> out;
    for (const GridColor *c : SettingsModel::colours(a))
        out.push_back(c->entry);
    return out;
}

} // namespace

TEST(SettingsModel, templatesSetEveryColourBackgroundAndWidth)
{
    struct Case {
        int index;
        const char *name;
        std::vector<int> entries; // ten, in file order
        const char *fixed, *odd, *even;
        int width;
    };
    const Case cases[] = {
        {1, "Odds Highlighted", {5, 2, 1, 2, 17, 2, 4, 17, 2, 15}, "none", "none", "none", 1},
        {3, "Text Only", {17, 2, 17, 2, 17, 2, 4, 17, 2, 15}, "none", "none", "none", -3},
        {8, "All Clouds 3", {5, 2, 1, 2, 0, 17, 4, 0, 2, 15}, "Clouds001.jpg", "Clouds002.bmp", "Clouds003.bmp", 1},
        {9, "Fixed Wood", {5, 17, 1, 2, 17, 2, 10, 17, 2, 15}, "Wood001.bmp", "none", "none", 1},
        {11, "All Wood 2", {5, 17, 1, 17, 17, 17, 10, 17, 2, 15}, "Wood001.bmp", "Wood001.bmp", "Wood002.bmp", 1},
        {12, "All Stone", {5, 17, 1, 17, 17, 2, 15, 11, 2, 15}, "Stone001.bmp", "Stone002.bmp", "Stone003.bmp", 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        GridAppearance a;
        a.gridLineColor = {19, 0x123456}; // a custom colour the template must replace
        a.gridLineWidth = 77;
        ASSERT_TRUE(GridTemplates::apply(c.index, a, Face));
        EXPECT_EQ(GridTemplates::name(c.index), c.name);
        EXPECT_EQ(entriesOf(a), c.entries);
        EXPECT_EQ(a.fixedBackground, c.fixed);
        EXPECT_EQ(a.oddBackground, c.odd);
        EXPECT_EQ(a.evenBackground, c.even);
        EXPECT_EQ(a.gridLineWidth, c.width);
        EXPECT_EQ(a.gridLineColor.color, 0xC0C0C0u);
        // "Button" is fixed to the face given now; the others come from the table.
        EXPECT_EQ(a.fixedColor.color, c.entries[0] == 5 ? Face : 0xFFFFFFu);
    }
    // "Choose One" and indexes outside the box change nothing.
    for (int index : {0, -1, 13, 1000}) {
        GridAppearance a;
        a.gridLineWidth = 7;
        EXPECT_FALSE(GridTemplates::apply(index, a, Face));
        EXPECT_EQ(a.gridLineWidth, 7);
    }
    EXPECT_EQ(GridTemplates::name(0), "Choose One");
    // The tab's Default gives exactly the program's starting look (before the face is known).
    GridAppearance fresh, templated;
    GridTemplates::apply(GridTemplates::OddsHighlighted, templated, GridAppearance::DefaultButtonFace);
    EXPECT_EQ(SettingsModel::toStored(fresh, 2, true, ""), SettingsModel::toStored(templated, 2, true, ""));
}

TEST(SettingsModel, defaultHeadersFollowTheListType)
{
    const std::array<std::string, 8> current{"a", "b", "c", "d", "e", "f", "g", "h"};
    struct Case {
        const char *type;
        std::array<std::string, 8> headers;
    };
    const Case cases[] = {
        {"vhsmovie", {"Tape#", "Movie Title", "Genre", "Main Actor", "Duration", "Year", "Quality",
                      "Description / Plot Summary"}},
        {"bdmovie", {"BD #", "Movie Title", "Genre", "Main Actor", "Duration", "Year", "Quality",
                     "Description / Plot Summary"}},
        {"svcdmovie", {"SVCD#", "Movie Title", "Genre", "Main Actor", "Duration", "Year", "Quality",
                       "Description / Plot Summary"}},
        {"cdmusic", {"CD #", "CD Title", "Genre", "Artist / Group", "Duration", "Year", "Quality", "Comment"}},
        {"8trackmusic",
         {"Tape#", "Eight Track Title", "Genre", "Artist / Group", "Duration", "Year", "Quality", "Comment"}},
        {"recordmusic", {"Rec #", "Record Title", "Genre", "Artist / Group", "Duration", "Year", "Quality", "Comment"}},
        {"books", {"a", "b", "Genre", "Artist / Group", "Duration", "Year", "Quality", "Comment"}},
        {"", {"a", "b", "Genre", "Artist / Group", "Duration", "Year", "Quality", "Comment"}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(SettingsModel::defaultHeaders(c.type, current), c.headers) << c.type;
}

TEST(SettingsModel, backgroundFolderListsPicturesOnlyAndFindsNamesInAnyCase)
{
    const std::pair<const char *, bool> names[] = {
        {"Sunset.JPEG", true}, {"My Clouds.jpg", true}, {"a.b.GIF", true}, {"x.bmp", true},
        {"readme.txt", false}, {"Sunset", false},       {"jpg", false},    {"x.bmp.txt", false},
    };
    TempFolder folder;
    for (const auto &[name, listed] : names) {
        EXPECT_EQ(SettingsModel::isBackgroundFile(name), listed) << name;
        ASSERT_TRUE(FileSystem::writeFileAtomic(folder.file(name), "x"));
    }
    FileSystem::createFolders(folder.file("sub.bmp.d"));
    std::vector<std::string> listed = SettingsModel::listBackgrounds(folder.path());
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, (std::vector<std::string>{"My Clouds.jpg", "Sunset.JPEG", "a.b.GIF", "x.bmp"}));
    EXPECT_TRUE(SettingsModel::listBackgrounds(folder.file("missing/")).empty());

    const std::vector<std::string> box{"Clouds001.jpg", "Wood001.bmp"};
    EXPECT_EQ(SettingsModel::findBackground(box, "none"), 0);
    EXPECT_EQ(SettingsModel::findBackground(box, "clouds001.JPG"), 1);
    EXPECT_EQ(SettingsModel::findBackground(box, "Wood001.bmp"), 2);
    EXPECT_EQ(SettingsModel::findBackground(box, "Stone001.bmp"), -1);
    EXPECT_EQ(SettingsModel::findBackground({}, "Clouds001.jpg"), -1);
}

TEST(SettingsModel, storedValuesRoundTripThroughTheFileAndWidthsStayInRange)
{
    GridAppearance a;
    a.applyButtonFace(240 + 240 * 256 + 240 * 65536);
    const std::string defaults = SettingsFile::format(SettingsModel::toStored(a, 2, true, "C:\\Q\\Database\\"));
    EXPECT_EQ(defaults, "5 15790320 2 0 1 14811135 2 0 17 16777215 2 0 4 12615712 17 16777215 4 none 4 none "
                        "4 none 1 2 0 15 12632256\r\n2 1 14 C:\\Q\\Database\\\r\n");

    // A custom colour, a picture name with blanks and a wide line come back whole.
    GridAppearance changed = a;
    changed.fixedColor = {19, 10 + 20 * 256 + 30 * 65536};
    changed.oddBackground = "My Clouds.jpg";
    changed.gridLineWidth = 19999;
    const std::string bytes = SettingsFile::format(SettingsModel::toStored(changed, 12, false, "/db/"));
    EXPECT_NE(bytes.find("19 1971210 "), std::string::npos);
    EXPECT_NE(bytes.find("13 My Clouds.jpg "), std::string::npos);
    GridAppearance back;
    const SettingsReadResult read = SettingsFile::parse(bytes, SettingsModel::toStored(back, 2, true, ""));
    SettingsModel::applyColours(read, back);
    EXPECT_EQ(back.fixedColor, changed.fixedColor);
    EXPECT_EQ(back.gridLineWidth, 19999);
    EXPECT_EQ(read.values.oddBackground, "My Clouds.jpg");

    // Widths outside -4..19999 never reach the grid or the file, however they arrive.
    const std::pair<long long, int> widths[] = {{-5, -4}, {-1000000, -4}, {20000, 19999}, {1LL << 40, 19999},
                                                {-4, -4}, {0, 0}, {19999, 19999}};
    for (const auto &[in, out] : widths) {
        EXPECT_EQ(SettingsModel::clampLineWidth(in), out) << in;
        GridAppearance w;
        w.gridLineWidth = static_cast<int>(std::clamp<long long>(in, INT32_MIN, INT32_MAX));
        EXPECT_EQ(SettingsModel::toStored(w, 2, true, "").lineWidth, out) << in;
    }
    GridAppearance fromFile;
    SettingsModel::applyColours(SettingsFile::parse("5 1 2 0 1 2 2 0 17 3 2 0 4 4 17 5 4 none 4 none 4 none 25000 2 "
                                                    "0 15 6\r\n2 1 0 \r\n",
                                                    SettingsModel::toStored(fromFile, 2, true, "")),
                                fromFile);
    EXPECT_EQ(fromFile.gridLineWidth, 1);
}
