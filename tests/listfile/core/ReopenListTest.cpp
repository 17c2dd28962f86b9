#include "FakeServices.h"
#include "TempFolder.h"
#include "platform/core/FileSystem.h"
#include "listfile/core/ReopenList.h"

#include <gtest/gtest.h>
#include <set>
#include <sys/stat.h>

using quorvex::FileSystem;
using quorvex::MessageAnswer;
using quorvex::ReopenList;
using quorvex::test::ScriptedMessages;
using quorvex::test::TempFolder;

namespace {

std::vector<std::string> shown(const ReopenList &list)
{
    std::vector<std::string> v;
    for (int i = 0; i < ReopenList::MaxEntries; ++i)
        if (list.visible(i))
            v.push_back(list.caption(i));
    return v;
}

ReopenList::FileExists existing(std::set<std::string> files)
{
    return [files](const std::string &p) { return files.count(p) > 0; };
}

} // namespace

TEST(ReopenList, sixOpensKeepTheFiveNewestNewestFirst)
{
    ReopenList list;
    EXPECT_FALSE(list.menuEnabled());
    for (int i = 1; i <= 6; ++i)
        list.AddToReopenMenu("/lists/" + std::to_string(i) + ".lst", true);
    EXPECT_EQ(list.count(), 5);
    EXPECT_TRUE(list.menuEnabled());
    EXPECT_EQ(shown(list),
              (std::vector<std::string>{"/lists/6.lst", "/lists/5.lst", "/lists/4.lst", "/lists/3.lst", "/lists/2.lst"}));
    EXPECT_EQ(list.pathOf(1), "/lists/6.lst");
}

TEST(ReopenList, knownPathKeepsItsPlaceAndTemplateLoadsAreNotAdded)
{
    ReopenList list;
    list.AddToReopenMenu("/a.lst", true);
    list.AddToReopenMenu("/b.lst", true);
    list.AddToReopenMenu("/a.lst", true);
    list.AddToReopenMenu("/A.lst", true); // case-sensitive: another path
    list.AddToReopenMenu("/Templates/DVD.lst", false);
    EXPECT_EQ(shown(list), (std::vector<std::string>{"/A.lst", "/b.lst", "/a.lst"}));
    EXPECT_EQ(list.count(), 3);
    EXPECT_EQ(list.pathOf(4), "");
}

TEST(ReopenList, clearAsksAndEmptiesOnlyOnYes)
{
    ReopenList list;
    list.AddToReopenMenu("/a.lst", true);
    ScriptedMessages messages;
    messages.answers = {MessageAnswer::No};
    EXPECT_FALSE(list.ClearReopenMenu(messages));
    EXPECT_EQ(list.count(), 1);
    EXPECT_TRUE(list.ClearReopenMenu(messages));
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].text, "Clear reopen history?");
    EXPECT_EQ(list.count(), 0);
    EXPECT_FALSE(list.menuEnabled());
    EXPECT_TRUE(shown(list).empty());
    EXPECT_EQ(list.caption(0), "");
}

TEST(ReopenList, fileHasCountThenFiveLengthPrefixedCaptions)
{
    ReopenList list;
    list.AddToReopenMenu("/home/u/My Films.lstd", true);
    list.AddToReopenMenu("/x.lst", true);
    EXPECT_EQ(list.serialize(), "2\n6 /x.lst\n21 /home/u/My Films.lstd\n0 \n0 \n0 \n");

    TempFolder folder;
    ScriptedMessages messages;
    ASSERT_TRUE(list.WriteReopenFile(folder.file("Reopen.mtr"), messages));
    ReopenList back;
    back.ReadReopenFile(folder.file("Reopen.mtr"), existing({"/x.lst", "/home/u/My Films.lstd"}));
    EXPECT_EQ(shown(back), shown(list));
    EXPECT_EQ(back.count(), 2);
}

