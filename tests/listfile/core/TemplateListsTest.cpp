#include "ListFileTestSupport.h"
#include "listfile/core/TemplateLists.h"

#include <gtest/gtest.h>

namespace quorvex::test {
namespace {

TEST(TemplateLists, writeAll_nineListsReadBackWithTypeAndDefaultHeaders)
{
    TempFolder tmp;
    ScriptedMessages messages;
    ASSERT_TRUE(TemplateLists::writeAll(tmp.path() + "Templates", messages));
    struct Expect {
        const char *file, *type, *col1, *col2, *col4, *col8;
    };
    const Expect expected[] = {
        {"VHS.lst", "vhsmovie", "Tape#", "Movie Title", "Main Actor", "Description / Plot Summary"},
        {"DVD.lst", "dvdmovie", "DVD #", "Movie Title", "Main Actor", "Description / Plot Summary"},
        {"VCD.lst", "vcdmovie", "VCD #", "Movie Title", "Main Actor", "Description / Plot Summary"},
        {"SVCD.lst", "svcdmovie", "SVCD#", "Movie Title", "Main Actor", "Description / Plot Summary"},
        {"BD.lst", "bdmovie", "BD #", "Movie Title", "Main Actor", "Description / Plot Summary"},
        {"CD.lst", "cdmusic", "CD #", "CD Title", "Artist / Group", "Comment"},
        {"Cassette.lst", "cassettemusic", "Tape#", "Cassette Title", "Artist / Group", "Comment"},
        {"Record.lst", "recordmusic", "Rec #", "Record Title", "Artist / Group", "Comment"},
        {"8Track.lst", "8trackmusic", "Tape#", "Eight Track Title", "Artist / Group", "Comment"},
    };
    for (const Expect &e : expected) {
        ReaderFixture r;
        ListFileVersion version;
        ASSERT_EQ(r.read(tmp.path() + "Templates/" + e.file, &version), 0) << e.file;
        EXPECT_EQ(version, ListFileVersion::V11);
        EXPECT_EQ(r.type, e.type);
        EXPECT_EQ(r.doc.ColCount(), 9);
        EXPECT_EQ(r.doc.RowCount(), 2);
        EXPECT_EQ(r.doc.GetCell(1, 0), e.col1);
        EXPECT_EQ(r.doc.GetCell(2, 0), e.col2);
        EXPECT_EQ(r.doc.GetCell(3, 0), "Genre");
        EXPECT_EQ(r.doc.GetCell(4, 0), e.col4);
        EXPECT_EQ(r.doc.GetCell(8, 0), e.col8);
        EXPECT_EQ(r.setup.maxWidths[1], std::string(e.type).find("movie") != std::string::npos ? 40 : 31);
    }
    EXPECT_TRUE(messages.shown.empty());
}

} // namespace
} // namespace quorvex::test
