#include "FakeServices.h"
#include "TempFolder.h"

#include "document/core/AttachmentRef.h"
#include "document/core/GridCommands.h"
#include "entry/core/MediaWizard.h"
#include "entry/core/NewListCommand.h"
#include "listfile/core/ListFileCommands.h"
#include "listfile/core/TemplateLists.h"
#include "platform/core/FileDialogService.h"
#include "platform/core/FileSystem.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <sys/stat.h>

namespace quorvex::test {
namespace {

class QueuedDialogs final : public FileDialogService {
public:
    std::optional<std::string> openFile(const std::string &, const std::string &) override { return std::nullopt; }
    std::optional<std::string> saveFile(const std::string &, int &filterIndex, const std::string &initial) override
    {
        asked.push_back(initial);
        if (saveAnswers.empty())
            return std::nullopt;
        const std::string p = saveAnswers.front();
        saveAnswers.pop_front();
        filterIndex = 1;
        return p;
    }
    std::deque<std::string> saveAnswers;
    std::vector<std::string> asked;
};

class TitleView final : public EditorView {
public:
    void setWindowTitle(const char *utf8) override { title = utf8; }
    std::string title;
};

// Pumping window events may run a click; the hook stands for it.
class HookedProgress final : public ProgressReporter {
public:
    void setProgress(int, const std::string &) override {}
    void pumpEvents() override
    {
        ++pumps;
        if (hook)
            hook();
    }
    std::function<void()> hook;
    int pumps = 0;
};

struct EntryFixture {
    ScriptedMessages messages;
    HookedProgress progress;
    FakeShell shell;
    FakeClipboard clipboard;
    TitleView view;
    Editor editor{UiServices{messages, progress, shell, clipboard}, &view};
    TempFolder tmp;
    QueuedDialogs dialogs;
    ListFileCommands files{editor, dialogs};
    GridCommands grid{editor};
    MediaWizard wizard{editor, grid, files};
    NewListCommand newList{editor, files};

