#include "PictureDecoders.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <csetjmp>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>
#include <gif_lib.h>

namespace quorvex {

namespace {

bool startsWithAt(std::string_view bytes, std::size_t at, std::string_view expected)
{
    return bytes.size() >= at + expected.size() && bytes.substr(at, expected.size()) == expected;
}

// ---- JPEG ----

struct JpegErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

// libjpeg's own error exit ends the process; this one returns to the decoder.
[[noreturn]] void jpegErrorExit(j_common_ptr cinfo)
{
    auto *err = reinterpret_cast<JpegErrorManager *>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Warnings (a truncated scan, for one) keep what was decoded, silently.
void jpegOutputMessage(j_common_ptr) {}

// A progressive file can hold any number of scans, each a pass over the whole
// picture; far more than any encoder writes is taken as damage.
constexpr int MaxJpegScans = 1000;

void jpegProgress(j_common_ptr cinfo)
{
    if (cinfo->is_decompressor) {
        auto *d = reinterpret_cast<j_decompress_ptr>(cinfo);
        if (d->input_scan_number > MaxJpegScans) {
            auto *err = reinterpret_cast<JpegErrorManager *>(cinfo->err);
            std::snprintf(err->message, sizeof err->message, "Too many scans in JPEG file");
            std::longjmp(err->jump, 1);
        }
    }
}

// Room for the coefficients of the largest picture decoded at full size
// (three components, two bytes each), and libjpeg's own tables.
constexpr std::uint64_t MaxJpegWorkBytes = PictureDecoders::MaxPixels * 3 * 2 + 64ULL * 1024 * 1024;

// Even a picture of one flat colour takes a few bits for every 8 x 8 block;
// a header that claims far more pixels than its bytes can carry is damage or
// a trap, and decoding it smaller would still cost the time of every block.
constexpr std::uint64_t MaxPixelsPerByte = 1024;

bool plausibleForSize(const jpeg_decompress_struct &cinfo, std::size_t size)
{
    return static_cast<std::uint64_t>(cinfo.image_width) * cinfo.image_height <=
           static_cast<std::uint64_t>(size) * MaxPixelsPerByte;
}

// A picture over the pixel budget is decoded at the largest of libjpeg's
// scales n/8 that brings it within; false when even 1/8 does not.
bool chooseJpegScale(jpeg_decompress_struct &cinfo)
{
    if (cinfo.image_width == 0 || cinfo.image_height == 0)
        return false;
    cinfo.scale_denom = 8;
    for (unsigned n = 7; n >= 1; --n) {
        cinfo.scale_num = n;
        jpeg_calc_output_dimensions(&cinfo);
        if (PictureDecoders::sizeAllowed(cinfo.output_width, cinfo.output_height))
            return true;
    }
    return false;
}

// The smallest scale n/8, up to the one already chosen, whose longer side
// still reaches `side`: a thumbnail needs no more pixels than that.
void chooseSmallestScale(jpeg_decompress_struct &cinfo, unsigned side)
{
    const unsigned maxNum = cinfo.scale_denom == 8 ? cinfo.scale_num : 8;
    for (unsigned n = 1; n < maxNum; ++n) {
        cinfo.scale_num = n;
        cinfo.scale_denom = 8;
        jpeg_calc_output_dimensions(&cinfo);
        if (std::max(cinfo.output_width, cinfo.output_height) >= side)
            return;
    }
    cinfo.scale_num = maxNum;
    cinfo.scale_denom = 8;
}

inline bool littleEndian()
{
    const std::uint32_t probe = 1;
    unsigned char first;
    std::memcpy(&first, &probe, 1);
    return first == 1;
}

// Only plain data lives in this frame: longjmp skips destructors.
bool runJpeg(const unsigned char *data, std::size_t size, RasterImage &out, std::vector<unsigned char> &rowBuffer,
             char *message, std::size_t messageSize, int fitWithin)
{
    jpeg_decompress_struct cinfo;
    JpegErrorManager err;
    jpeg_progress_mgr progress;
    std::memset(&cinfo, 0, sizeof cinfo);
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = jpegErrorExit;
    err.pub.output_message = jpegOutputMessage;
    err.message[0] = '\0';
    if (setjmp(err.jump)) {
        if (err.pub.msg_code == JERR_NO_BACKING_STORE)
            std::snprintf(message, messageSize, "JPEG picture of %u x %u pixels needs too much memory",
                          cinfo.image_width, cinfo.image_height);
        else
            std::snprintf(message, messageSize, "%s", err.message);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    // Progressive and multi-scan files keep every coefficient of the whole
    // picture, at full size even when it is decoded smaller; past this libjpeg
    // fails instead of taking more.
    cinfo.mem->max_memory_to_use = static_cast<long>(MaxJpegWorkBytes);
    progress.progress_monitor = jpegProgress;
    cinfo.progress = &progress;
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK) {
        std::snprintf(message, messageSize, "JPEG file holds no picture");
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    const bool direct = !cmyk && littleEndian();
    cinfo.out_color_space = cmyk ? JCS_CMYK : (direct ? JCS_EXT_BGRA : JCS_RGB);
    if (!PictureDecoders::sizeAllowed(cinfo.image_width, cinfo.image_height) &&
        (!plausibleForSize(cinfo, size) || !chooseJpegScale(cinfo))) {
        std::snprintf(message, messageSize, "JPEG picture of %u x %u pixels is too large", cinfo.image_width,
                      cinfo.image_height);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    if (fitWithin > 0)
        chooseSmallestScale(cinfo, static_cast<unsigned>(fitWithin));
    jpeg_start_decompress(&cinfo);
    const int w = static_cast<int>(cinfo.output_width), h = static_cast<int>(cinfo.output_height);
    // Every pixel is written below, so a buffer kept from the last picture is
    // reused as it is: no fresh pages, no fill.
    out.width = w;
    out.height = h;
    out.pixels.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0xFF000000u);
    if (!direct)
        rowBuffer.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(cinfo.output_components));
    // Adobe writes CMYK inverted.
    const bool inverted = cmyk && cinfo.saw_Adobe_marker;
    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = static_cast<int>(cinfo.output_scanline);
        std::uint32_t *dest = out.row(y);
        JSAMPROW row = direct ? reinterpret_cast<JSAMPROW>(dest) : rowBuffer.data();
        if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) {
            std::snprintf(message, messageSize, "JPEG data ends early");
            jpeg_destroy_decompress(&cinfo);
            return false;
        }
        if (direct) {
            // The alpha byte is the toolkit's; the picture keeps it at 0xFF.
            continue;
        }
        const unsigned char *s = rowBuffer.data();
        for (int x = 0; x < w; ++x) {
            if (cmyk) {
                int c = s[4 * x], m = s[4 * x + 1], yy = s[4 * x + 2], k = s[4 * x + 3];
                if (!inverted) {
                    c = 255 - c;
                    m = 255 - m;
                    yy = 255 - yy;
                    k = 255 - k;
                }
                dest[x] = pixelFromRgb(c * k / 255, m * k / 255, yy * k / 255);
            } else {
                dest[x] = pixelFromRgb(s[3 * x], s[3 * x + 1], s[3 * x + 2]);
            }
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

// ---- GIF ----

struct GifSource {
    const unsigned char *data;
    std::size_t size;
    std::size_t pos;
};

int gifRead(GifFileType *gif, GifByteType *buffer, int length)
{
    auto *src = static_cast<GifSource *>(gif->UserData);
    if (length <= 0)
        return 0;
    const std::size_t n = std::min(static_cast<std::size_t>(length), src->size - src->pos);
    std::memcpy(buffer, src->data + src->pos, n);
    src->pos += n;
    return static_cast<int>(n);
}

struct GifCloser {
    GifFileType *gif;
    ~GifCloser()
    {
        if (gif) {
            int e = 0;
            DGifCloseFile(gif, &e);
        }
    }
};

bool gifFail(std::string &error, const char *what, int code)
{
    error = what;
    if (const char *reason = GifErrorString(code)) {
        error += ": ";
        error += reason;
    }
    return false;
}

} // namespace

std::string PictureDecoders::sniffExtension(std::string_view b, const std::string &ext)
{
    using namespace std::string_view_literals;
    if (startsWithAt(b, 0, "BM"))
        return ".bmp";
    if (startsWithAt(b, 6, "JFIF"))
        return ".jpg";
    if (startsWithAt(b, 0, "GIF"))
        return ".gif";
    if (startsWithAt(b, 0, "\x00\x00\x01\x00"sv))
        return ".ico";
    if (startsWithAt(b, 0, "\x01\x00\x00\x00"sv))
        return ".emf";
    if (startsWithAt(b, 0, "\xD7\xCD\xC6\x9A\x00\x00"sv))
        return ".wmf";
    if (startsWithAt(b, 0, "\x01\x00\x09\x00\x00\x03"sv))
        return ".wmf";
    return ext;
}

bool PictureDecoders::shrinkToBudget(std::uint64_t width, std::uint64_t height, std::uint64_t maxTimes,
                                     std::uint64_t &scaledWidth, std::uint64_t &scaledHeight)
{
    scaledWidth = width;
    scaledHeight = height;
    if (width == 0 || height == 0 || width > MaxPixels * maxTimes || height > MaxPixels * maxTimes ||
        width * height > MaxPixels * maxTimes)
        return false;
    if (sizeAllowed(width, height))
        return true;
    const double factor = std::sqrt(static_cast<double>(MaxPixels) / (static_cast<double>(width) * height));
    scaledWidth = std::max<std::uint64_t>(1, static_cast<std::uint64_t>(width * factor));
    scaledHeight = std::max<std::uint64_t>(1, static_cast<std::uint64_t>(height * factor));
    // Rounding may leave one row or column too many.
    while (!sizeAllowed(scaledWidth, scaledHeight)) {
        if (scaledWidth >= scaledHeight && scaledWidth > 1)
            --scaledWidth;
        else
            --scaledHeight;
    }
    return true;
}

void PictureDecoders::clear(RasterImage &picture)
{
    picture.width = 0;
    picture.height = 0;
    picture.pixels.clear();
}

bool PictureDecoders::decodeJpeg(const unsigned char *data, std::size_t size, RasterImage &out, std::string &error,
                                 int fitWithin)
{
    clear(out);
    if (!data || size == 0) {
        error = "Empty JPEG file";
        return false;
    }
    std::vector<unsigned char> rowBuffer;
    char message[JMSG_LENGTH_MAX + 64] = {};
    if (!runJpeg(data, size, out, rowBuffer, message, sizeof message, fitWithin)) {
        clear(out);
        error = message[0] ? message : "JPEG error";
        return false;
    }
    return true;
}

bool PictureDecoders::decodeGif(const unsigned char *data, std::size_t size, RasterImage &out, std::string &error)
{
    clear(out);
    GifSource source{data, data ? size : 0, 0};
    int code = 0;
    GifCloser file{DGifOpen(&source, gifRead, &code)};
    GifFileType *gif = file.gif;
    if (!gif)
        return gifFail(error, "Not a GIF file", code);
    if (!sizeAllowed(static_cast<std::uint64_t>(std::max(0, gif->SWidth)),
                     static_cast<std::uint64_t>(std::max(0, gif->SHeight)))) {
        error = "GIF screen of " + std::to_string(gif->SWidth) + " x " + std::to_string(gif->SHeight) +
                " pixels is empty or too large";
        return false;
    }
    int transparent = -1;
    for (;;) {
        GifRecordType record;
        if (DGifGetRecordType(gif, &record) == GIF_ERROR)
            return gifFail(error, "Damaged GIF file", gif->Error);
        if (record == TERMINATE_RECORD_TYPE) {
            error = "GIF file holds no picture";
            return false;
        }
        if (record == EXTENSION_RECORD_TYPE) {
            int extCode = 0;
            GifByteType *ext = nullptr;
            if (DGifGetExtension(gif, &extCode, &ext) == GIF_ERROR)
                return gifFail(error, "Damaged GIF file", gif->Error);
            if (extCode == GRAPHICS_EXT_FUNC_CODE && ext && ext[0] >= 4)
                transparent = (ext[1] & 1) ? ext[4] : -1;
            while (ext) {
                if (DGifGetExtensionNext(gif, &ext) == GIF_ERROR)
                    return gifFail(error, "Damaged GIF file", gif->Error);
            }
            continue;
        }
        if (record != IMAGE_DESC_RECORD_TYPE)
            continue;
        if (DGifGetImageDesc(gif) == GIF_ERROR)
            return gifFail(error, "Damaged GIF file", gif->Error);
        const GifImageDesc &d = gif->Image;
        // The frame must lie on the screen it is drawn on.
        if (d.Left < 0 || d.Top < 0 || d.Width <= 0 || d.Height <= 0 || d.Width > gif->SWidth - d.Left ||
            d.Height > gif->SHeight - d.Top) {
            error = "GIF frame lies outside its screen";
            return false;
        }
        const ColorMapObject *map = d.ColorMap ? d.ColorMap : gif->SColorMap;
        if (!map || !map->Colors || map->ColorCount <= 0) {
            error = "GIF picture has no colour map";
            return false;
        }
        std::uint32_t palette[256];
        for (int i = 0; i < 256; ++i)
            palette[i] = i < map->ColorCount
                             ? pixelFromRgb(map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue)
                             : pixelFromRgb(0, 0, 0);
        RasterImage canvas(gif->SWidth, gif->SHeight, pixelFromRgb(0, 0, 0));
        std::vector<GifByteType> line(static_cast<std::size_t>(d.Width));
        static const int passStart[4] = {0, 4, 2, 1};
        static const int passStep[4] = {8, 8, 4, 2};
        const int passes = d.Interlace ? 4 : 1;
        for (int pass = 0; pass < passes; ++pass) {
            const int start = d.Interlace ? passStart[pass] : 0;
            const int step = d.Interlace ? passStep[pass] : 1;
            for (int y = start; y < d.Height; y += step) {
                if (DGifGetLine(gif, line.data(), d.Width) == GIF_ERROR)
                    return gifFail(error, "Damaged GIF file", gif->Error);
                std::uint32_t *dest = canvas.row(d.Top + y) + d.Left;
                for (int x = 0; x < d.Width; ++x)
                    if (line[static_cast<std::size_t>(x)] != transparent)
                        dest[x] = palette[line[static_cast<std::size_t>(x)]];
            }
        }
        out = std::move(canvas);
        return true;
    }
}

} // namespace quorvex
