#include "FakeServices.h"
#include "document/core/StatusBarModel.h"

#include <gtest/gtest.h>

using quorvex::PanelRect;
using quorvex::StatusBarModel;
using quorvex::test::EditorFixture;

TEST(StatusBar, itemLabelFollowsListTypeAndFallsBackToEightTracks)
{
    EXPECT_EQ(StatusBarModel::itemCountLabel("dvdmovie"), "Total movies: ");
    EXPECT_EQ(StatusBarModel::itemCountLabel("svcdmovie"), "Total movies: ");
    EXPECT_EQ(StatusBarModel::itemCountLabel("cdmusic"), "Total CD's: ");
    EXPECT_EQ(StatusBarModel::itemCountLabel("cassettemusic"), "Total cassettes: ");
    EXPECT_EQ(StatusBarModel::itemCountLabel("recordmusic"), "Total records: ");
    EXPECT_EQ(StatusBarModel::itemCountLabel("8trackmusic"), "Total 8 tracks: ");
    EXPECT_EQ(StatusBarModel::itemCountLabel(""), "Total 8 tracks: ");
    EXPECT_EQ(StatusBarModel::itemCountLabel("DVDMOVIE"), "Total 8 tracks: ");
}

TEST(StatusBar, refreshShowsCountsRowAndPages)
{
    EditorFixture f;
    f.editor.listType = "cdmusic";
    f.editor.document().SetRowCount(13);
    f.editor.pageSetup().maxEntries = 54;
    f.editor.document().SetCurrentCell(1, 12);
    f.editor.RefreshStatusBar();
    const StatusBarModel &s = f.editor.statusBar();
    EXPECT_EQ(s.text(0), "Total CD's: 12");
    EXPECT_EQ(s.text(1), "Selected row: 12");
    EXPECT_EQ(s.text(2), "Total pages: 1");
    EXPECT_EQ(s.text(3), "Selected page: 1");
    EXPECT_EQ(f.view.statusRefreshes, 1);
}

TEST(StatusBar, fiftyFiveRowsMakeTwoPagesAndRow55IsOnPageTwo)
{
    EditorFixture f;
    f.editor.document().SetRowCount(56);
    f.editor.document().SetCurrentCell(1, 55);
    f.editor.RefreshStatusBar();
    EXPECT_EQ(f.editor.statusBar().text(2), "Total pages: 2");
    EXPECT_EQ(f.editor.statusBar().text(3), "Selected page: 2");
    f.editor.document().SetCurrentCell(1, 54);
    f.editor.RefreshStatusBar();
    EXPECT_EQ(f.editor.statusBar().text(3), "Selected page: 1");
}

TEST(StatusBar, firstPanelWidthIsTheRestClampedTo220And400)
{
    StatusBarModel s;
    s.resize(350 + 300);
    EXPECT_EQ(s.width(0), 300);
    s.resize(300);
    EXPECT_EQ(s.width(0), 220);
    s.resize(3000);
    EXPECT_EQ(s.width(0), 400);
    EXPECT_EQ(s.width(1), 125);
    EXPECT_EQ(s.width(2), 105);
    EXPECT_EQ(s.width(3), 120);
}

TEST(StatusBar, refreshClearsProgressAndProgressSetsText)
{
    EditorFixture f;
    f.editor.statusBar().setProgress(50, "50% - complete.");
    EXPECT_EQ(f.editor.statusBar().progress(), 50);
    EXPECT_EQ(f.editor.statusBar().text(0), "50% - complete.");
    f.editor.RefreshStatusBar();
    EXPECT_EQ(f.editor.statusBar().progress(), 0);
}

TEST(StatusBar, progressBarCoversItsShareOfPanelZeroFromAboveTheTopEdge)
{
    const PanelRect panel{0, 0, 300, 19};
    EXPECT_EQ(StatusBarModel::progressBarRect(panel, 50), (PanelRect{0, -1, 150, 19}));
    EXPECT_EQ(StatusBarModel::progressBarRect(panel, 100).right, 300);
    EXPECT_EQ(StatusBarModel::progressBarRect(PanelRect{0, 0, 301, 19}, 33).right, 99);
    EXPECT_EQ(StatusBarModel::progressBarRect(panel, 0).width(), 0);
    EXPECT_EQ(StatusBarModel::textStartX(panel, 0, 50), 3);
    EXPECT_EQ(StatusBarModel::textStartX(panel, 0, 0), 2);
    EXPECT_EQ(StatusBarModel::textStartX(PanelRect{300, 0, 425, 19}, 1, 50), 302);
}

TEST(MenuState, deleteRowNeedsTwoDataRowsAndAPartialSelection)
{
    EditorFixture f;
    auto &doc = f.editor.document();
    EXPECT_FALSE(f.editor.menuState().deleteRow);
    doc.SetRowCount(3);
    doc.SetCurrentCell(1, 1);
    EXPECT_TRUE(f.editor.menuState().deleteRow);
    doc.SelectRange(1, 1, 1, 2);
    EXPECT_FALSE(f.editor.menuState().deleteRow);
}

TEST(MenuState, wholeListSelectedDisablesSelectAllAndSelectColumn)
{
    EditorFixture f;
    auto &doc = f.editor.document();
    doc.SetRowCount(5);
    doc.SelectRange(1, 1, doc.ColCount() - 1, doc.RowCount() - 1);
    const auto m = f.editor.menuState();
    EXPECT_FALSE(m.selectAll);
    EXPECT_FALSE(m.selectColumn);
    EXPECT_FALSE(m.deleteColumn);
    doc.SelectRange(2, 1, 2, 4);
    EXPECT_FALSE(f.editor.menuState().selectColumn);
    EXPECT_TRUE(f.editor.menuState().selectAll);
    EXPECT_TRUE(f.editor.menuState().deleteColumn);
}

TEST(MenuState, pasteFollowsClipboardAndExtractFollowsAttachmentCell)
{
    EditorFixture f;
    EXPECT_FALSE(f.editor.menuState().paste);
    f.clipboard.content = "x";
    EXPECT_TRUE(f.editor.menuState().paste);
    EXPECT_FALSE(f.editor.menuState().extractDataFile);
    f.editor.document().SetCell(1, 1, std::string("\x01", 1));
    EXPECT_TRUE(f.editor.menuState().extractDataFile);
}
