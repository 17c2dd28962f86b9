#include "FakeServices.h"
#include "document/core/ClipboardCommands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorvex {
namespace {

using test::EditorFixture;

std::string rows(const ListDocument &doc)
{
    std::string s;
    for (int r = 1; r < doc.RowCount(); ++r) {
        for (int c = 1; c < doc.ColCount(); ++c)
            s += doc.GetCell(c, r) + (c + 1 < doc.ColCount() ? "|" : "");
        s += "/";
    }
    return s;
}

// A clipboard that only knows the Windows-1252 text, as other desktops' services may.
class Cp1252OnlyClipboard final : public ClipboardService {
public:
    bool hasText() const override { return !content.empty(); }
    std::string text() const override { return content; }
    void setText(const std::string &text) override { content = text; }
    std::string content;
};

TEST(ClipboardPaste, unicodeListTakesWholeCharactersAndWindows1252ListsTakeBytes)
{
    const struct {
        const char *name;
        TextEncoding encoding;
        std::string pasted, expected;
    } cases[] = {
        {"tabs and CR LF", TextEncoding::Utf8, "\u4E03\u4EBA\t\u00C9\r\n\u0141\u00F3d\u017A\t\u0395\r\n",
         "\u4E03\u4EBA|\u00C9/\u0141\u00F3d\u017A|\u0395/"},
        {"a lone CR takes the whole character after it", TextEncoding::Utf8, "a\r\u0141x\r\n",
         "a|/x|/"},
        {"a lone CR before a three-byte character", TextEncoding::Utf8, "\u4E03\r\u4EBA\u306E\tz",
         "\u4E03|/\u306E|z/"},
        {"a lone CR at the end before a character", TextEncoding::Utf8, "a\tb\r\u00E9", "a|b/|/"},
        {"Windows-1252 still takes the one byte after a CR", TextEncoding::Windows1252, "a\r\xE9x\r\n", "a|/x|/"},
    };
    for (const auto &tc : cases) {
        SCOPED_TRACE(tc.name);
        EditorFixture f;
        ListDocument &doc = f.editor.document();
        doc = ListDocument(3, 2);
        doc.setTextEncoding(tc.encoding);
        f.editor.undoHistory().reset(doc);
        doc.SetCurrentCell(1, 1);
        f.clipboard.content = tc.pasted;
        ClipboardCommands commands(f.editor);
        ASSERT_EQ(commands.Paste(), ResultOk);
        EXPECT_EQ(rows(doc), tc.expected);
        // What is copied back is the list's own bytes.
        ASSERT_EQ(commands.CopyCellsToClipboard(1, 1, 1, 1), ResultOk);
        EXPECT_EQ(f.clipboard.content, doc.GetCell(1, 1) + "\r\n");
    }

    // A service that holds only Windows-1252 text still gives a Unicode list
    // every character it can hold, and a Windows-1252 list its bytes.
    Cp1252OnlyClipboard plain;
    ClipboardService &service = plain;
    service.setListText("\u00C9t\u00E9 \u4E03", TextEncoding::Utf8);
    EXPECT_EQ(plain.content, "\xC9t\xE9 ?");
    EXPECT_EQ(service.listText(TextEncoding::Utf8), "\u00C9t\u00E9 ?");
    EXPECT_EQ(service.listText(TextEncoding::Windows1252), "\xC9t\xE9 ?");
}

} // namespace
} // namespace quorvex
