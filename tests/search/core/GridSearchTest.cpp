#include "FakeServices.h"
#include "TempFolder.h"
#include "cli/core/CliTool.h"
#include "cli/core/NonInteractiveMessages.h"
#include "document/core/Editor.h"
#include "listfile/core/ListFileReader.h"
#include "listfile/core/ListFileWriter.h"
#include "platform/core/FileSystem.h"
#include "search/core/FindSettingsFile.h"
#include "search/core/GridSearch.h"
#include "search/core/PreEnteredText.h"
#include "search/core/QuickSearch.h"

#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

namespace quorvex {
namespace {

using test::EditorFixture;
using Rows = std::vector<std::vector<std::string>>;

const std::string Picture = std::string("\x01\x01") + "the matrix.jpg";

// Data rows from row 1 and data columns from column 1.
void load(Editor &editor, const Rows &rows, int cols = 0)
{
    ListDocument &doc = editor.document();
    int width = cols;
    for (const auto &r : rows)
        width = std::max(width, static_cast<int>(r.size()));
    doc = ListDocument(width + 1, static_cast<int>(rows.size()) + 1);
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c)
            doc.SetCell(static_cast<int>(c) + 1, static_cast<int>(r) + 1, rows[r][c]);
    editor.undoHistory().reset(doc);
    editor.cellSelected(1, 1);
}

std::string cells(const Editor &editor)
{
    const ListDocument &doc = editor.document();
    std::string s;
    for (int r = 1; r < doc.RowCount(); ++r)
        for (int c = 1; c < doc.ColCount(); ++c)
            s += doc.GetCell(c, r) + (c + 1 < doc.ColCount() ? "|" : r + 1 < doc.RowCount() ? "/" : "");
    return s;
}

int notFoundCount(const test::ScriptedMessages &m)
{
    int n = 0;
    for (const auto &s : m.shown)
        n += s.text == GridSearch::NotFoundText;
    return n;
}

// Each step: 'F' Find First, 'N' Find Next; each expectation "col,row,start-end" or "none".
TEST(GridSearch, findWalksEveryOccurrenceCaseInsensitiveWithoutWrapping)
{
    struct Case {
        const char *name;
        Rows rows;
        std::string text;
        bool entire;
        std::string steps;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"part hits in both cells", {{"The Matrix"}, {"Other"}}, "the", false, "FNN", {"1,1,1-3", "1,2,2-4", "none"}},
        {"upper case finds the same", {{"The Matrix"}, {"Other"}}, "THE", false, "FN", {"1,1,1-3", "1,2,2-4"}},
        {"attachment never found", {{Picture, "x"}}, "matrix", false, "F", {"none"}},
        {"second occurrence in the same cell", {{"abcabc"}, {"zabc"}}, "abc", false, "FNNN",
         {"1,1,1-3", "1,1,4-6", "1,2,2-4", "none"}},
        {"overlapping candidates", {{"aaab"}}, "aab", false, "F", {"1,1,2-4"}},
        {"row-major, columns from 1", {{"x", "hit"}, {"hit", "x"}}, "hit", false, "FN", {"2,1,1-3", "1,2,1-3"}},
        {"entire cell", {{"Star Trek"}, {"star"}}, "Star", true, "FN", {"1,2,1-4", "none"}},
        {"entire cell never hits a cell twice", {{"aa"}, {"AA"}}, "aa", true, "FNN", {"1,1,1-2", "1,2,1-2", "none"}},
        {"empty text finds nothing", {{"abc"}}, "", false, "FN", {"none", "none"}},
        {"empty text entire cell", {{""}}, "", true, "F", {"none"}},
        {"last occurrence stays, no wrap", {{"x"}, {"ab ab"}}, "ab", false, "FNNN",
         {"1,2,1-2", "1,2,4-5", "none", "none"}},
    };
    for (const Case &tc : cases) {
        SCOPED_TRACE(tc.name);
        EditorFixture f;
        load(f.editor, tc.rows);
        GridSearch search(f.editor);
        search.textToFind = tc.text;
        search.options.entireCell = tc.entire;
        for (std::size_t i = 0; i < tc.steps.size(); ++i) {
            SCOPED_TRACE(i);
            const ListDocument &doc = f.editor.document();
            const int col = doc.Col(), row = doc.Row();
            const int before = notFoundCount(f.messages);
            tc.steps[i] == 'F' ? search.FindFirst() : search.FindNext();
            if (tc.expected[i] == "none") {
                EXPECT_FALSE(search.found());
                EXPECT_EQ(notFoundCount(f.messages), before + 1);
                EXPECT_EQ(doc.Col(), col);
                EXPECT_EQ(doc.Row(), row);
            } else {
                EXPECT_TRUE(search.found());
                EXPECT_EQ(std::to_string(doc.Col()) + "," + std::to_string(doc.Row()) + "," +
                              std::to_string(search.matchStart()) + "-" + std::to_string(search.matchEnd()),
                          tc.expected[i]);
            }
        }
    }
}

