#include "FakeServices.h"
#include "document/core/AttachmentRef.h"
#include "document/core/GridCommands.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

using quorvex::AttachmentRef;
using quorvex::GridAction;
using quorvex::GridCommands;
using quorvex::GridKey;
using quorvex::KeyInput;
using quorvex::ListDocument;
using quorvex::test::EditorFixture;

namespace {

std::string label(int col, int row)
{
    return "c" + std::to_string(col) + "r" + std::to_string(row);
}

// A list of `cols` columns and `rows` rows where every cell names its place.
void fill(ListDocument &doc, int cols, int rows)
{
    doc.SetColCount(cols);
    doc.SetRowCount(rows);
    for (int r = 0; r < rows; ++r)
        for (int c = 1; c < cols; ++c)
            doc.SetCell(c, r, label(c, r));
}

struct GridFixture : EditorFixture {
    GridCommands grid{editor};
    ListDocument &doc = editor.document();
};

GridCommands::HeaderTextDialog answer(std::optional<std::string> text, std::string *shown = nullptr)
{
    return [text, shown](const std::string &current) {
        if (shown)
            *shown = current;
        return text;
    };
}

} // namespace

TEST(GridRows, newRowAddsEmptyCurrentLastRowAtColumnOneAndUndoRemovesIt)
{
    GridFixture f;
    fill(f.doc, 4, 3);
    f.grid.selectCell(3, 1);
    f.grid.NewRow();
    EXPECT_EQ(f.doc.RowCount(), 4);
    EXPECT_EQ(f.doc.Row(), 3);
    EXPECT_EQ(f.doc.Col(), 1);
    EXPECT_EQ(f.doc.GetCell(1, 3), "");
    EXPECT_EQ(f.doc.GetCell(0, 3), "") << "54 entries a page: only row 1 shows a page number";
    EXPECT_TRUE(f.editor.listModified);
    EXPECT_EQ(f.editor.undoHistory().caption(), "&Undo New Row");
    EXPECT_FALSE(f.editor.undoHistory().snapshotCurrent()) << "the new cell was selected";
    f.editor.Undo();
    EXPECT_EQ(f.doc.RowCount(), 3);
}

TEST(GridRows, newRowWhileTheWizardShowsTakesNoSnapshot)
{
    GridFixture f;
    fill(f.doc, 3, 3);
    f.grid.NewRow(true);
    EXPECT_EQ(f.doc.RowCount(), 4);
    EXPECT_FALSE(f.editor.undoHistory().undoEnabled());
    EXPECT_TRUE(f.editor.listModified);
}

TEST(GridRows, insertRowMovesTheCurrentRowDownAndLeavesAnEmptyCurrentRow)
{
    GridFixture f;
    fill(f.doc, 3, 4);
    f.editor.pageSetup().maxEntries = 1;
    f.grid.selectCell(2, 2);
    f.grid.InsertRow();
    ASSERT_EQ(f.doc.RowCount(), 5);
    EXPECT_EQ(f.doc.Col(), 2);
    EXPECT_EQ(f.doc.Row(), 2);
    EXPECT_EQ(f.doc.GetCell(1, 1), label(1, 1));
    EXPECT_EQ(f.doc.GetCell(1, 2), "");
    EXPECT_EQ(f.doc.GetCell(2, 2), "");
    EXPECT_EQ(f.doc.GetCell(1, 3), label(1, 2));
    EXPECT_EQ(f.doc.GetCell(2, 4), label(2, 3));
    EXPECT_EQ(f.doc.GetCell(0, 2), " 2") << "the page column is not moved";
    EXPECT_EQ(f.doc.GetCell(0, 4), " 4");
    EXPECT_EQ(f.editor.undoHistory().caption(), "&Undo Insert Row");
    f.editor.Undo();
    EXPECT_EQ(f.doc.RowCount(), 4);
    EXPECT_EQ(f.doc.GetCell(1, 2), label(1, 2));
}

