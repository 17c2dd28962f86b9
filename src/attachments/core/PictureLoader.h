#pragma once

#include "platform/core/RasterImage.h"

#include <functional>
#include <string>

namespace quorvex {

class MessageService;

// Loads a picture file for the preview pane and the background samples. The
// content's first bytes win over the name's extension; JPEG and GIF are
// decoded here, bitmaps, icons and every other extension by the window
// layer's reader.
class PictureLoader {
public:
    // Decodes `path` as the format `ext` names (".bmp", ".ico", or any other
    // extension for the general reader). False with a reason when it cannot.
    using ForeignReader =
        std::function<bool(const std::string &path, const std::string &ext, RasterImage &out, std::string &error)>;

    static std::string missingFileMessage(const std::string &path);
    static std::string loadErrorMessage(const std::string &loweredPath);

    PictureLoader(MessageService &messages, ForeignReader foreign = {})
        : m_messages(messages), m_foreign(std::move(foreign))
    {
    }

    // 0 loaded into `picture`, 1 failed after a message (picture left empty).
    int LoadImage(RasterImage &picture, const std::string &path);

    // The decoding alone, without messages: the extension decided, or empty
    // when the file does not exist.
    bool decode(const std::string &path, RasterImage &picture, std::string &error, std::string *decidedExt = nullptr);

private:
    MessageService &m_messages;
    ForeignReader m_foreign;
};

} // namespace quorvex
