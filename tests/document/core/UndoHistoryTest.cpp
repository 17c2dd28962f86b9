#include "FakeServices.h"

#include <gtest/gtest.h>

using quorvex::test::EditorFixture;

namespace {

// Types into the current cell the way the grid does: the snapshot is taken at
// the first key with the editor open, after the text already reached the cell.
void typeIntoCurrentCell(quorvex::Editor &editor, const std::string &text)
{
    auto &doc = editor.document();
    for (std::size_t i = 1; i <= text.size(); ++i) {
        doc.SetCell(doc.Col(), doc.Row(), text.substr(0, i));
        if (!editor.undoHistory().snapshotCurrent()) {
            editor.backupCells();
            editor.undoHistory().setCaption("&Undo Cell Edit");
        }
    }
    editor.MarkModified();
}

} // namespace

TEST(Undo, typingTwoLettersUndoesToEmptyAndRedoesToBoth)
{
    EditorFixture f;
    auto &doc = f.editor.document();
    f.editor.cellSelected(2, 1);
    doc.SetCurrentCell(2, 1);
    typeIntoCurrentCell(f.editor, "ab");
    EXPECT_EQ(f.editor.undoHistory().caption(), "&Undo Cell Edit");
    f.editor.Undo();
    EXPECT_EQ(doc.GetCell(2, 1), "");
    EXPECT_FALSE(f.editor.undoHistory().undoEnabled());
    EXPECT_TRUE(f.editor.undoHistory().redoEnabled());
    f.editor.Redo();
    EXPECT_EQ(doc.GetCell(2, 1), "ab");
    EXPECT_TRUE(f.editor.undoHistory().undoEnabled());
    EXPECT_FALSE(f.editor.undoHistory().redoEnabled());
}

TEST(Undo, secondSnapshotWithinOneCellIsSkipped)
{
    EditorFixture f;
    auto &doc = f.editor.document();
    f.editor.cellSelected(1, 1);
    typeIntoCurrentCell(f.editor, "first");
    // Further typing in the same cell without reselecting keeps the first snapshot.
    typeIntoCurrentCell(f.editor, "first and more");
    f.editor.Undo();
    EXPECT_EQ(doc.GetCell(1, 1), "");
}

TEST(Undo, newRowUndoRedoBringsTheRowBackAsCurrent)
{
    EditorFixture f;
    auto &doc = f.editor.document();
    doc.SetRowCount(4);
    doc.SetCurrentCell(3, 2);
    f.editor.StartUndoableChange("&Undo New Row");
    doc.SetRowCount(5);
    doc.SetCurrentCell(1, 4);
    f.editor.Undo();
    EXPECT_EQ(doc.RowCount(), 4);
    EXPECT_EQ(doc.Row(), 3);
    f.editor.Redo();
    EXPECT_EQ(doc.RowCount(), 5);
    EXPECT_EQ(doc.Row(), 4) << "the current row follows to the restored last row";
    EXPECT_EQ(f.editor.undoHistory().caption(), "&Undo New Row");
}

TEST(Undo, onlyTheSecondOfTwoChangesIsUndone)
{
    EditorFixture f;
    auto &doc = f.editor.document();
    f.editor.StartUndoableChange("&Undo Delete");
    doc.SetCell(1, 1, "one");
    f.editor.StartUndoableChange("&Undo Cut");
    doc.SetCell(2, 1, "two");
    f.editor.Undo();
    EXPECT_EQ(doc.GetCell(1, 1), "one");
    EXPECT_EQ(doc.GetCell(2, 1), "");
    EXPECT_FALSE(f.editor.undoHistory().undoEnabled());
    f.editor.Undo(); // disabled: nothing happens
    EXPECT_EQ(doc.GetCell(1, 1), "one");
    EXPECT_EQ(f.editor.undoHistory().caption(), "&Undo Cut");
}

TEST(Undo, undoRedoUndoReturnsToTheStateBeforeTheChange)
{
    EditorFixture f;
    auto &doc = f.editor.document();
    doc.SetCell(1, 1, "before");
    f.editor.StartUndoableChange("&Undo Delete");
    doc.SetCell(1, 1, "");
    doc.SetColCount(12);
    doc.SetColWidth(11, 200);
    f.editor.Undo();
    f.editor.Redo();
    f.editor.Undo();
    EXPECT_EQ(doc.GetCell(1, 1), "before");
    EXPECT_EQ(doc.ColCount(), 9);
}

