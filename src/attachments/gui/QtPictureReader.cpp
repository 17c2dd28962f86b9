#include "QtPictureReader.h"

#include "attachments/core/PictureDecoders.h"

#include "platform/core/FileSystem.h"

#include <QFile>
#include <QImageReader>

#include <cstring>
#include <unistd.h>

namespace quorvex {

namespace {

// How many times the budget a picture may hold and still be shown smaller:
// these readers take every pixel of the file, so the time grows with it.
constexpr std::uint64_t MaxShrink = 4;

} // namespace

bool QtPictureReader::read(const std::string &path, const std::string &ext, RasterImage &out, std::string &error)
{
    // Read from a descriptor that is known to be a regular file: a FIFO or
    // device under a picture's name would block the reader.
    const int fd = FileSystem::openForReading(path);
    QFile file;
    if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (fd >= 0)
            ::close(fd);
        error = "The picture file cannot be read";
        return false;
    }
    QImageReader reader(&file);
    // Bitmaps and icons by their own reader; anything else as Qt recognises it.
    if (ext == ".bmp")
        reader.setFormat(QByteArrayLiteral("bmp"));
    else if (ext == ".ico")
        reader.setFormat(QByteArrayLiteral("ico"));
    reader.setAllocationLimit(static_cast<int>(PictureDecoders::MaxPixels * 4 / (1024 * 1024)) + 1);
    const QSize size = reader.size();
    if (size.isValid()) {
        const auto w = static_cast<std::uint64_t>(std::max(0, size.width()));
        const auto h = static_cast<std::uint64_t>(std::max(0, size.height()));
        std::uint64_t scaledW = w, scaledH = h;
        if (!PictureDecoders::sizeAllowed(w, h) &&
            !PictureDecoders::shrinkToBudget(w, h, MaxShrink, scaledW, scaledH)) {
            error = "The picture of " + std::to_string(size.width()) + " x " + std::to_string(size.height()) +
                    " pixels is empty or too large";
            return false;
        }
        // Readers that decode at the smaller size (PNG, for one) never hold
        // the whole picture; the others decode it whole within the allocation
        // limit and shrink it afterwards.
        if (scaledW != w || scaledH != h)
            reader.setScaledSize(QSize(static_cast<int>(scaledW), static_cast<int>(scaledH)));
    }
    const QImage image = reader.read();
    if (image.isNull()) {
        error = reader.errorString().toStdString();
        return false;
    }
    if (!PictureDecoders::sizeAllowed(static_cast<std::uint64_t>(image.width()),
                                      static_cast<std::uint64_t>(image.height()))) {
        error = "The picture is too large";
        return false;
    }
    out = toRaster(image);
    return true;
}

RasterImage QtPictureReader::toRaster(const QImage &image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    RasterImage out(rgb.width(), rgb.height());
    for (int y = 0; y < rgb.height(); ++y) {
        const auto *src = reinterpret_cast<const std::uint32_t *>(rgb.constScanLine(y));
        std::uint32_t *dest = out.row(y);
        for (int x = 0; x < rgb.width(); ++x)
            dest[x] = src[x] | 0xFF000000u;
    }
    return out;
}

QImage QtPictureReader::toImage(const RasterImage &picture)
{
    if (picture.empty())
        return QImage();
    QImage image(picture.width, picture.height, QImage::Format_RGB32);
    for (int y = 0; y < picture.height; ++y)
        std::memcpy(image.scanLine(y), picture.row(y), static_cast<std::size_t>(picture.width) * 4);
    return image;
}

std::string QtPictureReader::insertPictureFilter(const std::string &filter)
{
    std::string patterns;
    for (const QByteArray &suffix : QImageReader::supportedImageFormats()) {
        if (!patterns.empty())
            patterns += ';';
        patterns += "*." + suffix.toStdString();
    }
    std::string result = filter;
    if (!patterns.empty())
        result += "|Pictures|" + patterns;
    return result + "|All Files (*.*)|*.*";
}

} // namespace quorvex
