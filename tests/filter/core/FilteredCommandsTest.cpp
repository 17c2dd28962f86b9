#include "FakeProgressWindow.h"
#include "FakeServices.h"
#include "document/core/GridCommands.h"
#include "filter/core/FilterSession.h"
#include "search/core/GridSearch.h"
#include "search/core/QuickSearch.h"
#include "sort/core/SortCommand.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quorvex {
namespace {

using test::EditorFixture;

// 12 data rows: column 1 holds "Drama", "Comedy" or "drama club" by turns, so a
// filter on "drama" hides rows 1, 4, 7 and 10; column 2 names the row; column 3
// holds "keanu" in shown and in hidden rows alike.
ListDocument sampleList()
{
    ListDocument doc(4, 13);
    doc.SetCell(1, 0, "Genre");
    doc.SetCell(2, 0, "Title");
    doc.SetCell(3, 0, "Actor");
    const char *genres[] = {"Drama", "Comedy", "drama club"};
    for (int r = 1; r < 13; ++r) {
        doc.SetCell(1, r, genres[r % 3]);
        doc.SetCell(2, r, "t" + std::to_string(r));
        doc.SetCell(3, r, r % 2 ? "keanu reeves" : "other");
    }
    return doc;
}

RowFilter dramaFilter()
{
    RowFilter f;
    f.conditions.push_back({1, FilterTest::Contains, "DRAMA"});
    return f;
}

// One editor with its commands; `filtered` puts the drama filter on it.
struct Session : EditorFixture {
    GridCommands grid{editor};
    GridSearch search{editor};
    FilterSession filter{editor};
    test::FakeProgressWindow window;