TEST(GridRows, deleteSelectedRowsRemovesTheSelectedRowsFromEitherCorner)
{
    for (const bool fromBottom : {false, true}) {
        GridFixture f;
        fill(f.doc, 3, 8);
        if (fromBottom)
            f.doc.SelectRange(2, 5, 1, 3);
        else
            f.doc.SelectRange(1, 3, 2, 5);
        EXPECT_TRUE(f.grid.DeleteSelectedRows());
        ASSERT_EQ(f.doc.RowCount(), 5);
        EXPECT_EQ(f.doc.GetCell(1, 2), label(1, 2));
        EXPECT_EQ(f.doc.GetCell(1, 3), label(1, 6));
        EXPECT_EQ(f.doc.GetCell(2, 4), label(2, 7));
        EXPECT_EQ(f.editor.undoHistory().caption(), "&Undo Delete Selected Row(s)");
        f.editor.Undo();
        EXPECT_EQ(f.doc.RowCount(), 8);
        EXPECT_EQ(f.doc.GetCell(2, 4), label(2, 4));
    }
}

TEST(GridRows, deletingEveryDataRowKeepsTheFirstAndOneRowListRefuses)
{
    GridFixture f;
    fill(f.doc, 3, 5);
    f.doc.SelectRange(1, 1, 2, 4);
    EXPECT_TRUE(f.grid.DeleteSelectedRows());
    ASSERT_EQ(f.doc.RowCount(), 2);
    EXPECT_EQ(f.doc.GetCell(1, 1), label(1, 1));
    EXPECT_EQ(f.doc.GetCell(2, 0), label(2, 0));

    f.editor.listModified = false;
    f.editor.StartUndoableChange("&Undo Delete");
    EXPECT_FALSE(f.grid.DeleteSelectedRows());
    EXPECT_EQ(f.doc.RowCount(), 2);
    EXPECT_FALSE(f.editor.listModified);
    EXPECT_EQ(f.editor.undoHistory().caption(), "&Undo Delete");
    f.doc.SetRowCount(6);
    EXPECT_EQ(f.doc.GetCell(1, 3), "") << "deleted rows never come back";
}

TEST(GridColumns, newColumnAsksForItsHeaderAndCancelLeavesItEmpty)
{
    GridFixture f;
    fill(f.doc, 4, 3);
    f.grid.selectCell(2, 2);
    std::string shown = "unset";
    f.grid.NewColumn(answer(std::nullopt, &shown));
    ASSERT_EQ(f.doc.ColCount(), 5);
    EXPECT_EQ(shown, "");
    EXPECT_EQ(f.doc.Col(), 4);
    EXPECT_EQ(f.doc.GetCell(4, 0), "");
    EXPECT_EQ(f.doc.ColWidth(4), ListDocument::DefaultColWidth);
    EXPECT_FALSE(f.grid.newColumnMode());
    EXPECT_EQ(f.editor.undoHistory().caption(), "&Undo New Column");
    f.editor.Undo();
    EXPECT_EQ(f.doc.ColCount(), 4);
}

TEST(GridColumns, newColumnHeaderTakesNoSnapshotOfItsOwn)
{
    GridFixture f;
    fill(f.doc, 3, 3);
    f.grid.NewColumn(answer(std::string("Rating")));
    EXPECT_EQ(f.doc.GetCell(3, 0), "Rating");
    EXPECT_EQ(f.editor.undoHistory().caption(), "&Undo New Column");
    f.editor.Undo();
    EXPECT_EQ(f.doc.ColCount(), 3) << "one Undo removes the column and its header";
}

