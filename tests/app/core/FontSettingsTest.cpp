#include "FakeServices.h"
#include "TempFolder.h"
#include "platform/core/FileSystem.h"
#include "app/core/FontSettings.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using quorvex::FileSystem;
using quorvex::FontFile;
using quorvex::FontSettings;
using quorvex::FontChoice;
using quorvex::MessageAnswer;
using quorvex::test::EditorFixture;
using quorvex::test::TempFolder;

namespace {

FontChoice boldItalicRed()
{
    FontChoice f;
    f.color = 255;
    f.size = 12;
    f.name = "Liberation Sans"; // 15 characters
    f.bold = true;
    f.italic = true;
    return f;
}

struct FontFixture : EditorFixture {
    FontFixture() { editor.paths().programFolder = folder.path(); }
    TempFolder folder;
    std::string gridFile() const { return folder.file("GridFont.mtr"); }
};

} // namespace

TEST(FontFile, writesFiveLinesAndReadsThemBack)
{
    const std::string text = FontSettings::format(boldItalicRed());
    EXPECT_EQ(text, "255\n12\n15 Liberation Sans\n0\n1 1 0 0\n");
    EXPECT_EQ(FontSettings::parse(text), boldItalicRed());
}

TEST(FontFile, readerTakesFractionsCrLfNegativeColoursAndLongNames)
{
    auto f = FontSettings::parse("-2147483640.9\r\n10\r\n5 Arial\r\n2\r\n0 0 1 1\r\n");
    ASSERT_TRUE(f);
    EXPECT_EQ(f->color, -2147483640);
    EXPECT_EQ(f->size, 10);
    EXPECT_EQ(f->name, "Arial");
    EXPECT_EQ(f->pitch, 2);
    EXPECT_TRUE(f->underline && f->strikeout && !f->bold);

    FontChoice wide;
    wide.name = std::string(1200, 'n');
    f = FontSettings::parse(FontSettings::format(wide));
    ASSERT_TRUE(f);
    EXPECT_EQ(f->name.size(), 999u);

    f = FontSettings::parse("7\n9\n3 Ab\n0\n2 1 0 0\n");
    ASSERT_TRUE(f);
    EXPECT_EQ(f->name, "Ab") << "a length beyond the line takes what is there";
    EXPECT_FALSE(f->bold) << "only 1 sets a style";
    EXPECT_TRUE(f->italic);
}

TEST(FontFile, damagedTextsAreRejected)
{
    EXPECT_FALSE(FontSettings::parse(""));
    EXPECT_FALSE(FontSettings::parse("255\n12\n5 Arial\n0\n"));
    EXPECT_FALSE(FontSettings::parse("red\n12\n5 Arial\n0\n0 0 0 0\n"));
    EXPECT_FALSE(FontSettings::parse("0\n0\n5 Arial\n0\n0 0 0 0\n"));
    EXPECT_FALSE(FontSettings::parse("0\n99999999\n5 Arial\n0\n0 0 0 0\n"));
    EXPECT_FALSE(FontSettings::parse("0\n9\n5 Arial\n0\n0 0 0\n"));
}

TEST(RowHeight, followsTheFactorTable)
{
    EXPECT_EQ(FontSettings::rowHeightFor(8), 16);
    EXPECT_EQ(FontSettings::rowHeightFor(9), 17);
    EXPECT_EQ(FontSettings::rowHeightFor(10), 19);
    EXPECT_EQ(FontSettings::rowHeightFor(11), 20);
    EXPECT_EQ(FontSettings::rowHeightFor(12), 22);
    EXPECT_EQ(FontSettings::rowHeightFor(14), 26);
    EXPECT_EQ(FontSettings::rowHeightFor(15), 27);
    EXPECT_EQ(FontSettings::rowHeightFor(16), 28);
    EXPECT_DOUBLE_EQ(FontSettings::rowHeightFactor(9), 1.97);
}

