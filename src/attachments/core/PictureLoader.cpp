#include "PictureLoader.h"

#include "PictureDecoders.h"
#include "platform/core/FileSystem.h"
#include "platform/core/MessageService.h"

#include <optional>

namespace quorvex {

namespace {

std::string asciiLower(std::string s)
{
    for (char &c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// From the last "." of the file name; a dot in a folder name does not count.
std::string extensionOf(const std::string &loweredPath)
{
    const std::size_t slash = loweredPath.find_last_of('/');
    const std::size_t dot = loweredPath.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return std::string();
    return loweredPath.substr(dot);
}

} // namespace

std::string PictureLoader::missingFileMessage(const std::string &path)
{
    return "Error loading image file '" + path +
           "'\n\nThis file path does not exist or file size is zero.\n\n - LoadImage()";
}

std::string PictureLoader::loadErrorMessage(const std::string &loweredPath)
{
    return "Error loading image file '" + loweredPath + "'\n\nLoadImage()";
}

bool PictureLoader::decode(const std::string &path, RasterImage &picture, std::string &error, std::string *decidedExt)
{
    PictureDecoders::clear(picture);
    // A FIFO, device or folder under a picture's name is never opened for real.
    if (!FileSystem::isRegularFile(path)) {
        error = "The picture file cannot be read";
        return false;
    }
    std::string ext = extensionOf(asciiLower(path));
    if (const std::optional<std::string> head = FileSystem::readFilePrefix(path, PictureDecoders::SniffBytes))
        ext = PictureDecoders::sniffExtension(*head, ext);
    if (decidedExt)
        *decidedExt = ext;

    if (ext == ".wmf" || ext == ".emf") {
        error = "Windows metafiles cannot be shown on this system";
        return false;
    }
    if (ext == ".gif" || ext == ".jpg" || ext == ".jpeg") {
        // The buffer is taken at the file's size, never at the limit.
        const std::optional<std::uint64_t> size = FileSystem::fileSize(path);
        if (size && *size > PictureDecoders::MaxFileBytes) {
            error = "The picture file is too large";
            return false;
        }
        const std::optional<std::string> bytes =
            size ? FileSystem::readFilePrefix(path, static_cast<std::size_t>(*size)) : std::nullopt;
        if (!bytes) {
            error = "The picture file cannot be read";
            return false;
        }
        const auto *data = reinterpret_cast<const unsigned char *>(bytes->data());
        return ext == ".gif" ? PictureDecoders::decodeGif(data, bytes->size(), picture, error)
                             : PictureDecoders::decodeJpeg(data, bytes->size(), picture, error);
    }
    if (!m_foreign) {
        error = "No reader for this kind of picture";
        return false;
    }
    if (!m_foreign(path, ext, picture, error)) {
        PictureDecoders::clear(picture);
        return false;
    }
    return true;
}

int PictureLoader::LoadImage(RasterImage &picture, const std::string &path)
{
    PictureDecoders::clear(picture);
    if (!FileSystem::exists(path)) {
        m_messages.error(missingFileMessage(path));
        return 1;
    }
    std::string error;
    if (decode(path, picture, error))
        return 0;
    m_messages.showException(error);
    m_messages.error(loadErrorMessage(asciiLower(path)));
    return 1;
}

} // namespace quorvex
