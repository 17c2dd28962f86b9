#include "FakeServices.h"
#include "TempFolder.h"
#include "document/core/ListDocument.h"
#include "platform/core/AppConstants.h"
#include "platform/core/FileSystem.h"
#include "platform/core/ProgressWindow.h"
#include "print/core/ExportCommand.h"
#include "print/core/PageRenderer.h"
#include "print/core/PdfFileCheck.h"
#include "print/core/PrintCommands.h"
#include "print/core/PrintDevice.h"
#include "print/core/PrintLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sys/stat.h>

namespace quorvex {
namespace {

using test::EditorFixture;

class FakeWindow final : public ProgressWindow {
public:
    void start(const std::string &upper, const std::string *) override
    {
        upperTexts.push_back(upper);
        paused = false;
        shown = true;
    }
    void setUpperText(const std::string &t) override { upperTexts.push_back(t); }
    void setLowerText(const std::string &t) override { lowerTexts.push_back(t); }
    bool isPaused() const override { return paused; }
    Result result() const override { return res; }
    void setResult(Result r) override { res = r; }
    void hide() override { shown = false; }
    void finish(const std::string &t, bool) override { finished = t; }
    void pause() override
    {
        paused = true;
        ++pauses;
    }
    void resume() override
    {
        paused = false;
        res = Result::None;
    }
    std::vector<std::string> upperTexts, lowerTexts;
    std::string finished;
    bool paused = false, shown = false;
    int pauses = 0;
    Result res = Result::None;
};

class FakeDevice final : public PrintDevice {
public:
    DialogResult choosePrinter() override { return dialog; }
    bool setLandscape(bool l) override
    {
        landscape = l;
        return true;
    }
    bool begin() override
    {
        log += "begin ";
        return beginOk;
    }
    bool newPage() override
    {
        log += "new ";
        return true;
    }
    bool sendPage() override
    {
        log += "send ";
        return true;
    }
    bool end() override
    {
        log += "end ";
        return endOk;
    }
    void abort() override { log += "abort "; }
    bool splitsJobAtPause() const override { return split; }

    DialogResult dialog = DialogResult::Accepted;
    bool landscape = false, beginOk = true, endOk = true, split = false;
    std::string log;
};

// Keeps what each page image would show: its number, footer and print grid.
class CapturingRenderer final : public PageRenderer {
public:
    struct Page {
        long long number;
        std::string footer;
        ListDocument grid;
        PageGeometry geometry;
    };
    bool render(const PageContent &p) override
    {
        pages.push_back({p.pageNumber, p.footer, p.printGrid, p.geometry});
        if (onPage)
            onPage(p.pageNumber);
        return true;
    }
    std::vector<long long> numbers() const
    {
        std::vector<long long> n;
        for (const Page &p : pages)
            n.push_back(p.number);
        return n;
    }
    std::vector<Page> pages;
    std::function<void(long long)> onPage;
};

struct PrintFixture : EditorFixture {
    FakeWindow window;
    FakeDevice device;
    CapturingRenderer renderer;
    PrintCommands commands{editor, window};

