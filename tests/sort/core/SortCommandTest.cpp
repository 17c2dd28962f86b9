#include "sort/core/SortCommand.h"

#include "FakeProgressWindow.h"
#include "FakeServices.h"
#include "sort/core/SortEngine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <new>
#include <optional>
#include <thread>

namespace quorvex {
namespace {

using test::EditorFixture;
using test::FakeProgressWindow;
using Result = ProgressWindow::Result;

// A list of `rows` data rows in descending order, so that every step moves a row.
void loadDescending(Editor &editor, int rows)
{
    ListDocument doc(9, rows + 1);
    for (int r = 1; r <= rows; ++r) {
        doc.SetCell(1, r, "Tape " + std::to_string(rows - r + 1));
        doc.SetCell(2, r, r % 2 ? "Alien" : "alien");
    }
    editor.document() = doc;
    editor.RenumberPages();
    editor.undoHistory().reset(editor.document());
    editor.cellSelected(1, 1); // as after opening: the current cell's text is the saved text
}

// What the sort leaves when it stops before outer step `stopAt` (none: runs through).
ListDocument expectedAfter(const ListDocument &before, const SortOptions &o, std::optional<int> stopAt)
{
    ListDocument doc = before;
    SortEngine::SortGrid(doc, o, 1, doc.RowCount(), [&](int i) { return !stopAt || i != *stopAt; });
    return doc;
}

TEST(SortCommand, writesAProgressTextAtEveryFifthRowAndEndsFinished)
{
    struct Case {
        int rows;
        std::vector<std::string> texts;
    };
    const Case cases[] = {
        {50, {"10% - Sorting row 5 of 50", "20% - Sorting row 10 of 50", "30% - Sorting row 15 of 50",
              "40% - Sorting row 20 of 50", "50% - Sorting row 25 of 50", "60% - Sorting row 30 of 50",
              "70% - Sorting row 35 of 50", "80% - Sorting row 40 of 50", "90% - Sorting row 45 of 50"}},
        {7, {"71% - Sorting row 5 of 7"}},
        {5, {}},
        {1, {}},
    };
    for (const Case &c : cases) {
        EditorFixture fx;
        FakeProgressWindow window;
        window.setResult(Result::Cancel); // a cancel from an earlier run does not carry over
        loadDescending(fx.editor, c.rows);
        const ListDocument before = fx.editor.document();
        SortCommand command(fx.editor, window);
        command.setProgressInterval(std::chrono::milliseconds(0));
        window.setResult(Result::None);
        ASSERT_EQ(command.run(SortOptions{}), ResultOk);

        std::vector<std::string> upper{"", "Loading sort routine..."};
        upper.insert(upper.end(), c.texts.begin(), c.texts.end());
        upper.push_back("100% - Sorting finished.");
        EXPECT_EQ(window.upperTexts, upper) << c.rows;
        std::vector<std::pair<int, std::string>> status;
        for (const std::string &t : c.texts)
            status.emplace_back(std::stoi(t), t);
        status.emplace_back(0, "100% - Sorting finished.");
        EXPECT_EQ(fx.progress.reports, status) << c.rows;
        EXPECT_TRUE(window.visible && window.okShown && !window.cancelShown && !window.pauseEnabled && !window.lowerShown);
        EXPECT_TRUE(window.okFocused) << "Enter closes the finished window";
        EXPECT_EQ(window.result(), Result::Ok);
        EXPECT_TRUE(fx.messages.shown.empty());
        EXPECT_EQ(fx.editor.document().GetCell(1, 1), "Tape 1");
        EXPECT_TRUE(fx.editor.document().sameCells(expectedAfter(before, SortOptions{}, std::nullopt)));
        EXPECT_EQ(fx.editor.undoHistory().caption(), "&Undo Sort");
        EXPECT_TRUE(fx.editor.listModified);
        EXPECT_EQ(fx.view.cursors.back(), CursorShape::Normal);
    }
}

// The command sorts a list by the rules of its own text: a UTF-8 list folds
// case ("\u0141" equals "\u0142") and orders by code point; the same bytes in a
// Windows-1252 list compare signed and lower ASCII only. Undo gives back both.
TEST(SortCommand, sortsEachListByTheRulesOfItsTextEncoding)
{
    const std::vector<std::string> texts = {"\u0142\u00f3d\u017a 2", "\u0141\u00d3D\u0179 10", "Lodz 3", "\u0141\u00d3D\u0179 1"};
    struct Case {
        TextEncoding encoding;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {TextEncoding::Utf8, {"Lodz 3", "\u0141\u00d3D\u0179 1", "\u0142\u00f3d\u017a 2", "\u0141\u00d3D\u0179 10"}},
        // Bytes 0xC5 0x81 and 0xC5 0x82 as two signed Windows-1252 letters each, before "Lodz".
        {TextEncoding::Windows1252, {"\u0141\u00d3D\u0179 1", "\u0141\u00d3D\u0179 10", "\u0142\u00f3d\u017a 2", "Lodz 3"}},
    };
    for (const Case &c : cases) {
        EditorFixture fx;
        FakeProgressWindow window;
        ListDocument doc(2, static_cast<int>(texts.size()) + 1);
        for (std::size_t r = 0; r < texts.size(); ++r)
            doc.SetCell(1, static_cast<int>(r) + 1, texts[r]);
        doc.setTextEncoding(c.encoding);
        fx.editor.document() = doc;
        fx.editor.undoHistory().reset(fx.editor.document());
        SortCommand command(fx.editor, window);
        SortOptions options;
        options.keyColumns = {{1, 0, 0, 0, 0, 0, 0, 0}};
        ASSERT_EQ(command.run(options), ResultOk);
        std::vector<std::string> sorted;
        for (int r = 1; r < fx.editor.document().RowCount(); ++r)
            sorted.push_back(fx.editor.document().GetCell(1, r));
        EXPECT_EQ(sorted, c.expected);
        EXPECT_EQ(fx.editor.document().textEncoding(), c.encoding);
    }
}

TEST(SortCommand, pauseWaitsAndCancelStopsAtItsPointKeepingMovedRowsUntilUndo)
{
    struct Case {
        const char *atText;
        bool pauseFirst;
        Result afterPause;
        std::optional<int> stopAt;
    };
    const Case cases[] = {
        {"40% - Sorting row 20 of 50", false, Result::None, 20},
        {"10% - Sorting row 5 of 50", false, Result::None, 5},
        {"20% - Sorting row 10 of 50", true, Result::Cancel, 10}, // pause, then cancel: stops at the same point
        {"20% - Sorting row 10 of 50", true, Result::None, std::nullopt},
    };
    for (const Case &c : cases) {
        EditorFixture fx;
        FakeProgressWindow window;
        loadDescending(fx.editor, 50);
        const ListDocument before = fx.editor.document();
        window.afterPause = c.afterPause;
        window.onUpperText = [&c](FakeProgressWindow &w, const std::string &text) {
            if (text != c.atText)
                return;
            if (c.pauseFirst)
                w.pause();
            else
                w.cancel();
        };
        SortCommand command(fx.editor, window);
        command.setProgressInterval(std::chrono::milliseconds(0));
        const int result = command.run(SortOptions{});

        EXPECT_TRUE(fx.editor.document().sameCells(expectedAfter(before, SortOptions{}, c.stopAt))) << c.atText;
        EXPECT_EQ(window.result(), Result::Ok);
        if (c.stopAt) {
            EXPECT_EQ(result, ResultAborted);
            EXPECT_EQ(fx.messages.texts(), std::vector<std::string>{"Sorting cancelled."});
            EXPECT_EQ(fx.messages.shown.at(0).kind, MessageKind::Information);
            EXPECT_FALSE(window.visible);
            EXPECT_EQ(window.upperTexts.back(), c.atText);
            EXPECT_EQ(fx.progress.reports.back().second, c.atText) << "the status bar keeps the last text";
        } else {
            EXPECT_EQ(result, ResultOk);
            EXPECT_TRUE(fx.messages.shown.empty());
            EXPECT_EQ(window.upperTexts.back(), "100% - Sorting finished.");
        }
        if (c.pauseFirst) {
            EXPECT_GE(window.pausePollCount, window.pausePolls);
        }
        fx.editor.Undo();
        EXPECT_TRUE(fx.editor.document().sameCells(before)) << c.atText;
    }
}

// Steps that each take a while (the window's poll stands for them): events must
// still run by the clock, not by a count of points.
TEST(SortCommand, eventsRunByTheClockHoweverLongAStepTakes)
{
    using Clock = std::chrono::steady_clock;
    struct TimedProgress final : ProgressReporter {
        void setProgress(int, const std::string &) override {}
        void pumpEvents() override { pumps.push_back(Clock::now()); }
        std::vector<Clock::time_point> pumps;
    };
    struct SlowStepWindow final : ProgressWindow {
        void start(const std::string &, const std::string *) override {}
        void setUpperText(const std::string &) override {}
        void setLowerText(const std::string &) override {}
        bool isPaused() const override
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(4));
            return false;
        }
        Result result() const override { return r; }
        void setResult(Result v) override { r = v; }
        void hide() override {}
        void finish(const std::string &, bool) override {}
        void pause() override {}
        void resume() override {}
        Result r = Result::None;
    };
    test::ScriptedMessages messages;
    TimedProgress progress;
    test::FakeShell shell;
    test::FakeClipboard clipboard;
    test::RecordingView view;
    Editor editor(UiServices{messages, progress, shell, clipboard}, &view);
    loadDescending(editor, 300); // 59 points of at least 4 ms
    SlowStepWindow window;
    SortCommand command(editor, window); // the window's own pacing
    const Clock::time_point start = Clock::now();
    ASSERT_EQ(command.run(SortOptions{}), ResultOk);
    ASSERT_GE(progress.pumps.size(), 3u);
    auto longest = std::chrono::milliseconds(0);
    for (std::size_t k = 1; k < progress.pumps.size(); ++k)
        longest = std::max(longest, std::chrono::duration_cast<std::chrono::milliseconds>(progress.pumps[k] -
                                                                                          progress.pumps[k - 1]));
    // About every 25 ms; a count of 32 points would wait at least 128 ms.
    EXPECT_LT(longest.count(), 90) << "over " << (Clock::now() - start).count() / 1000000 << " ms";
    EXPECT_GE(progress.pumps.size(), 7u); // at least 236 ms of steps
}

