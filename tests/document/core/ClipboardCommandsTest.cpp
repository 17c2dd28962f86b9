#include "FakeServices.h"
#include "document/core/AttachmentRef.h"
#include "document/core/ClipboardCommands.h"
#include "document/core/ExcelText.h"

#include <gtest/gtest.h>

#include <string>

using quorvex::CellRect;
using quorvex::ClipboardCommands;
using quorvex::ExcelText;
using quorvex::ListDocument;
using quorvex::test::EditorFixture;

namespace {

void fill(ListDocument &doc, int cols, int rows)
{
    doc.SetColCount(cols);
    doc.SetRowCount(rows);
    for (int r = 0; r < rows; ++r)
        for (int c = 1; c < cols; ++c)
            doc.SetCell(c, r, "c" + std::to_string(c) + "r" + std::to_string(r));
}

struct ClipFixture : EditorFixture {
    ClipboardCommands commands{editor};
    ListDocument &doc = editor.document();
};

const std::string ThreeByFour = "a1\tb1\tc1\td1\r\na2\tb2\tc2\td2\r\na3\tb3\tc3\td3\r\n";

} // namespace

TEST(ExcelText, exportLayoutJoinsCellsByTabsAndEndsEveryRowWithCr)
{
    ListDocument doc(4, 3);
    doc.SetCell(1, 0, "Tape#");
    doc.SetCell(2, 0, "Movie Title");
    doc.SetCell(3, 0, "Year");
    doc.SetCell(1, 1, "12");
    doc.SetCell(2, 1, "Alien");
    doc.SetCell(3, 1, "1979");
    doc.SetCell(0, 1, " 1");
    EXPECT_EQ(ExcelText::formatExcelText(doc, 0, 2, 1, 3, ExcelText::ExportLineEnd),
              "Tape#\tMovie Title\tYear\r12\tAlien\t1979\r\t\t\r");
}

TEST(ExcelText, cellsGoInUnchangedAndNoTabFollowsTheRectanglesLastColumn)
{
    ListDocument doc(5, 2);
    const std::string ref = quorvex::AttachmentRef::make(quorvex::AttachPicture, "p.jpg");
    doc.SetCell(2, 1, ref);
    doc.SetCell(3, 1, "x\ty");
    EXPECT_EQ(ExcelText::formatExcelText(doc, 1, 1, 1, 3, ExcelText::ClipboardLineEnd), "\t" + ref + "\tx\ty\r\n");
}

TEST(ClipboardCopy, singleCellAndRowPieceEndWithCrLfInEitherCornerOrder)
{
    ClipFixture f;
    fill(f.doc, 5, 4);
    f.doc.SetCurrentCell(2, 2);
    EXPECT_EQ(f.commands.Copy(), quorvex::ResultOk);
    EXPECT_EQ(f.clipboard.content, "c2r2\r\n");
    f.commands.CopyCellsToClipboard(1, 3, 1, 1);
    EXPECT_EQ(f.clipboard.content, "c1r1\tc2r1\tc3r1\r\n");
    f.commands.CopyCellsToClipboard(3, 2, 2, 3);
    const std::string reversed = f.clipboard.content;
    f.commands.CopyCellsToClipboard(2, 3, 3, 2);
    EXPECT_EQ(f.clipboard.content, reversed);
    EXPECT_EQ(reversed, "c2r2\tc3r2\r\nc2r3\tc3r3\r\n");
    ASSERT_FALSE(f.progress.reports.empty());
    EXPECT_EQ(f.progress.reports.back(), std::make_pair(0, std::string("100% - Copied to clipboard.")));
    EXPECT_FALSE(f.editor.listModified);
}

TEST(ClipboardCopy, exportEntireListTakesTheHeaderAndEveryDataRowButNoPageColumn)
{
    ClipFixture f;
    fill(f.doc, 3, 3);
    f.editor.RenumberPages();
    EXPECT_EQ(f.commands.CopyAll(), quorvex::ResultOk);
    EXPECT_EQ(f.clipboard.content, "c1r0\tc2r0\r\nc1r1\tc2r1\r\nc1r2\tc2r2\r\n");
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_EQ(f.messages.shown[0].kind, quorvex::MessageKind::Plain);
    EXPECT_EQ(f.messages.shown[0].text, "The entire list has been copied to the clipboard in MS Excel format.");
}

