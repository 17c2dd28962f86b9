#include "FakeServices.h"
#include "TempFolder.h"
#include "appearance/core/SettingsFile.h"
#include "platform/core/FileSystem.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace quorvex;
using quorvex::test::ScriptedMessages;
using quorvex::test::TempFolder;

namespace {

constexpr std::uint32_t ButtonFace = 240 + 240 * 256 + 240 * 65536;

StoredSettings exampleDefaults()
{
    return StoredSettings::defaults(ButtonFace, "C:\\Q\\Database\\");
}

const std::string ExampleFile = "5 15790320 2 0 1 14811135 2 0 17 16777215 2 0 4 12615712 17 16777215 4 none 4 none "
                                "4 none 1 2 0 15 12632256\r\n2 1 14 C:\\Q\\Database\\\r\n";

} // namespace

TEST(SettingsFile, defaultsAreWrittenByteExactAndCustomValuesRoundTrip)
{
    EXPECT_EQ(SettingsFile::format(exampleDefaults()), ExampleFile);

    const SettingsReadResult back = SettingsFile::parse(ExampleFile, StoredSettings::defaults(0, "/other/"));
    EXPECT_FALSE(back.damaged);
    EXPECT_EQ(back.values, exampleDefaults());

    StoredSettings custom = exampleDefaults();
    custom.colours[StoredSettings::Fixed] = {19, 10 + 20 * 256 + 30 * 65536};
    custom.oddBackground = "My Clouds.jpg";
    custom.evenBackground = "";
    custom.fixedBackground = "  lead and trail  ";
    custom.lineWidth = -4;
    custom.quickSearchColumn = 99999999;
    custom.showSplash = false;
    custom.databaseFolder = "/home/ann/Media Store/Database/";
    const std::string text = SettingsFile::format(custom);
    EXPECT_NE(text.find(" 13 My Clouds.jpg "), std::string::npos);
    EXPECT_EQ(text.find("19 1971210 "), 0u);
    const SettingsReadResult read = SettingsFile::parse(text, exampleDefaults());
    EXPECT_FALSE(read.damaged);
    EXPECT_EQ(read.values, custom);

    // Any white space between numbers is accepted, as a hand-edited file may have.
    std::string loose = ExampleFile;
    for (char &c : loose)
        if (c == ' ' && &c < &loose[20])
            c = '\t';
    EXPECT_FALSE(SettingsFile::parse(loose, exampleDefaults()).damaged);
}

