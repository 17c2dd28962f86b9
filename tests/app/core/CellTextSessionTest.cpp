#include "FakeServices.h"
#include "app/core/CellTextSession.h"
#include "document/core/ClipboardCommands.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using quorvex::CellTextSession;
using quorvex::MessageAnswer;
using quorvex::test::EditorFixture;

namespace {

struct SessionFixture : EditorFixture {
    SessionFixture()
    {
        editor.document().SetCell(2, 1, "old text");
        editor.document().SetCurrentCell(2, 1);
        editor.cellSelected(2, 1);
    }
    CellTextSession session{editor};
};

} // namespace

TEST(CellText, showingGivesTheStoredTextAndResetsTheWindow)
{
    SessionFixture f;
    EXPECT_EQ(f.session.show(), "old text");
    EXPECT_EQ(f.session.lengthPanel(), "Text length: 8");
    EXPECT_FALSE(f.session.saveEnabled());
    EXPECT_FALSE(f.session.undoEnabled());
    f.editor.document().SetCurrentCell(3, 1);
    EXPECT_EQ(f.session.show(), "");
    EXPECT_EQ(f.session.lengthPanel(), "Text length: 0");
}

TEST(CellText, saveTurnsLineBreaksAndTabsIntoBlanks)
{
    SessionFixture f;
    f.session.show();
    f.session.textChanged(11);
    bool ok = false;
    EXPECT_EQ(f.session.save("first\r\nsecond\t", &ok), "first  second ");
    EXPECT_TRUE(ok);
    EXPECT_EQ(f.editor.document().GetCell(2, 1), "first  second ");
    EXPECT_TRUE(f.editor.listModified);
    EXPECT_FALSE(f.session.saveEnabled());
    EXPECT_EQ(f.session.lengthPanel(), "Text length: 14");
    EXPECT_EQ(f.editor.undoHistory().caption(), "&Undo View Cell Text Edit");
    EXPECT_EQ(f.view.previews.back(), std::make_pair(2, 1));
}

TEST(CellText, twoSavesInOneShowingUndoToTheTextBeforeTheWindow)
{
    SessionFixture f;
    f.session.show();
    f.session.save("one");
    f.session.save("two");
    EXPECT_TRUE(f.editor.undoHistory().undoEnabled());
    f.editor.Undo();
    EXPECT_EQ(f.editor.document().GetCell(2, 1), "old text");

    f.editor.Redo();
    f.editor.cellSelected(2, 1);
    f.session.show();
    f.session.save("three");
    f.editor.Undo();
    EXPECT_EQ(f.editor.document().GetCell(2, 1), "two") << "a new showing takes its own snapshot";
}

TEST(CellText, closingWithUnsavedEditsAsksAndCancelKeepsTheWindowOpen)
{
    SessionFixture f;
    f.session.show();
    f.session.textChanged(3);
    f.messages.answers.push_back(MessageAnswer::Cancel);
    EXPECT_FALSE(f.session.closeWindow("new"));
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_EQ(f.messages.shown[0].text, "Save changes?");
    EXPECT_EQ(f.messages.shown[0].buttons, quorvex::MessageButtons::YesNoCancel);
    EXPECT_TRUE(f.session.saveEnabled());
    f.messages.answers.push_back(MessageAnswer::Cancel);
    EXPECT_FALSE(f.session.frameClose("new")) << "the frame's close asks the same";
}

TEST(CellText, closingWithNoKeepsTheCellAndTheModifiedMark)
{
    SessionFixture f;
    f.session.show();
    f.session.textChanged(3);
    f.messages.answers.push_back(MessageAnswer::No);
    EXPECT_TRUE(f.session.closeWindow("new"));
    EXPECT_EQ(f.editor.document().GetCell(2, 1), "old text");
    EXPECT_FALSE(f.editor.listModified);
    EXPECT_TRUE(f.session.frameClose("new")) << "already decided: no second question";
    EXPECT_EQ(f.messages.shown.size(), 1u);
}

TEST(CellText, closingWithYesSavesAndUnchangedTextClosesWithoutAsking)
{
    SessionFixture f;
    f.session.show();
    EXPECT_TRUE(f.session.closeWindow("ignored"));
    EXPECT_TRUE(f.messages.shown.empty());
    f.session.show();
    f.session.textChanged(3);
    EXPECT_TRUE(f.session.closeWindow("new"));
    EXPECT_EQ(f.editor.document().GetCell(2, 1), "new");
}

namespace {

// A window whose refresh fails, so that writing the cell reports an error.
class FailingView final : public quorvex::EditorView {
public:
    void documentChanged() override { throw std::runtime_error("refresh failed"); }
};

} // namespace

TEST(CellText, failedSaveOnYesKeepsTheWindowOpenWithTheEdits)
{
    SessionFixture f;
    FailingView failing;
    f.editor.setView(&failing);
    f.session.show();
    f.session.textChanged(5);
    f.messages.answers.push_back(MessageAnswer::Yes);
    EXPECT_FALSE(f.session.closeWindow("draft"));
    EXPECT_FALSE(f.session.closeMark());
    EXPECT_TRUE(f.session.saveEnabled()) << "the edits are still unsaved";
    EXPECT_EQ(f.messages.exceptions, std::vector<std::string>{"refresh failed"});
    EXPECT_EQ(f.messages.texts(), (std::vector<std::string>{"Save changes?", "Error saving text to the grid."}));

    f.editor.setView(&f.view);
    f.messages.answers.push_back(MessageAnswer::Yes);
    EXPECT_TRUE(f.session.closeWindow("draft")) << "a save that works closes the window";
    EXPECT_EQ(f.editor.document().GetCell(2, 1), "draft");
}

// The window's save must not be undone by the Undo of a later paste into the
// same cell, which restores the text saved for its snapshot.
TEST(CellText, undoOfAPasteAfterTheWindowGivesTheWindowsTextBack)
{
    SessionFixture f;
    quorvex::ClipboardCommands clipboard(f.editor);
    f.session.show();
    f.session.textChanged(9);
    f.session.save("from window");
    f.clipboard.content = "pasted";
    clipboard.Paste();
    ASSERT_EQ(f.editor.document().GetCell(2, 1), "pasted");
    f.editor.Undo();
    EXPECT_EQ(f.editor.document().GetCell(2, 1), "from window");
}