TEST(ClipboardCopy, progressTextOfALongCopy)
{
    ClipFixture f;
    f.doc.SetColCount(3);
    f.doc.SetRowCount(200);
    f.editor.pageSetup().maxEntries = 100;
    f.commands.CopyCellsToClipboard(1, 2, 199, 1);
    ASSERT_EQ(f.progress.reports.size(), 2u);
    EXPECT_EQ(f.progress.reports[0], std::make_pair(50, std::string("50% - Copying to clipboard in MS Excel format.")));
}

TEST(ClipboardCopy, progressPercentIsTheWholeNumberOfTheRowShare)
{
    ClipFixture f;
    f.doc.SetColCount(3);
    f.doc.SetRowCount(100);
    f.editor.pageSetup().maxEntries = 29;
    f.commands.CopyCellsToClipboard(1, 2, 99, 1);
    ASSERT_EQ(f.progress.reports.size(), 4u);
    EXPECT_EQ(f.progress.reports[0].second, "29% - Copying to clipboard in MS Excel format.");
    EXPECT_EQ(f.progress.reports[1].second, "58% - Copying to clipboard in MS Excel format.");
    EXPECT_EQ(f.progress.reports[2], std::make_pair(87, std::string("87% - Copying to clipboard in MS Excel format.")));
    EXPECT_EQ(ExcelText::progressPercent(57, 100), 57);
    EXPECT_EQ(ExcelText::progressPercent(199, 200), 99);
}

namespace {

// Changes the list in the middle of a copy, as a command run from a window event
// that the progress report lets through can.
class MeddlingProgress final : public quorvex::ProgressReporter {
public:
    void setProgress(int, const std::string &) override {}
    void pumpEvents() override
    {
        if (!doc || done)
            return;
        done = true;
        for (int r = 0; r < doc->RowCount(); ++r)
            doc->SetCell(1, r, std::string(5000, 'x'));
        doc->SetRowCount(3);
        doc->SetColCount(2);
    }
    ListDocument *doc = nullptr;
    bool done = false;
};

} // namespace

TEST(ClipboardCopy, listChangedByAnEventDuringTheCopyDoesNotChangeTheCopiedText)
{
    quorvex::test::ScriptedMessages messages;
    MeddlingProgress progress;
    quorvex::test::FakeShell shell;
    quorvex::test::FakeClipboard clipboard;
    quorvex::Editor editor{quorvex::UiServices{messages, progress, shell, clipboard}};
    ClipboardCommands commands{editor};
    fill(editor.document(), 4, 20);
    editor.pageSetup().maxEntries = 5;
    const std::string expected =
        ExcelText::formatExcelText(editor.document(), 0, 19, 1, 3, ExcelText::ClipboardLineEnd);
    progress.doc = &editor.document();
    EXPECT_EQ(commands.CopyAll(), quorvex::ResultOk);
    EXPECT_TRUE(progress.done);
    EXPECT_EQ(clipboard.content, expected);
}

TEST(ClipboardPaste, blockAtTheLastRowGrowsTheListAndSelectsTheBlock)
{
    ClipFixture f;
    fill(f.doc, 4, 4);
    f.doc.SetCurrentCell(1, 3);
    f.editor.cellSelected(1, 3);
    f.clipboard.content = ThreeByFour;
    EXPECT_EQ(f.commands.Paste(), quorvex::ResultOk);
    EXPECT_EQ(f.doc.RowCount(), 6) << "2 rows added, none for the final CR LF";
    EXPECT_EQ(f.doc.ColCount(), 5) << "1 column added";
    EXPECT_EQ(f.doc.Selection(), (CellRect{1, 3, 4, 5}));
    EXPECT_EQ(f.doc.GetCell(1, 3), "a1");
    EXPECT_EQ(f.doc.GetCell(4, 3), "d1");
    EXPECT_EQ(f.doc.GetCell(4, 5), "d3");
    EXPECT_EQ(f.doc.GetCell(4, 0), "");
    EXPECT_EQ(f.doc.ColWidth(4), ListDocument::DefaultColWidth);
    EXPECT_EQ(f.doc.GetCell(1, 2), "c1r2");
    EXPECT_EQ(f.editor.undoHistory().caption(), "&Undo Paste");
    EXPECT_TRUE(f.editor.listModified);
    f.editor.Undo();
    EXPECT_EQ(f.doc.RowCount(), 4);
    EXPECT_EQ(f.doc.ColCount(), 4);
    EXPECT_EQ(f.doc.GetCell(1, 3), "c1r3");
}

