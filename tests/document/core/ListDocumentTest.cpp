#include "document/core/ListDocument.h"

#include <gtest/gtest.h>

using quorvex::CellRect;
using quorvex::ListDocument;

namespace {

ListDocument listWithRows(int dataRows)
{
    ListDocument d;
    d.SetRowCount(dataRows + 1);
    return d;
}

} // namespace

TEST(ListDocument, designSizeIsNineColumnsTwoRowsAllEmpty)
{
    ListDocument d;
    EXPECT_EQ(d.ColCount(), 9);
    EXPECT_EQ(d.RowCount(), 2);
    EXPECT_EQ(d.Col(), 1);
    EXPECT_EQ(d.Row(), 1);
    for (int c = 0; c < 9; ++c) {
        EXPECT_EQ(d.ColWidth(c), ListDocument::DefaultColWidth);
        for (int r = 0; r < 2; ++r)
            EXPECT_EQ(d.GetCell(c, r), "");
    }
}

TEST(ListDocument, neverShrinksBelowOneDataRowOrColumn)
{
    ListDocument d;
    d.SetRowCount(0);
    d.SetColCount(1);
    EXPECT_EQ(d.RowCount(), 2);
    EXPECT_EQ(d.ColCount(), 2);
    d.removeRows(1, 5);
    EXPECT_EQ(d.RowCount(), 2);
}

TEST(ListDocument, regrowthAfterShrinkShowsEmptyCellsNeverDeletedTexts)
{
    ListDocument d;
    d.SetRowCount(5);
    d.SetCell(3, 4, "gone row");
    d.SetCell(8, 1, "gone column");
    d.SetColWidth(8, 77);
    d.SetRowCount(3);
    d.SetColCount(5);
    d.SetRowCount(5);
    d.SetColCount(9);
    EXPECT_EQ(d.GetCell(3, 4), "");
    EXPECT_EQ(d.GetCell(8, 1), "");
    EXPECT_EQ(d.ColWidth(8), ListDocument::DefaultColWidth);
}

TEST(ListDocument, shrinkMovesCurrentCellIntoTheGrid)
{
    ListDocument d;
    d.SetRowCount(10);
    d.SetCurrentCell(8, 9);
    d.SetRowCount(4);
    d.SetColCount(3);
    EXPECT_EQ(d.Row(), 3);
    EXPECT_EQ(d.Col(), 2);
    EXPECT_TRUE(d.Selection().contains(d.Col(), d.Row()));
}

TEST(ListDocument, outOfRangeCellsReadEmptyAndIgnoreWrites)
{
    ListDocument d;
    d.SetCell(9, 0, "x");
    d.SetCell(-1, 1, "x");
    d.SetCell(1, 2, "x");
    EXPECT_EQ(d.GetCell(9, 0), "");
    EXPECT_EQ(d.GetCell(1, 2), "");
}

TEST(ListDocument, cellTextsKeepEveryByteIncludingNulAndHighBytes)
{
    ListDocument d;
    const std::string text("a\0b\x01\xe9\xff", 6);
    d.SetCell(4, 1, text);
    d.SetCell(2, 1, "");
    EXPECT_EQ(d.GetCell(4, 1), text);
    d.SetCell(4, 1, "");
    EXPECT_TRUE(d.rowAt(1).isEmpty());
}

TEST(ListDocument, selectRangeStartsAtFirstCornerAndEndsOnCurrentCell)
{
    ListDocument d;
    d.SetRowCount(10);
    d.SelectRange(5, 7, 2, 3);
    EXPECT_EQ(d.Col(), 2);
    EXPECT_EQ(d.Row(), 3);
    EXPECT_EQ(d.Selection(), (CellRect{2, 3, 5, 7}));
    d.SetCurrentCell(4, 4);
    EXPECT_EQ(d.Selection(), (CellRect{4, 4, 4, 4}));
}

