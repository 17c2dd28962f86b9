#include "ListFileTestSupport.h"
#include "document/core/AttachmentRef.h"
#include "document/core/TextConversion.h"
#include "listfile/core/ListFileCommands.h"
#include "listfile/core/TextImportCommand.h"
#include "listfile/core/TextListImport.h"
#include "listfile/core/UnicodeListSetting.h"
#include "platform/core/FileDialogService.h"
#include "platform/core/UnicodeText.h"

#include <gtest/gtest.h>

#include <deque>

namespace quorvex::test {
namespace {

// Names no Windows-1252 list holds whole, and the bytes they become there.
const std::string Samurai = "\xE4\xB8\x83\xE4\xBA\xBA\xE3\x81\xAE\xE4\xBE\x8D"; // 七人の侍
const std::string Mifune = "Toshir\xC5\x8D Mifune";                               // Toshirō Mifune
const std::string Menzel = "Ji\xC5\x99\xC3\xAD Menzel";                           // Jiří Menzel
const std::string Lodz = "\xC5\x81\xC3\xB3\x64\xC5\xBA Story";                     // Łódź Story
const std::string Eleni = "\xCE\x95\xCE\xBB\xCE\xAD\xCE\xBD\xCE\xB7";             // Ελένη

ExampleList unicodeExample()
{
    ExampleList list;
    list.doc.setTextEncoding(TextEncoding::Utf8);
    list.doc.SetCell(1, 1, Menzel);
    return list;
}

TEST(UnicodeListFile, writers_unicodeVersionsHaveTheirTagAndTheBodiesOfTheirElders)
{
    TempFolder tmp;
    const ExampleList list = unicodeExample();
    Bytes cells;
    cells.i32(0).text("Tape#").text(" 1").text(Menzel).u8(0);
    const struct {
        ListFileVersion version;
        const char *path;
        const char *tag;
    } cases[] = {
        {ListFileVersion::V13, "u.lst", "_ListVers1.3Uni"},
        {ListFileVersion::V14, "u.lstd", "_ListVers1.4UDp"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.tag);
        WriterFixture w;
        // The path and the document's encoding choose the Unicode version.
        ASSERT_EQ(w.writer.save(tmp.file(c.path), list.source()), 0);
        EXPECT_EQ(readBytes(tmp.file(c.path)), exampleHead(c.tag).data + cells.data);
        ASSERT_EQ(w.writer.saveAs(tmp.file("again"), list.source(), c.version), 0);
        EXPECT_EQ(readBytes(tmp.file("again")), readBytes(tmp.file(c.path)));

        ReaderFixture r;
        r.doc.setTextEncoding(TextEncoding::Windows1252);
        ListFileVersion found = ListFileVersion::Unknown;
        ASSERT_EQ(r.read(tmp.file(c.path), &found), 0);
        EXPECT_EQ(found, c.version);
        EXPECT_EQ(r.doc.textEncoding(), TextEncoding::Utf8);
        EXPECT_EQ(r.doc.GetCell(1, 1), Menzel);
        EXPECT_EQ(r.type, "dvdmovie");
        // A list of the older versions read into the same document is Windows-1252 again.
        ExampleList old;
        ASSERT_EQ(w.writer.SaveList_V12(tmp.file("old.lstd"), old.source()), 0);
        ASSERT_EQ(r.read(tmp.file("old.lstd"), &found), 0);
        EXPECT_EQ(found, ListFileVersion::V12);
        EXPECT_EQ(r.doc.textEncoding(), TextEncoding::Windows1252);
    }
}

TEST(UnicodeListFile, writers_convertWhenTheVersionHoldsTheOtherEncoding)
{
    TempFolder tmp;
    ExampleList cp1252;
    cp1252.doc.SetCell(1, 1, "Caf\xE9 \x80");
    const ExampleList unicode = unicodeExample();
    const struct {
        const ExampleList *list;
        ListFileVersion version;
        std::string stored;
    } cases[] = {
        // Windows-1252 text in a Unicode list: every character kept.
        {&cp1252, ListFileVersion::V13, "Caf\xC3\xA9 \xE2\x82\xAC"},
        {&cp1252, ListFileVersion::V14, "Caf\xC3\xA9 \xE2\x82\xAC"},
        // Unicode text in an older version: what it cannot hold becomes "?".
        {&unicode, ListFileVersion::V11, "Ji?\xED Menzel"},
        {&unicode, ListFileVersion::V12, "Ji?\xED Menzel"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(static_cast<int>(c.version));
        WriterFixture w;
        ASSERT_EQ(w.writer.saveAs(tmp.file("l"), c.list->source(), c.version), 0);
        ReaderFixture r;
        ASSERT_EQ(r.read(tmp.file("l")), 0);
        EXPECT_EQ(r.doc.GetCell(1, 1), c.stored);
        EXPECT_EQ(r.doc.GetCell(1, 0), "Tape#");
    }
    EXPECT_EQ(ListFileWriter::unstorableCharacters(unicode.source()), 1u);
    EXPECT_EQ(ListFileWriter::unstorableCharacters(cp1252.source()), 0u);
}

TEST(UnicodeListFile, roundTrip_windows1252ToUnicodeAndBackIsByteIdentical)
{
    TempFolder tmp;
    // Every byte but the marker, the undefined five included, in cells and headers.
    ExampleList list;
    list.doc.SetRowCount(4);
    std::string all;
    for (int b = 2; b < 256; ++b)
        all += static_cast<char>(b);
    list.doc.SetCell(1, 0, all);
    list.doc.SetCell(1, 2, all.substr(100));
    list.doc.SetCell(1, 3, "plain");
    WriterFixture w;
    ASSERT_EQ(w.writer.SaveList_V11(tmp.file("a.lst"), list.source()), 0);

    ReaderFixture r;
    ASSERT_EQ(r.read(tmp.file("a.lst")), 0);
    EXPECT_EQ(TextConversion::convertDocument(r.doc, TextEncoding::Utf8), 0u);
    ASSERT_TRUE(UnicodeText::isValidUtf8(r.doc.cellView(1, 0)));
    ASSERT_EQ(w.writer.save(tmp.file("u.lst"), ListFileSource{r.doc, r.setup, r.type}), 0);
    ReaderFixture u;
    ASSERT_EQ(u.read(tmp.file("u.lst")), 0);
    EXPECT_EQ(u.doc.textEncoding(), TextEncoding::Utf8);
    EXPECT_EQ(TextConversion::convertDocument(u.doc, TextEncoding::Windows1252), 0u);
    ASSERT_EQ(w.writer.save(tmp.file("b.lst"), ListFileSource{u.doc, u.setup, u.type}), 0);
    EXPECT_EQ(readBytes(tmp.file("b.lst")), readBytes(tmp.file("a.lst")));
}

TEST(UnicodeListFile, saveV13_attachmentIsFoundAndExtractedByItsUnicodeName)
{
    TempFolder tmp;
    const std::string db = tmp.path() + "db/";
    const std::string other = tmp.path() + "other/";
    ASSERT_TRUE(FileSystem::createFolder(db));
    ASSERT_TRUE(FileSystem::createFolder(other));
    const std::string name = Lodz + ".txt";
    writeBytes(db + name, "abc");
    ExampleList list = unicodeExample();
    list.doc.SetCell(1, 1, AttachmentRef::make(AttachFile, name));
    WriterFixture w;
    w.writer.setDatabaseFolder(db);
    ASSERT_EQ(w.writer.SaveList_V13(tmp.file("a.lst"), list.source()), 0);
    EXPECT_TRUE(w.messages.shown.empty());
    ReaderFixture r;
    r.reader.setDatabaseFolder(other);
    ASSERT_EQ(r.read(tmp.file("a.lst")), 0);
    EXPECT_EQ(r.doc.GetCell(1, 1), AttachmentRef::make(AttachFile, name));
    EXPECT_EQ(readBytes(other + name), "abc");
    EXPECT_TRUE(r.messages.shown.empty());
}

// Save dialogs answered from a queue.
class QueuedDialogs final : public FileDialogService {
public:
    std::optional<std::string> openFile(const std::string &, const std::string &) override { return std::nullopt; }
    std::optional<std::string> saveFile(const std::string &filter, int &filterIndex, const std::string &) override
    {
        filters.push_back(filter);
        presets.push_back(filterIndex);
        if (answers.empty())
            return std::nullopt;
        filterIndex = answers.front().second;
        const std::string path = answers.front().first;
        answers.pop_front();
        return path;
    }
    std::deque<std::pair<std::string, int>> answers;
    std::vector<std::string> filters;
    std::vector<int> presets;
};

std::string tagOf(const std::string &path)
{
    const std::string b = readBytes(path);
    return b.size() < 30 ? std::string() : b.substr(15, 15);
}

TEST(UnicodeListFile, saveAs_olderFilterAsksWithTheCountAndNoSavesNothing)
{
    TempFolder tmp;
    EditorFixture f;
    QueuedDialogs dialogs;
    ListFileCommands commands(f.editor, dialogs);
    f.editor.paths().databaseFolder = tmp.path();
    ListDocument &doc = f.editor.document();
    doc.setTextEncoding(TextEncoding::Utf8);
    doc.SetCell(1, 1, Samurai);
    doc.SetCell(2, 1, Menzel);
    f.editor.listType = "dvdmovie";
    f.editor.listModified = true;

    // Filter 2 (version 1.2): five characters cannot be held. No writes nothing.
    dialogs.answers = {{tmp.file("m.lstd"), 2}};
    f.messages.answers = {MessageAnswer::No};
    commands.SaveListAsBtnClick();
    EXPECT_EQ(dialogs.filters.back(), ListFileCommands::SaveFilterWithUnicode);
    EXPECT_EQ(dialogs.presets.back(), 4); // a Unicode list is offered its own versions
    ASSERT_FALSE(f.messages.shown.empty());
    EXPECT_EQ(f.messages.shown.back().text,
              "5 characters cannot be stored in a version 1.2 list and will be saved as '?'. Save anyway?");
    EXPECT_FALSE(FileSystem::exists(tmp.file("m.lstd")));
    EXPECT_TRUE(f.editor.listModified);
    EXPECT_NE(commands.lastSaveResult(), 0);

    // Yes writes version 1.2 with "?", and the next Save of that file asks again.
    dialogs.answers = {{tmp.file("m.lstd"), 2}};
    f.messages.answers = {MessageAnswer::Yes};
    commands.SaveListAsBtnClick();
    ASSERT_EQ(commands.lastSaveResult(), 0);
    EXPECT_EQ(tagOf(tmp.file("m.lstd")), "_ListVers1.2Dep");
    ReaderFixture r;
    ASSERT_EQ(r.read(tmp.file("m.lstd")), 0);
    EXPECT_EQ(r.doc.GetCell(1, 1), "????");
    EXPECT_EQ(r.doc.GetCell(2, 1), "Ji?\xED Menzel");
    EXPECT_EQ(doc.GetCell(1, 1), Samurai); // the window's list keeps its text
    const std::size_t asked = f.messages.shown.size();
    f.messages.answers = {MessageAnswer::No};
    commands.SaveListBtnClick();
    EXPECT_EQ(f.messages.shown.size(), asked + 1);

    // Filter 3 (version 1.3), and a plain Save of a Unicode list: no question.
    dialogs.answers = {{tmp.file("m.lst"), 3}};
    commands.SaveListAsBtnClick();
    EXPECT_EQ(tagOf(tmp.file("m.lst")), "_ListVers1.3Uni");
    f.editor.currentListFile = tmp.file("n.lstd");
    commands.SaveListBtnClick();
    EXPECT_EQ(tagOf(tmp.file("n.lstd")), "_ListVers1.4UDp");
    EXPECT_EQ(f.messages.shown.size(), asked + 1);

    // A list without such characters is saved as 1.1 without a word.
    doc.SetCell(1, 1, "Casablanca");
    doc.SetCell(2, 1, "Caf\xC3\xA9");
    dialogs.answers = {{tmp.file("c.lst"), 1}};
    commands.SaveListAsBtnClick();
    EXPECT_EQ(tagOf(tmp.file("c.lst")), "_ListVersion1.1");
    EXPECT_EQ(f.messages.shown.size(), asked + 1);
}

TEST(UnicodeListFile, convertToUnicode_oneUndoableStepThatMarksTheList)
{
    EditorFixture f;
    ListDocument &doc = f.editor.document();
    doc.SetRowCount(3);
    doc.SetCell(1, 1, "Caf\xE9");
    doc.SetCell(1, 2, "plain");
    f.editor.listModified = false;
    f.editor.listType = "dvdmovie";

    ASSERT_TRUE(TextConversion::convertToUnicode(f.editor));
    EXPECT_EQ(doc.textEncoding(), TextEncoding::Utf8);
    EXPECT_EQ(doc.GetCell(1, 1), "Caf\xC3\xA9");
    EXPECT_EQ(doc.GetCell(1, 2), "plain");
    EXPECT_TRUE(f.editor.listModified);
    EXPECT_TRUE(f.editor.undoHistory().undoEnabled());
    EXPECT_FALSE(TextConversion::convertToUnicode(f.editor)); // once is enough

    f.editor.Undo();
    EXPECT_EQ(doc.GetCell(1, 1), "Caf\xE9");
    EXPECT_EQ(doc.textEncoding(), TextEncoding::Windows1252);
    f.editor.Redo();
    EXPECT_EQ(doc.GetCell(1, 1), "Caf\xC3\xA9");
    EXPECT_EQ(doc.textEncoding(), TextEncoding::Utf8);
}

TEST(UnicodeListFile, textImport_unicodeTargetKeepsEveryNameOtherwiseQuestionMarks)
{
    const std::string csv = "Title\n" + Samurai + "\n" + Mifune + "\n" + Menzel + "\n" + Lodz + "\n" + Eleni + "\n";
    TextImportLimits unicode;
    unicode.target = TextEncoding::Utf8;
    ListDocument kept, lost;
    const auto k = TextListImport::importText(csv, kept, unicode);
    const auto l = TextListImport::importText(csv, lost);
    ASSERT_TRUE(k.ok && l.ok);
    EXPECT_EQ(kept.textEncoding(), TextEncoding::Utf8);
    EXPECT_EQ(lost.textEncoding(), TextEncoding::Windows1252);
    const std::string names[] = {Samurai, Mifune, Menzel, Lodz, Eleni};
    for (int r = 1; r <= 5; ++r)
        EXPECT_EQ(kept.GetCell(1, r), names[r - 1]);
    EXPECT_EQ(lost.GetCell(1, 1), "????");
    EXPECT_EQ(lost.GetCell(1, 4), "?\xF3" "d? Story");
    EXPECT_EQ(k.replaced, 0u);
    EXPECT_EQ(l.replaced, 13u);
    EXPECT_EQ(k.unstorable, 13u);
    EXPECT_EQ(l.unstorableSample.substr(0, 12), "\xE4\xB8\x83 \xE4\xBA\xBA \xE3\x81\xAE "); // distinct, in order
    // Windows-1252 text into a Unicode list is converted.
    ListDocument fromCp1252;
    ASSERT_TRUE(TextListImport::importText("Title\nCaf\xE9\n", fromCp1252, unicode).ok);
    EXPECT_EQ(fromCp1252.GetCell(1, 1), "Caf\xC3\xA9");
}

TEST(UnicodeListFile, importCommand_offersAUnicodeListAndNoKeepsQuestionMarks)
{
    TempFolder tmp;
    writeBytes(tmp.file("in.csv"), "Title\n" + Menzel + "\n");
    for (const MessageAnswer answer : {MessageAnswer::Yes, MessageAnswer::No}) {
        EditorFixture f;
        f.messages.answers = {answer};
        ASSERT_EQ(TextImportCommand::importFile(f.editor, tmp.file("in.csv"), "dvdmovie"), 0);
        ASSERT_FALSE(f.messages.shown.empty());
        EXPECT_EQ(f.messages.shown[0].text, TextImportCommand::unicodeQuestion(1));
        const bool yes = answer == MessageAnswer::Yes;
        EXPECT_EQ(f.editor.document().textEncoding(), yes ? TextEncoding::Utf8 : TextEncoding::Windows1252);
        EXPECT_EQ(f.editor.document().GetCell(1, 1), yes ? Menzel : std::string("Ji?\xED Menzel"));
    }
    // Text a Windows-1252 list holds asks nothing.
    writeBytes(tmp.file("plain.csv"), "Title\nCaf\xC3\xA9\n");
    EditorFixture f;
    ASSERT_EQ(TextImportCommand::importFile(f.editor, tmp.file("plain.csv"), "dvdmovie"), 0);
    EXPECT_TRUE(f.messages.shown.empty());
    EXPECT_EQ(f.editor.document().GetCell(1, 1), "Caf\xE9");
}

TEST(UnicodeListFile, setting_offUnlessTheFileSaysOnAndWrittenAtomically)
{
    const struct {
        const char *text;
        bool on;
    } cases[] = {
        {"UnicodeNewLists=1\n", true}, {"UnicodeNewLists=1", true},     {"UnicodeNewLists=1\r\n", true},
        {"UnicodeNewLists=0\n", false}, {"UnicodeNewLists=11\n", false}, {"unicodenewlists=1\n", false},
        {"", false},                    {"UnicodeNewLists=", false},     {"UnicodeNewLists=1\nmore", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(UnicodeListSetting::parse(c.text), c.on) << c.text;

    TempFolder tmp;
    UnicodeListSetting setting;
    setting.read(tmp.path());
    EXPECT_FALSE(setting.newListsUnicode); // no file: off
    setting.newListsUnicode = true;
    ASSERT_TRUE(setting.write(tmp.path()));
    EXPECT_EQ(readBytes(tmp.file("unicode.mtr")), "UnicodeNewLists=1\n");
    UnicodeListSetting again;
    again.read(tmp.path());
    EXPECT_TRUE(again.newListsUnicode);
    // A folder in the file's place reads as off.
    FileSystem::removeFile(tmp.file("unicode.mtr"));
    ASSERT_TRUE(FileSystem::createFolder(tmp.file("unicode.mtr")));
    again.read(tmp.path());
    EXPECT_FALSE(again.newListsUnicode);
}

} // namespace
} // namespace quorvex::test