TEST(RowHeight, setFromTheGridFontResetsThePrintScale)
{
    EditorFixture f;
    f.editor.printScale.footerMargin = 80;
    f.editor.printScale.fontScale = 3.5;
    f.editor.gridFont.size = 16;
    FontSettings::SetRowHeightFromFont(f.editor);
    EXPECT_EQ(f.editor.document().RowHeight(), 28);
    EXPECT_DOUBLE_EQ(f.editor.rowHeightFactor, 1.8);
    EXPECT_EQ(f.editor.printScale, quorvex::PrintScale());
    EXPECT_EQ(f.editor.printScale.footerMargin, 35);
    EXPECT_DOUBLE_EQ(f.editor.printScale.columnScale, 1.96);
}

TEST(GridFont, savedFontLoadsAtTheNextStartWithItsRowHeight)
{
    FontFixture f;
    f.editor.gridFont = boldItalicRed();
    EXPECT_EQ(FontSettings::SaveGridFont(f.editor), quorvex::ResultOk);
    EXPECT_EQ(f.messages.texts().back(), "Font settings saved.");
    EXPECT_EQ(FileSystem::readFile(f.gridFile()), FontSettings::format(boldItalicRed()));

    FontFixture next;
    next.editor.paths().programFolder = f.folder.path();
    EXPECT_EQ(FontSettings::LoadGridFont(next.editor), quorvex::ResultOk);
    EXPECT_EQ(next.editor.gridFont, boldItalicRed());
    EXPECT_EQ(next.editor.document().RowHeight(), 22);
}

TEST(GridFont, missingFileKeepsTheDesignFontSilently)
{
    FontFixture f;
    EXPECT_EQ(FontSettings::LoadGridFont(f.editor), quorvex::ResultSkipped);
    EXPECT_EQ(f.editor.gridFont, FontChoice());
    EXPECT_TRUE(f.messages.shown.empty());
}

TEST(GridFont, damagedFileIsReportedAndTheFontStays)
{
    FontFixture f;
    ASSERT_TRUE(FileSystem::writeFileAtomic(f.gridFile(), "garbage"));
    EXPECT_EQ(FontSettings::LoadGridFont(f.editor), quorvex::ResultFailed);
    EXPECT_EQ(f.messages.texts(), std::vector<std::string>{"Error loading the grid font settings file."});
    EXPECT_EQ(f.editor.gridFont, FontChoice());

    FontChoice view;
    ASSERT_TRUE(FileSystem::writeFileAtomic(f.folder.file("ViewFont.mtr"), "1\n"));
    EXPECT_EQ(FontSettings::LoadViewFont(f.editor, view), quorvex::ResultFailed);
    EXPECT_EQ(f.messages.texts().back(), "Error loading the font settings file.");
}

TEST(GridFont, readOnlyFileAsksAndNoLeavesItUntouched)
{
    FontFixture f;
    ASSERT_TRUE(FileSystem::writeFileAtomic(f.gridFile(), "old"));
    ASSERT_EQ(::chmod(f.gridFile().c_str(), 0444), 0);
    f.messages.answers.push_back(MessageAnswer::No);
    EXPECT_EQ(FontSettings::SaveGridFont(f.editor), quorvex::ResultSkipped);
    EXPECT_EQ(f.messages.texts(),
              (std::vector<std::string>{
                  "The font settings file is read-only. Do you want Quorvex.exe to make this file write able?",
                  "Font settings NOT saved."}));
    EXPECT_EQ(FileSystem::readFile(f.gridFile()), std::string("old"));

    f.messages.shown.clear();
    EXPECT_EQ(FontSettings::SaveGridFont(f.editor), quorvex::ResultOk) << "Yes makes it writable";
    EXPECT_EQ(f.messages.texts().back(), "Font settings saved.");
    EXPECT_FALSE(FileSystem::isReadOnly(f.gridFile()));
}