TEST(ClipboardPaste, intoATwoByTwoSelectionWritesOnlyItsFieldsAndNeverGrows)
{
    ClipFixture f;
    fill(f.doc, 4, 5);
    f.doc.SelectRange(2, 2, 3, 3);
    f.clipboard.content = ThreeByFour;
    f.commands.Paste();
    EXPECT_EQ(f.doc.RowCount(), 5);
    EXPECT_EQ(f.doc.ColCount(), 4);
    EXPECT_EQ(f.doc.GetCell(2, 2), "a1");
    EXPECT_EQ(f.doc.GetCell(3, 2), "b1");
    EXPECT_EQ(f.doc.GetCell(2, 3), "a2");
    EXPECT_EQ(f.doc.GetCell(3, 3), "b2");
    EXPECT_EQ(f.doc.GetCell(1, 2), "c1r2");
    EXPECT_EQ(f.doc.GetCell(2, 4), "c2r4");
    EXPECT_EQ(f.doc.Selection(), (CellRect{2, 2, 3, 3}));
}

TEST(ClipboardPaste, smallerTextIntoALargerSelectionSelectsWhatItFilled)
{
    ClipFixture f;
    fill(f.doc, 6, 6);
    f.doc.SelectRange(1, 1, 5, 5);
    f.clipboard.content = "x\ty\r\nz\tw\r\n";
    f.commands.Paste();
    EXPECT_EQ(f.doc.Selection(), (CellRect{1, 1, 2, 2}));
    EXPECT_EQ(f.doc.GetCell(2, 2), "w");
    EXPECT_EQ(f.doc.GetCell(3, 1), "c3r1");
}

TEST(ClipboardPaste, oneWordReplacesOnlyTheTopLeftCellAndKeepsTheSelection)
{
    ClipFixture f;
    fill(f.doc, 4, 4);
    f.doc.SelectRange(3, 3, 2, 2);
    f.clipboard.content = "word";
    f.commands.Paste();
    EXPECT_EQ(f.doc.GetCell(2, 2), "word");
    EXPECT_EQ(f.doc.GetCell(3, 3), "c3r3");
    EXPECT_EQ(f.doc.Selection(), (CellRect{2, 2, 3, 3}));
    f.clipboard.content = "cr\ronly";
    f.doc.SetCurrentCell(1, 1);
    f.commands.Paste();
    EXPECT_EQ(f.doc.GetCell(1, 1), "cr\ronly") << "without tab or LF the text goes in whole";
}

TEST(ClipboardPaste, linesWithoutTabsFillOneColumnAndGrowRows)
{
    ClipFixture f;
    fill(f.doc, 3, 3);
    f.doc.SetCurrentCell(2, 2);
    f.clipboard.content = "one\r\ntwo\r\nthree";
    f.commands.Paste();
    EXPECT_EQ(f.doc.RowCount(), 5);
    EXPECT_EQ(f.doc.GetCell(2, 2), "one");
    EXPECT_EQ(f.doc.GetCell(2, 4), "three");
    EXPECT_EQ(f.doc.GetCell(1, 3), "");
    EXPECT_EQ(f.doc.Selection(), (CellRect{2, 2, 2, 4}));
}