TEST(ReopenList, readingDropsMissingFilesAndMovesTheRestUp)
{
    ReopenList list;
    list.parse("3\n2 /a\n2 /b\n2 /c\n0 \n0 \n");
    EXPECT_EQ(list.count(), 3);
    TempFolder folder;
    ASSERT_TRUE(FileSystem::writeFileAtomic(folder.file("Reopen.mtr"), list.serialize()));

    ReopenList read;
    read.ReadReopenFile(folder.file("Reopen.mtr"), existing({"/a", "/c"}));
    EXPECT_EQ(shown(read), (std::vector<std::string>{"/a", "/c"}));
    EXPECT_EQ(read.count(), 2);

    ReopenList none;
    none.ReadReopenFile(folder.file("Reopen.mtr"), existing({}));
    EXPECT_EQ(none.count(), 0);
    EXPECT_FALSE(none.menuEnabled());

    ReopenList fromDisk; // the default test looks at the real files
    ASSERT_TRUE(FileSystem::writeFileAtomic(folder.file("one.lst"), "x"));
    ASSERT_TRUE(FileSystem::writeFileAtomic(
        folder.file("Reopen.mtr"), "2\n" + std::to_string(folder.file("one.lst").size()) + " " +
                                       folder.file("one.lst") + "\n" + std::to_string(folder.path().size()) + " " +
                                       folder.path() + "\n0 \n0 \n0 \n"));
    fromDisk.ReadReopenFile(folder.file("Reopen.mtr"));
    EXPECT_EQ(shown(fromDisk), (std::vector<std::string>{folder.file("one.lst")}));
}

TEST(ReopenList, allMissingButTheLastStillEndsContiguous)
{
    ReopenList list;
    list.parse("5\n1 1\n1 2\n1 3\n1 4\n1 5\n");
    TempFolder folder;
    ASSERT_TRUE(FileSystem::writeFileAtomic(folder.file("Reopen.mtr"), list.serialize()));
    list.ReadReopenFile(folder.file("Reopen.mtr"), existing({"2", "5"}));
    EXPECT_EQ(shown(list), (std::vector<std::string>{"2", "5"}));
    EXPECT_EQ(list.count(), 2);
}

TEST(ReopenList, damagedFilesKeepWhatWasReadAndNeverOverrun)
{
    ReopenList list;
    list.parse("  9\n3 abc\n999 short");
    EXPECT_EQ(list.count(), 5);
    EXPECT_EQ(list.caption(0), "abc");
    EXPECT_EQ(list.caption(1), "short");
    EXPECT_EQ(list.caption(2), "");

    list.parse("-4\n1 a\nx");
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.caption(0), "a");

    list.parse("garbage");
    EXPECT_EQ(list.count(), 0);
    list.parse("2\n-1 ab\n");
    EXPECT_EQ(list.caption(0), "");

    // Captions read with CR LF line ends and a caption holding a line break.
    list.parse("1\r\n5 a\nb.l\r\n0 \r\n");
    EXPECT_EQ(list.caption(0), "a\nb.l");
    EXPECT_EQ(list.caption(1), "");

    const std::string longCaption(12000, 'x');
    list.parse("1\n12000 " + longCaption + "\n2 /b\n");
    EXPECT_EQ(list.caption(0).size(), ReopenList::MaxCaptionLength);
    EXPECT_EQ(list.caption(1), "/b");
}

TEST(ReopenList, unwritableFileShowsTheErrorAndKeepsTheOldFile)
{
    TempFolder folder;
    ReopenList list;
    list.AddToReopenMenu("/a.lst", true);
    ScriptedMessages messages;
    EXPECT_FALSE(list.WriteReopenFile(folder.file("missing/Reopen.mtr"), messages));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Unable to save the Reopen menu to disk.");
    EXPECT_EQ(messages.shown[0].kind, quorvex::MessageKind::Error);

    const std::string path = folder.file("Reopen.mtr");
    ASSERT_TRUE(FileSystem::writeFileAtomic(path, "0\n"));
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    EXPECT_FALSE(list.WriteReopenFile(path, messages));
    EXPECT_EQ(FileSystem::readFile(path).value_or(""), "0\n");
}
