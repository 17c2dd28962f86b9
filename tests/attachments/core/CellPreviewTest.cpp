#include "FakeServices.h"
#include "PictureBytes.h"
#include "TempFolder.h"
#include "platform/core/RasterImage.h"
#include "attachments/core/PictureFit.h"
#include "attachments/core/AttachmentOpener.h"
#include "document/core/AttachmentRef.h"
#include "attachments/core/CellPreview.h"
#include "attachments/core/PictureDecoders.h"
#include "attachments/core/PictureLoader.h"
#include "platform/core/FileSystem.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace quorvex;
using quorvex::test::EditorFixture;
using quorvex::test::JpegHeader;
using quorvex::test::TempFolder;

namespace {

int red(std::uint32_t p) { return (p >> 16) & 0xFF; }
int green(std::uint32_t p) { return (p >> 8) & 0xFF; }
int blue(std::uint32_t p) { return p & 0xFF; }

bool near(std::uint32_t p, int r, int g, int b, int tolerance = 12)
{
    return std::abs(red(p) - r) <= tolerance && std::abs(green(p) - g) <= tolerance &&
           std::abs(blue(p) - b) <= tolerance;
}

// Replaces the width and height of the first baseline or progressive frame
// header.
std::string withJpegSize(std::string jpeg, int w, int h)
{
    const std::size_t sof = std::min(jpeg.find("\xFF\xC0"), jpeg.find("\xFF\xC2"));
    jpeg[sof + 5] = static_cast<char>(h >> 8);
    jpeg[sof + 6] = static_cast<char>(h & 0xFF);
    jpeg[sof + 7] = static_cast<char>(w >> 8);
    jpeg[sof + 8] = static_cast<char>(w & 0xFF);
    return jpeg;
}

// `count` comment segments of 65000 bytes after the start marker.
std::string withComments(std::string jpeg, int count)
{
    std::string comment("\xFF\xFE\xFD\xE8", 4);
    comment.append(65000 - 2, ' ');
    for (int i = 0; i < count; ++i)
        jpeg.insert(2, comment);
    return jpeg;
}

} // namespace

TEST(PictureFit, placementInTheBoxTruncatesAsWritten)
{
    struct Case {
        int sw, sh;
        double bw, bh;
        FitOptions options;
        FitPlacement expected;
    } cases[] = {
        {330, 310, 165, 155, {}, {165, 155, 0, 0}},
        {33, 31, 165, 155, {}, {165, 155, 0, 0}},   // enlarged
        {330, 155, 165, 155, {}, {165, 77, 0, 39}}, // top from the truncated height
        {100, 310, 165, 155, {}, {50, 155, 57, 0}},
        {33, 31, 165, 155, {0, 0, true, false}, {33, 31, 66, 62}},     // not enlarged: own size, centred
        {400, 100, 165, 155, {0, 0, true, false}, {165, 41, 0, 57}},   // shrunk, never enlarged
        {10, 10, 165, 155, {0, 0, false, true}, {165, 155, 0, 0}},     // aspect dropped: the whole box
        {330, 310, 165, 155, {10, 20, true, true}, {132, 124, 16, 15}}, // margins come off first
        {0, 0, 165, 155, {}, {165, 155, 0, 0}},                         // nothing to draw, no fault
        {100, 100, 0, 0, {}, {0, 0, 0, 0}},
    };
    for (const Case &c : cases) {
        const FitPlacement p = PictureFit::placement(c.sw, c.sh, c.bw, c.bh, c.options);
        EXPECT_EQ(p.width, c.expected.width) << c.sw << "x" << c.sh;
        EXPECT_EQ(p.height, c.expected.height) << c.sw << "x" << c.sh;
        EXPECT_EQ(p.left, c.expected.left) << c.sw << "x" << c.sh;
        EXPECT_EQ(p.top, c.expected.top) << c.sw << "x" << c.sh;
    }
}