TEST(SettingsFile, damagedFieldsKeepTheirDefaults)
{
    using F = SettingsField;
    const StoredSettings d = StoredSettings::defaults(ButtonFace, "/db/");
    auto replaced = [](const std::string &from, const std::string &to) {
        std::string s = ExampleFile;
        s.replace(s.find(from), from.size(), to);
        return s;
    };
    struct Case {
        const char *what;
        std::string bytes;
        std::vector<F> bad; // fields expected to keep their defaults
    } cases[] = {
        {"entry out of range", replaced("5 15790320", "20 15790320"), {F::ColourFirst}},
        {"negative entry", replaced("5 15790320", "-1 15790320"), {F::ColourFirst}},
        {"colour beyond 24 bits", replaced("17 16777215 2 0 4", "17 16777216 2 0 4"), {static_cast<F>(4)}},
        {"line width too large", replaced("none 1 2 0", "none 20000 2 0"), {F::LineWidth}},
        {"line width too small", replaced("none 1 2 0", "none -5 2 0"), {F::LineWidth}},
        {"quick-search column 0", replaced("\n2 1", "\n0 1"), {F::QuickSearchColumn}},
        {"quick-search column too large", replaced("\n2 1", "\n100000000 1"), {F::QuickSearchColumn}},
        {"splash flag 2", replaced("\n2 1", "\n2 2"), {F::ShowSplash}},
        {"huge number", replaced("\n2 1", "\n2 99999999999999999999999999"),
         {F::ShowSplash, F::DatabaseFolder}},
        {"text length past the end", replaced("14 C:", "999999999 C:"), {F::DatabaseFolder}},
        {"negative text length", replaced("4 none 1 2", "-4 none 1 2"),
         {F::EvenBackground, F::LineWidth, static_cast<F>(8), static_cast<F>(9), F::QuickSearchColumn,
          F::ShowSplash, F::DatabaseFolder}},
        {"text where a number belongs", replaced("\n2 1", "\nx 1"),
         {F::QuickSearchColumn, F::ShowSplash, F::DatabaseFolder}},
        {"file ends early", ExampleFile.substr(0, 42),
         {static_cast<F>(5), static_cast<F>(6), static_cast<F>(7), F::FixedBackground, F::OddBackground, F::EvenBackground,
          F::LineWidth, static_cast<F>(8), static_cast<F>(9), F::QuickSearchColumn, F::ShowSplash,
          F::DatabaseFolder}},
    };
    for (const Case &c : cases) {
        const SettingsReadResult r = SettingsFile::parse(c.bytes, d);
        EXPECT_TRUE(r.damaged) << c.what;
        for (int i = 0; i < static_cast<int>(F::Count); ++i) {
            const F field = static_cast<F>(i);
            const bool expectBad = std::find(c.bad.begin(), c.bad.end(), field) != c.bad.end();
            EXPECT_EQ(r.isValid(field), !expectBad) << c.what << " field " << i;
        }
        // Every rejected field still holds its default.
        StoredSettings expected = SettingsFile::parse(ExampleFile, d).values;
        for (F field : c.bad) {
            const int i = static_cast<int>(field);
            if (i < StoredSettings::ColourCount)
                expected.colours[i] = d.colours[i];
        }
        if (!r.isValid(F::FixedBackground)) expected.fixedBackground = d.fixedBackground;
        if (!r.isValid(F::OddBackground)) expected.oddBackground = d.oddBackground;
        if (!r.isValid(F::EvenBackground)) expected.evenBackground = d.evenBackground;
        if (!r.isValid(F::LineWidth)) expected.lineWidth = d.lineWidth;
        if (!r.isValid(F::QuickSearchColumn)) expected.quickSearchColumn = d.quickSearchColumn;
        if (!r.isValid(F::ShowSplash)) expected.showSplash = d.showSplash;
        if (!r.isValid(F::DatabaseFolder)) expected.databaseFolder = d.databaseFolder;
        EXPECT_EQ(r.values, expected) << c.what;
    }

    // Reading from disk says so once; a missing file is silent.
    TempFolder dir;
    ScriptedMessages messages;
    FileSystem::writeFileAtomic(dir.file("settings.mtr"), "garbage");
    EXPECT_TRUE(SettingsFile::read(dir.file("settings.mtr"), d, messages).damaged);
    EXPECT_EQ(messages.texts(), std::vector<std::string>{SettingsFile::DamagedText});
    EXPECT_EQ(messages.shown[0].kind, MessageKind::Error);
    messages.shown.clear();
    const SettingsReadResult missing = SettingsFile::read(dir.file("none.mtr"), d, messages);
    EXPECT_EQ(missing.status, SettingsReadResult::Status::Missing);
    EXPECT_EQ(missing.values, d);
    EXPECT_TRUE(messages.shown.empty());
    FileSystem::createFolders(dir.file("folder.mtr"));
    EXPECT_EQ(SettingsFile::read(dir.file("folder.mtr"), d, messages).status,
              SettingsReadResult::Status::Unreadable);
    EXPECT_EQ(messages.texts(),
              std::vector<std::string>{"Unable to open the settings file. Default settings will be used."});

    for (long long w : {-100LL, -4LL, 0LL, 19999LL, 1000000LL})
        EXPECT_EQ(StoredSettings::clampLineWidth(w), w < -4 ? -4 : w > 19999 ? 19999 : w);
}

TEST(SettingsFile, savingAReadOnlyFileAsksFirst)
{
    struct Case {
        bool readOnly;
        MessageAnswer answer;
        SettingsFile::WriteResult result;
        std::vector<std::string> texts;
        bool written;
    } cases[] = {
        {false, MessageAnswer::Yes, SettingsFile::WriteResult::Saved, {"Settings saved."}, true},
        {true, MessageAnswer::No, SettingsFile::WriteResult::NotSaved,
         {"The settings file is read-only. Do you want Quorvex.exe to make this file write able?",
          "Settings NOT saved."},
         false},
        {true, MessageAnswer::Yes, SettingsFile::WriteResult::Saved,
         {"The settings file is read-only. Do you want Quorvex.exe to make this file write able?",
          "Settings saved."},
         true},
    };
    for (const Case &c : cases) {
        TempFolder dir;
        const std::string path = dir.file("settings.mtr");
        FileSystem::writeFileAtomic(path, "old");
        if (c.readOnly)
            ::chmod(path.c_str(), 0444);
        ScriptedMessages messages;
        messages.answers = {c.answer};
        EXPECT_EQ(SettingsFile::write(path, exampleDefaults(), messages), c.result);
        EXPECT_EQ(messages.texts(), c.texts);
        EXPECT_EQ(*FileSystem::readFile(path), c.written ? ExampleFile : std::string("old"));
    }

    // A folder that cannot take the file: the failure is reported, not success.
    ScriptedMessages messages;
    EXPECT_EQ(SettingsFile::write("/nonexistent-folder/settings.mtr", exampleDefaults(), messages),
              SettingsFile::WriteResult::Failed);
    EXPECT_EQ(messages.texts(), std::vector<std::string>{
                                    "Settings were not saved. Please make sure the disk is not write protected."});
}