TEST(GridSearch, entireCellIsNeverSatisfiedByTheRestOfAnEarlierHit)
{
    EditorFixture f;
    load(f.editor, {{"xyzyz"}, {"abcyz"}});
    GridSearch search(f.editor);
    search.textToFind = "xyz";
    search.FindFirst();
    ASSERT_EQ(search.matchEnd(), 3);
    // The rest of the cell ("yz") equals the rest of the new text; that is no whole-cell hit.
    search.textToFind = "abcyz";
    search.options.entireCell = true;
    search.FindNext();
    EXPECT_EQ(f.editor.document().Row(), 2);
    EXPECT_EQ(search.matchStart(), 1);
}

TEST(GridSearch, aSearchFromTheLastCellVisitsOnlyThatCell)
{
    EditorFixture f;
    load(f.editor, {{"hit", "x"}, {"x", "hit"}});
    f.editor.document().SetCurrentCell(2, 2);
    GridSearch search(f.editor);
    search.textToFind = "hit";
    search.FindNext();
    EXPECT_EQ(search.matchStart(), 1);
    search.FindNext();
    EXPECT_FALSE(search.found());
}

// Replace and Replace All: `answers` script the prompt (empty: prompt off).
TEST(GridSearch, replaceAndReplaceAllRewriteExactlyTheOccurrencesAsked)
{
    struct Case {
        const char *name;
        Rows rows;
        std::string find, with;
        bool all, entire;
        int startCol, startRow;
        std::vector<MessageAnswer> answers;
        int clicks;
        std::string expected;
        long long count;
    };
    using A = MessageAnswer;
    const std::vector<Case> cases = {
        {"all, no prompt, grows", {{"banana"}, {"Anna"}}, "a", "aa", true, false, 1, 1, {}, 1, "baanaanaa/aannaa", 5},
        {"all starts at the selected cell", {{"banana"}, {"Anna"}}, "a", "aa", true, false, 1, 2, {}, 1,
         "banana/aannaa", 2},
        {"all keeps cells before the start cell", {{"ab", "ab"}, {"ab", "ab"}}, "ab", "X", true, false, 2, 1, {}, 1,
         "ab|X/X|X", 3},
        {"all skips attachments", {{Picture}, {"matrix"}}, "matrix", "M", true, false, 1, 1, {}, 1,
         Picture + "/M", 1},
        {"all, entire cell", {{"star"}, {"Star Trek"}, {"STAR"}}, "star", "Star", true, true, 1, 1, {}, 1,
         "Star/Star Trek/Star", 2},
        {"all, prompt No then Yes then Cancel", {{"a a a a"}}, "a", "b", true, false, 1, 1,
         {A::No, A::Yes, A::Cancel}, 1, "a b a a", 1},
        {"all, shrinking to nothing", {{"xaxax"}}, "x", "", true, false, 1, 1, {}, 1, "aa", 3},
        {"single replaces the occurrence under the cell", {{"one two one"}}, "one", "1", false, false, 1, 1, {}, 1,
         "1 two one", 1},
        {"single clicks walk on", {{"one two one"}, {"one"}}, "one", "1", false, false, 1, 1, {}, 3, "1 two 1/1", 3},
        {"a replacement holding the text is found again by single clicks", {{"a"}}, "a", "aa", false, false, 1, 1,
         {}, 3, "aaaa", 3},
        {"single with prompt No changes nothing", {{"abc"}}, "b", "X", false, false, 1, 1, {A::No}, 1, "abc", 0},
    };
    for (const Case &tc : cases) {
        SCOPED_TRACE(tc.name);
        EditorFixture f;
        load(f.editor, tc.rows);
        f.editor.document().SetCurrentCell(tc.startCol, tc.startRow);
        f.editor.cellSelected(tc.startCol, tc.startRow);
        const std::string before = cells(f.editor);
        GridSearch search(f.editor);
        search.textToFind = tc.find;
        search.replaceWith = tc.with;
        search.options.entireCell = tc.entire;
        search.options.prompt = !tc.answers.empty();
        f.messages.answers.assign(tc.answers.begin(), tc.answers.end());
        long long count = 0;
        for (int i = 0; i < tc.clicks; ++i) {
            if (tc.all) {
                count = search.ReplaceAll();
            } else {
                const std::string was = cells(f.editor);
                search.Replace();
                count += cells(f.editor) != was;
            }
        }
        EXPECT_EQ(cells(f.editor), tc.expected);
        EXPECT_EQ(count, tc.count);
        if (tc.all) {
            EXPECT_EQ(f.messages.texts().back(), GridSearch::DoneText);
        }
        // Whatever the run did, one Undo brings back the list as it was before it.
        if (tc.count > 0) {
            if (tc.all) {
                EXPECT_EQ(f.editor.undoHistory().caption(), GridSearch::UndoReplaceAllCaption);
                f.editor.Undo();
                EXPECT_EQ(cells(f.editor), before);
            } else {
                EXPECT_EQ(f.editor.undoHistory().caption(), GridSearch::UndoReplaceCaption);
            }
            EXPECT_TRUE(f.editor.listModified);
        }
    }
}