TEST(ClipboardPaste, aLoneLineFeedStaysInsideTheField)
{
    ClipFixture f;
    fill(f.doc, 3, 3);
    f.doc.SetCurrentCell(1, 1);
    // In a CR LF text an LF alone is part of its field.
    f.clipboard.content = "a\nb\tc\r\n";
    f.commands.Paste();
    EXPECT_EQ(f.doc.GetCell(1, 1), "a\nb");
    EXPECT_EQ(f.doc.GetCell(2, 1), "c");
    EXPECT_EQ(f.doc.RowCount(), 3);
}

TEST(ClipboardPaste, textEndingInALoneLineFeedKeepsItsLastField)
{
    ClipFixture f;
    fill(f.doc, 4, 4);
    f.doc.SetCurrentCell(1, 2);
    f.clipboard.content = "ab\n";
    f.commands.Paste();
    EXPECT_EQ(f.doc.GetCell(1, 2), "ab");
    EXPECT_EQ(f.doc.RowCount(), 4) << "the final LF adds no row";
    EXPECT_EQ(f.doc.Selection(), (CellRect{1, 2, 1, 2}));

    f.doc.SetCurrentCell(1, 1);
    f.clipboard.content = "a1\tb1\na2\tb2\n";
    f.commands.Paste();
    EXPECT_EQ(f.doc.GetCell(1, 1), "a1");
    EXPECT_EQ(f.doc.GetCell(2, 1), "b1") << "a text without CR ends its rows with LF";
    EXPECT_EQ(f.doc.GetCell(1, 2), "a2");
    EXPECT_EQ(f.doc.GetCell(2, 2), "b2");
    EXPECT_EQ(f.doc.ColCount(), 4);

    f.doc.SetCurrentCell(2, 3);
    f.clipboard.content = "x\ty\r\n";
    f.commands.Paste();
    EXPECT_EQ(f.doc.GetCell(3, 3), "y");
    EXPECT_EQ(f.doc.RowCount(), 4) << "the LF of a final CR LF is no field of its own";
}

TEST(ClipboardPaste, lineFeedTextFromLinuxProgramsLandsInRowsAndColumns)
{
    struct Case {
        std::string text;
        bool range; // pasted into a 2 x 2 selection instead of at one cell
        std::vector<std::vector<std::string>> cells; // rows from (1,1), columns from 1
        CellRect selection;
        int rowCount;
    };
    const Case cases[] = {
        {"a\tb\nc\td\ne\tf\n", false, {{"a", "b"}, {"c", "d"}, {"e", "f"}}, {1, 1, 2, 3}, 4},
        {"a\tb\nc\td", false, {{"a", "b"}, {"c", "d"}}, {1, 1, 2, 2}, 3},
        {"one\ntwo\nthree", false, {{"one"}, {"two"}, {"three"}}, {1, 1, 1, 3}, 4},
        {"a\t\nc\td\n", false, {{"a", ""}, {"c", "d"}}, {1, 1, 2, 2}, 3},
        {"a\tb\tx\nc\td\ty\ne\tf\tz\n", true, {{"a", "b", "c3r1"}, {"c", "d", "c3r2"}, {"c1r3", "c2r3"}},
         {1, 1, 2, 2}, 4},
        // CR LF texts keep their rule: an LF alone stays inside its field.
        {"a\nb\tc\r\nd\te\r\n", false, {{"a\nb", "c"}, {"d", "e"}}, {1, 1, 2, 2}, 3},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        ClipFixture f;
        fill(f.doc, 4, 4);
        for (int r = 1; r < 4; ++r)
            for (int col = 1; col < 3; ++col)
                f.doc.SetCell(col, r, c.range ? f.doc.GetCell(col, r) : std::string());
        f.doc.SetRowCount(c.range ? 4 : 2);
        f.doc.SetCurrentCell(1, 1);
        if (c.range)
            f.doc.SelectRange(1, 1, 2, 2);
        f.clipboard.content = c.text;
        f.commands.Paste();
        for (std::size_t r = 0; r < c.cells.size(); ++r)
            for (std::size_t col = 0; col < c.cells[r].size(); ++col)
                EXPECT_EQ(f.doc.GetCell(static_cast<int>(col) + 1, static_cast<int>(r) + 1), c.cells[r][col])
                    << "row " << r + 1 << " col " << col + 1;
        EXPECT_EQ(f.doc.Selection(), c.selection);
        EXPECT_EQ(f.doc.RowCount(), c.rowCount);
    }
}

