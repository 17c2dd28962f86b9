#include "FakeServices.h"
#include "TempFolder.h"
#include "platform/core/FileSystem.h"
#include "sort/core/SortSettings.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

using quorvex::FileSystem;
using quorvex::MessageAnswer;
using quorvex::MessageKind;
using quorvex::SortFlags;
using quorvex::SortSettings;
using quorvex::test::ScriptedMessages;
using quorvex::test::TempFolder;

namespace {

void writeRaw(const std::string &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace

TEST(SortSettings, readSetsOnlyTheValuesTheFileHolds)
{
    enum class Put { Nothing, Text, Folder, Pipe };
    struct Case {
        const char *name;
        Put put;
        std::string text;
        SortFlags before;
        SortSettings::ReadOutcome outcome;
        SortFlags after;
    };
    using O = SortSettings::ReadOutcome;
    const std::string bigPrefix(SortSettings::MaxFileBytes, ' ');
    const Case cases[] = {
        {"missing file keeps the boxes", Put::Nothing, "", {true, true}, O::Missing, {true, true}},
        {"as written", Put::Text, "1 0\r\n", {false, true}, O::Read, {true, false}},
        {"other way round", Put::Text, "0 1\r\n", {true, false}, O::Read, {false, true}},
        {"any non-zero, any white space", Put::Text, "\n\t 7\r\n\r\n -3", {}, O::Read, {true, true}},
        {"leading zeros and huge values", Put::Text, "000 99999999999999999999999", {true, false}, O::Read,
         {false, true}},
        {"one value keeps the second", Put::Text, "1", {false, true}, O::Partial, {true, true}},
        {"empty file keeps both", Put::Text, "", {true, false}, O::Partial, {true, false}},
        {"garbage keeps both", Put::Text, "yes no", {true, false}, O::Partial, {true, false}},
        {"no number glued to letters", Put::Text, "1x 1", {false, false}, O::Partial, {false, false}},
        {"a lone sign is no number", Put::Text, "1 -", {false, true}, O::Partial, {true, true}},
        {"reading stops at the size limit", Put::Text, bigPrefix + "1 1", {}, O::Partial, {}},
        {"folder in its place", Put::Folder, "", {true, true}, O::Unreadable, {true, true}},
        {"pipe in its place is not waited on", Put::Pipe, "", {true, true}, O::Unreadable, {true, true}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        const std::string path = folder.file("sort.mtr");
        if (c.put == Put::Text)
            writeRaw(path, c.text);
        else if (c.put == Put::Folder)
            FileSystem::createFolder(path);
        else if (c.put == Put::Pipe) {
            ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
        }
        ScriptedMessages messages;
        SortFlags flags = c.before;
        EXPECT_EQ(SortSettings::read(path, flags, messages), c.outcome);
        EXPECT_EQ(flags, c.after);
        if (c.outcome == O::Unreadable)
            EXPECT_EQ(messages.texts(), std::vector<std::string>{SortSettings::OpenFailedMessage});
        else
            EXPECT_TRUE(messages.shown.empty());
    }
}

TEST(SortSettings, writeAsksBeforeReplacingReadOnlyFileAndReportsEachFailureOnce)
{
    enum class Start { None, Plain, ReadOnly, NoFolder };
    struct Case {
        const char *name;
        Start start;
        std::vector<MessageAnswer> answers;
        bool written;
        std::vector<std::pair<MessageKind, std::string>> boxes;
    };
    const Case cases[] = {
        {"new file", Start::None, {}, true, {}},
        {"existing file replaced", Start::Plain, {}, true, {}},
        {"read-only, Yes makes it writable",
         Start::ReadOnly,
         {MessageAnswer::Yes},
         true,
         {{MessageKind::Confirmation, SortSettings::ReadOnlyQuestion}}},
        {"read-only, No keeps it and says so once",
         Start::ReadOnly,
         {MessageAnswer::No},
         false,
         {{MessageKind::Confirmation, SortSettings::ReadOnlyQuestion},
          {MessageKind::Information, SortSettings::NotSavedMessage}}},
        {"missing folder", Start::NoFolder, {}, false, {{MessageKind::Error, SortSettings::SaveFailedMessage}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        std::string path = folder.file("sort.mtr");
        if (c.start == Start::NoFolder)
            path = folder.file("gone/sort.mtr");
        if (c.start == Start::Plain || c.start == Start::ReadOnly)
            writeRaw(path, "0 1\r\n");
        if (c.start == Start::ReadOnly) {
            ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
        }
        ScriptedMessages messages;
        messages.answers.assign(c.answers.begin(), c.answers.end());

        EXPECT_EQ(SortSettings::write(path, SortFlags{true, false}, messages), c.written);

        std::vector<std::pair<MessageKind, std::string>> boxes;
        for (const auto &shown : messages.shown)
            boxes.emplace_back(shown.kind, shown.text);
        EXPECT_EQ(boxes, c.boxes);
        const auto content = FileSystem::readFile(path);
        if (c.written) {
            EXPECT_EQ(content.value_or(""), "1 0\r\n");
            EXPECT_FALSE(FileSystem::isReadOnly(path));
        } else if (c.start == Start::ReadOnly) {
            EXPECT_EQ(content.value_or(""), "0 1\r\n");
            EXPECT_TRUE(FileSystem::isReadOnly(path));
        } else {
            EXPECT_FALSE(content.has_value());
        }
        // No temporary file is left beside the settings file.
        const auto names = FileSystem::listFolder(folder.path());
        EXPECT_LE(names ? names->size() : 0u, 1u);
    }
}