TEST(GridSearch, replaceAllAfterAnEarlierReplaceUndoesOnlyTheRunAndKeepsTheSavedTextCurrent)
{
    EditorFixture f;
    load(f.editor, {{"a1"}, {"a2"}, {"a3"}});
    GridSearch search(f.editor);
    search.textToFind = "a";
    search.replaceWith = "b";
    search.options.prompt = false;
    search.Replace();
    ASSERT_EQ(cells(f.editor), "b1/a2/a3");
    // The earlier Replace left its snapshot current; the run must take its own.
    f.editor.document().SetCurrentCell(1, 1);
    search.options.prompt = true;
    f.messages.answers = {MessageAnswer::No, MessageAnswer::Yes};
    EXPECT_EQ(search.ReplaceAll(), 1);
    EXPECT_EQ(cells(f.editor), "b1/a2/b3");
    EXPECT_EQ(f.editor.undoHistory().savedCellText(), "b3");
    f.editor.Undo();
    EXPECT_EQ(cells(f.editor), "b1/a2/a3");
}

TEST(FindSettingsFile, bytesOnDiskAndTolerantReading)
{
    EXPECT_EQ(FindSettingsFile::format(FindOptions{}), "0 1 0\r\n");
    EXPECT_EQ(FindSettingsFile::format(FindOptions{true, true, false}), "1 1 0\r\n");
    const struct {
        const char *text;
        std::optional<FindOptions> expected;
    } reads[] = {
        {"1 0 1\r\n", FindOptions{true, false, true}},
        {"  7\n\t0  -2", FindOptions{true, false, true}},
        {"0 0 99999999999999999999", FindOptions{false, false, true}},
        {"1 1", std::nullopt},
        {"x 1 1", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto &r : reads) {
        SCOPED_TRACE(r.text);
        EXPECT_EQ(FindSettingsFile::parse(r.text), r.expected);
    }

    test::TempFolder t;
    EXPECT_EQ(FindSettingsFile::pathIn(t.path()), t.path() + "find.mtr");
    EXPECT_EQ(FindSettingsFile::pathIn("/x"), "/x/find.mtr");
    const std::string path = FindSettingsFile::pathIn(t.path());
    const FindOptions defaults;
    EXPECT_EQ(FindSettingsFile::read(path, defaults), defaults);
    FileSystem::createFolder(path); // a folder in the file's place is ignored, not waited on
    EXPECT_EQ(FindSettingsFile::read(path, defaults), defaults);
    FileSystem::RemoveFolder(path + "/");

    test::ScriptedMessages messages;
    EXPECT_TRUE(FindSettingsFile::write(path, FindOptions{true, true, false}, messages));
    EXPECT_EQ(FileSystem::readFile(path).value_or(""), "1 1 0\r\n");
    EXPECT_EQ(FindSettingsFile::read(path, defaults), (FindOptions{true, true, false}));
    ::chmod(path.c_str(), 0444);
    EXPECT_FALSE(FindSettingsFile::write(path, FindOptions{}, messages));
    EXPECT_EQ(FileSystem::readFile(path).value_or(""), "1 1 0\r\n");
    EXPECT_FALSE(FindSettingsFile::write(t.path() + "missing/find.mtr", FindOptions{}, messages));
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].kind, MessageKind::Error);
    EXPECT_EQ(messages.shown[0].text,
              "Unable to save 'Find Window' settings to file:\n\n" + path +
                  "\n\nPlease make sure the disk is not write protected.");
}

