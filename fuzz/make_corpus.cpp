// Writes the seed corpus of the list readers with the program's own writer:
// bodies of version 1.1 to 1.4 lists (after their 30-byte signature) and
// version 1.0 text bodies made from the same lists; small pictures of our own
// for the picture decoders.
//   make_corpus CORPUS_FOLDER

#include "platform/core/FileSystem.h"
#include "platform/core/MessageService.h"
#include "platform/core/ProgressReporter.h"
#include "document/core/ListDocument.h"
#include "listfile/core/ListFileWriter.h"
#include "listfile/core/TemplateLists.h"
#include "document/core/PageSetup.h"
#include "document/core/TextConversion.h"
#include "../tests/support/PictureBytes.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace quorvex;

namespace {

class StderrMessages final : public MessageService {
public:
    MessageAnswer show(MessageKind, const std::string &text, MessageButtons) override
    {
        std::fprintf(stderr, "make_corpus: %s\n", text.c_str());
        return MessageAnswer::Ok;
    }
    void showException(const std::string &what) override { std::fprintf(stderr, "make_corpus: %s\n", what.c_str()); }
};

struct Seed {
    std::string name;
    ListDocument doc;
    PageSetup setup;
    std::string type;
};

std::string versionOneBody(const Seed &s)
{
    std::string t = std::to_string(s.doc.ColCount()) + " " + std::to_string(s.doc.RowCount()) + "\n";
    for (int c = 0; c < s.doc.ColCount(); ++c)
        t += std::to_string(s.doc.ColWidth(c)) + " ";
    t += "\n";
    for (int w : s.setup.maxWidths)
        t += std::to_string(w) + " ";
    t += std::to_string(s.setup.maxEntries) + " " + std::to_string(s.setup.leftIndent) + " " +
         std::to_string(s.setup.topIndent) + " " + (s.setup.landscape ? "1" : "0") + "\n";
    for (int r = 0; r < s.doc.RowCount(); ++r) {
        for (int c = 0; c < s.doc.ColCount(); ++c) {
            const std::string cell = s.doc.GetCell(c, r);
            t += std::to_string(cell.size()) + " " + cell + " ";
        }
        t += "\n";
    }
    return t;
}

bool writeFile(const std::string &path, const std::string &data)
{
    std::FILE *f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace

// The first baseline frame header's size replaced.
static std::string withJpegSize(std::string jpeg, int w, int h)
{
    const std::size_t sof = jpeg.find("\xFF\xC0");
    if (sof == std::string::npos || sof + 9 > jpeg.size())
        return jpeg;
    jpeg[sof + 5] = static_cast<char>(h >> 8);
    jpeg[sof + 6] = static_cast<char>(h & 0xFF);
    jpeg[sof + 7] = static_cast<char>(w >> 8);
    jpeg[sof + 8] = static_cast<char>(w & 0xFF);
    return jpeg;
}

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_corpus CORPUS_FOLDER\n");
        return 2;
    }
    const std::string out = FileSystem::withTrailingSlash(argv[1]);
    char scratchName[] = "/tmp/quorvex-corpus-XXXXXX";
    if (!::mkdtemp(scratchName))
        return 1;
    const std::string scratch = std::string(scratchName) + "/";
    writeFile(scratch + "cover.jpg", "\xFF\xD8\xFF\xE0 not really a picture");
    writeFile(scratch + "a.txt", "abc");
    writeFile(scratch + "empty.bin", "");

    std::vector<Seed> seeds(4);
    seeds[0].name = "example";
    seeds[0].type = "dvdmovie";
    seeds[0].doc = ListDocument(2, 2);
    seeds[0].doc.SetColWidth(0, 16);
    seeds[0].doc.SetColWidth(1, 120);
    seeds[0].doc.SetCell(1, 0, "Tape#");
    seeds[0].doc.SetCell(0, 1, " 1");

    seeds[1].name = "attachments";
    seeds[1].type = "cdmusic";
    seeds[1].doc = ListDocument(4, 6);
    seeds[1].doc.SetCell(1, 0, std::string("\x01\x01" "cover.jpg"));
    seeds[1].doc.SetCell(1, 1, std::string("\x01\x01" "cover.jpg"));
    seeds[1].doc.SetCell(2, 1, std::string("\x01\x04" "a.txt"));
    seeds[1].doc.SetCell(3, 2, std::string("\x01\x04" "empty.bin"));
    seeds[1].doc.SetCell(1, 3, "\x01");
    seeds[1].doc.SetCell(2, 4, std::string("\x01\x02" "missing.mp3"));
    seeds[1].doc.SetCell(3, 5, "plain text after the references");

