#pragma once

// Small pictures of our own making, encoded in memory for the decoder tests
// and the fuzz seeds.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <gif_lib.h>
#include <jpeglib.h>

namespace quorvex::test {

// Colour of pixel (x, y) in the test pattern: four flat quadrants.
inline void patternRgb(int x, int y, int w, int h, int &r, int &g, int &b)
{
    const bool right = x >= w / 2, bottom = y >= h / 2;
    r = right ? 255 : 0;
    g = bottom ? 255 : 0;
    b = (right == bottom) ? 200 : 0;
}

enum class JpegHeader { Jfif, Exif, None };

// A baseline JPEG of the pattern. Exif writes an APP1 segment instead of the
// JFIF APP0; None writes neither.
inline std::string makeJpeg(int w, int h, JpegHeader header = JpegHeader::Jfif, int quality = 95,
                            bool progressive = false)
{
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buffer, &size);
    c.image_width = static_cast<JDIMENSION>(w);
    c.image_height = static_cast<JDIMENSION>(h);
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, quality, TRUE);
    c.write_JFIF_header = header == JpegHeader::Jfif ? TRUE : FALSE;
    if (progressive)
        jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    if (header == JpegHeader::Exif) {
        static const unsigned char exif[] = {'E', 'x', 'i', 'f', 0, 0, 'M', 'M', 0, 42, 0, 0, 0, 8, 0, 0};
        jpeg_write_marker(&c, JPEG_APP0 + 1, exif, sizeof exif);
    }
    std::vector<unsigned char> row(static_cast<std::size_t>(w) * 3);
    while (c.next_scanline < c.image_height) {
        const int y = static_cast<int>(c.next_scanline);
        for (int x = 0; x < w; ++x) {
            int r, g, b;
            patternRgb(x, y, w, h, r, g, b);
            row[3 * x] = static_cast<unsigned char>(r);
            row[3 * x + 1] = static_cast<unsigned char>(g);
            row[3 * x + 2] = static_cast<unsigned char>(b);
        }
        JSAMPROW p = row.data();
        jpeg_write_scanlines(&c, &p, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::string bytes(reinterpret_cast<const char *>(buffer), size);
    std::free(buffer);
    return bytes;
}

inline int gifWrite(GifFileType *gif, const GifByteType *data, int length)
{
    static_cast<std::string *>(gif->UserData)->append(reinterpret_cast<const char *>(data), length);
    return length;
}

// A GIF of the pattern with a four-colour global map; the frame may sit at an
// offset on a larger screen (or stick out of a smaller one).
inline std::string makeGif(int w, int h, bool interlaced = false, int screenW = 0, int screenH = 0, int left = 0,
                           int top = 0)
{
    std::string out;
    int error = 0;
    GifFileType *gif = EGifOpen(&out, gifWrite, &error);
    GifColorType colours[4] = {{0, 0, 0}, {255, 0, 0}, {0, 255, 200}, {255, 255, 200}};
    ColorMapObject *map = GifMakeMapObject(4, colours);
    EGifPutScreenDesc(gif, screenW ? screenW : w, screenH ? screenH : h, 2, 0, map);
    EGifPutImageDesc(gif, left, top, w, h, interlaced, nullptr);
    // Interlaced frames are written in pass order.
    std::vector<int> order;
    if (interlaced) {
        const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
        for (int p = 0; p < 4; ++p)
            for (int y = start[p]; y < h; y += step[p])
                order.push_back(y);
    } else {
        for (int y = 0; y < h; ++y)
            order.push_back(y);
    }
    std::vector<GifPixelType> line(static_cast<std::size_t>(w));
    for (int y : order) {
        for (int x = 0; x < w; ++x)
            line[x] = static_cast<GifPixelType>((x >= w / 2 ? 1 : 0) + (y >= h / 2 ? 2 : 0));
        EGifPutLine(gif, line.data(), w);
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return out;
}

} // namespace quorvex::test