TEST(GridFont, unwritableFolderReportsTheFailure)
{
    FontFixture f;
    f.editor.paths().programFolder = f.folder.path() + "missing/";
    EXPECT_EQ(FontSettings::SaveGridFont(f.editor), quorvex::ResultFailed);
    EXPECT_EQ(f.messages.texts().back(),
              "Font settings were not saved. Please make sure the disk is not write protected.");
}

TEST(GridFont, chosenFontSetsTheRowHeightAndRefreshesTheStatusBar)
{
    EditorFixture f;
    FontChoice big;
    big.size = 15;
    const int refreshes = f.view.statusRefreshes;
    int rowHeightSeen = 0;
    FontSettings::gridFontChosen(f.editor, big, [&] {
        rowHeightSeen = f.editor.document().RowHeight();
        EXPECT_EQ(f.view.statusRefreshes, refreshes) << "the status bar comes after the new entries per page";
    });
    EXPECT_EQ(rowHeightSeen, 27);
    EXPECT_EQ(f.editor.document().RowHeight(), 27);
    EXPECT_GT(f.view.statusRefreshes, refreshes);
}

TEST(GridFont, hugeOrSpecialFilesAreReadOnlyAsFarAsTheFontNeeds)
{
    FontFixture f;
    // Trailing junk after the five lines does not matter, however long.
    std::string text = FontSettings::format(boldItalicRed()) + std::string(8 * 1024 * 1024, 'x');
    ASSERT_TRUE(FileSystem::writeFileAtomic(f.gridFile(), text));
    EXPECT_EQ(FontSettings::LoadGridFont(f.editor), quorvex::ResultOk);
    EXPECT_EQ(f.editor.gridFont, boldItalicRed());

    // A name line far beyond any font name is a damaged file, not a giant read.
    text = "0\n9\n" + std::to_string(4 * 1024 * 1024) + " " + std::string(4 * 1024 * 1024, 'n') + "\n0\n0 0 0 0\n";
    ASSERT_TRUE(FileSystem::writeFileAtomic(f.gridFile(), text));
    EXPECT_EQ(FontSettings::LoadGridFont(f.editor), quorvex::ResultFailed);
    EXPECT_EQ(f.editor.gridFont, boldItalicRed());

    // A pipe in the file's place is reported at once instead of waiting for a writer.
    ASSERT_TRUE(FileSystem::removeFile(f.gridFile()));
    ASSERT_EQ(::mkfifo(f.gridFile().c_str(), 0644), 0);
    f.messages.shown.clear();
    EXPECT_EQ(FontSettings::LoadGridFont(f.editor), quorvex::ResultFailed);
    EXPECT_EQ(f.messages.texts(), std::vector<std::string>{"Error loading the grid font settings file."});
}

TEST(FontFile, readerSkipsWhiteSpaceBeforeEveryNumber)
{
    // Blank lines and values sharing a line are white space to the reader.
    auto f = FontSettings::parse("\n  255\n\n12 15 Liberation Sans\n 0\n1\n1 0\n0");
    ASSERT_TRUE(f);
    EXPECT_EQ(*f, boldItalicRed());

    // An empty name keeps the following lines in place.
    FontChoice unnamed = boldItalicRed();
    unnamed.name.clear();
    EXPECT_EQ(FontSettings::parse(FontSettings::format(unnamed)), unnamed);
    f = FontSettings::parse("255\n12\n0\n0\n1 1 0 0\n");
    ASSERT_TRUE(f);
    EXPECT_EQ(*f, unnamed);

    // A name shorter than its line ends at its length; the rest of the line is no value.
    f = FontSettings::parse("255\n12\n3 Liberation 7\n2\n0 0 0 0\n");
    ASSERT_TRUE(f);
    EXPECT_EQ(f->name, "Lib");
    EXPECT_EQ(f->pitch, 2);
}