// Fails like an exhausted heap at the given progress report.
class FailingProgress final : public ProgressReporter {
public:
    void setProgress(int, const std::string &text) override
    {
        if (text.rfind("20%", 0) == 0)
            throw std::bad_alloc();
    }
    void pumpEvents() override {}
};

TEST(SortCommand, anErrorIsReportedAndKeepsTheRowsMovedBeforeIt)
{
    test::ScriptedMessages messages;
    FailingProgress progress;
    test::FakeShell shell;
    test::FakeClipboard clipboard;
    test::RecordingView view;
    Editor editor(UiServices{messages, progress, shell, clipboard}, &view);
    loadDescending(editor, 50);
    const ListDocument before = editor.document();
    FakeProgressWindow window;
    SortCommand command(editor, window);
    command.setProgressInterval(std::chrono::milliseconds(0));

    EXPECT_EQ(command.run(SortOptions{}), ResultFailed);
    EXPECT_EQ(messages.exceptions.size(), 1u);
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Error sorting the grid."});
    EXPECT_EQ(messages.shown.at(0).kind, MessageKind::Error);
    EXPECT_EQ(window.upperText, "Sort error.");
    EXPECT_TRUE(window.okShown && !window.cancelShown && !window.pauseEnabled);
    EXPECT_EQ(window.result(), Result::Ok);
    EXPECT_TRUE(editor.document().sameCells(expectedAfter(before, SortOptions{}, 10)));
    editor.Undo();
    EXPECT_TRUE(editor.document().sameCells(before));
}

} // namespace
} // namespace quorvex