    seeds[2].name = "rows";
    seeds[2].type = "vhsmovie";
    seeds[2].doc = ListDocument(9, 25);
    for (int r = 1; r < 25; ++r)
        for (int c = 1; c < 9; ++c)
            seeds[2].doc.SetCell(c, r, c % 2 ? "Title " + std::to_string(r) : std::to_string(1950 + r));
    seeds[2].doc.RenumberPages(10);
    seeds[2].setup.landscape = true;

    seeds[3].name = "template";
    seeds[3].type = "dvdmovie";
    TemplateLists::build(seeds[3].type, seeds[3].doc, seeds[3].setup);

    StderrMessages messages;
    SilentProgress progress;
    ListFileWriter writer(messages, progress);
    writer.setDatabaseFolder(scratch);
    int failures = 0;
    for (const char *target : {"fuzz_list_v10", "fuzz_list_v11", "fuzz_list_v12", "fuzz_list_v13", "fuzz_list_v14"})
        FileSystem::createFolders(out + target);
    for (const Seed &s : seeds) {
        const ListFileSource source{s.doc, s.setup, s.type};
        for (const bool v11 : {true, false}) {
            const std::string path = scratch + s.name + (v11 ? ".lst" : ".lstd");
            if ((v11 ? writer.SaveList_V11(path, source) : writer.SaveList_V12(path, source)) != 0) {
                ++failures;
                continue;
            }
            const std::string bytes = FileSystem::readFile(path).value_or(std::string());
            const std::string target = v11 ? "fuzz_list_v11/" : "fuzz_list_v12/";
            if (bytes.size() < 30 || !writeFile(out + target + s.name, bytes.substr(30)))
                ++failures;
        }
        if (!writeFile(out + "fuzz_list_v10/" + s.name, versionOneBody(s)))
            ++failures;
        // The same list as a Unicode list, with names no Windows-1252 list holds.
        ListDocument unicode = s.doc;
        TextConversion::convertDocument(unicode, TextEncoding::Utf8);
        unicode.SetCell(1, 1, "\xE4\xB8\x83\xE4\xBA\xBA\xE3\x81\xAE\xE4\xBE\x8D");
        unicode.SetCell(unicode.ColCount() - 1, unicode.RowCount() - 1, "\xC5\x81\xC3\xB3" "d\xC5\xBA Story");
        const ListFileSource unicodeSource{unicode, s.setup, s.type};
        for (const bool v13 : {true, false}) {
            const std::string path = scratch + s.name + (v13 ? ".u.lst" : ".u.lstd");
            if ((v13 ? writer.SaveList_V13(path, unicodeSource) : writer.SaveList_V14(path, unicodeSource)) != 0) {
                ++failures;
                continue;
            }
            const std::string bytes = FileSystem::readFile(path).value_or(std::string());
            const std::string target = v13 ? "fuzz_list_v13/" : "fuzz_list_v14/";
            if (bytes.size() < 30 || !writeFile(out + target + s.name, bytes.substr(30)))
                ++failures;
        }
    }

    // Picture decoder seeds: the first byte picks the decoder (even: GIF, odd: JPEG).
    FileSystem::createFolders(out + "fuzz_picture");
    const struct {
        const char *name;
        char selector;
        std::string bytes;
    } pictures[] = {
        {"gif", 0, test::makeGif(8, 6)},
        {"gif-interlaced", 0, test::makeGif(8, 9, true)},
        {"gif-framed", 0, test::makeGif(4, 4, false, 8, 8, 2, 3)},
        {"jpeg-jfif", 1, test::makeJpeg(8, 8, test::JpegHeader::Jfif, 50)},
        {"jpeg-exif", 1, test::makeJpeg(16, 8, test::JpegHeader::Exif, 50)},
        {"jpeg-progressive", 1, test::makeJpeg(8, 8, test::JpegHeader::None, 50, true)},
        // Claims more pixels than a decoded picture may hold: decoded smaller.
        {"jpeg-oversized", 1, withJpegSize(test::makeJpeg(8, 8, test::JpegHeader::Jfif, 50), 9000, 8000)},
    };
    for (const auto &p : pictures)
        if (!writeFile(out + "fuzz_picture/" + p.name, std::string(1, p.selector) + p.bytes))
            ++failures;
    FileSystem::RemoveFolder(scratch);
    return failures ? 1 : 0;
}
