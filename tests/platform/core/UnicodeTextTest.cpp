#include "platform/core/UnicodeText.h"

#include <gtest/gtest.h>

#include <string>

using namespace quorvex;

TEST(UnicodeText, validatesAsUtf8Does)
{
    struct Case {
        std::string bytes;
        bool valid;
    } cases[] = {
        {"", true},
        {"plain ASCII text, longer than eight bytes", true},
        {"Ji\xC5\x99\xC3\xAD Menzel", true},
        {"\xE4\xB8\x83\xE4\xBA\xBA\xE3\x81\xAE\xE4\xBE\x8D", true},
        {"\xF0\x9F\x8E\xAC", true},             // U+1F3AC, four bytes
        {"caf\xE9", false},                     // Windows-1252 e-acute
        {"\xC0\xAF", false},                    // overlong "/"
        {"\xED\xA0\x80", false},                // a surrogate
        {"abcdefgh\xE4\xB8", false},            // cut after a clean ASCII word
        {"\xF4\x90\x80\x80", false},            // beyond U+10FFFF
    };
    for (const Case &c : cases)
        EXPECT_EQ(UnicodeText::isValidUtf8(c.bytes), c.valid) << c.bytes;
}

TEST(UnicodeText, foldsCaseSimplyAndConvertsWithWindows1252)
{
    EXPECT_EQ(UnicodeText::foldCase("\xC5\x81\xC3\xB3" "D\xC5\xBA JI\xC5\x98\xC3\x8D \xCE\x95\xCE\xBB"),
              "\xC5\x82\xC3\xB3" "d\xC5\xBA ji\xC5\x99\xC3\xAD \xCE\xB5\xCE\xbb");
    // Simple folding keeps the length of a character's sequence: sharp s stays one letter.
    EXPECT_EQ(UnicodeText::foldCase("\xC3\x9F"), "\xC3\x9F");
    EXPECT_EQ(UnicodeText::foldCase(U'\u1E9E'), U'\u00DF');

    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    std::size_t replaced = 0;
    EXPECT_EQ(UnicodeText::toCp1252(UnicodeText::fromCp1252(all), replaced), all);
    EXPECT_EQ(replaced, 0u);
    EXPECT_EQ(UnicodeText::toCp1252("\xE4\xB8\x83 Toshir\xC5\x8D \xE2\x82\xAC", replaced), "? Toshir? \x80");
    EXPECT_EQ(replaced, 2u);
    EXPECT_EQ(UnicodeText::countCharacters("\xE4\xB8\x83\xC3\xA9x"), 3u);
}

TEST(UnicodeText, neverCutsInsideACharacter)
{
    const std::string text = "a\xC3\xA9\xE4\xB8\x83\xF0\x9F\x8E\xAC";
    const std::size_t starts[] = {0, 1, 1, 3, 3, 3, 6, 6, 6, 6, 10};
    for (std::size_t pos = 0; pos <= text.size(); ++pos) {
        EXPECT_EQ(UnicodeText::characterStart(text, pos), starts[pos]) << pos;
        EXPECT_EQ(UnicodeText::prefixWithin(text, pos).size(), starts[pos]) << pos;
    }
    // A stray continuation byte is a character of its own.
    EXPECT_EQ(UnicodeText::characterStart("a\x80\x80", 2), 2u);
}