    explicit PrintFixture(int dataRows = 120)
    {
        ListDocument &doc = editor.document();
        doc.SetColCount(4);
        doc.SetRowCount(dataRows + 1);
        doc.SetCell(1, 0, "Tape#");
        doc.SetCell(2, 0, "Movie Title");
        doc.SetCell(3, 0, "Year");
        for (int r = 1; r <= dataRows; ++r)
            doc.SetCell(1, r, std::to_string(r));
        editor.pageSetup().maxEntries = 54;
        commands.today = [] { return std::string("Mar 7, 2008"); };
    }
};

TEST(PrintLayoutTest, recommendedEntries_followsFontOrientationIndentAndNeverDivides)
{
    struct Case {
        int font;
        double factor;
        int line;
        bool landscape;
        int top;
        std::optional<int> expected;
    } cases[] = {
        {9, 1.97, 1, false, 90, 53},    {9, 1.97, 1, true, 90, 38},   {9, 1.97, 1, false, 8888, -181},
        {0, 2.0, 0, false, 90, std::nullopt}, {1, 2.0, 0, false, 0, 538},
    };
    for (const Case &c : cases) {
        PrintMetrics m;
        m.gridFontSize = c.font;
        m.rowHeightFactor = c.factor;
        m.gridLineWidth = c.line;
        EXPECT_EQ(PrintLayout::recommendedEntries(m, c.landscape, c.top), c.expected) << c.font << " " << c.top;
    }

    // The box takes the recommendation within 1 to 150; a failure changes nothing.
    struct BoxCase {
        int font, top;
        int box;
        bool ok;
    } boxes[] = {{9, 90, 53, true}, {9, 8888, 1, true}, {1, 0, 150, true}, {0, 90, 77, false}};
    for (const BoxCase &b : boxes) {
        PrintFixture f;
        f.editor.pageSetup().maxEntries = 77;
        f.editor.gridFont.size = b.font;
        f.editor.pageSetup().topIndent = b.top;
        f.editor.gridAppearance.gridLineWidth = b.font == 0 ? 0 : 1;
        EXPECT_EQ(f.commands.computeMaxEntries(), b.ok);
        EXPECT_EQ(f.editor.pageSetup().maxEntries, b.box) << b.font << " " << b.top;
        EXPECT_EQ(f.messages.texts().size(), b.ok ? 0u : 1u);
        if (b.ok)
            EXPECT_EQ(f.editor.document().GetCell(0, 1), " 1");
        else
            EXPECT_EQ(f.messages.texts().front(), "Error calculating max entries per page.");
    }
}

TEST(PrintLayoutTest, pagesFootersAndColumnsFollowTheLayoutRules)
{
    EXPECT_EQ(PrintLayout::totalPages(120, 54), 3);
    EXPECT_EQ(PrintLayout::totalPages(0, 54), 1);
    EXPECT_EQ(PrintLayout::totalPages(1000000, 54), 18519);
    EXPECT_EQ(PrintLayout::firstRowOfPage(18519, 54), 999973);
    EXPECT_EQ(PrintLayout::footerDate(2008, 3, 7), "Mar 7, 2008");
    EXPECT_EQ(PrintLayout::footerDate(2026, 12, 31), "Dec 31, 2026");
    EXPECT_EQ(PrintLayout::footerDate(2026, 13, 1), "Unknown month 1, 2026");
    EXPECT_EQ(PrintLayout::listName(false, "/x/DVD.lst"), "Unnamed new list");
    EXPECT_EQ(PrintLayout::listName(true, "/home/a/DVD.lst"), "DVD.lst");
    EXPECT_EQ(PrintLayout::listName(true, "DVD.lst"), "Uknown list name");

    // A column that would cross the border is left out, and so is every later one.
    ListDocument doc(6, 2);
    for (int c = 1; c < 6; ++c)
        doc.SetColWidth(c, 200);
    doc.SetColWidth(4, 400);
    doc.SetColWidth(5, 10);
    PrintMetrics m;
    EXPECT_EQ(PrintLayout::fittingColumns(doc, m, false, 90), 3);
    EXPECT_EQ(PrintLayout::fittingColumns(doc, m, true, 90), 5);

    PageSetup setup;
    const PageGeometry g = PrintLayout::geometry({100, 50}, 2, m, setup);
    EXPECT_EQ(g.fontSize, 18);
    EXPECT_EQ(g.rowHeight, 35);
    EXPECT_EQ(g.lineWidth, 2);
    const PageGeometry::Rect cell = g.cellRect(1, 2);
    EXPECT_EQ(cell.left, 90 + 196 + 2 + 2);
    EXPECT_EQ(cell.right, 90 + 196 + 2 + 98 + 2);
    EXPECT_EQ(cell.bottom, 90 + 3 * 37);
    EXPECT_EQ(cell.top, 90 + 3 * 37 - 35);
    EXPECT_EQ(g.frameRect().right, 90 + 198 + 100 + 2);
    EXPECT_EQ(g.footerY, 2198 - (18 + 35));
}

TEST(PageSelectionTest, listTextAndRangeChecksGiveTheirMessages)
{
    const std::string notNumber = "Text must be a number or a comma!";
    const std::string none = "There are no pages to print! Enter at least one page!";
    const std::string greater = "One or more of the page numbers are greater than the total number of pages!";
    const std::string less = "One or more of the page numbers are less than 1!";
    struct Case {
        std::string text;
        int total;
        std::vector<std::string> messages;
        std::vector<int> pages;
    } cases[] = {
        {"1,2,", 4, {}, {1, 2}},
        {"3,,1", 4, {}, {3, 1}},
        {"7,2,7", 7, {}, {7, 2, 7}},
        {"2,5", 4, {greater}, {2, 5}},
        {"0,2", 4, {less}, {0, 2}},
        {"5,0", 4, {greater}, {5, 0}},
        {"1,2,,", 4, {none}, {1, 2}},
        {",", 4, {none}, {}},
        {"", 4, {none}, {}},
        // After a piece that is not a number the checks still run, and never let the dialog close.
        {"1,x", 4, {notNumber}, {1}},
        {"1,x,,", 4, {notNumber, none}, {1}},
        {"1,99999999999", 4, {notNumber}, {1}},
        {"2147483647", 4, {greater}, {2147483647}},
    };
    for (const Case &c : cases) {
        const PageSelection::Check check = PageSelection::checkList(c.text, c.total);
        EXPECT_EQ(check.messages, c.messages) << c.text;
        EXPECT_EQ(check.pages, c.pages) << c.text;
    }

    struct Range {
        int start, end, total, wantStart, wantEnd;
    } ranges[] = {{1, 5, 2, 1, 2}, {4, 9, 2, 2, 2}, {1, 1, 3, 1, 1}, {2, 8888888, 18519, 2, 18519}};
    for (const Range &r : ranges) {
        PageSelection sel;
        sel.startPage = r.start;
        sel.endPage = r.end;
        EXPECT_TRUE(sel.validate(r.total).ok());
        EXPECT_EQ(sel.startPage, r.wantStart);
        EXPECT_EQ(sel.endPage, r.wantEnd);
    }
}

TEST(PrintEngineTest, pagesGoOutInOrderWithOnePauseForTheOddFirstRange)
{
    struct Case {
        bool range;
        int start, end;
        bool odds;
        std::string list;
        bool split;
        std::vector<long long> pages;
        int pauses;
        std::string log;
    } cases[] = {
        {true, 2, 5, true, "", false, {3, 5, 2, 4}, 1, "begin send new send new send new send end "},
        {true, 2, 5, true, "", true, {3, 5, 2, 4}, 1, "begin send new send end begin send new send end "},
        {true, 1, 1, true, "", false, {1}, 0, "begin send end "},
        {true, 1, 6, false, "", false, {1, 2, 3, 4, 5, 6}, 0, "begin send new send new send new send new send new send end "},
        {false, 0, 0, true, "7,2,7", false, {7, 2, 7}, 0, "begin send new send new send end "},
        // A page past the last row is skipped, not searched for.
        {false, 0, 0, false, "3,99,1", false, {3, 1}, 0, "begin send new send end "},
    };
    for (const Case &c : cases) {
        PrintFixture f(7 * 54);
        f.device.split = c.split;
        f.commands.selection.rangeMode = c.range;
        f.commands.selection.startPage = c.start;
        f.commands.selection.endPage = c.end;
        f.commands.selection.oddsFirst = c.odds;
        f.commands.selection.pageNums = c.list;
        int waits = 0;
        std::vector<std::string> textWhenWaiting;
        f.commands.engine().waitForEvents = [&] {
            ++waits;
            textWhenWaiting.push_back(f.window.upperTexts.back());
            f.window.resume();
        };
        EXPECT_EQ(f.commands.printSelection(f.device, f.renderer), ResultOk) << c.list;
        EXPECT_EQ(f.renderer.numbers(), c.pages) << c.start << c.list;
        EXPECT_EQ(f.window.pauses, c.pauses);
        EXPECT_EQ(waits, c.pauses);
        EXPECT_EQ(f.device.log, c.log);
        EXPECT_EQ(f.window.finished, "100% - Print job sent.");
        EXPECT_EQ(f.progress.reports.back().second, "100% - Print job sent.");
        if (c.pauses) {
            EXPECT_EQ(textWhenWaiting.front(), "50% - Sending page 3 of 4 to printer. - Paused for page flip.");
            EXPECT_EQ(f.window.lowerTexts.back(), "100% - Page 4 sent to printer.");
        }
    }
}

TEST(PrintEngineTest, jobPrintsTheRowsOfItsPagesAsTheyWereWhenItStarted)
{
    // 7 full pages and a last one of 10 rows; M = 54.
    struct Case {
        bool range;
        int start, end;
        std::string list;
        std::vector<long long> pages;
        int snapshotRows; // header + the rows of each distinct page
    } cases[] = {
        {true, 2, 3, "", {2, 3}, 1 + 2 * 54},
        {true, 7, 8, "", {7, 8}, 1 + 54 + 10},
        {false, 0, 0, "8,1,8", {8, 1, 8}, 1 + 10 + 54},
        {false, 0, 0, "5,3,99", {5, 3}, 1 + 2 * 54},
    };
    for (const Case &c : cases) {
        PrintFixture f(7 * 54 + 10);
        f.commands.selection.rangeMode = c.range;
        f.commands.selection.startPage = c.start;
        f.commands.selection.endPage = c.end;
        f.commands.selection.pageNums = c.list;
        const std::vector<int> pages = f.commands.selection.pageList();
        EXPECT_EQ(PrintEngine::snapshotPages(f.editor.document(), pages, 54).rows.RowCount(), c.snapshotRows)
            << c.list;
        // The user edits and deletes rows while the first page goes out.
        f.renderer.onPage = [&](long long) {
            ListDocument &doc = f.editor.document();
            doc.SetCell(1, 0, "Changed");
            for (int r = 1; r < doc.RowCount(); ++r)
                doc.SetCell(1, r, "x");
            doc.SetRowCount(2);
        };
        ASSERT_EQ(f.commands.printSelection(f.device, f.renderer), ResultOk) << c.list;
        ASSERT_EQ(f.renderer.numbers(), c.pages) << c.list;
        for (const CapturingRenderer::Page &page : f.renderer.pages) {
            const ListDocument &g = page.grid;
            const long long first = (page.number - 1) * 54 + 1;
            EXPECT_EQ(g.RowCount(), 55);
            EXPECT_EQ(g.GetCell(0, 0), "Tape#");
            EXPECT_EQ(g.GetCell(1, 0), "Movie Title");
            EXPECT_EQ(g.GetCell(0, 1), std::to_string(first)) << c.list;
            const long long lastRow = std::min<long long>(first + 53, 7 * 54 + 10);
            EXPECT_EQ(g.GetCell(0, static_cast<int>(lastRow - first + 1)), std::to_string(lastRow));
            if (lastRow - first + 2 <= 54) {
                EXPECT_EQ(g.GetCell(0, static_cast<int>(lastRow - first + 2)), "");
            }
        }
    }
}

TEST(PrintEngineTest, printCommandPrintsEveryPageWithItsRowsAndFooter)
{
    PrintFixture f(120);
    f.editor.undoHistory().setEnabled(true, true);
    ASSERT_EQ(f.commands.PrintBtnClick(f.device, f.renderer), ResultOk);
    ASSERT_EQ(f.renderer.numbers(), (std::vector<long long>{1, 2, 3}));
    const CapturingRenderer::Page &last = f.renderer.pages.back();
    EXPECT_EQ(last.grid.RowCount(), 55);
    EXPECT_EQ(last.grid.ColCount(), 3);
    EXPECT_EQ(last.grid.GetCell(0, 0), "Tape#");
    EXPECT_EQ(last.grid.GetCell(0, 1), "109");
    EXPECT_EQ(last.grid.GetCell(0, 12), "120");
    for (int r = 13; r <= 54; ++r)
        EXPECT_EQ(last.grid.GetCell(0, r), "");
    EXPECT_EQ(f.renderer.pages.front().footer, "Page 1 - Unnamed new list - Mar 7, 2008");
    // Whole percentages, in the order the status bar got them.
    std::vector<std::string> sending;
    for (const auto &r : f.progress.reports)
        sending.push_back(std::to_string(r.first) + "|" + r.second);
    EXPECT_EQ(sending, (std::vector<std::string>{"0|0% - Sending page 1 of 3 to printer.",
                                                 "33|33% - Sending page 2 of 3 to printer.",
                                                 "66|66% - Sending page 3 of 3 to printer.",
                                                 "0|100% - Print job sent."}));
    EXPECT_FALSE(f.editor.undoHistory().undoEnabled());
    EXPECT_FALSE(f.editor.undoHistory().redoEnabled());

    // Test print: page 1 only, and Undo and Redo as they were.
    for (bool redo : {false, true}) {
        PrintFixture t(120);
        t.editor.undoHistory().setEnabled(true, redo);
        ASSERT_EQ(t.commands.TestPrintBtnClick(t.device, t.renderer), ResultOk);
        EXPECT_EQ(t.renderer.numbers(), (std::vector<long long>{1}));
        EXPECT_TRUE(t.editor.undoHistory().undoEnabled());
        EXPECT_EQ(t.editor.undoHistory().redoEnabled(), redo);
    }

    // The footer's date form is today's.
    PrintFixture today(3);
    today.commands.today = nullptr;
    ASSERT_EQ(today.commands.PrintBtnClick(today.device, today.renderer), ResultOk);
    EXPECT_EQ(today.renderer.pages.front().footer, "Page 1 - Unnamed new list - " + PrintLayout::today());
    EXPECT_NE(PrintLayout::today().find(", 20"), std::string::npos);
}

TEST(PrintEngineTest, cancelAbortsAndFailuresNeverReportTheJobSent)
{
    // Cancel pressed while page 5 went out: honoured before the flip pause, no wait.
    {
        PrintFixture f(7 * 54);
        f.commands.selection = PageSelection{};
        f.commands.selection.startPage = 2;
        f.commands.selection.endPage = 5;
        f.commands.selection.oddsFirst = true;
        f.renderer.onPage = [&](long long p) {
            if (p == 5)
                f.window.res = ProgressWindow::Result::Cancel;
        };
        int waits = 0;
        f.commands.engine().waitForEvents = [&] { ++waits; };
        EXPECT_EQ(f.commands.printSelection(f.device, f.renderer), ResultAborted);
        EXPECT_EQ(waits, 0);
        EXPECT_EQ(f.window.pauses, 0);
        EXPECT_EQ(f.device.log, "begin send new send abort ");
        EXPECT_EQ(f.messages.texts(), std::vector<std::string>{"Printing cancelled."});
        EXPECT_EQ(f.messages.shown.front().kind, MessageKind::Plain);
        EXPECT_EQ(f.window.res, ProgressWindow::Result::Ok);
        EXPECT_FALSE(f.window.shown);
    }
    // Cancel during the flip pause ends the wait and aborts; a second job meanwhile is refused.
    {
        PrintFixture f(7 * 54);
        f.commands.selection.startPage = 1;
        f.commands.selection.endPage = 4;
        f.commands.selection.oddsFirst = true;
        int nested = -1;
        f.commands.engine().waitForEvents = [&] {
            nested = f.commands.PrintBtnClick(f.device, f.renderer);
            f.window.res = ProgressWindow::Result::Cancel;
            f.window.paused = false;
        };
        EXPECT_EQ(f.commands.printSelection(f.device, f.renderer), ResultAborted);
        EXPECT_EQ(nested, ResultSkipped);
        EXPECT_EQ(f.renderer.numbers(), (std::vector<long long>{1, 3}));
        EXPECT_FALSE(f.commands.busy());
    }
    // A printer that refuses the document shows the printer error, never "job sent".
    for (int failing = 0; failing < 3; ++failing) {
        PrintFixture f(10);
        f.device.beginOk = failing != 0;
        f.device.endOk = failing != 1;
        f.device.dialog = failing == 2 ? PrintDevice::DialogResult::Failed : PrintDevice::DialogResult::Accepted;
        EXPECT_EQ(f.commands.PrintBtnClick(f.device, f.renderer), ResultFailed);
        ASSERT_EQ(f.messages.texts().size(), 1u);
        EXPECT_EQ(f.messages.texts()[0], failing == 2 ? PrintEngine::DialogError : PrintEngine::SendError);
        EXPECT_NE(f.window.finished, PrintEngine::JobSent);
        EXPECT_TRUE(f.progress.reports.empty() || f.progress.reports.back().second != PrintEngine::JobSent);
    }
}

TEST(ExportCommandTest, exportWritesCrLinesAndKeepsTheOldFileOnEveryRefusal)
{
    test::TempFolder tmp;
    const std::string path = tmp.file("list.txt");
    PrintFixture f(100);
    f.editor.document().SetCell(2, 5, "a\nb");
    ASSERT_EQ(ExportCommand(f.editor).exportList(path), ResultOk);
    const std::string bytes = *FileSystem::readFile(path);
    EXPECT_EQ(bytes.substr(0, 23), "Tape#\tMovie Title\tYear\r");
    EXPECT_NE(bytes.find("\r5\ta\r\nb\t\r"), std::string::npos);
    EXPECT_EQ(bytes.size(), 23 + 100 * 3 + 192 + 1 + 3);
    std::vector<std::string> progress;
    for (const auto &r : f.progress.reports)
        if (r.first)
            progress.push_back(r.second);
    EXPECT_EQ(progress, std::vector<std::string>{"53% - Converting list to MS Excel format."});
    EXPECT_EQ(f.editor.statusBar().progress(), 0);

    // Read-only: No keeps the file; a failed write (no such folder) reports and writes nothing.
    ::chmod(path.c_str(), 0444);
    f.messages.answers = {MessageAnswer::No};
    f.editor.document().SetCell(1, 1, "changed");
    EXPECT_EQ(ExportCommand(f.editor).exportList(path), ResultSkipped);
    EXPECT_EQ(*FileSystem::readFile(path), bytes);
    EXPECT_EQ(f.messages.texts(), (std::vector<std::string>{ExportCommand::ReadOnlyQuestion, "List NOT exported."}));
    EXPECT_EQ(ExportCommand(f.editor).exportList(tmp.file("missing/list.txt")), ResultFailed);
    EXPECT_EQ(f.messages.texts().back(), ExportCommand::WriteFailed);
    EXPECT_EQ(ExportCommand(f.editor).exportList(std::nullopt), ResultSkipped);

    // Yes makes it writable and keeps the rest of its permissions.
    f.messages.answers = {MessageAnswer::Yes};
    EXPECT_EQ(ExportCommand(f.editor).exportList(path), ResultOk);
    struct stat st {};
    ::stat(path.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
    EXPECT_NE(FileSystem::readFile(path)->find("changed"), std::string::npos);
}

} // namespace
} // namespace quorvex

// A PDF counts as written only when its trailer ends the file and points at
// its cross-reference table: a byte lost anywhere before moves the table.
TEST(PdfFileCheck, wholeOnlyWhenTheTrailerPointsAtTheTable)
{
    quorvex::test::TempFolder t;
    const std::string body = "%PDF-1.4\n1 0 obj\n<<>>\nendobj\n";
    const std::string table = "xref\n0 2\n0000000000 65535 f \n0000000009 00000 n \ntrailer\n<< /Size 2 >>\n";
    const std::string whole = body + table + "startxref\n" + std::to_string(body.size()) + "\n%%EOF\n";
    struct Case {
        const char *name;
        std::string bytes;
        bool complete;
    };
    const Case cases[] = {
        {"whole", whole, true},
        {"without the last line end", whole.substr(0, whole.size() - 1), true},
        {"cut in the trailer", whole.substr(0, whole.size() - 3), false},
        {"a byte lost in the body", whole.substr(1), false},
        {"no trailer at all", body + table, false},
        {"empty", "", false},
        {"offset past the end", body + "startxref\n99999\n%%EOF\n", false},
    };
    for (const Case &c : cases) {
        const std::string path = t.file("out.pdf");
        ASSERT_TRUE(quorvex::FileSystem::writeFileAtomic(path, c.bytes));
        EXPECT_EQ(quorvex::PdfFileCheck::isComplete(path), c.complete) << c.name;
    }
    EXPECT_FALSE(quorvex::PdfFileCheck::isComplete(t.file("missing.pdf")));
}
