#include "Thumbnailer.h"

#include "attachments/core/PictureDecoders.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <jpeglib.h>

namespace quorvex {

void Thumbnailer::fittedSize(int w, int h, int maxSide, int &tw, int &th)
{
    tw = w;
    th = h;
    if (w <= maxSide && h <= maxSide)
        return;
    if (w >= h) {
        tw = maxSide;
        th = static_cast<int>((static_cast<long long>(h) * maxSide + w / 2) / w);
    } else {
        th = maxSide;
        tw = static_cast<int>((static_cast<long long>(w) * maxSide + h / 2) / h);
    }
    tw = std::max(tw, 1);
    th = std::max(th, 1);
}

RasterImage Thumbnailer::shrink(const RasterImage &source, int maxSide)
{
    if (source.empty())
        return {};
    int tw = 0, th = 0;
    fittedSize(source.width, source.height, maxSide, tw, th);
    if (tw == source.width && th == source.height)
        return source;
    RasterImage out(tw, th);
    // Column spans are the same for every row: compute them once.
    std::vector<int> x0(static_cast<std::size_t>(tw) + 1);
    for (int x = 0; x <= tw; ++x)
        x0[static_cast<std::size_t>(x)] = static_cast<int>(static_cast<long long>(x) * source.width / tw);
    std::vector<std::uint64_t> sums(static_cast<std::size_t>(tw) * 3);
    for (int y = 0; y < th; ++y) {
        const int y0 = static_cast<int>(static_cast<long long>(y) * source.height / th);
        const int y1 = std::max(y0 + 1, static_cast<int>(static_cast<long long>(y + 1) * source.height / th));
        std::fill(sums.begin(), sums.end(), 0);
        for (int sy = y0; sy < y1; ++sy) {
            const std::uint32_t *row = source.row(sy);
            for (int x = 0; x < tw; ++x) {
                const int from = x0[static_cast<std::size_t>(x)];
                const int to = std::max(from + 1, x0[static_cast<std::size_t>(x) + 1]);
                std::uint64_t r = 0, g = 0, b = 0;
                for (int sx = from; sx < to; ++sx) {
                    const std::uint32_t p = row[sx];
                    r += (p >> 16) & 0xFF;
                    g += (p >> 8) & 0xFF;
                    b += p & 0xFF;
                }
                std::uint64_t *s = &sums[static_cast<std::size_t>(x) * 3];
                s[0] += r;
                s[1] += g;
                s[2] += b;
            }
        }
        std::uint32_t *dest = out.row(y);
        for (int x = 0; x < tw; ++x) {
            const int from = x0[static_cast<std::size_t>(x)];
            const int to = std::max(from + 1, x0[static_cast<std::size_t>(x) + 1]);
            const std::uint64_t n = static_cast<std::uint64_t>(to - from) * static_cast<std::uint64_t>(y1 - y0);
            const std::uint64_t *s = &sums[static_cast<std::size_t>(x) * 3];
            dest[x] = pixelFromRgb(static_cast<int>((s[0] + n / 2) / n), static_cast<int>((s[1] + n / 2) / n),
                                   static_cast<int>((s[2] + n / 2) / n));
        }
    }
    return out;
}

namespace {

struct EncoderError {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void encoderErrorExit(j_common_ptr cinfo)
{
    auto *err = reinterpret_cast<EncoderError *>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Only plain data lives in this frame: longjmp skips destructors. The row
// buffer and the output memory belong to the caller.
bool runEncoder(const RasterImage &picture, int quality, unsigned char *rowBuffer, unsigned char **mem,
                unsigned long *memSize, char *message, std::size_t messageSize)
{
    jpeg_compress_struct cinfo;
    EncoderError err;
    std::memset(&cinfo, 0, sizeof cinfo);
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = encoderErrorExit;
    err.message[0] = '\0';
    if (setjmp(err.jump)) {
        std::snprintf(message, messageSize, "%s", err.message);
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, mem, memSize);
    cinfo.image_width = static_cast<JDIMENSION>(picture.width);
    cinfo.image_height = static_cast<JDIMENSION>(picture.height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        const std::uint32_t *src = picture.row(static_cast<int>(cinfo.next_scanline));
        for (int x = 0; x < picture.width; ++x) {
            rowBuffer[3 * x] = static_cast<unsigned char>(src[x] >> 16);
            rowBuffer[3 * x + 1] = static_cast<unsigned char>(src[x] >> 8);
            rowBuffer[3 * x + 2] = static_cast<unsigned char>(src[x]);
        }
        JSAMPROW row = rowBuffer;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

} // namespace

bool Thumbnailer::encodeJpeg(const RasterImage &picture, int quality, std::string &jpeg, std::string &error)
{
    if (picture.empty() || picture.width > 65500 || picture.height > 65500) {
        error = "no picture to encode";
        return false;
    }
    std::vector<unsigned char> rowBuffer(static_cast<std::size_t>(picture.width) * 3);
    unsigned char *mem = nullptr;
    unsigned long memSize = 0;
    char message[JMSG_LENGTH_MAX + 16] = {};
    const bool ok = runEncoder(picture, quality, rowBuffer.data(), &mem, &memSize, message, sizeof message);
    if (ok)
        jpeg.assign(reinterpret_cast<const char *>(mem), memSize);
    else
        error = message[0] ? message : "JPEG encoding failed";
    std::free(mem);
    return ok;
}

bool Thumbnailer::makeThumbnail(std::string_view bytes, const std::string &path, const std::string &nameExt,
                                const ForeignReader &foreign, std::string &jpeg, std::string &error)
{
    std::string ext = PictureDecoders::sniffExtension(bytes.substr(0, PictureDecoders::SniffBytes), nameExt);
    // Camera pictures carry Exif instead of JFIF; their start of image is the same.
    if (ext == nameExt && bytes.size() >= 3 && bytes.substr(0, 3) == "\xFF\xD8\xFF")
        ext = ".jpg";
    RasterImage picture;
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.data());
    bool decoded = false;
    if (ext == ".jpg" || ext == ".jpeg")
        decoded = PictureDecoders::decodeJpeg(data, bytes.size(), picture, error, MaxSide);
    else if (ext == ".gif")
        decoded = PictureDecoders::decodeGif(data, bytes.size(), picture, error);
    else if (ext == ".wmf" || ext == ".emf")
        error = "Windows metafiles cannot be read on this system";
    else if (foreign)
        decoded = foreign(path, ext, picture, error);
    else
        error = "no reader for " + ext + " pictures";
    if (!decoded || picture.empty()) {
        if (error.empty())
            error = "the picture could not be read";
        return false;
    }
    return encodeJpeg(shrink(picture, MaxSide), Quality, jpeg, error);
}

} // namespace quorvex