    explicit Session(const ListDocument &doc, bool filtered)
    {
        editor.document() = doc;
        editor.RenumberPages();
        editor.undoHistory().reset(editor.document());
        editor.cellSelected(1, 1);
        if (filtered)
            filter.apply(dramaFilter());
    }
    ListDocument &doc() { return editor.document(); }
    // Shown row `index` (0..) as the grid numbers it.
    int row(int index) const { return editor.shownRows().documentRow(index); }
    void select(int left, int top, int right, int bottom)
    {
        grid.selectCell(left, row(top));
        doc().SelectRange(left, row(top), right, row(bottom));
    }
    void at(int col, int index) { grid.selectCell(col, row(index)); }
};

using Texts = std::vector<std::string>;
Texts rowTexts(const ListDocument &doc, int r)
{
    Texts t;
    for (int c = 1; c < doc.ColCount(); ++c)
        t.push_back(doc.GetCell(c, r));
    return t;
}

struct Split {
    std::vector<Texts> shown, hidden;
};
Split split(const Session &s)
{
    Split out;
    const ListDocument &doc = s.editor.document();
    for (int r = 1; r < doc.RowCount(); ++r)
        (s.editor.shownRows().isShown(r) ? out.shown : out.hidden).push_back(rowTexts(doc, r));
    return out;
}

std::vector<Texts> dataRows(const ListDocument &doc)
{
    std::vector<Texts> rows;
    for (int r = 1; r < doc.RowCount(); ++r)
        rows.push_back(rowTexts(doc, r));
    return rows;
}

// Every command runs on the filtered list and on a list of only its shown rows.
// The filtered one must leave every hidden row as it was, in its order, and its
// shown rows must be what the command made of the short list; the clipboard and
// the current cell's place among the shown rows must agree as well. Commands
// that reorder the whole list (sort, and undo or redo of one) instead must leave
// the list that the same command makes without a filter, the filter chosen again.
TEST(FilteredCommands, actOnShownRowsAsOnAListOfOnlyThemAndNeverTouchAHiddenRow)
{
    using Act = std::function<void(Session &)>;
    struct Case {
        const char *name;
        Act act;
        bool wholeList = false;
        // Undo leaves the current cell at its row number, which names another shown row under a filter.
        bool samePlace = true;
    };
    const std::string twoByFour = "P1\tQ1\r\nP2\tQ2\r\nP3\tQ3\r\nP4\tQ4\r\n";
    const SortOptions byActorBackwards{{3, 2, 0, 0, 0, 0, 0, 0}, false, true};
    const Case cases[] = {
        {"delete selected rows", [](Session &s) { s.select(1, 1, 3, 3), s.grid.DeleteSelectedRows(); }},
        {"delete every shown row keeps the first", [](Session &s) { s.select(1, 0, 3, 7), s.grid.DeleteSelectedRows(); }},
        {"delete the last shown row", [](Session &s) { s.select(2, 7, 2, 7), s.grid.DeleteSelectedRows(); }},
        {"insert row", [](Session &s) { s.at(2, 2), s.grid.InsertRow(); }},
        {"new row stays shown", [](Session &s) { s.at(2, 4), s.grid.NewRow(); }},
        {"insert then delete it", [](Session &s) { s.at(2, 3), s.grid.InsertRow(), s.select(1, 3, 3, 3), s.grid.DeleteSelectedRows(); }},
        {"edit delete", [](Session &s) { s.select(1, 1, 2, 4), s.grid.Delete(); }},
        {"cut", [](Session &s) { s.select(2, 2, 3, 5), s.grid.Cut(); }},
        {"copy", [](Session &s) { s.select(1, 0, 3, 7), s.grid.clipboard().Copy(); }},
        {"copy one column", [](Session &s) { s.at(2, 0), s.grid.SelectColumn(), s.grid.clipboard().Copy(); }},
        {"select all and copy", [](Session &s) { s.grid.SelectAll(), s.grid.clipboard().Copy(); }},
        {"paste past the last shown row adds rows",
         [&](Session &s) { s.clipboard.content = twoByFour, s.at(2, 6), s.grid.clipboard().Paste(); }},
        {"paste into a range", [&](Session &s) { s.clipboard.content = twoByFour, s.select(1, 1, 2, 2), s.grid.clipboard().Paste(); }},
        {"paste one cell", [](Session &s) { s.clipboard.content = "one", s.at(3, 5), s.grid.clipboard().Paste(); }},
        {"find first and next",
         [](Session &s) {
             s.search.textToFind = "KEANU";
             s.search.FindFirst();
             s.search.FindNext();
             s.search.FindNext();
         }},
        {"replace all",
         [](Session &s) {
             s.search.textToFind = "keanu";
             s.search.replaceWith = "K.";
             s.search.options.prompt = false;
             s.at(1, 0);
             s.search.ReplaceAll();
         }},
        {"replace one", [](Session &s) { s.search.textToFind = "reeves", s.search.replaceWith = "R", s.at(1, 2), s.search.Replace(); }},
        {"quick search", [](Session &s) { s.editor.quickSearchColumn = 2, QuickSearch::run(s.editor, "t1"); }},
        {"delete then undo", [](Session &s) { s.select(1, 2, 3, 4), s.grid.DeleteSelectedRows(), s.editor.Undo(); }, false, false},
        {"paste then undo then redo",
         [&](Session &s) { s.clipboard.content = twoByFour, s.at(2, 2), s.grid.clipboard().Paste(), s.editor.Undo(), s.editor.Redo(); }, false, false},
        {"sort", [&](Session &s) { SortCommand(s.editor, s.window).run(byActorBackwards); }, true},
        {"sort then undo", [&](Session &s) { SortCommand(s.editor, s.window).run(byActorBackwards), s.editor.Undo(); }, true},
        {"new row then sort", [&](Session &s) { s.at(1, 1), s.grid.NewRow(), SortCommand(s.editor, s.window).run(byActorBackwards); }, true},
    };

    const ListDocument full = sampleList();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Session filtered(full, true);
        ASSERT_EQ(filtered.editor.shownRows().count(), 8);
        const Split before = split(filtered);

        // The short list: the header row and the shown rows only.
        ListDocument shortList(full.ColCount(), filtered.editor.shownRows().count() + 1);
        shortList.setRowAt(0, full.rowAt(0));
        for (int i = 0; i < filtered.editor.shownRows().count(); ++i)
            shortList.setRowAt(i + 1, full.rowAt(filtered.row(i)));
        Session plain(c.wholeList ? full : shortList, false);

        c.act(filtered);
        c.act(plain);

        const Split after = split(filtered);
        EXPECT_EQ(filtered.doc().GetCell(2, 0), "Title");
        EXPECT_EQ(filtered.doc().ColCount(), plain.doc().ColCount());
        if (c.wholeList) {
            EXPECT_EQ(dataRows(filtered.doc()), dataRows(plain.doc()));
            std::vector<Texts> matching;
            for (int r : dramaFilter().matchingRows(plain.doc()))
                matching.push_back(rowTexts(plain.doc(), r));
            EXPECT_EQ(after.shown, matching);
            continue;
        }
        EXPECT_EQ(after.hidden, before.hidden) << "a hidden row changed";
        EXPECT_EQ(after.shown, dataRows(plain.doc()));
        EXPECT_EQ(filtered.clipboard.content, plain.clipboard.content);
        EXPECT_TRUE(filtered.editor.shownRows().isShown(filtered.doc().Row()));
        if (c.samePlace) {
            EXPECT_EQ(filtered.editor.shownRows().indexOf(filtered.doc().Row()), plain.doc().Row() - 1);
            EXPECT_EQ(filtered.doc().Col(), plain.doc().Col());
        }
        EXPECT_EQ(filtered.messages.texts(), plain.messages.texts());
    }
}

// Whole-list views of the filter: the list stays as it was, rows are not dragged,
// the status text, a filter that narrows nothing, and clearing.
TEST(FilteredCommands, filterIsAViewThatClearsToEveryRowAndCountsInTheStatusText)
{
    Session s(sampleList(), true);
    EXPECT_EQ(s.filter.statusText(), "Showing 8 of 12");
    EXPECT_TRUE(s.editor.shownRows().isShown(s.doc().Row())) << "the current cell moved onto a shown row";
    EXPECT_EQ(dataRows(s.doc()), dataRows(sampleList()));

    s.grid.rowDragged(2, 5);
    EXPECT_EQ(dataRows(s.doc()), dataRows(sampleList())) << "rows are not dragged under a filter";
    EXPECT_FALSE(s.editor.listModified);

    RowFilter blank;
    blank.conditions.push_back({2, FilterTest::Contains, ""});
    s.filter.apply(blank);
    EXPECT_FALSE(s.filter.active()) << "a condition without text narrows nothing";
    EXPECT_EQ(s.editor.shownRows().count(), 12);

    s.filter.apply(dramaFilter());
    s.filter.clear();
    EXPECT_FALSE(s.filter.active());
    EXPECT_EQ(s.filter.statusText(), "");
    EXPECT_EQ(s.editor.shownRows().count(), 12);
    EXPECT_EQ(RowFilter::statusText(1234, 1000000), "Showing 1,234 of 1,000,000");
}

} // namespace
} // namespace quorvex