TEST(GridColumns, insertColumnShiftsTextsAndWidthsRightAndCopiesTheLeftWidth)
{
    GridFixture f;
    fill(f.doc, 4, 3);
    f.doc.SetColWidth(0, 12);
    f.doc.SetColWidth(1, 61);
    f.doc.SetColWidth(2, 72);
    f.doc.SetColWidth(3, 83);
    f.grid.selectCell(2, 1);
    f.grid.InsertColumn(answer(std::string("New")));
    ASSERT_EQ(f.doc.ColCount(), 5);
    EXPECT_EQ(f.doc.GetCell(2, 0), "New");
    EXPECT_EQ(f.doc.GetCell(2, 2), "");
    EXPECT_EQ(f.doc.GetCell(3, 0), label(2, 0));
    EXPECT_EQ(f.doc.GetCell(4, 2), label(3, 2));
    EXPECT_EQ(f.doc.GetCell(1, 1), label(1, 1));
    EXPECT_EQ(f.doc.ColWidth(2), 61);
    EXPECT_EQ(f.doc.ColWidth(3), 72);
    EXPECT_EQ(f.doc.ColWidth(4), 83);

    f.grid.selectCell(1, 1);
    f.grid.InsertColumn(answer(std::nullopt));
    EXPECT_EQ(f.doc.ColWidth(1), 12) << "column 1 takes the page column's width";
    EXPECT_EQ(f.doc.GetCell(2, 1), label(1, 1));
}

TEST(GridColumns, deleteSelectedColumnsMovesTextsAndWidthsLeft)
{
    GridFixture f;
    fill(f.doc, 6, 3);
    for (int c = 0; c < 6; ++c)
        f.doc.SetColWidth(c, 10 + c);
    f.doc.SelectRange(3, 1, 2, 2);
    EXPECT_TRUE(f.grid.DeleteSelectedColumns());
    ASSERT_EQ(f.doc.ColCount(), 4);
    EXPECT_EQ(f.doc.GetCell(1, 0), label(1, 0));
    EXPECT_EQ(f.doc.GetCell(2, 0), label(4, 0));
    EXPECT_EQ(f.doc.GetCell(3, 2), label(5, 2));
    EXPECT_EQ(f.doc.ColWidth(2), 14);
    EXPECT_EQ(f.doc.ColWidth(3), 15);
    EXPECT_EQ(f.editor.undoHistory().caption(), "&Undo Delete Selected Column(s)");
    f.editor.Undo();
    EXPECT_EQ(f.doc.ColCount(), 6);
    EXPECT_EQ(f.doc.ColWidth(3), 13);
    EXPECT_EQ(f.doc.GetCell(3, 1), label(3, 1));
}

TEST(GridColumns, deletingEveryDataColumnKeepsTheFirstAndOneColumnListRefuses)
{
    GridFixture f;
    fill(f.doc, 5, 3);
    f.doc.SetColWidth(1, 77);
    f.doc.SelectRange(1, 1, 4, 1);
    EXPECT_TRUE(f.grid.DeleteSelectedColumns());
    ASSERT_EQ(f.doc.ColCount(), 2);
    EXPECT_EQ(f.doc.GetCell(1, 0), label(1, 0));
    EXPECT_EQ(f.doc.ColWidth(1), 77);
    f.editor.listModified = false;
    EXPECT_FALSE(f.grid.DeleteSelectedColumns());
    EXPECT_EQ(f.doc.ColCount(), 2);
    EXPECT_FALSE(f.editor.listModified);
}

TEST(GridColumns, editColumnHeaderRecordsOnlyAChangedText)
{
    GridFixture f;
    fill(f.doc, 4, 3);
    f.grid.selectCell(2, 2);
    std::string shown;
    f.grid.EditColumnHeader(answer(label(2, 0), &shown));
    EXPECT_EQ(shown, label(2, 0));
    EXPECT_FALSE(f.editor.listModified);
    EXPECT_FALSE(f.editor.undoHistory().undoEnabled());

    f.grid.EditColumnHeader(answer(std::string("Title")));
    EXPECT_EQ(f.doc.GetCell(2, 0), "Title");
    EXPECT_TRUE(f.editor.listModified);
    EXPECT_EQ(f.editor.undoHistory().caption(), "&Undo Edit Column Header");
    f.editor.Undo();
    EXPECT_EQ(f.doc.GetCell(2, 0), label(2, 0));
}

TEST(GridColumns, moveColumnOnlyExplainsTheDrag)
{
    GridFixture f;
    f.grid.MoveColumn();
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_EQ(f.messages.shown[0].kind, quorvex::MessageKind::Plain);
    EXPECT_EQ(f.messages.shown[0].text, "To move a column, left-click your mouse over the header of the desired column "
                                         "and drag it to the desired position.");
}