TEST(ListDocument, clearRowAndColumnIncludeFixedCells)
{
    ListDocument d;
    d.SetCell(0, 1, " 1");
    d.SetCell(3, 1, "a");
    d.SetCell(3, 0, "Header");
    d.ClearRow(1);
    EXPECT_EQ(d.GetCell(0, 1), "");
    EXPECT_EQ(d.GetCell(3, 1), "");
    EXPECT_EQ(d.GetCell(3, 0), "Header");
    d.ClearColumn(3);
    EXPECT_EQ(d.GetCell(3, 0), "");
}

TEST(ListDocument, moveRowAndColumnShiftTheOnesBetween)
{
    ListDocument d(4, 5);
    for (int r = 1; r < 5; ++r)
        d.SetCell(1, r, std::string(1, char('a' + r - 1)));
    d.moveRow(1, 3);
    EXPECT_EQ(d.GetCell(1, 1), "b");
    EXPECT_EQ(d.GetCell(1, 2), "c");
    EXPECT_EQ(d.GetCell(1, 3), "a");
    d.moveRow(3, 1);
    EXPECT_EQ(d.GetCell(1, 1), "a");

    d.SetCell(3, 0, "C3");
    d.SetColWidth(3, 99);
    d.moveColumn(3, 1);
    EXPECT_EQ(d.GetCell(1, 0), "C3");
    EXPECT_EQ(d.ColWidth(1), 99);
    EXPECT_EQ(d.GetCell(2, 1), "a");
}

TEST(RenumberPages, oneEntryPerPageNumbersEveryRow)
{
    ListDocument d = listWithRows(3);
    d.RenumberPages(1);
    EXPECT_EQ(d.GetCell(0, 1), " 1");
    EXPECT_EQ(d.GetCell(0, 2), " 2");
    EXPECT_EQ(d.GetCell(0, 3), " 3");
}

TEST(RenumberPages, pageStartsEveryNRowsAndOtherPageCellsAreCleared)
{
    ListDocument d = listWithRows(7);
    for (int r = 1; r <= 7; ++r)
        d.SetCell(0, r, "stale");
    d.RenumberPages(3);
    const char *expected[] = {"", " 1", "", "", " 2", "", "", " 3"};
    for (int r = 1; r <= 7; ++r)
        EXPECT_EQ(d.GetCell(0, r), expected[r]) << "row " << r;
    EXPECT_EQ(d.GetCell(0, 0), "");
}

TEST(RenumberPages, singleDataRowShowsPageOne)
{
    ListDocument d;
    d.RenumberPages(54);
    EXPECT_EQ(d.GetCell(0, 1), " 1");
}

TEST(CountPages, exactMultipleAndOneMore)
{
    EXPECT_EQ(listWithRows(54).CountPages(54), 1);
    ListDocument d = listWithRows(55);
    EXPECT_EQ(d.CountPages(54), 2);
    d.RenumberPages(54);
    EXPECT_EQ(d.GetCell(0, 55), " 2");
    d.SetCurrentCell(1, 55);
    EXPECT_EQ(d.SelectedPage(54), 2);
    d.SetCurrentCell(1, 54);
    EXPECT_EQ(d.SelectedPage(54), 1);
    EXPECT_EQ(listWithRows(1).CountPages(150), 1);
}

TEST(ListDocument, copyIsIndependentOfItsSource)
{
    ListDocument a(4, 4);
    a.SetCell(2, 2, "original");
    a.SetColWidth(2, 120);
    ListDocument b(9, 9);
    b.SetCell(5, 7, "old text");
    b.copyCellsFrom(a);
    EXPECT_TRUE(b.sameCells(a));
    a.SetCell(2, 2, "changed");
    a.SetColWidth(2, 10);
    EXPECT_EQ(b.GetCell(2, 2), "original");
    EXPECT_EQ(b.ColWidth(2), 120);
    b.SetRowCount(9);
    b.SetColCount(9);
    EXPECT_EQ(b.GetCell(5, 7), "");
}
