#include "FakeServices.h"
#include "document/core/Editor.h"
#include "search/core/GridSearch.h"
#include "search/core/QuickSearch.h"
#include "search/core/TextMatcher.h"

#include <gtest/gtest.h>

namespace quorvex {
namespace {

using test::EditorFixture;
constexpr auto W = TextEncoding::Windows1252;
constexpr auto U = TextEncoding::Utf8;
constexpr std::size_t None = TextMatcher::npos;

TEST(TextMatcher, unicodeListsFoldEveryCaseWindows1252ListsOnlyAsciiLetters)
{
    const struct {
        const char *name;
        TextEncoding encoding;
        std::string needle, text;
        std::size_t from, at, length;
    } cases[] = {
        {"1252 lowers A..Z", W, "THE", "in the end", 0, 3, 3},
        {"1252 keeps accented capitals apart", W, "\xC9t\xE9", "\xE9t\xE9", 0, None, 3},
        {"1252 reads bytes, not characters", W, "\xC5\x99", "Ji\xC5\x99\xC3\xAD", 0, 2, 2},
        {"Czech capitals find small letters", U, "JI\u0158\u00CD", "Ji\u0159\u00ED Menzel", 0, 0, 6},
        {"Polish", U, "\u0142\u00F3d\u017A", "\u0141\u00D3D\u0179 Story", 0, 0, 7},
        {"Greek accented letters are letters of their own", U, "\u0395\u039B\u0395\u039D\u0397",
         "\u0395\u03BB\u03AD\u03BD\u03B7", 0, None, 10},
        {"Greek", U, "\u03BB\u0388\u039D", "\u0395\u03BB\u03AD\u03BD\u03B7", 0, 2, 6},
        {"Japanese has no case and is found as it is", U, "\u306E\u4F8D", "\u4E03\u4EBA\u306E\u4F8D", 0, 6, 6},
        {"macron", U, "TOSHIR\u014C", "Toshir\u014D Mifune", 0, 0, 8},
        {"Kelvin sign is a k", U, "k", "\u212A", 0, 0, 3},
        {"and k finds the Kelvin sign's text", U, "\u212Aelvin", "kELVIN", 0, 0, 6},
        {"a shorter capital", U, "\u2C65", "x\u023A", 0, 1, 2},
        {"search goes on from a position", U, "\u00E9", "\u00C9t\u00E9", 1, 3, 2},
        {"overlapping candidates", U, "\u00E9\u00E9x", "\u00C9\u00E9\u00E9x", 0, 2, 5},
        {"final sigma folds to sigma", U, "\u03A3", "x\u03C2", 0, 1, 2},
        {"no character is split", U, "\xA9", "\u00A9", 0, None, 1},
        {"a stray byte matches only itself", U, "a\xFF", "a\xFE a\xFF", 0, 3, 2},
        {"empty needle", U, "", "abc", 0, None, 0},
        {"a start past the text", U, "a", "a", 2, None, 0},
    };
    for (const auto &tc : cases) {
        SCOPED_TRACE(tc.name);
        const TextMatcher m(tc.needle, tc.encoding);
        std::size_t length = 0;
        const std::size_t at = m.findIn(tc.text, tc.from, length);
        EXPECT_EQ(at, tc.at);
        if (at != None) {
            EXPECT_EQ(length, tc.length);
            EXPECT_EQ(m.equals(tc.text), tc.from == 0 && at == 0 && length == tc.text.size());
            EXPECT_LE(m.minTextSize(), length);
        }
    }
}

TEST(GridSearch, unicodeListFindsReplacesAndQuickSearchesFoldedText)
{
    EditorFixture f;
    ListDocument &doc = f.editor.document();
    doc = ListDocument(3, 4);
    const char *const titles[] = {"\u4E03\u4EBA\u306E\u4F8D", "Ji\u0159\u00ED Menzel", "\u0141\u00F3d\u017A Story"};
    for (int r = 1; r <= 3; ++r) {
        doc.SetCell(1, r, std::to_string(r));
        doc.SetCell(2, r, titles[r - 1]);
    }
    doc.setTextEncoding(U);
    f.editor.undoHistory().reset(doc);
    f.editor.cellSelected(1, 1);

    GridSearch search(f.editor);
    search.textToFind = "JI\u0158\u00CD";
    search.FindFirst();
    ASSERT_TRUE(search.found());
    EXPECT_EQ(doc.Col(), 2);
    EXPECT_EQ(doc.Row(), 2);
    EXPECT_EQ(search.matchStart(), 1);
    EXPECT_EQ(search.matchEnd(), 6);

    // The hit is the cell's own bytes, whatever the needle's length.
    search.textToFind = "\u0142\u00D3D\u0179";
    search.replaceWith = "Lodz";
    search.options.prompt = false;
    doc.SetCurrentCell(1, 1);
    EXPECT_EQ(search.ReplaceAll(), 1);
    EXPECT_EQ(doc.GetCell(2, 3), "Lodz Story");

    // Replace All covering hits of differing byte lengths in one cell.
    doc.SetCell(2, 1, "\u212A k K");
    search.textToFind = "k";
    search.replaceWith = "\u00E9";
    doc.SetCurrentCell(1, 1);
    EXPECT_EQ(search.ReplaceAll(), 3);
    EXPECT_EQ(doc.GetCell(2, 1), "\u00E9 \u00E9 \u00E9");

    EXPECT_EQ(QuickSearch::findRow(doc, 2, "MENZEL"), 2);
    EXPECT_EQ(QuickSearch::findRow(doc, 2, "\u00C9"), 1);

    // The same bytes in a Windows-1252 list are matched as they always were.
    doc.setTextEncoding(W);
    EXPECT_EQ(QuickSearch::findRow(doc, 2, "JI\u0158\u00CD"), 0);
    EXPECT_EQ(QuickSearch::findRow(doc, 2, "ji\u0159\u00ED"), 2);
}

} // namespace
} // namespace quorvex