TEST(GridDrags, columnThreeDraggedBeforeColumnOneAndUndoRestoresOrderAndWidths)
{
    GridFixture f;
    fill(f.doc, 5, 4);
    for (int c = 0; c < 5; ++c)
        f.doc.SetColWidth(c, 20 + c);
    f.editor.RenumberPages();
    const ListDocument before = f.doc;
    f.grid.selectCell(3, 2);
    f.grid.columnDragged(3, 1);
    EXPECT_EQ(f.doc.GetCell(1, 0), label(3, 0));
    EXPECT_EQ(f.doc.GetCell(2, 2), label(1, 2));
    EXPECT_EQ(f.doc.ColWidth(1), 23);
    EXPECT_EQ(f.doc.Col(), 1) << "the current cell moves with its column";
    EXPECT_EQ(f.editor.undoHistory().caption(), "&Undo Move Column");
    EXPECT_TRUE(f.editor.listModified);
    f.editor.Undo();
    EXPECT_TRUE(f.doc.sameCells(before));
    f.editor.Redo();
    EXPECT_EQ(f.doc.GetCell(1, 3), label(3, 3));
}

TEST(GridDrags, rowDraggedCarriesItsTextsAndThePageColumnIsRenumbered)
{
    GridFixture f;
    fill(f.doc, 3, 6);
    f.editor.pageSetup().maxEntries = 2;
    f.editor.RenumberPages();
    f.grid.selectCell(1, 1);
    f.grid.rowDragged(1, 4);
    EXPECT_EQ(f.doc.GetCell(1, 4), label(1, 1));
    EXPECT_EQ(f.doc.GetCell(1, 1), label(1, 2));
    EXPECT_EQ(f.doc.GetCell(0, 1), " 1");
    EXPECT_EQ(f.doc.GetCell(0, 4), "");
    EXPECT_EQ(f.doc.Row(), 4);
    EXPECT_EQ(f.editor.undoHistory().caption(), "&Undo Move Row");
    f.editor.Undo();
    EXPECT_EQ(f.doc.GetCell(1, 1), label(1, 1));
    EXPECT_EQ(f.doc.GetCell(1, 4), label(1, 4));

    const std::string caption = f.editor.undoHistory().caption();
    f.grid.rowDragged(0, 2); // the header row is fixed
    f.grid.rowDragged(2, 9);
    EXPECT_EQ(f.editor.undoHistory().caption(), caption);
}

TEST(GridCells, deleteEmptiesTheSelectionAttachmentsIncludedAndKeepsTheShape)
{
    GridFixture f;
    fill(f.doc, 4, 4);
    f.doc.SetCell(2, 2, AttachmentRef::make(quorvex::AttachPicture, "a.jpg"));
    f.doc.SelectRange(1, 1, 2, 2);
    f.grid.Delete();
    EXPECT_EQ(f.doc.GetCell(1, 1), "");
    EXPECT_EQ(f.doc.GetCell(2, 2), "");
    EXPECT_EQ(f.doc.GetCell(3, 1), label(3, 1));
    EXPECT_EQ(f.doc.GetCell(1, 3), label(1, 3));
    EXPECT_EQ(f.doc.GetCell(1, 0), label(1, 0));
    EXPECT_EQ(f.doc.RowCount(), 4);
    EXPECT_EQ(f.editor.undoHistory().caption(), "&Undo Delete");
    f.editor.Undo();
    EXPECT_TRUE(AttachmentRef::IsAttachmentCell(f.doc, 2, 2));
}

TEST(GridCells, cutCopiesThenDeletesUnderItsOwnCaption)
{
    GridFixture f;
    fill(f.doc, 4, 4);
    f.doc.SelectRange(1, 2, 2, 3);
    f.grid.Cut();
    EXPECT_EQ(f.clipboard.content, "c1r2\tc2r2\r\nc1r3\tc2r3\r\n");
    EXPECT_EQ(f.doc.GetCell(2, 3), "");
    EXPECT_EQ(f.editor.undoHistory().caption(), "&Undo Cut");
    EXPECT_FALSE(f.grid.cutMark());
    f.grid.Delete();
    EXPECT_EQ(f.editor.undoHistory().caption(), "&Undo Delete");
}