TEST(ClipboardPaste, intoAOneColumnRangeSelectsEveryRowItWrote)
{
    ClipFixture f;
    fill(f.doc, 4, 6);
    f.doc.SelectRange(2, 1, 2, 3);
    f.clipboard.content = "a\tb\r\nc\td\r\n";
    f.commands.Paste();
    EXPECT_EQ(f.doc.GetCell(2, 1), "a");
    EXPECT_EQ(f.doc.GetCell(2, 2), "c");
    EXPECT_EQ(f.doc.GetCell(3, 1), "c3r1");
    EXPECT_EQ(f.doc.GetCell(2, 3), "c2r3");
    EXPECT_EQ(f.doc.Selection(), (CellRect{2, 1, 2, 2}));
}

TEST(ClipboardPaste, secondPasteAtTheMovedCurrentCellUndoesToThatCellsText)
{
    ClipFixture f;
    fill(f.doc, 5, 5);
    f.doc.SetCurrentCell(1, 1);
    f.editor.cellSelected(1, 1);
    f.clipboard.content = "p\tq\r\nr\ts\r\n";
    f.commands.Paste(); // the current cell moves to (2, 2)
    ASSERT_EQ(f.doc.Col(), 2);
    ASSERT_EQ(f.doc.Row(), 2);
    f.doc.SetCurrentCell(2, 2);
    f.clipboard.content = "word";
    f.commands.Paste();
    EXPECT_EQ(f.doc.GetCell(2, 2), "word");
    f.editor.Undo();
    EXPECT_EQ(f.doc.GetCell(2, 2), "s") << "not the text of the cell selected before the first paste";
    EXPECT_EQ(f.doc.GetCell(1, 1), "p");
}

TEST(ClipboardPaste, noTextShowsTheErrorAndChangesOnlyTheModifiedMark)
{
    ClipFixture f;
    fill(f.doc, 3, 3);
    f.clipboard.content.clear();
    EXPECT_EQ(f.commands.Paste(), quorvex::ResultFailed);
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_EQ(f.messages.shown[0].kind, quorvex::MessageKind::Error);
    EXPECT_EQ(f.messages.shown[0].text, "Windows clipboard does not contain text.");
    EXPECT_TRUE(f.editor.listModified);
    EXPECT_FALSE(f.editor.undoHistory().undoEnabled());
    EXPECT_FALSE(f.editor.menuState().paste);
    EXPECT_EQ(f.view.cursors.back(), quorvex::CursorShape::Normal);
}

TEST(ClipboardPaste, typingBeforeThePasteIsUndoneWithIt)
{
    ClipFixture f;
    fill(f.doc, 3, 4);
    f.doc.SetCurrentCell(1, 1);
    f.editor.cellSelected(1, 1);
    f.doc.SetCell(1, 1, "typed");
    f.clipboard.content = "x\ty";
    f.commands.Paste();
    EXPECT_EQ(f.doc.GetCell(1, 1), "x");
    f.editor.Undo();
    EXPECT_EQ(f.doc.GetCell(1, 1), "c1r1");
}

TEST(ClipboardPaste, copyThenPasteElsewhereReproducesTheBlock)
{
    ClipFixture f;
    fill(f.doc, 5, 5);
    f.doc.SetCell(2, 2, "");
    f.commands.CopyCellsToClipboard(1, 3, 3, 1);
    f.doc.SetCurrentCell(3, 4);
    f.commands.Paste();
    EXPECT_EQ(f.doc.ColCount(), 6);
    EXPECT_EQ(f.doc.RowCount(), 7);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(f.doc.GetCell(3 + c, 4 + r), c == 1 && r == 1 ? "" : "c" + std::to_string(1 + c) + "r" +
                                                                               std::to_string(1 + r));
}