    EntryFixture()
    {
        editor.paths().programFolder = tmp.path();
        editor.paths().databaseFolder = tmp.path() + "Database/";
        FileSystem::createFolder(editor.paths().databaseFolder);
    }
    // A list of `cols` data columns whose rows hold the given texts (row 1 first).
    void makeList(int cols, const std::vector<std::vector<std::string>> &rows)
    {
        ListDocument &doc = editor.document();
        doc = ListDocument(cols + 1, static_cast<int>(rows.size()) + 1);
        for (int c = 1; c <= cols; ++c)
            doc.SetCell(c, 0, "H" + std::to_string(c));
        for (std::size_t r = 0; r < rows.size(); ++r)
            for (std::size_t c = 0; c < rows[r].size(); ++c)
                doc.SetCell(static_cast<int>(c) + 1, static_cast<int>(r) + 1, rows[r][c]);
        doc.SetCurrentCell(1, doc.RowCount() - 1);
        editor.RenumberPages();
        editor.undoHistory().reset(doc);
    }
    void open()
    {
        wizard.prepare();
        wizard.openingWork();
    }
    void type(const std::vector<std::string> &texts)
    {
        for (std::size_t i = 0; i < texts.size(); ++i)
            wizard.field(static_cast<int>(i)).text = texts[i];
    }
    std::vector<std::string> row(int r) const
    {
        std::vector<std::string> out;
        for (int c = 1; c < editor.document().ColCount(); ++c)
            out.push_back(editor.document().GetCell(c, r));
        return out;
    }
};

const std::string picture = AttachmentRef::make(AttachPicture, "cover.jpg");

// ---- new.mtr ----

TEST(NewListSettingsTest, parse_appliesFlagsInFileOrderAndKeepsWhatIsMissing)
{
    struct Case {
        const char *text;
        int kind;
        bool wizard;
        bool showOnStart;
        int applied;
    };
    const Case cases[] = {
        {"1 0 1 0 0 0\r\n0 0 0 0\r\n1", 1, true, true, 11},
        {"0 0 0 0 0 0\r\n0 0 1 0\r\n0", 7, false, false, 11},    // Record: the file's music order
        {"1 0 0 0 0 0 0 0 0 0 1", NewListSettings::NoKind, true, true, 11},
        {"1 1 0 0 0 1 0 0 0 0 1", 4, true, true, 11},               // two set: the later one wins
        {"0 0 0 1", 2, false, true, 4},                             // short: DVD cleared, VCD set, rest kept
        {"0", 1, false, true, 1},
        {"", 1, true, true, 0},
        {"1 0 x 1", 1, true, true, 2},                              // stops at what is no number
        {"0 0 0 0 0 0 0 0 0 99999999999999999999999 -7", 8, false, true, 11},
        {"  \n\t1\n0\n0\n0\n0\n0\n1\n0\n0\n0\n0", 5, true, false, 11},
    };
    for (const Case &c : cases) {
        NewListSettings s;
        EXPECT_EQ(s.parse(c.text), c.applied) << c.text;
        EXPECT_EQ(s.kind, c.kind) << c.text;
        EXPECT_EQ(s.wizard, c.wizard) << c.text;
        EXPECT_EQ(s.showOnStart, c.showOnStart) << c.text;
    }
}

TEST(NewListSettingsTest, groupRuleAndBytesWritten)
{
    NewListSettings s;
    EXPECT_EQ(s.format(), "1 0 1 0 0 0\r\n0 0 0 0\r\n1");
    s.select(7); // Record clears the movie kind
    s.wizard = false;
    s.showOnStart = false;
    EXPECT_EQ(s.format(), "0 0 0 0 0 0\r\n0 0 1 0\r\n0");
    s.frameClicked(false); // the music frame keeps a music kind
    EXPECT_EQ(s.kind, 7);
    s.frameClicked(true); // the movie frame clears it: none selected
    EXPECT_EQ(s.kind, NewListSettings::NoKind);
    EXPECT_EQ(s.format(), "0 0 0 0 0 0\r\n0 0 0 0\r\n0");
    NewListSettings back;
    back.parse(s.format());
    EXPECT_EQ(back.kind, NewListSettings::NoKind);
}

TEST(NewListSettingsTest, fileOnDisk_readOnlyAskedUnreadableReportedMissingSilent)
{
    TempFolder tmp;
    const std::string path = tmp.file("new.mtr");
    ScriptedMessages messages;
    NewListSettings s;
    EXPECT_TRUE(s.load(path, messages));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(s.kind, 1);

    ASSERT_TRUE(FileSystem::writeFileAtomic(path, "1 0 1 0 0 0\r\n0 0 0 0\r\n1"));
    ::chmod(path.c_str(), 0444);
    s.select(5);
    messages.answers = {MessageAnswer::No};
    EXPECT_FALSE(s.save(path, messages));
    EXPECT_EQ(FileSystem::readFile(path).value_or(""), "1 0 1 0 0 0\r\n0 0 0 0\r\n1");
    ASSERT_EQ(messages.texts(), std::vector<std::string>{NewListSettings::ReadOnlyQuestion});
    EXPECT_TRUE(s.save(path, messages)); // Yes by default
    EXPECT_EQ(FileSystem::readFile(path).value_or(""), "1 0 0 0 0 0\r\n1 0 0 0\r\n1");

    // A folder in the file's place cannot be read: reported, the choice stays.
    const std::string folder = tmp.file("dir.mtr");
    FileSystem::createFolder(folder);
    messages.shown.clear();
    EXPECT_FALSE(s.load(folder, messages));
    EXPECT_EQ(messages.texts(), std::vector<std::string>{NewListSettings::ReadError});
    EXPECT_EQ(s.kind, 5);
    EXPECT_FALSE(s.save(folder + "/missing/new.mtr", messages));
    EXPECT_EQ(messages.texts().back(), NewListSettings::WriteError);
}

// ---- New List command ----

TEST(NewListCommandTest, createList_isANewUnsavedListBeforeTheWizardRuns)
{
    EntryFixture f;
    ASSERT_TRUE(TemplateLists::writeAll(f.tmp.path() + "Templates", f.messages));
    // An open list with a file of its own, and a template whose first cell holds text.
    f.makeList(3, {{"Old", "list", "rows"}});
    const std::string oldFile = f.tmp.file("old.lst");
    f.editor.currentListFile = oldFile;
    f.editor.saveListEnabled = true;
    f.files.openDialogFileName = oldFile;

    EXPECT_TRUE(f.newList.prepare()); // no new.mtr: show on start is ticked
    f.newList.settings().select(5);   // CD
    f.newList.createList();

    ListDocument &doc = f.editor.document();
    EXPECT_EQ(f.editor.listType, "cdmusic");
    EXPECT_EQ(doc.GetCell(1, 0), "CD #");
    EXPECT_EQ(doc.RowCount(), 2);
    EXPECT_EQ(doc.GetCell(1, 1), "");
    EXPECT_FALSE(f.editor.saveListEnabled);
    EXPECT_EQ(f.editor.currentListFile, "");
    EXPECT_EQ(f.view.title, "Quorvex - New List");
    EXPECT_EQ(f.files.openDialogFileName, oldFile);
    EXPECT_FALSE(f.editor.undoHistory().undoEnabled());
    EXPECT_EQ(f.editor.undoHistory().caption(), "&Undo");
    EXPECT_EQ(FileSystem::readFile(f.newList.settingsPath()).value_or(""), "1 0 0 0 0 0\r\n1 0 0 0\r\n1");

    // The wizard's Save then asks for a name and never touches the old file.
    f.open();
    f.type({"Abbey Road"});
    f.wizard.addToList();
    f.dialogs.saveAnswers = {f.tmp.file("cds.lst")};
    f.wizard.saveList();
    EXPECT_EQ(f.dialogs.asked.size(), 1u);
    EXPECT_FALSE(FileSystem::exists(oldFile));
    EXPECT_TRUE(FileSystem::isRegularFile(f.tmp.file("cds.lst")));

    // No kind: an empty list with empty headers; a missing template is reported, the rest goes on.
    f.newList.settings().frameClicked(true);
    f.newList.createList();
    EXPECT_EQ(doc.RowCount(), 2);
    EXPECT_EQ(doc.GetCell(1, 0), "");
    FileSystem::removeFile(f.tmp.path() + "Templates/VHS.lst");
    f.newList.settings().select(0);
    f.messages.shown.clear();
    f.newList.createList();
    EXPECT_FALSE(f.messages.shown.empty());
    EXPECT_EQ(doc.GetCell(1, 0), "");
    EXPECT_EQ(f.view.title, "Quorvex - New List");
}

TEST(NewListCommandTest, prepare_firstCallHonoursShowOnStartLaterCallsAlwaysShow)
{
    EntryFixture f;
    FileSystem::writeFileAtomic(f.newList.settingsPath(), "1 0 0 0 0 0\r\n0 0 1 0\r\n0");
    EXPECT_FALSE(f.newList.prepare());
    EXPECT_EQ(f.newList.settings().kind, 7);
    EXPECT_TRUE(f.newList.prepare());
    // A modified list whose save question is cancelled stops the command.
    f.editor.listModified = true;
    f.messages.answers = {MessageAnswer::Cancel};
    EXPECT_FALSE(f.newList.prepare());
}

// ---- Media wizard ----

TEST(MediaWizardTest, addToList_fiveColumnsGreyTheRestAndThreeAddsUndoAsOne)
{
    EntryFixture f;
    f.makeList(5, {{"A1", "Alpha", "", "Drama", "1999"}});
    const ListDocument before = f.editor.document();
    f.open();
    EXPECT_EQ(f.wizard.label(0), "H1:");
    EXPECT_EQ(f.wizard.label(7), ":");
    for (int i = 0; i < MediaWizard::FieldCount; ++i)
        EXPECT_EQ(f.wizard.field(i).enabled, i < 5) << i;
    EXPECT_FALSE(f.wizard.deleteEnabled());
    EXPECT_TRUE(f.wizard.field(0).list.empty()); // one data row: nothing offered

    f.type({"X1", "", "", "", "", "ignored", "ignored", "ignored"});
    f.wizard.addToList();
    EXPECT_EQ(f.wizard.status(0), "Current index: 2");
    EXPECT_EQ(f.wizard.status(1), "Total items: 2");
    EXPECT_EQ(f.row(2), (std::vector<std::string>{"X1", "", "", "", ""}));
    EXPECT_TRUE(f.wizard.backEnabled());
    EXPECT_TRUE(f.wizard.deleteEnabled());
    EXPECT_FALSE(f.wizard.forwardEnabled());
    EXPECT_EQ(f.editor.undoHistory().caption(), "&Undo Wizard");
    EXPECT_TRUE(f.editor.listModified);
    for (int i = 0; i < MediaWizard::FieldCount; ++i)
        EXPECT_EQ(f.wizard.field(i).text, "");
    // The lists only grew by the new rows.
    EXPECT_EQ(f.wizard.field(0).list.items(), (std::vector<std::string>{"A1", "X1"}));

    f.type({"X2", "Beta"});
    f.wizard.addToList();
    f.type({"X3", "Gamma"});
    f.wizard.addToList();
    EXPECT_EQ(f.editor.document().RowCount(), 5);
    // The text kept for the next snapshot is what the current cell holds now.
    EXPECT_EQ(f.editor.undoHistory().savedCellText(), "X3");
    f.editor.Undo();
    EXPECT_TRUE(f.editor.document().sameCells(before));
}

TEST(MediaWizardTest, browsing_loadsRowsDropsUnappliedTypingAndAppliesInPlace)
{
    EntryFixture f;
    f.makeList(3, {{"1", "One", "a"}, {"2", "Two", "b"}, {"3", "Three", "c"}});
    f.editor.document().SetCurrentCell(1, 2);
    f.open();
    EXPECT_TRUE(f.wizard.backEnabled());
    EXPECT_TRUE(f.wizard.forwardEnabled());

    struct Step {
        void (MediaWizard::*action)();
        int row;
        bool back, forward;
        const char *status0;
        const char *field2;
    };
    const Step steps[] = {
        {&MediaWizard::back, 1, false, true, "Current index: 1", "One"},
        {&MediaWizard::back, 1, false, true, "Current index: 1", "typed and lost"}, // nothing before row 1: no move
        {&MediaWizard::forward, 2, true, true, "Current index: 2", "Two"},
        {&MediaWizard::forward, 3, true, false, "Current index: 3", "Three"},
        {&MediaWizard::forward, 3, true, false, "Current index: 3", "typed and lost"},
    };
    for (const Step &s : steps) {
        f.wizard.field(1).text = "typed and lost";
        (f.wizard.*s.action)();
        EXPECT_EQ(f.wizard.currentIndex(), s.row);
        EXPECT_EQ(f.wizard.backEnabled(), s.back);
        EXPECT_EQ(f.wizard.forwardEnabled(), s.forward);
        EXPECT_EQ(f.wizard.status(0), s.status0);
        if (std::string(s.field2) != f.wizard.field(1).text)
            ADD_FAILURE() << "row " << s.row << " shows " << f.wizard.field(1).text;
    }
    EXPECT_EQ(f.row(3), (std::vector<std::string>{"3", "Three", "c"}));

    f.wizard.back();
    f.wizard.field(1).text = "Deux";
    f.editor.listModified = false;
    f.wizard.applyChanges();
    EXPECT_TRUE(f.editor.listModified); // or closing would not ask to save the change
    EXPECT_EQ(f.row(2), (std::vector<std::string>{"2", "Deux", "b"}));
    EXPECT_EQ(f.editor.document().RowCount(), 4);
    EXPECT_EQ(f.wizard.status(0), "Current entry saved to index: 2");

    f.wizard.deleteCurrent();
    EXPECT_EQ(f.row(2), (std::vector<std::string>{"3", "Three", "c"}));
    EXPECT_EQ(f.wizard.field(1).text, "Three");
    EXPECT_EQ(f.wizard.status(0), "Index deleted. Current index: 2");
    EXPECT_EQ(f.wizard.status(1), "Total items: 2");
    f.wizard.deleteCurrent();
    EXPECT_EQ(f.wizard.itemCount(), 1);
    EXPECT_FALSE(f.wizard.deleteEnabled());
    EXPECT_FALSE(f.wizard.backEnabled());
}

TEST(MediaWizardTest, attachmentCells_areNeverOfferedShownOrOverwritten)
{
    EntryFixture f;
    f.makeList(4, {{"1", "Alpha", picture, "x"}, {"2", "Beta", "Drama", picture}});
    // The current row at opening was never shown: its fields are enabled all the same.
    f.editor.document().SetCurrentCell(1, 1);
    f.open();
    EXPECT_TRUE(f.wizard.field(2).enabled);
    EXPECT_EQ(f.wizard.field(2).list.items(), std::vector<std::string>{"Drama"});
    EXPECT_TRUE(f.wizard.field(3).list.items() == std::vector<std::string>{"x"});
    f.type({"1b", "Alpha2", "over the picture", "y"});
    f.wizard.applyChanges();
    EXPECT_EQ(f.row(1), (std::vector<std::string>{"1b", "Alpha2", picture, "y"}));

    f.wizard.forward();
    EXPECT_TRUE(f.wizard.field(2).enabled);
    EXPECT_FALSE(f.wizard.field(3).enabled);
    EXPECT_EQ(f.wizard.field(3).text, "");
    f.wizard.field(3).text = "typed";
    f.wizard.applyChanges();
    EXPECT_EQ(f.editor.document().GetCell(4, 2), picture);
}

TEST(MediaWizardTest, dropDownLists_distinctSortedAndBoundedByTheScanLimit)
{
    EntryFixture f;
    std::vector<std::vector<std::string>> rows(2100, std::vector<std::string>{"", "", ""});
    for (int r : {1, 5, 9})
        rows[static_cast<std::size_t>(r - 1)][0] = "Drama";
    rows[2][0] = "drama";
    rows[3][0] = "comedy";
    rows[10][0] = "Action";
    rows[1999][0] = "row 2000 unseen";
    rows[2049][1] = "first beyond the limit"; // column 2 empty before row 2000
    rows[2059][1] = "second beyond the limit";
    f.makeList(3, rows);
    f.open();
    EXPECT_EQ(f.wizard.field(0).list.items(),
              (std::vector<std::string>{"Action", "comedy", "Drama", "drama"}));
    EXPECT_EQ(f.wizard.field(1).list.items(), std::vector<std::string>{"first beyond the limit"});
    EXPECT_TRUE(f.wizard.field(2).list.empty());
    EXPECT_EQ(f.wizard.status(0), "Ready.");
    f.wizard.close();
    EXPECT_TRUE(f.wizard.field(0).list.empty());
    EXPECT_TRUE(f.wizard.refreshOnPaint());
}

TEST(MediaWizardTest, clicksDuringTheFillAreIgnored)
{
    EntryFixture f;
    std::vector<std::vector<std::string>> rows(60, std::vector<std::string>{"t", "u"});
    f.makeList(2, rows);
    int clicks = 0;
    f.progress.hook = [&] {
        ++clicks;
        f.wizard.addToList();
        f.wizard.back();
        f.wizard.deleteCurrent();
        f.wizard.applyChanges();
        f.wizard.saveList();
    };
    f.open();
    f.type({"new"});
    f.wizard.addToList();
    f.progress.hook = nullptr;
    EXPECT_GT(clicks, 2);
    EXPECT_EQ(f.editor.document().RowCount(), 62);
    EXPECT_EQ(f.editor.document().GetCell(1, 61), "new");
    EXPECT_TRUE(f.dialogs.asked.empty());
}

TEST(MediaWizardTest, acceptsTyping_limitsOnlyTheLongFieldsAndOnlyGrowth)
{
    struct Case {
        int field;
        std::size_t before, after;
        bool ok;
    };
    const Case cases[] = {{0, 900, 901, true}, {5, 500, 501, true}, {6, 499, 500, true}, {6, 500, 501, false},
                          {7, 0, 501, false},  {7, 700, 699, true}, {7, 700, 700, true}, {7, 700, 701, false}};
    for (const Case &c : cases)
        EXPECT_EQ(MediaWizard::acceptsTyping(c.field, c.before, c.after), c.ok)
            << c.field << " " << c.before << "->" << c.after;
}

} // namespace
} // namespace quorvex::test