namespace {
class FailingClipboard final : public quorvex::ClipboardService {
public:
    bool hasText() const override { return false; }
    std::string text() const override { return {}; }
    void setText(const std::string &) override { throw std::runtime_error("clipboard busy"); }
};
} // namespace

TEST(GridCells, cutWhoseCopyFailedKeepsTheCells)
{
    quorvex::test::ScriptedMessages messages;
    quorvex::test::RecordingProgress progress;
    quorvex::test::FakeShell shell;
    FailingClipboard clipboard;
    quorvex::Editor editor{quorvex::UiServices{messages, progress, shell, clipboard}};
    GridCommands grid(editor);
    fill(editor.document(), 3, 3);
    editor.document().SelectRange(1, 1, 2, 2);
    grid.Cut();
    EXPECT_EQ(editor.document().GetCell(1, 1), label(1, 1));
    EXPECT_EQ(messages.texts().back(), "Error copying the selection to the clipboard.");
    EXPECT_EQ(messages.exceptions.size(), 1u);
    EXPECT_FALSE(grid.cutMark());
    EXPECT_FALSE(editor.listModified);

    messages.shown.clear();
    EXPECT_EQ(grid.clipboard().CopyAll(), quorvex::ResultFailed);
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Error copying the selection to the clipboard."})
        << "no success message after a failed copy";
}

TEST(GridCells, selectColumnAndSelectAllEndOnTheLastCellWithoutACellSelection)
{
    GridFixture f;
    fill(f.doc, 4, 6);
    f.grid.selectCell(2, 3);
    f.editor.StartUndoableChange("&Undo Delete");
    f.grid.SelectColumn();
    EXPECT_EQ(f.doc.Selection(), (quorvex::CellRect{2, 1, 2, 5}));
    EXPECT_EQ(f.doc.Row(), 5);
    EXPECT_TRUE(f.editor.undoHistory().snapshotCurrent()) << "no cell-selected rule ran";
    EXPECT_EQ(f.editor.undoHistory().savedCellText(), label(2, 5)) << "what an undo returns the new cell to";
    f.grid.SelectAll();
    EXPECT_EQ(f.doc.Selection(), (quorvex::CellRect{1, 1, 3, 5}));
    EXPECT_EQ(f.doc.Col(), 3);
    EXPECT_FALSE(f.editor.listModified);
    EXPECT_FALSE(f.editor.menuState().selectAll);
}

TEST(GridKeys, tabOnTheLastCellGrowsTheListAndTabElsewhereIsTheGrids)
{
    GridFixture f;
    fill(f.doc, 4, 3);
    f.grid.selectCell(2, 2);
    auto d = f.grid.keyDown(KeyInput{GridKey::Tab}, false);
    EXPECT_FALSE(d.swallow);
    EXPECT_EQ(f.doc.RowCount(), 3);

    f.grid.selectCell(3, 2);
    d = f.grid.keyDown(KeyInput{GridKey::Tab}, true);
    EXPECT_TRUE(d.swallow);
    EXPECT_EQ(f.doc.RowCount(), 4);
    EXPECT_EQ(f.doc.Row(), 3);
    EXPECT_EQ(f.doc.Col(), 1);
    EXPECT_EQ(f.editor.undoHistory().caption(), "&Undo New Row");
}