TEST(QuickSearch, firstContainingRowOfTheColumnInUse)
{
    const struct {
        int setting, colCount, expected;
    } columns[] = {{2, 9, 2}, {8, 9, 8}, {12, 9, 2}, {0, 9, 2}, {2, 2, 1}, {5, 3, 2}};
    for (const auto &c : columns)
        EXPECT_EQ(QuickSearch::column(c.setting, c.colCount), c.expected) << c.setting << " of " << c.colCount;
    EXPECT_EQ(QuickSearch::labelText(12, 9), "&Quick search (Column 2): ");

    EditorFixture f;
    load(f.editor, {{"1", "Heat"}, {"2", Picture}, {"3", "The MATRIX"}, {"4", "Matrix"}, {"5", "xmatz"}});
    const struct {
        const char *typed;
        int row;
    } finds[] = {{"mat", 3}, {"MAT", 3}, {"matz", 5}, {"matzz", 0}, {"", 0}, {"jpg", 0}, {"eat", 1}};
    for (const auto &q : finds)
        EXPECT_EQ(QuickSearch::findRow(f.editor.document(), 2, q.typed), q.row) << q.typed;

    // Typing searches again from row 1 each time, whatever the current row.
    f.editor.document().SetCurrentCell(1, 5);
    EXPECT_EQ(QuickSearch::run(f.editor, "mat"), 3);
    EXPECT_EQ(f.editor.document().Col(), 2);
    EXPECT_EQ(QuickSearch::run(f.editor, "matzz"), 0);
    EXPECT_EQ(f.editor.document().Row(), 3);

    // One data column: the search stays in it.
    load(f.editor, {{"alpha"}, {"beta"}});
    f.editor.quickSearchColumn = 2;
    EXPECT_EQ(QuickSearch::run(f.editor, "bet"), 2);
    EXPECT_EQ(f.editor.document().Col(), 1);
}

TEST(PreEnteredText, distinctTextsAndWritingTheCurrentCell)
{
    const struct {
        const char *name;
        std::vector<std::string> column;
        std::vector<std::string> items;
    } fills[] = {
        {"case-sensitive distinct", {"Drama", "drama", "Drama", "", "Comedy"}, {"Drama", "drama", "Comedy"}},
        {"empty and attachments only", {"", Picture, ""}, {}},
        {"first text split in lines", {"", "War\r\nPeace", "War", "x"}, {"War", "Peace", "x"}},
        {"lone CR and LF", {"a\rb\nc\r\n"}, {"a", "b", "c"}},
    };
    for (const auto &fill : fills) {
        SCOPED_TRACE(fill.name);
        EditorFixture f;
        Rows rows;
        for (const std::string &c : fill.column)
            rows.push_back({"t", c});
        load(f.editor, rows);
        int pumps = 0;
        EXPECT_EQ(PreEnteredText::collect(f.editor.document(), 2, [&] { ++pumps; }), fill.items);
        EXPECT_EQ(pumps, static_cast<int>(fill.column.size()) / 5);
    }

    EditorFixture f;
    load(f.editor, {{"Heat", Picture}});
    // Over an attachment the box changes nothing.
    f.editor.document().SetCurrentCell(2, 1);
    f.editor.cellSelected(2, 1);
    EXPECT_FALSE(PreEnteredText::write(f.editor, "Drama"));
    EXPECT_EQ(f.editor.document().GetCell(2, 1), Picture);
    EXPECT_EQ(PreEnteredText::shownText(f.editor.document()), "");
    EXPECT_FALSE(f.editor.undoHistory().undoEnabled());
    // Keystrokes: one snapshot, the saved text follows the cell, one Undo restores.
    f.editor.document().SetCurrentCell(1, 1);
    f.editor.cellSelected(1, 1);
    EXPECT_TRUE(PreEnteredText::write(f.editor, "D"));
    EXPECT_TRUE(PreEnteredText::write(f.editor, "Dr"));
    EXPECT_EQ(f.editor.undoHistory().caption(), PreEnteredText::UndoCaption);
    EXPECT_EQ(f.editor.undoHistory().savedCellText(), "Dr");
    EXPECT_TRUE(f.editor.listModified);
    f.editor.Undo();
    EXPECT_EQ(f.editor.document().GetCell(1, 1), "Heat");
}