TEST(Undo, restoresColumnOrderAndWidthsAfterAColumnMove)
{
    EditorFixture f;
    auto &doc = f.editor.document();
    doc.SetCell(1, 0, "A");
    doc.SetCell(3, 0, "C");
    doc.SetColWidth(1, 70);
    doc.SetColWidth(3, 130);
    f.editor.StartUndoableChange("&Undo Move Column");
    doc.moveColumn(3, 1);
    f.editor.Undo();
    EXPECT_EQ(doc.GetCell(1, 0), "A");
    EXPECT_EQ(doc.GetCell(3, 0), "C");
    EXPECT_EQ(doc.ColWidth(1), 70);
    EXPECT_EQ(doc.ColWidth(3), 130);
}

TEST(Undo, keepsTheCurrentCellUnlessItWasOnTheSecondLastRow)
{
    EditorFixture f;
    auto &doc = f.editor.document();
    doc.SetRowCount(10);
    doc.SetCurrentCell(4, 5);
    f.editor.StartUndoableChange("&Undo Delete");
    doc.SetCell(4, 5, "");
    f.editor.Undo();
    EXPECT_EQ(doc.Col(), 4);
    EXPECT_EQ(doc.Row(), 5);
    doc.SetCurrentCell(2, 8);
    f.editor.Redo();
    EXPECT_EQ(doc.Row(), 9);
    EXPECT_EQ(doc.Col(), 2);
}

TEST(Undo, renumbersPagesAndClosesTheEditorAndRefreshesPreview)
{
    EditorFixture f;
    auto &doc = f.editor.document();
    f.editor.pageSetup().maxEntries = 2;
    doc.SetRowCount(4);
    f.editor.StartUndoableChange("&Undo Insert Row");
    doc.SetRowCount(6);
    f.editor.Undo();
    EXPECT_EQ(doc.GetCell(0, 3), " 2");
    EXPECT_GE(f.view.editorsClosed, 1);
    EXPECT_FALSE(f.view.previews.empty());
    EXPECT_TRUE(f.editor.listModified);
}

TEST(Undo, snapshotHoldsTheSavedCellTextNotTheTypedOne)
{
    EditorFixture f;
    auto &doc = f.editor.document();
    doc.SetCell(1, 1, "old");
    f.editor.cellSelected(1, 1);
    doc.SetCell(1, 1, "oldX");
    f.editor.backupCells();
    EXPECT_EQ(f.editor.undoHistory().snapshot().GetCell(1, 1), "old");
    EXPECT_TRUE(f.editor.undoHistory().snapshotCurrent());
}

TEST(Undo, resetAfterOpenDisablesBothWithPlainCaption)
{
    EditorFixture f;
    f.editor.StartUndoableChange("&Undo Sort");
    f.editor.undoHistory().reset(f.editor.document());
    EXPECT_EQ(f.editor.undoHistory().caption(), "&Undo");
    EXPECT_FALSE(f.editor.undoHistory().undoEnabled());
    EXPECT_FALSE(f.editor.undoHistory().redoEnabled());
}

TEST(Undo, snapshotSharesRowsUntilTheDocumentChanges)
{
    EditorFixture f;
    auto &doc = f.editor.document();
    doc.SetRowCount(100);
    for (int r = 1; r < 100; ++r)
        doc.SetCell(1, r, "row " + std::to_string(r));
    f.editor.StartUndoableChange("&Undo Delete");
    EXPECT_TRUE(doc.rowAt(50).sharesBlockWith(f.editor.undoHistory().snapshot().rowAt(50)));
    doc.SetCell(1, 50, "edited");
    EXPECT_EQ(f.editor.undoHistory().snapshot().GetCell(1, 50), "row 50");
    EXPECT_TRUE(doc.rowAt(51).sharesBlockWith(f.editor.undoHistory().snapshot().rowAt(51)));
}

TEST(Undo, typingAfterUndoOrRedoIsItsOwnStepAndDisablesRedo)
{
    struct Case {
        bool redoFirst;
        std::string afterUndo; // what Undo of the new typing gives back
    };
    for (const Case &c : {Case{false, ""}, Case{true, "a"}}) {
        SCOPED_TRACE(c.redoFirst ? "after Redo" : "after Undo");
        EditorFixture f;
        auto &doc = f.editor.document();
        f.editor.cellSelected(2, 1);
        doc.SetCurrentCell(2, 1);
        typeIntoCurrentCell(f.editor, "a");
        f.editor.Undo();
        if (c.redoFirst)
            f.editor.Redo();
        typeIntoCurrentCell(f.editor, "bc");
        EXPECT_FALSE(f.editor.undoHistory().redoEnabled());
        EXPECT_TRUE(f.editor.undoHistory().undoEnabled());
        f.editor.Redo(); // nothing to redo: the new typing stays
        EXPECT_EQ(doc.GetCell(2, 1), "bc");
        f.editor.Undo();
        EXPECT_EQ(doc.GetCell(2, 1), c.afterUndo);
        f.editor.Redo();
        EXPECT_EQ(doc.GetCell(2, 1), "bc");
    }
}