TEST(GridKeys, ctrlShortcutsRunOnlyWithoutAnOpenEditorAndOnlyWhenEnabled)
{
    GridFixture f;
    fill(f.doc, 4, 4);
    f.grid.selectCell(1, 1);
    f.grid.keyDown(KeyInput{GridKey::C, true}, true);
    EXPECT_EQ(f.clipboard.content, "");
    f.grid.keyDown(KeyInput{GridKey::C, true, true}, false);
    EXPECT_EQ(f.clipboard.content, "c1r1\r\n");

    f.grid.selectCell(2, 2);
    f.grid.keyDown(KeyInput{GridKey::V, true}, false);
    EXPECT_EQ(f.doc.GetCell(2, 2), "c1r1");
    EXPECT_EQ(f.editor.undoHistory().caption(), "&Undo Paste");

    f.grid.keyDown(KeyInput{GridKey::Z, true}, false);
    EXPECT_EQ(f.doc.GetCell(2, 2), label(2, 2));

    const quorvex::CellRect unchanged = f.doc.Selection();
    f.grid.setActionEnabled([](GridAction a) { return a != GridAction::SelectAll; });
    f.grid.keyDown(KeyInput{GridKey::A, true}, false);
    EXPECT_EQ(f.doc.Selection(), unchanged);
    f.grid.setActionEnabled(nullptr);
    f.grid.keyDown(KeyInput{GridKey::A, true}, false);
    EXPECT_EQ(f.doc.Selection(), (quorvex::CellRect{1, 1, 3, 3}));

    f.grid.keyDown(KeyInput{GridKey::X, true}, false);
    EXPECT_EQ(f.doc.GetCell(3, 3), "");
    EXPECT_EQ(f.editor.undoHistory().caption(), "&Undo Cut");
}

TEST(GridKeys, delReleasedWithoutEditorDeletesButNotWithModifiersOrAnOpenEditor)
{
    GridFixture f;
    fill(f.doc, 3, 4);
    f.grid.selectCell(1, 2);
    f.grid.keyUp(KeyInput{GridKey::Delete}, true);
    EXPECT_EQ(f.doc.GetCell(1, 2), label(1, 2));
    f.grid.keyUp(KeyInput{GridKey::Delete, false, true}, false);
    EXPECT_EQ(f.doc.GetCell(1, 2), label(1, 2)) << "Shift+Del is the row deletion's key";
    const auto d = f.grid.keyUp(KeyInput{GridKey::Delete}, false);
    EXPECT_EQ(f.doc.GetCell(1, 2), "");
    EXPECT_EQ(d.chooseBoxText, std::optional<std::string>(label(1, 2)));
}

TEST(GridKeys, typingTwoLettersTakesOneSnapshotAndUndoEmptiesTheCell)
{
    GridFixture f;
    f.grid.selectCell(2, 1);
    f.grid.keyPress('a', false); // the first character opens the editor
    f.doc.SetCell(2, 1, "a");
    EXPECT_FALSE(f.editor.undoHistory().undoEnabled());
    f.grid.keyPress('b', true);
    f.doc.SetCell(2, 1, "ab");
    f.grid.keyUp(KeyInput{GridKey::Other}, true);
    EXPECT_TRUE(f.editor.listModified);
    EXPECT_EQ(f.editor.undoHistory().caption(), "&Undo Cell Edit");
    f.grid.keyPress('c', true);
    f.editor.Undo();
    EXPECT_EQ(f.doc.GetCell(2, 1), "");
    f.editor.Redo();
    EXPECT_EQ(f.doc.GetCell(2, 1), "ab");
}

TEST(GridKeys, arrowReleaseInAnOpenEditorDoesNotMarkModified)
{
    GridFixture f;
    for (GridKey k : {GridKey::Enter, GridKey::Tab, GridKey::Up, GridKey::Down, GridKey::Left, GridKey::Right})
        f.grid.keyUp(KeyInput{k}, true);
    EXPECT_FALSE(f.editor.listModified);
    f.doc.SetCell(1, 1, AttachmentRef::make(quorvex::AttachAudio, "s.mp3"));
    f.grid.keyUp(KeyInput{GridKey::Other}, true);
    EXPECT_FALSE(f.editor.listModified) << "attachment cells are not typed into";
}