TEST(CliReplace, replacesFromTheFirstCellAndPrintsTheCount)
{
    test::TempFolder t;
    ListDocument doc(3, 4);
    doc.SetCell(1, 0, "Title");
    doc.SetCell(1, 1, "banana");
    doc.SetCell(2, 1, "Anna");
    doc.SetCell(1, 2, "star");
    doc.SetCell(1, 3, "Star Trek");
    PageSetup setup;
    {
        NonInteractiveMessages m;
        SilentProgress p;
        ListFileWriter w(m, p);
        w.setDatabaseFolder(t.path());
        ASSERT_EQ(w.save(t.file("in.lstd"), ListFileSource{doc, setup, "dvdmovie"}), 0);
    }
    auto run = [](const std::vector<std::string> &args, std::string *out = nullptr) {
        std::ostringstream o, e;
        const int code = CliTool(o, e).run(args);
        if (out)
            *out = o.str();
        return code;
    };
    auto cell = [&](const std::string &file, int c, int r) {
        NonInteractiveMessages m;
        SilentProgress p;
        ListFileReader reader(m, p);
        reader.setExtractAttachments(false);
        ListDocument d;
        PageSetup s;
        std::string type;
        reader.readFile(t.file(file), ListFileTarget{d, s, type});
        return d.GetCell(c, r);
    };
    std::string out;
    ASSERT_EQ(run({"replace", t.file("in.lstd"), t.file("out.lst"), "--find", "A", "--with=aa"}, &out), 0);
    EXPECT_EQ(out, "replacements: 7\n");
    EXPECT_EQ(cell("out.lst", 1, 1), "baanaanaa");
    EXPECT_EQ(cell("out.lst", 2, 1), "aannaa");
    EXPECT_EQ(cell("out.lst", 1, 0), "Title");
    ASSERT_EQ(run({"replace", t.file("in.lstd"), t.file("e.lstd"), "--entire-cell", "--find", "STAR", "--with",
                   "\xC3\xA9toile"},
                  &out),
              0);
    EXPECT_EQ(out, "replacements: 1\n");
    EXPECT_EQ(cell("e.lstd", 1, 2), "\xE9toile");
    EXPECT_EQ(cell("e.lstd", 1, 3), "Star Trek");
    for (const std::vector<std::string> &bad : std::vector<std::vector<std::string>>{
             {"replace", t.file("in.lstd"), t.file("x.lst"), "--find", "", "--with", "b"},
             {"replace", t.file("in.lstd"), t.file("x.lst"), "--find", "a"},
             {"replace", t.file("in.lstd"), "--find", "a", "--with", "b"},
             {"replace", t.file("in.lstd"), t.file("x.lst"), "--find", "a", "--find", "b", "--with", "c"}})
        EXPECT_EQ(run(bad), CliTool::ExitUsage);
    EXPECT_FALSE(FileSystem::exists(t.file("x.lst")));
    EXPECT_EQ(run({"replace", t.file("missing.lst"), t.file("x.lst"), "--find", "a", "--with", "b"}),
              CliTool::ExitFailed);
}

} // namespace
} // namespace quorvex