TEST(PictureFit, fittedPictureSitsBetweenBlackBands)
{
    const RasterImage black(5, 5, pixelFromRgb(0, 0, 0));
    const RasterImage wide(330, 155, pixelFromRgb(255, 0, 0));
    const RasterImage tall(100, 310, pixelFromRgb(0, 0, 255));
    RasterImage box;
    std::string error;
    ASSERT_TRUE(PictureFit::fit(wide, box, black, 165, 155, {}, error));
    ASSERT_EQ(box.width, 165);
    ASSERT_EQ(box.height, 155);
    for (int y : {0, 38, 116, 154})
        EXPECT_EQ(box.pixel(80, y) & 0xFFFFFF, 0u) << y;
    for (int y : {39, 80, 115})
        EXPECT_EQ(box.pixel(80, y) & 0xFFFFFF, 0xFF0000u) << y;

    ASSERT_TRUE(PictureFit::fit(tall, box, black, 165, 155, {}, error));
    EXPECT_EQ(box.pixel(56, 70) & 0xFFFFFF, 0u);
    EXPECT_EQ(box.pixel(57, 70) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(box.pixel(106, 70) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(box.pixel(107, 70) & 0xFFFFFF, 0u);

    // A box no memory can hold is refused through the message path.
    test::ScriptedMessages messages;
    EXPECT_FALSE(PictureFit::GetAspectedImage(wide, box, black, 1e9, 1e9, {}, messages));
    ASSERT_EQ(messages.texts().size(), 1u);
    EXPECT_EQ(messages.texts()[0], "Error adjusting image to fit.\nGetAspectedImage()");
    EXPECT_EQ(messages.exceptions.size(), 1u);
}

TEST(PictureDecoders, contentDecidesTheFormatInTheWrittenOrder)
{
    using namespace std::string_view_literals;
    struct Case {
        std::string_view bytes;
        const char *ext;
        const char *expected;
    } cases[] = {
        {"BM\x00\x00\x00\x00JFIF\x00"sv, ".gif", ".bmp"}, // BM is tested before JFIF
        {"\xFF\xD8\xFF\xE0\x00\x10JFIF\x00"sv, ".bmp", ".jpg"},
        {"GIF89aJFIF"sv, ".bmp", ".jpg"}, // JFIF before GIF
        {"GIF89a\x01\x00\x01\x00\x00"sv, ".bmp", ".gif"},
        {"\x00\x00\x01\x00\x01\x00"sv, ".png", ".ico"},
        {"\x01\x00\x00\x00\x6C\x00"sv, ".png", ".emf"},
        {"\xD7\xCD\xC6\x9A\x00\x00\x00"sv, ".png", ".wmf"},
        {"\x01\x00\x09\x00\x00\x03\x00"sv, ".png", ".wmf"},
        {"\xFF\xD8\xFF\xE1\x00\x10" "Exif\x00"sv, ".jpeg", ".jpeg"},
        {"\x89PNG\r\n\x1A\n"sv, ".png", ".png"},
        // Short files match only what they hold.
        {"BM"sv, ".png", ".bmp"},
        {"B"sv, ".png", ".png"},
        {"GI"sv, ".png", ".png"},
        {"\xFF\xD8\xFF\xE0\x00\x10JFI"sv, ".png", ".png"},
        {""sv, ".jpg", ".jpg"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(PictureDecoders::sniffExtension(c.bytes, c.ext), c.expected) << c.expected << " from " << c.ext;
}

TEST(PictureDecoders, decodeGoodPicturesAndRefuseDamagedOnesWithoutCrashing)
{
    struct Case {
        const char *what;
        std::string bytes;
        bool gif;
        bool ok;
        int w, h;
    };
    const std::string jfif = test::makeJpeg(40, 30);
    const std::string gif = test::makeGif(40, 30);
    const std::string progressive = test::makeJpeg(40, 30, JpegHeader::Jfif, 90, true);
    const std::string panorama = test::makeJpeg(10000, 7000, JpegHeader::Jfif, 75);
    const Case cases[] = {
        {"JFIF JPEG", jfif, false, true, 40, 30},
        {"Exif JPEG", test::makeJpeg(40, 30, JpegHeader::Exif), false, true, 40, 30},
        {"JPEG without APP0", test::makeJpeg(40, 30, JpegHeader::None), false, true, 40, 30},
        {"progressive JPEG", progressive, false, true, 40, 30},
        {"damaged JPEG", std::string("\xFF\xD8\xFF\xE0 picture bytes", 19), false, false, 0, 0},
        {"JPEG cut in its header", jfif.substr(0, 120), false, false, 0, 0},
        // Over the budget even at 1/8: refused before any pixel memory is taken.
        {"JPEG claiming 65000 x 65000", withJpegSize(jfif, 65000, 65000), false, false, 0, 0},
        // Its coefficients would not fit the decoder's memory.
        {"progressive JPEG claiming 30000 x 30000", withComments(withJpegSize(progressive, 30000, 30000), 15), false,
         false, 0, 0},
        // Far more pixels than its bytes can hold.
        {"JPEG of 600 bytes claiming 10000 x 7000", withJpegSize(jfif, 10000, 7000), false, false, 0, 0},
        // Larger than the budget: the largest eighth that fits.
        {"JPEG of 10000 x 7000", panorama, false, true, 8750, 6125},
        {"JPEG claiming zero width", withJpegSize(jfif, 0, 30), false, false, 0, 0},
        {"GIF", gif, true, true, 40, 30},
        {"interlaced GIF", test::makeGif(40, 30, true), true, true, 40, 30},
        {"GIF frame on a larger screen", test::makeGif(10, 10, false, 40, 30, 30, 20), true, true, 40, 30},
        {"GIF frame outside its screen", test::makeGif(10, 10, false, 40, 30, 35, 0), true, false, 0, 0},
        {"GIF screen of 65535 x 65535", test::makeGif(4, 4, false, 65535, 65535), true, false, 0, 0},
        {"truncated GIF", gif.substr(0, gif.size() / 2), true, false, 0, 0},
        {"GIF header alone", gif.substr(0, 13), true, false, 0, 0},
        {"empty", std::string(), true, false, 0, 0},
    };
    for (const Case &c : cases) {
        RasterImage out(3, 3);
        std::string error;
        const auto *data = reinterpret_cast<const unsigned char *>(c.bytes.data());
        const bool ok = c.gif ? PictureDecoders::decodeGif(data, c.bytes.size(), out, error)
                              : PictureDecoders::decodeJpeg(data, c.bytes.size(), out, error);
        EXPECT_EQ(ok, c.ok) << c.what << ": " << error;
        EXPECT_EQ(out.width, c.w) << c.what;
        EXPECT_EQ(out.height, c.h) << c.what;
        if (!ok) {
            EXPECT_FALSE(error.empty()) << c.what;
        }
    }

    // The colours land where they belong (quadrants of the test pattern).
    RasterImage out;
    std::string error;
    ASSERT_TRUE(PictureDecoders::decodeJpeg(reinterpret_cast<const unsigned char *>(jfif.data()), jfif.size(), out,
                                            error));
    EXPECT_TRUE(near(out.pixel(5, 5), 0, 0, 200));
    EXPECT_TRUE(near(out.pixel(35, 5), 255, 0, 0));
    EXPECT_TRUE(near(out.pixel(5, 25), 0, 255, 0));
    EXPECT_EQ(out.pixel(35, 25) >> 24, 0xFFu);
    // ... and in a picture decoded smaller.
    ASSERT_TRUE(PictureDecoders::decodeJpeg(reinterpret_cast<const unsigned char *>(panorama.data()),
                                            panorama.size(), out, error));
    EXPECT_TRUE(near(out.pixel(100, 100), 0, 0, 200));
    EXPECT_TRUE(near(out.pixel(8700, 100), 255, 0, 0));
    EXPECT_TRUE(near(out.pixel(100, 6100), 0, 255, 0));
    EXPECT_TRUE(near(out.pixel(8700, 6100), 255, 255, 200));
    const std::string framed = test::makeGif(10, 10, true, 40, 30, 30, 20);
    ASSERT_TRUE(PictureDecoders::decodeGif(reinterpret_cast<const unsigned char *>(framed.data()), framed.size(), out,
                                           error));
    EXPECT_EQ(out.pixel(0, 0) & 0xFFFFFF, 0u);         // off the frame
    EXPECT_EQ(out.pixel(36, 21) & 0xFFFFFF, 0xFF0000u); // frame's top right
    EXPECT_EQ(out.pixel(39, 29) & 0xFFFFFF, 0xFFFFC8u); // frame's bottom right
}

TEST(PictureLoader, loadsByContentAndReportsFailuresWithTheWrittenMessages)
{
    TempFolder folder;
    const std::string dir = folder.path();
    FileSystem::writeFileAtomic(dir + "picture.bmp", test::makeGif(20, 10));
    FileSystem::writeFileAtomic(dir + "photo.jpeg", test::makeJpeg(16, 8, JpegHeader::Exif));
    FileSystem::writeFileAtomic(dir + "Cover.JPG", std::string("\xFF\xD8\xFF\xE0 picture bytes", 19));
    FileSystem::writeFileAtomic(dir + "clip.WMF", std::string("\xD7\xCD\xC6\x9A\x00\x00 meta", 11));
    FileSystem::writeFileAtomic(dir + "tiny.png", "BM");
    FileSystem::writeFileAtomic(dir + "cover.png", "\x89PNG");
    FileSystem::createFolders(dir + "folder.gif");
    std::string lowered = dir;
    for (char &ch : lowered)
        if (ch >= 'A' && ch <= 'Z')
            ch = static_cast<char>(ch - 'A' + 'a');

    struct Case {
        std::string name;
        int result;
        int w, h;
        const char *foreignExt; // what the window layer's reader was asked for
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"picture.bmp", 0, 20, 10, "", {}},
        {"photo.jpeg", 0, 16, 8, "", {}},
        {"tiny.png", 0, 1, 1, ".bmp", {}},
        {"cover.png", 0, 1, 1, ".png", {}},
        // The second message names the whole path lowered.
        {"Cover.JPG", 1, 0, 0, "", {PictureLoader::loadErrorMessage(lowered + "cover.jpg")}},
        {"clip.WMF", 1, 0, 0, "", {PictureLoader::loadErrorMessage(lowered + "clip.wmf")}},
        {"folder.gif", 1, 0, 0, "", {PictureLoader::loadErrorMessage(lowered + "folder.gif")}},
        {"missing.jpg", 1, 0, 0, "", {PictureLoader::missingFileMessage(dir + "missing.jpg")}},
    };
    for (const Case &c : cases) {
        test::ScriptedMessages messages;
        std::string asked;
        PictureLoader loader(messages, [&](const std::string &, const std::string &ext, RasterImage &out,
                                           std::string &) {
            asked = ext;
            out = RasterImage(1, 1);
            return true;
        });
        RasterImage picture(2, 2);
        EXPECT_EQ(loader.LoadImage(picture, dir + c.name), c.result) << c.name;
        EXPECT_EQ(picture.width, c.w) << c.name;
        EXPECT_EQ(picture.height, c.h) << c.name;
        EXPECT_EQ(asked, c.foreignExt) << c.name;
        EXPECT_EQ(messages.texts(), c.messages) << c.name;
        // A decoding failure shows the toolkit's box first; a missing file does not.
        EXPECT_EQ(messages.exceptions.size(), c.result && c.name != "missing.jpg" ? 1u : 0u) << c.name;
    }
    EXPECT_EQ(PictureLoader::missingFileMessage("/db/x.jpg"),
              "Error loading image file '/db/x.jpg'\n\nThis file path does not exist or file size is zero.\n\n - "
              "LoadImage()");
}

TEST(CellPreview, describesEachKindOfCellAndSkipsTheSameTextTwice)
{
    struct Step {
        std::string text;
        bool updates;
        std::string shown;
        PreviewLook look;
        PreviewPicture picture;
        char type;
    } steps[] = {
        {"", true, "(no cell data to display)", PreviewLook::Normal, PreviewPicture::None, 0},
        {"", true, "(no cell data to display)", PreviewLook::Normal, PreviewPicture::None, 0},
        {"Alien", true, "Alien", PreviewLook::Normal, PreviewPicture::None, 0},
        {"Alien", false, "", PreviewLook::Normal, PreviewPicture::None, 0},
        {AttachmentRef::make('\x01', "cover.jpg"), true,
         "(cell contains a picture:\n\nCLICK HERE to view with default picture viewer)\n\nFile name: cover.jpg",
         PreviewLook::Attachment, PreviewPicture::Attachment, 1},
        // Same display name, other raw text: a plain text, told apart.
        {"cover.jpg", true, "cover.jpg", PreviewLook::Normal, PreviewPicture::None, 0},
        {AttachmentRef::make('\x02', "theme.mp3"), true,
         "(cell contains audio:\n\nCLICK HERE to play audio with default media player)\n\nFile name: theme.mp3",
         PreviewLook::Attachment, PreviewPicture::AudioIcon, 2},
        {AttachmentRef::make('\x03', "trailer.mp4"), true,
         "(cell contains video:\n\nCLICK HERE to play video with default media player)\n\nFile name: trailer.mp4",
         PreviewLook::Attachment, PreviewPicture::VideoIcon, 3},
        {AttachmentRef::make('\x04', "notes.txt"), true,
         "(cell contains a file:\n\nCLICK HERE to extract the file)\n\nFile name: notes.txt", PreviewLook::Attachment,
         PreviewPicture::FileIcon, 4},
        {AttachmentRef::make('\x05', "site.html"), true,
         "(cell contains a HTML file:\n\nCLICK HERE to view with default web browser)\n\nFile name: site.html",
         PreviewLook::Attachment, PreviewPicture::WebPageIcon, 5},
        {AttachmentRef::make('\x09', "odd.bin"), true, "(cell contains unknown data)", PreviewLook::Normal,
         PreviewPicture::UnknownIcon, 0},
        {std::string("\x01"), true, "(cell contains unknown data)", PreviewLook::Normal, PreviewPicture::UnknownIcon,
         0},
        {std::string("\x01\x01"), true,
         "(cell contains a picture:\n\nCLICK HERE to view with default picture viewer)\n\nFile name: ",
         PreviewLook::Attachment, PreviewPicture::Attachment, 1},
    };
    CellPreview preview;
    EXPECT_EQ(std::string(CellPreview::StartText), "(no cell text to display)");
    for (const Step &s : steps) {
        PreviewContent content;
        ASSERT_EQ(preview.update(s.text, content), s.updates) << s.shown;
        EXPECT_EQ(preview.previewType(), s.type) << s.shown;
        if (!s.updates)
            continue;
        EXPECT_EQ(content.text, s.shown);
        EXPECT_EQ(content.look, s.look) << s.shown;
        EXPECT_EQ(content.picture, s.picture) << s.shown;
        EXPECT_EQ(preview.lastPreviewedText(), s.text);
    }
    // Cells out of range read as empty.
    ListDocument grid(3, 3);
    PreviewContent content;
    EXPECT_TRUE(preview.update(grid, 7, 9, content));
    EXPECT_EQ(content.text, "(no cell data to display)");
}

TEST(AttachmentOpener, handsOnlySafeRegularFilesToTheDesktopAndMapsItsAnswers)
{
    using Documents = std::vector<std::pair<std::string, ShellVerb>>;
    struct Case {
        char type;
        std::string name;
        std::vector<int> shellResults;
        Documents expectedDocuments;
        std::string expectedMessage;
        bool extracted;
    };
    EditorFixture f;
    TempFolder root;
    const std::string db = root.file("Database/");
    FileSystem::createFolders(db + "sub.jpg");
    f.editor.paths().databaseFolder = db;
    for (const char *name : {"cover.jpg", "theme.mp3", "site.html"})
        FileSystem::writeFileAtomic(db + name, "x");
    FileSystem::writeFileAtomic(root.file("outside.jpg"), "x");
    const std::string routine = "\n\n - CellRichEditMouseUp()";
    const Case cases[] = {
        {0, "cover.jpg", {}, {}, "", false},
        {4, "notes.txt", {}, {}, "", true},
        {1, "cover.jpg", {}, {{db + "cover.jpg", ShellVerb::Open}}, "", false},
        {5, "site.html", {}, {{db + "site.html", ShellVerb::Open}}, "", false},
        {3, "theme.mp3", {}, {{db + "theme.mp3", ShellVerb::Play}}, "", false},
        // No "play" on this desktop: "open" is tried.
        {2, "theme.mp3", {ShellNoAssociation}, {{db + "theme.mp3", ShellVerb::Play}, {db + "theme.mp3", ShellVerb::Open}},
         "", false},
        {2, "theme.mp3", {ShellNoAssociation, ShellNoAssociation},
         {{db + "theme.mp3", ShellVerb::Play}, {db + "theme.mp3", ShellVerb::Open}},
         "Unable to execute file. There is no default software\nassociated with this file type. You may have to\n"
         "extract the file and execute it manually. You may\nextract the file from the 'Grid' menu by clicking\n"
         "'Export Data File from Cell'." + routine,
         false},
        {1, "cover.jpg", {ShellAccessDenied}, {{db + "cover.jpg", ShellVerb::Open}},
         "Unable to execute file. The operating system\ndenied access to the specified file." + routine, false},
        {1, "cover.jpg", {ShellOutOfResources}, {{db + "cover.jpg", ShellVerb::Open}},
         "Unable to execute file. The operating system\nis out of memory or resources." + routine, false},
        {1, "cover.jpg", {17}, {{db + "cover.jpg", ShellVerb::Open}}, "Unable to execute file. Reason unknown." + routine,
         false},
        // Nothing but a safe name of a regular file reaches the desktop.
        {1, "gone.jpg", {}, {}, "Unable to execute file. The following file was not found:\n\n" + db + "gone.jpg" + routine,
         false},
        {1, "../outside.jpg", {}, {},
         "Unable to execute file. The following file was not found:\n\n" + db + "../outside.jpg" + routine, false},
        {1, "sub.jpg", {}, {}, "Unable to execute file. The following file was not found:\n\n" + db + "sub.jpg" + routine,
         false},
        {1, "", {}, {}, "Unable to execute file. The following file was not found:\n\n" + db + routine, false},
    };
    AttachmentOpener opener(f.editor);
    for (const Case &c : cases) {
        f.shell.documents.clear();
        f.shell.documentResults.assign(c.shellResults.begin(), c.shellResults.end());
        f.messages.shown.clear();
        f.view.cursors.clear();
        bool extracted = false;
        opener.OpenCellAttachment(c.type, c.name, [&] { extracted = true; });
        EXPECT_EQ(f.shell.documents, c.expectedDocuments) << int(c.type) << " " << c.name;
        EXPECT_EQ(extracted, c.extracted) << c.name;
        const std::vector<std::string> expected =
            c.expectedMessage.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.expectedMessage};
        EXPECT_EQ(f.messages.texts(), expected) << int(c.type) << " " << c.name;
        if (!c.expectedDocuments.empty()) {
            EXPECT_EQ(f.view.cursors, (std::vector<CursorShape>{CursorShape::AppStarting, CursorShape::Normal}));
        }
    }
    // The rest of the table, by result code.
    EXPECT_EQ(AttachmentOpener::shellResultMessage(ShellPathNotFound, "/p"),
              "Unable to execute file. The following file was not found:\n\n/p" + routine);
    EXPECT_EQ(AttachmentOpener::shellResultMessage(ShellOutOfMemory, "/p"),
              "Unable to execute file. The operating system reported\nnot enough memory to complete the operation." +
                  routine);
    EXPECT_EQ(AttachmentOpener::shellResultMessage(ShellBadFormat, "/p"),
              "Unable to execute file. The exe file is corrupt." + routine);
    EXPECT_EQ(AttachmentOpener::shellResultMessage(ShellSharingViolation, "/p"),
              "Unable to execute file. Another program is already\naccessing the file. A sharing violation occurred." +
                  routine);
    EXPECT_EQ(AttachmentOpener::shellResultMessage(ShellAssociationIncomplete, "/p"),
              "Unable to execute file. The error code returned by windows was \"File association incomplete\".\nYou "
              "may have to extract the file and execute it manually. You may\nextract the file from the 'Grid' menu "
              "by clicking\n'Export Data File from Cell'." +
                  routine);
    EXPECT_EQ(AttachmentOpener::shellResultMessage(33, "/p"), "");
}