TEST(GridCells, pasteAfterSelectAllUndoesEveryCellIncludingTheNewCurrentOne)
{
    GridFixture f;
    fill(f.doc, 4, 4);
    f.grid.selectCell(1, 1);
    f.grid.SelectAll(); // the current cell moves to (3, 3) without a cell selection
    f.clipboard.content = "x\ty\tz\r\nx\ty\tz\r\nx\ty\tz\r\n";
    f.grid.clipboard().Paste();
    EXPECT_EQ(f.doc.GetCell(3, 3), "z");
    f.editor.Undo();
    EXPECT_EQ(f.doc.GetCell(3, 3), label(3, 3)) << "not the text of the cell selected before";
    EXPECT_EQ(f.doc.GetCell(1, 1), label(1, 1));
}

TEST(GridCells, typingAfterSelectColumnOrSelectAllUndoesToTheNewCurrentCellsOwnText)
{
    for (const bool wholeList : {false, true}) {
        GridFixture f;
        fill(f.doc, 4, 5);
        f.grid.selectCell(1, 1);
        if (wholeList)
            f.grid.SelectAll(); // the current cell moves to (3, 4) without a cell selection
        else
            f.grid.SelectColumn(); // to (1, 4)
        const int col = f.doc.Col();
        f.grid.keyPress('a', false); // the first character opens the editor
        f.doc.SetCell(col, 4, "a");
        f.grid.keyPress('b', true);
        f.doc.SetCell(col, 4, "ab");
        EXPECT_EQ(f.editor.undoHistory().caption(), "&Undo Cell Edit");
        f.editor.Undo();
        EXPECT_EQ(f.doc.GetCell(col, 4), label(col, 4)) << "not the text of the cell selected before";
        EXPECT_EQ(f.doc.GetCell(1, 1), label(1, 1));
    }
}

// Each earlier step leaves other texts under the current cell than it had when the
// cell was selected; a paste and its Undo must still give back the list as it was.
TEST(GridUndo, pasteAfterAnyEarlierStepUndoesToTheListAsItWasBeforeThePaste)
{
    const std::vector<std::pair<const char *, std::function<void(GridFixture &)>>> steps = {
        {"new row, undo", [](GridFixture &f) { f.grid.NewRow(); f.editor.Undo(); }},
        {"new row, undo, redo", [](GridFixture &f) { f.grid.NewRow(); f.editor.Undo(); f.editor.Redo(); f.editor.Undo(); }},
        {"insert row", [](GridFixture &f) { f.grid.InsertRow(); }},
        {"delete rows", [](GridFixture &f) { f.grid.DeleteSelectedRows(); }},
        {"insert column", [](GridFixture &f) { f.grid.InsertColumn(answer(std::nullopt)); }},
        {"delete columns", [](GridFixture &f) { f.grid.DeleteSelectedColumns(); }},
        {"delete", [](GridFixture &f) { f.grid.Delete(); }},
        {"one-word paste", [](GridFixture &f) {
             f.clipboard.content = "first";
             f.grid.clipboard().Paste();
         }},
    };
    for (const auto &step : steps) {
        GridFixture f;
        fill(f.doc, 5, 6);
        f.editor.RenumberPages();
        f.grid.selectCell(2, 3);
        step.second(f);
        const ListDocument before = f.doc;
        f.clipboard.content = "word";
        f.grid.clipboard().Paste();
        EXPECT_EQ(f.doc.GetCell(f.doc.Col(), f.doc.Row()), "word") << step.first;
        f.editor.Undo();
        EXPECT_TRUE(f.doc.sameCells(before)) << step.first << ": cell now "
                                             << f.doc.GetCell(f.doc.Col(), f.doc.Row());
    }
}

TEST(GridUndo, typingBeforeAPasteThatFollowsARowDeletionIsUndoneWithIt)
{
    GridFixture f;
    fill(f.doc, 4, 6);
    f.editor.RenumberPages();
    f.grid.selectCell(1, 2);
    f.grid.DeleteSelectedRows(); // row 2 now holds the texts of the former row 3
    f.doc.SetCell(1, 2, "typed"); // the editor writes straight into the cell
    f.clipboard.content = "x\ty";
    f.grid.clipboard().Paste();
    f.editor.Undo();
    EXPECT_EQ(f.doc.GetCell(1, 2), label(1, 3));
    EXPECT_EQ(f.doc.GetCell(2, 2), label(2, 3));
}
